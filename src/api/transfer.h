#pragma once

#include "api/canceltoken.h"

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QString>
#include <QUrl>
#include <QVariant>

#include <QCoroTask>

#include <chrono>
#include <functional>
#include <optional>
#include <utility>

namespace nimbra {

// One HTTP exchange, as every part of the client makes it: the service
// calls, offline audio, lyrics, the now-playing artwork and the update.
struct Transfer
{
    QUrl url;
    QByteArray method = "GET";
    std::optional<QByteArray> body;
    QList<std::pair<QByteArray, QByteArray>> headers;
    // Sent as "Bearer ..." only to requests on tokenOrigin's scheme, host and
    // port, redirects included.
    std::optional<QString> bearerToken;
    QUrl tokenOrigin;
    // No byte for this long ends the transfer; neither does the whole take
    // longer than wholeLimit.
    std::chrono::milliseconds idleLimit {std::chrono::seconds(60)};
    std::chrono::milliseconds wholeLimit {std::chrono::seconds(600)};
    // Never sent a second time by Qt, like a change: Qt sends a GET again
    // when its connection closes early, and may end the second answer where
    // its connection closed without an error, so that a cut body reads as a
    // whole one. A download whose end matters fails instead, once its answer
    // began; a read that got no byte of an answer is sent again once here.
    bool sendOnce = false;
    // Redirects are followed one hop at a time up to this many. A change
    // (any method but GET, HEAD and OPTIONS) follows one only within the
    // origin of url; elsewhere the result says redirectRefused.
    int maxRedirects = 10;
    // When set, a 2xx body goes here chunk by chunk instead of into the
    // result; returning false aborts the transfer (a full disk, say).
    std::function<bool(const QByteArray &chunk)> sink;
    // Asked before each redirect hop with its target: a sink can start over
    // here, and false refuses the hop (the result says redirectRefused).
    std::function<bool(const QUrl &target)> beforeRedirect;
    // Called as the sink takes each chunk, with the bytes taken so far and
    // the announced total (-1 unknown).
    std::function<void(qint64 received, qint64 total)> progress;
    // A body kept in memory (no sink) larger than this is not read on: the
    // transfer stops and the result says bodyTooLarge.
    qint64 maxBodyBytes = 32 * 1024 * 1024;
    // Of an answer outside 2xx only this much is kept (no sink or not): its
    // message is a line, and a proxy's error page can be megabytes. The rest
    // is not read; the result says errorBodyCut.
    qint64 maxErrorBodyBytes = 256 * 1024;
};

struct TransferResult
{
    QUrl url; // the address that answered last
    std::optional<int> status; // none: no HTTP answer at all
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QString errorText;
    QByteArray body; // empty when a sink took it
    bool sinkRefused = false;
    bool redirectLimitReached = false;
    bool redirectRefused = false;
    bool bodyTooLarge = false;
    bool errorBodyCut = false;
    // The request that got this answer carried the bearer token: only then
    // is a refusal the token's own.
    bool tokenSent = false;
    qint64 announcedLength = -1;
    QByteArray header(const QByteArray &name) const;
    QList<QNetworkReply::RawHeaderPair> rawHeaders;

    bool isSuccess() const { return status && *status >= 200 && *status <= 299; }
    // Where the body ends is known: its length was announced, or it came in
    // chunks, which end with a mark of their own. Any other body ends where
    // its connection closes, as a cut one does.
    bool bodyEndIsKnown() const;
};

// True when a and b share scheme, host and port (default ports filled in).
bool sameOrigin(const QUrl &a, const QUrl &b);

// A header value that a line break or NUL would split into headers of its own.
bool isUnsafeHeaderValue(const QString &value);

// Sends the transfer on the shared network access manager and returns what
// came back, whatever the status. Throws ApiError: unauthorized for a token
// that cannot be sent, network(Cancelled) once cancel fires, network(TimedOut)
// at a limit. The reply is aborted through the event loop, so the awaiting
// task never resumes inside the canceller's call.
QCoro::Task<TransferResult> send(Transfer transfer, CancelToken cancel = {});

} // namespace nimbra
