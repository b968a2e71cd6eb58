#include "app/ui/arrow_key_tracker.h"

#include "support/event_wait.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

namespace vantora {
namespace {

// A window like the program's: a text box with the focus and a menu bar with one menu.
class ArrowKeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_menu = m_window.menuBar()->addMenu("File");
        m_menu->addAction("Exit");
        m_window.setCentralWidget(m_edit);
        m_window.show();
        QApplication::setActiveWindow(&m_window);
        m_edit->setFocus();
        ASSERT_TRUE(test::WaitFor([&] { return QApplication::focusWidget() == m_edit; }, 5000));
    }

    void TearDown() override
    {
        m_menu->close();
    }

    QMainWindow m_window;
    QLineEdit* m_edit = new QLineEdit;
    QMenu* m_menu = nullptr;
    ArrowKeyTracker m_tracker;
};

TEST_F(ArrowKeysTest, ArrowsDriveUntilReleased)
{
    const struct {
        Qt::Key key;
        bool ArrowKeys::*held;
    } cases[] = {{Qt::Key_Right, &ArrowKeys::right},
                 {Qt::Key_Left, &ArrowKeys::left},
                 {Qt::Key_Up, &ArrowKeys::up},
                 {Qt::Key_Down, &ArrowKeys::down}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        QTest::keyPress(m_edit, c.key);
        EXPECT_TRUE(m_tracker.held().*c.held);
        QTest::keyRelease(m_edit, c.key);
        EXPECT_FALSE(m_tracker.held().*c.held);
    }
}

TEST_F(ArrowKeysTest, ArrowsWalkingAnOpenMenuDriveNothing)
{
    m_menu->popup(m_window.mapToGlobal(QPoint(10, 30)));
    ASSERT_TRUE(test::WaitFor([&] { return QApplication::activePopupWidget() == m_menu; }, 5000));
    QTest::keyPress(m_menu, Qt::Key_Down);
    EXPECT_FALSE(m_tracker.held().down);
    QTest::keyRelease(m_menu, Qt::Key_Down);
}

TEST_F(ArrowKeysTest, ArrowsWalkingTheMenuBarDriveNothing)
{
    // Alt alone puts the menu bar in keyboard mode: it takes the focus until Esc.
    QTest::keyClick(m_window.menuBar(), Qt::Key_Alt);
    m_window.menuBar()->setFocus();
    ASSERT_TRUE(test::WaitFor([&] { return QApplication::focusWidget() == m_window.menuBar(); }, 5000));
    QTest::keyPress(m_window.menuBar(), Qt::Key_Right);
    EXPECT_FALSE(m_tracker.held().right);
    QTest::keyRelease(m_window.menuBar(), Qt::Key_Right);

    m_edit->setFocus();
    ASSERT_TRUE(test::WaitFor([&] { return QApplication::focusWidget() == m_edit; }, 5000));
    QTest::keyPress(m_edit, Qt::Key_Right);
    EXPECT_TRUE(m_tracker.held().right);  // back in the text box, the arrows drive again
    QTest::keyRelease(m_edit, Qt::Key_Right);
}

}  // namespace
}  // namespace vantora
