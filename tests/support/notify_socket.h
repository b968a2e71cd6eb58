#pragma once
// The service manager's end of the sd_notify protocol for tests: a bound AF_UNIX datagram socket
// in a folder of its own; NOTIFY_SOCKET points at it while it lives (programs started meanwhile
// inherit it).

#include <QTemporaryDir>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vantora::test {

// The manager's end: a bound AF_UNIX datagram socket; NOTIFY_SOCKET points at it while it lives.
class NotifySocket {
public:
    NotifySocket()
    {
        m_path = m_dir.filePath(QStringLiteral("notify")).toStdString();
        m_fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, m_path.c_str(), sizeof address.sun_path - 1);
        m_bound = m_fd >= 0 && m_path.size() < sizeof address.sun_path
                  && ::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::setenv("NOTIFY_SOCKET", m_path.c_str(), 1);
    }
    ~NotifySocket()
    {
        ::unsetenv("NOTIFY_SOCKET");
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool bound() const { return m_bound; }

    // Every message that arrived since the last call.
    std::vector<std::string> take()
    {
        std::vector<std::string> got;
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n < 0)
                break;
            got.emplace_back(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }

private:
    QTemporaryDir m_dir;
    std::string m_path;
    int m_fd = -1;
    bool m_bound = false;
};

}  // namespace vantora::test
