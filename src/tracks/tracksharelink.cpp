#include "tracks/tracksharelink.h"

#include "api/apiconfig.h"
#include "api/apierror.h"
#include "api/nimbraapi.h"

using namespace Qt::StringLiterals;

namespace nimbra {

QUrl TrackShareLink::forTrack(const QString &trackId)
{
    if (trackId.isEmpty())
        return APIConfig::baseUrl();
    QString segment;
    try {
        segment = NimbraAPI::pathSegment(trackId);
    } catch (const APIError &) {
        return APIConfig::baseUrl();
    }
    return APIConfig::resolve(u"api/v1/share/track/"_s + segment).value_or(APIConfig::baseUrl());
}

} // namespace nimbra
