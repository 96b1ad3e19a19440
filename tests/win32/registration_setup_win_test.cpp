// Drives the real registration setup dialog like a user, with a dialog script.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "dialogs/registration_setup_dialog_win.h"
#include "resources/resource.h"
#include "support/fake_guide_host.h"
#include "support/modal_script_win.h"
#include "support/recording_message_boxes.h"
#include "support/store_sections.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

using Step = DialogScript::Step;

HWND list(HWND dialog) { return GetDlgItem(dialog, IDC_STATION_LIST); }
HWND cellEdit(HWND dialog) { return reinterpret_cast<HWND>(SendMessageA(list(dialog), LVM_GETEDITCONTROL, 0, 0)); }
int selectedPreset(HWND dialog) { return static_cast<int>(SendDlgItemMessageA(dialog, IDC_PRESET_LIST, CB_GETCURSEL, 0, 0)); }

std::string cell(HWND dialog, int row, int column) { return listCell(list(dialog), row, column); }

// Terrestrial 1024 (remote key 5) and BS 101, both with programmes. The test
// moves the one pointer of the display, so it runs alone (see CMakeLists.txt).
class RegistrationSetupDialogRealPointerTest : public testing::Test, protected LayoutRig {
protected:
    RegistrationSetupDialogRealPointerTest() : LayoutRig("setup") {
        host.clock = localOf(at(0, 12));
        putSchedule(store.get(), 1024, 0x7FE0, 0, {{at(0, 20), 1800, "番組"}});
        putSchedule(store.get(), 101, 4, 0, {{at(0, 20), 1800, "BS番組"}});
        store->services[0]->remoteKeyId = 5;
        settings.writeString("iEpgSetup", "iEpgTunerecName", "朝");
        settings.writeString("iEpgSetup:2", "iEpgTunerecName", "深夜");
        layout.buildListLayout(store.get());
        presets = readTunerecPresets(settings);
    }

    int run(std::vector<Step> steps, MessageBoxes* messages = nullptr) {
        DialogScript::run("iEPG設定", std::move(steps));
        const int result = runRegistrationSetupDialog(nullptr, app, SetupBrowsers{}, messages);
        EXPECT_EQ(DialogScript::steps.size(), DialogScript::next) << "steps left undone";
        return result;
    }

    RegistrationSettings registration;
    std::vector<TunerecPreset> presets;
    int current = 0;
    RegistrationSetupHost app{settings, preferences, registration, presets, current, store.get(), layout};

    static RECT screenCell(HWND dialog, int row, int column) {
        RECT rect{LVIR_LABEL, column, 0, 0};
        SendMessageA(list(dialog), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        MapWindowPoints(list(dialog), nullptr, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    // The pointer moves to the middle of the cell, and at a later tick, a
    // double click's time after the last click, the button goes down and up.
    static Step click(int row, int column) {
        return [=](HWND d) {
            const RECT rect = screenCell(d, row, column);
            POINT at{}, target{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
            GetCursorPos(&at);
            if (at.x != target.x || at.y != target.y) SetCursorPos(target.x, target.y);
            if (at.x != target.x || at.y != target.y || GetTickCount() - lastClick < GetDoubleClickTime() + 200)
                return false;
            realClick();
            lastClick = GetTickCount();
            return true;
        };
    }
    // Once the list edits a cell: the edit covers exactly the cell of
    // `column`; `keys` are typed (after `text` is put in, when given).
    static Step type(int row, int column, std::vector<WORD> keys, const char* text = nullptr) {
        return [=](HWND d) {
            HWND edit = cellEdit(d);
            if (!edit || GetFocus() != edit) return false;
            EXPECT_EQ(screenCell(d, row, column), windowRect(edit)) << "column " << column;
            if (text) SetWindowTextA(edit, text);
            for (WORD key : keys)
                for (DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
                    INPUT input{INPUT_KEYBOARD, {}};
                    input.ki.wVk = key, input.ki.dwFlags = flags;
                    SendInput(1, &input, sizeof input);
                }
            return true;
        };
    }
    static Step ended(std::function<void(HWND)> check) {
        return [=](HWND d) { return !cellEdit(d) && (check(d), true); };
    }
    static inline DWORD lastClick = 0;
};

// Presets switch on a copy: a password mismatch refuses the switch and OK
// until it is mended. Cells are edited in place, column 0 never.
TEST_F(RegistrationSetupDialogRealPointerTest, PresetsAndCellsAreEditedOnACopyAndOkWritesThem) {
    std::string firstName;
    RecordingMessageBoxes boxes;
    const std::string tooLong = std::string(50, 'x') + "表" + std::string(50, 'y');  // 102 bytes
    EXPECT_EQ(IDOK, run({[&](HWND d) {
                             SetDlgItemTextA(d, IDC_PRESET_NAME, "朝の番組");  // preset 1 renamed
                             chooseItem(d, IDC_PRESET_LIST, 2);
                             EXPECT_EQ(std::tuple(2, "深夜"), std::tuple(selectedPreset(d), dialogItemText(d, IDC_PRESET_NAME)));
                             SetDlgItemTextA(d, IDC_PRESET_ACCOUNT, "録画係");
                             SetDlgItemTextA(d, IDC_PRESET_PASSWORD, "secret");
                             chooseItem(d, IDC_PRESET_LIST, 4);  // refused: the drop-down snaps back
                             EXPECT_TRUE(passwordsAskedAgain(d, IDC_PRESET_PASSWORD, IDC_PRESET_PASSWORD_CONFIRM));
                             SetDlgItemTextA(d, IDC_PRESET_PASSWORD, "secret");
                             pressButton(d, IDOK);  // refused too
                             EXPECT_EQ(std::tuple(2, 2, true),
                                       std::tuple(selectedPreset(d), current, IsWindowVisible(d) != FALSE));
                             SetDlgItemTextA(d, IDC_PRESET_PASSWORD, "secret");
                             SetDlgItemTextA(d, IDC_PRESET_PASSWORD_CONFIRM, "secret");
                             return firstName = cell(d, 0, 0), true;
                         },
                         click(0, 2),  // selects the row
                         click(0, 0),  // column 0 of a selected row edits column 1
                         type(0, 1, {'N', 'H', 'K', VK_RETURN}),
                         ended([&](HWND d) { EXPECT_EQ(std::tuple(firstName, "nhk"), std::tuple(cell(d, 0, 0), cell(d, 0, 1))); }),
                         click(0, 2), type(0, 2, {VK_BACK, VK_RETURN}),  // the number emptied
                         ended([](HWND d) { EXPECT_EQ("", cell(d, 0, 2)); }),
                         click(1, 2), click(1, 1), type(1, 1, {'X', VK_ESCAPE}),  // Escape keeps the cell and the dialog
                         ended([](HWND d) { EXPECT_EQ("BS101", cell(d, 1, 1)); }),
                         click(1, 1), type(1, 1, {VK_RETURN}, tooLong.c_str()),  // refused, not cut
                         ended([](HWND d) {
                             EXPECT_EQ("BS101", cell(d, 1, 1));
                             pressButton(d, IDC_TARGET_TVROCK);
                             pressButton(d, IDOK);
                         })},
                        &boxes));
    ASSERT_EQ(3u, boxes.shown.size());
    EXPECT_EQ("iEPG登録局名は99バイト以内で入力してください。", boxes.shown[2].text);
    auto stored = [&](const char* section, const char* key) { return settings.readString(section, key, "-", 100); };
    EXPECT_EQ(std::tuple("朝の番組", "nhk", "", "1", "150"),
              std::tuple(stored("iEpgSetup", "iEpgTunerecName"), stored("iEPGStationName", "1024"),
                         stored("RemoconChNo", "1024"), stored("iEpgSetup", "TvRock"), stored("iEpgSetupDialog", "CHNAMEW")));
    // The guide takes the new values at once: the emptied number is the remote key again.
    EXPECT_EQ(std::tuple(5, "nhk"), std::tuple(layout.channels[0].remoteNumber, layout.channels[0].stationName));
}

}  // namespace
}  // namespace corvane
