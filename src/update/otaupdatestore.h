#pragma once

#include "otamanifest.h"

#include <QObject>
#include <QVariantMap>

#include <QCoro/QCoroTask>

#include <optional>

namespace nimbra {

// The self-update state that the main window and the settings read: the
// offered newer build, whether a check or a download runs, its progress
// and the texts to show. The manifest fetch and the download are not part
// of this build yet: a check finds nothing and reports nothing.
// Main thread only.
class OtaUpdateStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantMap availableManifest READ availableManifestMap NOTIFY availableManifestChanged)
    Q_PROPERTY(bool hasAvailableManifest READ hasAvailableManifest NOTIFY availableManifestChanged)
    Q_PROPERTY(bool isChecking READ isChecking NOTIFY isCheckingChanged)
    Q_PROPERTY(bool isDownloading READ isDownloading CONSTANT)
    Q_PROPERTY(double downloadProgress READ downloadProgress CONSTANT)
    Q_PROPERTY(QString statusMessage READ statusMessage CONSTANT)
    Q_PROPERTY(QString error READ error CONSTANT)

public:
    explicit OtaUpdateStore(QObject *parent = nullptr);

    const std::optional<OtaManifest> &availableManifest() const { return m_manifest; }
    QVariantMap availableManifestMap() const { return m_manifest ? m_manifest->toVariantMap() : QVariantMap(); }
    bool hasAvailableManifest() const { return m_manifest.has_value(); }
    // What a check sets when it finds a newer build; none withdraws the offer.
    void setAvailableManifest(std::optional<OtaManifest> manifest);

    bool isChecking() const { return m_checking; }
    bool isDownloading() const { return false; }
    double downloadProgress() const { return 0; }
    QString statusMessage() const { return {}; }
    QString error() const { return {}; }

    // silent: only a found update may show; an up-to-date answer or a
    // failure leaves no text. Returns at once while a check runs.
    QCoro::Task<void> checkUpdatesAsync(bool silent);
    Q_INVOKABLE void checkUpdates(bool silent);
    // The update strip's close button: the offer goes away.
    Q_INVOKABLE void dismissAvailableManifest() { setAvailableManifest(std::nullopt); }

signals:
    void availableManifestChanged();
    void isCheckingChanged();
    // After every check, silent or not, that was not refused as a repeat.
    void checkFinished(bool silent);

private:
    std::optional<OtaManifest> m_manifest;
    bool m_checking = false;
};

} // namespace nimbra
