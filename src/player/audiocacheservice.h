#pragma once

#include "api/canceltoken.h"

#include <QCoroTask>
#include <QObject>
#include <QSet>
#include <QUrl>

#include <chrono>
#include <optional>

namespace nimbra {

// The offline copies of tracks: one file per track id in the folder
// "audio_cache" of the application's data folder, holding the bytes of the
// track's audio file as the server sent them. The presence of the file is
// the only record. Main thread; downloads do not block it.
class AudioCacheService : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds requestTimeout {60000};
    static constexpr std::chrono::seconds resourceTimeout {3600};
    static constexpr int maxRedirects = 5;

    static QString defaultCacheDir();

    // Creates the folder, for the listener alone (a failure shows up at the
    // first save), and removes downloads that a crash left unfinished.
    explicit AudioCacheService(QString cacheDir, QObject *parent = nullptr);
    // The process-wide instance on the default folder.
    static AudioCacheService *shared();

    QString cacheDir() const { return m_cacheDir; }

    // Saves the file at `from` as the copy of track id and returns the
    // copy's file address; an existing copy is returned without a request.
    // The body is streamed to a temporary file in the folder and moved into
    // place only when complete. The token goes only to the service's own
    // origin. Throws AudioCacheError for a refused or unwritable file and
    // ApiError for a transport failure, a time-out or cancellation.
    QCoro::Task<QUrl> downloadTrack(QString id, QUrl from, std::optional<QString> token, CancelToken cancel = {});

    // The copy of track id, when there is one.
    std::optional<QUrl> localUrl(const QString &id) const;
    // Deletes the copy of track id; a missing file or a failure is ignored.
    void removeCached(const QString &id);
    // The ids of every entry of the folder (empty when it cannot be read).
    QSet<QString> cachedTrackIds() const;

    // "<id>.audio" for an id that is a plain file name; any other id (one
    // with a path separator or NUL, empty, "." or "..", or starting with the
    // marker "~") is stored as "~" + its base64url form, so it can never
    // leave the folder and still lists back as itself.
    static QString fileNameFor(const QString &id);
    static QString idForFileName(const QString &fileName);

signals:
    // The copy of track id was stored or removed.
    void cacheChanged(const QString &id);

private:
    QString pathFor(const QString &id) const;

    QString m_cacheDir;
};

} // namespace nimbra
