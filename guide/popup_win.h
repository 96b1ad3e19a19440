// Selecting a programme of the guide and the quick-registration popup
// (dialog 131): a borderless window beside the pointer with the programme's
// channel, date, time, picture format and description, and the registration
// button. It hides when the same programme is clicked again, on "×", after
// five seconds with the pointer off it, or at once when the pointer is more
// than 150 pixels away.
#pragma once

#include <windows.h>

#include "app/app_state_win.h"

namespace corvane {

constexpr COLORREF kPopupBackground = RGB(255, 255, 229);
constexpr UINT kPopupWatchPeriod = 100;    // ms between two looks at the pointer
constexpr int kPopupHideTicks = 50;        // five seconds off the popup
constexpr int kPopupLeaveDistance = 150;   // pixels beyond the popup that hide it at once
constexpr int kPopupPointerGap = 5;        // pixels between the pointer and the popup
constexpr int kPopupMinWidth = 320;
constexpr int kPopupMinHeight = 50;

// Creates dialog 131 hidden, owned by app.mainWindow, and applies the stored
// "PopDialog" placement. Null on failure.
HWND createPopupWindow(AppState& app);

// A click at client point (x, y) of the guide: the corner button jumps to the
// current time, a programme is selected and shown in the popup, a second click
// on the selected programme (or a click beside the programmes) deselects it.
void clickGuide(AppState& app, int x, int y);

// Places the popup 5 pixels right of and below screen point (x, y), or left
// of / above it where the desktop ends, shows it and starts watching the pointer.
void showPopup(AppState& app, int x, int y);

// Hides the popup, stops watching the pointer and gives the keyboard focus
// back to the main window.
void hidePopup(AppState& app);

// One look at the pointer (every 100 ms while the popup is shown).
void popupTick(AppState& app, POINT pointer);

bool popupShown(const AppState& app);

}  // namespace corvane
