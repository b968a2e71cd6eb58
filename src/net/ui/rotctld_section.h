#pragma once
// The rotctld server's section of the Network window: on/off, which interfaces, port, and a
// status line saying where it listens or why it cannot.

#include "net/rotctld_settings.h"
#include "net/ui/network_section.h"
#include "track/ui/listen_status.h"

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

namespace vantora {

// What the section reaches of the server; every function must be set.
struct RotctldControl {
    std::function<RotctldSettings()> stored;                   // the stored values
    std::function<void(const RotctldSettings&)> storeAndApply; // store them and listen anew
    std::function<QString(const StatusTranslateFn&)> status;   // the server's status line
    std::function<bool()> listening;                           // optional: whether it listens now
    // Optional: the port VANTORA_ROTCTLD_PORT forces on the server, if it does. The section then
    // shows that port, says so, and keeps the stored one.
    std::function<std::optional<int>()> environmentPort;
};

class RotctldSection : public NetworkSection {
    Q_OBJECT
public:
    RotctldSection(RotctldControl control, StatusTranslateFn translate, QWidget* parent = nullptr);

    void load() override;
    void apply() override;
    void refreshStatus() override;
    std::vector<ListenClaim> claims() const override;
    void listenAgain() override;
    QString listenProblem() const override;

    // The values the controls hold now.
    RotctldSettings values() const;

private:
    QString tr8(const char* english) const;

    RotctldControl m_control;
    StatusTranslateFn m_translate;
    std::string m_wideAddress = std::string(kRotctldAllAddresses);  // what "All network interfaces" stores
    QCheckBox* m_enabled = nullptr;
    QComboBox* m_scope = nullptr;
    QSpinBox* m_port = nullptr;
    QLabel* m_portNote = nullptr;  // "Port 4600, set by VANTORA_ROTCTLD_PORT"
    int m_storedPort = 0;          // kept while a variable sets the port
    QLabel* m_status = nullptr;
};

}  // namespace vantora
