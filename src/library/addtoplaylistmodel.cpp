#include "library/addtoplaylistmodel.h"

#include "collection/playlistsstore.h"
#include "api/session.h"
#include "api/storeregistry.h"
#include "format/russianplural.h"
#include "tracks/tracklistmodel.h"
#include "tracks/trackstores.h"

#include <QPointer>

using namespace Qt::StringLiterals;

namespace nimbra {

AddToPlaylistModel::AddToPlaylistModel(QObject *parent)
    : AddToPlaylistModel(StoreRegistry::get<PlaylistsStore>(), TrackStores::registered().session, parent)
{
}

AddToPlaylistModel::AddToPlaylistModel(PlaylistsStore *store, Session *session, QObject *parent)
    : PlaylistRowsModel(store, session, parent)
{
}

void AddToPlaylistModel::setTrack(const TrackOut &track)
{
    if (track == m_track)
        return;
    m_track = track;
    emit trackChanged();
}

void AddToPlaylistModel::begin(TrackListModel *list, int row)
{
    if (list && row >= 0 && row < list->count())
        setTrack(list->trackAt(row));
    const QSet<QString> marked = std::exchange(m_added, {});
    for (const QString &id : marked)
        rowChanged(id);
    setAddState(m_addingTo, QString());
    clearCreateError();
    start();
}

void AddToPlaylistModel::start()
{
    if (store() && session() && session()->token() && store()->playlists().isEmpty())
        store()->load();
}

void AddToPlaylistModel::addTo(int row)
{
    const PlaylistOut playlist = playlistAt(row);
    if (playlist.id.isEmpty() || m_track.id.isEmpty() || isAddingAny() || !store() || !session()
        || !session()->token())
        return;
    addTask(playlist.id);
}

QCoro::Task<void> AddToPlaylistModel::addTask(QString playlistId)
{
    QPointer<AddToPlaylistModel> self(this);
    QPointer<PlaylistsStore> store = this->store();
    setAddState(playlistId, QString());
    rowChanged(playlistId);
    const bool added = co_await store->addTrackAsync(m_track.id, playlistId);
    if (!self)
        co_return;
    if (added) {
        m_added.insert(playlistId);
        followUpDone(playlistId);
    }
    setAddState(QString(), added || !store ? QString() : store->errorText());
    rowChanged(playlistId);
}

QCoro::Task<bool> AddToPlaylistModel::afterCreate(PlaylistOut created)
{
    QPointer<AddToPlaylistModel> self(this);
    QPointer<PlaylistsStore> store = this->store();
    if (!store || m_track.id.isEmpty())
        co_return false;
    const bool added = co_await store->addTrackAsync(m_track.id, created.id);
    if (!self)
        co_return added;
    if (added) {
        m_added.insert(created.id);
        // An earlier add's failure is no longer the news.
        setAddState(m_addingTo, QString());
        rowChanged(created.id);
    }
    co_return added;
}

QString AddToPlaylistModel::countText(qint64 trackCount) const
{
    return russianCount(trackCount, CountWord::Track);
}

void AddToPlaylistModel::setAddState(const QString &addingTo, const QString &error)
{
    if (addingTo == m_addingTo && error == m_addError)
        return;
    m_addingTo = addingTo;
    m_addError = error;
    emit addStateChanged();
}

} // namespace nimbra
