#pragma once
// The Sensors calibration dialog (TForm4): position reset, direction inversion and position
// writing for the magnetic sensors of both rotators (command 19). It reads the unit's settings
// report only to learn which sensors are present.

#include "link/commands.h"
#include "link/rotator_state.h"
#include "settings/ui/dialog_hooks.h"

#include <QWidget>

#include <array>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace vantora {

class SensorsDialog : public QWidget {
    Q_OBJECT
public:
    // All references belong to the main window and outlive the dialog. Create the dialog
    // without a parent: disabling the main window would otherwise disable it too.
    SensorsDialog(const RotatorState& state, CommandBuffer& buffer, FrameSink& sink,
                  TranslateFn translate, DialogHooks hooks, QWidget* parent = nullptr);

    // The receive side calls this when a settings report arrives while the dialog is visible.
    void Povolit();

    // Shows `englishText` translated; the receive side hands the acknowledgement texts here,
    // also while the dialog is hidden.
    void setStatus(const std::string& englishText);

    void FormActivate();  // disable the buttons and ask for the report
    void Timer1Timer();   // every 200 ms while waiting: ask again

    void Button1Click();  // rotator 1 position reset
    void Button3Click();  // rotator 1 inverting
    void Button2Click();  // rotator 1 write position
    void Button4Click();  // rotator 2 position reset
    void Button5Click();  // rotator 2 inverting
    void Button6Click();  // rotator 2 write position

protected:
    void closeEvent(QCloseEvent* event) override;  // FormClose
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildRotatorFrame(int rotator);
    QString tr8(const char* english) const;

    const RotatorState& m_state;
    CommandBuffer& m_buffer;
    FrameSink& m_sink;
    TranslateFn m_translate;
    DialogHooks m_hooks;
    bool m_centered = false;

    QTimer* m_timer = nullptr;                     // Timer1, 200 ms
    std::array<QPushButton*, 6> m_buttons{};       // Button1 .. Button6
    QLineEdit* m_position1 = nullptr;              // Edit1
    QLineEdit* m_position2 = nullptr;              // Edit2
    QLabel* m_status = nullptr;                    // StatusLabel
};

}  // namespace vantora
