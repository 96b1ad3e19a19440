#include "reserve/popup_registration_win.h"

namespace corvane {

void preparePopupRegistration(const RegistrationSettings& registration, HWND popup, int service,
                              const GuideEvent& event) {
    (void)service;
    (void)event;
    HWND button = GetDlgItem(popup, IDOK);
    if (!button) return;
    if (registration.iEpg != 1 && registration.iEpgTunerec != 1) {
        // Nothing to register with: no button at all.
        SetWindowTextA(button, "");
        ShowWindow(button, SW_HIDE);
        return;
    }
    // The registration targets prepare their data and set the label here.
    ShowWindow(button, SW_SHOW);
}

}  // namespace corvane
