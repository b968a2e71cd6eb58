#include "track/ui/qt_tracking_files.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace vantora {

bool QtTrackingFiles::Exists(const std::string& path)
{
    const QFileInfo info(QString::fromStdString(path));
    return info.exists() && !info.isDir();
}

std::optional<std::string> QtTrackingFiles::ReadPrefix(const std::string& path, std::size_t maxBytes)
{
    const QString name = QString::fromStdString(path);
    if (!QFileInfo(name).isFile())
        return std::nullopt;
    // QFile shares read and write access with other openers on every platform.
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(static_cast<qint64>(maxBytes));
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace vantora
