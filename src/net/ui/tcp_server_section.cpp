#include "net/ui/tcp_server_section.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>

#include <utility>

namespace vantora {

namespace {

constexpr int kLoopbackItem = 0;
constexpr int kAllInterfacesItem = 1;
constexpr int kAcceptFromMax = 64;  // characters, as the UDP inputs' field

}  // namespace

TcpServerSection::TcpServerSection(std::function<QString(const StatusTranslateFn&)> status, StatusTranslateFn translate,
                                   QWidget* parent)
    : NetworkSection(parent), m_translate(std::move(translate))
{
    m_control.status = std::move(status);
    setObjectName(QStringLiteral("TcpServerSection"));
    setTitle(tr8(" TCP server ($00, $01) "));
    (new QHBoxLayout(this))->addWidget(newStatusLine());
}

TcpServerSection::TcpServerSection(TcpServerControl control, StatusTranslateFn translate, QWidget* parent)
    : NetworkSection(parent), m_control(std::move(control)), m_translate(std::move(translate))
{
    setObjectName(QStringLiteral("TcpServerSection"));
    setTitle(tr8(" TCP server ($00, $01) "));
    m_scope = new QComboBox(this);
    m_scope->setObjectName(QStringLiteral("TcpServerScope"));
    m_scope->addItem(tr8("Only this computer"));
    m_scope->addItem(tr8("All network interfaces"));
    m_acceptFrom = new QLineEdit(this);
    m_acceptFrom->setObjectName(QStringLiteral("TcpAcceptFrom"));
    m_acceptFrom->setMaxLength(kAcceptFromMax);
    m_acceptFrom->setPlaceholderText(tr8("anyone (or 192.168.1.0/24)"));
    auto* form = new QFormLayout(this);
    form->addRow(tr8("Listen on:"), m_scope);
    form->addRow(tr8("Accept from:"), m_acceptFrom);
    form->addRow(tr8("Status:"), newStatusLine());
}

QString TcpServerSection::tr8(const char* english) const
{
    return QString::fromStdString(m_translate ? m_translate(english) : std::string(english));
}

QLineEdit* TcpServerSection::newStatusLine()
{
    m_line = new QLineEdit(this);
    m_line->setObjectName(QStringLiteral("TcpServerStatus"));
    m_line->setReadOnly(true);
    QPalette palette = m_line->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    m_line->setPalette(palette);
    return m_line;
}

void TcpServerSection::load()
{
    if (!m_scope || !m_control.stored)
        return;
    const TcpServerSettings stored = m_control.stored();
    m_scope->setCurrentIndex(stored.address == kTcpLoopback ? kLoopbackItem : kAllInterfacesItem);
    m_acceptFrom->setText(QString::fromStdString(stored.acceptFrom));
}

TcpServerSettings TcpServerSection::values() const
{
    TcpServerSettings settings;
    if (!m_scope)
        return settings;
    settings.address = std::string(m_scope->currentIndex() == kLoopbackItem ? kTcpLoopback : kTcpAllAddresses);
    settings.acceptFrom = m_acceptFrom->text().trimmed().toStdString();
    return settings;
}

void TcpServerSection::apply()
{
    if (m_scope && m_control.storeAndApply)
        m_control.storeAndApply(values());
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
    return m_control.status ? m_control.status(m_translate) : QString();
}

void TcpServerSection::refreshStatus()
{
    m_line->setText(m_control.status ? m_control.status(m_translate) : QString());
}

}  // namespace vantora
