#include "apiclient.h"

#include "accountrecords.h"
#include "apiconfig.h"
#include "apierror.h"
#include "connectivity.h"
#include "network.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QStringList>
#include <QTimer>
#include <QUrl>

#include <QCoro/QCoroNetworkReply>

#include <memory>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

// The path is appended to the base address's own path with one "/" between;
// query items go out sorted by key (QMap's order), every character outside
// the unreserved set percent-encoded, so "+", "&", "=" and "#" in a value
// arrive as written.
std::optional<QUrl> requestURL(const QUrl &base, const QString &path, const QMap<QString, QString> &query)
{
    if (!base.isValid() || base.host().isEmpty())
        return std::nullopt;
    QUrl url = base;
    QString joined = base.path(QUrl::FullyEncoded);
    if (!joined.endsWith(QLatin1Char('/')))
        joined += QLatin1Char('/');
    url.setPath(joined + path, QUrl::TolerantMode);
    if (!query.isEmpty()) {
        QStringList items;
        items.reserve(query.size());
        for (auto it = query.cbegin(); it != query.cend(); ++it)
            items.append(QString::fromLatin1(QUrl::toPercentEncoding(it.key())) + QLatin1Char('=')
                + QString::fromLatin1(QUrl::toPercentEncoding(it.value())));
        url.setQuery(items.join(QLatin1Char('&')), QUrl::TolerantMode);
    }
    if (!url.isValid())
        return std::nullopt;
    return url;
}

// The server's message in an error body: the validation list's texts, else
// a text "detail", else the whole body as UTF-8 (none when it is not UTF-8).
std::optional<QString> serverMessage(const QByteArray &body)
{
    try {
        const auto validation = decodeJson<HTTPValidationError>(body);
        if (validation.detail) {
            QStringList messages;
            for (const ValidationDetail &entry : *validation.detail)
                messages.append(entry.msg);
            const QString joined = messages.join(", "_L1);
            if (!joined.isEmpty())
                return joined;
        }
    } catch (const DecodingError &) {
    }

    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (document.isObject()) {
        const QJsonValue detail = document.object().value("detail"_L1);
        if (detail.isString())
            return detail.toString();
    }

    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(body);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// Errors that QNetworkReply reports for an HTTP answer it did receive in
// full (400 is reported as a protocol error); those are mapped by their
// status, everything else is the network's.
bool isStatusError(QNetworkReply::NetworkError error)
{
    return error == QNetworkReply::NoError || error == QNetworkReply::ProtocolInvalidOperationError
        || (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError)
        || (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError);
}

constexpr int maxRedirects = 10;

bool isRedirect(int code)
{
    return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}

// Scheme, host and port, with the scheme's default port filled in.
bool sameOrigin(const QUrl &a, const QUrl &b)
{
    const auto port = [](const QUrl &url) { return url.port(url.scheme() == "https"_L1 ? 443 : 80); };
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0
        && a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && port(a) == port(b);
}

struct DeleteLater
{
    void operator()(QNetworkReply *reply) const { reply->deleteLater(); }
};

QNetworkReply *send(QNetworkRequest request, const QString &method, const std::optional<QByteArray> &body)
{
    QNetworkAccessManager *manager = sharedNetworkAccessManager();
    const QByteArray verb = method.toLatin1();
    if (body)
        return manager->sendCustomRequest(request, verb, *body);
    if (verb == "GET")
        return manager->get(request);
    // A POST without a length leaves some servers waiting for a body that
    // never comes. No data device at all, so that the manager adds no
    // Content-Type of its own.
    if (verb != "DELETE" && verb != "HEAD")
        request.setHeader(QNetworkRequest::ContentLengthHeader, 0);
    return manager->sendCustomRequest(request, verb);
}

} // namespace

APIClient::APIClient() = default;

APIClient::APIClient(Limits limits, Connectivity *connectivity) : m_limits(limits), m_connectivity(connectivity) { }

QCoro::Task<QByteArray> APIClient::request(QString path, QString method, QMap<QString, QString> query,
    std::optional<QByteArray> body, QString contentType, std::optional<QString> bearerToken, CancelToken cancel) const
{
    // Nothing of this object is touched after the first suspension.
    const Limits limits = m_limits;
    QPointer<Connectivity> connectivity = m_connectivity ? m_connectivity.data() : Connectivity::system();
    const QDeadlineTimer deadline(limits.transfer);

    // Read afresh so that a changed setting applies from the next request on.
    const std::optional<QUrl> url = requestURL(APIConfig::baseURL(), path, query);
    if (!url)
        throw APIError::invalidURL();

    // The service's base address: the one origin the bearer token may reach.
    const QUrl origin = APIConfig::baseURL();
    if (bearerToken) {
        // The header is written as given, so a line break would smuggle in
        // headers of its own. Such a token cannot be sent; it needs a new sign-in.
        if (bearerToken->contains(QLatin1Char('\r')) || bearerToken->contains(QLatin1Char('\n'))
            || bearerToken->contains(QChar(0)))
            throw APIError::unauthorized();
    }

    if (cancel.isCancelled())
        throw APIError::network(APIError::NetworkFailure::Cancelled);
    if (connectivity && connectivity->isOffline(*url)) {
        const bool reachable = co_await connectivity->waitUntilReachable(*url, limits.transfer, cancel);
        if (cancel.isCancelled())
            throw APIError::network(APIError::NetworkFailure::Cancelled);
        if (!reachable)
            throw APIError::network(APIError::NetworkFailure::NoConnection);
    }

    // Redirects are followed here, hop by hop, so that the token is only
    // ever sent to the base address's origin.
    QUrl target = *url;
    QString verb = method;
    std::optional<QByteArray> payload = body;
    for (int hop = 0;; ++hop) {
        QNetworkRequest request(target);
        request.setTransferTimeout(int(limits.idle.count()));
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        request.setRawHeader("Accept", "application/json");
        if (payload)
            request.setRawHeader("Content-Type", contentType.toUtf8());
        if (bearerToken && sameOrigin(target, origin))
            request.setRawHeader("Authorization", "Bearer " + bearerToken->toUtf8());

        const std::unique_ptr<QNetworkReply, DeleteLater> reply(send(request, verb, payload));
        const QPointer<QNetworkReply> guard(reply.get());

        bool transferLimitReached = false;
        QTimer transferLimit;
        transferLimit.setSingleShot(true);
        QObject::connect(&transferLimit, &QTimer::timeout, reply.get(), [&transferLimitReached, guard] {
            transferLimitReached = true;
            if (guard)
                guard->abort();
        });
        transferLimit.start(std::chrono::milliseconds(std::max<qint64>(deadline.remainingTime(), 0)));

        // Aborted through the event loop, so that the awaiting task never
        // resumes inside the canceller's call to cancel().
        const CancelRegistration registration(cancel, [guard] {
            if (guard)
                QMetaObject::invokeMethod(guard.data(), &QNetworkReply::abort, Qt::QueuedConnection);
        });

        co_await reply.get();
        transferLimit.stop();

        if (cancel.isCancelled())
            throw APIError::network(APIError::NetworkFailure::Cancelled, reply->errorString());

        const QNetworkReply::NetworkError error = reply->error();
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (transferLimitReached)
            throw APIError::network(APIError::NetworkFailure::TimedOut, reply->errorString());
        // A proxy's refusal is an answer with a status of its own, not a network failure.
        const bool proxyRefused = error == QNetworkReply::ProxyAuthenticationRequiredError && status.isValid();
        if (!isStatusError(error) && !proxyRefused)
            throw APIError::network(APIError::failureFor(error), reply->errorString());
        if (!status.isValid())
            throw APIError::network(APIError::NetworkFailure::BadResponse, reply->errorString());

        const int code = status.toInt();
        const QVariant location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute);
        if (isRedirect(code) && location.isValid() && hop < maxRedirects) {
            target = reply->url().resolved(location.toUrl());
            if (code == 303 || ((code == 301 || code == 302) && verb == "POST"_L1)) {
                verb = u"GET"_s;
                payload.reset();
            }
            continue;
        }

        const QByteArray data = reply->readAll();
        if (code >= 200 && code <= 299)
            co_return data;

        // A final 3xx (no Location, or too many hops) and a 407 are the
        // server's answers, with its message.
        std::optional<QString> message = serverMessage(data);
        if ((code == 401 || code == 403) && !message)
            message = u"Неверный логин или пароль"_s;
        throw APIError::httpStatus(code, std::move(message));
    }
}

} // namespace nimbra
