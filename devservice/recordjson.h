#pragma once

#include "accounts.h"
#include "catalogue.h"

#include <QJsonObject>

namespace devservice {

// The service's JSON records, written as the real service writes them:
// absent optional values as null, except "lyrics", which brief track
// records leave out altogether.
namespace recordjson {

enum class TrackDetail { Full, Brief };

QJsonObject track(const Catalogue &catalogue, int index, const UserView &view, TrackDetail detail);
QJsonObject album(const Catalogue &catalogue, int index);
QJsonObject clip(const ClipRecord &clip);
QJsonObject user(const UserRecord &user);
QJsonObject playlist(const PlaylistRecord &playlist);
QJsonObject playlistDetail(const Catalogue &catalogue, const PlaylistRecord &playlist, const UserView &view);
// {"items": [...], "total": n, "page": p, "size": s, "pages": ceil(n / s)}
QJsonObject page(const QJsonArray &items, int total, int page, int size);

} // namespace recordjson
} // namespace devservice
