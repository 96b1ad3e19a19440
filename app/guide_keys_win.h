// The guide from the keyboard, beside the mouse: the arrows move the
// selection programme to programme with the popup following it, Enter is the
// popup's registration button and Esc its "×"; PageUp/PageDown (with Shift:
// columns), Ctrl+Up/Down, Home and Ctrl+Left/Right scroll as the wheel, the
// scroll bars, "現在へ" and the days do, and let go of the selection as a
// drag does.
#pragma once

#include <windows.h>

#include "app/app_state_win.h"

namespace corvane {

// A key pressed while the main window has the focus; false for the keys the
// guide leaves to the system.
bool onGuideKey(AppState& app, WPARAM key);

// Selects `selection` as the arrows do: scrolled the least that shows its
// title block, the popup beside it. False when the view does not show it.
bool selectProgramme(AppState& app, Selection selection);

// Whether `key` is held down as the message being handled was sent.
inline bool keyHeld(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// Whether the guide takes `key` when it is pressed in the popup (the popup
// keeps the focus after a click has shown it).
bool guideTakesKey(WPARAM key);

}  // namespace corvane
