// Selecting a programme of the guide and the quick-registration popup
// (dialog 131): a borderless window beside the pointer with the programme's
// channel, date, time, picture format and description, and the registration
// button. It hides when the same programme is clicked again, on "×", after
// five seconds with the pointer off it, or at once when the pointer is more
// than 150 pixels away.
#pragma once

#include <windows.h>

#include "guide/window_placement.h"
#include "guide/guide_layout.h"
#include "store/epg_store.h"
#include "store/settings.h"

namespace corvane {

constexpr COLORREF kPopupBackground = RGB(255, 255, 229);
constexpr UINT kPopupWatchPeriod = 100;    // ms between two looks at the pointer
constexpr int kPopupHideTicks = 50;        // five seconds off the popup
constexpr int kPopupLeaveDistance = 150;   // pixels beyond the popup that hide it at once
constexpr int kPopupPointerGap = 5;        // pixels between the pointer and the popup
constexpr int kPopupMinWidth = 320;
constexpr int kPopupMinHeight = 50;

// What the popup needs of the program around it.
class PopupHost {
public:
    virtual ~PopupHost() = default;
    // The owner: gets the registration command and the keyboard focus back.
    virtual HWND mainWindow() = 0;
    // The selection, the programmes, the hit test and the jump to now.
    virtual GuideLayout& layout() = 0;
    // Where the extended texts are looked up; may be null.
    virtual const EpgStore* store() = 0;
    // Where "PopDialog" is written when the popup goes away.
    virtual Settings& settings() = 0;
    // Prepares the registration of the programme of store service `service`
    // now shown, and labels (or hides) the popup's registration button IDOK.
    virtual void prepareRegistration(HWND popup, int service, const GuideEvent& event) = 0;
};

// Creates dialog 131 hidden, owned by host.mainWindow(), at `placement` when
// it is stored. Null on failure.
HWND createPopupWindow(HINSTANCE instance, PopupHost& host, const DialogPlacement& placement);

// A click at client point (x, y) of the guide: the corner button jumps to the
// current time, a programme is selected and shown in `popup` beside the
// click's point, a second click on the selected programme (or a click beside
// the programmes) deselects it.
void clickGuide(PopupHost& host, HWND popup, int x, int y);

// Places the popup 5 pixels right of and below screen point (x, y), or left
// of / above it where the desktop ends, shows it and starts watching the pointer.
void showPopup(HWND popup, int x, int y);

// Selects `selection` from the keyboard and shows its programme in the popup
// beside `block`, the screen rectangle of its title block, without taking
// the keyboard focus; the pointer is not watched until a click shows the
// popup again.
void showPopupForKeyboard(PopupHost& host, HWND popup, Selection selection, const RECT& block);

// Hides the popup, stops watching the pointer and gives the keyboard focus
// back to the main window.
void hidePopup(HWND popup);

// One look at the pointer (every 100 ms while the popup is shown).
void popupTick(HWND popup, POINT pointer);

bool popupShown(HWND popup);

// Whether the shown popup covers screen point `point`, and its button there
// (the registration button while it is visible, or "×"; null elsewhere). The
// guide asks for a press it was handed although the popup covers its spot:
// one the user made while the program was busy, before the popup it had just
// asked for showed.
bool popupCovers(HWND popup, POINT point);
HWND popupButtonAt(HWND popup, POINT point);

}  // namespace corvane
