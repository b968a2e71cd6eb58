#include "link/ui/port_chooser.h"

#include "link/ui/device_path.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vantora {

namespace {

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

std::vector<SerialPortEntry> SystemSerialPorts::Ports() const
{
    std::vector<SerialPortEntry> system;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        system.push_back({info.systemLocation().toStdString(), info.systemLocation().toStdString(),
                          info.description().toStdString(), info.manufacturer().toStdString(),
                          info.serialNumber().toStdString()});
    }
    return ChooserList(std::move(system), m_explicitDevices ? m_explicitDevices() : std::vector<std::string>{},
                       StableDeviceNames());
}

PortChooser::PortChooser(const SerialPortEnumerator& ports, TranslateFn translate, QWidget* parent)
    : QDialog(parent), m_ports(ports), m_translate(std::move(translate))
{
    setObjectName("PortChooser");
    // The title names what the Port menu's item does, without the item's ellipsis.
    QString title = text("Other port…");
    if (title.endsWith(QChar(0x2026)))
        title.chop(1);
    setWindowTitle(title);
    m_list = new QTreeWidget(this);
    m_list->setObjectName("PortList");
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setHeaderLabels({text("Device"), text("Description"), text("Manufacturer"), text("Serial number")});
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_empty = new QLabel(text("No serial port found"), this);
    m_empty->setObjectName("NoPortsLabel");
    m_open = new QPushButton(this);
    m_open->setObjectName("OpenPortButton");
    m_open->setDefault(true);
    m_path = new QLineEdit(this);
    m_path->setObjectName("DevicePath");
    m_path->setPlaceholderText(QStringLiteral("/dev/ttyUSB0"));
    m_problem = new QLabel(this);
    m_problem->setObjectName("DevicePathProblem");
    m_problem->setStyleSheet(QStringLiteral("QLabel { color: #a00000; }"));
    m_problem->setWordWrap(true);
    m_problem->hide();
    auto* close = new QPushButton(text("Close"), this);
    close->setObjectName("ClosePortsButton");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_empty);
    buttons->addStretch();
    buttons->addWidget(m_open);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    auto* pathRow = new QFormLayout;
    pathRow->addRow(text("Device path:"), m_path);
    pathRow->addRow(QString(), m_problem);
    layout->addLayout(pathRow);
    layout->addLayout(buttons);
    resize(640, 260);

    connect(m_open, &QPushButton::clicked, this, &PortChooser::choose);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &PortChooser::choose);
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current)
            m_path->setText(current->text(0));
    });
    connect(m_path, &QLineEdit::textChanged, this, [this] {
        m_problem->hide();
        m_open->setEnabled(!devicePath().isEmpty());
    });
    // A typed path is the operator's: a refresh of the list must not put the old row back.
    connect(m_path, &QLineEdit::textEdited, this, [this] { m_list->setCurrentItem(nullptr); });
    connect(m_path, &QLineEdit::returnPressed, this, &PortChooser::choose);
    m_timer.setInterval(kRefreshMs);
    connect(&m_timer, &QTimer::timeout, this, &PortChooser::refresh);
}

void PortChooser::openFor(int portNumber, const QString& currentDevice)
{
    m_portNumber = portNumber;
    m_open->setText(text("Open as COM %1").replace("%1", QString::number(portNumber)));
    m_path->clear();
    m_list->setCurrentItem(nullptr);
    refresh();
    if (!currentDevice.isEmpty() && !selectDevice(currentDevice))
        m_path->setText(currentDevice);
    m_problem->hide();
    show();
    raise();
    activateWindow();
}

void PortChooser::refresh()
{
    std::vector<SerialPortEntry> rows = m_ports.Ports();
    if (rows == m_rows && m_list->topLevelItemCount() == static_cast<int>(rows.size()))
        return;
    const QString selected = m_list->currentItem() ? m_list->currentItem()->text(0) : QString();
    m_rows = std::move(rows);
    m_list->clear();
    for (const SerialPortEntry& row : m_rows) {
        auto* item = new QTreeWidgetItem(m_list, {q(row.device), q(row.description), q(row.manufacturer),
                                                  q(row.serialNumber)});
        if (row.systemName != row.device)
            item->setToolTip(0, q(row.systemName));
    }
    // A chosen row that is gone takes its path with it; a typed path stays.
    if (!selected.isEmpty() && !selectDevice(selected) && devicePath() == selected)
        m_path->clear();
    m_empty->setVisible(m_rows.empty());
    m_open->setEnabled(!devicePath().isEmpty());
}

bool PortChooser::selectDevice(const QString& device)
{
    const QList<QTreeWidgetItem*> found = m_list->findItems(device, Qt::MatchExactly, 0);
    if (found.isEmpty())
        return false;
    m_list->setCurrentItem(found.first());
    return true;
}

void PortChooser::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_timer.start();
}

void PortChooser::hideEvent(QHideEvent* event)
{
    m_timer.stop();
    QDialog::hideEvent(event);
}

QString PortChooser::devicePath() const
{
    return m_path->text().trimmed();
}

void PortChooser::choose()
{
    const QString device = devicePath();
    const DevicePathProblem problem = CheckDevicePath(device.toStdString());
    if (problem != DevicePathProblem::None) {
        showProblem(text(std::string(DevicePathProblemText(problem)).c_str()).replace("%1", device));
        return;
    }
    hide();
    Q_EMIT portChosen(m_portNumber, device);
}

void PortChooser::showProblem(const QString& message)
{
    m_problem->setText(message);
    m_problem->show();
}

}  // namespace vantora
