// Everything the process owns while it runs: the settings, the EPG store,
// the guide, the drawing tools and the windows. One instance, created by the
// start-up code and reached by the main window through appState(). The
// rooms below see it only through their narrow hosts: the layout through
// GuideHost, the popup through PopupHost, painting through PaintInputs.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app_settings.h"
#include "app/service_settings.h"
#include "dialogs/genre_list_win.h"
#include "dialogs/reservation_list_win.h"
#include "dialogs/update_info_win.h"
#include "guide/genre_brushes_win.h"
#include "guide/guide_layout.h"
#include "guide/guide_paint_win.h"
#include "guide/highlight.h"
#include "guide/paint_tools_win.h"
#include "guide/popup_win.h"
#include "guide/programme_search.h"
#include "reserve/change_detection.h"
#include "reserve/job_store.h"
#include "reserve/message_boxes.h"
#include "reserve/message_boxes_win.h"
#include "reserve/process_start.h"
#include "reserve/registration.h"
#include "reserve/reservation_files.h"
#include "reserve/reservation_watch.h"
#include "reserve/reservations.h"
#include "reserve/tvrock_command.h"
#include "store/clock.h"
#include "store/epg_store.h"
#include "store/settings.h"

namespace corvane {

struct AppState;

// Whether `window` is `outer` or one of its controls (null `outer`: no).
inline bool windowWithin(HWND window, HWND outer) { return outer && (window == outer || IsChild(outer, window)); }

// The layout's view of the main window: clock, client size, scroll bars and
// invalidation.
class MainWindowHost final : public GuideHost {
public:
    explicit MainWindowHost(AppState& app) : app_(app) {}
    int64_t now() override;
    int clientWidth() override;
    int clientHeight() override;
    void publishScrollBars(const ScrollBars& bars) override;
    int verticalBarPosition(bool tracking) override;
    void invalidate(const Rect& rect, bool erase) override;

private:
    AppState& app_;
};

// The popup's view of the program: the main window, the guide, the store,
// the settings file and the registration of the programme shown.
class AppPopupHost final : public PopupHost {
public:
    explicit AppPopupHost(AppState& app) : app_(app) {}
    HWND mainWindow() override;
    GuideLayout& layout() override;
    const EpgStore* store() override;
    Settings& settings() override;
    void prepareRegistration(HWND popup, int service, const GuideEvent& event) override;

private:
    AppState& app_;
};

// The update information window's view of the program: the guide, the
// store, the change list, the settings file and the highlight.
class AppUpdateInfoHost final : public UpdateInfoHost {
public:
    explicit AppUpdateInfoHost(AppState& app) : app_(app) {}
    HWND mainWindow() override;
    Settings& settings() override;
    const EpgStore* store() override;
    GuideLayout& layout() override;
    ChangeList& changes() override;
    HighlightedProgramme& highlight() override;

private:
    AppState& app_;
};

// The capture tool's task registration dialog over the main window, for the
// programme a window prepared: its channel as the store and the guide hold it
// now, the presets and the shared preset index, the collected reservations,
// the job store and the process starter of the program.
class AppTaskDialog final : public TaskRegistrationDialog {
public:
    explicit AppTaskDialog(AppState& app) : app_(app) {}
    int run(const PendingCaptureEvent& pending) override;

private:
    AppState& app_;
};

// The genre list's view of the program: the guide, the store, the
// reservations, the settings file, the highlight and the registration of
// the programme its detail pane shows.
class AppGenreListHost final : public GenreListHost {
public:
    explicit AppGenreListHost(AppState& app) : app_(app) {}
    HWND mainWindow() override;
    GuideLayout& layout() override;
    const EpgStore* store() override;
    const ReservationList& reservations() override;
    Settings& settings() override;
    HighlightedProgramme& highlight() override;
    void prepareRegistration(HWND window, int service, const GuideEvent& event) override;
    void executeRegistration(HWND window) override;
    void runRegistrationCommand(HWND window, int command) override;

private:
    AppState& app_;
};

// The reservation list window's view of the program: the guide, the store,
// the reservations and where capture-tool jobs are deleted.
class AppReservationListHost final : public ReservationListHost {
public:
    explicit AppReservationListHost(AppState& app) : app_(app) {}
    HWND mainWindow() override;
    Settings& settings() override;
    const EpgStore* store() override;
    GuideLayout& layout() override;
    ReservationList& reservations() override;
    const std::vector<TunerecPreset>& presets() override;
    JobStore& jobs() override;
    MessageBoxes& messageBoxes() override;
    RowMenu& rowMenu() override;
    void resetReservationWatch() override;

private:
    AppState& app_;
};

struct DragState {
    bool dragging = false;
    // A press the guide was handed on a spot the popup covered by then: it is
    // the popup's, and a release on the same popup button clicks that button.
    bool onPopup = false;
    HWND popupButton = nullptr;
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
    // The preset the capture tool's task registration dialog and the
    // registration setup dialog open on (0 to 8); both change it when the user
    // switches presets, and it lives for the process, never in the settings file.
    int currentPresetIndex = 0;
    std::string lastDataFile;  // the last ".dat" opened: the initial name of the file dialogs

    StorePtr store;
    // A read is running inside the progress dialog: the store must outlive it.
    int readsRunning = 0;
    StorePtr retiredStore;  // replaced during a read, destroyed after it

    std::unique_ptr<SettingsServicePreferences> servicePreferences;
    MainWindowHost guideHost{*this};
    AppPopupHost popupHost{*this};
    AppGenreListHost genreListHost{*this};
    AppUpdateInfoHost updateInfoHost{*this};
    std::unique_ptr<GuideLayout> layout;
    PaintTools paintTools;
    GenreBrushes genreBrushes;
    PaintInputs paintInputs;  // what every paint reads, wired once at start-up
    PaintContext paint;       // the drawing tools and the tooltip control
    ReservationBook reservations;  // with the frames the guide paints of them
    ReservationWatch reservationWatch;
    ReservationFiles* reservationFiles = &systemReservationFiles();
    std::unique_ptr<JobStore> jobStore;   // the Task Scheduler unless start-up found one set
    AppReservationListHost reservationListHost{*this};
    WindowMessageBoxes reservationListBoxes;  // over the reservation list window
    PopupRowMenu reservationRowMenu;
    HighlightedProgramme highlight;
    // Programmes added, removed, retitled or moved since the user last cleared
    // them: appended by the housekeeping tick, shortened only by the update
    // information window's "クリア".
    ChangeList changes;

    // Registration of programmes and the platform it goes through; start-up
    // makes the system's calls for the seams not set beforehand (tests).
    std::unique_ptr<ProcessStarter> processes;
    std::unique_ptr<MessageBoxes> messageBoxes;  // over the main window
    std::unique_ptr<SocketCalls> sockets;
    std::unique_ptr<TaskRegistrationDialog> taskDialog;  // the capture tool's, when there is one
    std::unique_ptr<Registrations> registrations;

    HWND mainWindow = nullptr;
    HWND genreListWindow = nullptr;
    HWND popupWindow = nullptr;
    HWND updateWindow = nullptr;
    HWND reservationListWindow = nullptr;
    HWND findBar = nullptr;  // a child of the main window, over the top of the guide
    HACCEL accelerators = nullptr;

    // The guide's programmes folded for the find bar; stale after every
    // layout, folded again when the bar next searches.
    ProgrammeSearch search;
    bool searchStale = true;

    bool firstLoad = true;
    DragState drag;
    // The column of the current view the keyboard's selection is in: a
    // programme running past 04:00 shows in two day columns.
    int keyboardColumn = -1;
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
