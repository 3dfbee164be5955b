// The content of one artist page: the artist's own work and the work it takes
// part in, and the order in which the page lists and plays its tracks.

#include "artists/artistcataloglogic.h"

#include <vector>

namespace nimbra {

namespace {

// What the page needs to know of one of the profile's tracks.
struct TrackFacts
{
    bool hasAlbum = false;
    bool primaryIsArtist = false; // the first credited name is the artist
    bool onArtistsAlbum = false; // its catalogue album's credit names the artist
    bool featuringTitle = false; // another artist's album track naming the artist in its title
};

// Own singles, own album tracks, others' tracks on the artist's albums,
// featuring titles, featured singles, tracks on others' albums, then whatever
// fell in no group; each track once, at its first place.
QList<TrackOut> pageTrackOrder(
    const ArtistTrackList &tracks, const std::vector<TrackFacts> &facts, const QList<TrackOut> &featAlbumTracks)
{
    QList<TrackOut> ordered;
    ordered.reserve(tracks.size());
    QSet<QString> placed;
    placed.reserve(tracks.size());
    const auto place = [&](const TrackOut &track) {
        const qsizetype before = placed.size();
        placed.insert(track.id);
        if (placed.size() != before)
            ordered.append(track);
    };
    const auto placeWhere = [&](auto belongs) {
        for (qsizetype i = 0; i < tracks.size(); ++i) {
            if (belongs(facts[i]))
                place(tracks.at(i));
        }
    };
    placeWhere([](const TrackFacts &f) { return !f.hasAlbum && f.primaryIsArtist; });
    placeWhere([](const TrackFacts &f) { return f.hasAlbum && f.primaryIsArtist; });
    placeWhere([](const TrackFacts &f) { return f.hasAlbum && !f.primaryIsArtist && f.onArtistsAlbum; });
    placeWhere([](const TrackFacts &f) { return f.featuringTitle; });
    placeWhere([](const TrackFacts &f) { return !f.hasAlbum && !f.primaryIsArtist; });
    for (const TrackOut &track : featAlbumTracks)
        place(track);
    for (const TrackOut &track : tracks)
        place(track);
    return ordered;
}

} // namespace

std::optional<ArtistPageContent> ArtistCatalogLogic::buildPage(const QString &name,
    const QList<ArtistProfile> &profiles, const QList<AlbumOut> &albums, const QStringList &featuredNames,
    const std::optional<UserOut> &user)
{
    std::optional<ProfileMatch> found = findProfile(name, profiles);
    if (!found)
        return std::nullopt;

    ArtistPageContent page;
    page.profile = std::move(found->profile);
    page.resolvedName = std::move(found->resolvedName);
    const QString pageKey = normKey(page.resolvedName);
    const ArtistTrackList &tracks = page.profile.tracks;
    const auto namesArtist = [&](const QString &credit) {
        const QStringList names = splitArtists(credit);
        return std::any_of(names.begin(), names.end(), [&](const QString &n) { return normKey(n) == pageKey; });
    };

    QSet<QString> albumSet = page.profile.albumIds;
    for (const TrackOut &track : tracks) {
        if (track.albumId)
            albumSet.insert(*track.albumId);
    }

    // Every album a track refers to is in the album set, so the catalogue
    // album of each track is met here: the first album with its id.
    QSet<QString> artAlbumIds;
    QSet<QString> featAlbumIds;
    QHash<QString, bool> catalogueAlbumNamesArtist;
    for (const AlbumOut &album : albums) {
        if (!albumSet.contains(album.id))
            continue;
        const bool own = albumCreditsHasArtist(album.artist, page.resolvedName);
        (own ? page.artAlbums : page.featAlbums).append(album);
        (own ? artAlbumIds : featAlbumIds).insert(album.id);
        if (!catalogueAlbumNamesArtist.contains(album.id))
            catalogueAlbumNamesArtist.insert(album.id, own);
    }

    std::vector<TrackFacts> facts(tracks.size());
    for (qsizetype i = 0; i < tracks.size(); ++i) {
        const TrackOut &track = tracks.at(i);
        TrackFacts &f = facts[i];
        f.hasAlbum = track.albumId.has_value();
        f.primaryIsArtist = normKey(splitArtists(track.artist).first()) == pageKey;
        f.onArtistsAlbum = f.hasAlbum && catalogueAlbumNamesArtist.value(*track.albumId, false);
        if (f.hasAlbum && !f.primaryIsArtist && !f.onArtistsAlbum) {
            const std::optional<QString> featured = parseTitleFeat(track.title);
            f.featuringTitle = featured && namesArtist(*featured);
        }

        if (!f.hasAlbum)
            (f.primaryIsArtist ? page.singles : page.featSingles).append(track);
        if (f.featuringTitle)
            page.featTitleAlbumTracks.append(track);
        if (f.hasAlbum && (artAlbumIds.contains(*track.albumId) || f.onArtistsAlbum || f.primaryIsArtist))
            page.albumTracks.append(track);
        if (f.hasAlbum && featAlbumIds.contains(*track.albumId))
            page.featAlbumTracks.append(track);
    }

    page.allTracks = pageTrackOrder(tracks, facts, page.featAlbumTracks);
    page.playQueue = page.allTracks;
    page.isFeatured = std::any_of(featuredNames.begin(), featuredNames.end(),
        [&](const QString &featured) { return normKey(featured) == pageKey; });
    page.isMine = isMyArtist(page.resolvedName, user);
    return page;
}

} // namespace nimbra
