#include "recordjson.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;

namespace devservice::recordjson {

namespace {

QJsonValue textOrNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonValue dateOrNull(qint64 ms, DateShape shape)
{
    return shape == DateShape::None ? QJsonValue(QJsonValue::Null) : QJsonValue(formatServiceDate(ms, shape));
}

} // namespace

QJsonObject track(const Catalogue &catalogue, int index, const UserView &view, TrackDetail detail)
{
    const TrackRecord &t = catalogue.track(index);
    QJsonObject o {
        {u"id"_s, catalogue.trackId(index)},
        {u"title"_s, t.title},
        {u"artist"_s, t.artist},
        {u"duration_seconds"_s, t.durationSeconds},
        {u"file_url"_s, catalogue.trackFileUrl(index)},
        {u"cover_url"_s, textOrNull(catalogue.trackCoverUrl(index))},
        {u"album_id"_s, t.albumIndex < 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(catalogue.albumId(t.albumIndex))},
        {u"track_number"_s, t.trackNumber > 0 ? QJsonValue(t.trackNumber) : QJsonValue(QJsonValue::Null)},
        {u"user_rating"_s, textOrNull(view.ratings.value(index))},
        {u"is_favorite"_s, view.favorites.contains(index)},
        {u"created_at"_s, dateOrNull(t.createdAtMs, t.dateShape)},
    };
    if (detail == TrackDetail::Full)
        o.insert(u"lyrics"_s, textOrNull(catalogue.ownLyrics(index)));
    return o;
}

QJsonObject album(const Catalogue &catalogue, int index)
{
    const AlbumRecord &a = catalogue.album(index);
    return {
        {u"id"_s, catalogue.albumId(index)},
        {u"title"_s, a.title},
        {u"artist"_s, a.artist},
        {u"year"_s, a.year > 0 ? QJsonValue(a.year) : QJsonValue(QJsonValue::Null)},
        {u"cover_url"_s, catalogue.albumCoverUrl(index)},
        {u"created_at"_s, dateOrNull(a.createdAtMs, a.dateShape)},
    };
}

QJsonObject clip(const ClipRecord &clip)
{
    return {
        {u"id"_s, clip.id},
        {u"title"_s, clip.title},
        {u"artist"_s, clip.artist},
        {u"duration_seconds"_s, clip.durationSeconds},
        {u"file_url"_s, clip.fileUrl()},
        {u"cover_url"_s, clip.coverUrl()},
        {u"kind"_s, clip.kind},
        {u"is_favorite"_s, false},
    };
}

QJsonObject user(const UserRecord &user)
{
    return {
        {u"id"_s, user.id},
        {u"username"_s, user.username},
        {u"email"_s, textOrNull(user.email)},
        {u"role"_s, user.role},
        {u"avatar_url"_s, textOrNull(user.avatarUrl)},
        {u"catalog_artist_name"_s,
            user.catalogArtistName ? QJsonValue(*user.catalogArtistName) : QJsonValue(QJsonValue::Null)},
        {u"created_at"_s, formatServiceDate(user.createdAtMs, DateShape::UtcMillis)},
        {u"custom_roles"_s, user.customRoles},
    };
}

QJsonObject playlist(const PlaylistRecord &playlist)
{
    return {
        {u"id"_s, playlist.id},
        {u"title"_s, playlist.title},
        {u"is_public"_s, playlist.isPublic},
        {u"track_count"_s, int(playlist.tracks.size())},
    };
}

QJsonObject playlistDetail(const Catalogue &catalogue, const PlaylistRecord &playlist, const UserView &view)
{
    QJsonObject o = recordjson::playlist(playlist);
    QJsonArray tracks;
    for (const int index : playlist.tracks)
        tracks.append(track(catalogue, index, view, TrackDetail::Full));
    o.insert(u"tracks"_s, tracks);
    return o;
}

QJsonObject page(const QJsonArray &items, int total, int page, int size)
{
    return {
        {u"items"_s, items},
        {u"total"_s, total},
        {u"page"_s, page},
        {u"size"_s, size},
        {u"pages"_s, size > 0 ? (total + size - 1) / size : 0},
    };
}

} // namespace devservice::recordjson
