#include "link/ui/port_chooser.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
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
    setWindowTitle(text("Serial ports"));
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
    auto* close = new QPushButton(text("Close"), this);
    close->setObjectName("ClosePortsButton");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_empty);
    buttons->addStretch();
    buttons->addWidget(m_open);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    resize(640, 260);

    connect(m_open, &QPushButton::clicked, this, &PortChooser::choose);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &PortChooser::choose);
    connect(m_list, &QTreeWidget::currentItemChanged, this,
            [this] { m_open->setEnabled(m_list->currentItem() != nullptr); });
    m_timer.setInterval(kRefreshMs);
    connect(&m_timer, &QTimer::timeout, this, &PortChooser::refresh);
}

void PortChooser::openFor(int portNumber, const QString& currentDevice)
{
    m_portNumber = portNumber;
    m_open->setText(text("Open as COM %1").replace("%1", QString::number(portNumber)));
    refresh();
    if (!currentDevice.isEmpty())
        selectDevice(currentDevice);
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
    if (!selected.isEmpty())
        selectDevice(selected);
    m_empty->setVisible(m_rows.empty());
    m_open->setEnabled(m_list->currentItem() != nullptr);
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

void PortChooser::choose()
{
    const QTreeWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    const QString device = item->text(0);
    hide();
    Q_EMIT portChosen(m_portNumber, device);
}

}  // namespace vantora
