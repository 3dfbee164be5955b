#include "artists/artistprofile.h"

namespace nimbra {

size_t qHash(const ArtistProfile &profile, size_t seed)
{
    return qHashMulti(seed, profile.id, profile.name, profile.coverUrl.value_or(QString()),
        qHashRange(profile.tracks.begin(), profile.tracks.end(), seed), qHash(profile.albumIds, seed),
        profile.latestRelease ? qHash(*profile.latestRelease, seed) : size_t(0));
}

} // namespace nimbra
