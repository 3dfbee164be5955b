#pragma once

#include "artists/artistprofile.h"

#include <initializer_list>

namespace nimbra {

// Everything one artist page shows, derived from the cached catalogue each
// time the page opens.
struct ArtistPageContent
{
    ArtistProfile profile;
    QString resolvedName; // the profile's name, which may differ from the name asked for
    QList<AlbumOut> artAlbums; // the artist's own albums
    QList<AlbumOut> featAlbums; // albums of others that hold the artist's tracks
    QList<TrackOut> singles;
    QList<TrackOut> albumTracks;
    QList<TrackOut> featSingles;
    QList<TrackOut> featTitleAlbumTracks;
    QList<TrackOut> featAlbumTracks;
    QList<TrackOut> allTracks; // every track of the profile once, in page order
    QList<TrackOut> playQueue; // the same list as allTracks
    bool isFeatured = false;
    bool isMine = false;

    // Calls change on every track copy the page lists or plays.
    template<typename Change> void changeTracks(Change &&change)
    {
        for (QList<TrackOut> *list :
            {&singles, &albumTracks, &featSingles, &featTitleAlbumTracks, &featAlbumTracks, &allTracks, &playQueue}) {
            for (TrackOut &track : *list)
                change(track);
        }
    }
};

} // namespace nimbra
