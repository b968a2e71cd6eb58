#pragma once
// A raw loopback TCP client with small socket buffers that sends and never reads: the way to
// fill a server's queue of unsent replies for one client. POSIX sockets, so that Qt's own
// buffering cannot read on the client's behalf.

#include "support/event_wait.h"

#include <QByteArray>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>

namespace vantora::test {

class NonReadingClient {
public:
    explicit NonReadingClient(quint16 port) : m_fd(::socket(AF_INET, SOCK_STREAM, 0))
    {
        if (m_fd < 0)
            return;
        const int small = 4096;
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        ::setsockopt(m_fd, SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        m_connected = ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    }
    ~NonReadingClient() { close(); }
    NonReadingClient(const NonReadingClient&) = delete;
    NonReadingClient& operator=(const NonReadingClient&) = delete;

    bool connected() const { return m_connected; }
    qint64 sent() const { return m_sent; }
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    // Sends `chunk` over and over, never reading, until `done` holds; stops sending after
    // `maxBytes` or once the server has closed the connection. Returns whether `done` held
    // within `limitMs`.
    bool FloodUntil(const QByteArray& chunk, const std::function<bool()>& done, qint64 maxBytes,
                    int limitMs = 60000)
    {
        bool writeFailed = false;
        return WaitFor([&] {
            if (!writeFailed && m_sent < maxBytes) {
                const ssize_t n = ::send(m_fd, chunk.constData(), static_cast<size_t>(chunk.size()), MSG_NOSIGNAL);
                if (n > 0)
                    m_sent += n;
                else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                    writeFailed = true;
            }
            return done();
        }, limitMs);
    }

private:
    int m_fd;
    bool m_connected = false;
    qint64 m_sent = 0;
};

}  // namespace vantora::test
