#pragma once
// System-wide hot keys: a key combination that reaches one window of the
// program wherever the keyboard focus is, also while that window is hidden.
//
// A combination is a virtual-key code with MOD_* bits (see VirtualKeys.h) and
// belongs to a window and an id. Pressing it posts the hot-key message
// (WM_HOTKEY, wParam = the id, lParam = MakeHotKeyLParam(modifiers, key)) to
// that window. Caps Lock and Num Lock do not matter. A combination that
// another program, or another window or id of this program, already holds
// cannot be registered. Registering an id again on the same window replaces
// its combination; destroying the window releases all of its combinations.
//
// On X11 a combination is a passive key grab on the root window; the program
// needs GTK's X11 backend. Everything runs on the GUI thread.

#include "platform/VirtualKeys.h"

class wxKeyEvent;
class wxWindow;

namespace platform
{

constexpr int WM_HOTKEY = 0x0312;

// Registers the combination for the window and id; false when it is taken,
// when the key does not exist on this keyboard, or without an X11 display.
bool RegisterHotKey(wxWindow* window, int id, unsigned modifiers, unsigned virtualKey);
// Releases the window's combination with that id; false when it had none.
bool UnregisterHotKey(wxWindow* window, int id);
// Whether the window holds a combination with that id.
bool IsHotKeyRegistered(const wxWindow* window, int id);

// The key of a key event of a window of the program, as a virtual key: the
// key as it reads without Shift, Ctrl and Alt (keypad keys follow Num Lock).
struct KeyEventKey
{
    unsigned virtualKey = 0; // 0 when the key has no virtual-key code
    bool extended = false;
    bool modifier = false;    // Shift, Ctrl, Alt, the Windows key or a lock key
    unsigned modifierBit = 0; // MOD_* bit of a modifier key
};
KeyEventKey KeyOfKeyEvent(const wxKeyEvent& event);

} // namespace platform
