#pragma once

#include "api/catalogrecords.h"

#include <QDateTime>
#include <QTimeZone>

namespace nimbra::test {

inline QDateTime utcDate(int year, int month, int day)
{
    return QDateTime(QDate(year, month, day), QTime(12, 0), QTimeZone::utc());
}

inline TrackOut makeTrack(const QString &id, const QString &artist, std::optional<QString> albumId = std::nullopt,
    const QString &title = QStringLiteral("Song"))
{
    TrackOut track;
    track.id = id;
    track.title = title;
    track.artist = artist;
    track.durationSeconds = 180;
    track.fileUrl = QStringLiteral("media/") + id + QStringLiteral(".mp3");
    track.albumId = std::move(albumId);
    return track;
}

inline TrackOut withDate(TrackOut track, const std::optional<QDateTime> &date)
{
    track.createdAt = date;
    return track;
}

inline TrackOut withCover(TrackOut track, const std::optional<QString> &cover)
{
    track.coverUrl = cover;
    return track;
}

inline AlbumOut makeAlbum(const QString &id, const QString &artist, std::optional<QDateTime> date = std::nullopt,
    std::optional<QString> cover = std::nullopt)
{
    AlbumOut album;
    album.id = id;
    album.title = QStringLiteral("Album ") + id;
    album.artist = artist;
    album.coverUrl = std::move(cover);
    album.createdAt = std::move(date);
    return album;
}

inline QStringList idsOf(const QList<TrackOut> &tracks)
{
    QStringList ids;
    for (const TrackOut &track : tracks)
        ids.append(track.id);
    return ids;
}

inline QStringList idsOf(const QList<AlbumOut> &albums)
{
    QStringList ids;
    for (const AlbumOut &album : albums)
        ids.append(album.id);
    return ids;
}

} // namespace nimbra::test
