#include "app/startup_win.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <winsock2.h>

#include <initializer_list>

#include "app/find_bar_win.h"
#include "app/guide_keys_win.h"
#include "app/main_window_win.h"
#include "dialogs/genre_list_settings.h"
#include "dialogs/genre_list_win.h"
#include "dialogs/reservation_list_win.h"
#include "guide/popup_win.h"
#include "reserve/job_store_win.h"
#include "reserve/message_boxes_win.h"
#include "reserve/process_start_win.h"
#include "reserve/registration_win.h"
#include "reserve/socket_calls_win.h"
#include "resources/resource.h"
#include "store/settings_win.h"

namespace corvane {

namespace {

std::string modulePath(HINSTANCE instance) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(instance, path, sizeof path);
    return path;
}

std::string documentsFolder() {
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, path))) return std::string();
    return path;
}

// The application registered to open ".tvpi" files: the default iEPG application.
std::string tvpiApplication() {
    char path[256] = {};
    DWORD size = sizeof path;
    if (FAILED(AssocQueryStringA(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, ".tvpi", "open", path, &size)))
        return std::string();
    return path;
}

WorkArea workArea() {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return WorkArea{area.left, area.top, area.right, area.bottom};
}

// A list window without a stored place: cascaded from the main window's corner.
void cascadeListWindow(HWND window, HWND main, int order) {
    RECT own{}, mainRect{};
    if (!window || !GetWindowRect(window, &own) || !GetWindowRect(main, &mainRect)) return;
    const WindowRect place = cascadedListWindowRect(
        workArea(), WindowRect{mainRect.left, mainRect.top, mainRect.right - mainRect.left, mainRect.bottom - mainRect.top},
        order, own.right - own.left, own.bottom - own.top);
    SetWindowPos(window, nullptr, place.x, place.y, place.width, place.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void applyPlacement(HWND window, HWND main, const DialogPlacement& placement, int order) {
    if (!window) return;
    if (!placement.stored) return cascadeListWindow(window, main, order);
    SetWindowPos(window, nullptr, placement.x, placement.y, placement.width, placement.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void checkMenuItem(HWND window, int command, bool checked) {
    HMENU settingsMenu = GetSubMenu(GetMenu(window), MENU_POS_SETTINGS);
    CheckMenuItem(settingsMenu, command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// The channel view popup starts empty; its resource holds a separator only
// because a menu template cannot hold an empty popup.
void emptyChannelViewMenu(HWND window) {
    HMENU channels = GetSubMenu(GetSubMenu(GetMenu(window), MENU_POS_FILE), MENU_POS_FILE_CHANNEL_VIEW);
    if (!channels) return;
    while (GetMenuItemCount(channels) > 0) DeleteMenu(channels, 0, MF_BYPOSITION);
}

bool isDialogKey(std::initializer_list<HWND> dialogs, MSG& msg) {
    for (HWND dialog : dialogs)
        if (dialog && IsWindow(dialog) && IsDialogMessageA(dialog, &msg)) return true;
    return false;
}

// The common control classes of the windows and dialogs: the lists, the
// genre tree, the load progress bar, the guide's tooltips, and the standard
// controls that common controls 6 (the manifest) draws themed.
void initCommonControls() {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                                     ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
}

void createRegistrations(AppState& app) {
    if (!app.processes) app.processes = std::make_unique<SystemProcessStarter>();
    if (!app.messageBoxes) app.messageBoxes = std::make_unique<WindowMessageBoxes>(app.mainWindow);
    if (!app.sockets) app.sockets = std::make_unique<WinsockCalls>();
    app.registrations = std::make_unique<Registrations>(
        app.registration,
        RegistrationPaths{app.paths.iepgFile, app.paths.iepgHandOverFile, app.paths.epgTimerFile},
        RegistrationCalls{*app.processes, *app.messageBoxes, *app.sockets});
    if (!app.taskDialog) app.taskDialog = std::make_unique<AppTaskDialog>(app);
    app.registrations->taskDialog = app.taskDialog.get();
}

}  // namespace

bool registerMainWindowClass(HINSTANCE instance, MainWindowClass& loaded) {
    LoadStringA(instance, IDS_APP_TITLE, loaded.title, sizeof loaded.title);
    LoadStringA(instance, IDS_WINDOW_CLASS, loaded.className, sizeof loaded.className);
    if (loaded.className[0] == '\0') return false;

    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, loaded.className, &existing)) return true;

    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = mainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_CORVANE));
    wc.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SMALL));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszMenuName = MAKEINTRESOURCEA(IDR_MAIN_MENU);
    wc.lpszClassName = loaded.className;
    return RegisterClassExA(&wc) != 0;
}

HWND createMainWindow(HINSTANCE instance, const MainWindowClass& windowClass, const MainWindowPlacement& placement,
                      bool useDefault) {
    const int x = useDefault ? CW_USEDEFAULT : placement.left;
    const int y = useDefault ? CW_USEDEFAULT : placement.top;
    const int width = useDefault ? CW_USEDEFAULT : placement.width();
    const int height = useDefault ? CW_USEDEFAULT : placement.height();
    // The find bar is a child: the guide paints round it.
    return CreateWindowExA(0, windowClass.className, windowClass.title,
                           WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL | WS_CLIPCHILDREN,
                           x, y, width, height, nullptr, nullptr, instance, nullptr);
}

bool startCorvane(AppState& app, const char* commandLine, int showMode) {
    if (!app.instance) app.instance = GetModuleHandleA(nullptr);
    setAppState(&app);

    MainWindowClass windowClass;
    if (!registerMainWindowClass(app.instance, windowClass)) return false;
    initCommonControls();

    // Paths and every setting read before the first window appears.
    app.paths = deriveAppPaths(modulePath(app.instance), documentsFolder());
    if (!app.settings) app.settings = std::make_unique<PrivateProfileSettings>(app.paths.settingsFile);
    StartupSettings settings = readStartupSettings(*app.settings, tvpiApplication());
    app.placement = settings.mainWindow;
    if (app.placement.firstStart) {
        const WindowRect fitted = firstMainWindowRect(workArea());
        if (fitted.width > 0 && fitted.height > 0) {
            app.placement.left = fitted.x, app.placement.top = fitted.y;
            app.placement.right = fitted.x + fitted.width, app.placement.bottom = fitted.y + fitted.height;
        }
    }
    app.switches = settings.switches;
    app.genres = settings.genres;
    app.view = settings.view;
    app.registration = settings.registration;
    app.presets = settings.presets;

    app.servicePreferences = std::make_unique<SettingsServicePreferences>(*app.settings);
    if (!app.jobStore) app.jobStore = std::make_unique<TaskSchedulerJobStore>();
    app.layout = std::make_unique<GuideLayout>(app.guideHost, *app.servicePreferences, app.view);

    app.mainWindow = createMainWindow(app.instance, windowClass, app.placement);
    if (!app.mainWindow) return false;
    emptyChannelViewMenu(app.mainWindow);
    createRegistrations(app);

    app.genreListWindow = createGenreListWindow(app.instance, app.genreListHost);
    if (!app.genreListWindow) return false;
    if (!genreListPlacementStored(*app.settings)) cascadeListWindow(app.genreListWindow, app.mainWindow, 0);
    applyRegistrationButton(GetDlgItem(app.genreListWindow, IDC_GENRE_REGISTER),
                            initialRegistrationButton(RegistrationSource::genreList));
    app.popupWindow = createPopupWindow(app.instance, app.popupHost, settings.popup);
    if (!app.popupWindow) return false;
    app.updateWindow = createUpdateInfoWindow(app.instance, app.updateInfoHost);
    if (!app.updateWindow) return false;
    applyPlacement(app.updateWindow, app.mainWindow, settings.updateWindow, 2);
    app.reservationListWindow = createReservationListWindow(app.instance, app.reservationListHost);
    if (!app.reservationListWindow) return false;
    app.reservationListBoxes.setOwner(app.reservationListWindow);
    applyPlacement(app.reservationListWindow, app.mainWindow, settings.reservationList, 1);
    app.findBar = createFindBar(app);
    if (!app.findBar) return false;

    switch (initialShow(app.placement)) {
        case InitialShow::minimized: ShowWindow(app.mainWindow, SW_MINIMIZE); break;
        case InitialShow::maximized: ShowWindow(app.mainWindow, SW_SHOWMAXIMIZED); break;
        case InitialShow::asRequested: ShowWindow(app.mainWindow, showMode); break;
    }
    UpdateWindow(app.mainWindow);
    app.layout->updateScrollBars();

    checkMenuItem(app.mainWindow, IDM_NOW_LINE, app.switches.nowTimeLine != 0);
    checkMenuItem(app.mainWindow, IDM_VIEW_CH_NO, app.switches.viewChNo != 0);
    DragAcceptFiles(app.mainWindow, TRUE);
    SetTimer(app.mainWindow, TIMER_HOUSEKEEPING, 1000, nullptr);

    app.accelerators = loadMainAccelerators(app.instance);
    WSADATA sockets;
    WSAStartup(MAKEWORD(2, 0), &sockets);

    app.store.reset(createStore());
    if (!app.store) return false;

    // The drawing tools of the guide (with the SD mark) and the genre brushes.
    HDC screen = GetDC(app.mainWindow);
    app.paintTools.create(app.view, app.instance, screen);
    ReleaseDC(app.mainWindow, screen);
    app.genreBrushes.rebuildAll(app.genres);
    app.paintInputs = PaintInputs{&app.genres, &app.switches, &app.reservations.frames(), &app.highlight};
    app.paint = PaintContext{&app.paintTools, &app.genreBrushes, app.genreListWindow, app.updateWindow, nullptr};

    // Files named on the command line are opened once the loop runs.
    app.commandLine = commandLine ? commandLine : "";
    PostMessageA(app.mainWindow, WM_COMMAND, IDM_OPEN_COMMAND_LINE, 0);
    return true;
}

void stopCorvane(AppState& app) {
    writeShutdownSettings(*app.settings, app.genres, app.switches);
    app.paintTools.destroy();
    app.genreBrushes.deleteAll();
    WSACleanup();
    app.store.reset();
}

HACCEL loadMainAccelerators(HINSTANCE instance) {
    return LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_MAIN_ACCELERATORS));
}

bool translateProgramKeys(AppState& app, MSG& msg) {
    if (app.accelerators && TranslateAcceleratorA(app.mainWindow, app.accelerators, &msg)) return true;
    if (findBarKey(app, msg)) return true;
    // A click leaves the focus in the popup; the guide's keys still move the guide.
    if (msg.message == WM_KEYDOWN && guideTakesKey(msg.wParam) && windowWithin(msg.hwnd, app.popupWindow)) {
        SendMessageA(app.mainWindow, WM_KEYDOWN, msg.wParam, msg.lParam);
        return true;
    }
    return isDialogKey({app.genreListWindow, app.reservationListWindow, app.updateWindow, app.findBar}, msg);
}

int runMessageLoop(AppState& app) {
    MSG msg{};
    // GetMessageA answers -1 on an invalid call; treat it like the end of the loop.
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (translateProgramKeys(app, msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

int runCorvane(HINSTANCE instance, const char* commandLine, int showMode) {
    AppState app;
    app.instance = instance;
    if (!startCorvane(app, commandLine, showMode)) {
        if (app.mainWindow) DestroyWindow(app.mainWindow);
        return 0;
    }
    const int exitCode = runMessageLoop(app);
    stopCorvane(app);
    return exitCode;
}

}  // namespace corvane
