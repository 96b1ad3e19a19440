#include "app/app_state_win.h"

#include "app/main_window_win.h"

namespace corvane {

namespace {
AppState* current = nullptr;
}

AppState* appState() { return current; }
void setAppState(AppState* state) { current = state; }

AppState::AppState() : clock(new SystemClock) {}

AppState::~AppState() {
    if (store) store->closing = 1;
    destroyStore(store);
    destroyStore(retiredStore);
    if (current == this) current = nullptr;
}

void AppState::replaceStore() {
    if (store) store->closing = 1;
    if (readsRunning > 0) {
        // The reader still holds the old store: it stops at its next packet
        // and the store goes when the read has returned.
        destroyStore(retiredStore);
        retiredStore = store;
    } else {
        destroyStore(store);
    }
    store = createStore();
}

void AppState::readFinished() {
    if (readsRunning == 0 && retiredStore) {
        destroyStore(retiredStore);
        retiredStore = nullptr;
    }
}

}  // namespace corvane
