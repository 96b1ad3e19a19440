// The modeless windows the main window keeps beside the guide: created hidden
// at start-up from their dialog templates, hidden again when closed, and
// destroyed only at exit.
#pragma once

#include <windows.h>

namespace corvane {

HWND createReservationListWindow(HINSTANCE instance, HWND owner);

}  // namespace corvane
