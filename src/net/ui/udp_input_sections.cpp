#include "net/ui/udp_input_sections.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <utility>

namespace vantora {

namespace {

constexpr int kTextFieldMax = 64;  // characters of the rotor name and "Accept from"

}  // namespace

UdpInputSection::UdpInputSection(UdpInputs& inputs, StatusTranslateFn translate, const QString& prefix,
                                 QWidget* parent)
    : NetworkSection(parent), m_inputs(inputs), m_translate(std::move(translate)), m_prefix(prefix)
{
    setObjectName(prefix + QStringLiteral("Section"));
    m_enabled = new QCheckBox(tr8("Enabled"), this);
    m_enabled->setObjectName(prefix + QStringLiteral("Enabled"));
    m_form = new QFormLayout(this);
    m_form->addRow(m_enabled);
    m_port = newPort(prefix + QStringLiteral("Port"));
    m_form->addRow(tr8("Port:"), withProblemLabel(m_port));
}

std::vector<ListenClaim> UdpInputSection::claims() const
{
    if (!m_enabled->isChecked())
        return {};
    return {{QStringLiteral("UDP"), static_cast<quint16>(m_port->value()), m_port}};
}

void UdpInputSection::listenAgain()
{
    m_inputs.listenAgain();
}

QString UdpInputSection::listenProblem() const
{
    if (!storedEnabled() || socket().isListening())
        return {};
    return socket().statusText(m_translate);
}

QString UdpInputSection::tr8(const char* english) const
{
    return QString::fromStdString(m_translate ? m_translate(english) : std::string(english));
}

QSpinBox* UdpInputSection::newPort(const QString& objectName)
{
    auto* port = new QSpinBox(this);
    port->setObjectName(objectName);
    port->setRange(1, 65535);
    port->setAccelerated(true);
    port->setMaximumWidth(100);  // as wide as the rotctld section's port
    return port;
}

void UdpInputSection::addAcceptFromAndStatus()
{
    m_acceptFrom = new QLineEdit(this);
    m_acceptFrom->setObjectName(m_prefix + QStringLiteral("AcceptFrom"));
    m_acceptFrom->setMaxLength(kTextFieldMax);
    m_acceptFrom->setPlaceholderText(tr8("anyone (or 192.168.1.0/24)"));
    m_form->addRow(tr8("Accept from:"), m_acceptFrom);
    m_status = new QLabel(this);
    m_status->setObjectName(m_prefix + QStringLiteral("Status"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setWordWrap(true);
    m_form->addRow(tr8("Status:"), m_status);
}

N1mmSection::N1mmSection(UdpInputs& inputs, StatusTranslateFn translate, QWidget* parent)
    : UdpInputSection(inputs, std::move(translate), QStringLiteral("N1mm"), parent)
{
    setTitle(tr8(" N1MM Logger+ rotor datagrams (UDP) "));
    m_rotor = new QLineEdit(this);
    m_rotor->setObjectName(QStringLiteral("N1mmRotor"));
    m_rotor->setMaxLength(kTextFieldMax);
    m_rotor->setPlaceholderText(tr8("every rotor name"));
    m_form->addRow(tr8("Rotor name:"), m_rotor);
    m_statusPort = newPort(QStringLiteral("N1mmStatusPort"));
    m_form->addRow(tr8("Status port:"), m_statusPort);
    m_shareAddress =
        new QCheckBox(tr8("Share the port with other programs (any local user could then read the datagrams)"), this);
    m_shareAddress->setObjectName(QStringLiteral("N1mmShareAddress"));
    m_form->addRow(m_shareAddress);
    addAcceptFromAndStatus();
}

void N1mmSection::load()
{
    const N1mmInputSettings& stored = m_inputs.settings().n1mm;
    m_enabled->setChecked(stored.enabled);
    m_port->setValue(stored.port);
    m_rotor->setText(QString::fromStdString(stored.rotor));
    m_statusPort->setValue(stored.statusPort);
    m_acceptFrom->setText(QString::fromStdString(stored.acceptFrom));
    m_shareAddress->setChecked(stored.shareAddress);
}

N1mmInputSettings N1mmSection::values() const
{
    N1mmInputSettings settings;
    settings.enabled = m_enabled->isChecked();
    settings.port = static_cast<std::uint16_t>(m_port->value());
    settings.rotor = m_rotor->text().trimmed().toStdString();
    settings.statusPort = static_cast<std::uint16_t>(m_statusPort->value());
    settings.acceptFrom = m_acceptFrom->text().trimmed().toStdString();
    settings.shareAddress = m_shareAddress->isChecked();
    return settings;
}

void N1mmSection::apply()
{
    UdpInputSettings settings = m_inputs.settings();
    settings.n1mm = values();
    m_inputs.change(settings);
}

void N1mmSection::refreshStatus()
{
    m_status->setText(m_inputs.n1mm().socket().statusText(m_translate));
}

PstSection::PstSection(UdpInputs& inputs, StatusTranslateFn translate, QWidget* parent)
    : UdpInputSection(inputs, std::move(translate), QStringLiteral("Pst"), parent)
{
    setTitle(tr8(" PstRotator-style commands (UDP) "));
    addAcceptFromAndStatus();
}

void PstSection::load()
{
    const PstInputSettings& stored = m_inputs.settings().pst;
    m_enabled->setChecked(stored.enabled);
    m_port->setValue(stored.port);
    m_acceptFrom->setText(QString::fromStdString(stored.acceptFrom));
}

PstInputSettings PstSection::values() const
{
    PstInputSettings settings;
    settings.enabled = m_enabled->isChecked();
    settings.port = static_cast<std::uint16_t>(m_port->value());
    settings.acceptFrom = m_acceptFrom->text().trimmed().toStdString();
    return settings;
}

void PstSection::apply()
{
    UdpInputSettings settings = m_inputs.settings();
    settings.pst = values();
    m_inputs.change(settings);
}

void PstSection::refreshStatus()
{
    m_status->setText(m_inputs.pst().socket().statusText(m_translate));
}

}  // namespace vantora
