#pragma once
// The port 1023 server's section of the Network window: where it listens ("Only this computer"
// or "All network interfaces"), whom it serves ("Accept from") and its state. VANTORA_TCP_PORT
// chooses another port; the port itself is not a setting.

#include "net/ui/network_section.h"
#include "track/tcp_server_settings.h"
#include "track/ui/listen_status.h"

#include <functional>

class QComboBox;
class QLineEdit;

namespace vantora {

// What the section reaches of the server; every function must be set.
struct TcpServerControl {
    std::function<TcpServerSettings()> stored;                    // the stored values
    std::function<void(const TcpServerSettings&)> storeAndApply;  // store them and apply at once
    std::function<QString(const StatusTranslateFn&)> status;      // the server's status line
};

class TcpServerSection : public NetworkSection {
    Q_OBJECT
public:
    // The state only, read-only. `status`: the server's status line, e.g.
    // TcpCommandServer::statusText.
    TcpServerSection(std::function<QString(const StatusTranslateFn&)> status, StatusTranslateFn translate,
                     QWidget* parent = nullptr);
    // The state and the two settings.
    TcpServerSection(TcpServerControl control, StatusTranslateFn translate, QWidget* parent = nullptr);

    void load() override;
    void apply() override;
    void refreshStatus() override;
    // The server's own port, so that no other listener of the program is given it, and whether
    // it listens; without them the section claims nothing and reports no problem.
    void setListener(std::function<bool()> listening, std::function<quint16()> port);
    std::vector<ListenClaim> claims() const override;
    QString listenProblem() const override;

    // The values the controls hold now (only with the settings).
    TcpServerSettings values() const;

private:
    QString tr8(const char* english) const;
    QLineEdit* newStatusLine();

    TcpServerControl m_control;
    StatusTranslateFn m_translate;
    QComboBox* m_scope = nullptr;
    QLineEdit* m_acceptFrom = nullptr;
    QLineEdit* m_line = nullptr;
    std::function<bool()> m_listening;
    std::function<quint16()> m_port;
};

}  // namespace vantora
