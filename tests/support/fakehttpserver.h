#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QPair>
#include <QSemaphore>
#include <QString>
#include <QUrl>
#include <QWaitCondition>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace httplib {
class Server;
struct Response;
} // namespace httplib

namespace nimbra::test {

// One request as the fake received it, before any decoding of the target.
struct RecordedRequest
{
    QString method;
    QString target; // raw path and query, as sent
    QString path; // raw path, percent-encoding kept
    QString rawQuery;
    QList<QPair<QString, QString>> queryItems; // decoded, in the order sent
    QMap<QString, QString> headers; // lower-case names
    QByteArray body;

    bool hasHeader(const QString &name) const { return headers.contains(name.toLower()); }
    // Sets the target and the path, query and query items read from it.
    void setTarget(const QString &rawTarget);
    QString header(const QString &name) const { return headers.value(name.toLower()); }
};

// An answer of the fake. It has no delay: an answer that a test needs still
// outstanding is held by an AnswerGate (or the hold and piece gates below)
// until the test lets it go, since a delay runs out on a busy machine before
// the test has done its part.
struct FakeResponse
{
    int status = 200;
    QByteArray body;
    QByteArray contentType = "application/json";
    bool dropConnection = false; // headers, then the connection closes mid-body
    QList<QPair<QByteArray, QByteArray>> headers {}; // extra response headers, e.g. Location

    // A streamed body (a download): pieces of pieceSize bytes (0: one piece);
    // chunked leaves the length out; cutAfter >= 0 announces the whole body
    // but closes after that many bytes; while *hold is true no piece after
    // the first goes out; each piece after the first takes one of
    // pieceGate's permits first, so that the test lets them go one by one.
    // untilClose leaves the length out without chunks: the body ends where
    // the connection closes.
    int pieceSize = 0;
    bool chunked = false;
    bool untilClose = false;
    qsizetype cutAfter = -1;
    std::shared_ptr<std::atomic_bool> hold {};
    std::shared_ptr<QSemaphore> pieceGate {};

    bool isStreamed() const { return pieceSize > 0 || chunked || untilClose || cutAfter >= 0 || hold || pieceGate; }
};

// A loopback HTTP server for service-facing tests: it answers from a table
// (or a handler) and records every request it received.
class FakeHttpServer
{
public:
    using Handler = std::function<FakeResponse(const RecordedRequest &)>;

    FakeHttpServer();
    ~FakeHttpServer();

    // "http://127.0.0.1:<port>" without a trailing "/".
    QUrl baseUrl() const;

    // Answers method + raw path (no query) with a fixed response.
    void on(const QString &method, const QString &path, FakeResponse response);
    void on(const QString &method, const QString &path, Handler handler);
    // For requests no route matches; 404 with an empty body by default.
    void setFallback(Handler handler);

    QList<RecordedRequest> requests() const;
    RecordedRequest lastRequest() const { return requests().value(requestCount() - 1); }
    int requestCount() const { return int(requests().size()); }
    // How many requests went to this raw path (any query).
    int requestsTo(const QString &path) const
    {
        int count = 0;
        for (const RecordedRequest &request : requests())
            count += request.path == path ? 1 : 0;
        return count;
    }
    void clearRequests();
    // Blocks the calling thread (a route handler's, say) until the server
    // has received count requests since the last clear; false at timeout.
    bool waitForRequestCount(int count, std::chrono::milliseconds timeout) const;

private:
    void stream(const FakeResponse &response, httplib::Response &res);

    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
    mutable QMutex m_mutex;
    mutable QWaitCondition m_requestArrived;
    QMap<QString, Handler> m_routes;
    Handler m_fallback;
    QList<RecordedRequest> m_requests;
    std::atomic_bool m_stopping = false;
};

// A fake of the service for a whole test program, with the client's base
// address pointed at it.
std::unique_ptr<FakeHttpServer> startFakeService();

// Holds answers back until the test opens it (or the gate goes), so that a
// test knows a request is still unanswered without timing anything.
class AnswerGate
{
public:
    AnswerGate();
    ~AnswerGate();
    AnswerGate(const AnswerGate &) = delete;
    AnswerGate &operator=(const AnswerGate &) = delete;

    // A route that waits for open() before it answers with response.
    // arrived, when given, runs on the server's thread as each request
    // arrives, before the wait.
    FakeHttpServer::Handler hold(FakeResponse response, std::function<void()> arrived = {}) const;
    // A route that answers as answer does, and holds back the answers to
    // the requests that which picks (all when it is not given).
    FakeHttpServer::Handler holdAnswersOf(
        FakeHttpServer::Handler answer, std::function<bool(const RecordedRequest &)> which = {}) const;
    void open();
    // True once a held answer has gone out.
    bool answered() const;

private:
    struct State;
    static FakeResponse waitForOpen(State &state, FakeResponse response);
    std::shared_ptr<State> m_state;
};

} // namespace nimbra::test
