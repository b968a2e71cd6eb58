// When the main window counts as active: the rule behind the 50 ms poll.
#include "app/activation_rule.h"

#include <gtest/gtest.h>

namespace vantora {
namespace {

TEST(ActivationRule, OnlyTheMainWindowAndTheProgramsOtherWindowsCount)
{
    struct Case {
        bool mainActive;
        FocusedWindow focused;
        ActivationChange expected;
    };
    const Case cases[] = {
        {false, FocusedWindow::Main, ActivationChange::Activate},
        {true, FocusedWindow::Main, ActivationChange::None},  // back from a menu: already active
        {true, FocusedWindow::OtherWindow, ActivationChange::Deactivate},
        {false, FocusedWindow::OtherWindow, ActivationChange::None},
        // A menu of the main window, or a list of a dialog's combo box, changes nothing.
        {true, FocusedWindow::Popup, ActivationChange::None},
        {false, FocusedWindow::Popup, ActivationChange::None},
        // Another application: the poll goes on, and does not start either.
        {true, FocusedWindow::None, ActivationChange::None},
        {false, FocusedWindow::None, ActivationChange::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecideActivation(c.mainActive, c.focused), c.expected)
            << c.mainActive << " " << static_cast<int>(c.focused);
}

}  // namespace
}  // namespace vantora
