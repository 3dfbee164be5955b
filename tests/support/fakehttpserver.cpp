#include "fakehttpserver.h"

#include "api/apiconfig.h"

#include <httplib.h>

#include <QDeadlineTimer>
#include <QMutexLocker>
#include <QThread>
#include <QUrlQuery>

namespace nimbra::test {

namespace {
QString routeKey(const QString &method, const QString &path)
{
    return method.toUpper() + QLatin1Char(' ') + path;
}
} // namespace

void RecordedRequest::setTarget(const QString &rawTarget)
{
    target = rawTarget;
    const qsizetype q = target.indexOf(QLatin1Char('?'));
    path = q < 0 ? target : target.left(q);
    rawQuery = q < 0 ? QString() : target.mid(q + 1);
    queryItems = QUrlQuery(rawQuery).queryItems(QUrl::FullyDecoded);
}

FakeHttpServer::FakeHttpServer() : m_server(std::make_unique<httplib::Server>())
{
    // One answer a connection. A kept-alive connection that the server
    // closes for idleness while the client is sending on it loses that
    // request, and the client never sends a change twice: a test whose
    // change came after a second of quiet failed now and then on a busy
    // machine. It also keeps a stop from waiting on idle connections.
    m_server->set_keep_alive_max_count(1);
    // The answer goes out in two writes (headers, then body); with Nagle on,
    // the second waits for the client's delayed acknowledgement, tens of
    // milliseconds per request.
    m_server->set_tcp_nodelay(true);
    // A route handler, not the pre-routing hook: the server reads the
    // request body only after pre-routing, so the hook would see none.
    const auto handler = [this](const httplib::Request &req, httplib::Response &res) {
        RecordedRequest r;
        r.method = QString::fromStdString(req.method);
        r.setTarget(QString::fromStdString(req.target));
        for (const auto &[name, value] : req.headers)
            r.headers.insert(QString::fromStdString(name).toLower(), QString::fromStdString(value));
        r.body = QByteArray::fromStdString(req.body);
        // The route is chosen before the request shows in the log: a test
        // that sees the request and then changes the route changes it for
        // the next request, never for this one.
        Handler route;
        {
            QMutexLocker lock(&m_mutex);
            route = m_routes.value(routeKey(r.method, r.path), m_fallback);
            m_requests.append(r);
            m_requestArrived.wakeAll();
        }
        const FakeResponse response = route ? route(r) : FakeResponse {404, QByteArray(), "text/plain"};
        res.status = response.status;
        // A whole body asked for in part (a media player seeking): the
        // server cuts the range out itself when the status says so.
        if (response.status == 200 && !req.ranges.empty() && !response.dropConnection)
            res.status = 206;
        for (const auto &[name, value] : response.headers)
            res.set_header(name.toStdString(), value.toStdString());
        if (response.isStreamed()) {
            stream(response, res);
        } else if (response.dropConnection) {
            const std::string ct = response.contentType.toStdString();
            res.set_content_provider(
                1000, ct, [](size_t, size_t, httplib::DataSink &) { return false; }, nullptr);
        } else {
            res.set_content(response.body.toStdString(), response.contentType.toStdString());
        }
    };
    const std::string any = ".*";
    m_server->Get(any, handler);
    m_server->Post(any, handler);
    m_server->Put(any, handler);
    m_server->Patch(any, handler);
    m_server->Delete(any, handler);
    m_server->Options(any, handler);
    m_port = m_server->bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    while (!m_server->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

FakeHttpServer::~FakeHttpServer()
{
    m_stopping = true;
    m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
}

void FakeHttpServer::stream(const FakeResponse &response, httplib::Response &res)
{
    auto body = std::make_shared<const QByteArray>(response.body);
    const size_t total = size_t(body->size());
    const size_t sent = response.cutAfter >= 0 ? std::min(total, size_t(response.cutAfter)) : total;
    const size_t piece = response.pieceSize > 0 ? size_t(response.pieceSize) : std::max<size_t>(total, 1);
    const bool chunked = response.chunked || response.untilClose;
    const auto hold = response.hold;
    const auto gate = response.pieceGate;
    auto provide = [this, body, total, sent, piece, chunked, hold, gate](size_t offset, httplib::DataSink &sink) {
        if (offset >= sent) {
            if (!chunked || sent < total)
                return false;
            sink.done();
            return true;
        }
        if (offset > 0) {
            while (gate && !gate->tryAcquire(1, 5) && !m_stopping) { }
            while (hold && *hold && !m_stopping)
                QThread::msleep(5);
        }
        const size_t length = std::min(piece, sent - offset);
        sink.write(body->constData() + offset, length);
        if (chunked && offset + length >= total)
            sink.done();
        return true;
    };
    const std::string type = response.contentType.toStdString();
    if (response.untilClose)
        res.set_content_provider(type, [provide](size_t offset, httplib::DataSink &sink) { return provide(offset, sink); });
    else if (chunked)
        res.set_chunked_content_provider(type, [provide](size_t offset, httplib::DataSink &sink) { return provide(offset, sink); });
    else
        res.set_content_provider(total, type, [provide](size_t offset, size_t, httplib::DataSink &sink) { return provide(offset, sink); });
}

QUrl FakeHttpServer::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port));
}

void FakeHttpServer::on(const QString &method, const QString &path, FakeResponse response)
{
    on(method, path, [response](const RecordedRequest &) { return response; });
}

void FakeHttpServer::on(const QString &method, const QString &path, Handler handler)
{
    QMutexLocker lock(&m_mutex);
    m_routes.insert(routeKey(method, path), std::move(handler));
}

void FakeHttpServer::setFallback(Handler handler)
{
    QMutexLocker lock(&m_mutex);
    m_fallback = std::move(handler);
}

bool FakeHttpServer::waitForRequestCount(int count, std::chrono::milliseconds timeout) const
{
    QDeadlineTimer deadline(timeout);
    QMutexLocker lock(&m_mutex);
    while (m_requests.size() < count) {
        if (!m_requestArrived.wait(&m_mutex, deadline))
            return m_requests.size() >= count;
    }
    return true;
}

QList<RecordedRequest> FakeHttpServer::requests() const
{
    QMutexLocker lock(&m_mutex);
    return m_requests;
}

void FakeHttpServer::clearRequests()
{
    QMutexLocker lock(&m_mutex);
    m_requests.clear();
}

std::unique_ptr<FakeHttpServer> startFakeService()
{
    auto server = std::make_unique<FakeHttpServer>();
    ApiConfig::setBaseUrl(server->baseUrl());
    return server;
}

struct AnswerGate::State
{
    QMutex mutex;
    QWaitCondition opened;
    bool open = false;
    bool answered = false;
};

AnswerGate::AnswerGate() : m_state(std::make_shared<State>()) { }

AnswerGate::~AnswerGate()
{
    open();
}

FakeHttpServer::Handler AnswerGate::hold(FakeResponse response, std::function<void()> arrived) const
{
    return [state = m_state, response, arrived](const RecordedRequest &) {
        if (arrived)
            arrived();
        return waitForOpen(*state, response);
    };
}

FakeHttpServer::Handler AnswerGate::holdAnswersOf(
    FakeHttpServer::Handler answer, std::function<bool(const RecordedRequest &)> which) const
{
    return [state = m_state, answer = std::move(answer), which = std::move(which)](const RecordedRequest &request) {
        FakeResponse response = answer(request);
        return !which || which(request) ? waitForOpen(*state, std::move(response)) : response;
    };
}

FakeResponse AnswerGate::waitForOpen(State &state, FakeResponse response)
{
    QMutexLocker lock(&state.mutex);
    // Only a gate that nobody opens or destroys holds this long: far past
    // what any test waits for, so a held answer never goes out while the
    // test still counts on it, yet a forgotten one does not hang the server.
    const QDeadlineTimer deadline(std::chrono::minutes(1));
    while (!state.open) {
        if (!state.opened.wait(&state.mutex, deadline))
            break;
    }
    state.answered = true;
    return response;
}

void AnswerGate::open()
{
    QMutexLocker lock(&m_state->mutex);
    m_state->open = true;
    m_state->opened.wakeAll();
}

bool AnswerGate::answered() const
{
    QMutexLocker lock(&m_state->mutex);
    return m_state->answered;
}

} // namespace nimbra::test
