#pragma once
// Moon and Sun tracking in the main window: the 1500 ms timer Timer2, the Tracking menu's handlers and
// the read-out beside "Tracking:". The main window wires its QActions and label to it.

#include "track/tracking_controller.h"
#include "track/ui/qt_tracking_files.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QAction;
class QLabel;
class QMenu;

namespace vantora {

class TrackingService : public QObject {
    Q_OBJECT
public:
    // Reads the tracking files from disk.
    TrackingService(const Settings& settings, TargetSink& sink, QObject* parent = nullptr);
    // Reads through `files`, which must outlive the service.
    TrackingService(const Settings& settings, TargetSink& sink, TrackingFiles& files,
                    QObject* parent = nullptr);

    // Connects the menu's opening and its three radio items to the handlers below and keeps
    // their check and enable states; any argument may be null.
    void attachMenu(QMenu* menu, QAction* off, QAction* moonSked, QAction* wsjt);
    // The same for "Moon (built-in)" and "Sun (built-in)" (always enabled).
    void attachBuiltInItems(QAction* moon, QAction* sun);
    // Keeps `label` showing the read-out ("OFF" or e.g. "205° / 28°").
    void attachReadout(QLabel* label);

    void racking1Click();  // the Tracking menu is about to show
    void OFF1Click();
    void MoonSked1Click();
    void WSJT1Click();
    void MoonBuiltInClick();
    void SunBuiltInClick();
    void Timer2Timer();

    bool isTracking() const { return m_controller.TimerRunning(); }
    TrackingSource source() const { return m_controller.Source(); }
    QString readout() const { return m_readout; }
    TrackingMenuState menuState() const { return m_controller.Menu(); }
    QTimer* timer() { return &m_timer; }
    TrackingController& controller() { return m_controller; }

signals:
    void readoutChanged(const QString& text);
    void menuStateChanged();

private:
    void sync();
    void applyMenu();
    void showReadout();

    QtTrackingFiles m_diskFiles;
    TrackingController m_controller;
    QTimer m_timer;
    QString m_readout;
    TrackingMenuState m_lastMenu;
    QPointer<QAction> m_offAction;
    QPointer<QAction> m_moonSkedAction;
    QPointer<QAction> m_wsjtAction;
    QPointer<QAction> m_moonBuiltInAction;
    QPointer<QAction> m_sunBuiltInAction;
    QPointer<QLabel> m_readoutLabel;
    // The attached menu items and read-out follow the state (tracking_menu.cpp); empty without.
    std::function<void()> m_menuView;
    std::function<void()> m_readoutView;
};

}  // namespace vantora
