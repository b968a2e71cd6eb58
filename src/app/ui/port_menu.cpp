#include "app/ui/port_menu.h"

#include "link/ui/comm_port_driver.h"
#include "link/ui/port_chooser.h"
#include "settings/settings_io.h"

#include <QAction>
#include <QMenu>

namespace vantora {

namespace {

// A device named in the environment or the settings (not the default).
std::vector<std::string> ExplicitDevices(KeyValueStore& store)
{
    std::vector<std::string> devices;
    for (int n = 1; n <= TCommPortDriver::kComPortCount; ++n) {
        const QByteArray fromEnvironment = qgetenv(("VANTORA_COM" + std::to_string(n)).c_str());
        if (!fromEnvironment.isEmpty())
            devices.push_back(fromEnvironment.toStdString());
        if (auto stored = ReadComDevice(store, n))
            devices.push_back(*stored);
    }
    return devices;
}

}  // namespace

PortMenu::PortMenu(QMenu& menu, const std::array<QAction*, 10>& items, KeyValueStore& store, Hooks hooks,
                   std::unique_ptr<SerialPortEnumerator> enumerator, QWidget* windowParent)
    : QObject(&menu), m_items(items), m_store(store), m_hooks(std::move(hooks)), m_enumerator(std::move(enumerator))
{
    if (!m_enumerator)
        m_enumerator = std::make_unique<SystemSerialPorts>([this] { return ExplicitDevices(m_store); });
    m_chooser = std::make_unique<PortChooser>(*m_enumerator, m_hooks.translate, windowParent);
    // A window of its own, like the program's dialogs, not a child drawn inside the main window.
    m_chooser->setWindowFlag(Qt::Window);

    menu.addSeparator();
    m_otherPort = menu.addAction(QString::fromStdString(m_hooks.translate("Other port…")));
    m_otherPort->setObjectName("OtherPort1");
    connect(m_otherPort, &QAction::triggered, this, [this] {
        const int n = m_hooks.currentPort();
        m_chooser->openFor(n, QString::fromStdString(m_hooks.deviceOf(n)));
    });
    connect(m_chooser.get(), &PortChooser::portChosen, this,
            [this](int n, const QString& device) { assign(n, device.toStdString()); });
    connect(&menu, &QMenu::aboutToShow, this, &PortMenu::refreshCaptions);
    refreshCaptions();
}

PortMenu::~PortMenu() = default;

void PortMenu::refreshCaptions()
{
    for (int n = 1; n <= static_cast<int>(m_items.size()); ++n) {
        const std::string device = m_hooks.deviceOf(n);
        QString caption = QStringLiteral("COM %1").arg(n);
        if (device != "COM" + std::to_string(n))
            caption += QStringLiteral(" — ") + QString::fromStdString(device);
        m_items[n - 1]->setText(caption);
    }
}

void PortMenu::assign(int n, const std::string& device)
{
    m_store.Open();
    m_store.WriteString("Com" + std::to_string(n) + "Device", device);
    m_store.Close();
    // The operator's choice now outranks what the program was started with.
    qunsetenv(("VANTORA_COM" + std::to_string(n)).c_str());
    refreshCaptions();
    m_hooks.setPort(n);
}

}  // namespace vantora
