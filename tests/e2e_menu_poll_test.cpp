// The poll as the control unit sees it while the operator has a menu of the main window open,
// and the Basic layout's minimum size when the program starts from a small stored size.

#include "support/e2e_harness.h"
#include "support/event_wait.h"

#include <QDir>
#include <QFile>
#include <QSize>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <vector>

namespace vantora {
namespace {

using test::EndToEnd;
using test::WaitFor;

class MenuPollEndToEnd : public ::testing::Test {
protected:
    void start(const QStringList& extraSettings = {})
    {
        e2e.writeSettings(QStringList{"RegVersion=1.09", "Lokator=JN89XX", "Znacka=OK1TST"} + extraSettings);
        ASSERT_TRUE(e2e.startUnit({"--timing-log", timingPath()}));
        ASSERT_TRUE(e2e.startProgram()) << e2e.programOutput().toStdString();
    }

    QString timingPath() const { return QDir(e2e.dir()).filePath("timing"); }

    // Milliseconds (simulator clock) of every command frame received so far.
    std::vector<double> frameTimes() const
    {
        std::vector<double> times;
        QFile timing(timingPath());
        if (!timing.open(QIODevice::ReadOnly))
            return times;
        while (!timing.atEnd())
            times.push_back(timing.readLine().split(' ').value(0).toDouble());
        return times;
    }

    bool polling() const { return frameTimes().size() > 5; }

    // Windows of the program that are on the screen: an open menu is one more.
    int visibleWindows() const
    {
        const QString ids =
            e2e.xdotoolOutput({"search", "--onlyvisible", "--pid", QString::number(e2e.programPid())});
        return ids.isEmpty() ? 0 : static_cast<int>(ids.split('\n').size());
    }

    // Frames the simulator received within 3 s of its own clock, from the first frame after
    // `afterFrames` frames.
    int framesInThreeSeconds(std::size_t afterFrames)
    {
        std::vector<double> times;
        WaitFor([&] {
            times = frameTimes();
            return times.size() > afterFrames && times.back() >= times[afterFrames] + 3000;
        }, 10000);
        int count = 0;
        for (std::size_t i = afterFrames; i < times.size(); ++i)
            if (times[i] < times[afterFrames] + 3000)
                ++count;
        return count;
    }

    EndToEnd e2e;
};

TEST_F(MenuPollEndToEnd, PollGoesOnWhileAMenuIsOpenByMouseOrKeyboard)
{
    start();
    ASSERT_TRUE(WaitFor([&] { return polling(); }));
    const int closed = visibleWindows();
    ASSERT_GE(closed, 1);

    struct Way {
        const char* name;
        std::function<void()> open;
    };
    const Way ways[] = {
        {"File menu by mouse", [&] { e2e.clickInMenuBar(15); }},
        {"View menu by keyboard", [&] { e2e.key("alt Right Down"); }},
    };
    for (const Way& way : ways) {
        ASSERT_TRUE(e2e.focusMain());
        way.open();
        ASSERT_TRUE(WaitFor([&] { return visibleWindows() > closed; }, 5000)) << way.name;
        const std::size_t before = frameTimes().size();
        const int frames = framesInThreeSeconds(before);
        EXPECT_EQ(visibleWindows(), closed + 1) << way.name << ": the menu stayed open";
        // 60 at 50 ms; a stopped poll gives one or two.
        std::printf("%s: %d frames in 3 s with the menu open\n", way.name, frames);
        EXPECT_GE(frames, 20) << way.name;
        e2e.key("Escape Escape");
        ASSERT_TRUE(WaitFor([&] { return visibleWindows() == closed; }, 5000)) << way.name;
    }
}

TEST_F(MenuPollEndToEnd, SmallStoredBasicSizeOpensAtTheMinimumAndCannotShrink)
{
    start({"View=0", "SizeX=500", "SizeY=300", "SizeM=0"});
    const QString id = e2e.windowId("^Vantora$");
    ASSERT_FALSE(id.isEmpty());
    const auto geometry = [&] {
        const QString text = e2e.xdotoolOutput({"getwindowgeometry", id});
        const QString size = text.section("Geometry: ", 1).section('\n', 0, 0);
        return QSize(size.section('x', 0, 0).toInt(), size.section('x', 1).toInt());
    };
    // The client area is at least the design 999 x 624; the menu bar comes on top of it.
    ASSERT_TRUE(WaitFor([&] { return geometry().width() >= 999 && geometry().height() > 624; }, 5000))
        << geometry().width() << "x" << geometry().height();

    // The window manager keeps the operator from shrinking the window below the minimum it is given.
    const QString hints = e2e.xpropOutput(id, "WM_NORMAL_HINTS");
    EXPECT_TRUE(hints.contains(QStringLiteral("minimum size: 999 by %1").arg(geometry().height())))
        << hints.toStdString();

    ASSERT_TRUE(e2e.focusMain());
    e2e.key("alt Down Return");  // File, Exit
    ASSERT_EQ(e2e.waitProgramExit(10000), 0);
    const QString stored = e2e.readSettings();
    EXPECT_TRUE(stored.contains("SizeX=999")) << stored.toStdString();
    EXPECT_TRUE(stored.contains("SizeY=624")) << stored.toStdString();
}

}  // namespace
}  // namespace vantora
