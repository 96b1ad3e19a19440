#include "dialogs/update_info_win.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "dialogs/guide_cover_win.h"
#include "dialogs/list_rows_win.h"
#include "dialogs/update_info.h"
#include "guide/window_placement.h"
#include "resources/resource.h"
#include "store/dialog_state_win.h"

namespace corvane {

namespace {

constexpr int kButtonGap = 8;     // between the list and the window's edges, and below the list

const char* const kColumnTitles[kUpdateColumnCount] = {"CH", "日時", "元情報", "更新情報"};

struct UpdateWindowState {
    UpdateInfoHost* host = nullptr;
    UpdateInfoRows rows;  // as of the last refresh, in the order shown
};

using OwnedState = OwnedDialogState<UpdateWindowState>;

UpdateWindowState* stateOf(HWND window) { return OwnedState::of(window); }

HWND listOf(HWND window) { return GetDlgItem(window, IDC_UPDATE_LIST); }

void initialise(HWND window, UpdateWindowState& state) {
    const UpdateWindowWidths widths = readUpdateWindowWidths(state.host->settings());
    addListColumns(listOf(window), kColumnTitles, widths.data(), kUpdateColumnCount);
}

SIZE sizeOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// The list above, "クリア" at the left and "閉じる" at the right below it; the
// buttons keep their sizes.
void layoutControls(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    HWND clear = GetDlgItem(window, IDC_UPDATE_CLEAR);
    HWND close = GetDlgItem(window, IDCANCEL);
    const SIZE closeSize = sizeOf(close);
    const int listHeight = std::max(0, static_cast<int>(client.bottom - closeSize.cy - kButtonGap));
    MoveWindow(listOf(window), 0, 0, client.right, listHeight, TRUE);
    const UINT keepSize = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(clear, nullptr, kButtonGap, listHeight + 4, 0, 0, keepSize);
    SetWindowPos(close, nullptr, client.right - closeSize.cx - kButtonGap, listHeight + 4, 0, 0, keepSize);
}

// The rows are virtual: the list knows only how many there are, and draws,
// sorts and clicks through the window's own rows.
void showRowCount(HWND list, size_t count) {
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(list, LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL);
}

void refresh(HWND window, UpdateWindowState& state) {
    UpdateInfoHost& host = *state.host;
    const EpgStore* store = host.store();
    try {
        state.rows.refresh(host.changes(), store,
                           [names = store ? shownColumnNames(*store) : std::vector<std::string>{}](int service) {
                               return shownNameAt(names, service);
                           });
    } catch (const std::bad_alloc&) {
        // The rows of the last refresh stay, and with them what "クリア" takes.
    }
    HWND list = listOf(window);
    showRowCount(list, state.rows.size());
    showSortArrow(list, -1, false);  // the rows come in the change list's order; the flags stay
    if (state.rows.size() > 0) SendMessageA(list, LVM_ENSUREVISIBLE, state.rows.size() - 1, FALSE);
    InvalidateRect(list, nullptr, TRUE);
}

void drawRow(HWND window, const UpdateWindowState& state, const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1)) return;
    const UpdateRow* row = state.rows.rowAt(item.itemID);
    if (!row) return;
    HWND list = listOf(window);
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const UpdateRowPlan plan = updateRowPlan(*row, static_cast<int>(item.itemID), selected,
                                             {GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT)});
    drawListRow(list, item, row->texts.data(), plan.data(), kUpdateColumnCount);
}

// The cell's text, for anyone who asks the list (the rows draw themselves).
void giveText(const UpdateWindowState& state, LVITEMA& item) {
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    const UpdateRow* row = state.rows.rowAt(static_cast<size_t>(std::max(item.iItem, 0)));
    const std::string* text =
        row && item.iSubItem >= 0 && item.iSubItem < kUpdateColumnCount ? &row->texts[item.iSubItem] : nullptr;
    lstrcpynA(item.pszText, text ? text->c_str() : "", item.cchTextMax);
}

void giveText(const UpdateWindowState& state, LVITEMW& item) {
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    const UpdateRow* row = state.rows.rowAt(static_cast<size_t>(std::max(item.iItem, 0)));
    const std::string* text =
        row && item.iSubItem >= 0 && item.iSubItem < kUpdateColumnCount ? &row->texts[item.iSubItem] : nullptr;
    item.pszText[0] = L'\0';
    if (!text || text->empty()) return;
    const int written = MultiByteToWideChar(932, 0, text->data(), static_cast<int>(text->size()), item.pszText,
                                            item.cchTextMax - 1);
    item.pszText[std::max(written, 0)] = L'\0';
}

// Sorting moves rows, so the rows selected and the one with the focus are
// found again at their new places.
void sortByColumn(HWND window, UpdateWindowState& state, int column) {
    HWND list = listOf(window);
    std::vector<bool> selected(state.rows.size());
    int64_t focused = -1;
    for (int at = -1; (at = ListView_GetNextItem(list, at, LVNI_SELECTED)) >= 0;) {
        const int64_t value = state.rows.valueAt(at);
        if (value >= 0) selected[value] = true;
    }
    const int focus = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
    if (focus >= 0) focused = state.rows.valueAt(focus);

    const int direction = state.rows.sortBy(column);
    if (direction < 0) return;
    showSortArrow(list, column, direction == 1);

    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (size_t at = 0; at < state.rows.size(); ++at)
        if (selected[state.rows.valueAt(at)]) ListView_SetItemState(list, at, LVIS_SELECTED, LVIS_SELECTED);
    if (focused >= 0) {
        const int64_t at = state.rows.positionOf(focused);
        ListView_SetItemState(list, at, LVIS_FOCUSED, LVIS_FOCUSED);
        ListView_SetSelectionMark(list, at);
    }
    InvalidateRect(list, nullptr, FALSE);
}

// A click frames the programme in the guide: its newer times, or the older
// ones when it was removed.
void showInGuide(HWND window, UpdateWindowState& state, const UpdateRow& row) {
    UpdateInfoHost& host = *state.host;
    const bool removed = row.newStart == 0;
    HighlightedProgramme& highlight = host.highlight();
    highlight = HighlightedProgramme{HighlightOwner::updateInfo, row.serviceId, row.networkClass,
                                     removed ? row.oldStart : row.newStart, removed ? row.oldEnd : row.newEnd, -1};
    const int service = storeServiceIndex(host.store(), row.networkClass, row.serviceId);
    const std::optional<Rect> covered = guideAreaCoveredBy(window, host.mainWindow());
    highlight.dayColumn = host.layout().showProgramme(service, highlight.start, highlight.end, covered ? &*covered : nullptr);
    InvalidateRect(host.mainWindow(), nullptr, FALSE);
}

// "クリア": the listed changes go, those found since the refresh stay.
void clearListed(HWND window, UpdateWindowState& state) {
    UpdateInfoHost& host = *state.host;
    showRowCount(listOf(window), 0);
    state.rows.clear(host.changes());
    HighlightedProgramme& highlight = host.highlight();
    if (highlight.owner == HighlightOwner::updateInfo) highlight.clearTimes();
    InvalidateRect(host.mainWindow(), nullptr, TRUE);
}

bool onNotify(HWND window, UpdateWindowState& state, const NMHDR& header) {
    if (header.idFrom != IDC_UPDATE_LIST) return false;
    switch (header.code) {
        case LVN_GETDISPINFOA: giveText(state, reinterpret_cast<NMLVDISPINFOA&>(const_cast<NMHDR&>(header)).item); return true;
        case LVN_GETDISPINFOW: giveText(state, reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header)).item); return true;
        case LVN_ODFINDITEMA:
        case LVN_ODFINDITEMW:
            // Typing does not search the rows.
            SetWindowLongPtrA(window, DWLP_MSGRESULT, -1);
            return true;
        case LVN_COLUMNCLICK:
            sortByColumn(window, state, reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
            return true;
        case NM_CLICK: {
            const int item = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
            if (const UpdateRow* row = item < 0 ? nullptr : state.rows.rowAt(item)) showInGuide(window, state, *row);
            return true;
        }
        default: return false;
    }
}

void hideWindow(HWND window, UpdateWindowState& state) {
    HWND main = state.host->mainWindow();
    if (main) InvalidateRect(main, nullptr, FALSE);
    ShowWindow(window, SW_HIDE);
    if (main) SetFocus(main);
}

void saveSettings(HWND window, UpdateWindowState& state) {
    Settings& settings = state.host->settings();
    writeUpdateWindowWidths(settings, listColumnWidths<kUpdateColumnCount>(listOf(window)));
    const RECT rect = restoredWindowRect(window);
    writeUpdateWindowPlacement(settings, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

INT_PTR CALLBACK updateInfoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        UpdateWindowState& state = OwnedState::attach(window, std::make_unique<UpdateWindowState>());
        state.host = reinterpret_cast<UpdateInfoHost*>(lParam);
        initialise(window, state);
        layoutControls(window);
        return FALSE;  // hidden: it must not take the focus
    }
    UpdateWindowState* state = stateOf(window);
    if (!state) return FALSE;
    switch (message) {
        case WM_SIZE:
            layoutControls(window);
            return TRUE;
        case WM_DRAWITEM:
            if (wParam != IDC_UPDATE_LIST) return FALSE;
            drawRow(window, *state, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_NOTIFY:
            return onNotify(window, *state, *reinterpret_cast<const NMHDR*>(lParam));
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDM_UPDATE_REFRESH: refresh(window, *state); return TRUE;
                case IDC_UPDATE_CLEAR: clearListed(window, *state); return TRUE;
                case IDCANCEL: hideWindow(window, *state); return TRUE;
                case IDOK: {  // Enter on a row: what its click does
                    const int item = ListView_GetNextItem(listOf(window), -1, LVNI_SELECTED);
                    if (const UpdateRow* row = item < 0 ? nullptr : state->rows.rowAt(item))
                        showInGuide(window, *state, *row);
                    return TRUE;
                }
                default: return FALSE;
            }
        case WM_CLOSE:
            hideWindow(window, *state);
            return TRUE;
        case WM_DESTROY:
            saveSettings(window, *state);
            return TRUE;
        case WM_NCDESTROY:
            OwnedState::release(window);
            return TRUE;
        default: return FALSE;
    }
}

}  // namespace

HWND createUpdateInfoWindow(HINSTANCE instance, UpdateInfoHost& host) {
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_UPDATE_INFO), host.mainWindow(), updateInfoProc,
                              reinterpret_cast<LPARAM>(&host));
}

int64_t updateInfoRowValue(HWND window, int position) {
    const UpdateWindowState* state = stateOf(window);
    return state && position >= 0 ? state->rows.valueAt(static_cast<size_t>(position)) : -1;
}

}  // namespace corvane
