#include "mqtt/ui/mqtt_section.h"

#include "mqtt/ui/mqtt_service.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace vantora {

MqttSection::MqttSection(MqttControl control, MqttControl::TranslateFn translate, QWidget* parent)
    : NetworkSection(parent), m_control(std::move(control)), m_translate(std::move(translate))
{
    setObjectName(QStringLiteral("MqttSection"));
    setTitle(tr8(" MQTT broker "));

    m_enabled = new QCheckBox(tr8("Enabled"), this);
    m_enabled->setObjectName(QStringLiteral("MqttEnabled"));
    m_host = new QLineEdit(this);
    m_host->setObjectName(QStringLiteral("MqttHost"));
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("MqttPort"));
    m_port->setRange(1, 65535);
    m_port->setMaximumWidth(100);
    m_user = new QLineEdit(this);
    m_user->setObjectName(QStringLiteral("MqttUser"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("MqttPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_tls = new QCheckBox(tr8("Use TLS"), this);
    m_tls->setObjectName(QStringLiteral("MqttTls"));
    m_caFile = new QLineEdit(this);
    m_caFile->setObjectName(QStringLiteral("MqttCaFile"));
    m_caFile->setPlaceholderText(tr8("the system's certificates"));
    m_browse = new QPushButton(tr8("Browse…"), this);
    m_browse->setObjectName(QStringLiteral("MqttCaFileBrowse"));
    m_topic = new QLineEdit(this);
    m_topic->setObjectName(QStringLiteral("MqttTopic"));
    m_discovery = new QCheckBox(tr8("Home Assistant discovery"), this);
    m_discovery->setObjectName(QStringLiteral("MqttDiscovery"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("MqttStatus"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setWordWrap(true);

    auto* hostRow = new QHBoxLayout;
    hostRow->addWidget(m_host, 1);
    hostRow->addWidget(new QLabel(tr8("Port:"), this));
    hostRow->addWidget(m_port);
    auto* caRow = new QHBoxLayout;
    caRow->addWidget(m_caFile, 1);
    caRow->addWidget(m_browse);

    auto* form = new QFormLayout(this);
    form->addRow(m_enabled);
    form->addRow(tr8("Host:"), hostRow);
    form->addRow(tr8("User:"), m_user);
    form->addRow(tr8("Password:"), m_password);
    form->addRow(m_tls);
    form->addRow(tr8("CA file:"), caRow);
    form->addRow(tr8("Topic prefix:"), m_topic);
    form->addRow(m_discovery);
    form->addRow(tr8("Status:"), m_status);

    connect(m_browse, &QPushButton::clicked, this, &MqttSection::browseCaFile);
    connect(m_tls, &QCheckBox::toggled, this, &MqttSection::enableTlsControls);
}

QString MqttSection::tr8(const char* english) const
{
    return QString::fromStdString(m_translate ? m_translate(english) : std::string(english));
}

void MqttSection::enableTlsControls()
{
    m_caFile->setEnabled(m_tls->isChecked());
    m_browse->setEnabled(m_tls->isChecked());
}

void MqttSection::load()
{
    m_loaded = m_control.stored();
    m_enabled->setChecked(m_loaded.enabled);
    m_host->setText(QString::fromStdString(m_loaded.host));
    m_port->setValue(m_loaded.port);
    m_user->setText(QString::fromStdString(m_loaded.user));
    m_password->setText(QString::fromStdString(m_loaded.password));
    m_tls->setChecked(m_loaded.tls);
    m_caFile->setText(QString::fromStdString(m_loaded.caFile));
    m_topic->setText(QString::fromStdString(m_loaded.topic));
    // Without a stored prefix the default one is in force: shown, and not stored unless typed.
    m_topic->setPlaceholderText(
        QString::fromStdString(m_control.defaultPrefix ? m_control.defaultPrefix() : std::string()));
    m_discovery->setChecked(m_loaded.discovery);
    enableTlsControls();
}

MqttSettings MqttSection::values() const
{
    MqttSettings settings = m_loaded;
    settings.enabled = m_enabled->isChecked();
    const std::string host = m_host->text().trimmed().toStdString();
    settings.host = host.empty() ? std::string(kMqttDefaultHost) : host;
    settings.port = m_port->value();
    settings.user = m_user->text().toStdString();
    settings.password = m_password->text().toStdString();
    settings.tls = m_tls->isChecked();
    settings.caFile = m_caFile->text().trimmed().toStdString();
    settings.topic = m_topic->text().trimmed().toStdString();
    settings.discovery = m_discovery->isChecked();
    return settings;
}

void MqttSection::apply()
{
    m_control.storeAndApply(values());
}

void MqttSection::refreshStatus()
{
    m_status->setText(m_control.status(m_translate));
}

void MqttSection::browseCaFile()
{
    const QString title = tr8("CA certificate (PEM)");
    const QString chosen = m_control.pickFile
                               ? m_control.pickFile(this, title, m_caFile->text())
                               : QFileDialog::getOpenFileName(
                                   this, title, m_caFile->text(),
                                   tr8("PEM files (*.pem *.crt)") + QStringLiteral(";;") + tr8("All files (*)"));
    if (!chosen.isEmpty())
        m_caFile->setText(chosen);
}

MqttSection* MakeMqttSection(MqttService& service, MqttControl::TranslateFn translate)
{
    MqttControl control;
    control.stored = [&service] { return service.stored(); };
    control.storeAndApply = [&service](const MqttSettings& settings) { service.storeAndApply(settings); };
    control.status = [&service](const MqttControl::TranslateFn& tr) { return service.statusText(tr); };
    control.defaultPrefix = [&service] { return service.defaultPrefix(); };
    return new MqttSection(std::move(control), std::move(translate));
}

}  // namespace vantora
