// The operations of NimbraApi that compose one result out of several
// requests: the home page's counters and new releases, the daily list, the
// wave and the whole catalogue.

#include "api/nimbraapi.h"

#include "api/randomshuffle.h"
#include "api/settle.h"
#include "api/splitmix64.h"
#include "format/russiandate.h"

#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

// The daily list's seed counts days from 1 January of year 1 in the Julian
// calendar (day 1), the calendar in use before the Gregorian reform. That is
// how the service's other clients count, so every client draws the same
// list; a proleptic Gregorian count would be two days off.
constexpr qint64 kDayOneJulianDayNumber = 1721424;

// Of the probe's page count only this many pages are eligible; the counts
// are of size-1 pages, so some eligible pages of 50 may come back empty.
constexpr qint64 kDailyPageLimit = 100;
constexpr qint64 kWavePageLimit = 80;
constexpr int kDrawnPages = 4;
constexpr int kDrawnPageSize = 50;
constexpr int kCatalogPageSize = 1000;
constexpr int kCatalogLastPage = 2049;
constexpr int kReleaseTrackPageSize = 80;

quint64 daySeed(const QDate &day)
{
    if (!day.isValid())
        return 1;
    return quint64(day.toJulianDay() - kDayOneJulianDayNumber + 1);
}

// Page numbers 1 ... pages (clamped to 1 ... limit), shuffled, and the first
// four of them.
template<typename Next> QList<int> drawPages(qint64 pages, qint64 limit, Next &&next)
{
    const int count = int(std::clamp<qint64>(pages, 1, limit));
    QList<int> numbers;
    numbers.reserve(count);
    for (int p = 1; p <= count; ++p)
        numbers.append(p);
    shuffleList(numbers, next);
    numbers.resize(std::min(count, kDrawnPages));
    return numbers;
}

// Appends the tracks whose ids have not been seen; the first copy stays.
void appendUnseen(QList<TrackOut> &result, QSet<QString> &seen, const QList<TrackOut> &tracks)
{
    for (const TrackOut &track : tracks) {
        if (!seen.contains(track.id)) {
            seen.insert(track.id);
            result.append(track);
        }
    }
}

struct DatedRelease
{
    QDateTime date;
    HomeReleaseItem item;
};

QString dateText(const QDateTime &date)
{
    return russianDayMonth(date.toLocalTime().date());
}

} // namespace

QCoro::Task<LibraryStats> NimbraApi::libraryStats(std::optional<QString> token, CancelToken cancel) const
{
    const NimbraApi api = *this;

    // The four counts are asked for at once. When one fails the others are
    // cancelled, and a cancelled call cancels all four.
    const CancelToken children;
    const CancelRegistration forward(cancel, [children] { children.cancel(); });
    QCoro::Task<QList<AlbumOut>> albums = api.albums(children);
    QCoro::Task<TrackPage> tracks = api.tracks(1, 1, true, token, children);
    QCoro::Task<ClipPage> clips = api.clips(1, 1, u"clip"_s, token, children);
    QCoro::Task<ClipPage> battles = api.battles(1, 1, token, children);

    LibraryStats stats;
    std::exception_ptr failure;
    try {
        stats.albumsCount = (co_await albums).size();
        stats.tracksCount = (co_await tracks).total;
        stats.clipsCount = (co_await clips).total;
        stats.battlesCount = (co_await battles).total;
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure) {
        children.cancel();
        co_await settle(albums);
        co_await settle(tracks);
        co_await settle(clips);
        co_await settle(battles);
        std::rethrow_exception(failure);
    }

    // A guest keeps no favourites; an empty token is still a token.
    if (token)
        stats.favoritesCount = (co_await api.favorites(*token, cancel)).size();
    co_return stats;
}

QCoro::Task<QList<HomeReleaseItem>> NimbraApi::newReleases(
    std::optional<QString> token, int limit, CancelToken cancel) const
{
    const NimbraApi api = *this;
    const TrackPage page = co_await api.tracks(1, kReleaseTrackPageSize, true, token, cancel);
    const QList<AlbumOut> albums = co_await api.albums(cancel);

    // Every track counts as a single, on an album or not; undated records
    // cannot be placed in time and are left out.
    QList<DatedRelease> releases;
    for (const TrackOut &track : page.items) {
        if (!track.createdAt)
            continue;
        releases.append({*track.createdAt,
            HomeReleaseItem {u"track-"_s + track.id, track.title, track.artist, track.coverUrl,
                u"Сингл · "_s + dateText(*track.createdAt), track}});
    }
    for (const AlbumOut &album : albums) {
        if (!album.createdAt)
            continue;
        releases.append({*album.createdAt,
            HomeReleaseItem {u"album-"_s + album.id, album.title, album.artist, album.coverUrl,
                u"Альбом · "_s + dateText(*album.createdAt), album}});
    }
    // Stable, so that at equal dates tracks stay before albums, each in the
    // service's order.
    std::stable_sort(
        releases.begin(), releases.end(), [](const DatedRelease &a, const DatedRelease &b) { return a.date > b.date; });

    QList<HomeReleaseItem> items;
    const qsizetype count = std::min<qsizetype>(std::max(limit, 0), releases.size());
    items.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        items.append(releases.at(i).item);
    co_return items;
}

QCoro::Task<QList<TrackOut>> NimbraApi::dailyPlaylist(std::optional<QString> token, int size, CancelToken cancel) const
{
    const NimbraApi api = *this;
    const QDate today = m_sources.today ? m_sources.today() : QDate::currentDate();
    SplitMix64 generator(daySeed(today));
    const auto next = [&generator] { return generator.next(); };

    const TrackPage probe = co_await api.tracks(1, 1, true, token, cancel);
    const QList<int> pages = drawPages(probe.pages, kDailyPageLimit, next);

    QList<TrackOut> result;
    QSet<QString> seen;
    for (const int page : pages)
        appendUnseen(result, seen, (co_await api.tracks(page, kDrawnPageSize, true, token, cancel)).items);

    // The same generator goes on where the page draw stopped.
    shuffleList(result, next);
    result.resize(std::min<qsizetype>(std::max(size, 0), result.size()));
    co_return result;
}

QCoro::Task<QList<TrackOut>> NimbraApi::myWaveQueue(std::optional<QString> token, CancelToken cancel) const
{
    const NimbraApi api = *this;
    const RandomBits next = m_sources.random ? m_sources.random : systemRandomBits();

    QList<TrackOut> result;
    QSet<QString> seen;
    if (token) {
        QList<TrackOut> favorites = co_await api.favorites(*token, cancel);
        // Shuffled first, so that of two favourites with one id a random one stays.
        shuffleList(favorites, next);
        appendUnseen(result, seen, favorites);
    }

    const TrackPage probe = co_await api.tracks(1, 1, true, token, cancel);
    const QList<int> pages = drawPages(probe.pages, kWavePageLimit, next);
    for (const int page : pages)
        appendUnseen(result, seen, (co_await api.tracks(page, kDrawnPageSize, true, token, cancel)).items);

    shuffleList(result, next);
    co_return result;
}

QCoro::Task<QList<TrackOut>> NimbraApi::fetchAllTracksBrief(std::optional<QString> token, CancelToken cancel) const
{
    const NimbraApi api = *this;
    QList<TrackOut> result;
    for (int page = 1;; ++page) {
        const TrackPage received = co_await api.tracks(page, kCatalogPageSize, true, token, cancel);
        result.append(received.items);
        // An empty page ends it even when the total promises more, and a
        // total never reached ends it after the last page.
        if (received.items.isEmpty() || page >= kCatalogLastPage || result.size() >= received.total)
            break;
    }
    co_return result;
}

} // namespace nimbra
