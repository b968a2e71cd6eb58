#pragma once
// When the main window counts as the program's active window. The poll runs only while it is;
// a popup that belongs to the main window (a menu, a tooltip, a combo box's list) is part of it.

namespace vantora {

// What just received the keyboard focus.
enum class FocusedWindow {
    None,         // no window of the program: the operator switched to another application
    Main,         // the main window itself
    Popup,        // a menu, submenu, tooltip or drop-down list of any window of the program
    OtherWindow,  // a dialog or the Presets window
};

enum class ActivationChange { None, Activate, Deactivate };

// The change of the main window's activation when `focused` gets the focus while the main
// window is (`mainActive`) or is not the active one. Popups and other applications change nothing.
ActivationChange DecideActivation(bool mainActive, FocusedWindow focused);

}  // namespace vantora
