#pragma once
// The Control unit settings dialog (TForm3): reads the unit's own settings (command 15),
// shows them, lets the operator edit them, and writes them back (commands 16, 17, 18, 20).
// The unit holds these settings; nothing here is stored on the computer.

#include "link/commands.h"
#include "link/rotator_state.h"
#include "settings/control_unit_logic.h"
#include "settings/ui/dialog_hooks.h"

#include <QWidget>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace vantora {

class SpinButton;

class ControlUnitDialog : public QWidget {
    Q_OBJECT
public:
    // All references belong to the main window and outlive the dialog. Create the dialog
    // without a parent: disabling the main window would otherwise disable it too.
    ControlUnitDialog(RotatorState& state, CommandBuffer& buffer, FrameSink& sink,
                      TranslateFn translate, DialogHooks hooks, QWidget* parent = nullptr);

    // The receive side calls these two, in this order, when a settings report arrives while
    // the dialog is visible.
    void Zobrazit();  // show UnitSettings in every control
    void Povolit();   // report arrived: enable the Write buttons, "Ready", stop the requests

    // Shows `englishText` translated. The receive side hands the acknowledgement texts here,
    // also while the dialog is hidden.
    void setStatus(const std::string& englishText);

    void FormActivate();  // the dialog became the program's active window: ask for the report
    void Timer1Timer();   // every 200 ms while waiting: ask again

    void Button1Click();  // Write sensor IDs (16)
    void Button2Click();  // Write rotator 1 (17)
    void Button3Click();  // Write rotator 2 (18)
    void Button6Click();  // Write display width (20)
    void RadioButton1Click();  // rotator 2 "Azimuth"
    void RadioButton2Click();  // rotator 2 "Elevation"
    void RadioButton3Click();  // "16 chars"
    void RadioButton4Click();  // "20 chars"
    // Spin buttons 1..3 serve rotator 1, 4..6 rotator 2: sensitivity, inertia, inertia time.
    void spinClick(int spinButton, bool up);

protected:
    void closeEvent(QCloseEvent* event) override;  // FormClose
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildBusFrame();
    QWidget* buildRotator1Frame();
    QWidget* buildRotator2Frame();
    QWidget* buildDisplayFrame();
    QString tr8(const char* english) const;
    void applyModeToBoxes(bool elevation);
    void sendReadSettings();

    RotatorState& m_state;
    CommandBuffer& m_buffer;
    FrameSink& m_sink;
    TranslateFn m_translate;
    DialogHooks m_hooks;
    bool m_centered = false;

    QTimer* m_timer = nullptr;          // Timer1, 200 ms
    QLineEdit* m_sensorId1 = nullptr;   // Edit1
    QLineEdit* m_sensorId2 = nullptr;   // Edit2
    QLineEdit* m_sensitivity1 = nullptr, *m_inertia1 = nullptr, *m_inertiaTime1 = nullptr;  // Edit3..5
    QLineEdit* m_limitSwitch1 = nullptr;  // Edit6
    QLineEdit* m_sensitivity2 = nullptr, *m_inertia2 = nullptr, *m_inertiaTime2 = nullptr;  // Edit7..9
    QLineEdit* m_limitSwitch2 = nullptr;  // Edit10
    QLineEdit* m_maxElevation2 = nullptr; // Edit11
    QLineEdit* m_lcdText1 = nullptr;      // Edit12
    QLineEdit* m_lcdText2 = nullptr;      // Edit13
    QRadioButton* m_azimuthMode = nullptr;    // RadioButton1
    QRadioButton* m_elevationMode = nullptr;  // RadioButton2
    QRadioButton* m_display16 = nullptr;      // RadioButton3
    QRadioButton* m_display20 = nullptr;      // RadioButton4
    QPushButton* m_writeButtons[4] = {};      // Button1, Button2, Button3, Button6
    QLabel* m_status = nullptr;               // StatusLabel
};

}  // namespace vantora
