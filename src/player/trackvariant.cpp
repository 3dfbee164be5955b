#include "trackvariant.h"

#include "api/variantfields.h"

using namespace Qt::StringLiterals;

namespace nimbra {

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
    insertIfPresent(map, u"coverURL"_s, track.coverURL);
    insertIfPresent(map, u"albumID"_s, track.albumID);
    insertIfPresent(map, u"lyrics"_s, track.lyrics);
    insertIfPresent(map, u"trackNumber"_s, track.trackNumber);
    insertIfPresent(map, u"userRating"_s, track.userRating);
    insertIfPresent(map, u"createdAt"_s, track.createdAt);
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
