#include "catalogue/homesummary.h"

#include "api/settle.h"
#include "format/russiandate.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

constexpr int kReleaseTrackPageSize = 80;

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

QCoro::Task<LibraryStats> HomeSummary::libraryStats(std::optional<QString> token, CancelToken cancel) const
{
    const NimbraApi api = m_api;

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

QCoro::Task<QList<HomeReleaseItem>> HomeSummary::newReleases(
    std::optional<QString> token, int limit, CancelToken cancel) const
{
    const NimbraApi api = m_api;
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

} // namespace nimbra
