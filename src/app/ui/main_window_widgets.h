#pragma once
// The main window's widgets: the map and the two dials on a teal client area, the read-out panel,
// the PARK/STOP/PRESETS panel and the target box. Built at the Basic layout's design size from the
// core's layout table; the window moves them with the layout and the size.

#include "app/layout_geometry.h"
#include "common/ui/form_helpers.h"
#include "station/position_display.h"

#include <Qt>

class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;
class QWidget;

namespace vantora {

class TA3nalogGauge;

struct MainWindowWidgets {
    QWidget* client = nullptr;          // the central widget
    TA3nalogGauge* map = nullptr;       // AnalogGauge3
    TA3nalogGauge* gauge1 = nullptr;    // AnalogGauge1, rotator 1
    TA3nalogGauge* gauge2 = nullptr;    // AnalogGauge2, rotator 2
    QWidget* panel1 = nullptr;          // read-outs
    QWidget* panel2 = nullptr;          // target entry
    QWidget* panel3 = nullptr;          // PARK, STOP, PRESETS
    QLabel* label3 = nullptr;           // "Setpoint:" rotator 1
    QLabel* label4 = nullptr;           // "Setpoint:" rotator 2
    QLabel* label5 = nullptr;           // tracking read-out
    QLabel* label6 = nullptr;           // rotator 1 position
    QLabel* label7 = nullptr;           // rotator 1 setpoint
    QLabel* label8 = nullptr;           // rotator 2 position
    QLabel* label9 = nullptr;           // rotator 2 setpoint
    QPushButton* park = nullptr;        // SpeedButton1
    QPushButton* stop = nullptr;        // SpeedButton2
    QPushButton* presets = nullptr;     // SpeedButton3
    QLineEdit* edit1 = nullptr;         // the target box
    QPushButton* button1 = nullptr;     // OK
};

// Builds the widgets into `window` (the client area becomes its central widget); captions that
// follow the language go through `translate`. Connects nothing.
MainWindowWidgets BuildMainWindowWidgets(QMainWindow& window, const TranslateFn& translate);

// Dials and panels to a layout's rectangles (the map too when the layout shows it).
void PlaceParts(const MainWindowWidgets& widgets, const WindowLayout& layout);
// Dials, map and panels to the Basic layout's rectangles for the present size.
void PlaceParts(const MainWindowWidgets& widgets, const ResizeGeometry& geometry);

// Resizes `window` so that its client area (below the menu bar) is width x height.
void SetClientSize(QMainWindow& window, int width, int height);
// The smallest size the operator can give `window`: a client area of width x height.
void SetMinimumClientSize(QMainWindow& window, int width, int height);

// Vzhled's part on the screen: caption, border, the map shown or hidden, dials and panels, then
// the size (fixed for the compact layouts, a minimum and the design size for Basic, whose resize
// then calls for Velikost).
void ApplyLayout(QMainWindow& window, const MainWindowWidgets& widgets, const WindowLayout& layout);

// The key of the target-box rules (kKeyEscape, kKeyEnter, kKeySpace) for a Qt key; 0 for others.
char32_t TargetBoxKey(int qtKey);

// A dial as the core's model has it: position, caption, face and centre colours.
void ShowDial(TA3nalogGauge& gauge, const DialModel& model);
// Reshapes AnalogGauge2 one property at a time, in the order given.
void ReshapeDial(TA3nalogGauge& gauge, const std::vector<DialStep>& steps);

// A setpoint read-out: red caption and value while acknowledged, else black caption, blue value.
void ShowSetpoint(QLabel* caption, QLabel* value, const std::string& text, bool acknowledged);

}  // namespace vantora
