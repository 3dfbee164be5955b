#include "devserver.h"

#include "httputil.h"

#include <httplib.h>

#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

namespace devservice {

DevServer::DevServer(const Catalogue &catalogue, Accounts &accounts, UpdateOptions update)
    : m_http(std::make_unique<httplib::Server>()),
      m_auth(Backend {catalogue, accounts}),
      m_catalog(Backend {catalogue, accounts}),
      m_library(Backend {catalogue, accounts}),
      m_lyrics(catalogue),
      m_clips(catalogue),
      m_media(catalogue),
      m_update(update),
      m_dev(accounts, m_log, m_faults)
{
    // One answer a connection. The server would close a kept-alive
    // connection after a second of quiet, and a request the client sends on
    // it at that moment is lost; a change is never sent twice, so a sign-in
    // or a favourite failed now and then on a busy machine. Idle connections
    // would also hold up stop().
    m_http->set_keep_alive_max_count(1);
    // Headers go out in many small writes; without this every answer waits
    // for the client's delayed acknowledgement.
    m_http->set_tcp_nodelay(true);
    // A player that pauses reading a large file must not lose its stream.
    m_http->set_write_timeout(60, 0);
    // Each open connection holds a worker, and a stream that a player reads
    // at playback speed holds one for the length of the track (a seek or a
    // save of the same track opens another): the library's default of one
    // worker per core left later requests queued behind them for seconds.
    m_http->new_task_queue = [] { return new httplib::ThreadPool(64); };
    // Plain routes rather than a pre-routing handler: the library reads the
    // request body only after pre-routing.
    const auto handler = [this](const httplib::Request &req, httplib::Response &res) { dispatch(req, res); };
    m_http->Get(".*", handler);
    m_http->Post(".*", handler);
    m_http->Put(".*", handler);
    m_http->Patch(".*", handler);
    m_http->Delete(".*", handler);
    m_http->Options(".*", handler);
}

DevServer::~DevServer() = default;

int DevServer::bind(int port)
{
    if (port == 0)
        return m_http->bind_to_any_port("127.0.0.1");
    return m_http->bind_to_port("127.0.0.1", port) ? port : -1;
}

bool DevServer::listen()
{
    return m_http->listen_after_bind();
}

void DevServer::stop()
{
    // A held answer would keep its worker, and the stop, waiting.
    m_faults.release();
    m_http->stop();
}

void DevServer::dispatch(const httplib::Request &req, httplib::Response &res)
{
    // Ranges are answered by the media routes themselves. The library would
    // otherwise cut every answer a second time, and it does not clamp a
    // range that ends past the file.
    const_cast<httplib::Request &>(req).ranges.clear();

    if (req.path.rfind("/__dev/", 0) == 0)
        return m_dev.handle(req, res);

    // Taken before the request shows in the log: a test that sees it there
    // and releases the held answers releases this one too.
    const QString target = QString::fromStdString(req.target);
    const auto fault = m_faults.take(QString::fromStdString(req.method), target.left(target.indexOf(QLatin1Char('?'))));
    m_log.append(req);
    // Answers go out uncompressed: the gzip that the HTTP library would
    // otherwise apply costs Qt 6.4's network stack about half a second for a
    // page of 1000 tracks, which would hide every other cost in the client.
    const_cast<httplib::Request &>(req).headers.erase("Accept-Encoding");
    if (fault && applyFault(*fault, res))
        return;
    if (m_auth.handle(req, res) || m_catalog.handle(req, res) || m_library.handle(req, res) || m_lyrics.handle(req, res)
        || m_clips.handle(req, res) || m_media.handle(req, res) || m_update.handle(req, res))
        return;
    sendDetail(res, 404, u"Not Found"_s);
}

bool DevServer::applyFault(const Fault &fault, httplib::Response &res)
{
    if (fault.hold)
        m_faults.waitForRelease(fault);
    if (fault.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(fault.delayMs));
    if (!fault.replacesAnswer())
        return false;
    res.status = fault.status.value_or(fault.drop ? 200 : 500);
    if (fault.drop) {
        // Promise a body, then fail while writing it: the client sees the
        // connection close in the middle of the answer.
        res.set_content_provider(
            1000, "application/json", [](size_t, size_t, httplib::DataSink &) { return false; }, nullptr);
        return true;
    }
    const QByteArray body = fault.body.value_or(R"({"detail":"Injected fault"})");
    const bool json = body.startsWith('{') || body.startsWith('[');
    res.set_content(body.toStdString(), json ? "application/json" : "text/plain; charset=utf-8");
    return true;
}

} // namespace devservice
