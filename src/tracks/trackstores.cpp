#include "tracks/trackservices.h"

#include "api/storeregistry.h"
#include "player/playerstore.h"

namespace nimbra {

TrackServices TrackServices::registered()
{
    return {StoreRegistry::get<PlayerStore>(), StoreRegistry::get<FavoritesStore>(),
        StoreRegistry::get<RatingsStore>(), StoreRegistry::get<Session>()};
}

} // namespace nimbra
