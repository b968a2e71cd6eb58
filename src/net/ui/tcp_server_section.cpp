#include "net/ui/tcp_server_section.h"

#include <QHBoxLayout>
#include <QLineEdit>

namespace vantora {

TcpServerSection::TcpServerSection(std::function<QString(const StatusTranslateFn&)> status,
                                   StatusTranslateFn translate, QWidget* parent)
    : NetworkSection(parent), m_status(std::move(status)), m_translate(std::move(translate))
{
    setObjectName(QStringLiteral("TcpServerSection"));
    const std::string title = " TCP server ($00, $01) ";
    setTitle(QString::fromStdString(m_translate ? m_translate(title) : title));
    m_line = new QLineEdit(this);
    m_line->setObjectName(QStringLiteral("TcpServerStatus"));
    m_line->setReadOnly(true);
    QPalette palette = m_line->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    m_line->setPalette(palette);
    (new QHBoxLayout(this))->addWidget(m_line);
}

void TcpServerSection::setListener(std::function<bool()> listening, std::function<quint16()> port)
{
    m_listening = std::move(listening);
    m_port = std::move(port);
}

std::vector<ListenClaim> TcpServerSection::claims() const
{
    if (!m_listening || !m_port || !m_listening())
        return {};
    return {{QStringLiteral("TCP"), m_port(), nullptr}};
}

QString TcpServerSection::listenProblem() const
{
    if (!m_listening || m_listening())
        return {};
    return m_status ? m_status(m_translate) : QString();
}

void TcpServerSection::refreshStatus()
{
    m_line->setText(m_status ? m_status(m_translate) : QString());
}

}  // namespace vantora
