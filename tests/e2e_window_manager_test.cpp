// The program's windows under a real window manager (openbox): every secondary window belongs
// to the main window, so activating the main window (a click on its title bar) never buries a
// dialog behind it, least of all behind a main window that the dialog keeps disabled.

#include "support/e2e_harness.h"
#include "support/event_wait.h"

#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace vantora {
namespace {

using test::EndToEnd;
using test::WaitFor;
using test::WindowManager;

constexpr int kPresetsX = 803 + 128 + 30;  // the Presets button, client coordinates
constexpr int kSpeedButtonY = 547 + 5 + 10;

class WindowManagerEndToEnd : public ::testing::Test {
protected:
    void start()
    {
        ASSERT_TRUE(e2e.ready());
        manager = std::make_unique<WindowManager>(e2e.displayName());
        ASSERT_TRUE(manager->ok()) << "openbox did not start";
        e2e.writeSettings({"RegVersion=1.09", "Lokator=JN89XX", "Znacka=OK1TST"});
        ASSERT_TRUE(e2e.startUnit());
        ASSERT_TRUE(e2e.startProgram()) << e2e.programOutput().toStdString();
    }

    // The first client window that was not there before, once one shows.
    QString newWindow(const QStringList& before) const
    {
        QString found;
        WaitFor(
            [&] {
                for (const QString& id : e2e.stackingOrder())
                    if (!before.contains(id))
                        found = id;
                return !found.isEmpty();
            },
            10000);
        return found;
    }

    QString top() const { return e2e.stackingOrder().value(e2e.stackingOrder().size() - 1); }

    EndToEnd e2e;
    std::unique_ptr<WindowManager> manager;
};

TEST_F(WindowManagerEndToEnd, EverySecondaryWindowStaysAboveTheActivatedMainWindow)
{
    start();
    const QString main = e2e.mainWindowId();
    ASSERT_FALSE(main.isEmpty());
    // The unit's firmware is read at start; it enables Control unit and Magnetic sensors.
    QThread::msleep(1500);

    struct Window {
        const char* name;
        std::function<void()> open;
    };
    const Window windows[] = {
        {"Preferences", [&] { e2e.key("alt Right Right Down Down Return"); }},
        {"Network", [&] { e2e.key("alt Right Right Down Down Down Return"); }},
        {"Control unit", [&] { e2e.key("alt Right Right Down Down Down Down Return"); }},
        {"Magnetic sensors", [&] { e2e.key("alt Right Right Down Down Down Down Down Return"); }},
        {"Other port",
         [&] { e2e.key("alt Right Right Down Right Down Down Down Down Down Down Down Down Down Down Return"); }},
        {"Presets", [&] { e2e.clickInMain(kPresetsX, kSpeedButtonY); }},
        {"About (a message box)", [&] { e2e.key("alt Right Right Right Right Down Return"); }},
    };
    for (const Window& window : windows) {
        SCOPED_TRACE(window.name);
        ASSERT_TRUE(e2e.xdotool({"windowactivate", "--sync", main}));
        ASSERT_TRUE(e2e.focusMain());
        const QStringList before = e2e.stackingOrder();
        ASSERT_TRUE(before.contains(main)) << before.join(' ').toStdString();
        window.open();
        const QString dialog = newWindow(before);
        ASSERT_FALSE(dialog.isEmpty()) << "the window did not open";
        ASSERT_TRUE(WaitFor([&] { return top() == dialog; }, 5000));

        // A click on the main window's title bar asks the window manager to activate it.
        e2e.xdotool({"windowactivate", main});
        WaitFor([&] { return top() != dialog; }, 2000);
        EXPECT_EQ(top().toStdString(), dialog.toStdString())
            << "main " << main.toStdString() << ", stacking " << e2e.stackingOrder().join(' ').toStdString();

        ASSERT_TRUE(e2e.closeWindow(dialog));
        ASSERT_TRUE(WaitFor([&] { return !e2e.stackingOrder().contains(dialog); }, 5000));
    }
    EXPECT_TRUE(e2e.programRunning());
}

}  // namespace
}  // namespace vantora
