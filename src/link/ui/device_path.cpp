#include "link/ui/device_path.h"

#include <QFileInfo>
#include <QString>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace vantora {

DevicePathProblem CheckDevicePath(const std::string& path)
{
    if (path.empty())
        return DevicePathProblem::Empty;
#ifdef Q_OS_UNIX
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return errno == EACCES ? DevicePathProblem::NoAccess : DevicePathProblem::Missing;
    if (!S_ISCHR(status.st_mode))
        return DevicePathProblem::NotTerminal;
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == EACCES || errno == EPERM)
            return DevicePathProblem::NoAccess;
        return errno == EBUSY ? DevicePathProblem::None : DevicePathProblem::CannotOpen;
    }
    const bool terminal = ::isatty(fd) == 1;
    ::close(fd);
    return terminal ? DevicePathProblem::None : DevicePathProblem::NotTerminal;
#else
    // Elsewhere ports have names ("COM3") rather than files: only a file path can be checked.
    const QFileInfo info(QString::fromStdString(path));
    if (info.isAbsolute() && !info.exists())
        return DevicePathProblem::Missing;
    return DevicePathProblem::None;
#endif
}

}  // namespace vantora
