#include "reserve/popup_registration_win.h"

#include "reserve/registration_win.h"

namespace corvane {

void preparePopupRegistration(Registrations& registrations, HWND popup, const EpgStore* store,
                              std::span<const ChannelInfo> channels, int service, const GuideEvent& event) {
    prepareRegistrationButton(registrations, RegistrationSource::popup, GetDlgItem(popup, IDOK), store, channels,
                              service, event);
}

}  // namespace corvane
