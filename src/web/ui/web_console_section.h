#pragma once
// The web console's section of the Network window: on/off, which interfaces, port (the one in
// force and the variable that set it, when the environment overrides it), the TLS certificate
// and key, the two password buttons, and the status line.

#include "net/ui/network_section.h"
#include "track/ui/listen_status.h"
#include "web/web_settings.h"

#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vantora {

// What the section reaches of the server; every function must be set.
struct WebConsoleControl {
    std::function<WebSettings()> stored;                           // the stored values
    std::function<void(const WebSettings&)> storeAndApply;         // store them and listen anew
    std::function<QString(const StatusTranslateFn&)> status;       // the server's status line
    std::function<std::optional<int>()> environmentPort;           // VANTORA_WEB_PORT's port, when set
    std::function<bool(WebRole, const std::string&)> setPassword;  // hash and store; empty removes
};

class WebConsoleSection : public NetworkSection {
    Q_OBJECT
public:
    static constexpr char kPortVariable[] = "VANTORA_WEB_PORT";

    WebConsoleSection(WebConsoleControl control, StatusTranslateFn translate, QWidget* parent = nullptr);

    void load() override;
    void apply() override;
    void refreshStatus() override;

    // The values the controls hold now (the stored port while the environment overrides it).
    WebSettings values() const;

private:
    QString tr8(const char* english) const;
    void choose(QLineEdit* field);
    void setPassword(WebRole role);

    WebConsoleControl m_control;
    StatusTranslateFn m_translate;
    std::string m_wideAddress = std::string(kWebAllAddresses);
    int m_storedPort = kWebDefaultPort;
    QCheckBox* m_enabled = nullptr;
    QComboBox* m_scope = nullptr;
    QSpinBox* m_port = nullptr;
    QLabel* m_portNote = nullptr;
    QLineEdit* m_certificate = nullptr;
    QLineEdit* m_key = nullptr;
    QPushButton* m_operatorPassword = nullptr;
    QPushButton* m_viewerPassword = nullptr;
    QLabel* m_status = nullptr;
};

}  // namespace vantora
