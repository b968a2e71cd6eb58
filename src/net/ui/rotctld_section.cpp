#include "net/ui/rotctld_section.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

namespace vantora {

namespace {

constexpr int kLoopbackItem = 0;
constexpr int kAllInterfacesItem = 1;

}  // namespace

RotctldSection::RotctldSection(RotctldControl control, StatusTranslateFn translate, QWidget* parent)
    : NetworkSection(parent), m_control(std::move(control)), m_translate(std::move(translate))
{
    setObjectName(QStringLiteral("RotctldSection"));
    setTitle(tr8(" Hamlib rotctld server "));

    m_enabled = new QCheckBox(tr8("Enabled"), this);
    m_enabled->setObjectName(QStringLiteral("RotctldEnabled"));
    m_scope = new QComboBox(this);
    m_scope->setObjectName(QStringLiteral("RotctldScope"));
    m_scope->addItem(tr8("Only this computer"));
    m_scope->addItem(tr8("All network interfaces"));
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("RotctldPort"));
    m_port->setRange(1, 65535);
    m_port->setAccelerated(true);
    m_port->setMaximumWidth(100);
    m_portNote = new QLabel(this);
    m_portNote->setObjectName(QStringLiteral("RotctldPortNote"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("RotctldStatus"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setWordWrap(true);

    auto* form = new QFormLayout(this);
    form->addRow(m_enabled);
    form->addRow(tr8("Listen on:"), m_scope);
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(withProblemLabel(m_port));
    portRow->addWidget(m_portNote, 1);
    form->addRow(tr8("Port:"), portRow);
    form->addRow(tr8("Status:"), m_status);
}

QString RotctldSection::tr8(const char* english) const
{
    return QString::fromStdString(m_translate ? m_translate(english) : std::string(english));
}

void RotctldSection::load()
{
    const RotctldSettings stored = m_control.stored();
    m_enabled->setChecked(stored.enabled);
    const bool loopback = stored.address == kRotctldLoopback;
    // A wide address stays as stored (0.0.0.0 or ::) unless the operator picks another choice.
    m_wideAddress = loopback ? std::string(kRotctldAllAddresses) : stored.address;
    m_scope->setCurrentIndex(loopback ? kLoopbackItem : kAllInterfacesItem);
    m_storedPort = stored.port;
    // The port in force is shown; while the variable sets it, it cannot be changed here.
    const std::optional<int> overridden = m_control.environmentPort ? m_control.environmentPort() : std::nullopt;
    m_port->setValue(overridden ? *overridden : stored.port);
    m_port->setEnabled(!overridden);
    m_portNote->setText(overridden ? tr8("Port %1, set by %2").arg(*overridden).arg(QStringLiteral("VANTORA_ROTCTLD_PORT"))
                                   : QString());
}

RotctldSettings RotctldSection::values() const
{
    RotctldSettings settings;
    settings.enabled = m_enabled->isChecked();
    settings.address = m_scope->currentIndex() == kAllInterfacesItem ? m_wideAddress : std::string(kRotctldLoopback);
    settings.port = m_port->isEnabled() ? m_port->value() : m_storedPort;
    return settings;
}

void RotctldSection::apply()
{
    m_control.storeAndApply(values());
}

std::vector<ListenClaim> RotctldSection::claims() const
{
    if (!m_enabled->isChecked())
        return {};
    return {{QStringLiteral("TCP"), static_cast<quint16>(m_port->value()), m_port}};
}

void RotctldSection::listenAgain()
{
    if (!m_control.listening || m_control.listening())
        return;
    const RotctldSettings stored = m_control.stored();
    if (stored.enabled)
        m_control.storeAndApply(stored);
}

QString RotctldSection::listenProblem() const
{
    if (!m_control.listening || m_control.listening() || !m_control.stored().enabled)
        return {};
    return m_control.status(m_translate);
}

void RotctldSection::refreshStatus()
{
    m_status->setText(m_control.status(m_translate));
}

}  // namespace vantora
