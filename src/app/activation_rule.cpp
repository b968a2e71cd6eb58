#include "app/activation_rule.h"

namespace vantora {

ActivationChange DecideActivation(bool mainActive, FocusedWindow focused)
{
    switch (focused) {
    case FocusedWindow::Main:
        return mainActive ? ActivationChange::None : ActivationChange::Activate;
    case FocusedWindow::OtherWindow:
        return mainActive ? ActivationChange::Deactivate : ActivationChange::None;
    case FocusedWindow::None:
    case FocusedWindow::Popup:
        return ActivationChange::None;
    }
    return ActivationChange::None;
}

}  // namespace vantora
