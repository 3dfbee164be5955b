#pragma once

#include "api/canceltoken.h"
#include "player/lrclibrecord.h"

#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <QUrl>

#include <chrono>
#include <optional>

namespace nimbra {

// Looks lyrics up on the public lyrics service (LRCLIB) and remembers the
// answer per track id for the life of the process, a miss included. Used
// on the main thread; the waits for the network do not block it.
class LyricsService : public QObject
{
    Q_OBJECT
public:
    // Settings key of the lyrics host, for tests and the local service.
    static constexpr const char *settingsKey = "nimbra.lyrics.baseURL";
    static constexpr std::chrono::milliseconds requestTimeout {10000};

    static QUrl defaultBaseUrl();
    // The stored host when it is an http(s) address, else the default.
    static QUrl baseUrl();

    explicit LyricsService(QObject *parent = nullptr);
    // The process-wide instance.
    static LyricsService *shared();

    // The lyrics text, or nothing when none were found. Never throws. A
    // cancelled lookup returns nothing and leaves the cache as it was.
    QCoro::Task<std::optional<QString>> getLyrics(
        QString trackId, QString title, QString artist, qint64 duration, CancelToken token = {});

    // The best usable record for a track of duration seconds: closest in
    // length, synced lyrics strongly preferred, the service's order on ties.
    static std::optional<QString> pickBest(const QList<LrclibRecord> &records, qint64 duration);

private:
    QCoro::Task<std::optional<QString>> fetchFromLrclib(
        QString title, QString artist, qint64 duration, CancelToken token);
    QCoro::Task<std::optional<QString>> lrclibGet(
        QString trackName, QString artistName, qint64 duration, CancelToken token);
    QCoro::Task<std::optional<QList<LrclibRecord>>> lrclibSearch(
        QString trackName, std::optional<QString> artistName, CancelToken token);
    // The body of any HTTP answer, whatever its status; nothing on a
    // transport failure, a time-out or cancellation.
    static QCoro::Task<std::optional<QByteArray>> fetch(QUrl url, CancelToken token);

    QHash<QString, QString> m_cache;
};

} // namespace nimbra
