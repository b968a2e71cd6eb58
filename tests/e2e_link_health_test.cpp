// A dead link is visible and heals, seen on the screen of the real program against the real
// simulator: the unit falls silent and speaks again; its terminal disappears and comes back
// under the same name. Nobody presses a key meanwhile.
//
// Waiting limits are generous (the suite also runs under AddressSanitizer); nothing here
// asserts how fast anything happens.

#include "app/layout_geometry.h"
#include "support/e2e_harness.h"
#include "support/event_wait.h"

#include <QColor>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <optional>

namespace vantora {
namespace {

using test::EndToEnd;
using test::WaitFor;

constexpr int kLimitMs = 60000;
const QColor kLiveFace(192, 220, 192);
const QColor kStaleFace(192, 192, 192);
const QColor kReasonBackground(0xff, 0xf4, 0xc0);

// The Compact H layout has a fixed size, so the azimuth dial sits at a known place.
struct Screen {
    QColor face;    // near the dial's upper left corner
    QColor reason;  // inside the frame of the reason text, at the dial's lower left
};

class LinkHealthRun : public ::testing::Test {
protected:
    void start(const QStringList& unitArguments)
    {
        e2e.writeSettings({"RegVersion=1.09", "Lokator=JO70AA", "Znacka=OK1LNK", "Port=1", "View=1"});
        ASSERT_TRUE(e2e.startUnit(unitArguments));
        ASSERT_TRUE(e2e.startProgram()) << e2e.programOutput().toStdString();
    }

    std::optional<Screen> screen() const
    {
        const QImage image = e2e.grabMain();
        const WindowLayout layout = Vzhled(LayoutKind::CompactH);
        const int menuHeight = image.height() - layout.clientHeight;
        if (image.isNull() || menuHeight < 0)
            return std::nullopt;
        const Rect& dial = layout.gauge1;
        return Screen{image.pixelColor(dial.x + 6, menuHeight + dial.y + 6),
                      image.pixelColor(dial.x + 6, menuHeight + dial.y + dial.height - 7)};
    }

    bool showsLive() const
    {
        const auto shown = screen();
        return shown && shown->face == kLiveFace && shown->reason != kReasonBackground;
    }

    bool showsStale() const
    {
        const auto shown = screen();
        return shown && shown->face == kStaleFace && shown->reason == kReasonBackground;
    }

    std::optional<int> readout() const
    {
        static const QRegularExpression format(QStringLiteral("^\\$00#(\\d{3})@$"));
        const QRegularExpressionMatch match = format.match(QString::fromLatin1(e2e.tcp("$00")));
        return match.hasMatch() ? std::optional<int>(match.captured(1).toInt()) : std::nullopt;
    }

    bool readoutMatchesUnit() const
    {
        const auto truth = e2e.unitTruth();
        return truth && readout() == truth->position1;
    }

    EndToEnd e2e;
};

TEST_F(LinkHealthRun, SilentUnitGreysTheDisplayUntilItAnswersAgain)
{
    start({"--silence-after", "8", "--silence-for", "8"});
    ASSERT_TRUE(WaitFor([&] { return showsLive(); }, kLimitMs)) << "never live before the silence";
    EXPECT_TRUE(WaitFor([&] { return showsStale(); }, kLimitMs)) << "the silence was not shown";
    EXPECT_EQ(e2e.mainTitle(), "Vantora");
    EXPECT_TRUE(WaitFor([&] { return showsLive(); }, kLimitMs)) << "did not recover";
    EXPECT_TRUE(e2e.programRunning());
}

TEST_F(LinkHealthRun, TerminalRemovedAndCreatedAgainIsOpenedByItself)
{
    const QStringList unitArguments{"--az-speed", "60"};
    start(unitArguments);
    ASSERT_TRUE(WaitFor([&] { return showsLive(); }, kLimitMs));
    e2e.type("120\n");
    ASSERT_TRUE(WaitFor([&] { return readout() == 120; }, kLimitMs));

    e2e.stopUnit();  // the terminal and its link go away
    EXPECT_TRUE(WaitFor([&] { return showsStale(); }, kLimitMs)) << "the lost port was not shown";
    EXPECT_EQ(e2e.mainTitle(), "Vantora");

    // A new unit (from its defaults, so not at 120) under the same link name.
    ASSERT_TRUE(e2e.restartUnit(unitArguments));
    ASSERT_TRUE(WaitFor([&] { return e2e.unitTruth().has_value(); }));
    ASSERT_NE(e2e.unitTruth()->position1, 120);
    EXPECT_TRUE(WaitFor([&] { return showsLive(); }, kLimitMs)) << "did not reopen the port";
    EXPECT_TRUE(WaitFor([&] { return readoutMatchesUnit(); }, kLimitMs));
    EXPECT_TRUE(e2e.programRunning());
}

}  // namespace
}  // namespace vantora
