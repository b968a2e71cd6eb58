// Secondary windows without a Qt parent still belong to the main window for the window manager:
// transient for its present native window, also after it got a new one.

#include "common/ui/owned_window.h"

#include <QDialog>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

namespace vantora {
namespace {

TEST(OwnedWindow, TransientForTheOwnersPresentNativeWindow)
{
    QWidget owner;
    owner.show();
    QWidget plain(nullptr, Qt::Dialog);
    QDialog dialog;
    QWidget unowned(nullptr, Qt::Dialog);
    OwnedWindow::Attach(&plain, [&owner] { return &owner; });
    OwnedWindow::Attach(&dialog, [&owner] { return &owner; });
    OwnedWindow::Attach(&unowned, [] { return static_cast<QWidget*>(nullptr); });
    for (QWidget* window : {&plain, static_cast<QWidget*>(&dialog), &unowned})
        window->show();
    EXPECT_EQ(plain.windowHandle()->transientParent(), owner.windowHandle());
    EXPECT_EQ(dialog.windowHandle()->transientParent(), owner.windowHandle());
    EXPECT_NE(unowned.windowHandle()->transientParent(), owner.windowHandle());

    // The owner gets a new native window (as a layout change gives the main window) while the
    // windows are shown, and again while one is hidden: each follows once it is on show.
    dialog.hide();
    owner.setWindowFlag(Qt::FramelessWindowHint);
    owner.show();
    ASSERT_NE(owner.windowHandle(), nullptr);
    EXPECT_EQ(plain.windowHandle()->transientParent(), owner.windowHandle());
    dialog.show();
    EXPECT_EQ(dialog.windowHandle()->transientParent(), owner.windowHandle());
}

}  // namespace
}  // namespace vantora
