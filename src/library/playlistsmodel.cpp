#include "library/playlistsmodel.h"

#include "account/playlistsstore.h"
#include "account/session.h"
#include "api/storeregistry.h"
#include "format/russianplural.h"
#include "tracks/trackservices.h"

using namespace Qt::StringLiterals;

namespace nimbra {

PlaylistsModel::PlaylistsModel(QObject *parent)
    : PlaylistsModel(StoreRegistry::get<PlaylistsStore>(), TrackServices::registered().session, parent)
{
}

PlaylistsModel::PlaylistsModel(PlaylistsStore *store, Session *session, QObject *parent)
    : PlaylistRowsModel(store, session, parent)
{
}

void PlaylistsModel::load()
{
    if (store() && session() && session()->token())
        store()->load();
}

QString PlaylistsModel::countText(qint64 trackCount) const
{
    return russianCount(trackCount, CountWord::Track);
}

} // namespace nimbra
