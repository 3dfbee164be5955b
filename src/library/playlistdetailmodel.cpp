#include "library/playlistdetailmodel.h"

#include "collection/playlistsstore.h"
#include "api/session.h"
#include "api/boundary.h"
#include "api/storeregistry.h"
#include "player/playerstore.h"

namespace nimbra {

PlaylistDetailModel::PlaylistDetailModel(QObject *parent)
    : PlaylistDetailModel(TrackStores::registered(), StoreRegistry::get<PlaylistsStore>(), NimbraApi(), parent)
{
}

PlaylistDetailModel::PlaylistDetailModel(
    TrackStores stores, PlaylistsStore *playlists, NimbraApi api, QObject *parent)
    : TrackListModel(std::move(stores), parent), m_playlists(playlists), m_api(std::move(api))
{
}

PlaylistDetailModel::~PlaylistDetailModel() = default;

void PlaylistDetailModel::setPlaylistId(const QString &id)
{
    if (id == m_playlistId)
        return;
    m_playlistId = id;
    emit playlistIdChanged();
    // The title as the list shows it, not as the loaded record says.
    QString title;
    if (m_playlists) {
        for (const PlaylistOut &playlist : m_playlists->playlists()) {
            if (playlist.id == id) {
                title = playlist.title;
                break;
            }
        }
    }
    setTitle(title);
    reload();
}

void PlaylistDetailModel::reload()
{
    const Session *session = stores().session;
    const std::optional<QString> token = session ? session->token() : std::nullopt;
    if (!token || m_playlistId.isEmpty()) {
        m_task.cancel();
        return;
    }
    // The spinner takes the list's place while it loads again.
    setTracks({});
    setLoadState(LoadState::loading());
    load(m_playlistId, *token, m_task.renew(Session::lifetimeOf(session)));
}

QCoro::Task<void> PlaylistDetailModel::load(QString id, QString token, CancelToken cancel)
{
    QPointer<PlaylistDetailModel> self(this);
    const NimbraApi api = m_api;
    QCoro::Task<PlaylistDetail> request = api.playlist(id, token, cancel);
    Outcome<PlaylistDetail> outcome = co_await runAtBoundary(std::move(request));
    if (!self || !m_task.isCurrent(cancel))
        co_return;
    m_task.finish(cancel);
    if (!outcome) {
        // A playlist that could not be read is not an empty one: its
        // failure shows, with a retry.
        setTracks({});
        setLoadState(LoadState::failed(outcome.errorText));
        co_return;
    }
    if (m_title.isEmpty())
        setTitle(outcome->title);
    setTracks(std::move(outcome->tracks));
    setLoadState(LoadState::loaded(count() > 0));
}

void PlaylistDetailModel::playAll()
{
    if (count() > 0 && stores().player)
        stores().player->play(tracks().first(), tracks());
}

void PlaylistDetailModel::setTitle(const QString &title)
{
    if (title == m_title)
        return;
    m_title = title;
    emit titleChanged();
}

} // namespace nimbra
