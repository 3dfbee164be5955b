#pragma once

#include <QByteArray>
#include <QUrl>

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace nimbra::test {

// One connection of a RawHttpServer, as its script sees it.
class RawConnection
{
public:
    RawConnection(int socket, int index) : m_socket(socket), m_index(index) { }

    // 0 for the server's first connection, 1 for the next, ...
    int index() const { return m_index; }
    // The head of the client's next request (request line and headers);
    // empty once the client closed the connection.
    QByteArray readRequestHead();
    // Blocks while the client reads nothing; false once the client closed
    // the connection (the bytes it took are counted in written()).
    bool write(const QByteArray &bytes);
    qint64 written() const { return m_written; }

private:
    int m_socket;
    int m_index;
    QByteArray m_pending;
    std::atomic<qint64> m_written {0};
};

// A loopback server whose answers are written by hand, byte by byte, for
// what a proper HTTP server never does: a body without end, a kept-alive
// connection closed before its next answer. Each connection runs the
// script on a thread of its own; the connection closes when it returns.
class RawHttpServer
{
public:
    using Script = std::function<void(RawConnection &)>;

    explicit RawHttpServer(Script script);
    ~RawHttpServer();
    RawHttpServer(const RawHttpServer &) = delete;
    RawHttpServer &operator=(const RawHttpServer &) = delete;

    // "http://127.0.0.1:<port>".
    QUrl baseUrl() const;
    int connectionCount() const { return m_connections; }
    // Connections whose scripts have returned, the client's close seen.
    int closedCount() const { return m_closed; }

private:
    void acceptLoop();

    Script m_script;
    int m_listener = -1;
    int m_port = 0;
    std::atomic_int m_connections {0};
    std::atomic_int m_closed {0};
    std::atomic_bool m_stopping {false};
    std::mutex m_mutex;
    std::list<int> m_open;
    std::list<std::thread> m_threads;
    std::thread m_acceptor;
};

} // namespace nimbra::test
