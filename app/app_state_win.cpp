#include "app/app_state_win.h"

#include "reserve/popup_registration_win.h"
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

void AppPopupHost::prepareRegistration(HWND popup, int service, const GuideEvent& event) {
    preparePopupRegistration(app_.registration, popup, service, event);
}

HWND AppGenreListHost::mainWindow() { return app_.mainWindow; }
GuideLayout& AppGenreListHost::layout() { return *app_.layout; }
const EpgStore* AppGenreListHost::store() { return app_.store.get(); }
const ReservationList& AppGenreListHost::reservations() { return app_.reservations; }
Settings& AppGenreListHost::settings() { return *app_.settings; }
HighlightedProgramme& AppGenreListHost::highlight() { return app_.highlight; }

// REGISTRATION HOOK: the registration targets (prepareRegistration and
// executeRegistration with the genre list as their source) are not built
// yet; the genre list reaches them only through these three calls.
void AppGenreListHost::prepareRegistration(HWND, int, const GuideEvent&) {}
void AppGenreListHost::executeRegistration(HWND) {}
void AppGenreListHost::runRegistrationCommand(HWND, int) {}

}  // namespace corvane
