#include "guide/popup_win.h"

#include <algorithm>
#include <memory>

#include "guide/popup_text.h"
#include "resources/resource.h"
#include "store/dialog_state_win.h"

namespace corvane {

namespace {

constexpr int kMargin = 4;  // pixels around the buttons and beside the two lines

struct PopupState {
    PopupHost* host = nullptr;
    bool shown = false;
    bool byKeyboard = false;  // shown for the keyboard's selection: the pointer is not watched
    int hideCounter = 0;
    SIZE registerButton{};  // measured once, at creation
    SIZE closeButton{};
    HBRUSH background = nullptr;
    bool dragging = false;
    POINT windowAtPress{};
    POINT pointerAtPress{};
};

using OwnedState = OwnedDialogState<PopupState>;

PopupState* stateOf(HWND popup) { return OwnedState::of(popup); }

SIZE windowSize(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void stopDragging(PopupState& state) {
    if (!state.dragging) return;
    state.dragging = false;
    ReleaseCapture();
}

void hide(HWND popup, PopupState& state) {
    stopDragging(state);
    if (state.shown) ShowWindow(popup, SW_HIDE);
    state.shown = false;
    KillTimer(popup, TIMER_POPUP_WATCH);
    if (HWND main = state.host->mainWindow()) SetFocus(main);
}

void deselectAndHide(HWND popup, PopupState& state) {
    state.host->layout().view.selection = Selection{};
    hide(popup, state);
}

// Buttons in the top right corner, the two lines of text left of them and
// the description filling the rest. The buttons keep their visibility: the
// registration button stays hidden when nothing can be registered.
void layoutControls(HWND popup, const PopupState& state) {
    RECT client{};
    GetClientRect(popup, &client);
    const int width = client.right;
    const int height = client.bottom;
    const int w1 = state.registerButton.cx, h1 = state.registerButton.cy;
    const int w2 = state.closeButton.cx, h2 = state.closeButton.cy;
    const int lineHeight = (h2 + 2 * kMargin) / 2;
    const int lineWidth = std::max(0, width - w1 - w2 - 3 * kMargin);
    const int textTop = h2 + 2 * kMargin;
    MoveWindow(GetDlgItem(popup, IDCANCEL), width - w2 - kMargin, kMargin, w2, h2, TRUE);
    MoveWindow(GetDlgItem(popup, IDOK), width - w1 - w2 - 2 * kMargin, kMargin, w1, h1, TRUE);
    MoveWindow(GetDlgItem(popup, IDC_POPUP_TITLE), kMargin, 0, lineWidth, lineHeight, TRUE);
    MoveWindow(GetDlgItem(popup, IDC_POPUP_TIME), kMargin, lineHeight, lineWidth, lineHeight, TRUE);
    MoveWindow(GetDlgItem(popup, IDC_POPUP_TEXT), 0, textTop, width, std::max(0, height - textTop), TRUE);
}

void startDragging(HWND popup, PopupState& state) {
    RECT r{};
    GetWindowRect(popup, &r);
    state.windowAtPress = POINT{r.left, r.top};
    GetCursorPos(&state.pointerAtPress);
    state.dragging = true;
    SetCapture(popup);
}

void followPointer(HWND popup, const PopupState& state) {
    POINT pointer{};
    GetCursorPos(&pointer);
    SetWindowPos(popup, nullptr, state.windowAtPress.x + pointer.x - state.pointerAtPress.x,
                 state.windowAtPress.y + pointer.y - state.pointerAtPress.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void tick(HWND popup, PopupState& state, POINT pointer) {
    if (!state.shown || state.byKeyboard) return;
    if (++state.hideCounter >= kPopupHideTicks) {
        deselectAndHide(popup, state);
        return;
    }
    RECT r{};
    GetWindowRect(popup, &r);
    if (pointer.x >= r.left && pointer.x <= r.right && pointer.y >= r.top && pointer.y <= r.bottom) {
        state.hideCounter = 0;
    } else if (pointer.x < r.left - kPopupLeaveDistance || pointer.x > r.right + kPopupLeaveDistance ||
               pointer.y < r.top - kPopupLeaveDistance || pointer.y > r.bottom + kPopupLeaveDistance) {
        deselectAndHide(popup, state);
    }
}

bool paintsOnBackground(HWND control) {
    const int id = GetDlgCtrlID(control);
    return id == IDC_POPUP_TEXT || id == IDC_POPUP_TITLE || id == IDC_POPUP_TIME;
}

void fillPopup(PopupHost& host, HWND popup, Selection selection) {
    const GuideLayout& layout = host.layout();
    const GuideEvent& event = layout.events[selection.service][selection.event];
    const PopupTexts texts = popupTexts(host.store(), selection.service, layout.channels[selection.service], event);
    host.prepareRegistration(popup, selection.service, event);
    SetDlgItemTextA(popup, IDC_POPUP_TITLE, texts.title.c_str());
    SetDlgItemTextA(popup, IDC_POPUP_TIME, texts.time.c_str());
    // Hidden while it changes so that the old text never flickers through.
    HWND description = GetDlgItem(popup, IDC_POPUP_TEXT);
    ShowWindow(description, SW_HIDE);
    SetWindowTextA(description, texts.description.c_str());
}

// Shows the popup at `at` with its description scrolled to the top. For the
// keyboard it is not activated, so that the next key still moves the
// selection, and the pointer is not watched; for a click it is, and it is.
void showAt(HWND popup, PopupState& state, POINT at, bool byKeyboard) {
    HWND description = GetDlgItem(popup, IDC_POPUP_TEXT);
    // EM_SCROLL knows no SB_TOP; the scroll-bar message does.
    SendMessageA(description, WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
    ShowWindow(description, SW_SHOW);
    SetWindowPos(popup, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!state.shown || state.byKeyboard != byKeyboard) ShowWindow(popup, byKeyboard ? SW_SHOWNOACTIVATE : SW_SHOW);
    state.shown = true;
    state.byKeyboard = byKeyboard;
    state.hideCounter = 0;
    if (byKeyboard)
        KillTimer(popup, TIMER_POPUP_WATCH);
    else
        SetTimer(popup, TIMER_POPUP_WATCH, kPopupWatchPeriod, nullptr);
}

INT_PTR CALLBACK popupProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    PopupState* state = stateOf(dialog);
    switch (message) {
        case WM_INITDIALOG: {
            state = &OwnedState::attach(dialog, std::make_unique<PopupState>());
            state->host = reinterpret_cast<PopupHost*>(lParam);
            const LONG_PTR style = GetWindowLongPtrA(dialog, GWL_STYLE);
            SetWindowLongPtrA(dialog, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION));
            SetWindowPos(dialog, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            state->registerButton = windowSize(GetDlgItem(dialog, IDOK));
            state->closeButton = windowSize(GetDlgItem(dialog, IDCANCEL));
            state->background = CreateSolidBrush(kPopupBackground);
            layoutControls(dialog, *state);
            return FALSE;  // no focus: the popup is created hidden
        }
        case WM_SIZE:
            if (state) layoutControls(dialog, *state);
            return TRUE;
        case WM_GETMINMAXINFO: {
            MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize.x = kPopupMinWidth;
            info->ptMinTrackSize.y = kPopupMinHeight;
            return TRUE;
        }
        case WM_COMMAND: {
            if (!state) return FALSE;
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if ((id == IDC_POPUP_TITLE || id == IDC_POPUP_TIME) && code == STN_CLICKED) {
                startDragging(dialog, *state);
            } else if (id == IDOK) {
                if (HWND main = state->host->mainWindow()) PostMessageA(main, WM_COMMAND, IDM_POPUP_REGISTER, 0);
            } else if (id == IDCANCEL) {
                deselectAndHide(dialog, *state);
            } else {
                return FALSE;
            }
            return TRUE;
        }
        case WM_CLOSE:
            if (state) deselectAndHide(dialog, *state);
            return TRUE;
        case WM_MOUSEMOVE:
            if (state && state->dragging) followPointer(dialog, *state);
            return TRUE;
        case WM_LBUTTONUP:
            if (state && state->dragging) {
                followPointer(dialog, *state);
                stopDragging(*state);
            }
            return TRUE;
        case WM_CAPTURECHANGED:
            // Capture taken away (another window, a system dialog): the drag ends there.
            if (state && reinterpret_cast<HWND>(lParam) != dialog) state->dragging = false;
            return TRUE;
        case WM_TIMER:
            if (state && wParam == TIMER_POPUP_WATCH) {
                POINT pointer{};
                GetCursorPos(&pointer);
                tick(dialog, *state, pointer);
                return TRUE;
            }
            return FALSE;
        case WM_CTLCOLORSTATIC:
            if (state && paintsOnBackground(reinterpret_cast<HWND>(lParam))) {
                SetBkColor(reinterpret_cast<HDC>(wParam), kPopupBackground);
                return reinterpret_cast<INT_PTR>(state->background);
            }
            return FALSE;
        case WM_CTLCOLORDLG:
            return state ? reinterpret_cast<INT_PTR>(state->background) : FALSE;
        case WM_DESTROY:
            if (state) {
                KillTimer(dialog, TIMER_POPUP_WATCH);
                stopDragging(*state);
                RECT r{};
                GetWindowRect(dialog, &r);
                writePopupPlacement(state->host->settings(), r.left, r.top, r.right - r.left, r.bottom - r.top);
                DeleteObject(state->background);
            }
            return TRUE;
        case WM_NCDESTROY:
            OwnedState::release(dialog);
            return FALSE;
    }
    return FALSE;
}

}  // namespace

HWND createPopupWindow(HINSTANCE instance, PopupHost& host, const DialogPlacement& placement) {
    HWND popup = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_POPUP), host.mainWindow(), popupProc,
                                    reinterpret_cast<LPARAM>(&host));
    if (popup && placement.stored)
        SetWindowPos(popup, nullptr, placement.x, placement.y, placement.width, placement.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    return popup;
}

void clickGuide(PopupHost& host, HWND popup, int x, int y) {
    GuideLayout& layout = host.layout();
    if (layout.view.contentWidth == 0) return;  // no data
    if (x < kTimeColumnWidth) {
        if (y < kHeaderHeight) {  // the corner button "現在へ"
            layout.jumpToNow();
            // The selection goes with the popup: a click on that programme
            // afterwards shows it again instead of only deselecting it.
            layout.view.selection = Selection{};
            hidePopup(popup);
        }
        return;
    }
    if (y < kHeaderHeight) return;  // column headers

    const Selection hit = layout.hitTest(x, y);
    if (hit == Selection{} || hit == layout.view.selection) {
        layout.view.selection = Selection{};
        hidePopup(popup);
        return;
    }
    layout.view.selection = hit;
    if (!stateOf(popup)) return;
    fillPopup(host, popup, hit);
    // Beside the click itself, not beside the pointer: a click handled late
    // (the program busy writing settings, reading reservations, painting)
    // finds the pointer already on its way to where the user expects the
    // button, and a popup opened there takes the press beside its button.
    POINT click{x, y};
    ClientToScreen(host.mainWindow(), &click);
    showPopup(popup, click.x, click.y);
}

void showPopup(HWND popup, int x, int y) {
    PopupState* state = stateOf(popup);
    if (!state) return;
    const SIZE size = windowSize(popup);
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    const int desktopWidth = desktop.right - desktop.left;
    const int desktopHeight = desktop.bottom - desktop.top;
    const int left = desktopWidth < size.cx + x + kPopupPointerGap ? x - size.cx - kPopupPointerGap
                                                                    : x + kPopupPointerGap;
    const int top = desktopHeight < size.cy + y + kPopupPointerGap ? y - size.cy - kPopupPointerGap
                                                                    : y + kPopupPointerGap;
    showAt(popup, *state, POINT{left, top}, false);
}

void showPopupForKeyboard(PopupHost& host, HWND popup, Selection selection, const RECT& block) {
    PopupState* state = stateOf(popup);
    GuideLayout& layout = host.layout();
    layout.view.selection = selection;
    if (!state || !layout.selectedEvent()) return;
    fillPopup(host, popup, selection);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const SIZE size = windowSize(popup);
    const WindowRect place =
        popupBesideBlock(WindowRect{block.left, block.top, block.right - block.left, block.bottom - block.top}, size.cx,
                         size.cy, WorkArea{work.left, work.top, work.right, work.bottom}, kPopupPointerGap);
    showAt(popup, *state, POINT{place.x, place.y}, true);
}

void hidePopup(HWND popup) {
    if (PopupState* state = stateOf(popup)) hide(popup, *state);
}

void popupTick(HWND popup, POINT pointer) {
    if (PopupState* state = stateOf(popup)) tick(popup, *state, pointer);
}

bool popupShown(HWND popup) {
    const PopupState* state = stateOf(popup);
    return state && state->shown;
}

bool popupCovers(HWND popup, POINT point) {
    RECT r{};
    return popupShown(popup) && GetWindowRect(popup, &r) && PtInRect(&r, point);
}

HWND popupButtonAt(HWND popup, POINT point) {
    if (!popupCovers(popup, point)) return nullptr;
    for (int id : {IDOK, IDCANCEL}) {
        HWND button = GetDlgItem(popup, id);
        RECT r{};
        if (button && IsWindowVisible(button) && IsWindowEnabled(button) && GetWindowRect(button, &r) &&
            PtInRect(&r, point))
            return button;
    }
    return nullptr;
}

}  // namespace corvane
