#include "dialogs/reservation_list_win.h"

#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>

#include "dialogs/guide_cover_win.h"
#include "dialogs/list_rows_win.h"
#include "dialogs/reservation_list.h"
#include "guide/window_placement.h"
#include "resources/resource.h"
#include "store/dialog_state_win.h"

namespace corvane {

namespace {

const char* const kColumnTitles[kReservationColumnCount] = {"CH", "日時", "予約番組", "装置", "EPG番組"};

struct ListWindowState {
    ReservationListHost* host = nullptr;
    std::vector<ReservationRow> rows;  // by row value, as of the last fill
    ReservationListSort sort;
    std::optional<JobDeletion> remembered;  // the job a right click offered
};

using OwnedState = OwnedDialogState<ListWindowState>;

ListWindowState* stateOf(HWND window) { return OwnedState::of(window); }

HWND listOf(HWND window) { return GetDlgItem(window, IDC_RESERVATION_LIST); }

int64_t rowValueAt(HWND list, int item) {
    LVITEMA entry{};
    entry.mask = LVIF_PARAM;
    entry.iItem = item;
    if (item < 0 || !SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&entry))) return -1;
    return static_cast<int64_t>(entry.lParam);
}

const ReservationRow* rowOfItem(const ListWindowState& state, HWND list, int item) {
    return reservationRowAt(state.rows, rowValueAt(list, item));
}

void initialise(HWND window, ListWindowState& state) {
    HMENU system = GetSystemMenu(window, FALSE);
    InsertMenuA(system, SC_CLOSE, MF_BYCOMMAND | MF_STRING, IDM_RESERVATION_UPDATE, "予約リストの更新(&U)");

    const ReservationListWidths widths = readReservationListWidths(state.host->settings());
    addListColumns(listOf(window), kColumnTitles, widths.data(), kReservationColumnCount);
    PostMessageA(window, WM_SIZE, 0, 0);
    PostMessageA(window, WM_COMMAND, IDM_RESERVATION_REFRESH, 0);
}

void fillList(HWND window, ListWindowState& state) {
    ReservationListHost& host = *state.host;
    GuideLayout& layout = host.layout();
    const EpgStore* store = host.store();
    state.rows = refreshReservationRows(host.reservations(), store, layout.events, host.presets(),
                                        [names = store ? shownColumnNames(*store) : std::vector<std::string>{}](int service) {
                                            return shownNameAt(names, service);
                                        });

    HWND list = listOf(window);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    showSortArrow(list, -1, false);  // the rows come in the list's order; the flags stay
    for (size_t n = 0; n < state.rows.size(); ++n) {
        const ReservationRow& row = state.rows[n];
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(n);
        item.pszText = const_cast<char*>(row.texts[0].c_str());
        item.lParam = static_cast<LPARAM>(n);
        const int at = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        for (int column = 1; column < kReservationColumnCount; ++column) {
            LVITEMA text{};
            text.iSubItem = column;
            text.pszText = const_cast<char*>(row.texts[column].c_str());
            SendMessageA(list, LVM_SETITEMTEXTA, at, reinterpret_cast<LPARAM>(&text));
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void drawRow(HWND window, const ListWindowState& state, const DRAWITEMSTRUCT& item) {
    HWND list = listOf(window);
    if (item.itemID == static_cast<UINT>(-1)) return;
    const ReservationRow* row = rowOfItem(state, list, static_cast<int>(item.itemID));
    if (!row) return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const RowPlan plan = reservationRowPlan(*row, static_cast<int>(item.itemID), selected,
                                            {GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT)});
    drawListRow(list, item, row->texts.data(), plan.cells.data(), kReservationColumnCount);
}

struct SortRequest {
    const ListWindowState* state;
    int column;
    int flag;
};

int CALLBACK compareRows(LPARAM a, LPARAM b, LPARAM request) {
    const auto& sort = *reinterpret_cast<const SortRequest*>(request);
    return compareReservationRowValues(sort.state->rows, a, b, sort.column, sort.flag);
}

void sortByColumn(HWND window, ListWindowState& state, int column) {
    const int flag = state.sort.flip(column);
    if (flag < 0) return;
    SortRequest request{&state, column, flag};
    SendMessageA(listOf(window), LVM_SORTITEMS, reinterpret_cast<WPARAM>(&request),
                 reinterpret_cast<LPARAM>(compareRows));
    showSortArrow(listOf(window), column, flag == 1);
}

void showInGuide(HWND window, ListWindowState& state, const ReservationRow& row) {
    ReservationListHost& host = *state.host;
    const std::optional<Rect> covered = guideAreaCoveredBy(window, host.mainWindow());
    showReservationInGuide(host.layout(), host.store(), row.record, covered ? &*covered : nullptr);
}

void offerDeletion(HWND window, ListWindowState& state, const ReservationRow& row) {
    JobDeletion deletion;
    if (!jobDeletionOf(row, deletion)) return;
    state.remembered = deletion;
    SetForegroundWindow(window);
    POINT cursor{};
    GetCursorPos(&cursor);
    const int chosen = state.host->rowMenu().choose(window, cursor.x, cursor.y, IDM_RESERVATION_DELETE, "予約の削除");
    if (chosen == IDM_RESERVATION_DELETE) SendMessageA(window, WM_COMMAND, IDM_RESERVATION_DELETE, 0);
}

// Deletes the job the last right click offered, once the user agreed. The
// outcome is not reported: a job still there keeps its row.
void deleteRememberedJob(ListWindowState& state) {
    if (!state.remembered) return;
    const JobDeletion deletion = *state.remembered;
    state.remembered.reset();
    ReservationListHost& host = *state.host;
    JobNameBatches unused;
    if (host.jobs().listJobNames(unused) != JobStep::none) return;  // no scheduler to ask
    const int answer = host.messageBoxes().show(jobDeletionQuestion(deletion), kJobDeletionCaption,
                                                message_box::yesNo | message_box::iconQuestion);
    if (answer != message_box::idYes) return;
    host.jobs().deleteJob(deletion.jobName);
    host.resetReservationWatch();
}

bool onNotify(HWND window, ListWindowState& state, const NMHDR& header) {
    if (header.idFrom != IDC_RESERVATION_LIST) return false;
    switch (header.code) {
        case LVN_COLUMNCLICK:
            sortByColumn(window, state, reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
            return true;
        case NM_CLICK:
        case NM_RCLICK: {
            const int item = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
            const ReservationRow* row = item < 0 ? nullptr : rowOfItem(state, header.hwndFrom, item);
            if (row && header.code == NM_CLICK) showInGuide(window, state, *row);
            if (row && header.code == NM_RCLICK) offerDeletion(window, state, *row);
            return true;
        }
        default: return false;
    }
}

void hideWindow(HWND window, ListWindowState& state) {
    ShowWindow(window, SW_HIDE);
    if (HWND main = state.host->mainWindow()) SetFocus(main);
}

void saveSettings(HWND window, ListWindowState& state) {
    Settings& settings = state.host->settings();
    writeReservationListWidths(settings, listColumnWidths<kReservationColumnCount>(listOf(window)));
    const RECT rect = restoredWindowRect(window);
    writeReservationListPlacement(settings, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

INT_PTR CALLBACK reservationListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ListWindowState& state = OwnedState::attach(window, std::make_unique<ListWindowState>());
        state.host = reinterpret_cast<ReservationListHost*>(lParam);
        initialise(window, state);
        return TRUE;
    }
    ListWindowState* state = stateOf(window);
    if (!state) return FALSE;
    switch (message) {
        case WM_SIZE: {
            RECT client{};
            GetClientRect(window, &client);
            MoveWindow(listOf(window), 0, 0, client.right, client.bottom, TRUE);
            return TRUE;
        }
        case WM_DRAWITEM:
            if (wParam != IDC_RESERVATION_LIST) return FALSE;
            drawRow(window, *state, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_NOTIFY:
            return onNotify(window, *state, *reinterpret_cast<const NMHDR*>(lParam));
        case WM_SYSCOMMAND:
            // An item of our own comes with all its bits (the system's own
            // commands use the low four).
            if ((wParam & 0xFFFF) != IDM_RESERVATION_UPDATE) return FALSE;
            state->host->resetReservationWatch();
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDM_RESERVATION_REFRESH: fillList(window, *state); return TRUE;
                case IDM_RESERVATION_DELETE: deleteRememberedJob(*state); return TRUE;
                case IDCANCEL: hideWindow(window, *state); return TRUE;
                case IDOK: {  // Enter on a row: what its click does
                    HWND list = listOf(window);
                    const int item = ListView_GetNextItem(list, -1, LVNI_SELECTED);
                    if (const ReservationRow* row = item < 0 ? nullptr : rowOfItem(*state, list, item))
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

int PopupRowMenu::choose(HWND owner, int x, int y, int command, const char* text) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return 0;
    AppendMenuA(menu, MF_STRING, command, text);
    const int chosen = static_cast<int>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0,
                                                       owner, nullptr));
    DestroyMenu(menu);
    return chosen;
}

HWND createReservationListWindow(HINSTANCE instance, ReservationListHost& host) {
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_RESERVATION_LIST), host.mainWindow(),
                              reservationListProc, reinterpret_cast<LPARAM>(&host));
}

}  // namespace corvane
