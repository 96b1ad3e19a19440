// Drives the real registration setup dialog (130) like a user: a thread timer
// fires inside the dialog's modal loop and runs the steps of a script, each
// once its moment has come; the settings file is a real one.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "app/service_settings.h"
#include "dialogs/registration_setup_dialog_win.h"
#include "resources/resource.h"
#include "store/settings_win.h"
#include "support/fake_guide_host.h"
#include "support/guide_fixture.h"
#include "support/recording_message_boxes.h"
#include "support/store_sections.h"
#include "support/temp_ini.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

// One step of a script: done when it answers true, tried again at the next
// tick otherwise. Steps never wait inside: what opens a modal window is posted.
using Step = std::function<bool(HWND dialog)>;

struct ScriptRun {
    std::vector<Step> steps;
    size_t next = 0;
    bool busy = false;
    DWORD started = 0;
};
ScriptRun* running = nullptr;

HWND setupDialog() { return FindWindowA("#32770", "iEPG設定"); }

void CALLBACK scriptTick(HWND, UINT, UINT_PTR, DWORD) {
    ScriptRun& run = *running;
    HWND dialog = setupDialog();
    if (run.busy || !dialog || !IsWindowVisible(dialog)) return;
    if (GetTickCount() - run.started > 30000) {  // a step never came: leave rather than hang
        ADD_FAILURE() << "script stopped at step " << run.next;
        EndDialog(dialog, IDCANCEL);
        return;
    }
    if (run.next >= run.steps.size()) return;
    run.busy = true;
    if (run.steps[run.next](dialog)) ++run.next;
    run.busy = false;
}

std::string text(HWND dialog, int id) {
    char buffer[512] = {};
    GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
    return buffer;
}

std::string cell(HWND dialog, int row, int column) {
    char buffer[256] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendDlgItemMessageA(dialog, IDC_STATION_LIST, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

int selectedPreset(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageA(dialog, IDC_PRESET_LIST, CB_GETCURSEL, 0, 0));
}

std::string presetItem(HWND dialog, int index) {
    char buffer[300] = {};
    SendDlgItemMessageA(dialog, IDC_PRESET_LIST, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

// Picks preset `index` in the drop-down as a selection by the user does.
void pickPreset(HWND dialog, int index) {
    HWND list = GetDlgItem(dialog, IDC_PRESET_LIST);
    SendMessageA(list, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PRESET_LIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void press(HWND dialog, int id) { SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0); }

std::vector<std::string> folderAnswers;  // what the scripted folder chooser answers; "" cancels
std::vector<std::string> folderStarts;   // where it was asked to start

bool scriptedFolder(HWND owner, const std::string& initial, std::string& chosen) {
    EXPECT_NE(nullptr, owner);
    folderStarts.push_back(initial);
    const std::string answer = folderAnswers.empty() ? "" : folderAnswers.front();
    if (!folderAnswers.empty()) folderAnswers.erase(folderAnswers.begin());
    if (answer.empty()) return false;
    chosen = answer;
    return true;
}

// Terrestrial 1024 (remote key 5) and BS 101, both with programmes.
class RegistrationSetupDialogTest : public testing::Test {
protected:
    RegistrationSetupDialogTest() {
        host.clock = localOf(at(0, 12));
        putSchedule(store.get(), 1024, 0x7FE0, 0, {{at(0, 20), 1800, "番組"}});
        putSchedule(store.get(), 101, 4, 0, {{at(0, 20), 1800, "BS番組"}});
        store->services[0]->remoteKeyId = 5;
        settings.writeString("iEpgSetup", "iEpgTunerecName", "朝");
        settings.writeString("iEpgSetup:2", "iEpgTunerecName", "深夜");
        layout.buildListLayout(store.get());
        presets = readTunerecPresets(settings);
    }

    // Runs the dialog with `steps`; the answer is the dialog's result.
    int run(std::vector<Step> steps, MessageBoxes* messages = nullptr) {
        ScriptRun script{std::move(steps), 0, false, GetTickCount()};
        running = &script;
        const UINT_PTR timer = SetTimer(nullptr, 0, 40, scriptTick);
        const int result = runRegistrationSetupDialog(nullptr, app, browsers, messages);
        KillTimer(nullptr, timer);
        EXPECT_EQ(script.steps.size(), script.next) << "steps left undone";
        running = nullptr;
        return result;
    }

    TempIniFile ini{"setup"};
    PrivateProfileSettings settings{ini.path()};
    SettingsServicePreferences preferences{settings};
    ViewSettings view;
    FakeGuideHost host;
    StorePtr store{createStore()};
    GuideLayout layout{host, preferences, view};
    RegistrationSettings registration;
    std::vector<TunerecPreset> presets;
    int current = 0;
    RegistrationSetupHost app{settings, preferences, registration, presets, current, store.get(), layout};
    SetupBrowsers browsers{chooseProgramWithDialog, scriptedFolder};
};

TEST_F(RegistrationSetupDialogTest, SwitchingPresetsThenCancellingWritesNothingButTheNextOpeningShowsThatPreset) {
    const std::string before = ini.read();
    EXPECT_EQ(IDCANCEL, run({[](HWND d) {
                  EXPECT_EQ(std::tuple(0, std::string("朝"), std::string("深夜")),
                            std::tuple(selectedPreset(d), text(d, IDC_PRESET_NAME), presetItem(d, 2)));
                  SetDlgItemTextA(d, IDC_PRESET_NAME, "朝の番組");  // a new name for preset 1
                  pickPreset(d, 2);
                  // The drop-down shows the new name; the controls show preset 3.
                  EXPECT_EQ(std::tuple(2, std::string("朝の番組"), std::string("深夜"), std::string("3")),
                            std::tuple(selectedPreset(d), presetItem(d, 0), text(d, IDC_PRESET_NAME),
                                       text(d, IDC_PRESET_ID)));
                  press(d, IDCANCEL);
                  return true;
              }}));
    EXPECT_EQ(before, ini.read());
    EXPECT_EQ(std::tuple(2, std::string("朝")), std::tuple(current, presets[0].name));
    EXPECT_EQ(IDCANCEL, run({[](HWND d) {
                  EXPECT_EQ(std::tuple(2, std::string("深夜"), std::string("朝")),
                            std::tuple(selectedPreset(d), text(d, IDC_PRESET_NAME), presetItem(d, 0)));
                  press(d, IDCANCEL);
                  return true;
              }}));
}

TEST_F(RegistrationSetupDialogTest, DifferentPasswordsWithAnAccountRefuseTheSwitchAndOk) {
    RecordingMessageBoxes boxes;
    const RecordingMessageBoxes::Box mismatch{"パスワードを再入力してください", "iEPG設定",
                                              message_box::okCancel | message_box::iconInformation};
    EXPECT_EQ(IDOK, run({[&](HWND d) {
                            SetDlgItemTextA(d, IDC_PRESET_ACCOUNT, "録画係");
                            SetDlgItemTextA(d, IDC_PRESET_PASSWORD, "secret");
                            SetDlgItemTextA(d, IDC_PRESET_PASSWORD_CONFIRM, "secreT");
                            pickPreset(d, 4);
                            EXPECT_EQ(std::tuple(0, 0, std::string("録画係")),
                                      std::tuple(selectedPreset(d), current, text(d, IDC_PRESET_ACCOUNT)));
                            press(d, IDOK);
                            EXPECT_TRUE(IsWindowVisible(d));
                            EXPECT_EQ((std::vector{mismatch, mismatch}), boxes.shown);
                            SetDlgItemTextA(d, IDC_PRESET_PASSWORD_CONFIRM, "secret");
                            press(d, IDOK);
                            return true;
                        }},
                        &boxes));
    EXPECT_EQ(2u, boxes.shown.size());
    EXPECT_EQ("985e89e68c57", settings.readString("ViewSetup", "iEpgAColor", "", 100));
    EXPECT_EQ("736563726574", settings.readString("ViewSetup", "iEpgPColor", "", 100));
}

TEST_F(RegistrationSetupDialogTest, OkWritesTheTargetPresetsAndStationsAndTheGuideTakesThem) {
    settings.writeString("RemoconChNo", "101:4", "7");
    layout.buildListLayout(store.get());
    folderAnswers = {"C:\\録画", ""};
    EXPECT_EQ(IDOK, run({[](HWND d) {
                             EXPECT_EQ(std::tuple(2, std::string("BS101"), std::string("7")),
                                       std::tuple(static_cast<int>(
                                                      SendDlgItemMessageA(d, IDC_STATION_LIST, LVM_GETITEMCOUNT, 0, 0)),
                                                  cell(d, 1, 0), cell(d, 1, 2)));
                             press(d, IDC_IEPG_ENABLE);
                             press(d, IDC_TARGET_TVROCK);
                             SetDlgItemTextA(d, IDC_TVROCK_HOST, "http://192.168.0.2:8969/tv/");
                             SetDlgItemTextA(d, IDC_PRESET_ACCOUNT, "abc");
                             SetDlgItemTextA(d, IDC_PRESET_FOLDER, "D:\\old");
                             press(d, IDC_PRESET_FOLDER_BROWSE);  // a folder: it gets its '\'
                             EXPECT_EQ("C:\\録画\\", text(d, IDC_PRESET_FOLDER));
                             press(d, IDC_PRESET_FOLDER_BROWSE);  // cancelled: the box keeps it
                             EXPECT_EQ("C:\\録画\\", text(d, IDC_PRESET_FOLDER));
                             return true;
                         },
                         [](HWND d) {
                             press(d, IDOK);
                             return true;
                         }}));
    EXPECT_EQ((std::vector<std::string>{"D:\\old", "C:\\録画\\"}), folderStarts);
    auto stored = [&](const char* section, const char* key) {
        return settings.readString(section, key, "<none>", 300);
    };
    EXPECT_EQ(
        std::tuple(std::string("1"), std::string("0"), std::string("1"), std::string("http://192.168.0.2:8969/tv/")),
        std::tuple(stored("iEpgSetup", "iEpg"), stored("iEpgSetup", "EpgTimer"), stored("iEpgSetup", "TvRock"),
                   stored("iEpgSetup", "HostName")));
    EXPECT_EQ(std::tuple(std::string("616263"), std::string("C:\\録画\\"), std::string("150")),
              std::tuple(stored("ViewSetup", "iEpgAColor"), stored("iEpgSetup", "FileNameTunerecSave"),
                         stored("iEpgSetupDialog", "CHNAMEW")));
    EXPECT_EQ(std::tuple(std::string("5"), std::string("7")),
              std::tuple(stored("RemoconChNo", "1024"), stored("RemoconChNo", "101:4")));
    EXPECT_EQ(std::tuple(1, std::string("abc")), std::tuple(registration.tvRock, presets[0].account));
}

// The modal window a browse button opened over the dialog, or null.
HWND browserOver(HWND dialog) {
    struct Search {
        HWND dialog;
        HWND found;
    } search{dialog, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) {
            auto& s = *reinterpret_cast<Search*>(data);
            if (window != s.dialog && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == s.dialog)
                s.found = window;
            return s.found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Once the browser is there: leaves it with `button` (IDOK or IDCANCEL).
Step leaveBrowser(int button) {
    return [=](HWND d) {
        HWND browser = browserOver(d);
        if (!browser) return false;
        PostMessageA(browser, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(browser, button)));
        return true;
    };
}

TEST_F(RegistrationSetupDialogTest, ThePlatformBrowsersStartFromTheBoxesAndAFolderGetsItsBackslash) {
    browsers = SetupBrowsers{};
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "corvane_browse_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, sizeof program);
    auto waitForNoBrowser = [](std::function<void(HWND)> then) {
        return [=](HWND d) {
            if (browserOver(d)) return false;
            then(d);
            return true;
        };
    };
    EXPECT_EQ(IDCANCEL, run({[&](HWND d) {
                                 SetDlgItemTextA(d, IDC_PRESET_FOLDER, folder.c_str());
                                 PostMessageA(GetDlgItem(d, IDC_PRESET_FOLDER_BROWSE), BM_CLICK, 0, 0);
                                 return true;
                             },
                             leaveBrowser(IDOK),  // the folder the box named, selected at the start
                             waitForNoBrowser([&](HWND d) {
                                 EXPECT_EQ(folder + "\\", text(d, IDC_PRESET_FOLDER));
                                 SetDlgItemTextA(d, IDC_PRESET_FOLDER, "C:\\");
                                 PostMessageA(GetDlgItem(d, IDC_PRESET_FOLDER_BROWSE), BM_CLICK, 0, 0);
                             }),
                             leaveBrowser(IDCANCEL), waitForNoBrowser([&](HWND d) {
                                 EXPECT_EQ("C:\\", text(d, IDC_PRESET_FOLDER));
                                 SetDlgItemTextA(d, IDC_PRESET_APP_PATH, program);
                                 PostMessageA(GetDlgItem(d, IDC_PRESET_APP_BROWSE), BM_CLICK, 0, 0);
                             }),
                             leaveBrowser(IDOK),  // the program the box named
                             waitForNoBrowser([&](HWND d) {
                                 EXPECT_EQ(0, lstrcmpiA(program, text(d, IDC_PRESET_APP_PATH).c_str()))
                                     << text(d, IDC_PRESET_APP_PATH);
                                 SetDlgItemTextA(d, IDC_IEPG_APP_PATH, "");
                                 PostMessageA(GetDlgItem(d, IDC_IEPG_APP_BROWSE), BM_CLICK, 0, 0);
                             }),
                             leaveBrowser(IDCANCEL), waitForNoBrowser([&](HWND d) {
                                 EXPECT_EQ("", text(d, IDC_IEPG_APP_PATH));
                                 press(d, IDCANCEL);
                             })}));
    RemoveDirectoryA(folder.c_str());
}

// Tests that move the one pointer of the display run alone (see CMakeLists.txt).
class RegistrationSetupDialogRealPointerTest : public RegistrationSetupDialogTest {
protected:
    // The cell's rectangle on the screen.
    static RECT screenCell(HWND dialog, int row, int column) {
        HWND list = GetDlgItem(dialog, IDC_STATION_LIST);
        RECT rect{LVIR_LABEL, column, 0, 0};
        SendMessageA(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    static HWND cellEdit(HWND dialog) {
        return reinterpret_cast<HWND>(SendDlgItemMessageA(dialog, IDC_STATION_LIST, LVM_GETEDITCONTROL, 0, 0));
    }
    static void send(std::vector<INPUT> inputs) {
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }
    // A click in the middle of the cell, once a double click's time has passed
    // since the last one: the pointer moves there first, the button is
    // pressed at a later tick.
    static Step clickCell(int row, int column) {
        return [=](HWND d) {
            if (GetTickCount() - lastClick < GetDoubleClickTime() + 200) return false;
            const RECT rect = screenCell(d, row, column);
            const POINT target{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
            POINT at{};
            GetCursorPos(&at);
            if (at.x != target.x || at.y != target.y) {
                SetCursorPos(target.x, target.y);
                return false;
            }
            INPUT down{INPUT_MOUSE, {}}, up{INPUT_MOUSE, {}};
            down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
            up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
            send({down, up});
            lastClick = GetTickCount();
            return true;
        };
    }
    static void type(std::vector<WORD> keys) {
        std::vector<INPUT> inputs;
        for (WORD key : keys)
            for (DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
                INPUT input{INPUT_KEYBOARD, {}};
                input.ki.wVk = key;
                input.ki.dwFlags = flags;
                inputs.push_back(input);
            }
        send(inputs);
    }
    // Once the list edits a cell: it covers exactly the cell of `column`.
    static Step typeInto(int row, int column, std::vector<WORD> keys) {
        return [=](HWND d) {
            HWND edit = cellEdit(d);
            if (!edit || !IsWindowVisible(edit) || GetFocus() != edit) return false;
            EXPECT_EQ(screenCell(d, row, column), windowRect(edit)) << "column " << column;
            type(keys);
            return true;
        };
    }
    static Step editEnded(std::function<void(HWND)> check) {
        return [=](HWND d) {
            if (cellEdit(d)) return false;
            check(d);
            return true;
        };
    }
    static inline DWORD lastClick = 0;
};

TEST_F(RegistrationSetupDialogRealPointerTest, CellsAreEditedInPlaceAndColumnZeroNeverChanges) {
    std::string firstName;
    RecordingMessageBoxes boxes;
    const RecordingMessageBoxes::Box tooLong{"iEPG登録局名は99バイト以内で入力してください。", "iEPG設定",
                                             message_box::ok | message_box::iconWarning};
    EXPECT_EQ(IDOK, run({[&](HWND d) {
                             firstName = cell(d, 0, 0);
                             return true;
                         },
                         clickCell(0, 2),  // selects the row
                         clickCell(0, 0),  // column 0 of a selected row: column 1
                         typeInto(0, 1, {'N', 'H', 'K', VK_RETURN}), editEnded([&](HWND d) {
                             EXPECT_EQ(std::tuple(firstName, std::string("nhk")),
                                       std::tuple(cell(d, 0, 0), cell(d, 0, 1)));
                         }),
                         clickCell(0, 2), typeInto(0, 2, {VK_BACK, VK_RETURN}),  // the number emptied
                         editEnded([](HWND d) { EXPECT_EQ("", cell(d, 0, 2)); }), clickCell(1, 2), clickCell(1, 2),
                         typeInto(1, 2, {'X', VK_ESCAPE}),  // Escape keeps the cell and the dialog
                         editEnded([](HWND d) {
                             EXPECT_TRUE(IsWindowVisible(d));
                             EXPECT_EQ("101", cell(d, 1, 2));
                         }),
                         clickCell(1, 1),
                         [](HWND d) {  // more than the guide reads back: refused, not cut
                             HWND edit = cellEdit(d);
                             if (!edit || GetFocus() != edit) return false;
                             SetWindowTextA(edit, std::string(50, 'x').append("表").append(50, 'y').c_str());
                             type({VK_RETURN});
                             return true;
                         },
                         editEnded([&](HWND d) {
                             EXPECT_EQ(std::vector{tooLong}, boxes.shown);
                             EXPECT_EQ("BS101", cell(d, 1, 1));
                             press(d, IDOK);
                         })},
                        &boxes));
    EXPECT_EQ(std::tuple(std::string("nhk"), std::string(""), std::string("101")),
              std::tuple(settings.readString("iEPGStationName", "1024", "<none>", 100),
                         settings.readString("RemoconChNo", "1024", "<none>", 100),
                         settings.readString("RemoconChNo", "101:4", "<none>", 100)));
    // The guide takes them at once: the emptied number is the remote key again.
    EXPECT_EQ(std::tuple(std::string("nhk"), 5),
              std::tuple(layout.channels[0].stationName, layout.channels[0].remoteNumber));
}

}  // namespace
}  // namespace corvane
