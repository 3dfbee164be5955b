#include "playlistsmodel.h"

#include "account/playlistsstore.h"
#include "account/session.h"
#include "app/storeregistry.h"
#include "screens/russianplural.h"
#include "screens/trackservices.h"

namespace nimbra {

PlaylistsModel::PlaylistsModel(QObject *parent)
    : PlaylistsModel(StoreRegistry::get<PlaylistsStore>(), TrackServices::shared().session, parent)
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
    return RussianPlural::tracks(trackCount);
}

} // namespace nimbra
