#include "api/transfer.h"

#include "api/apierror.h"
#include "api/tokenrejections.h"
#include "api/network.h"

#include <QDeadlineTimer>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>

#include <QCoro/QCoroNetworkReply>

#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;

namespace nimbra {

namespace {

// The transfer's own handlers go with their context, which the frame ends
// first. Nothing else of the reply is cut off: an abort resumes the awaiting
// frame from within itself, and only tells the request underneath to stop
// once that frame has ended; without that word the connection goes on
// reading an endless answer for as long as the server sends it.
struct ReplyDeleter
{
    void operator()(QNetworkReply *reply) const
    {
        if (!reply->isFinished()) {
            // A frame that ends while it waits must not be resumed.
            QObject::disconnect(reply, &QNetworkReply::finished, nullptr, nullptr);
            reply->abort();
        }
        reply->deleteLater();
    }
};

// What the network thread may read ahead of the transfer's handlers: beyond
// it the connection waits, so that an answer arriving faster than it is
// taken (an endless one on a fast link) cannot fill memory before a limit
// is seen.
constexpr qint64 readAhead = 1024 * 1024;

bool isRedirect(int code)
{
    return code == 301 || code == 302 || code == 303 || code == 307 || code == 308;
}

// A request body that can be read once only. Qt's HTTP layer sends a
// request again, once, when its connection closes before any byte of the
// answer, and first rewinds the body: for a change (a playlist created, a
// track added) the service may have made it already, so that a second
// request would make it twice. Refusing the rewind ends the request with
// ContentReSendError instead.
class OnceOnlyBody final : public QIODevice
{
public:
    explicit OnceOnlyBody(QByteArray bytes) : m_bytes(std::move(bytes)) { open(QIODevice::ReadOnly); }

    bool isSequential() const override { return true; }
    bool reset() override { return false; }
    qint64 bytesAvailable() const override { return m_bytes.size() - m_read + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 count = std::min(maxSize, m_bytes.size() - m_read);
        std::memcpy(data, m_bytes.constData() + m_read, size_t(count));
        m_read += count;
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_read = 0;
};

// Reads may be asked again; anything else changes something on the service.
bool changesSomething(const QByteArray &verb)
{
    return verb != "GET" && verb != "HEAD" && verb != "OPTIONS";
}

QNetworkReply *start(QNetworkRequest request, const QByteArray &verb, const std::optional<QByteArray> &body, bool once)
{
    QNetworkAccessManager *manager = sharedNetworkAccessManager();
    if (once || changesSomething(verb)) {
        // Every change, and a GET sent once ("Content-Length: 0"), carries a
        // body, if an empty one, so that no rewind can succeed; its length is
        // announced, so Qt does not buffer it.
        const QByteArray bytes = body.value_or(QByteArray());
        request.setHeader(QNetworkRequest::ContentLengthHeader, bytes.size());
        request.setAttribute(QNetworkRequest::DoNotBufferUploadDataAttribute, true);
        auto *device = new OnceOnlyBody(bytes);
        QNetworkReply *reply = manager->sendCustomRequest(request, verb, device);
        device->setParent(reply);
        return reply;
    }
    if (body)
        return manager->sendCustomRequest(request, verb, *body);
    if (verb == "GET")
        return manager->get(request);
    return manager->sendCustomRequest(request, verb);
}

int statusOf(const QNetworkReply *reply)
{
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

} // namespace

bool TransferResult::bodyEndIsKnown() const
{
    return announcedLength >= 0 || header("Transfer-Encoding").toLower().contains("chunked");
}

QByteArray TransferResult::header(const QByteArray &name) const
{
    for (const auto &[key, value] : rawHeaders) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool sameOrigin(const QUrl &a, const QUrl &b)
{
    const auto port = [](const QUrl &url) { return url.port(url.scheme() == "https"_L1 ? 443 : 80); };
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0
        && a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && port(a) == port(b);
}

bool isUnsafeHeaderValue(const QString &value)
{
    return value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n')) || value.contains(QChar(0));
}

QCoro::Task<TransferResult> send(Transfer transfer, CancelToken cancel)
{
    // The header is written as given, so a line break would smuggle in
    // headers of its own. Such a token cannot be sent; it needs a new sign-in.
    if (transfer.bearerToken && isUnsafeHeaderValue(*transfer.bearerToken))
        throw ApiError::unauthorized();
    if (cancel.isCancelled())
        throw ApiError::network(ApiError::NetworkFailure::Cancelled);

    const QDeadlineTimer deadline(transfer.wholeLimit);
    QUrl target = transfer.url;
    QByteArray verb = transfer.method;
    std::optional<QByteArray> payload = transfer.body;
    bool sentAgain = false;

    for (int hop = 0;;) {
        QNetworkRequest request(target);
        request.setTransferTimeout(int(transfer.idleLimit.count()));
        // Redirects are followed here, hop by hop, so that the token only
        // ever reaches its own origin.
        request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        for (const auto &[name, value] : transfer.headers)
            request.setRawHeader(name, value);
        const bool tokenSent = transfer.bearerToken && sameOrigin(target, transfer.tokenOrigin);
        if (tokenSent)
            request.setRawHeader("Authorization", "Bearer " + transfer.bearerToken->toUtf8());

        const std::unique_ptr<QNetworkReply, ReplyDeleter> reply(start(request, verb, payload, transfer.sendOnce));
        const QPointer<QNetworkReply> guard(reply.get());
        if (target.scheme().startsWith("http"_L1))
            reply->setReadBufferSize(readAhead);
        // The context of every handler below, which hold references into
        // this frame: declared after the reply, it ends before it.
        const QObject handlers;

        bool sinkRefused = false;
        qint64 sunk = 0;
        bool tooLarge = false;
        bool errorCut = false;
        QByteArray collected;
        // What an answer outside 2xx says is kept up to its own limit, and
        // no more is read: the transfer stops there.
        const auto keepErrorBody = [&collected, &errorCut, guard, limit = transfer.maxErrorBodyBytes] {
            if (!guard || errorCut)
                return;
            const qint64 room = limit - collected.size();
            if (guard->bytesAvailable() <= room) {
                collected += guard->readAll();
                return;
            }
            collected += guard->read(room);
            errorCut = true;
            // When the rest had already arrived underneath, Qt warns of an
            // "internal problem" here; the answer is still what was read.
            if (!guard->isFinished())
                guard->abort();
        };
        const auto isErrorAnswer = [guard] {
            const int status = guard ? statusOf(guard) : 0;
            return status != 0 && (status < 200 || status > 299);
        };
        if (!transfer.sink) {
            // Collected as it arrives, so that an endless or huge answer is
            // cut off at the limit instead of filling memory first.
            const qint64 limit = transfer.maxBodyBytes;
            // An announced length over the limit ends a success before any
            // byte of its body.
            QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, &handlers,
                [&tooLarge, guard, limit, isErrorAnswer] {
                    const QVariant length = guard ? guard->header(QNetworkRequest::ContentLengthHeader) : QVariant();
                    if (!tooLarge && !isErrorAnswer() && length.isValid() && length.toLongLong() > limit) {
                        tooLarge = true;
                        guard->abort();
                    }
                });
            QObject::connect(reply.get(), &QNetworkReply::readyRead, &handlers,
                [&collected, &tooLarge, guard, limit, isErrorAnswer, keepErrorBody] {
                    if (!guard || tooLarge)
                        return;
                    if (isErrorAnswer()) {
                        keepErrorBody();
                        return;
                    }
                    if (collected.size() + guard->bytesAvailable() > limit) {
                        tooLarge = true;
                        guard->abort();
                        return;
                    }
                    collected += guard->readAll();
                });
        } else {
            // Streamed as it arrives; only a success body reaches the sink.
            // Progress is told per chunk: the reply's own progress signal is
            // throttled to a few a second.
            QObject::connect(reply.get(), &QNetworkReply::readyRead, &handlers,
                [&transfer, &sinkRefused, &sunk, guard, isErrorAnswer, keepErrorBody] {
                    if (isErrorAnswer()) {
                        keepErrorBody();
                        return;
                    }
                    // A reply without a status (a local file) keeps its body
                    // for the result.
                    if (sinkRefused || statusOf(guard) == 0)
                        return;
                    const QByteArray chunk = guard->readAll();
                    if (!transfer.sink(chunk)) {
                        sinkRefused = true;
                        guard->abort();
                        return;
                    }
                    sunk += chunk.size();
                    if (transfer.progress) {
                        const QVariant length = guard->header(QNetworkRequest::ContentLengthHeader);
                        transfer.progress(sunk, length.isValid() ? length.toLongLong() : -1);
                    }
                });
        }

        bool wholeLimitReached = false;
        QTimer wholeLimit;
        wholeLimit.setSingleShot(true);
        QObject::connect(&wholeLimit, &QTimer::timeout, &handlers, [&wholeLimitReached, guard] {
            wholeLimitReached = true;
            if (guard)
                guard->abort();
        });
        wholeLimit.start(std::chrono::milliseconds(std::max<qint64>(deadline.remainingTime(), 0)));

        const CancelRegistration registration(cancel, [guard] {
            if (guard)
                QMetaObject::invokeMethod(guard.data(), &QNetworkReply::abort, Qt::QueuedConnection);
        });

        // A reply that already finished is not awaited: it would never
        // signal again.
        if (!reply->isFinished())
            co_await reply.get();
        wholeLimit.stop();

        if (cancel.isCancelled())
            throw ApiError::network(ApiError::NetworkFailure::Cancelled, reply->errorString());
        if (wholeLimitReached)
            throw ApiError::network(ApiError::NetworkFailure::TimedOut, reply->errorString());

        TransferResult result;
        result.url = target;
        result.bodyTooLarge = tooLarge;
        result.error = reply->error();
        result.errorText = reply->errorString();
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (status.isValid())
            result.status = status.toInt();
        // Qt would send it again: its connection closed before any byte of
        // an answer (a kept-alive one that the server had just closed). A
        // read is sent again once, as Qt does for any other; a change never
        // is, since the service may have made it already.
        if (result.error == QNetworkReply::ContentReSendError && !result.status && !changesSomething(verb)
            && !sentAgain) {
            sentAgain = true;
            continue;
        }
        if (result.error == QNetworkReply::ContentReSendError) {
            // The request was not sent again (see OnceOnlyBody). With a status,
            // Qt only wanted to follow a redirect itself, which is done here;
            // or a success's answer broke off, which leaves a change made, but
            // a streamed body is not whole.
            const bool broken = !result.status || (result.isSuccess() && transfer.sink);
            result.error = broken ? QNetworkReply::RemoteHostClosedError : QNetworkReply::NoError;
            result.errorText = broken ? u"Connection closed"_s : QString();
        }
        result.sinkRefused = sinkRefused;
        result.tokenSent = tokenSent;
        result.rawHeaders = reply->rawHeaderPairs();
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid())
            result.announcedLength = length.toLongLong();

        const QVariant location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute);
        if (result.status && isRedirect(*result.status) && location.isValid() && !location.toUrl().isEmpty()) {
            if (hop >= transfer.maxRedirects) {
                result.redirectLimitReached = true;
                co_return result;
            }
            const QUrl next = reply->url().resolved(location.toUrl());
            // A change never leaves its service: another origin would get its
            // body, and maybe make it, without the listener choosing it.
            const bool changeLeaves = changesSomething(transfer.method) && !sameOrigin(next, transfer.url);
            if (changeLeaves || (transfer.beforeRedirect && !transfer.beforeRedirect(next))) {
                result.redirectRefused = true;
                co_return result;
            }
            target = next;
            ++hop;
            if (*result.status == 303 || ((*result.status == 301 || *result.status == 302) && verb == "POST")) {
                verb = "GET";
                payload.reset();
            }
            continue;
        }

        const bool errorAnswer = result.status && !result.isSuccess();
        if (errorAnswer) {
            if (reply->isOpen())
                keepErrorBody();
            result.body = collected;
            result.errorBodyCut = errorCut;
        }

        // The service no longer knows the token: its session is over,
        // whichever request found out.
        if (tokenSent && result.status == 401) {
            // A 401 is an error answer, so its body is already kept, as far as
            // its message needs.
            TokenRejections::instance()->report(*transfer.bearerToken,
                ApiError::statusError(401, result.body, result.header("Content-Type"), result.errorBodyCut).description());
        }

        if (!errorAnswer) {
            // An aborted reply is closed: there is nothing more to read.
            const QByteArray rest = reply->isOpen() ? reply->readAll() : QByteArray();
            if (transfer.sink && result.isSuccess()) {
                if (!sinkRefused && !rest.isEmpty()) {
                    if (!transfer.sink(rest))
                        result.sinkRefused = true;
                    else if (transfer.progress)
                        transfer.progress(sunk + rest.size(), result.announcedLength);
                }
            } else if (!tooLarge) {
                if (collected.size() + rest.size() > transfer.maxBodyBytes)
                    result.bodyTooLarge = true;
                else
                    result.body = collected + rest;
            }
        }

        co_return result;
    }
}

} // namespace nimbra
