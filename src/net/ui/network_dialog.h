#pragma once
// The Network window: one section per outside interface (the rotctld server, the port 1023
// server, later the UDP inputs), stacked in the order added, with OK and Cancel. It behaves like
// Preferences: created at start, the main window is disabled while it is shown, OK stores and
// applies every section, Cancel and the close box store nothing. OK refuses two listeners on
// one protocol and port, and has every listener that is not listening try again.

#include "net/ui/network_section.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QScrollArea;
class QVBoxLayout;

namespace vantora {

class NetworkDialog : public QWidget {
    Q_OBJECT
public:
    using TranslateFn = std::function<std::string(const std::string&)>;
    static constexpr int kStatusRefreshMs = 500;

    // `enableMainWindow` gives the operator the main window back when the window is hidden.
    // Create it without a parent: disabling the main window would otherwise disable it too.
    NetworkDialog(TranslateFn translate, std::function<void()> enableMainWindow, QWidget* parent = nullptr);

    // Appends a section below those added before; the window takes it over.
    void addSection(NetworkSection* section);
    const std::vector<NetworkSection*>& sections() const { return m_sections; }

    // OK: unless two sections would listen on one protocol and port (then each says so beside
    // its field and nothing is stored), every section stores and applies, every listener that
    // does not listen tries again, and the window hides.
    void Button1Click();
    void Button2Click();  // Cancel: hide, store nothing

    QString tr8(const char* english) const;  // through the translation table

    // "Section: why it does not listen", one for each listener that is switched on and cannot.
    QStringList listenProblems() const;

signals:
    void applied();  // OK stored and applied the sections

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void refreshStatus();
    bool refuseClashes();  // true when two claims clash; the fields say so
    void hideToMainWindow();

    TranslateFn m_translate;
    std::function<void()> m_enableMainWindow;
    std::vector<NetworkSection*> m_sections;
    QVBoxLayout* m_sectionLayout = nullptr;
    QScrollArea* m_scroll = nullptr;
    QTimer m_statusTimer;
    bool m_centered = false;
};

}  // namespace vantora
