#include "web/ui/web_console_section.h"

#include "web/ui/password_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace vantora {

namespace {

constexpr int kLoopbackItem = 0;
constexpr int kAllInterfacesItem = 1;

}  // namespace

WebConsoleSection::WebConsoleSection(WebConsoleControl control, StatusTranslateFn translate, QWidget* parent)
    : NetworkSection(parent), m_control(std::move(control)), m_translate(std::move(translate))
{
    setObjectName(QStringLiteral("WebConsoleSection"));
    setTitle(tr8(" Web console "));

    m_enabled = new QCheckBox(tr8("Enabled"), this);
    m_enabled->setObjectName(QStringLiteral("WebEnabled"));
    m_scope = new QComboBox(this);
    m_scope->setObjectName(QStringLiteral("WebScope"));
    m_scope->addItem(tr8("Only this computer"));
    m_scope->addItem(tr8("All network interfaces"));
    m_port = new QSpinBox(this);
    m_port->setObjectName(QStringLiteral("WebPort"));
    m_port->setRange(0, 65535);
    m_port->setAccelerated(true);
    m_port->setMaximumWidth(100);
    m_portNote = new QLabel(this);
    m_portNote->setObjectName(QStringLiteral("WebPortNote"));
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(m_port);
    portRow->addWidget(m_portNote, 1);

    const auto fileRow = [this](QLineEdit*& field, const char* name, const char* button) {
        field = new QLineEdit(this);
        field->setObjectName(QString::fromLatin1(name));
        auto* choose = new QPushButton(tr8("Choose…"), this);
        choose->setObjectName(QString::fromLatin1(button));
        QLineEdit* target = field;
        connect(choose, &QPushButton::clicked, this, [this, target] { this->choose(target); });
        auto* row = new QHBoxLayout;
        row->addWidget(field, 1);
        row->addWidget(choose);
        return row;
    };
    QHBoxLayout* certificateRow = fileRow(m_certificate, "WebTlsCertificate", "WebTlsCertificateChoose");
    QHBoxLayout* keyRow = fileRow(m_key, "WebTlsKey", "WebTlsKeyChoose");

    m_operatorPassword = new QPushButton(tr8("Set operator password…"), this);
    m_operatorPassword->setObjectName(QStringLiteral("WebOperatorPassword"));
    m_viewerPassword = new QPushButton(tr8("Set viewer password…"), this);
    m_viewerPassword->setObjectName(QStringLiteral("WebViewerPassword"));
    connect(m_operatorPassword, &QPushButton::clicked, this, [this] { setPassword(WebRole::Operator); });
    connect(m_viewerPassword, &QPushButton::clicked, this, [this] { setPassword(WebRole::Viewer); });
    auto* passwordRow = new QHBoxLayout;
    passwordRow->addWidget(m_operatorPassword);
    passwordRow->addWidget(m_viewerPassword);
    passwordRow->addStretch(1);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("WebStatus"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setWordWrap(true);

    auto* form = new QFormLayout(this);
    form->addRow(m_enabled);
    form->addRow(tr8("Listen on:"), m_scope);
    form->addRow(tr8("Port:"), portRow);
    form->addRow(tr8("Certificate (PEM):"), certificateRow);
    form->addRow(tr8("Key (PEM):"), keyRow);
    form->addRow(passwordRow);
    form->addRow(tr8("Status:"), m_status);
}

QString WebConsoleSection::tr8(const char* english) const
{
    return QString::fromStdString(m_translate ? m_translate(english) : std::string(english));
}

void WebConsoleSection::load()
{
    const WebSettings stored = m_control.stored();
    m_enabled->setChecked(stored.enabled);
    const bool loopback = stored.loopbackOnly();
    m_wideAddress = loopback ? std::string(kWebAllAddresses) : stored.address;
    m_scope->setCurrentIndex(loopback ? kLoopbackItem : kAllInterfacesItem);
    m_storedPort = stored.port;
    // The port in force is shown; while a variable sets it, it cannot be changed here.
    const std::optional<int> overridden = m_control.environmentPort();
    m_port->setValue(overridden ? *overridden : stored.port);
    m_port->setEnabled(!overridden);
    m_portNote->setText(overridden ? tr8("Port %1, set by %2").arg(*overridden).arg(QString::fromLatin1(kPortVariable))
                                   : QString());
    m_certificate->setText(QString::fromStdString(stored.tlsCertificate));
    m_key->setText(QString::fromStdString(stored.tlsKey));
}

WebSettings WebConsoleSection::values() const
{
    WebSettings settings;
    settings.enabled = m_enabled->isChecked();
    settings.address = m_scope->currentIndex() == kAllInterfacesItem ? m_wideAddress : std::string(kWebLoopback);
    settings.port = m_port->isEnabled() ? std::max(1, m_port->value()) : m_storedPort;
    settings.tlsCertificate = m_certificate->text().trimmed().toStdString();
    settings.tlsKey = m_key->text().trimmed().toStdString();
    return settings;
}

void WebConsoleSection::apply()
{
    m_control.storeAndApply(values());
}

void WebConsoleSection::refreshStatus()
{
    m_status->setText(m_control.status(m_translate));
}

void WebConsoleSection::choose(QLineEdit* field)
{
    const QString path =
        QFileDialog::getOpenFileName(this, QString(), field->text(), QStringLiteral("PEM (*.pem *.crt *.key);;* (*)"));
    if (!path.isEmpty())
        field->setText(path);
}

void WebConsoleSection::setPassword(WebRole role)
{
    PasswordDialog dialog(role, m_control.setPassword, m_translate, this);
    dialog.exec();
    refreshStatus();
}

}  // namespace vantora
