#include "rawhttpserver.h"

#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace nimbra::test {

QByteArray RawConnection::readRequestHead()
{
    for (;;) {
        const qsizetype end = m_pending.indexOf("\r\n\r\n");
        if (end >= 0) {
            const QByteArray head = m_pending.left(end + 4);
            m_pending.remove(0, end + 4);
            return head;
        }
        char buffer[4096];
        const ssize_t got = ::recv(m_socket, buffer, sizeof buffer, 0);
        if (got <= 0)
            return {};
        m_pending.append(buffer, got);
    }
}

bool RawConnection::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t sent = ::send(m_socket, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        done += sent;
        m_written += sent;
    }
    return true;
}

RawHttpServer::RawHttpServer(Script script) : m_script(std::move(script))
{
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(m_listener, reinterpret_cast<sockaddr *>(&address), length) != 0 || ::listen(m_listener, 16) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        qFatal("RawHttpServer: no loopback port");
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { acceptLoop(); });
}

RawHttpServer::~RawHttpServer()
{
    m_stopping = true;
    // Wakes the blocked accept, reads and writes: each script sees its
    // connection closed and returns.
    ::shutdown(m_listener, SHUT_RDWR);
    {
        const std::lock_guard lock(m_mutex);
        for (const int socket : m_open)
            ::shutdown(socket, SHUT_RDWR);
    }
    m_acceptor.join();
    for (std::thread &thread : m_threads)
        thread.join();
    ::close(m_listener);
}

QUrl RawHttpServer::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port));
}

void RawHttpServer::acceptLoop()
{
    for (;;) {
        const int socket = ::accept(m_listener, nullptr, nullptr);
        if (socket < 0 || m_stopping) {
            if (socket >= 0)
                ::close(socket);
            return;
        }
        // A small send buffer of a fixed size: what the server has sent
        // and the client not yet read is then mostly the client's own.
        const int sendBuffer = 256 * 1024;
        ::setsockopt(socket, SOL_SOCKET, SO_SNDBUF, &sendBuffer, sizeof sendBuffer);
        const std::lock_guard lock(m_mutex);
        m_open.push_back(socket);
        const int index = m_connections++;
        m_threads.emplace_back([this, socket, index] {
            RawConnection connection(socket, index);
            m_script(connection);
            {
                const std::lock_guard lock(m_mutex);
                m_open.remove(socket);
            }
            ::close(socket);
            ++m_closed;
        });
    }
}

} // namespace nimbra::test
