#include "app/app_state_win.h"

#include <optional>

#include "reserve/registration_win.h"
#include "reserve/task_registration_dialog_win.h"
#include "resources/resource.h"
#include "store/invariant.h"

namespace corvane {

namespace {
AppState* current = nullptr;
}

AppState* appState() { return current; }
void setAppState(AppState* state) { current = state; }

AppState::AppState() : clock(new SystemClock) {}

AppState::~AppState() {
    if (current == this) current = nullptr;
}

void AppState::replaceStore() {
    if (store) store->closing = 1;
    if (readsRunning > 0) {
        // The reader still holds the old store: it stops at its next packet
        // and the store goes when the read has returned.
        retiredStore = std::move(store);
    }
    store.reset(createStore());
}

void AppState::readFinished() {
    reportIf(readsRunning < 0, "more reads finished than started");
    if (readsRunning <= 0) retiredStore.reset();
}

HWND AppPopupHost::mainWindow() { return app_.mainWindow; }
GuideLayout& AppPopupHost::layout() { return *app_.layout; }
const EpgStore* AppPopupHost::store() { return app_.store.get(); }
Settings& AppPopupHost::settings() { return *app_.settings; }

HWND AppReservationListHost::mainWindow() { return app_.mainWindow; }
Settings& AppReservationListHost::settings() { return *app_.settings; }
const EpgStore* AppReservationListHost::store() { return app_.store.get(); }
GuideLayout& AppReservationListHost::layout() { return *app_.layout; }
ReservationList& AppReservationListHost::reservations() { return app_.reservations.recordsForTitles(); }
const std::vector<TunerecPreset>& AppReservationListHost::presets() { return app_.presets; }
JobStore& AppReservationListHost::jobs() { return *app_.jobStore; }
MessageBoxes& AppReservationListHost::messageBoxes() { return app_.reservationListBoxes; }
RowMenu& AppReservationListHost::rowMenu() { return app_.reservationRowMenu; }
void AppReservationListHost::resetReservationWatch() { app_.reservationWatch.reset(); }

void AppPopupHost::prepareRegistration(HWND popup, int service, const GuideEvent& event) {
    // The popup's registration button is IDOK.
    if (!reportIf(!app_.registrations, "a popup without registrations"))
        prepareRegistrationButton(*app_.registrations, RegistrationSource::popup, GetDlgItem(popup, IDOK),
                                  app_.store.get(), app_.layout->channels, service, event);
}

int AppTaskDialog::run(const PendingCaptureEvent& pending) {
    const EpgStore* store = app_.store.get();
    const int channel = pending.channel;
    // The store may have been cleared or reloaded since the programme was chosen.
    std::optional<TaskProgramme> programme;
    if (store && app_.layout && channel >= 0 && channel < store->serviceCount && store->services[channel])
        programme = taskProgramme(pending.event, app_.layout->channels[channel], *store->services[channel]);
    const TaskDialogInputs inputs{programme ? &*programme : nullptr, &app_.presets, &app_.currentPresetIndex,
                                  &app_.reservations.records(), app_.jobStore.get(), app_.processes.get(), app_.clock.get()};
    return runTaskRegistrationDialog(app_.mainWindow, inputs);
}

HWND AppGenreListHost::mainWindow() { return app_.mainWindow; }
GuideLayout& AppGenreListHost::layout() { return *app_.layout; }
const EpgStore* AppGenreListHost::store() { return app_.store.get(); }
const ReservationList& AppGenreListHost::reservations() { return app_.reservations.records(); }
Settings& AppGenreListHost::settings() { return *app_.settings; }
HighlightedProgramme& AppGenreListHost::highlight() { return app_.highlight; }

void AppGenreListHost::prepareRegistration(HWND window, int service, const GuideEvent& event) {
    if (!reportIf(!app_.registrations, "a genre list without registrations"))
        prepareRegistrationButton(*app_.registrations, RegistrationSource::genreList,
                                  GetDlgItem(window, IDC_GENRE_REGISTER), app_.store.get(), app_.layout->channels,
                                  service, event);
}

void AppGenreListHost::executeRegistration(HWND window) {
    if (reportIf(!app_.registrations, "a genre list without registrations")) return;
    // With both kinds on, the menu sends the chosen command to the window.
    const int direct = pressRegistrationButton(*app_.registrations, RegistrationSource::genreList, window,
                                               GetDlgItem(window, IDC_GENRE_REGISTER));
    if (direct != 0) runRegistrationCommand(window, direct);
}

void AppGenreListHost::runRegistrationCommand(HWND, int command) {
    if (!reportIf(!app_.registrations, "a genre list without registrations"))
        corvane::runRegistrationCommand(*app_.registrations, RegistrationSource::genreList, command,
                                        app_.reservationWatch);
}

HWND AppUpdateInfoHost::mainWindow() { return app_.mainWindow; }
Settings& AppUpdateInfoHost::settings() { return *app_.settings; }
const EpgStore* AppUpdateInfoHost::store() { return app_.store.get(); }
GuideLayout& AppUpdateInfoHost::layout() { return *app_.layout; }
ChangeList& AppUpdateInfoHost::changes() { return app_.changes; }
HighlightedProgramme& AppUpdateInfoHost::highlight() { return app_.highlight; }

}  // namespace corvane
