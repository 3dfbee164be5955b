#include "artists/artistprofile.h"

namespace nimbra {

size_t qHash(const ArtistProfile &profile, size_t seed)
{
    return qHashMulti(seed, profile.id, profile.name, profile.coverURL.value_or(QString()),
        qHashRange(profile.tracks.begin(), profile.tracks.end(), seed), qHash(profile.albumIDs, seed),
        profile.latestRelease ? qHash(*profile.latestRelease, seed) : size_t(0));
}

} // namespace nimbra
