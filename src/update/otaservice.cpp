#include "update/otaservice.h"

#include "api/apiconfig.h"
#include "api/apierror.h"
#include "api/runsettings.h"
#include "api/transfer.h"
#include "update/buildinfo.h"
#include "update/otaerror.h"


using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

struct ManifestAnswer
{
    int status = 0; // 0: not an HTTP answer
    QByteArray body;
};

// The one network exchange of the check: a GET with only our User-Agent (the
// shared manager keeps no cache, so it always reaches the network). A
// transport failure is thrown.
QCoro::Task<ManifestAnswer> getManifest(QUrl url, CancelToken token)
{
    Transfer transfer;
    transfer.url = url;
    transfer.headers.append(std::pair<QByteArray, QByteArray>(
        "User-Agent", OtaService::userAgent(BuildInfo::version(), BuildInfo::build()).toUtf8()));
    transfer.idleLimit = OtaService::manifestTimeout;
    // A redirect must lead where the client may fetch from, like the address.
    transfer.beforeRedirect = [](const QUrl &target) { return OtaService::isAllowedAddress(target); };
    const TransferResult result = co_await send(std::move(transfer), token);
    if (result.redirectRefused)
        throw OtaError::badUrl();
    // An HTTP error status still carries an answer; only a failure below
    // HTTP is the transport's.
    if (!result.status && result.error != QNetworkReply::NoError)
        throw ApiError::network(ApiError::failureFor(result.error), result.errorText);
    // A document cut short is the connection's failure, not a bad document.
    if (result.isSuccess() && result.error != QNetworkReply::NoError)
        throw ApiError::network(ApiError::failureFor(result.error), result.errorText);
    co_return ManifestAnswer {result.status.value_or(0), result.body};
}

} // namespace

QString OtaService::manifestPath()
{
#ifdef Q_OS_MACOS
    return u"/updates/pc/mac/mac-update.json"_s;
#else
    return u"/updates/pc/linux/linux-update.json"_s;
#endif
}

QString OtaService::userAgent(const QString &version, const QString &build)
{
#ifdef Q_OS_MACOS
    const QString product = u"Nimbras-macOS/"_s;
#else
    const QString product = u"Nimbras-Linux/"_s;
#endif
    return product + version + u" ("_s + build + u')';
}

QString OtaService::fallbackFileName()
{
#ifdef Q_OS_MACOS
    return u"Nimbras-Setup.dmg"_s;
#else
    return u"Nimbras-Setup.AppImage"_s;
#endif
}

QUrl OtaService::manifestUrl()
{
    const QString stored = RunSettings::value(settingsKey).toString().trimmed();
    QUrl root = stored.isEmpty() ? ApiConfig::defaultBaseUrl() : QUrl(stored, QUrl::StrictMode);
    if (!root.isValid())
        return root;
    root.setPath(manifestPath());
    root.setQuery(QString());
    root.setFragment(QString());
    return root;
}

bool OtaService::isAllowedAddress(const QUrl &url)
{
    return ApiConfig::isAllowedAddress(url);
}

QCoro::Task<OtaManifest> OtaService::fetchManifest(CancelToken token)
{
    const QUrl url = manifestUrl();
    if (!isAllowedAddress(url))
        throw OtaError::badUrl();
    const ManifestAnswer answer = co_await getManifest(url, token);
    if (answer.status != 0 && (answer.status < 200 || answer.status > 299))
        throw OtaError::httpError(answer.status);
    co_return OtaManifest::fromJson(answer.body);
}

} // namespace nimbra
