#include "catalogue/albumdetailmodel.h"

#include "catalogue/albumlistmodel.h"

#include "api/boundary.h"
#include "api/nimbraapi.h"
#include "catalogue/albumdirectory.h"

#include <QPointer>

namespace nimbra {

AlbumDetailModel::Sources AlbumDetailModel::Sources::fromApi(const NimbraApi &api)
{
    return {
        [api](QString albumId, Token token, CancelToken cancel) {
            return api.albumTracks(std::move(albumId), std::move(token), std::move(cancel));
        },
        [api](CancelToken cancel) { return api.albums(std::move(cancel)); },
    };
}

AlbumDetailModel::AlbumDetailModel(QObject *parent)
    : AlbumDetailModel(Sources::fromApi(NimbraApi()), TrackStores::registered(), parent)
{
}

AlbumDetailModel::AlbumDetailModel(Sources sources, TrackStores stores, QObject *parent)
    : TrackListModel(std::move(stores), parent), m_sources(std::move(sources))
{
    showActionFailuresInList();
}

AlbumDetailModel::~AlbumDetailModel() = default;

void AlbumDetailModel::setAlbumId(const QString &id)
{
    if (id == m_album.id && m_knowsRecord)
        return;
    if (const std::optional<AlbumOut> known = AlbumDirectory::find(id)) {
        setAlbum(*known);
        return;
    }
    m_album = AlbumOut {};
    m_album.id = id;
    m_knowsRecord = false;
    emit albumChanged();
}

void AlbumDetailModel::setAlbum(const AlbumOut &album)
{
    m_album = album;
    m_knowsRecord = true;
    emit albumChanged();
}

QString AlbumDetailModel::yearText() const
{
    return AlbumListModel::yearText(m_album.year);
}

QString AlbumDetailModel::coverUrl() const
{
    return m_album.coverAddress();
}

void AlbumDetailModel::reload()
{
    if (m_album.id.isEmpty())
        return;
    // The old failure's text goes at once.
    setLoadState(LoadState::loading());
    load(m_album, !m_knowsRecord, m_task.renew(Session::lifetimeOf(stores().session)));
}

QCoro::Task<void> AlbumDetailModel::load(AlbumOut album, bool needsRecord, CancelToken cancel)
{
    QPointer<AlbumDetailModel> self(this);
    const TrackStores stores = this->stores();
    const Token token = stores.session ? stores.session->token() : std::nullopt;
    QCoro::Task<QList<TrackOut>> request = m_sources.tracks(album.id, token, cancel);

    if (needsRecord) {
        QCoro::Task<QList<AlbumOut>> listing = m_sources.albums(cancel);
        Outcome<QList<AlbumOut>> albums = co_await runAtBoundary(std::move(listing));
        if (!self || !m_task.isCurrent(cancel))
            co_return;
        // Without the record the page still lists the tracks.
        if (albums) {
            AlbumDirectory::remember(*albums);
            for (const AlbumOut &candidate : *albums) {
                if (candidate.id == album.id) {
                    setAlbum(candidate);
                    break;
                }
            }
        }
    }

    Outcome<QList<TrackOut>> tracks = co_await runAtBoundary(std::move(request));
    if (!self || !m_task.isCurrent(cancel))
        co_return;
    m_task.finish(cancel);
    if (!tracks) {
        // The tracks shown before stay under the failure's text.
        setLoadState(LoadState::failed(tracks.errorText));
        co_return;
    }
    setTracks(std::move(*tracks.value));
    setLoadState(LoadState::loaded(count() > 0));
}

void AlbumDetailModel::playAlbum()
{
    if (count() > 0)
        playAndOpen(0);
}

} // namespace nimbra
