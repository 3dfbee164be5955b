#include "api/apiclient.h"

#include "api/apiconfig.h"
#include "api/apierror.h"
#include "api/connectivity.h"
#include "api/sharedanswers.h"
#include "api/tokenorigins.h"
#include "api/transfer.h"

#include <QDeadlineTimer>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringList>
#include <QUrl>


#include <memory>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

// The path is appended to the base address's own path with one "/" between;
// query items go out sorted by key (QMap's order), every character outside
// the unreserved set percent-encoded, so "+", "&", "=" and "#" in a value
// arrive as written.
std::optional<QUrl> requestUrl(const QUrl &base, const QString &path, const QMap<QString, QString> &query)
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

} // namespace

ApiClient::ApiClient() = default;

ApiClient::ApiClient(Limits limits, Connectivity *connectivity) : m_limits(limits), m_connectivity(connectivity) { }

ApiClient ApiClient::sharingAnswers(std::shared_ptr<SharedAnswers> answers) const
{
    ApiClient copy = *this;
    copy.m_sharedAnswers = std::move(answers);
    return copy;
}

QCoro::Task<QByteArray> ApiClient::request(QString path, QString method, QMap<QString, QString> query,
    std::optional<QByteArray> body, QString contentType, std::optional<QString> bearerToken, CancelToken cancel) const
{
    if (m_sharedAnswers && method == "GET"_L1 && !body) {
        const std::shared_ptr<SharedAnswers> answers = m_sharedAnswers;
        ApiClient alone = *this;
        alone.m_sharedAnswers.reset();
        // The address as it would be sent, and whose answer it is.
        const std::optional<QUrl> url = requestUrl(ApiConfig::baseUrl(), path, query);
        const QString key = (url ? url->toString(QUrl::FullyEncoded) : path)
            + (bearerToken ? u"\nBearer "_s + *bearerToken : u"\n"_s);
        std::function<QCoro::Task<QByteArray>()> ask = [alone, path, method, query, bearerToken, cancel] {
            return alone.request(path, method, query, std::nullopt, QString(), bearerToken, cancel);
        };
        QCoro::Task<QByteArray> shared = answers->answer(key, std::move(ask));
        co_return co_await shared;
    }

    // Nothing of this object is touched after the first suspension.
    const Limits limits = m_limits;
    QPointer<Connectivity> connectivity = m_connectivity ? m_connectivity.data() : Connectivity::system();
    const QDeadlineTimer deadline(limits.transfer);

    // Read afresh so that a changed setting applies from the next request on.
    const std::optional<QUrl> url = requestUrl(ApiConfig::baseUrl(), path, query);
    if (!url)
        throw ApiError::invalidUrl();

    // The one origin the bearer token may reach is the service that issued
    // it: a request made with it after the address moved to another service
    // goes there without it, as a redirect elsewhere would.
    const QUrl origin = TokenOrigins::originOf(bearerToken);
    if (cancel.isCancelled())
        throw ApiError::network(ApiError::NetworkFailure::Cancelled);
    if (connectivity && connectivity->isOffline(*url)) {
        const bool reachable = co_await connectivity->waitUntilReachable(*url, limits.transfer, cancel);
        if (cancel.isCancelled())
            throw ApiError::network(ApiError::NetworkFailure::Cancelled);
        if (!reachable)
            throw ApiError::network(ApiError::NetworkFailure::NoConnection);
    }

    Transfer transfer;
    transfer.url = *url;
    transfer.method = method.toLatin1();
    transfer.body = body;
    transfer.headers.append(std::pair<QByteArray, QByteArray>("Accept", "application/json"));
    if (body)
        transfer.headers.append(std::pair<QByteArray, QByteArray>("Content-Type", contentType.toUtf8()));
    transfer.bearerToken = bearerToken;
    transfer.tokenOrigin = origin;
    transfer.idleLimit = limits.idle;
    transfer.wholeLimit = std::chrono::milliseconds(std::max<qint64>(deadline.remainingTime(), 0));
    transfer.maxRedirects = maxRedirects;
    transfer.maxBodyBytes = limits.maxBody;
    const TransferResult result = co_await send(std::move(transfer), cancel);

    // A proxy's refusal is an answer with a status of its own, not a network failure.
    const bool proxyRefused = result.error == QNetworkReply::ProxyAuthenticationRequiredError && result.status;
    if (result.bodyTooLarge)
        throw ApiError::network(ApiError::NetworkFailure::ResponseTooLarge);
    if (result.redirectRefused)
        throw ApiError::network(ApiError::NetworkFailure::RedirectedElsewhere);
    // An error answer whose body was cut short is still the server's answer.
    if (!isStatusError(result.error) && !proxyRefused && !result.errorBodyCut)
        throw ApiError::network(ApiError::failureFor(result.error), result.errorText);
    if (!result.status)
        throw ApiError::network(ApiError::NetworkFailure::BadResponse, result.errorText);
    const int code = *result.status;
    if (result.isSuccess())
        co_return result.body;

    // A final 3xx (no Location, or too many hops) and a 407 are the
    // server's answers, with its message.
    throw ApiError::statusError(
        code, result.body, result.header("Content-Type"), result.errorBodyCut, !sameOrigin(result.url, *url))
        .withTokenSent(result.tokenSent);
}

} // namespace nimbra
