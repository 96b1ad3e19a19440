// The genre list window (dialog 134, "ジャンル別リスト"): a genre tree on the
// left, the programmes of the chosen genre across all services in time order
// at the top right, reserved ones coloured, and below them the chosen
// programme's details with "EPG登録" (registration) and "番組表" (frame it in
// the guide). Modeless, created hidden; closing only hides it.
#pragma once

#include <windows.h>

#include "guide/guide_layout.h"
#include "guide/highlight.h"
#include "reserve/reservations.h"
#include "store/epg_store.h"
#include "store/settings.h"

namespace corvane {

// What the window needs of the program around it.
class GenreListHost {
public:
    virtual ~GenreListHost() = default;
    // The guide's window: repainted when a programme is shown in it, focused
    // when this window closes.
    virtual HWND mainWindow() = 0;
    // The programmes (event lists), the channel names and the guide's view.
    virtual GuideLayout& layout() = 0;
    // Null while there is no store.
    virtual const EpgStore* store() = 0;
    // The reservations of the recording applications, in start order.
    virtual const ReservationList& reservations() = 0;
    // Where "GenreList" is read and written.
    virtual Settings& settings() = 0;
    // The programme the guide frames for this window.
    virtual HighlightedProgramme& highlight() = 0;
    // Registration with this window as its source: prepared for every
    // programme the detail pane shows (labelling button 1030), run by the
    // button, and the two commands the button may offer in a menu
    // (12100: the file-or-web target, 12101: the capture tool).
    virtual void prepareRegistration(HWND window, int service, const GuideEvent& event) = 0;
    virtual void executeRegistration(HWND window) = 0;
    virtual void runRegistrationCommand(HWND window, int command) = 0;
};

// Creates dialog 134 hidden, owned by host.mainWindow(). Null on failure.
HWND createGenreListWindow(HINSTANCE instance, GenreListHost& host);

// Lists the programmes of the tree's selected genre again (after every
// rebuild of the guide's event lists and after "クリア(&C)"). Null means the
// window made last; nothing happens without a window or a store.
void refillGenreList(HWND window = nullptr);

}  // namespace corvane
