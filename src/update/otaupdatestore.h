#pragma once

#include "api/canceltoken.h"
#include "platform/fileopener.h"
#include "update/otamanifest.h"

#include <QObject>

#include <QCoro/QCoroTask>

#include <memory>
#include <optional>

class QTemporaryDir;

namespace nimbra {

// The self-update state that the main window, the update strip and the
// settings read: the offered newer build, whether a check or a download
// runs, its progress and the texts to show. A check compares the manifest
// with the running build; a download streams the installer into a private
// folder of the temporary folder and hands the whole file to the desktop.
// Main thread only.
class OtaUpdateStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool hasAvailableManifest READ hasAvailableManifest NOTIFY availableManifestChanged)
    Q_PROPERTY(bool isChecking READ isChecking NOTIFY isCheckingChanged)
    Q_PROPERTY(bool isDownloading READ isDownloading NOTIFY isDownloadingChanged)
    Q_PROPERTY(double downloadProgress READ downloadProgress NOTIFY downloadProgressChanged)
    Q_PROPERTY(QString statusMessage READ statusMessage NOTIFY statusMessageChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)
    // The running build, as the settings' "О приложении" shows it.
    Q_PROPERTY(QString version READ version CONSTANT)
    Q_PROPERTY(QString build READ build CONSTANT)
    Q_PROPERTY(QString versionLine READ versionLine CONSTANT)

public:
    // The private download folders are made in the temporary folder under
    // this prefix.
    static constexpr const char *folderPrefix = "nimbra-update-";

    explicit OtaUpdateStore(QObject *parent = nullptr);
    ~OtaUpdateStore() override;

    const std::optional<OtaManifest> &availableManifest() const { return m_manifest; }
    bool hasAvailableManifest() const { return m_manifest.has_value(); }
    // What a check sets when it finds a newer build; none withdraws the offer.
    void setAvailableManifest(std::optional<OtaManifest> manifest);

    bool isChecking() const { return m_checking; }
    bool isDownloading() const { return m_downloading; }
    // -1 while the length is unknown, else the fraction received.
    double downloadProgress() const { return m_progress; }
    // Null when there is none.
    QString statusMessage() const { return m_statusMessage; }
    QString errorText() const { return m_errorText; }

    QString version() const;
    QString build() const;
    QString versionLine() const;

    // The running build's number is the build's own unless a test sets one.
    void setCurrentBuild(qint64 build) { m_currentBuild = build; }
    // Who opens the downloaded file; the desktop unless a test sets one.
    void setFileOpener(FileOpener opener) { m_opener = std::move(opener); }
    // The private folder downloads go into, once the first one made it.
    QString downloadFolder() const;

    // silent: only a found update may show; an up-to-date answer or a
    // failure leaves no text. Returns at once while a check runs.
    QCoro::Task<void> checkUpdatesAsync(bool silent);
    Q_INVOKABLE void checkUpdates(bool silent);
    // Downloads the offered installer and opens it. Refused while a download
    // runs; an offer whose address does not parse is ignored.
    QCoro::Task<void> downloadAndInstallAsync();
    Q_INVOKABLE void downloadAndInstall();
    // The update strip's close button: the offer goes away; a running
    // download goes on.
    Q_INVOKABLE void dismissAvailableManifest() { setAvailableManifest(std::nullopt); }

signals:
    void availableManifestChanged();
    void isCheckingChanged();
    void isDownloadingChanged();
    void downloadProgressChanged();
    void statusMessageChanged();
    void errorTextChanged();
    // After every check, silent or not, that was not refused as a repeat.
    void checkFinished(bool silent);
    // After every download that was started, whatever its outcome.
    void downloadFinished();

private:
    void setChecking(bool checking);
    void setDownloading(bool downloading);
    void setDownloadProgress(double progress);
    void setStatusMessage(const QString &text);
    void setErrorText(const QString &text);
    // Made with mode 0700 on first use; empty with an error set when that fails.
    QString ensureDownloadFolder();
    // Hands the file to the desktop; false (with the error set) when that failed.
    bool install(const QString &path);
    // Once a run, at its first check or download, whichever comes first.
    void removeEmptyEarlierFolders();

    std::optional<OtaManifest> m_manifest;
    bool m_checking = false;
    bool m_downloading = false;
    double m_progress = 0;
    QString m_statusMessage;
    QString m_errorText;
    qint64 m_currentBuild;
    FileOpener m_opener;
    std::unique_ptr<QTemporaryDir> m_folder;
    bool m_earlierFoldersRemoved = false;
    // Ends the work in flight when the store goes.
    CancelToken m_lifetime;
};

} // namespace nimbra
