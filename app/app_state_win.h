// Everything the process owns while it runs: the settings, the EPG store,
// the guide, the drawing tools and the windows. One instance, created by the
// start-up code and reached by the main window through its user data.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/app_settings.h"
#include "app/clock.h"
#include "app/settings_win.h"
#include "dialogs/genre_brushes_win.h"
#include "guide/guide_layout.h"
#include "guide/guide_paint_win.h"
#include "guide/highlight.h"
#include "guide/paint_tools_win.h"
#include "reserve/reservations.h"
#include "store/epg_store.h"

namespace corvane {

class MainWindowHost;

struct DragState {
    bool dragging = false;
    POINT press{};
    int scrollX = 0, scrollY = 0;
    HCURSOR cursorBefore = nullptr;
    HCURSOR classCursorBefore = nullptr;
};

struct AppState {
    AppState();
    ~AppState();
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    HINSTANCE instance = nullptr;
    AppPaths paths;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<Clock> clock;

    // Settings held for the life of the process.
    MainWindowPlacement placement;
    bool placementKnown = false;
    ViewSwitches switches;
    GenreSettings genres;
    ViewSettings view;
    RegistrationSettings registration;
    std::vector<TunerecPreset> presets;
    std::string lastDataFile;  // the last ".dat" opened: the initial name of the file dialogs

    EpgStore* store = nullptr;
    // A read is running inside the progress dialog: the store must outlive it.
    int readsRunning = 0;
    EpgStore* retiredStore = nullptr;  // replaced during a read, destroyed after it

    std::unique_ptr<MainWindowHost> host;
    std::unique_ptr<GuideLayout> layout;
    PaintTools paintTools;
    GenreBrushes genreBrushes;
    PaintContext paint;  // what painting reads, and its tooltip control
    ReservationList reservations;
    ReservationWatch reservationWatch;
    HighlightedProgramme highlight;

    HWND mainWindow = nullptr;
    HWND genreListWindow = nullptr;
    HWND popupWindow = nullptr;
    HWND updateWindow = nullptr;
    HWND reservationListWindow = nullptr;
    HACCEL accelerators = nullptr;

    bool firstLoad = true;
    DragState drag;
    int lastNowLineMinute = -1;
    std::string commandLine;  // consumed by the deferred start-up load

    // Replaces the store by an empty one ("クリア(&C)"); during a read the old
    // one is only marked closing and goes when the read has returned.
    void replaceStore();
    // Called when a read returns: destroys a store retired meanwhile.
    void readFinished();
};

// The state of the process, or null before start-up made it.
AppState* appState();
void setAppState(AppState* state);

}  // namespace corvane
