#include "api/apiclient.h"

#include "api/accountrecords.h"
#include "api/apiconfig.h"
#include "api/apierror.h"
#include "api/connectivity.h"
#include "api/transfer.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
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
    const std::optional<QUrl> url = requestUrl(APIConfig::baseUrl(), path, query);
    if (!url)
        throw APIError::invalidUrl();

    // The service's base address: the one origin the bearer token may reach.
    const QUrl origin = APIConfig::baseUrl();
    if (cancel.isCancelled())
        throw APIError::network(APIError::NetworkFailure::Cancelled);
    if (connectivity && connectivity->isOffline(*url)) {
        const bool reachable = co_await connectivity->waitUntilReachable(*url, limits.transfer, cancel);
        if (cancel.isCancelled())
            throw APIError::network(APIError::NetworkFailure::Cancelled);
        if (!reachable)
            throw APIError::network(APIError::NetworkFailure::NoConnection);
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
    const TransferResult result = co_await send(std::move(transfer), cancel);

    // A proxy's refusal is an answer with a status of its own, not a network failure.
    const bool proxyRefused = result.error == QNetworkReply::ProxyAuthenticationRequiredError && result.status;
    if (!isStatusError(result.error) && !proxyRefused)
        throw APIError::network(APIError::failureFor(result.error), result.errorText);
    if (!result.status)
        throw APIError::network(APIError::NetworkFailure::BadResponse, result.errorText);
    const int code = *result.status;
    if (result.isSuccess())
        co_return result.body;

    // A final 3xx (no Location, or too many hops) and a 407 are the
    // server's answers, with its message.
    std::optional<QString> message = serverMessage(result.body);
    if ((code == 401 || code == 403) && !message)
        message = u"Неверный логин или пароль"_s;
    throw APIError::httpStatus(code, std::move(message));
}

} // namespace nimbra
