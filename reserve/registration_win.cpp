#include "reserve/registration_win.h"

#include "resources/resource.h"

namespace corvane {

int registrationCommandId(RegistrationSource source, RegistrationCommand command) {
    const bool capture = command == RegistrationCommand::capture;
    if (source == RegistrationSource::genreList)
        return capture ? IDM_GENRE_REGISTER_TUNEREC : IDM_GENRE_REGISTER_FILE_OR_WEB;
    return capture ? IDM_REGISTER_TUNEREC : IDM_REGISTER_FILE_OR_WEB;
}

std::optional<RegistrationCommand> registrationCommandOf(RegistrationSource source, int id) {
    for (RegistrationCommand command : {RegistrationCommand::fileOrWeb, RegistrationCommand::capture})
        if (registrationCommandId(source, command) == id) return command;
    return std::nullopt;
}

void prepareRegistrationButton(Registrations& registrations, RegistrationSource source, HWND button,
                               const EpgStore* store, std::span<const ChannelInfo> channels, int service,
                               const GuideEvent& event) {
    const std::optional<RegistrationProgramme> programme =
        store ? registrationProgramme(*store, channels, service, event) : std::nullopt;
    applyRegistrationButton(button, registrations.prepare(source, programme));
}

void applyRegistrationButton(HWND button, const RegistrationButton& look) {
    if (!button) return;
    SetWindowTextA(button, look.label.c_str());
    ShowWindow(button, look.visible ? SW_SHOW : SW_HIDE);
}

int pressRegistrationButton(const Registrations& registrations, RegistrationSource source, HWND owner,
                            HWND button) {
    const RegistrationChoice choice = registrationChoice(registrations.switches());
    if (choice.direct) return registrationCommandId(source, *choice.direct);
    if (choice.menu.empty()) return 0;
    HMENU menu = CreatePopupMenu();
    for (const RegistrationMenuItem& item : choice.menu)
        AppendMenuA(menu, MF_STRING, registrationCommandId(source, item.command), item.text.c_str());
    RECT below{};
    GetWindowRect(button, &below);
    // The chosen item's WM_COMMAND is posted to the owner. The WM_NULL after
    // the menu is the system's advice for menus whose owner may not be the
    // window in front: without it such a menu can close at once next time.
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, below.left, below.bottom, 0, owner, nullptr);
    PostMessageA(owner, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return 0;
}

bool runRegistrationCommand(Registrations& registrations, RegistrationSource source, int id,
                            ReservationWatch& watch) {
    const std::optional<RegistrationCommand> command = registrationCommandOf(source, id);
    if (!command) return false;
    if (*command == RegistrationCommand::fileOrWeb)
        registrations.registerFileOrWeb(source);
    else
        registrations.registerCapture(source, watch);
    return true;
}

}  // namespace corvane
