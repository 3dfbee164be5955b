#pragma once

#include "api/canceltoken.h"
#include "update/otamanifest.h"

#include <QCoro/QCoroTask>
#include <QString>
#include <QUrl>

#include <chrono>

namespace nimbra {

// Fetches and checks the update manifest of this system's build. The
// manifest lives on the service's web host at a fixed path; it does not
// follow the base-address setting and carries none of the service
// client's headers.
class OtaService
{
public:
    // Settings key of a replacement host for the manifest (development,
    // tests, the local service): the same path on that address.
    static constexpr const char *settingsKey = "nimbra.update.baseURL";
    static constexpr std::chrono::milliseconds manifestTimeout {15000};

    // The manifest path, the "User-Agent" product and the installer's
    // fallback file name name the system the client runs on.
    static QString manifestPath();
    static QString userAgent(const QString &version, const QString &build);
    static QString fallbackFileName();

    // The stored replacement host when set, else the service's built-in
    // host; with manifestPath() as its path.
    static QUrl manifestUrl();

    // Whether the client may fetch from the address at all: the service
    // address's rule (ApiConfig::isAllowedAddress), https, or a loopback host
    // (the local service) over http or https.
    static bool isAllowedAddress(const QUrl &url);

    // Throws OtaError for a refused address, a status outside 2xx and a
    // document that does not check; ApiError for a transport failure.
    static QCoro::Task<OtaManifest> fetchManifest(CancelToken token = {});
};

} // namespace nimbra
