#include "dialogs/companion_windows_win.h"

#include "resources/resource.h"

namespace corvane {

namespace {

// Closing one of these windows only hides it: its contents stay for the
// next time it is shown.
INT_PTR CALLBACK hideOnCloseProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_CLOSE:
            ShowWindow(dialog, SW_HIDE);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {
                ShowWindow(dialog, SW_HIDE);
                return TRUE;
            }
            break;
    }
    return FALSE;
}

HWND create(HINSTANCE instance, HWND owner, int resource) {
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(resource), owner, hideOnCloseProc, 0);
}

}  // namespace

HWND createReservationListWindow(HINSTANCE instance, HWND owner) {
    return create(instance, owner, IDD_RESERVATION_LIST);
}

}  // namespace corvane
