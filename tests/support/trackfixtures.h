#pragma once

#include "api/trackout.h"

#include <QStringList>

namespace nimbra::test {

// A track with the id "id", the title "Song <id>", the artist "Artist", a
// 200-second length and the relative file "media/<id>.mp3", unless told.
TrackOut makeTrack(
    const QString &id, const QString &fileUrl = QString(), std::optional<QString> lyrics = QStringLiteral("la la la"));
QList<TrackOut> makeTracks(const QStringList &ids);
QStringList trackIds(const QList<TrackOut> &tracks);

} // namespace nimbra::test
