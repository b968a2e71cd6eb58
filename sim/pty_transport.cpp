#include "pty_transport.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace vantora::sim {

namespace {

std::string SystemError(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

void Sleep(std::chrono::milliseconds time)
{
    ::poll(nullptr, 0, static_cast<int>(time.count()));
}

}  // namespace

PtyTransport::~PtyTransport()
{
    removeLink();
    if (m_master >= 0)
        ::close(m_master);
}

bool PtyTransport::open(std::string& error)
{
    termios settings{};
    cfmakeraw(&settings);
    settings.c_cflag &= ~(PARENB | CSTOPB | CSIZE | CRTSCTS);
    settings.c_cflag |= CS8 | CREAD | CLOCAL;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    cfsetispeed(&settings, B19200);
    cfsetospeed(&settings, B19200);

    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, &settings, nullptr) != 0) {
        error = SystemError("openpty");
        return false;
    }
    char name[256];
    if (::ptsname_r(master, name, sizeof name) != 0) {
        error = SystemError("ptsname");
        ::close(master);
        ::close(slave);
        return false;
    }
    // Only the program holds the slave: our copy would hide its closing from us.
    ::close(slave);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    m_master = master;
    m_slavePath = name;
    m_peerPresent = false;
    return true;
}

bool PtyTransport::createLink(const std::string& path, std::string& error)
{
    struct stat info{};
    if (::lstat(path.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            error = path + " exists and is not a symbolic link; not replacing it";
            return false;
        }
        ::unlink(path.c_str());
    }
    if (::symlink(m_slavePath.c_str(), path.c_str()) != 0) {
        error = SystemError(("symlink " + path).c_str());
        return false;
    }
    m_link = path;
    return true;
}

void PtyTransport::removeLink()
{
    if (m_link.empty())
        return;
    char target[256];
    const ssize_t size = ::readlink(m_link.c_str(), target, sizeof target - 1);
    if (size >= 0 && m_slavePath == std::string(target, static_cast<std::size_t>(size)))
        ::unlink(m_link.c_str());
    m_link.clear();
}

PtyTransport::ReadStatus PtyTransport::read(std::chrono::milliseconds timeout, Bytes& out)
{
    if (m_master < 0) {
        Sleep(timeout);
        return ReadStatus::Error;
    }
    pollfd entry{m_master, POLLIN, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(timeout.count()));
    if (ready < 0)
        return errno == EINTR ? ReadStatus::Timeout : ReadStatus::Error;
    if (ready == 0) {
        // A master without a slave reports a hang-up at once, so a quiet wait means a peer.
        m_peerPresent = true;
        return ReadStatus::Timeout;
    }
    if (entry.revents & POLLIN) {
        std::uint8_t buffer[512];
        const ssize_t size = ::read(m_master, buffer, sizeof buffer);
        if (size > 0) {
            m_peerPresent = true;
            out.insert(out.end(), buffer, buffer + size);
            return ReadStatus::Data;
        }
        if (size < 0 && (errno == EAGAIN || errno == EINTR))
            return ReadStatus::Timeout;
    }
    // Hang-up (EIO, POLLHUP): nobody has the slave open. Wait instead of polling again at once.
    m_peerPresent = false;
    Sleep(timeout);
    return ReadStatus::NoPeer;
}

bool PtyTransport::write(const Bytes& bytes)
{
    if (m_master < 0)
        return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (written > 0) {
            done += static_cast<std::size_t>(written);
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        // EAGAIN: the program has stopped reading and the terminal's buffer is full. A unit's line
        // does not wait for its listener, so the rest is lost rather than stalling the unit.
        if (written < 0 && errno == EIO)
            m_peerPresent = false;
        return false;
    }
    return true;
}

}  // namespace vantora::sim
