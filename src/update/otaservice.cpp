#include "otaservice.h"

#include "api/apiconfig.h"
#include "api/apierror.h"
#include "api/network.h"
#include "update/buildinfo.h"
#include "update/otaerror.h"

#include <QCoro/QCoroNetworkReply>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QSettings>

#include <memory>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

struct ReplyDeleter
{
    void operator()(QNetworkReply *reply) const { reply->deleteLater(); }
};

struct ManifestAnswer
{
    int status = 0; // 0: not an HTTP answer
    QByteArray body;
};

// The one network exchange of the check: a GET with only our User-Agent,
// never answered from a cache. A transport failure is thrown.
QCoro::Task<ManifestAnswer> getManifest(QUrl url, CancelToken token)
{
    QNetworkRequest request(url);
    request.setRawHeader("User-Agent", OtaService::userAgent(BuildInfo::version(), BuildInfo::build()).toUtf8());
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(int(OtaService::manifestTimeout.count()));
    // A redirect must lead where the client may fetch from, like the address.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    std::unique_ptr<QNetworkReply, ReplyDeleter> reply(sharedNetworkAccessManager()->get(request));
    // Aborted through the event loop, so that this task never resumes
    // inside the canceller's call to cancel().
    const QPointer<QNetworkReply> guard(reply.get());
    const auto stop = [guard] {
        if (guard)
            QMetaObject::invokeMethod(guard.data(), &QNetworkReply::abort, Qt::QueuedConnection);
    };
    const CancelRegistration abort(token, stop);
    auto refused = std::make_shared<bool>(false);
    QObject::connect(reply.get(), &QNetworkReply::redirected, reply.get(), [guard, url, refused, stop](const QUrl &to) {
        if (OtaService::isAllowedAddress(url.resolved(to))) {
            emit guard->redirectAllowed();
            return;
        }
        *refused = true;
        stop();
    });
    co_await reply.get();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (token.isCancelled())
        throw APIError::network(APIError::NetworkFailure::Cancelled);
    if (*refused)
        throw OtaError::badURL();
    // An HTTP error status still carries an answer; only a failure below
    // HTTP is the transport's.
    if (!status.isValid() && reply->error() != QNetworkReply::NoError)
        throw APIError::network(APIError::failureFor(reply->error()), reply->errorString());
    co_return ManifestAnswer {status.isValid() ? status.toInt() : 0, reply->readAll()};
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

QUrl OtaService::manifestURL()
{
    const QString stored = QSettings().value(QLatin1StringView(settingsKey)).toString().trimmed();
    QUrl root = stored.isEmpty() ? APIConfig::defaultBaseURL() : QUrl(stored, QUrl::StrictMode);
    if (!root.isValid())
        return root;
    root.setPath(manifestPath());
    root.setQuery(QString());
    root.setFragment(QString());
    return root;
}

bool OtaService::isAllowedAddress(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == "https"_L1)
        return true;
    if (scheme != "http"_L1)
        return false;
    const QString host = url.host();
    return host.compare("localhost"_L1, Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback();
}

QCoro::Task<OtaManifest> OtaService::fetchManifest(CancelToken token)
{
    const QUrl url = manifestURL();
    if (!isAllowedAddress(url))
        throw OtaError::badURL();
    const ManifestAnswer answer = co_await getManifest(url, token);
    if (answer.status != 0 && (answer.status < 200 || answer.status > 299))
        throw OtaError::httpError(answer.status);
    co_return OtaManifest::fromJson(answer.body);
}

} // namespace nimbra
