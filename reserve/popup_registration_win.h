// The registration step that runs whenever the popup shows a newly selected
// programme: it prepares what the configured recording application needs and
// labels the popup's registration button (IDOK) for it.
#pragma once

#include <windows.h>

#include <span>

#include "guide/guide_layout.h"
#include "reserve/registration.h"

namespace corvane {

// `service` is the store service index (the channel list index) of `event`.
// With neither "iEpg" nor "iEpgTunerec" on, the button is hidden with an
// empty text.
void preparePopupRegistration(Registrations& registrations, HWND popup, const EpgStore* store,
                              std::span<const ChannelInfo> channels, int service, const GuideEvent& event);

}  // namespace corvane
