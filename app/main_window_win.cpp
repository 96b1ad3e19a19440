#include "app/main_window_win.h"

#include <shellapi.h>
#include <windowsx.h>

#include <cstdlib>
#include <vector>

#include "app/file_open_win.h"
#include "app/find_bar_win.h"
#include "app/guide_keys_win.h"
#include "app/load_flow.h"
#include "dialogs/channel_order_dialog_win.h"
#include "dialogs/genre_dialog_win.h"
#include "dialogs/genre_list_win.h"
#include "dialogs/registration_setup_dialog_win.h"
#include "dialogs/view_setup_dialog_win.h"
#include "guide/guide_paint_win.h"
#include "guide/popup_win.h"
#include "reserve/registration_win.h"
#include "resources/resource.h"
#include "store/broadcast_time.h"
#include "store/over_owner_win.h"

namespace corvane {

namespace {

constexpr int kClickTolerance = 2;  // pixels of drag that still make a click
constexpr int kNowLineBand = 40;

HMENU submenuAt(HMENU menu, int position) { return menu ? GetSubMenu(menu, position) : nullptr; }

void clearPopupItems(HMENU popup) {
    if (!popup) return;
    while (GetMenuItemCount(popup) > 0) DeleteMenu(popup, 0, MF_BYPOSITION);
}

// Puts a new popup with `items` in place of the item at `position` of `parent`.
void replacePopup(HMENU parent, int position, const std::vector<MenuItem>& items) {
    if (!parent) return;
    HMENU popup = CreatePopupMenu();
    for (const MenuItem& item : items)
        AppendMenuA(popup, MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED), item.command, item.text.c_str());
    char text[128] = {};
    GetMenuStringA(parent, position, text, sizeof text, MF_BYPOSITION);
    // ModifyMenu destroys the popup it replaces.
    ModifyMenuA(parent, position, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), text);
}

void invalidateClient(AppState& app, bool erase) { InvalidateRect(app.mainWindow, nullptr, erase); }

void setCheck(AppState& app, int command, bool checked) {
    CheckMenuItem(GetMenu(app.mainWindow), command, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// The genre list's rows show which programmes are reserved.
void repaintGenreList(AppState& app) {
    if (app.genreListWindow) RedrawWindow(app.genreListWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// The three menus of the data in place of those that stood there.
void applyGuideMenus(AppState& app, const GuideMenus& menus) {
    HMENU bar = GetMenu(app.mainWindow);
    replacePopup(bar, MENU_POS_COLUMNS, menus.columns);
    replacePopup(submenuAt(bar, MENU_POS_FILE), MENU_POS_FILE_CHANNEL_VIEW, menus.channels);
    replacePopup(bar, MENU_POS_DATES, menus.dates);
    DrawMenuBar(app.mainWindow);
}

void clearData(AppState& app) {
    app.layout->view.viewService = -1;
    SetWindowTextA(app.mainWindow, "Corvane");
    app.replaceStore();
    destroyGuideTooltip(app.paint);
    app.layout->reset();
    app.search.clear();
    app.searchStale = true;
    app.firstLoad = true;
    HMENU bar = GetMenu(app.mainWindow);
    clearPopupItems(submenuAt(bar, MENU_POS_COLUMNS));
    clearPopupItems(submenuAt(bar, MENU_POS_DATES));
    clearPopupItems(submenuAt(submenuAt(bar, MENU_POS_FILE), MENU_POS_FILE_CHANNEL_VIEW));
    DrawMenuBar(app.mainWindow);
    refreshGuide(app);
    refillGenreList(app.genreListWindow);
}

void toggleColumn(AppState& app, int service) {
    if (!app.store || service >= kMaxServices || !app.store->services[service]) return;
    const ServiceRecord& record = *app.store->services[service];
    const int next = app.servicePreferences->columnShown(record) == 1 ? 0 : 1;
    app.servicePreferences->setColumnShown(record, next);
    setCheck(app, kColumnCommandBase + service, next == 1);
    returnToListView(app);
    refreshGuide(app);
}

void showChannel(AppState& app, int service) {
    app.highlight = HighlightedProgramme{};
    GuideLayout& layout = *app.layout;
    const bool fromListView = layout.listView();
    layout.view.viewService = service == layout.view.viewService ? -1 : service;
    HMENU channels = submenuAt(submenuAt(GetMenu(app.mainWindow), MENU_POS_FILE), MENU_POS_FILE_CHANNEL_VIEW);
    if (channels) {
        for (int i = 0; i < kMaxServices; ++i)
            CheckMenuItem(channels, kChannelCommandBase + i, MF_BYCOMMAND | MF_UNCHECKED);
        if (!layout.listView()) CheckMenuItem(channels, kChannelCommandBase + service, MF_BYCOMMAND | MF_CHECKED);
    }
    rebuildGuide(app);
    if (!layout.listView() && fromListView) layout.jumpToNow();
    refreshGuide(app);
}

// "チャンネル順設定(&C)": on OK the list view with the new column order.
void runChannelOrder(AppState& app) {
    if (runChannelOrderDialog(app.mainWindow, app.store.get(), *app.layout, *app.servicePreferences) != IDOK) return;
    returnToListView(app);
    // Erased: hidden columns leave their place empty.
    refreshGuide(app);
}

// "画面設定(&V)": on OK the current view laid out again at the same time and
// column, the reservations collected again.
void runViewSetup(AppState& app) {
    const GuideGeometry before = app.layout->geometry();
    ViewSetupTarget target{.view = app.view,
                           .customColors = app.genres.custColor,
                           .settings = *app.settings,
                           .paintTools = app.paintTools,
                           .reservations = app.reservations};
    if (runViewSetupDialog(app.mainWindow, target) != IDOK) return;
    resetReservationWatch(app.reservationWatch);
    rebuildGuide(app);
    app.layout->keepPlaceAcross(before);
    refreshGuide(app);
    PostMessageA(app.reservationListWindow, WM_COMMAND, IDM_RESERVATION_REFRESH, 0);
    repaintGenreList(app);
}

void openCommandLineFiles(AppState& app) {
    const std::vector<std::string> files = splitCommandLine(app.commandLine.c_str());
    app.commandLine.clear();
    bool loaded = false;
    for (const std::string& path : files) {
        if (!loadFile(app, path)) break;
        loaded = true;
    }
    if (loaded) afterLoad(app);
}

void openDroppedFiles(AppState& app, HDROP drop) {
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    bool loaded = false;
    for (UINT i = 0; i < count; ++i) {
        char path[MAX_PATH] = {};
        DragQueryFileA(drop, i, path, sizeof path);
        if (!loadFile(app, path)) break;
        loaded = true;
    }
    DragFinish(drop);
    if (loaded) afterLoad(app);
}

void openRegistrationSetup(AppState& app) {
    RegistrationSetupHost host{*app.settings, *app.servicePreferences, app.registration, app.presets,
                               app.currentPresetIndex, app.store.get(), *app.layout};
    if (runRegistrationSetupDialog(app.mainWindow, host) != IDOK) return;
    // What the popup prepared follows the old settings: it goes, and with it
    // the selection, so that the next click prepares the programme anew.
    app.layout->view.selection = Selection{};
    hidePopup(app.popupWindow);
    if (app.genreListWindow) prepareGenreListRegistrationAgain(app.genreListWindow);
}

void toggleNowLine(AppState& app) {
    app.switches.nowTimeLine = app.switches.nowTimeLine ? 0 : 1;
    setCheck(app, IDM_NOW_LINE, app.switches.nowTimeLine != 0);
    invalidateClient(app, false);
}

void toggleChannelNumbers(AppState& app) {
    app.switches.viewChNo = app.switches.viewChNo ? 0 : 1;
    setCheck(app, IDM_VIEW_CH_NO, app.switches.viewChNo != 0);
    invalidateClient(app, false);
}

bool onCommand(AppState& app, int command);

// The popup's registration button was pressed.
void registerPopupProgramme(AppState& app) {
    const int direct = pressRegistrationButton(*app.registrations, RegistrationSource::popup, app.mainWindow,
                                               GetDlgItem(app.popupWindow, IDOK));
    if (direct != 0) onCommand(app, direct);
}

// The popup's registration commands: the popup goes away first.
bool runPopupRegistrationCommand(AppState& app, int command) {
    if (!registrationCommandOf(RegistrationSource::popup, command)) return false;
    app.layout->view.selection = Selection{};
    hidePopup(app.popupWindow);
    return runRegistrationCommand(*app.registrations, RegistrationSource::popup, command, app.reservationWatch);
}

bool onCommand(AppState& app, int command) {
    switch (command) {
        case IDM_OPEN_FILE:
            if (openFilesWithDialog(app)) afterLoad(app);
            return true;
        case IDM_CLEAR:
            clearData(app);
            return true;
        case IDM_UPDATE_INFO:
            PostMessageA(app.updateWindow, WM_COMMAND, IDM_UPDATE_REFRESH, 0);
            ShowWindow(app.updateWindow, SW_SHOW);
            return true;
        case IDM_GENRE_LIST:
            ShowWindow(app.genreListWindow, SW_SHOW);
            return true;
        case IDM_RESERVATION_LIST:
            PostMessageA(app.reservationListWindow, WM_COMMAND, IDM_RESERVATION_REFRESH, 0);
            ShowWindow(app.reservationListWindow, SW_SHOW);
            return true;
        case IDM_RESERVATION_UPDATE:
            app.reservationWatch.reset();
            return true;
        case IDM_SAVE_AS:
            saveDataFileAs(app);
            return true;
        case IDM_EXIT:
            DestroyWindow(app.mainWindow);
            return true;
        case IDM_NOW_LINE:
            toggleNowLine(app);
            return true;
        case IDM_GENRE_COLOR:
            if (runGenreColorDialog(app.mainWindow, app.genres, app.genreBrushes) == 1) invalidateClient(app, false);
            return true;
        case IDM_IEPG_SETUP:
            openRegistrationSetup(app);
            return true;
        case IDM_CHANNEL_ORDER:
            runChannelOrder(app);
            return true;
        case IDM_VIEW_SETUP:
            runViewSetup(app);
            return true;
        case IDM_VIEW_CH_NO:
            toggleChannelNumbers(app);
            return true;
        case IDM_ABOUT:
            showAboutDialog(app.mainWindow);
            return true;
        case IDM_OPEN_COMMAND_LINE:
            openCommandLineFiles(app);
            return true;
        case IDM_POPUP_REGISTER:
            registerPopupProgramme(app);
            return true;
        case IDM_FIND:
            openFindBar(app);
            return true;
        default:
            break;
    }
    if (runPopupRegistrationCommand(app, command)) return true;
    if (command >= kColumnCommandBase && command < kColumnCommandBase + kMaxServices) {
        toggleColumn(app, command - kColumnCommandBase);
        return true;
    }
    if (command >= kChannelCommandBase && command < kChannelCommandBase + kMaxServices) {
        showChannel(app, command - kChannelCommandBase);
        return true;
    }
    if (command >= kDateCommandBase && command < kDateCommandBase + kDateCommandsHandled) {
        app.layout->dateCommand(command - kDateCommandBase);
        return true;
    }
    return false;
}

void rememberPlacement(AppState& app) {
    app.placementKnown = true;
    app.placement.minimized = app.placement.maximized = 0;
    if (IsIconic(app.mainWindow)) {
        app.placement.minimized = 1;
    } else if (IsZoomed(app.mainWindow)) {
        app.placement.maximized = 1;
    } else {
        RECT rect;
        GetWindowRect(app.mainWindow, &rect);
        app.placement.left = rect.left;
        app.placement.top = rect.top;
        app.placement.right = rect.right;
        app.placement.bottom = rect.bottom;
    }
}

void moveNowLine(AppState& app) {
    if (!app.switches.nowTimeLine) return;
    GuideLayout& layout = *app.layout;
    if (layout.view.guideBegin == 0) return;
    const int64_t now = app.clock->now();
    // The band from 20 pixels above the line to 20 below it.
    const int64_t y = layout.nowLineY(now) - kHeaderHeight - layout.view.scrollY;
    const LocalTime local = toLocalTime(now);
    if (y <= app.guideHost.clientHeight() && y + kNowLineBand >= 0 && local.minute != app.lastNowLineMinute &&
        local.second > 0) {
        const int top = static_cast<int>(y);
        RECT band{0, top, layout.view.contentWidth, top + kNowLineBand};
        InvalidateRect(app.mainWindow, &band, FALSE);
        app.lastNowLineMinute = local.minute;
    }
}

void onTimer(AppState& app, UINT_PTR id) {
    if (id == TIMER_HOUSEKEEPING) {
        rememberPlacement(app);
        collectReservationsOnTick(app);
        detectChangesOnTick(app);
        moveNowLine(app);
    } else if (id == TIMER_GUIDE_REPAINT) {
        KillTimer(app.mainWindow, TIMER_GUIDE_REPAINT);
        invalidateClient(app, false);
    }
}

void endDrag(AppState& app) {
    app.drag.dragging = false;
    SetClassLongPtrA(app.mainWindow, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(app.drag.classCursorBefore));
    SetCursor(app.drag.cursorBefore);
}

bool withinClickTolerance(const AppState& app) {
    return std::abs(app.layout->view.scrollX - app.drag.scrollX) <= kClickTolerance &&
           std::abs(app.layout->view.scrollY - app.drag.scrollY) <= kClickTolerance;
}

POINT screenPoint(const AppState& app, int x, int y) {
    POINT point{x, y};
    ClientToScreen(app.mainWindow, &point);
    return point;
}

void onButtonDown(AppState& app, int x, int y) {
    if (app.drag.dragging) return;
    // Queued while the program was busy, before the popup opened over this
    // spot: the press was aimed at the popup, never at the guide beneath.
    const POINT at = screenPoint(app, x, y);
    app.drag.onPopup = popupCovers(app.popupWindow, at);
    app.drag.popupButton = popupButtonAt(app.popupWindow, at);
    if (app.drag.onPopup) return;
    app.drag.press = POINT{x, y};
    app.drag.scrollX = app.layout->view.scrollX;
    app.drag.scrollY = app.layout->view.scrollY;
    app.drag.cursorBefore = SetCursor(LoadCursorA(nullptr, IDC_HAND));
    // Without a class cursor the hand stays while the mouse moves.
    app.drag.classCursorBefore =
        reinterpret_cast<HCURSOR>(SetClassLongPtrA(app.mainWindow, GCLP_HCURSOR, 0));
    app.drag.dragging = true;
}

void onMouseMove(AppState& app, int x, int y, WPARAM keys) {
    if (!app.drag.dragging) return;
    if (!(keys & MK_LBUTTON)) {
        endDrag(app);
        return;
    }
    GuideLayout& layout = *app.layout;
    const int newX = app.drag.scrollX + (app.drag.press.x - x);
    const int newY = app.drag.scrollY + (app.drag.press.y - y);
    if (std::abs(newX - layout.view.scrollX) <= kClickTolerance &&
        std::abs(newY - layout.view.scrollY) <= kClickTolerance)
        return;
    layout.view.selection = Selection{};
    hidePopup(app.popupWindow);
    layout.view.scrollX = newX;
    layout.view.scrollY = newY;
    layout.updateScrollBars();
    invalidateClient(app, false);
}

void onButtonUp(AppState& app, int x, int y) {
    if (app.drag.onPopup) {
        app.drag.onPopup = false;
        HWND button = app.drag.popupButton;
        if (button && button == popupButtonAt(app.popupWindow, screenPoint(app, x, y)))
            SendMessageA(button, BM_CLICK, 0, 0);
        return;
    }
    if (app.drag.dragging) endDrag(app);
    if (withinClickTolerance(app)) clickGuide(app.popupHost, app.popupWindow, x, y);
}

void onWheel(AppState& app, WPARAM wParam, LPARAM lParam) {
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(app.mainWindow, &point);
    app.layout->scrollByWheel(point.x, point.y, GET_WHEEL_DELTA_WPARAM(wParam) > 0);
}

void onDestroy(AppState& app) {
    for (HWND* window :
         {&app.genreListWindow, &app.popupWindow, &app.updateWindow, &app.reservationListWindow, &app.findBar}) {
        if (*window) DestroyWindow(*window);
        *window = nullptr;
    }
    destroyGuideTooltip(app.paint);
    if (app.placementKnown) writeMainWindowPlacement(*app.settings, app.placement);
    app.paintTools.destroy();
    KillTimer(app.mainWindow, TIMER_HOUSEKEEPING);
    KillTimer(app.mainWindow, TIMER_GUIDE_REPAINT);
    PostQuitMessage(0);
}

INT_PTR CALLBACK aboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            break;
    }
    return FALSE;
}

}  // namespace

int64_t MainWindowHost::now() { return app_.clock->now(); }

int MainWindowHost::clientWidth() {
    RECT rect{};
    GetClientRect(app_.mainWindow, &rect);
    return rect.right;
}

int MainWindowHost::clientHeight() {
    RECT rect{};
    GetClientRect(app_.mainWindow, &rect);
    return rect.bottom;
}

void MainWindowHost::publishScrollBars(const ScrollBars& bars) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = bars.horizontalMax;
    info.nPage = static_cast<UINT>(bars.horizontalPage > 0 ? bars.horizontalPage : 0);
    info.nPos = bars.horizontalPos;
    SetScrollInfo(app_.mainWindow, SB_HORZ, &info, TRUE);
    info.nMax = bars.verticalMax;
    info.nPage = static_cast<UINT>(bars.verticalPage > 0 ? bars.verticalPage : 0);
    info.nPos = bars.verticalPos;
    SetScrollInfo(app_.mainWindow, SB_VERT, &info, TRUE);
}

int MainWindowHost::verticalBarPosition(bool tracking) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS | SIF_TRACKPOS;
    GetScrollInfo(app_.mainWindow, SB_VERT, &info);
    return tracking ? info.nTrackPos : info.nPos;
}

void MainWindowHost::invalidate(const Rect& rect, bool erase) {
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    InvalidateRect(app_.mainWindow, &r, erase);
}

void collectReservationsOnTick(AppState& app) {
    const ViewSettings& view = app.view;
    const ReservationSources sources{view.epgTimerDisp == 1, view.tvRockDisp == 1, view.tunerecDisp == 1,
                                     app.paths.epgTimerFile.c_str(), view.tvRockProgName.c_str()};
    const ReservationInputs inputs{app.store.get(), *app.reservationFiles, *app.servicePreferences,
                                   app.jobStore.get(), app.clock->now()};
    if (!app.reservations.collect(app.reservationWatch, sources, inputs)) return;
    invalidateClient(app, false);
    if (app.reservationListWindow)
        PostMessageA(app.reservationListWindow, WM_COMMAND, IDM_RESERVATION_REFRESH, 0);
    repaintGenreList(app);
}

void detectChangesOnTick(AppState& app) {
    EpgStore* store = app.store.get();
    if (!store || !store->changed) return;
    store->changed = 0;
    if (!detectEpgChanges(store, app.changes)) return;
    if (app.updateWindow && IsWindowVisible(app.updateWindow)) {
        PostMessageA(app.updateWindow, WM_COMMAND, IDM_UPDATE_REFRESH, 0);
        ShowWindow(app.updateWindow, SW_SHOW);
    }
}

void rebuildGuide(AppState& app) {
    GuideLayout& layout = *app.layout;
    app.searchStale = true;
    if (layout.listView()) {
        app.reservationWatch.reset();
        layout.buildListLayout(app.store.get());
        applyGuideMenus(app, layout.menus);
        refillGenreList(app.genreListWindow);
    } else {
        layout.buildChannelLayout(app.store.get());
    }
    SetWindowTextA(app.mainWindow, layout.windowTitle().c_str());
}

void returnToListView(AppState& app) {
    app.layout->view.viewService = -1;
    rebuildGuide(app);
}

void refreshGuide(AppState& app) {
    app.layout->updateScrollBars();
    invalidateClient(app, true);
}

void afterLoad(AppState& app) {
    returnToListView(app);
    if (app.firstLoad) app.layout->jumpToNow();
    refreshGuide(app);
    app.firstLoad = false;
}

void showAboutDialog(HWND owner) {
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
    const OpensOverOwner over(owner);
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_ABOUTBOX), owner, aboutDialogProc, 0);
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    AppState* state = appState();
    if (state && !state->mainWindow && message == WM_NCCREATE) state->mainWindow = window;
    if (!state || state->mainWindow != window || !state->layout)
        return DefWindowProcA(window, message, wParam, lParam);
    AppState& app = *state;
    if (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
        message == WM_RBUTTONDOWN || message == WM_RBUTTONUP || message == WM_MBUTTONDOWN || message == WM_MBUTTONUP)
        relayGuideTooltipEvent(app.paint, window, message, wParam, lParam);
    switch (message) {
        case WM_CREATE:
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            paintGuideWindow(window, dc, *app.clock, *app.layout, app.store.get(), app.paintInputs, app.paint);
            EndPaint(window, &ps);
            return 0;
        }
        case WM_COMMAND:
            if (onCommand(app, LOWORD(wParam))) return 0;
            break;
        case WM_TIMER:
            onTimer(app, wParam);
            return 0;
        case WM_HSCROLL:
            app.layout->scrollHorizontal(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_VSCROLL:
            app.layout->scrollVertical(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_LBUTTONDOWN:
            onButtonDown(app, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSEMOVE:
            onMouseMove(app, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), wParam);
            return 0;
        case WM_LBUTTONUP:
            onButtonUp(app, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSEWHEEL:
            onWheel(app, wParam, lParam);
            return 0;
        case WM_KEYDOWN:
            if (onGuideKey(app, wParam)) return 0;
            break;
        case WM_SIZE:
            placeFindBar(app);
            break;
        case WM_DROPFILES:
            openDroppedFiles(app, reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_DESTROY:
            onDestroy(app);
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace corvane
