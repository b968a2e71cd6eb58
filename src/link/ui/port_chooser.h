#pragma once
// "Other port…": a small window listing the serial ports the system has (device, description,
// manufacturer, serial number), refreshed while it is open, and a device path field that takes
// any path (a pseudo-terminal, a device the list does not know). "Open as COM n" checks that
// the path is a terminal and hands it to the caller for the COM n the window was opened for.

#include "link/serial_port_list.h"

#include <QDialog>
#include <QTimer>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace vantora {

// Where the list comes from; tests give their own.
class SerialPortEnumerator {
public:
    virtual ~SerialPortEnumerator() = default;
    virtual std::vector<SerialPortEntry> Ports() const = 0;
};

// QSerialPortInfo's ports, under their stable names, plus the devices the COM n mapping names
// explicitly (QSerialPortInfo does not list pseudo-terminals or links made by hand).
class SystemSerialPorts : public SerialPortEnumerator {
public:
    using DeviceList = std::function<std::vector<std::string>()>;
    explicit SystemSerialPorts(DeviceList explicitDevices) : m_explicitDevices(std::move(explicitDevices)) {}
    std::vector<SerialPortEntry> Ports() const override;

private:
    DeviceList m_explicitDevices;
};

class PortChooser : public QDialog {
    Q_OBJECT
public:
    using TranslateFn = std::function<std::string(const std::string&)>;
    static constexpr int kRefreshMs = 1000;

    // `ports` outlives the window.
    PortChooser(const SerialPortEnumerator& ports, TranslateFn translate, QWidget* parent = nullptr);

    // Shows the list for COM `portNumber`, with its present device selected when listed.
    void openFor(int portNumber, const QString& currentDevice = {});
    int portNumber() const { return m_portNumber; }
    // Reads the list again; the selection stays on the same device.
    void refresh();
    // The rows shown, in order.
    const std::vector<SerialPortEntry>& rows() const { return m_rows; }
    bool selectDevice(const QString& device);
    QString devicePath() const;  // what "Open as COM n" would open

Q_SIGNALS:
    void portChosen(int portNumber, const QString& device);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void choose();
    void showProblem(const QString& text);
    QString text(const char* english) const { return QString::fromStdString(m_translate(english)); }

    const SerialPortEnumerator& m_ports;
    TranslateFn m_translate;
    int m_portNumber = 1;
    std::vector<SerialPortEntry> m_rows;
    QTreeWidget* m_list = nullptr;
    QLabel* m_empty = nullptr;
    QLineEdit* m_path = nullptr;
    QLabel* m_problem = nullptr;
    QPushButton* m_open = nullptr;
    QTimer m_timer;
};

}  // namespace vantora
