#pragma once

#include "apitypes.h"
#include "collection/favoritesstore.h"
#include "collection/playlistsstore.h"
#include "collection/ratingsstore.h"

// QML names of the listener's collection: the favourites, ratings and
// playlists stores.

NIMBRA_QML_STORE(FavoritesStore)
NIMBRA_QML_STORE(RatingsStore)
NIMBRA_QML_STORE(PlaylistsStore)
