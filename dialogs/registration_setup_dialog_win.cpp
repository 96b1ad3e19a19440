#include "dialogs/registration_setup_dialog_win.h"

#include <commctrl.h>

#include <vector>

#include "reserve/message_boxes_win.h"
#include "reserve/registration_formats.h"
#include "resources/resource.h"
#include "store/dialog_state_win.h"
#include "store/shift_jis.h"
#include "store/window_text_win.h"

namespace corvane {

namespace {

// Bytes each edit box may hold: what its setting keeps.
constexpr int kSettingTextLimit = 255;
constexpr int kAccountTextLimit = 99;
constexpr int kCellTextMargin = 2;
const char* const kEditStateProperty = "CorvaneSubItemEdit";
// Posted when an edited cell was refused: its message is shown once the list
// has finished with its edit control.
constexpr UINT kShowCellRefusalMessage = WM_APP + 1;

struct SetupDialogState {
    RegistrationSetupHost* app = nullptr;
    SetupBrowsers browsers;
    MessageBoxes* messages = nullptr;
    WindowMessageBoxes dialogBoxes;
    std::vector<TunerecPreset> presets;  // the working copy
    std::vector<StationRow> rows;        // in the list's row order
    // Sub-item editing: the column being edited (-1 none), its row, the
    // cell's rectangle (left -1 none) and the edit control's own procedure.
    int editColumn = -1;
    int editRow = -1;
    RECT editRect{-1, -1, -1, -1};
    HWND editControl = nullptr;
    WNDPROC previousEditProc = nullptr;
    bool editCancelled = false;  // Escape was pressed in the edit control
    // A cell text refused at the end of an edit, with its column.
    int refusedColumn = -1;
    std::string refusedText;
};

const int presetChecks[] = {IDC_PRESET_POWER_ON, IDC_PRESET_POWER_OFF, IDC_PRESET_B25, IDC_PRESET_BCS,
                            IDC_PRESET_SEL,      IDC_PRESET_LOGON,     IDC_PRESET_UDP};

int PresetControls::*const presetFlagMembers[] = {
    &PresetControls::powerOn, &PresetControls::powerOff,  &PresetControls::b25, &PresetControls::bcsFile,
    &PresetControls::sel,     &PresetControls::logonOnly, &PresetControls::udp};

bool ticked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void tick(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

HWND stationList(HWND dialog) { return GetDlgItem(dialog, IDC_STATION_LIST); }
HWND presetList(HWND dialog) { return GetDlgItem(dialog, IDC_PRESET_LIST); }

int& currentPreset(SetupDialogState& state) { return state.app->currentPreset; }

void selectCurrentPreset(HWND dialog, SetupDialogState& state) {
    SendMessageA(presetList(dialog), CB_SETCURSEL, currentPreset(state), 0);
}

// The drop-down's item `index` shows the preset's name as it now stands.
void renamePresetItem(HWND dialog, SetupDialogState& state, int index) {
    HWND list = presetList(dialog);
    const int selected = static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0));
    SendMessageA(list, CB_DELETESTRING, index, 0);
    SendMessageA(list, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(state.presets[index].name.c_str()));
    SendMessageA(list, CB_SETCURSEL, selected, 0);
}

void loadPreset(HWND dialog, SetupDialogState& state, int index) {
    const PresetControls controls = presetControls(state.presets[index]);
    renamePresetItem(dialog, state, index);
    const std::pair<int, const std::string*> texts[] = {{IDC_PRESET_NAME, &controls.name},
                                                        {IDC_PRESET_APP_PATH, &controls.executablePath},
                                                        {IDC_PRESET_FOLDER, &controls.saveFolder},
                                                        {IDC_PRESET_ID, &controls.id},
                                                        {IDC_PRESET_UDP_HOST, &controls.udpHostName},
                                                        {IDC_PRESET_ACCOUNT, &controls.account},
                                                        {IDC_PRESET_PASSWORD, &controls.password},
                                                        {IDC_PRESET_PASSWORD_CONFIRM, &controls.passwordConfirm},
                                                        {IDC_PRESET_OTHER, &controls.otherOptions}};
    for (const auto& [id, text] : texts) SetDlgItemTextA(dialog, id, text->c_str());
    for (size_t i = 0; i < std::size(presetChecks); ++i)
        tick(dialog, presetChecks[i], controls.*presetFlagMembers[i] != 0);
}

PresetControls readPresetControls(HWND dialog) {
    PresetControls controls;
    controls.name = dialogItemText(dialog, IDC_PRESET_NAME);
    controls.executablePath = dialogItemText(dialog, IDC_PRESET_APP_PATH);
    controls.saveFolder = dialogItemText(dialog, IDC_PRESET_FOLDER);
    controls.id = dialogItemText(dialog, IDC_PRESET_ID);
    controls.udpHostName = dialogItemText(dialog, IDC_PRESET_UDP_HOST);
    controls.account = dialogItemText(dialog, IDC_PRESET_ACCOUNT);
    controls.password = dialogItemText(dialog, IDC_PRESET_PASSWORD);
    controls.passwordConfirm = dialogItemText(dialog, IDC_PRESET_PASSWORD_CONFIRM);
    controls.otherOptions = dialogItemText(dialog, IDC_PRESET_OTHER);
    for (size_t i = 0; i < std::size(presetChecks); ++i)
        controls.*presetFlagMembers[i] = ticked(dialog, presetChecks[i]);
    return controls;
}

// The controls into the current preset of the working copy; the drop-down
// shows a new name at once. After a password mismatch both fields are
// emptied and the first takes the keyboard, ready for the password again.
bool saveCurrentPreset(HWND dialog, SetupDialogState& state) {
    const int index = currentPreset(state);
    const PresetSave saved = savePresetControls(readPresetControls(dialog), state.presets[index], *state.messages);
    if (saved == PresetSave::passwordsDiffer) {
        SetDlgItemTextA(dialog, IDC_PRESET_PASSWORD, "");
        SetDlgItemTextA(dialog, IDC_PRESET_PASSWORD_CONFIRM, "");
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_PRESET_PASSWORD)), TRUE);
    }
    if (saved != PresetSave::saved) return false;
    renamePresetItem(dialog, state, index);
    return true;
}

void switchPreset(HWND dialog, SetupDialogState& state) {
    const int chosen = static_cast<int>(SendMessageA(presetList(dialog), CB_GETCURSEL, 0, 0));
    if (chosen >= 0 && chosen < static_cast<int>(state.presets.size()) && saveCurrentPreset(dialog, state)) {
        loadPreset(dialog, state, chosen);
        currentPreset(state) = chosen;
    }
    selectCurrentPreset(dialog, state);
}

void setCellText(HWND list, int row, int column, const std::string& text) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

void prepareStationList(HWND dialog, SetupDialogState& state) {
    HWND list = stationList(dialog);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const StationColumnWidths widths = readStationColumnWidths(state.app->settings);
    for (int column = 0; column < kStationColumnCount; ++column) {
        LVCOLUMNA description{};
        description.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        description.pszText = const_cast<char*>(kStationColumnTitles[column]);
        description.cx = widths[column];
        description.iSubItem = column;
        SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&description));
    }
    if (state.app->store) state.rows = stationRows(*state.app->store, state.app->layout.channels);
    for (size_t row = 0; row < state.rows.size(); ++row) {
        StationRow& station = state.rows[row];
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(row);
        item.pszText = const_cast<char*>(station.columnName.c_str());
        item.lParam = station.serviceId;
        const int at = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        for (int column = 1; column < kStationColumnCount; ++column)
            setCellText(list, at, column, station.text(column));
    }
}

void initialize(HWND dialog, SetupDialogState& state) {
    const std::pair<int, int> limits[] = {
        {IDC_IEPG_APP_PATH, kSettingTextLimit},   {IDC_TVROCK_HOST, kSettingTextLimit},
        {IDC_PRESET_NAME, kSettingTextLimit},     {IDC_PRESET_APP_PATH, kSettingTextLimit},
        {IDC_PRESET_FOLDER, kSettingTextLimit},   {IDC_PRESET_UDP_HOST, kSettingTextLimit},
        {IDC_PRESET_OTHER, kSettingTextLimit},    {IDC_PRESET_ACCOUNT, kAccountTextLimit},
        {IDC_PRESET_PASSWORD, kAccountTextLimit}, {IDC_PRESET_PASSWORD_CONFIRM, kAccountTextLimit}};
    for (auto [id, limit] : limits) SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, limit, 0);

    // 1. The working copy, the drop-down and the current preset.
    RegistrationSetupHost& app = *state.app;
    state.presets = app.presets;
    if (state.presets.empty()) state.presets.resize(tunerecPresetCount);
    if (currentPreset(state) < 0 || currentPreset(state) >= static_cast<int>(state.presets.size()))
        currentPreset(state) = 0;
    for (const TunerecPreset& preset : state.presets)
        SendMessageA(presetList(dialog), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(preset.name.c_str()));
    loadPreset(dialog, state, currentPreset(state));
    selectCurrentPreset(dialog, state);

    // 2. The file-or-web target.
    const RegistrationSettings& registration = app.registration;
    const RegistrationSwitches switches = registrationSwitches(registration);  // as a press reads them
    tick(dialog, IDC_IEPG_ENABLE, switches.fileOrWeb);
    tick(dialog, IDC_TUNEREC_ENABLE, switches.capture);
    SetDlgItemTextA(dialog, IDC_IEPG_APP_PATH, registration.fileName.c_str());
    const int target = switches.target == RegistrationTarget::epgTimer ? IDC_TARGET_EPGTIMER
                       : switches.target == RegistrationTarget::tvRock ? IDC_TARGET_TVROCK
                                                                       : IDC_TARGET_IEPG;
    CheckRadioButton(dialog, IDC_TARGET_IEPG, IDC_TARGET_TVROCK, target);
    SetDlgItemTextA(dialog, IDC_TVROCK_HOST, registration.hostName.c_str());

    // 3. The station list.
    prepareStationList(dialog, state);
}

void accept(HWND dialog, SetupDialogState& state) {
    RegistrationSetup setup;
    setup.registration.iEpg = ticked(dialog, IDC_IEPG_ENABLE);
    setup.registration.iEpgTunerec = ticked(dialog, IDC_TUNEREC_ENABLE);
    setup.registration.epgTimer = ticked(dialog, IDC_TARGET_EPGTIMER);
    setup.registration.tvRock = ticked(dialog, IDC_TARGET_TVROCK);
    setup.registration.hostName = dialogItemText(dialog, IDC_TVROCK_HOST);
    setup.registration.fileName = dialogItemText(dialog, IDC_IEPG_APP_PATH);
    if (!checkRegistrationTexts(setup.registration, *state.messages)) return;
    if (!saveCurrentPreset(dialog, state)) {
        selectCurrentPreset(dialog, state);
        return;
    }
    loadPreset(dialog, state, currentPreset(state));
    setup.presets = state.presets;
    setup.rows = state.rows;
    for (int column = 0; column < kStationColumnCount; ++column)
        setup.columnWidths[column] = static_cast<int>(SendMessageA(stationList(dialog), LVM_GETCOLUMNWIDTH, column, 0));
    acceptRegistrationSetup(*state.app, setup);
    EndDialog(dialog, IDOK);
}

// A browse button: the chooser starts from the box's text, and a choice
// replaces it (a folder with its '\\'); a cancel leaves the box as it was.
void browse(HWND dialog, bool (*chooser)(HWND, std::string&), int box, bool folder) {
    std::string path = dialogItemText(dialog, box);
    if (chooser && chooser(dialog, path) && !path.empty())
        SetDlgItemTextA(dialog, box, (folder ? withTrailingBackslash(path) : path).c_str());
}

// --- Editing the cells of columns 1 to 3 ------------------------------------

RECT cellRect(HWND list, int row, int column) {
    RECT rect{};
    rect.top = column;
    rect.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

void invalidateRow(HWND list, int row) {
    RECT rect{};
    rect.left = LVIR_BOUNDS;
    if (row >= 0 && SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)))
        InvalidateRect(list, &rect, FALSE);
}

void releaseEditControl(SetupDialogState& state) {
    if (state.editControl && state.previousEditProc && IsWindow(state.editControl)) {
        SetWindowLongPtrA(state.editControl, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(state.previousEditProc));
        RemovePropA(state.editControl, kEditStateProperty);
    }
    state.editControl = nullptr;
    state.previousEditProc = nullptr;
}

// While a cell is edited the edit control stays exactly on the cell, however
// the list moves or sizes it.
LRESULT CALLBACK cellEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = static_cast<SetupDialogState*>(GetPropA(edit, kEditStateProperty));
    if (!state || !state->previousEditProc) return DefWindowProcA(edit, message, wParam, lParam);
    const WNDPROC previous = state->previousEditProc;
    if (message == WM_WINDOWPOSCHANGING && state->editRect.left != -1) {
        auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
        position->x = state->editRect.left;
        position->y = state->editRect.top;
        position->cx = state->editRect.right - state->editRect.left;
        position->cy = state->editRect.bottom - state->editRect.top;
        position->flags &= ~(SWP_NOMOVE | SWP_NOSIZE);
    }
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) state->editCancelled = true;
    if (message == WM_NCDESTROY) releaseEditControl(*state);
    return CallWindowProcA(previous, edit, message, wParam, lParam);
}

void rememberClickedColumn(HWND list, SetupDialogState& state, const NMITEMACTIVATE& click) {
    LVHITTESTINFO hit{};
    hit.pt = click.ptAction;
    SendMessageA(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    state.editColumn = hit.iItem >= 0 ? hit.iSubItem : -1;
}

// FALSE lets the edit begin.
BOOL beginCellEdit(HWND list, SetupDialogState& state, const NMLVDISPINFOA& info) {
    const int row = info.item.iItem;
    if (row < 0 || row >= static_cast<int>(state.rows.size())) return TRUE;
    if (state.editColumn <= 0 || state.editColumn >= kStationColumnCount) state.editColumn = 1;
    state.editRow = row;
    HWND edit = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETEDITCONTROL, 0, 0));
    if (!edit) return TRUE;
    releaseEditControl(state);
    state.editControl = edit;
    state.editCancelled = false;
    SetPropA(edit, kEditStateProperty, &state);
    state.previousEditProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(cellEditProc)));
    SendMessageA(edit, EM_LIMITTEXT, kStationTextLimit, 0);
    SetWindowTextA(edit, state.rows[row].text(state.editColumn).c_str());
    state.editRect = cellRect(list, row, state.editColumn);
    // The list may not move its edit control again: put it on the cell now.
    SetWindowPos(edit, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
    invalidateRow(list, row);
    return FALSE;
}

void endCellEdit(HWND dialog, HWND list, SetupDialogState& state, const NMLVDISPINFOA& info) {
    state.editRect = RECT{-1, -1, -1, -1};
    const int row = state.editRow;
    const int column = state.editColumn;
    // Some lists report an emptied edit as no text at all, like a cancel:
    // only Escape cancels, otherwise the edit control's text counts.
    std::string text;
    bool edited = info.item.pszText != nullptr;
    if (edited) {
        text = info.item.pszText;
    } else if (!state.editCancelled && state.editControl && IsWindow(state.editControl)) {
        text = wholeWindowText(state.editControl);
        edited = true;
    }
    if (edited && column >= 1 && row >= 0 && row < static_cast<int>(state.rows.size())) {
        if (text.size() <= static_cast<size_t>(kStationTextLimit)) {
            state.rows[row].text(column) = text;
            setCellText(list, row, column, text);
        } else {
            state.refusedColumn = column;
            state.refusedText = text;
            PostMessageA(dialog, kShowCellRefusalMessage, 0, 0);
        }
    }
    state.editColumn = -1;
    state.editRow = -1;
    releaseEditControl(state);
    invalidateRow(list, row);
}

// Rows: window colours (selected: highlight), one line of text per cell with
// an end ellipsis; the cell under edit shows no text.
void drawStationRow(HWND list, const SetupDialogState& state, const DRAWITEMSTRUCT& item) {
    const int row = static_cast<int>(item.itemID);
    if (row < 0 || row >= static_cast<int>(state.rows.size())) return;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    HDC dc = item.hDC;
    HBRUSH fill = GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const StationRow& station = state.rows[row];
    for (int column = 0; column < kStationColumnCount; ++column) {
        RECT cell = cellRect(list, row, column);
        FillRect(dc, &cell, fill);
        if (row == state.editRow && column == state.editColumn) continue;
        cell.left += kCellTextMargin;
        const std::string& text = station.text(column);
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &cell,
                  DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    SetBkMode(dc, oldMode);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        DrawFocusRect(dc, &focus);
    }
}

INT_PTR answer(HWND dialog, LRESULT result) {
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR onNotify(HWND dialog, SetupDialogState& state, const NMHDR& header) {
    if (header.idFrom != IDC_STATION_LIST) return FALSE;
    HWND list = header.hwndFrom;
    switch (header.code) {
        case NM_CLICK:
            rememberClickedColumn(list, state, reinterpret_cast<const NMITEMACTIVATE&>(header));
            return FALSE;
        case LVN_BEGINLABELEDITA:
            return answer(dialog, beginCellEdit(list, state, reinterpret_cast<const NMLVDISPINFOA&>(header)));
        case LVN_ENDLABELEDITA:
            endCellEdit(dialog, list, state, reinterpret_cast<const NMLVDISPINFOA&>(header));
            return answer(dialog, FALSE);  // the list never takes the text into column 0
    }
    return FALSE;
}

INT_PTR CALLBACK setupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = dialogState<SetupDialogState>(dialog, message, lParam);
    switch (message) {
        case WM_INITDIALOG:
            state->dialogBoxes.setOwner(dialog);
            if (!state->messages) state->messages = &state->dialogBoxes;
            initialize(dialog, *state);
            return TRUE;

        case WM_NOTIFY:
            if (!state || !lParam) return FALSE;
            return onNotify(dialog, *state, *reinterpret_cast<const NMHDR*>(lParam));

        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (!state || !item || item->CtlID != IDC_STATION_LIST) return FALSE;
            drawStationRow(item->hwndItem, *state, *item);
            return TRUE;
        }

        case WM_COMMAND: {
            if (!state) return FALSE;
            switch (LOWORD(wParam)) {
                case IDC_PRESET_LIST:
                    if (HIWORD(wParam) == CBN_SELCHANGE) switchPreset(dialog, *state);
                    return TRUE;
                case IDC_IEPG_APP_BROWSE:
                    browse(dialog, state->browsers.chooseIepgApplication, IDC_IEPG_APP_PATH, false);
                    return TRUE;
                case IDC_PRESET_APP_BROWSE:
                    browse(dialog, state->browsers.chooseTunerecApplication, IDC_PRESET_APP_PATH, false);
                    return TRUE;
                case IDC_PRESET_FOLDER_BROWSE:
                    browse(dialog, state->browsers.chooseSaveFolder, IDC_PRESET_FOLDER, true);
                    return TRUE;
                case IDOK:
                    accept(dialog, *state);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
            }
            return FALSE;
        }

        case kShowCellRefusalMessage:
            if (state && state->refusedColumn >= 0)
                checkStationText(state->refusedColumn, state->refusedText, *state->messages);
            if (state) state->refusedColumn = -1;
            return TRUE;

        case WM_DESTROY:
            if (state) releaseEditControl(*state);
            return FALSE;
    }
    return FALSE;
}

}  // namespace

int runRegistrationSetupDialog(HWND owner, RegistrationSetupHost& app, const SetupBrowsers& browsers,
                               MessageBoxes* messages) {
    SetupDialogState state;
    state.app = &app;
    state.browsers = browsers;
    state.messages = messages;
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_IEPG_SETUP), owner,
                                           setupDialogProc, reinterpret_cast<LPARAM>(&state));
    return result == IDOK ? IDOK : IDCANCEL;
}

}  // namespace corvane
