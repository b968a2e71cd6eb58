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

void TcpServerSection::refreshStatus()
{
    m_line->setText(m_status ? m_status(m_translate) : QString());
}

}  // namespace vantora
