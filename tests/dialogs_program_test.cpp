// The settings dialogs inside the whole program, talking to the simulated unit through the real
// serial layer: what is written reaches the unit and reads back after reopening.

#include "app/ui/main_menu.h"
#include "app/ui/main_window.h"
#include "app/ui/program_windows.h"
#include "settings/ui/control_unit_dialog.h"
#include "settings/ui/sensors_dialog.h"
#include "support/event_wait.h"
#include "support/fake_settings_store.h"
#include "support/pty_unit.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace vantora {
namespace {

using test::WaitFor;

class DialogsInProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        unit = std::make_unique<test::PtyUnit>();
        qputenv("VANTORA_COM1", QByteArray::fromStdString(unit->path()));
        qputenv("VANTORA_TCP_PORT", "0");
        store.values["RegVersion"] = std::string("1.09");
        windows = std::make_unique<ProgramWindows>(store, store);
        windows->main->show();
        windows->main->activateWindow();
        ASSERT_TRUE(WaitFor([&] { return windows->main->menu().controlUnit->isEnabled(); }));
    }

    QWidget* openDialog(QAction* action, QWidget* dialog)
    {
        // The unit's report is what the dialog waits for: forget the last one.
        windows->main->link().state.settings = {};
        action->trigger();
        dialog->activateWindow();
        EXPECT_TRUE(WaitFor([&] {
            return windows->main->link().state.settings.sensorId1 != 0 && status(dialog) == "Ready";
        }));
        return dialog;
    }

    template <typename T>
    static T* child(QWidget* dialog, const char* name)
    {
        T* found = dialog->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static QString status(QWidget* dialog) { return child<QLabel>(dialog, "StatusLabel")->text(); }

    test::FakeSettingsStore store;
    std::unique_ptr<test::PtyUnit> unit;
    std::unique_ptr<ProgramWindows> windows;
};

TEST_F(DialogsInProgram, ControlUnitSettingsAreWrittenAndReadBack)
{
    QWidget* dialog = openDialog(windows->main->menu().controlUnit, windows->controlUnit.get());
    EXPECT_FALSE(windows->main->isEnabled());
    const int sensitivity = unit->model.config().sensitivity1;
    EXPECT_EQ(child<QLineEdit>(dialog, "Edit3")->text(), QString::number(sensitivity));

    child<QToolButton>(dialog, "SpinButton1Up")->click();
    QLineEdit* lcd = child<QLineEdit>(dialog, "Edit12");
    lcd->clear();
    QTest::keyClicks(lcd, "Beam");
    child<QPushButton>(dialog, "Button2")->click();
    EXPECT_TRUE(WaitFor([&] { return status(dialog) == "Sucessfully writed"; }));
    EXPECT_EQ(unit->model.config().sensitivity1, sensitivity + 1);

    dialog->close();
    EXPECT_TRUE(windows->main->isEnabled());
    windows->main->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return windows->main->timer1().isActive(); }));  // the poll runs again

    openDialog(windows->main->menu().controlUnit, dialog);
    EXPECT_EQ(child<QLineEdit>(dialog, "Edit3")->text(), QString::number(sensitivity + 1));
    EXPECT_EQ(lcd->text(), "Beam   ");
}

TEST_F(DialogsInProgram, Rotator2CalibratedToMinus45)
{
    QWidget* dialog = openDialog(windows->main->menu().magneticSensors, windows->sensors.get());
    QPushButton* write = child<QPushButton>(dialog, "Button6");
    ASSERT_TRUE(write->isEnabled());
    QLineEdit* position = child<QLineEdit>(dialog, "Edit2");
    position->setText("-45");
    write->click();
    EXPECT_TRUE(WaitFor([&] { return status(dialog) == "Sucessfully writed"; }));
    EXPECT_EQ(unit->model.position(2), -45);

    position->setText("-46");
    write->click();
    EXPECT_EQ(status(dialog), "Error");

    dialog->close();
    windows->main->activateWindow();
    EXPECT_TRUE(WaitFor([&] { return windows->main->findChild<QLabel*>("Label8")->text() == "-45°"; }));
}

}  // namespace
}  // namespace vantora
