// Finding the profile that answers to a name, as clicked in the interface.

#include "artists/artistcataloglogic.h"

namespace nimbra {

std::optional<ArtistCatalogLogic::ProfileMatch> ArtistCatalogLogic::findProfile(
    const QString &name, const QList<ArtistProfile> &profiles)
{
    const auto match = [](const ArtistProfile &profile) { return ProfileMatch {profile, profile.name}; };
    const QString key = normKey(name);
    QStringList profileKeys;
    profileKeys.reserve(profiles.size());
    for (const ArtistProfile &profile : profiles) {
        profileKeys.append(normKey(profile.name));
        if (profileKeys.last() == key)
            return match(profile);
    }
    for (const QString &part : splitArtists(name)) {
        const qsizetype i = profileKeys.indexOf(normKey(part));
        if (i >= 0)
            return match(profiles.at(i));
    }
    return std::nullopt;
}

} // namespace nimbra
