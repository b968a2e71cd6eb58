// The Presets window where the operator sees it: centred on the screen, every legal name readable.

#include "app/ui/presets_window.h"
#include "app/ui/program_font.h"
#include "support/event_wait.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>

#include <gtest/gtest.h>

namespace vantora {
namespace {

class PresetsWindowTest : public ::testing::Test {
protected:
    PresetsWindowTest() { QApplication::setFont(ProgramFont()); }

    PresetsWindow& window()
    {
        if (!m_window)
            m_window = std::make_unique<PresetsWindow>(settings, nullptr, [](const std::string& s) { return s; });
        return *m_window;
    }

    QPushButton* button(int n) { return window().findChild<QPushButton*>(QStringLiteral("Button%1").arg(n)); }

    Settings settings;

private:
    std::unique_ptr<PresetsWindow> m_window;
};

TEST_F(PresetsWindowTest, FirstShownCentredOnTheScreenThenWhereTheOperatorLeftIt)
{
    window().show();
    const QRect screen = window().screen()->availableGeometry();
    ASSERT_TRUE(test::WaitFor([&] { return window().isVisible(); }, 3000));
    EXPECT_LE(std::abs(window().frameGeometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(window().frameGeometry().center().y() - screen.center().y()), 1);

    window().move(10, 20);
    window().hide();
    window().show();  // PRESETS hides and shows it
    EXPECT_EQ(window().pos(), QPoint(10, 20));
}

// The text the operator reads on a button: lines joined, the mnemonic escape undone.
QString Readable(const QPushButton* b)
{
    QString text = b->text();
    text.replace('\n', ' ');
    text.replace(QStringLiteral("&&"), QStringLiteral("&"));
    return text;
}

TEST_F(PresetsWindowTest, LongestLegalNamesShowInFullWithoutLeavingTheButton)
{
    struct Case {
        const char* name;
        bool wholeNameShown;
    };
    // 20 characters is the longest name the settings keep.
    const Case cases[] = {
        {"Moon", true},
        {"ABCDEFGHIJKLMNOPQRST", true},
        {"EME ARRAY NORTH EAST", true},
        {"MMMMMMMMMMMMMMMMMMMM", true},
        {"R&D MAST", true},
        {"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", false},  // no legal name is this long
    };
    for (const Case& c : cases) {
        settings.PresetName[2] = c.name;
        window().FormActivate();
        const QPushButton* b = button(2);
        QStyleOptionButton option;
        option.initFrom(b);
        option.rect = b->rect();
        const QRect area = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b);
        const QFontMetrics metrics(b->font());
        const QString shown = b->text().replace(QStringLiteral("&&"), QStringLiteral("&"));
        const QStringList lines = shown.split('\n');
        EXPECT_LE(lines.size() * metrics.lineSpacing(), area.height()) << c.name;
        for (const QString& line : lines)
            EXPECT_LE(metrics.horizontalAdvance(line), area.width()) << c.name << ": " << line.toStdString();
        EXPECT_GE(b->font().pixelSize(), 9) << c.name;
        if (c.wholeNameShown) {
            // Broken at a space, the space goes; broken inside a word, nothing goes.
            const QString readable = Readable(b);
            EXPECT_TRUE(readable == c.name || QString(readable).remove(' ') == QString(c.name).remove(' '))
                << c.name << " shown as " << b->text().toStdString();
            EXPECT_TRUE(b->toolTip().isEmpty()) << c.name;
        } else {
            EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
            EXPECT_EQ(b->toolTip(), c.name);
        }
    }
    settings.PresetName[2] = "Moon";
    window().FormActivate();
    EXPECT_EQ(button(2)->text(), "Moon");
    EXPECT_EQ(button(2)->font().pixelSize(), ProgramFont().pixelSize());  // back to the normal size
}

}  // namespace
}  // namespace vantora
