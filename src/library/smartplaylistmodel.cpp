#include "library/smartplaylistmodel.h"

#include "api/boundary.h"
#include "api/settle.h"
#include "player/audiocacheservice.h"
#include "library/trackdraws.h"
#include "player/playerstore.h"

#include <QPointer>

namespace nimbra {

namespace {

constexpr int dailySize = 30;

// The wave and the daily list say on their empty page that they could not
// be loaded; the favourites and the offline copies are the listener's own,
// and an empty page there would tell them they have none.
bool failureShows(SmartPlaylistKind kind)
{
    return kind == SmartPlaylistKind::Favorites || kind == SmartPlaylistKind::Offline;
}

QSet<QString> savedTrackIds()
{
    return AudioCacheService::shared()->cachedTrackIds();
}

} // namespace

SmartPlaylistModel::SmartPlaylistModel(QObject *parent)
    : SmartPlaylistModel(TrackStores::registered(), savedTrackIds, NimbraApi(), systemRandomBits(), parent)
{
}

SmartPlaylistModel::SmartPlaylistModel(
    TrackStores stores, OfflineIds offlineIds, NimbraApi api, RandomBits random, QObject *parent)
    : TrackListModel(std::move(stores), parent)
    , m_offlineIds(std::move(offlineIds))
    , m_api(std::move(api))
    , m_random(std::move(random))
{
}

SmartPlaylistModel::~SmartPlaylistModel() = default;

QString SmartPlaylistModel::kind() const
{
    return m_kind ? SmartPlaylistInfo::of(*m_kind).raw : QString();
}

void SmartPlaylistModel::setKind(const QString &raw)
{
    const std::optional<SmartPlaylistKind> kind = SmartPlaylistInfo::kindFromRaw(raw);
    if (kind == m_kind)
        return;
    m_kind = kind;
    emit kindChanged();
    reload();
}

QString SmartPlaylistModel::title() const
{
    if (!m_kind)
        return {};
    const SmartPlaylistInfo info = SmartPlaylistInfo::of(*m_kind);
    return info.emoji + u' ' + info.displayTitle;
}

QString SmartPlaylistModel::emoji() const
{
    return m_kind ? SmartPlaylistInfo::of(*m_kind).emoji : QString();
}

QString SmartPlaylistModel::heading() const
{
    return m_kind ? SmartPlaylistInfo::of(*m_kind).displayTitle : QString();
}

QString SmartPlaylistModel::emptyText() const
{
    return m_kind ? SmartPlaylistInfo::of(*m_kind).emptyDescription : QString();
}

void SmartPlaylistModel::setPreloadedTracks(QList<TrackOut> tracks)
{
    m_preloaded = std::move(tracks);
}

void SmartPlaylistModel::reload()
{
    if (!m_kind) {
        m_task.cancel();
        return;
    }
    if (!m_preloaded.isEmpty()) {
        m_task.cancel();
        setTracks(m_preloaded);
        setLoadState(LoadState::loaded(true));
        return;
    }
    const Session *session = stores().session;
    const std::optional<QString> token = session ? session->token() : std::nullopt;
    // The favourites are the listener's own: a guest is sent nothing.
    if (*m_kind == SmartPlaylistKind::Favorites && !token) {
        m_task.cancel();
        setLoadState(LoadState::loaded(count() > 0));
        return;
    }
    setLoadState(LoadState::loading());
    load(*m_kind, token, m_task.renew(Session::lifetimeOf(session)));
}

QCoro::Task<void> SmartPlaylistModel::load(SmartPlaylistKind kind, std::optional<QString> token, CancelToken cancel)
{
    QPointer<SmartPlaylistModel> self(this);
    QCoro::Task<QList<TrackOut>> request = fetch(kind, std::move(token), cancel);
    Outcome<QList<TrackOut>> outcome = co_await runAtBoundary(std::move(request));
    // A load that was replaced, or whose screen went, writes nothing.
    if (!self || !m_task.isCurrent(cancel))
        co_return;
    m_task.finish(cancel);
    if (outcome.value) {
        setTracks(std::move(*outcome.value));
    } else if (failureShows(kind)) {
        // The listener's own lists are not empty because the service could
        // not be asked: the failure shows, with a retry.
        setTracks({});
        setLoadState(LoadState::failed(outcome.errorText));
        co_return;
    } else {
        setTracks({});
    }
    setLoadState(LoadState::loaded(count() > 0));
}

QCoro::Task<QList<TrackOut>> SmartPlaylistModel::fetch(
    SmartPlaylistKind kind, std::optional<QString> token, CancelToken cancel)
{
    const NimbraApi api = m_api;
    switch (kind) {
    case SmartPlaylistKind::Wave:
        co_return co_await TrackDraws(api).myWaveQueue(std::move(token), cancel);
    case SmartPlaylistKind::Favorites:
        co_return co_await api.favorites(token.value_or(QString()), cancel);
    case SmartPlaylistKind::Daily:
        co_return co_await TrackDraws(api).dailyPlaylist(std::move(token), dailySize, cancel);
    case SmartPlaylistKind::Offline:
        break;
    }
    const QSet<QString> saved = m_offlineIds ? m_offlineIds() : QSet<QString>();
    // No saved file: no catalogue request, and the list stays as it was.
    if (saved.isEmpty())
        co_return tracks();
    // A catalogue that cannot be had is the list's failure, not an empty list.
    const QList<TrackOut> catalogue = co_await api.fetchAllTracksBrief(std::move(token), cancel);
    QList<TrackOut> offline;
    for (const TrackOut &track : std::as_const(catalogue)) {
        if (saved.contains(track.id))
            offline.append(track);
    }
    co_return offline;
}

void SmartPlaylistModel::playAll()
{
    playList(tracks());
}

void SmartPlaylistModel::shuffleAll()
{
    QList<TrackOut> queue = tracks();
    shuffleList(queue, m_random);
    playList(queue);
}

void SmartPlaylistModel::playList(const QList<TrackOut> &queue)
{
    if (queue.isEmpty() || !stores().player)
        return;
    stores().player->play(queue.first(), queue);
}

} // namespace nimbra
