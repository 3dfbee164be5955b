#pragma once

#include "artists/artistlatestrelease.h"
#include "artists/artisttracklist.h"

#include <QList>
#include <QSet>

namespace nimbra {

// One artist derived from the credits of the catalogue's tracks and albums.
struct ArtistProfile
{
    QString id; // the same text as name
    QString name;
    std::optional<QString> coverUrl;
    ArtistTrackList tracks; // in the order they were added, no two with the same id
    QSet<QString> albumIds;
    std::optional<ArtistLatestRelease> latestRelease;

    bool operator==(const ArtistProfile &other) const = default;
};

size_t qHash(const ArtistProfile &profile, size_t seed = 0);

} // namespace nimbra
