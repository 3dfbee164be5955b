#pragma once

#include "update/otaupdatestore.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace nimbra {

// What the update strip shows for the store's offer: the version capsule,
// the first line of the notes, and either the "Обновить" button or the
// download's bar (length known) or spinner (length unknown). The strip
// draws exactly this and calls download() and dismiss().
class UpdateBannerModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QString versionBadge READ versionBadge NOTIFY changed)
    Q_PROPERTY(bool hasNotesLine READ hasNotesLine NOTIFY changed)
    Q_PROPERTY(QString notesLine READ notesLine NOTIFY changed)
    // The second line tells why the last download or its opening failed,
    // in place of the notes, for as long as the offer stays.
    Q_PROPERTY(bool notesLineIsFailure READ notesLineIsFailure NOTIFY changed)
    Q_PROPERTY(bool showsDownloadButton READ showsDownloadButton NOTIFY changed)
    Q_PROPERTY(QString downloadButtonText READ downloadButtonText CONSTANT)
    Q_PROPERTY(bool showsProgressBar READ showsProgressBar NOTIFY changed)
    Q_PROPERTY(bool showsSpinner READ showsSpinner NOTIFY changed)
    Q_PROPERTY(double progress READ progress NOTIFY changed)
    Q_PROPERTY(QString progressText READ progressText CONSTANT)

public:
    explicit UpdateBannerModel(QObject *parent = nullptr);

    OtaUpdateStore *store() const { return m_store; }

    QString title() const;
    // "v" + the offer's version name; empty when it has none.
    QString versionBadge() const;
    // While the offer has notes (the text before their first line break) or
    // a failure to tell (its text).
    bool hasNotesLine() const;
    QString notesLine() const;
    bool notesLineIsFailure() const;
    bool showsDownloadButton() const;
    QString downloadButtonText() const;
    bool showsProgressBar() const;
    bool showsSpinner() const;
    // The bar's value, 0 to 1.
    double progress() const;
    QString progressText() const;

    Q_INVOKABLE void download();
    Q_INVOKABLE void dismiss();

signals:
    void changed();

private:
    bool downloading() const { return m_store && m_store->isDownloading(); }

    QPointer<OtaUpdateStore> m_store;
};

} // namespace nimbra
