#pragma once

#include <QString>
#include <QUrl>

namespace nimbra {

// The one form of a track link: "api/v1/share/track/" and the id at the
// root of the base address's host (a path of the base address is not
// kept). The id is encoded as exactly one path segment, as in every
// request, so an id with "/", "?" or "#" cannot point elsewhere; an id
// that no link can carry gives the base address itself.
struct TrackShareLink
{
    static QUrl forTrack(const QString &trackId);
};

} // namespace nimbra
