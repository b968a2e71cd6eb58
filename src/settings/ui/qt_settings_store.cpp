#include "settings/ui/qt_settings_store.h"

#include "settings/ini_text.h"

#include <QFileDevice>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

#include <limits>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace vantora {

namespace {

QString Key(std::string_view name)
{
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

#ifdef Q_OS_WIN
constexpr bool kRegistry = true;
#else
constexpr bool kRegistry = false;
#endif

bool ReadIniFile(QIODevice& device, QSettings::SettingsMap& map)
{
    const QByteArray bytes = device.readAll();
    for (const auto& [key, value] : ParseIni(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
        map.insert(QString::fromStdString(key), QString::fromStdString(value));
    }
    return true;
}

// QSettings writes through a QSaveFile, but its own INI writer ignores a write that fails
// part-way (full disk) and the truncated file still replaces the old one. Here every byte is
// accounted for and flushed; a false return makes QSettings drop the temporary file instead.
bool WriteIniFile(QIODevice& device, const QSettings::SettingsMap& map)
{
    IniValues values;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        values[it.key().toStdString()] = it.value().toString().toStdString();
    }
    const std::string text = FormatIni(values);
    if (device.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        return false;
    }
    auto* file = qobject_cast<QFileDevice*>(&device);
    if (file == nullptr) {
        return true;
    }
    if (!file->flush()) {
        return false;
    }
#ifdef Q_OS_UNIX
    // On disk before the rename that follows, so that a power cut leaves the old file or the
    // new one, never an empty one.
    if (file->handle() >= 0 && ::fsync(file->handle()) != 0) {
        return false;
    }
#endif
    return true;
}

QSettings::Format IniFileFormat()
{
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("conf"), ReadIniFile, WriteIniFile, Qt::CaseSensitive);
    return format;
}

}  // namespace

QtSettingsStore::QtSettingsStore() : m_location(DefaultLocation()), m_registry(kRegistry) {}

QtSettingsStore::QtSettingsStore(const QString& iniPath) : m_location(iniPath) {}

QtSettingsStore::~QtSettingsStore() = default;

QString QtSettingsStore::DefaultLocation()
{
#ifdef Q_OS_WIN
    return QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Merrow\\Vantora");
#else
    const QString overridden = qEnvironmentVariable("VANTORA_SETTINGS");
    if (!overridden.isEmpty()) {
        return overridden;
    }
    // A machine-wide file would not be writable by ordinary users: one store per user.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Merrow/Vantora.conf");
#endif
}

QSettings& QtSettingsStore::settings()
{
    if (!m_settings) {
        m_settings = m_registry ? std::make_unique<QSettings>(m_location, QSettings::NativeFormat)
                                : std::make_unique<QSettings>(m_location, IniFileFormat());
        // Never fall back to rewriting the file in place: a write cut short would leave a
        // truncated store.
        m_settings->setAtomicSyncRequired(true);
    }
    return *m_settings;
}

bool QtSettingsStore::Open()
{
    m_settings.reset();
    QSettings& store = settings();
    if (!store.isWritable()) {
        return false;
    }
    if (!m_registry) {
        // The file is replaced through a temporary file beside it, so the folder must take
        // new files too, not only the file itself its changes.
        const QFileInfo folder(QFileInfo(m_location).absolutePath());
        if (!folder.isDir() || !folder.isWritable()) {
            return false;
        }
    }
    return true;
}

bool QtSettingsStore::Close()
{
    if (!m_settings) {
        return true;
    }
    m_settings->sync();
    const bool stored = m_settings->status() == QSettings::NoError;
    m_settings.reset();
    return stored;
}

std::optional<std::string> QtSettingsStore::ReadString(std::string_view name)
{
    const QVariant value = settings().value(Key(name));
    if (!value.isValid()) {
        return std::nullopt;
    }
    const int type = value.typeId();
    const bool text = type == QMetaType::QString ||
                      // A file has no types: a value written as a number in this run still
                      // reads back as its text.
                      (!m_registry && type == QMetaType::Int);
    if (!text) {
        return std::nullopt;
    }
    return value.toString().toStdString();
}

std::optional<std::int32_t> QtSettingsStore::ReadInt(std::string_view name)
{
    const QVariant value = settings().value(Key(name));
    bool ok = false;
    qlonglong number = 0;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        number = value.toLongLong(&ok);
        break;
    case QMetaType::QString:
        if (!m_registry) {
            number = value.toString().trimmed().toLongLong(&ok, 10);
        }
        break;
    default:
        break;
    }
    if (!ok || number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(number);
}

void QtSettingsStore::WriteString(std::string_view name, std::string_view value)
{
    settings().setValue(Key(name), QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
}

void QtSettingsStore::WriteInt(std::string_view name, std::int32_t value)
{
    settings().setValue(Key(name), static_cast<int>(value));
}

}  // namespace vantora
