#include "dialogs/update_info_win.h"

#include <commctrl.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "dialogs/update_info.h"
#include "dialogs/window_placement.h"
#include "resources/resource.h"

namespace corvane {

namespace {

constexpr int kFirstPieceMargin = 2;
constexpr int kRightAlignedMargin = 6;
constexpr int kButtonGap = 8;     // between the list and the window's edges, and below the list
constexpr int kMaxColumnWidth = 32767;

const char* const kColumnTitles[kUpdateColumnCount] = {"CH", "日時", "元情報", "更新情報"};

struct UpdateWindowState {
    UpdateInfoHost* host = nullptr;
    UpdateInfoRows rows;  // as of the last refresh, in the order shown
};

UpdateWindowState* stateOf(HWND window) {
    return window ? reinterpret_cast<UpdateWindowState*>(GetWindowLongPtrA(window, DWLP_USER)) : nullptr;
}

HWND listOf(HWND window) { return GetDlgItem(window, IDC_UPDATE_LIST); }

void initialise(HWND window, UpdateWindowState& state) {
    HWND list = listOf(window);
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const UpdateWindowWidths widths = readUpdateWindowWidths(state.host->settings());
    for (int column = 0; column < kUpdateColumnCount; ++column) {
        LVCOLUMNA entry{};
        entry.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        entry.fmt = LVCFMT_LEFT;
        entry.cx = std::clamp(widths[column], 0, kMaxColumnWidth);
        entry.pszText = const_cast<char*>(kColumnTitles[column]);
        entry.iSubItem = column;
        SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&entry));
    }
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
        state.rows.refresh(host.changes(), store, [store](int service) { return columnNameOf(*store, service); });
    } catch (const std::bad_alloc&) {
        // The rows of the last refresh stay, and with them what "クリア" takes.
    }
    HWND list = listOf(window);
    showRowCount(list, state.rows.size());
    if (state.rows.size() > 0) SendMessageA(list, LVM_ENSUREVISIBLE, state.rows.size() - 1, FALSE);
    InvalidateRect(list, nullptr, TRUE);
}

void fillRect(HDC dc, const RECT& rect, uint32_t color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

UINT alignmentOf(HWND list, int column) {
    LVCOLUMNA entry{};
    entry.mask = LVCF_FMT;
    SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&entry));
    switch (entry.fmt & LVCFMT_JUSTIFYMASK) {
        case LVCFMT_RIGHT: return DT_RIGHT;
        case LVCFMT_CENTER: return DT_CENTER;
        default: return DT_LEFT;
    }
}

// Draws the pieces one after another on one line, each from where the last
// one ended.
void drawCell(HDC dc, RECT rect, const std::string& text, const CellPlan& cell, UINT alignment) {
    fillRect(dc, rect, cell.brush);
    rect.left += kFirstPieceMargin;
    if (alignment == DT_RIGHT) rect.right -= kRightAlignedMargin;
    for (const ColoredPiece& piece : cell.pieces) {
        if (rect.left >= rect.right) break;
        SetTextColor(dc, piece.color);
        const char* bytes = text.data() + piece.offset;
        const int length = static_cast<int>(piece.length);
        RECT area = rect;
        DrawTextA(dc, bytes, length, &area, alignment | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        SIZE size{};
        GetTextExtentPoint32A(dc, bytes, length, &size);
        rect.left += size.cx;
    }
}

void drawRow(HWND window, const UpdateWindowState& state, const DRAWITEMSTRUCT& item) {
    if (item.itemID == static_cast<UINT>(-1)) return;
    const UpdateRow* row = state.rows.rowAt(item.itemID);
    if (!row) return;
    HWND list = listOf(window);
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const UpdateRowPlan plan = updateRowPlan(*row, static_cast<int>(item.itemID), selected,
                                             {GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT)});
    const int background = SetBkMode(item.hDC, TRANSPARENT);
    const COLORREF textColor = GetTextColor(item.hDC);
    const int columns = Header_GetItemCount(ListView_GetHeader(list));
    for (int column = 0; column < columns && column < kUpdateColumnCount; ++column) {
        RECT cell{};
        ListView_GetSubItemRect(list, item.itemID, column, column == 0 ? LVIR_LABEL : LVIR_BOUNDS, &cell);
        drawCell(item.hDC, cell, row->texts[column], plan[column], alignmentOf(list, column));
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
    SetTextColor(item.hDC, textColor);
    SetBkMode(item.hDC, background);
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

    if (state.rows.sortBy(column) < 0) return;

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

int storeServiceIndex(const EpgStore* store, int networkClass, int serviceId) {
    if (!store) return -1;
    for (int i = 0; i < kMaxServices && i < store->serviceCount; ++i) {
        const ServiceRecord* record = store->services[i];
        if (!record) break;
        if (record->identifiedBy(networkClass, serviceId)) return i;
    }
    return -1;
}

// A click frames the programme in the guide: its newer times, or the older
// ones when it was removed.
void showInGuide(UpdateWindowState& state, const UpdateRow& row) {
    UpdateInfoHost& host = *state.host;
    const bool removed = row.newStart == 0;
    HighlightedProgramme& highlight = host.highlight();
    highlight = HighlightedProgramme{HighlightOwner::updateInfo, row.serviceId, row.networkClass,
                                     removed ? row.oldStart : row.newStart, removed ? row.oldEnd : row.newEnd, -1};
    const int service = storeServiceIndex(host.store(), row.networkClass, row.serviceId);
    highlight.dayColumn = host.layout().showProgramme(service, highlight.start, highlight.end);
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
            if (const UpdateRow* row = item < 0 ? nullptr : state.rows.rowAt(item)) showInGuide(state, *row);
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
    UpdateWindowWidths widths{};
    for (int column = 0; column < kUpdateColumnCount; ++column)
        widths[column] = ListView_GetColumnWidth(listOf(window), column);
    writeUpdateWindowWidths(settings, widths);
    // A minimised or maximised window is stored where it will be restored to.
    RECT rect{};
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if ((IsIconic(window) || IsZoomed(window)) && GetWindowPlacement(window, &placement))
        rect = placement.rcNormalPosition;
    else
        GetWindowRect(window, &rect);
    writeUpdateWindowPlacement(settings, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

INT_PTR CALLBACK updateInfoProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* state = new UpdateWindowState;
        state->host = reinterpret_cast<UpdateInfoHost*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
        initialise(window, *state);
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
                default: return FALSE;
            }
        case WM_CLOSE:
            hideWindow(window, *state);
            return TRUE;
        case WM_DESTROY:
            saveSettings(window, *state);
            return TRUE;
        case WM_NCDESTROY:
            SetWindowLongPtrA(window, DWLP_USER, 0);
            delete state;
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
