#pragma once

#include "account/authstore.h"
#include "account/favoritesstore.h"
#include "account/playlistsstore.h"
#include "account/ratingsstore.h"
#include "account/session.h"
#include "api/storeregistry.h"
#include "artists/artistcatalogstore.h"
#include "artists/artistnavigationstore.h"
#include "clips/clipplayerstore.h"
#include "player/playerstore.h"
#include "tracks/trackactions.h"
#include "update/otaupdatestore.h"

#include <QJSEngine>
#include <QtQml/qqmlregistration.h>

// Each store is a QML singleton named like its class; create() hands QML the
// instance the composition root put in the StoreRegistry, which C++ keeps
// owning. A new store is one line here and one StoreRegistry::set() there.

template<typename Store> Store *storeForQml()
{
    Store *store = nimbra::StoreRegistry::get<Store>();
    Q_ASSERT_X(store, "storeForQml", "store used in QML before it was registered");
    QJSEngine::setObjectOwnership(store, QJSEngine::CppOwnership);
    return store;
}

#define NIMBRA_QML_STORE(Type)                                                                                         \
    struct Type##Foreign                                                                                               \
    {                                                                                                                  \
        Q_GADGET                                                                                                       \
        QML_FOREIGN(nimbra::Type)                                                                                      \
        QML_NAMED_ELEMENT(Type)                                                                                        \
        QML_SINGLETON                                                                                                  \
    public:                                                                                                            \
        static nimbra::Type *create(QQmlEngine *, QJSEngine *) { return storeForQml<nimbra::Type>(); }                 \
    };

NIMBRA_QML_STORE(AuthStore)
NIMBRA_QML_STORE(PlayerStore)
NIMBRA_QML_STORE(FavoritesStore)
NIMBRA_QML_STORE(RatingsStore)
NIMBRA_QML_STORE(PlaylistsStore)
NIMBRA_QML_STORE(ClipPlayerStore)
NIMBRA_QML_STORE(OtaUpdateStore)
NIMBRA_QML_STORE(ArtistNavigationStore)
NIMBRA_QML_STORE(ArtistCatalogStore)
NIMBRA_QML_STORE(Session)
// The actions on the player's current track (toggleFavorite, toggleDislike).
NIMBRA_QML_STORE(TrackActions)
