#include "api/trackout.h"

#include "api/apiconfig.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace nimbra {

bool TrackOut::isHiFi() const
{
    qsizetype cut = fileUrl.size();
    for (qsizetype i = 0; i < fileUrl.size(); ++i) {
        const QChar c = fileUrl.at(i);
        if (c == QLatin1Char('?') || c == QLatin1Char('#')) {
            cut = i;
            break;
        }
    }
    return fileUrl.left(cut).toLower().endsWith(QLatin1String(".flac"));
}

TrackOut TrackOut::withFavorite(bool favorite) const
{
    TrackOut copy = *this;
    copy.isFavorite = favorite;
    return copy;
}

TrackOut TrackOut::withUserRating(std::optional<QString> rating) const
{
    TrackOut copy = *this;
    copy.userRating = std::move(rating);
    return copy;
}

TrackOut TrackOut::mergingDetails(const TrackOut &detail) const
{
    TrackOut merged = *this;
    if (detail.lyrics)
        merged.lyrics = detail.lyrics;
    if (detail.userRating)
        merged.userRating = detail.userRating;
    merged.isFavorite = detail.isFavorite;
    if (!createdAt)
        merged.createdAt = detail.createdAt;
    return merged;
}

TrackOut TrackOut::fromJson(const JsonReader &r)
{
    TrackOut t;
    t.id = r.string("id"_L1);
    t.title = r.shownString("title"_L1);
    t.artist = r.shownString("artist"_L1);
    t.durationSeconds = r.integer("duration_seconds"_L1);
    t.fileUrl = r.string("file_url"_L1);
    t.coverUrl = r.optString("cover_url"_L1);
    t.albumId = r.optString("album_id"_L1);
    t.lyrics = r.optString("lyrics"_L1);
    t.trackNumber = r.optInteger("track_number"_L1);
    t.userRating = r.optString("user_rating"_L1);
    t.isFavorite = r.boolean("is_favorite"_L1);
    t.createdAt = r.optDate("created_at"_L1);
    return t;
}

QJsonObject TrackOut::toJson() const
{
    QJsonObject o;
    o.insert("id"_L1, id);
    o.insert("title"_L1, title);
    o.insert("artist"_L1, artist);
    o.insert("duration_seconds"_L1, durationSeconds);
    o.insert("file_url"_L1, fileUrl);
    putOptional(o, "cover_url"_L1, coverUrl);
    putOptional(o, "album_id"_L1, albumId);
    putOptional(o, "lyrics"_L1, lyrics);
    putOptional(o, "track_number"_L1, trackNumber);
    putOptional(o, "user_rating"_L1, userRating);
    o.insert("is_favorite"_L1, isFavorite);
    putOptional(o, "created_at"_L1, createdAt);
    return o;
}

size_t qHash(const TrackOut &t, size_t seed)
{
    return qHashMulti(seed, t.id, t.title, t.artist, t.durationSeconds, t.fileUrl, t.coverUrl.value_or(QString()),
        t.albumId.value_or(QString()), t.lyrics.value_or(QString()), t.trackNumber.value_or(-1),
        t.userRating.value_or(QString()), t.isFavorite,
        // Equal dates are equal instants, whatever zone they were read in.
        t.createdAt ? t.createdAt->toMSecsSinceEpoch() : std::numeric_limits<qint64>::min());
}

QString TrackOut::coverAddress() const
{
    return ApiConfig::resolvedText(coverUrl);
}

} // namespace nimbra
