#include "trackvariant.h"

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {
template<typename T> void putIfPresent(QVariantMap &map, const QString &key, const std::optional<T> &value)
{
    if (value)
        map.insert(key, QVariant::fromValue(*value));
}
} // namespace

QVariantMap trackToVariant(const TrackOut &track)
{
    QVariantMap map {
        {u"id"_s, track.id},
        {u"title"_s, track.title},
        {u"artist"_s, track.artist},
        {u"durationSeconds"_s, track.durationSeconds},
        {u"fileURL"_s, track.fileURL},
        {u"isFavorite"_s, track.isFavorite},
        {u"isHiFi"_s, track.isHiFi()},
    };
    putIfPresent(map, u"coverURL"_s, track.coverURL);
    putIfPresent(map, u"albumID"_s, track.albumID);
    putIfPresent(map, u"lyrics"_s, track.lyrics);
    putIfPresent(map, u"trackNumber"_s, track.trackNumber);
    putIfPresent(map, u"userRating"_s, track.userRating);
    putIfPresent(map, u"createdAt"_s, track.createdAt);
    return map;
}

QVariantList tracksToVariant(const QList<TrackOut> &tracks)
{
    QVariantList list;
    list.reserve(tracks.size());
    for (const TrackOut &track : tracks)
        list.append(trackToVariant(track));
    return list;
}

} // namespace nimbra
