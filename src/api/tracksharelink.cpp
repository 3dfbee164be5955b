#include "api/tracksharelink.h"

#include "api/apiconfig.h"
#include "api/apierror.h"
#include "api/nimbraapi.h"

using namespace Qt::StringLiterals;

namespace nimbra {

QUrl TrackShareLink::forTrack(const QString &trackId)
{
    if (trackId.isEmpty())
        return ApiConfig::baseUrl();
    QString segment;
    try {
        segment = NimbraApi::pathSegment(trackId);
    } catch (const ApiError &) {
        return ApiConfig::baseUrl();
    }
    return ApiConfig::resolve(u"api/v1/share/track/"_s + segment).value_or(ApiConfig::baseUrl());
}

} // namespace nimbra
