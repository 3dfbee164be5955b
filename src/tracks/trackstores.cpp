#include "tracks/trackstores.h"

#include "api/storeregistry.h"
#include "player/playerstore.h"

namespace nimbra {

TrackStores TrackStores::registered()
{
    return {StoreRegistry::get<PlayerStore>(), StoreRegistry::get<FavoritesStore>(),
        StoreRegistry::get<RatingsStore>(), StoreRegistry::get<Session>()};
}

} // namespace nimbra
