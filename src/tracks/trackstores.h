#pragma once

#include "collection/favoritesstore.h"
#include "collection/ratingsstore.h"
#include "api/session.h"

#include <QPointer>

namespace nimbra {

class PlayerStore;

// The stores a track row's actions reach. A model that QML creates takes
// them from the StoreRegistry; a test may hand in its own.
struct TrackStores
{
    QPointer<PlayerStore> player;
    QPointer<FavoritesStore> favorites;
    QPointer<RatingsStore> ratings;
    QPointer<Session> session;

    // The stores registered at this moment (any of them may be missing).
    static TrackStores registered();
};

} // namespace nimbra
