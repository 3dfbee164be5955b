#include "artists/artistlatestrelease.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace nimbra {

QString ArtistLatestRelease::id() const
{
    if (const auto *album = std::get_if<AlbumOut>(&mode))
        return "album-"_L1 + album->id;
    return "track-"_L1 + std::get<TrackOut>(mode).id;
}

size_t qHash(const ArtistLatestRelease &release, size_t seed)
{
    // An album payload hashes by its id, as album equality compares ids only.
    const size_t modeHash = release.isAlbum() ? qHashMulti(seed, 0, std::get<AlbumOut>(release.mode))
                                              : qHashMulti(seed, 1, std::get<TrackOut>(release.mode));
    const qint64 when = release.date ? release.date->toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
    return qHashMulti(seed, modeHash, release.title, release.artistLine, release.coverUrl.value_or(QString()), when,
        release.kindLabel);
}

} // namespace nimbra
