#pragma once
// The settings store on QSettings: on Windows the machine-wide registry key
// HKEY_LOCAL_MACHINE\Software\Merrow\Vantora (strings REG_SZ, integers REG_DWORD); elsewhere
// one INI file, $VANTORA_SETTINGS or <config>/Merrow/Vantora.conf, replaced atomically on
// every write.

#include "settings/key_value_store.h"

#include <QString>

#include <memory>

class QSettings;

namespace vantora {

class QtSettingsStore : public KeyValueStore {
public:
    // The store of this platform (see above).
    QtSettingsStore();
    // An INI file at `iniPath`, whatever the platform.
    explicit QtSettingsStore(const QString& iniPath);
    ~QtSettingsStore() override;

    // Where the store of this platform lives: the registry path or the INI file's path.
    static QString DefaultLocation();

    QString location() const { return m_location; }

    bool Open() override;
    bool Close() override;
    std::optional<std::string> ReadString(std::string_view name) override;
    std::optional<std::int32_t> ReadInt(std::string_view name) override;
    void WriteString(std::string_view name, std::string_view value) override;
    void WriteInt(std::string_view name, std::int32_t value) override;

private:
    QSettings& settings();

    QString m_location;
    bool m_registry = false;  // values carry their type; INI values are all text
    std::unique_ptr<QSettings> m_settings;
};

}  // namespace vantora
