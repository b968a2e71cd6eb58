#pragma once
// The port 1023 server's section of the Network window: its state, read-only (the server has no
// settings of its own; VANTORA_TCP_PORT chooses another port).

#include "net/ui/network_section.h"
#include "track/ui/listen_status.h"

#include <functional>

class QLineEdit;

namespace vantora {

class TcpServerSection : public NetworkSection {
    Q_OBJECT
public:
    // `status`: the server's status line, e.g. TcpCommandServer::statusText.
    TcpServerSection(std::function<QString(const StatusTranslateFn&)> status, StatusTranslateFn translate,
                     QWidget* parent = nullptr);

    void refreshStatus() override;
    // The server's own port, so that no other listener of the program is given it, and whether
    // it listens; without them the section claims nothing and reports no problem.
    void setListener(std::function<bool()> listening, std::function<quint16()> port);
    std::vector<ListenClaim> claims() const override;
    QString listenProblem() const override;

private:
    std::function<QString(const StatusTranslateFn&)> m_status;
    StatusTranslateFn m_translate;
    QLineEdit* m_line = nullptr;
    std::function<bool()> m_listening;
    std::function<quint16()> m_port;
};

}  // namespace vantora
