#pragma once
// The MQTT bridge's section of the Network window: on/off, broker host and port, user name and
// password, TLS with a CA file picker, topic prefix, Home Assistant discovery, and a status line
// saying whether the bridge is connected or why not.

#include "mqtt/mqtt_settings.h"
#include "net/ui/network_section.h"

#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vantora {

class MqttService;

// What the section reaches of the bridge; every function but pickFile must be set.
struct MqttControl {
    using TranslateFn = std::function<std::string(const std::string&)>;
    std::function<MqttSettings()> stored;                    // the stored values
    std::function<void(const MqttSettings&)> storeAndApply;  // store them and connect anew
    std::function<QString(const TranslateFn&)> status;       // the bridge's status line
    std::function<std::string()> defaultPrefix;              // shown while no prefix is stored
    // The CA file picker: the chosen file, empty when cancelled. Unset: the system's dialog.
    std::function<QString(QWidget* parent, const QString& title, const QString& start)> pickFile;
};

class MqttSection : public NetworkSection {
    Q_OBJECT
public:
    MqttSection(MqttControl control, MqttControl::TranslateFn translate, QWidget* parent = nullptr);

    void load() override;
    void apply() override;
    void refreshStatus() override;

    // The stored values with the controls' values over them.
    MqttSettings values() const;
    void browseCaFile();  // the "Browse…" button

private:
    QString tr8(const char* english) const;
    void enableTlsControls();

    MqttControl m_control;
    MqttControl::TranslateFn m_translate;
    MqttSettings m_loaded;  // keeps what the section does not show (the client ID)
    QCheckBox* m_enabled = nullptr;
    QLineEdit* m_host = nullptr;
    QSpinBox* m_port = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QCheckBox* m_tls = nullptr;
    QLineEdit* m_caFile = nullptr;
    QPushButton* m_browse = nullptr;
    QLineEdit* m_topic = nullptr;
    QCheckBox* m_discovery = nullptr;
    QLabel* m_status = nullptr;
};

// The section for the program's bridge; the caller's Network window takes it.
MqttSection* MakeMqttSection(MqttService& service, MqttControl::TranslateFn translate);

}  // namespace vantora
