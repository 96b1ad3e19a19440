#include "dialogs/view_setup_dialog_win.h"

#include "guide/number_field.h"
#include "guide/guide_geometry.h"
#include "reserve/message_boxes_win.h"
#include "resources/resource.h"
#include "store/dialog_state_win.h"

namespace corvane {

namespace {

constexpr const char* kCaption = "画面設定";
constexpr size_t kScheduleFileLimit = 255;  // bytes of "TvRockProgName"

const NumberField kMinuteHeightField{"時間(分)の高さ", kLowestMinuteHeight, kHighestMinuteHeight};
const NumberField kColumnWidthField{"チャンネルの幅", kLowestColumnWidth, kHighestColumnWidth};

// One of the two fonts as the dialog edits it: the platform record, the
// colour and the swatch brush of that colour.
struct FontCopy {
    LOGFONTA font{};
    uint32_t color = 0;
    HBRUSH brush = nullptr;

    void setColor(uint32_t chosen) {
        HBRUSH fresh = CreateSolidBrush(chosen & 0x00FFFFFFu);
        if (!fresh) return;
        color = chosen & 0x00FFFFFFu;
        if (brush) DeleteObject(brush);
        brush = fresh;
    }
    void release() {
        if (brush) DeleteObject(brush);
        brush = nullptr;
    }
};

struct ViewSetupState {
    ViewSetupTarget* target = nullptr;
    FontCopy title;   // swatch 1031, button 1039
    FontCopy detail;  // swatch 1032, button 1040
};

FontCopy* copyOfSwatch(ViewSetupState& state, int id) {
    if (id == IDC_VIEW_NAME_COLOR) return &state.title;
    if (id == IDC_VIEW_DETAIL_COLOR) return &state.detail;
    return nullptr;
}

void startCopy(FontCopy& copy, const FontSetting& setting) {
    copy.font = logFontOf(fontRecordOf(setting));
    copy.setColor(setting.color);
}

void initialize(HWND dialog, ViewSetupState& state) {
    const ViewSettings& view = state.target->view;
    SetDlgItemInt(dialog, IDC_VIEW_HOUR_HEIGHT, view.hourHight, TRUE);
    SetDlgItemInt(dialog, IDC_VIEW_CHANNEL_WIDTH, view.channelWidth, TRUE);
    CheckRadioButton(dialog, IDC_VIEW_DETAIL_ON, IDC_VIEW_DETAIL_OFF,
                     view.contDisp != 0 ? IDC_VIEW_DETAIL_ON : IDC_VIEW_DETAIL_OFF);
    startCopy(state.title, view.nameFont);
    startCopy(state.detail, view.contFont);
    CheckDlgButton(dialog, IDC_VIEW_EPGTIMER, view.epgTimerDisp != 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_VIEW_TVROCK, view.tvRockDisp != 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_VIEW_TUNEREC, view.tunerecDisp != 0 ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextA(dialog, IDC_VIEW_TVROCK_FILE, view.tvRockProgName.c_str());
}

void repaintSwatch(HWND dialog, int id) {
    InvalidateRect(dialog, nullptr, TRUE);
    // The swatch is a window of its own: make sure it repaints as well.
    InvalidateRect(GetDlgItem(dialog, id), nullptr, TRUE);
}

void pickColor(HWND dialog, ViewSetupState& state, int swatch) {
    FontCopy& copy = *copyOfSwatch(state, swatch);
    uint32_t chosen = 0;
    if (!state.target->chooseColor ||
        !state.target->chooseColor(dialog, copy.color, state.target->customColors, chosen))
        return;
    copy.setColor(chosen);
    repaintSwatch(dialog, swatch);
}

void pickFont(HWND dialog, ViewSetupState& state, FontCopy& copy, int swatch) {
    LOGFONTA font = copy.font;
    uint32_t color = copy.color;
    if (!state.target->chooseFont || !state.target->chooseFont(dialog, font, color)) return;
    copy.font = font;
    copy.setColor(color);
    repaintSwatch(dialog, swatch);
}

void browse(HWND dialog, ViewSetupState& state) {
    std::string path = dialogItemText(dialog, IDC_VIEW_TVROCK_FILE, MAX_PATH - 1);
    if (!state.target->chooseScheduleFile || !state.target->chooseScheduleFile(dialog, path)) return;
    SetDlgItemTextA(dialog, IDC_VIEW_TVROCK_FILE, path.c_str());
}

// The number of one edit box, or a refusal: the message is shown and the
// box gets the focus with its text selected.
bool readNumber(HWND dialog, ViewSetupState& state, int id, const NumberField& field, int& value) {
    const NumberReading reading = readNumberField(dialogItemText(dialog, id, kNumberTextCapacity - 1), field);
    if (reading.accepted) {
        value = reading.value;
        return true;
    }
    WindowMessageBoxes overDialog(dialog);
    MessageBoxes& messages = state.target->messages ? *state.target->messages : overDialog;
    messages.show(reading.refusal, kCaption, message_box::ok | message_box::iconWarning);
    HWND edit = GetDlgItem(dialog, id);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    return false;
}

bool ticked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// "OK": false when a number is refused, and then nothing has changed.
bool accept(HWND dialog, ViewSetupState& state) {
    ViewSetupTarget& target = *state.target;
    int hourHight = 0, channelWidth = 0;
    if (!readNumber(dialog, state, IDC_VIEW_HOUR_HEIGHT, kMinuteHeightField, hourHight) ||
        !readNumber(dialog, state, IDC_VIEW_CHANNEL_WIDTH, kColumnWidthField, channelWidth))
        return false;
    ViewSettings& view = target.view;
    view.hourHight = hourHight;
    view.channelWidth = channelWidth;
    view.contDisp = ticked(dialog, IDC_VIEW_DETAIL_ON) ? 1 : 0;
    view.epgTimerDisp = ticked(dialog, IDC_VIEW_EPGTIMER) ? 1 : 0;
    view.tvRockDisp = ticked(dialog, IDC_VIEW_TVROCK) ? 1 : 0;
    view.tunerecDisp = ticked(dialog, IDC_VIEW_TUNEREC) ? 1 : 0;
    view.tvRockProgName = dialogItemText(dialog, IDC_VIEW_TVROCK_FILE, kScheduleFileLimit);
    if (!view.epgTimerDisp && !view.tvRockDisp && !view.tunerecDisp) target.reservations.clear();
    view.nameFont = fontSettingOf(fontRecordOf(state.title.font), state.title.color);
    view.contFont = fontSettingOf(fontRecordOf(state.detail.font), state.detail.color);
    writeViewSetup(target.settings, view);
    target.paintTools.recreateFonts(view);
    return true;
}

INT_PTR CALLBACK viewSetupProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = dialogState<ViewSetupState>(dialog, message, lParam);
    switch (message) {
        case WM_INITDIALOG:
            initialize(dialog, *state);
            return TRUE;

        case WM_CTLCOLORBTN: {
            FontCopy* copy = state ? copyOfSwatch(*state, GetDlgCtrlID(reinterpret_cast<HWND>(lParam))) : nullptr;
            if (!copy) return FALSE;
            SetBkColor(reinterpret_cast<HDC>(wParam), copy->color);
            return reinterpret_cast<INT_PTR>(copy->brush);
        }

        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            FontCopy* copy = state && item ? copyOfSwatch(*state, static_cast<int>(item->CtlID)) : nullptr;
            if (!copy) return FALSE;
            drawColorSwatch(*item, copy->brush);
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }

        case WM_COMMAND: {
            if (!state) return FALSE;
            const int id = LOWORD(wParam);
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            switch (id) {
                case IDC_VIEW_NAME_COLOR:
                case IDC_VIEW_DETAIL_COLOR:
                    pickColor(dialog, *state, id);
                    return TRUE;
                case IDC_VIEW_NAME_FONT:
                    pickFont(dialog, *state, state->title, IDC_VIEW_NAME_COLOR);
                    return TRUE;
                case IDC_VIEW_DETAIL_FONT:
                    pickFont(dialog, *state, state->detail, IDC_VIEW_DETAIL_COLOR);
                    return TRUE;
                case IDC_VIEW_TVROCK_BROWSE:
                    browse(dialog, *state);
                    return TRUE;
                case IDOK:
                    if (accept(dialog, *state)) EndDialog(dialog, IDOK);
                    return TRUE;
                case IDCANCEL:
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
            }
            return FALSE;
        }

        case WM_DESTROY:
            // The swatch brushes go with the dialog, whichever way it closed.
            if (state) {
                state->title.release();
                state->detail.release();
            }
            return FALSE;
    }
    return FALSE;
}

}  // namespace

int runViewSetupDialog(HWND owner, ViewSetupTarget& target) {
    ViewSetupState state;
    state.target = &target;
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_VIEW_SETUP), owner,
                                           viewSetupProc, reinterpret_cast<LPARAM>(&state));
    // A dialog that could not be made leaves nothing behind.
    state.title.release();
    state.detail.release();
    return result == IDOK ? IDOK : IDCANCEL;
}

}  // namespace corvane
