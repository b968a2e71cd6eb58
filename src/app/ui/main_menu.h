#pragma once
// The main window's menu bar: File, View (layouts, Map zoom), Settings (Port, Preferences,
// Control unit, Magnetic sensors), Tracking and Help. Builds, names and ticks the items; the
// main window connects them.

#include "geo/map_view.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <string>

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;

namespace vantora {

struct MainMenu {
    using TranslateFn = std::function<std::string(const std::string&)>;

    // Builds the menu bar of `window`; captions that follow the language go through `translate`.
    MainMenu(QMainWindow& window, const TranslateFn& translate);

    // Ticks the layout `view` (0..2); Map zoom is for the Basic layout only.
    void showView(int view);
    // Ticks the Map zoom item of a stored zoom state, if one has it.
    void showZoomState(int zoomState);
    // Ticks COM n (1..10; other ports have no item).
    void showPort(int n);

    QAction* exit = nullptr;
    std::array<QAction*, 3> views{};       // Basic, Compact H, Compact V
    QMenu* mapZoom = nullptr;
    std::array<QAction*, kMapZoomItems.size()> zooms{};  // in the order of kMapZoomItems
    std::array<QAction*, 10> ports{};      // COM 1 .. COM 10
    QMenu* settings = nullptr;             // Settings
    QMenu* portMenu = nullptr;             // Settings, Port
    QAction* preferences = nullptr;
    QAction* network = nullptr;            // the Network window
    QAction* controlUnit = nullptr;        // disabled until a recent enough firmware answered
    QAction* magneticSensors = nullptr;    // likewise
    QMenu* tracking = nullptr;
    QAction* trackingOff = nullptr;
    QAction* trackingMoonSked = nullptr;
    QAction* trackingWsjt = nullptr;
    QAction* trackingMoonBuiltIn = nullptr;  // below a separator, same radio group
    QAction* trackingSunBuiltIn = nullptr;
    QAction* about = nullptr;
    QAction* hwInfo = nullptr;
};

}  // namespace vantora
