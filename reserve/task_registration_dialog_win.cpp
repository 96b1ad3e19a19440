#include "reserve/task_registration_dialog_win.h"

#include <commdlg.h>

#include <algorithm>
#include <string>

#include "reserve/account_dialog_win.h"
#include "reserve/message_boxes_win.h"
#include "resources/resource.h"
#include "store/broadcast_time.h"
#include "store/dialog_state_win.h"
#include "store/over_owner_win.h"
#include "store/window_text_win.h"

namespace corvane {

namespace {

constexpr COLORREF kConflictBackground = RGB(255, 192, 203);
constexpr const char* kScheduleNames[] = {"一回のみ", "毎日", "週単位"};
constexpr int kWeekdayBoxes = 7;  // IDC_TASK_SUNDAY .. IDC_TASK_SATURDAY

struct OptionBox {
    int id;
    bool TaskOptions::*option;
};
constexpr OptionBox kOptionBoxes[] = {
    {IDC_TASK_POWER_ON, &TaskOptions::powerOn}, {IDC_TASK_POWER_OFF, &TaskOptions::powerOff},
    {IDC_TASK_B25, &TaskOptions::b25},          {IDC_TASK_BCS, &TaskOptions::bcsFile},
    {IDC_TASK_SEL, &TaskOptions::sel},          {IDC_TASK_LOGON, &TaskOptions::logonOnly},
    {IDC_TASK_UDP, &TaskOptions::udp},
};

// One opening of the dialog.
struct TaskDialogState {
    const TaskDialogInputs* inputs = nullptr;
    std::vector<TunerecPreset> presets;  // this opening's copy
    int preset = 0;                      // the one loaded into the controls
    std::string baseName;                // of the output file, kept across preset switches
    HBRUSH conflictBrush = nullptr;
};

bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

int comboSelection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

// Everything "登録" and a preset switch read, each text whole.
TaskForm readForm(HWND dialog) {
    TaskForm form;
    form.channelNumber = dialogItemText(dialog, IDC_TASK_CHANNEL_NO);
    form.date = dialogItemText(dialog, IDC_TASK_DATE);
    form.time = dialogItemText(dialog, IDC_TASK_TIME);
    form.file = dialogItemText(dialog, IDC_TASK_FILE);
    for (const OptionBox& box : kOptionBoxes) form.options.*box.option = checked(dialog, box.id);
    form.otherOptions = dialogItemText(dialog, IDC_TASK_OTHER);
    const int schedule = comboSelection(dialog, IDC_TASK_SCHEDULE);
    form.schedule = schedule == 1 ? TaskSchedule::daily : schedule == 2 ? TaskSchedule::weekly : TaskSchedule::once;
    for (int day = 0; day < kWeekdayBoxes; ++day)
        if (checked(dialog, IDC_TASK_SUNDAY + day)) form.weekdays |= static_cast<uint16_t>(1u << day);
    return form;
}

void showPreset(HWND dialog, const TaskDialogState& state) {
    TaskForm form;
    loadTaskPreset(state.presets[static_cast<size_t>(state.preset)], state.baseName, form);
    SetDlgItemTextA(dialog, IDC_TASK_FILE, form.file.c_str());
    for (const OptionBox& box : kOptionBoxes)
        CheckDlgButton(dialog, box.id, form.options.*box.option ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextA(dialog, IDC_TASK_OTHER, form.otherOptions.c_str());
}

void enableWeekdays(HWND dialog, bool enable) {
    for (int day = 0; day < kWeekdayBoxes; ++day) EnableWindow(GetDlgItem(dialog, IDC_TASK_SUNDAY + day), enable);
}

// Centred on the mouse cursor, inside the desktop.
void placeOnCursor(HWND dialog) {
    POINT cursor{};
    RECT window{}, desktop{};
    GetCursorPos(&cursor);
    GetWindowRect(dialog, &window);
    GetWindowRect(GetDesktopWindow(), &desktop);
    const DialogOrigin origin = taskDialogOrigin(cursor.x, cursor.y, window.right - window.left,
                                                 window.bottom - window.top, desktop.right, desktop.bottom);
    SetWindowPos(dialog, nullptr, origin.x, origin.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void initialize(HWND dialog, TaskDialogState& state) {
    const TaskDialogInputs& inputs = *state.inputs;
    const TaskProgramme& programme = *inputs.programme;
    const int64_t fireTime = programme.start - kTaskLeadSeconds;
    state.baseName = defaultTaskBaseName(programme);
    SetDlgItemTextA(dialog, IDC_TASK_CHANNEL, programme.columnName.c_str());
    SetDlgItemTextA(dialog, IDC_TASK_CHANNEL_NO,
                    channelNumberText(programme.networkClass, programme.remoteNumber).c_str());
    SetDlgItemTextA(dialog, IDC_TASK_DATE, taskDateText(programme.start).c_str());
    SetDlgItemTextA(dialog, IDC_TASK_TIME, taskTimeText(programme.start, programme.end).c_str());

    for (const TunerecPreset& preset : state.presets)
        SendDlgItemMessageA(dialog, IDC_TASK_PRESET, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(preset.name.c_str()));
    const int count = static_cast<int>(state.presets.size());
    state.preset = *inputs.currentPreset >= 0 && *inputs.currentPreset < count ? *inputs.currentPreset : 0;
    *inputs.currentPreset = state.preset;
    SendDlgItemMessageA(dialog, IDC_TASK_PRESET, CB_SETCURSEL, static_cast<WPARAM>(state.preset), 0);
    showPreset(dialog, state);

    for (const char* name : kScheduleNames)
        SendDlgItemMessageA(dialog, IDC_TASK_SCHEDULE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendDlgItemMessageA(dialog, IDC_TASK_SCHEDULE, CB_SETCURSEL, 0, 0);
    CheckDlgButton(dialog, IDC_TASK_SUNDAY + toLocalTime(fireTime).weekday, BST_CHECKED);
    enableWeekdays(dialog, false);

    const std::string conflicts =
        taskConflictText(*inputs.reservations, state.presets, programme.start, programme.end);
    SetDlgItemTextA(dialog, IDC_TASK_CONFLICTS, conflicts.c_str());
    if (conflicts.empty()) ShowWindow(GetDlgItem(dialog, IDC_TASK_CONFLICTS), SW_HIDE);
    state.conflictBrush = CreateSolidBrush(kConflictBackground);
    placeOnCursor(dialog);
}

void switchPreset(HWND dialog, TaskDialogState& state) {
    const int chosen = comboSelection(dialog, IDC_TASK_PRESET);
    if (chosen < 0 || chosen >= static_cast<int>(state.presets.size()) || chosen == state.preset) return;
    storeTaskPreset(readForm(dialog), state.presets[static_cast<size_t>(state.preset)], state.baseName);
    state.preset = chosen;
    *state.inputs->currentPreset = chosen;
    showPreset(dialog, state);
}

// The save dialog on 1007: a new file's name is what it is for, so the file
// need not exist.
void browseFile(HWND dialog) {
    const std::string current = dialogItemText(dialog, IDC_TASK_FILE);
    std::string buffer = current;
    buffer.resize(std::max<size_t>(current.size() + 1, 1024), '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = dialog;
    ofn.lpstrFilter = "tsファイル(*.ts)\0*.ts\0";
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrTitle = "保存ファイル名を指定";
    ofn.lpstrDefExt = "ts";
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
    if (OpensOverOwner over(dialog); !GetSaveFileNameA(&ofn)) return;
    SetDlgItemTextA(dialog, IDC_TASK_FILE, buffer.c_str());
}

std::string environmentText(const char* name) {
    const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0) return "";
    std::string text(size, '\0');
    const DWORD length = GetEnvironmentVariableA(name, text.data(), size);
    text.resize(length < size ? length : 0);
    return text;
}

void registerFromDialog(HWND dialog, TaskDialogState& state) {
    const TaskDialogInputs& inputs = *state.inputs;
    WindowMessageBoxes messages(dialog);
    WindowAccountPrompt accounts(dialog);
    TaskRegistrationCalls calls{*inputs.jobs, accounts, *inputs.processes, messages, *inputs.clock,
                                environmentText("USERNAME")};
    if (registerTask(readForm(dialog), state.presets[static_cast<size_t>(state.preset)], calls))
        EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK taskDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = dialogState<TaskDialogState>(dialog, message, lParam);
    switch (message) {
    case WM_INITDIALOG:
        initialize(dialog, *state);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (state && reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_TASK_CONFLICTS)) {
            SetBkColor(reinterpret_cast<HDC>(wParam), kConflictBackground);
            return reinterpret_cast<INT_PTR>(state->conflictBrush);
        }
        break;
    case WM_COMMAND:
        if (!state) break;
        switch (LOWORD(wParam)) {
        case IDC_TASK_PRESET:
            if (HIWORD(wParam) == CBN_SELCHANGE) switchPreset(dialog, *state);
            return TRUE;
        case IDC_TASK_SCHEDULE:
            if (HIWORD(wParam) == CBN_SELCHANGE) enableWeekdays(dialog, comboSelection(dialog, IDC_TASK_SCHEDULE) == 2);
            return TRUE;
        case IDC_TASK_FILE_BROWSE:
            browseFile(dialog);
            return TRUE;
        case IDOK:
            registerFromDialog(dialog, *state);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            break;
        }
        break;
    case WM_DESTROY:
        if (state && state->conflictBrush) DeleteObject(state->conflictBrush), state->conflictBrush = nullptr;
        break;
    default:
        break;
    }
    return FALSE;
}

}  // namespace

int runTaskRegistrationDialog(HWND owner, const TaskDialogInputs& inputs) {
    if (!inputs.programme) {
        WindowMessageBoxes(owner).show(kTaskNoProgrammeText, kTaskCaption, message_box::ok | message_box::iconWarning);
        return IDCANCEL;
    }
    TaskDialogState state;
    state.inputs = &inputs;
    state.presets = *inputs.presets;
    if (state.presets.empty()) state.presets.resize(1);
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_TASK_REGISTRATION), owner,
                                           taskDialogProc, reinterpret_cast<LPARAM>(&state));
    if (state.conflictBrush) DeleteObject(state.conflictBrush);
    return result == IDOK ? IDOK : IDCANCEL;
}

}  // namespace corvane
