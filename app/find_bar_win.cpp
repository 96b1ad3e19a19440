#include "app/find_bar_win.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/find_settings.h"
#include "app/guide_keys_win.h"
#include "guide/guide_navigation.h"
#include "guide/programme_search.h"
#include "resources/resource.h"
#include "store/dialog_state_win.h"

namespace corvane {

namespace {

constexpr int kMargin = 2;  // pixels between the bar and the client area's edges

struct FindBarState {
    AppState* app = nullptr;
    HBRUSH noMatchBrush = nullptr;
    bool noMatch = false;
    bool filling = false;  // the texts are being set: no search
};

using OwnedState = OwnedDialogState<FindBarState>;

std::string queryOf(HWND bar) {
    char text[512] = {};
    GetDlgItemTextA(bar, IDC_FIND_QUERY, text, sizeof text);
    return text;
}

FindBarSettings valuesOf(HWND bar) {
    return {queryOf(bar), IsDlgButtonChecked(bar, IDC_FIND_DESCRIPTIONS) == BST_CHECKED,
            IsDlgButtonChecked(bar, IDC_FIND_KANA) == BST_CHECKED};
}

// Every match in the view, through the index of the guide as it is now.
std::vector<SearchHit> matches(AppState& app, const FindBarSettings& values) {
    if (app.searchStale) {
        app.search.rebuild(app.layout->events, app.store.get());
        app.searchStale = false;
    }
    const std::vector<int> services = searchedServices(*app.layout);
    return app.search.find(values.query, SearchOptions{values.descriptions, values.kana}, services);
}

int indexOfSelection(const AppState& app, const std::vector<SearchHit>& hits) {
    const Selection selected = app.layout->view.selection;
    for (size_t k = 0; k < hits.size(); ++k)
        if (hits[k].service == selected.service && hits[k].event == selected.event) return static_cast<int>(k);
    return -1;
}

// Nothing typed but blanks (ASCII or ideographic): no count, no colour.
bool blankQuery(const std::string& query) {
    for (size_t i = 0; i < query.size(); ++i) {
        if (query[i] == ' ' || query[i] == '\t') continue;
        if (query.compare(i, 2, "\x81\x40") == 0) {
            ++i;
            continue;
        }
        return false;
    }
    return true;
}

void markNoMatch(HWND bar, FindBarState& state, bool noMatch) {
    if (state.noMatch == noMatch) return;
    state.noMatch = noMatch;
    InvalidateRect(GetDlgItem(bar, IDC_FIND_QUERY), nullptr, TRUE);
}

// Runs the search; `step` 0 for a changed query (the first match from the top
// of the view, or the selection while it matches), else the next or previous
// match.
void search(HWND bar, FindBarState& state, int step) {
    AppState& app = *state.app;
    if (app.layout->view.guideBegin == 0) return;
    const FindBarSettings values = valuesOf(bar);
    const std::vector<SearchHit> hits = matches(app, values);
    const bool blank = blankQuery(values.query);
    SetDlgItemTextA(bar, IDC_FIND_COUNT, blank ? "" : (std::to_string(hits.size()) + " 件").c_str());
    markNoMatch(bar, state, hits.empty() && !blank);
    if (hits.empty()) return;
    int k = indexOfSelection(app, hits);
    const int64_t top = viewTopTime(*app.layout);
    if (k < 0) {
        k = firstHitFrom(hits, top);
        if (step < 0) k = previousHit(hits, hits[k].start >= top ? k : static_cast<int>(hits.size()));
    } else if (step != 0) {
        k = step > 0 ? nextHit(hits, k) : previousHit(hits, k);
    }
    selectProgramme(app, Selection{hits[k].service, hits[k].event});
}

void fill(HWND bar, FindBarState& state, const FindBarSettings& values) {
    state.filling = true;
    SetDlgItemTextA(bar, IDC_FIND_QUERY, values.query.c_str());
    CheckDlgButton(bar, IDC_FIND_DESCRIPTIONS, values.descriptions ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(bar, IDC_FIND_KANA, values.kana ? BST_CHECKED : BST_UNCHECKED);
    state.filling = false;
}

INT_PTR CALLBACK findBarProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        FindBarState& state = OwnedState::attach(bar, std::make_unique<FindBarState>());
        state.app = reinterpret_cast<AppState*>(lParam);
        state.noMatchBrush = CreateSolidBrush(kNoMatchBackground);
        SendDlgItemMessageW(bar, IDC_FIND_QUERY, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"番組を検索"));
        fill(bar, state, readFindBarSettings(*state.app->settings));
        return FALSE;  // hidden: no focus
    }
    FindBarState* state = OwnedState::of(bar);
    if (!state) return FALSE;
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam), code = HIWORD(wParam);
            if (id == IDC_FIND_QUERY && code == EN_CHANGE) {
                if (!state->filling) search(bar, *state, 0);
            } else if ((id == IDC_FIND_DESCRIPTIONS || id == IDC_FIND_KANA) && code == BN_CLICKED) {
                search(bar, *state, 0);
            } else if (id == IDOK) {
                search(bar, *state, keyHeld(VK_SHIFT) ? -1 : 1);
            } else if (id == IDC_FIND_PREVIOUS) {
                search(bar, *state, -1);
            } else if (id == IDCANCEL) {
                closeFindBar(*state->app);
            } else {
                return FALSE;
            }
            return TRUE;
        }
        case WM_CTLCOLOREDIT:
            if (state->noMatch && reinterpret_cast<HWND>(lParam) == GetDlgItem(bar, IDC_FIND_QUERY)) {
                SetBkColor(reinterpret_cast<HDC>(wParam), kNoMatchBackground);
                return reinterpret_cast<INT_PTR>(state->noMatchBrush);
            }
            return FALSE;
        case WM_DESTROY:
            writeFindBarSettings(*state->app->settings, valuesOf(bar));
            DeleteObject(state->noMatchBrush);
            state->noMatchBrush = nullptr;
            return TRUE;
        case WM_NCDESTROY:
            OwnedState::release(bar);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

HWND createFindBar(AppState& app) {
    return CreateDialogParamA(app.instance, MAKEINTRESOURCEA(IDD_FIND_BAR), app.mainWindow, findBarProc,
                              reinterpret_cast<LPARAM>(&app));
}

void placeFindBar(AppState& app) {
    if (!app.findBar) return;
    RECT client{}, bar{};
    GetClientRect(app.mainWindow, &client);
    GetWindowRect(app.findBar, &bar);
    const int width = bar.right - bar.left;
    SetWindowPos(app.findBar, HWND_TOP, std::max(0, static_cast<int>(client.right) - width - kMargin), 0, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
}

void openFindBar(AppState& app) {
    if (!app.findBar) return;
    placeFindBar(app);
    ShowWindow(app.findBar, SW_SHOW);
    HWND query = GetDlgItem(app.findBar, IDC_FIND_QUERY);
    SetFocus(query);
    SendMessageA(query, EM_SETSEL, 0, -1);
}

void findNextMatch(AppState& app, int direction) {
    if (!app.findBar) return;
    if (!IsWindowVisible(app.findBar)) openFindBar(app);
    if (FindBarState* state = OwnedState::of(app.findBar)) search(app.findBar, *state, direction < 0 ? -1 : 1);
}

void closeFindBar(AppState& app) {
    if (!app.findBar) return;
    const bool hadFocus = windowWithin(GetFocus(), app.findBar);
    writeFindBarSettings(*app.settings, valuesOf(app.findBar));
    ShowWindow(app.findBar, SW_HIDE);
    InvalidateRect(app.mainWindow, nullptr, FALSE);
    if (hadFocus || !GetFocus()) SetFocus(app.mainWindow);
}

bool findBarKey(AppState& app, const MSG& msg) {
    if (msg.message != WM_KEYDOWN || !app.findBar) return false;
    const bool shift = keyHeld(VK_SHIFT);
    if (msg.wParam == VK_F3 && (msg.hwnd == app.mainWindow || windowWithin(msg.hwnd, app.findBar) ||
                                windowWithin(msg.hwnd, app.popupWindow))) {
        findNextMatch(app, shift ? -1 : 1);
        return true;
    }
    if (!windowWithin(msg.hwnd, app.findBar)) return false;
    if (msg.wParam == VK_RETURN) {
        findNextMatch(app, shift ? -1 : 1);
        return true;
    }
    if (msg.wParam == VK_ESCAPE) {
        closeFindBar(app);
        return true;
    }
    return false;
}

}  // namespace corvane
