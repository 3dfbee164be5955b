#pragma once

#include "account/authstore.h"
#include "account/favoritesstore.h"
#include "account/playlistsstore.h"
#include "account/ratingsstore.h"
#include "artists/artistcatalogstore.h"
#include "artists/artistnavigationstore.h"
#include "clips/clipplayerstore.h"
#include "player/playerstore.h"
#include "screens/storeregistry.h"
#include "update/otaupdatestore.h"

#include <QJSEngine>
#include <QtQml/qqmlregistration.h>

// Each store is a QML singleton named like its class; create() hands QML the
// instance the composition root made, which C++ keeps owning.

template<typename Store> Store *storeForQml(Store *store)
{
    Q_ASSERT_X(store, "storeForQml", "store used in QML before it was registered");
    QJSEngine::setObjectOwnership(store, QJSEngine::CppOwnership);
    return store;
}

struct AuthStoreForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::AuthStore)
    QML_NAMED_ELEMENT(AuthStore)
    QML_SINGLETON
public:
    static nimbra::AuthStore *create(QQmlEngine *, QJSEngine *)
    {
        return storeForQml(nimbra::StoreRegistry::authStore());
    }
};

struct PlayerStoreForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::PlayerStore)
    QML_NAMED_ELEMENT(PlayerStore)
    QML_SINGLETON
public:
    static nimbra::PlayerStore *create(QQmlEngine *, QJSEngine *)
    {
        return storeForQml(nimbra::StoreRegistry::playerStore());
    }
};

struct FavoritesStoreForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::FavoritesStore)
    QML_NAMED_ELEMENT(FavoritesStore)
    QML_SINGLETON
public:
    static nimbra::FavoritesStore *create(QQmlEngine *, QJSEngine *)
    {
        return storeForQml(nimbra::StoreRegistry::favoritesStore());
    }
};

struct RatingsStoreForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::RatingsStore)
    QML_NAMED_ELEMENT(RatingsStore)
    QML_SINGLETON
public:
    static nimbra::RatingsStore *create(QQmlEngine *, QJSEngine *)
    {
        return storeForQml(nimbra::StoreRegistry::ratingsStore());
    }
};

struct PlaylistsStoreForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::PlaylistsStore)
    QML_NAMED_ELEMENT(PlaylistsStore)
    QML_SINGLETON
public:
    static nimbra::PlaylistsStore *create(QQmlEngine *, QJSEngine *)
    {
        return storeForQml(nimbra::StoreRegistry::playlistsStore());
    }
};

struct ClipPlayerStoreForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::ClipPlayerStore)
    QML_NAMED_ELEMENT(ClipPlayerStore)
    QML_SINGLETON
public:
    static nimbra::ClipPlayerStore *create(QQmlEngine *, QJSEngine *)
    {
        return storeForQml(nimbra::StoreRegistry::clipPlayerStore());
    }
};

struct OtaUpdateStoreForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::OtaUpdateStore)
    QML_NAMED_ELEMENT(OtaUpdateStore)
    QML_SINGLETON
public:
    static nimbra::OtaUpdateStore *create(QQmlEngine *, QJSEngine *)
    {
        return storeForQml(nimbra::StoreRegistry::otaUpdateStore());
    }
};

struct ArtistNavigationStoreForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::ArtistNavigationStore)
    QML_NAMED_ELEMENT(ArtistNavigationStore)
    QML_SINGLETON
public:
    static nimbra::ArtistNavigationStore *create(QQmlEngine *, QJSEngine *)
    {
        return storeForQml(nimbra::StoreRegistry::artistNavigationStore());
    }
};

struct ArtistCatalogStoreForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::ArtistCatalogStore)
    QML_NAMED_ELEMENT(ArtistCatalogStore)
    QML_SINGLETON
public:
    static nimbra::ArtistCatalogStore *create(QQmlEngine *, QJSEngine *)
    {
        return storeForQml(nimbra::StoreRegistry::artistCatalogStore());
    }
};
