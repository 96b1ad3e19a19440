// The registration buttons of the popup and of the genre list window on
// Win32: their labels, what a press runs (the two-item menu under the
// button, or the one enabled command), and the commands of each window.
#pragma once

#include <windows.h>

#include <optional>
#include <span>

#include "reserve/registration.h"

namespace corvane {

// 12000 / 12001 from the popup (the main window runs them), 12100 / 12101
// from the genre list window (it runs them itself).
int registrationCommandId(RegistrationSource source, RegistrationCommand command);
std::optional<RegistrationCommand> registrationCommandOf(RegistrationSource source, int id);

// A window selected programme `event` of store service `service` (from the
// store and the channel list of the guide): it is prepared and the window's
// registration button labelled, shown or hidden.
void prepareRegistrationButton(Registrations& registrations, RegistrationSource source, HWND button,
                               const EpgStore* store, std::span<const ChannelInfo> channels, int service,
                               const GuideEvent& event);

// The look of a registration button.
void applyRegistrationButton(HWND button, const RegistrationButton& look);

// A press of `source`'s registration button. With both kinds on, the menu
// opens with its top-left corner at the button's bottom-left corner, and the
// chosen item's command goes to `owner`; the answer is then 0. Otherwise the
// id of the one enabled command, for the caller to run at once (0: none).
int pressRegistrationButton(const Registrations& registrations, RegistrationSource source, HWND owner,
                            HWND button);

// Runs `id` when it is one of `source`'s registration commands; whether it was.
// A capture-tool registration resets `watch`, so that the next check collects
// every reservation source again.
bool runRegistrationCommand(Registrations& registrations, RegistrationSource source, int id,
                            ReservationWatch& watch);

}  // namespace corvane
