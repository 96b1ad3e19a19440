#include "dialogs/channel_order_dialog_win.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "dialogs/channel_order.h"
#include "resources/resource.h"
#include "store/dialog_state_win.h"

namespace corvane {

namespace {

constexpr int kNameColumnWidth = 240;

struct ChannelOrderState {
    const EpgStore* store = nullptr;
    const GuideLayout* layout = nullptr;
    ServicePreferences* preferences = nullptr;
};

HWND listOf(HWND dialog) { return GetDlgItem(dialog, IDC_ORDER_LIST); }

void insertColumn(HWND list, int index, const char* title, int width) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<char*>(title);
    column.cx = width;
    column.iSubItem = index;
    ListView_InsertColumn(list, index, &column);
}

// Puts `row` at list index `index`, replacing what stood there when
// `replace`.
void putRow(HWND list, int index, const ChannelOrderRow& row, bool replace) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
    item.iItem = index;
    item.pszText = const_cast<char*>(row.name.c_str());
    item.lParam = row.item;
    item.stateMask = LVIS_SELECTED;
    item.state = row.selected ? LVIS_SELECTED : 0;
    if (replace)
        SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    else
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    const std::string sortText = std::to_string(row.sortValue);
    ListView_SetItemText(list, index, 1, const_cast<char*>(sortText.c_str()));
    ListView_SetCheckState(list, index, row.ticked);
}

std::vector<ChannelOrderRow> readRows(HWND list) {
    std::vector<ChannelOrderRow> rows;
    const int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
        char name[256] = {};
        char sortText[16] = {};
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
        item.iItem = i;
        item.pszText = name;
        item.cchTextMax = sizeof name;
        item.stateMask = LVIS_SELECTED;
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        ListView_GetItemText(list, i, 1, sortText, sizeof sortText);
        ChannelOrderRow row;
        row.name = name;
        row.item = static_cast<int32_t>(item.lParam);
        row.sortValue = std::atoi(sortText);
        row.ticked = ListView_GetCheckState(list, i) != 0;
        row.selected = (item.state & LVIS_SELECTED) != 0;
        rows.push_back(std::move(row));
    }
    return rows;
}

void initialize(HWND dialog, ChannelOrderState& state) {
    HWND list = listOf(dialog);
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT,
                                        LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    insertColumn(list, 0, "CH", kNameColumnWidth);
    insertColumn(list, 1, "", 0);
    if (!state.store) return;
    const std::vector<ChannelOrderRow> rows =
        channelOrderRows(channelOrderServices(*state.store, state.layout->channels, *state.preferences));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) putRow(list, i, rows[i], false);
}

void moveRows(HWND dialog, RowMove move) {
    HWND list = listOf(dialog);
    const std::vector<ChannelOrderRow> before = readRows(list);
    std::vector<ChannelOrderRow> rows = before;
    const int firstMoved = moveSelectedRows(rows, move);
    if (firstMoved < 0) return;
    for (int i = 0; i < static_cast<int>(rows.size()); ++i)
        if (!(rows[i] == before[i])) putRow(list, i, rows[i], true);
    ListView_SetItemState(list, firstMoved, LVIS_FOCUSED, LVIS_FOCUSED);
    ListView_EnsureVisible(list, firstMoved, FALSE);
}

void accept(HWND dialog, ChannelOrderState& state) {
    if (!state.store) return;
    storeChannelOrder(*state.store, channelOrderChoices(readRows(listOf(dialog))), *state.preferences);
}

INT_PTR CALLBACK channelOrderProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = dialogState<ChannelOrderState>(dialog, message, lParam);
    switch (message) {
        case WM_INITDIALOG:
            initialize(dialog, *state);
            return TRUE;
        case WM_COMMAND:
            if (!state) return FALSE;
            switch (LOWORD(wParam)) {
                case IDC_ORDER_UP:
                    moveRows(dialog, RowMove::up);
                    return TRUE;
                case IDC_ORDER_DOWN:
                    moveRows(dialog, RowMove::down);
                    return TRUE;
                case IDOK:
                    accept(dialog, *state);
                    EndDialog(dialog, IDOK);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}

}  // namespace

int runChannelOrderDialog(HWND owner, const EpgStore* store, const GuideLayout& layout,
                          ServicePreferences& preferences) {
    ChannelOrderState state{store, &layout, &preferences};
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_CHANNEL_ORDER), owner,
                                           channelOrderProc, reinterpret_cast<LPARAM>(&state));
    return result == IDOK ? IDOK : IDCANCEL;
}

}  // namespace corvane
