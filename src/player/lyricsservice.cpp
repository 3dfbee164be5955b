#include "player/lyricsservice.h"

#include "api/apierror.h"
#include "api/runsettings.h"
#include "api/transfer.h"
#include "player/texttrim.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QPointer>

#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

using Query = QList<QPair<QString, QString>>;

QUrl endpoint(const QString &path, const Query &items)
{
    QUrl url = LyricsService::baseUrl();
    QString basePath = url.path();
    while (basePath.endsWith(QLatin1Char('/')))
        basePath.chop(1);
    url.setPath(basePath + path);
    // Every reserved character is encoded, "+" included: the service reads
    // a bare "+" as a space ("AC+DC" would be searched as "AC DC").
    QStringList parts;
    for (const auto &[key, value] : items)
        parts.append(key + QLatin1Char('=') + QString::fromLatin1(QUrl::toPercentEncoding(value)));
    url.setQuery(parts.join(QLatin1Char('&')), QUrl::StrictMode);
    return url;
}

} // namespace

QUrl LyricsService::defaultBaseUrl()
{
    return QUrl(u"https://lrclib.net"_s);
}

QUrl LyricsService::baseUrl()
{
    const QUrl stored(RunSettings::value(settingsKey).toString(), QUrl::StrictMode);
    if (stored.isValid() && (stored.scheme() == "http"_L1 || stored.scheme() == "https"_L1) && !stored.host().isEmpty())
        return stored;
    return defaultBaseUrl();
}

LyricsService::LyricsService(QObject *parent) : QObject(parent) { }

LyricsService *LyricsService::shared()
{
    static LyricsService *service = new LyricsService(QCoreApplication::instance());
    return service;
}

QCoro::Task<std::optional<QString>> LyricsService::getLyrics(
    QString trackId, QString title, QString artist, qint64 duration, CancelToken token)
{
    const auto cached = m_cache.constFind(trackId);
    if (cached != m_cache.cend())
        co_return cached->isEmpty() ? std::nullopt : std::optional<QString>(*cached);

    QPointer<LyricsService> self(this);
    const std::optional<QString> found = co_await fetchFromLrclib(title, artist, duration, token);
    // A cancelled lookup proves nothing about the track: it is not a miss.
    if (token.isCancelled() || !self)
        co_return std::nullopt;
    m_cache.insert(trackId, found.value_or(QString()));
    co_return found;
}

QCoro::Task<std::optional<QString>> LyricsService::fetchFromLrclib(
    QString title, QString artist, qint64 duration, CancelToken token)
{
    title = trimSpacesAndTabs(title);
    if (title.isEmpty())
        co_return std::nullopt;
    artist = trimSpacesAndTabs(artist);

    QPointer<LyricsService> self(this);
    QList<LrclibRecord> candidates;
    if (!artist.isEmpty()) {
        const auto exact = co_await lrclibGet(title, artist, duration, token);
        if (token.isCancelled() || !self)
            co_return std::nullopt;
        if (exact)
            co_return exact;
        const auto byArtist = co_await lrclibSearch(title, artist, token);
        if (token.isCancelled() || !self)
            co_return std::nullopt;
        candidates = byArtist.value_or(QList<LrclibRecord>());
    }
    // Only when the artist search gave no records at all: a list of unusable
    // records ends the lookup.
    if (candidates.isEmpty()) {
        const auto byTitle = co_await lrclibSearch(title, std::nullopt, token);
        if (token.isCancelled() || !self)
            co_return std::nullopt;
        if (byTitle)
            candidates = *byTitle;
    }
    co_return pickBest(candidates, duration);
}

QCoro::Task<std::optional<QString>> LyricsService::lrclibGet(
    QString trackName, QString artistName, qint64 duration, CancelToken token)
{
    Query query {{u"artist_name"_s, artistName}, {u"track_name"_s, trackName}};
    if (duration >= 1)
        query.append({u"duration"_s, QString::number(duration)});
    const auto body = co_await fetch(endpoint(u"/api/get"_s, query), token);
    if (!body)
        co_return std::nullopt;
    const auto record = LrclibRecord::decodeOne(*body);
    if (!record)
        co_return std::nullopt;
    co_return pickBest({*record}, duration);
}

QCoro::Task<std::optional<QList<LrclibRecord>>> LyricsService::lrclibSearch(
    QString trackName, std::optional<QString> artistName, CancelToken token)
{
    Query query {{u"track_name"_s, trackName}};
    if (artistName)
        query.append({u"artist_name"_s, *artistName});
    const auto body = co_await fetch(endpoint(u"/api/search"_s, query), token);
    if (!body)
        co_return std::nullopt;
    co_return LrclibRecord::decodeList(*body);
}

QCoro::Task<std::optional<QByteArray>> LyricsService::fetch(QUrl url, CancelToken token)
{
    if (!url.isValid() || token.isCancelled())
        co_return std::nullopt;
    Transfer transfer;
    transfer.url = url;
    transfer.idleLimit = requestTimeout;
    TransferResult result;
    try {
        result = co_await send(std::move(transfer), token);
    } catch (const ApiError &) {
        co_return std::nullopt;
    }
    // The body counts whatever the status (a 404 carries a JSON error that
    // simply does not decode); only a failure below HTTP loses it.
    const int error = result.error;
    if (!result.status || (error > QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied))
        co_return std::nullopt;
    co_return result.body;
}

std::optional<QString> LyricsService::pickBest(const QList<LrclibRecord> &records, qint64 duration)
{
    const auto hasSynced = [](const LrclibRecord &r) { return r.syncedLyrics && !isBlank(*r.syncedLyrics); };
    const auto hasPlain = [](const LrclibRecord &r) { return r.plainLyrics && !isBlank(*r.plainLyrics); };
    const LrclibRecord *best = nullptr;
    double bestScore = 0;
    for (const LrclibRecord &record : records) {
        if (record.instrumental || (!hasSynced(record) && !hasPlain(record)))
            continue;
        double score = duration < 1 || !record.duration ? 0.0 : std::abs(*record.duration - double(duration));
        if (!hasSynced(record))
            score += 1000;
        if (!best || score < bestScore) {
            best = &record;
            bestScore = score;
        }
    }
    if (!best)
        return std::nullopt;
    return hasSynced(*best) ? best->syncedLyrics : best->plainLyrics;
}

} // namespace nimbra
