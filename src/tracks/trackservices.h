#pragma once

#include "account/favoritesstore.h"
#include "account/ratingsstore.h"
#include "account/session.h"

#include <QPointer>

namespace nimbra {

class PlayerStore;

// The stores a track row's actions reach. The composition root sets the
// shared set once; a model that QML creates takes it, a test hands in its own.
struct TrackServices
{
    QPointer<PlayerStore> player;
    QPointer<FavoritesStore> favorites;
    QPointer<RatingsStore> ratings;
    QPointer<Session> session;

    static TrackServices shared() { return sharedRef(); }
    static void setShared(const TrackServices &services) { sharedRef() = services; }

private:
    static TrackServices &sharedRef()
    {
        static TrackServices services;
        return services;
    }
};

} // namespace nimbra
