#pragma once
// The Port submenu beyond its ten "COM n" items: each item names the device it opens when that
// is not simply COMn ("COM 1 — /dev/ttyUSB0"), and "Other port…" opens the list of the system's
// serial ports; the one chosen becomes the device of the current COM n (Com<n>Device) and opens.

#include "settings/key_value_store.h"

#include <QObject>

#include <array>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QMenu;
class QWidget;

namespace vantora {

class PortChooser;
class SerialPortEnumerator;

class PortMenu : public QObject {
    Q_OBJECT
public:
    using TranslateFn = std::function<std::string(const std::string&)>;

    struct Hooks {
        std::function<int()> currentPort;     // the COM n in use, 1..16
        std::function<std::string(int n)> deviceOf;  // the device COM n opens
        std::function<void(int n)> setPort;   // as the menu's "COM n" items do
        TranslateFn translate;
    };

    // `enumerator`: where the list comes from (nothing: the system's ports). `store` outlives
    // this object.
    PortMenu(QMenu& menu, const std::array<QAction*, 10>& items, KeyValueStore& store, Hooks hooks,
             std::unique_ptr<SerialPortEnumerator> enumerator = nullptr, QWidget* windowParent = nullptr);
    ~PortMenu() override;

    QAction* otherPort() const { return m_otherPort; }
    PortChooser& chooser() const { return *m_chooser; }
    void refreshCaptions();
    // Makes `device` the device of COM n, for this run and the next, and opens it.
    void assign(int n, const std::string& device);

private:
    std::array<QAction*, 10> m_items;
    KeyValueStore& m_store;
    Hooks m_hooks;
    std::unique_ptr<SerialPortEnumerator> m_enumerator;
    std::unique_ptr<PortChooser> m_chooser;
    QAction* m_otherPort = nullptr;
};

}  // namespace vantora
