#include "showcaseartists.h"

using namespace Qt::StringLiterals;

namespace devservice::showcase {

void apply(QVector<TrackRecord> &tracks, QVector<AlbumRecord> &albums, int fixedHead)
{
    const QString own = QString::fromUtf16(ownArtist);
    // The longest album but the first, which holds a fixed track.
    int ownAlbum = -1;
    for (int a = 1; a < albums.size(); ++a) {
        if (ownAlbum < 0 || albums.at(a).trackCount > albums.at(ownAlbum).trackCount)
            ownAlbum = a;
    }
    if (ownAlbum >= 0) {
        AlbumRecord &album = albums[ownAlbum];
        album.artist = own;
        for (int i = 0; i < album.trackCount; ++i)
            tracks[album.firstTrack + i].artist = own;
        if (album.trackCount > 1)
            tracks[album.firstTrack + 1].artist = own + u" feat. "_s + QString::fromUtf16(guestOnly);
    }

    // Singles first, then tracks of albums other than the showcase one.
    QList<int> free;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = fixedHead; i < tracks.size(); ++i) {
            const TrackRecord &t = tracks.at(i);
            if ((pass == 0) == (t.albumIndex < 0) && t.albumIndex != ownAlbum)
                free.append(i);
        }
    }
    const struct
    {
        QString artist;
        int count;
        bool hasCover;
    } singles[] = {{own, 2, true}, {QString::fromUtf16(fiveTracks), 5, false}, {QString::fromUtf16(fourTracks), 4, false}};
    qsizetype next = 0;
    for (const auto &group : singles) {
        for (int n = 0; n < group.count && next < free.size(); ++n, ++next) {
            TrackRecord &t = tracks[free.at(next)];
            t.artist = group.artist;
            t.hasCover = group.hasCover;
        }
    }
}

} // namespace devservice::showcase
