#pragma once

#include "account/authstore.h"
#include "account/favoritesstore.h"
#include "account/playlistsstore.h"
#include "account/ratingsstore.h"
#include "artists/artistcatalogstore.h"
#include "artists/artistnavigationstore.h"
#include "clips/clipplayerstore.h"
#include "player/playerstore.h"
#include "update/otaupdatestore.h"

#include <QPointer>

namespace nimbra {

// Where QML's store singletons find the one instance of each store. The
// composition root (and a screen test) fills it before any QML is loaded;
// stores never look themselves up here.
class StoreRegistry
{
public:
    static AuthStore *authStore() { return instance().m_auth; }
    static PlayerStore *playerStore() { return instance().m_player; }
    static FavoritesStore *favoritesStore() { return instance().m_favorites; }
    static RatingsStore *ratingsStore() { return instance().m_ratings; }
    static ClipPlayerStore *clipPlayerStore() { return instance().m_clipPlayer; }
    static ArtistNavigationStore *artistNavigationStore() { return instance().m_artistNavigation; }
    static ArtistCatalogStore *artistCatalogStore() { return instance().m_artistCatalog; }
    static PlaylistsStore *playlistsStore() { return instance().m_playlists; }
    static OtaUpdateStore *otaUpdateStore() { return instance().m_otaUpdate; }

    static void setAuthStore(AuthStore *store) { instance().m_auth = store; }
    static void setPlayerStore(PlayerStore *store) { instance().m_player = store; }
    static void setFavoritesStore(FavoritesStore *store) { instance().m_favorites = store; }
    static void setRatingsStore(RatingsStore *store) { instance().m_ratings = store; }
    static void setClipPlayerStore(ClipPlayerStore *store) { instance().m_clipPlayer = store; }
    static void setArtistNavigationStore(ArtistNavigationStore *store) { instance().m_artistNavigation = store; }
    static void setArtistCatalogStore(ArtistCatalogStore *store) { instance().m_artistCatalog = store; }
    static void setPlaylistsStore(PlaylistsStore *store) { instance().m_playlists = store; }
    static void setOtaUpdateStore(OtaUpdateStore *store) { instance().m_otaUpdate = store; }

private:
    static StoreRegistry &instance()
    {
        static StoreRegistry registry;
        return registry;
    }

    QPointer<AuthStore> m_auth;
    QPointer<PlayerStore> m_player;
    QPointer<FavoritesStore> m_favorites;
    QPointer<RatingsStore> m_ratings;
    QPointer<ClipPlayerStore> m_clipPlayer;
    QPointer<ArtistNavigationStore> m_artistNavigation;
    QPointer<ArtistCatalogStore> m_artistCatalog;
    QPointer<PlaylistsStore> m_playlists;
    QPointer<OtaUpdateStore> m_otaUpdate;
};

} // namespace nimbra
