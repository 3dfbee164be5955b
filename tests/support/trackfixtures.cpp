#include "trackfixtures.h"

namespace nimbra::test {

TrackOut makeTrack(const QString &id, const QString &fileUrl, std::optional<QString> lyrics)
{
    TrackOut t;
    t.id = id;
    t.title = QStringLiteral("Song ") + id;
    t.artist = QStringLiteral("Artist");
    t.durationSeconds = 200;
    t.fileUrl = fileUrl.isNull() ? QStringLiteral("media/%1.mp3").arg(id) : fileUrl;
    t.lyrics = std::move(lyrics);
    return t;
}

QList<TrackOut> makeTracks(const QStringList &ids)
{
    QList<TrackOut> list;
    for (const QString &id : ids)
        list.append(makeTrack(id));
    return list;
}

QStringList trackIds(const QList<TrackOut> &tracks)
{
    QStringList ids;
    for (const TrackOut &t : tracks)
        ids.append(t.id);
    return ids;
}

} // namespace nimbra::test
