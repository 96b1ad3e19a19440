// The main window started as the program starts it, over a settings file and
// recordings of its own; registering from its popup and genre list, where a
// probe program records the command line it is started with.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "guide/popup_win.h"
#include "reserve/task_registration.h"
#include "resources/resource.h"
#include "support/main_window_rig_win.h"
#include "support/modal_script_win.h"
#include "support/recording_message_boxes.h"
#include "support/registration_fixture.h"

namespace corvane {
namespace {

class MainWindowTest : public MainWindowRig {};

TEST_F(MainWindowTest, StartsAtTheDefaultPlacementAndKeepsTheLastNormalRectangle) {
    start();
    EXPECT_EQ((RECT{100, 100, 100 + 830, 100 + 400}), windowRect(app.mainWindow));
    // Before the first layout the data menus are plain items, the channel view popup is empty.
    HMENU bar = GetMenu(app.mainWindow);
    EXPECT_EQ(std::tuple(UINT{IDM_COLUMN_PLACEHOLDER}, UINT{IDM_DATE_PLACEHOLDER}, 0),
              std::tuple(GetMenuItemID(bar, MENU_POS_COLUMNS), GetMenuItemID(bar, MENU_POS_DATES),
                         GetMenuItemCount(GetSubMenu(GetSubMenu(bar, MENU_POS_FILE), MENU_POS_FILE_CHANNEL_VIEW))));
    command(IDM_VIEW_CH_NO);
    EXPECT_TRUE(menuChecked(GetSubMenu(bar, MENU_POS_SETTINGS), IDM_VIEW_CH_NO));

    SetWindowPos(app.mainWindow, nullptr, 150, 120, 700, 450, SWP_NOZORDER);
    pump(1100);  // the housekeeping timer records the placement
    ShowWindow(app.mainWindow, SW_MINIMIZE);
    pump(1100);
    command(IDM_EXIT);
    pump(20);
    EXPECT_EQ(0, exitCode);
    stop();
    expectIni("Setup", {{"ViewChNo", "1"}});
    expectIni("Corvane", {{"WindowMin", "1"}, {"WindowX", "150"}, {"WindowCX", "850"}, {"WindowCY", "570"}});
}

// The user presses "中断" while the second of three files is read: the third stays unread.
TEST_F(MainWindowTest, CommandLineFilesLoadInOrderUntilAStopAndOnlyTheFirstLoadJumpsToNow) {
    const std::string a = recording("corvane_three", "a.ts", 1024, 6);
    const std::string b = recording("corvane three", "b.ts", 2, 6);
    const std::string c = recording("corvane_three", "c.ts", 1032, 8);
    loadHooks().confirmStop = [](HWND) { return true; };
    loadHooks().readTransportStream = [&](EpgStore* store, const char* path, ProgressSink* progress) {
        if (std::string(path) != b) return readTransportStream(store, path, progress);
        // This process's dialog: another test may show one beside it.
        PostMessageA(processWindow(GetCurrentProcessId(), nullptr, "EPGデータファイルの読み込み"), WM_COMMAND,
                     IDCANCEL, 0);
        progress->reportProgress(0, 10);
        progress->reportProgress(10, 10);
    };
    start(a + " \"" + b + "\" " + c);
    ASSERT_NE(nullptr, app.store->services[0]);
    EXPECT_TRUE(app.store->services[0]->serviceId == 1024 && !app.store->services[1]);
    // 09:30 with the guide from 06:00: 60 pixels below the header.
    GuideLayout& layout = *app.layout;
    EXPECT_EQ(std::tuple(localDayAt(6), 210 * 2 - 60), std::tuple(layout.view.guideBegin, layout.view.scrollY));

    // A second load keeps the position.
    layout.scrollVertical(kScrollTo, 0);
    app.commandLine = "\"" + c + "\"";
    command(IDM_OPEN_COMMAND_LINE);
    ASSERT_NE(nullptr, app.store->services[1]);
    EXPECT_EQ(0, layout.view.scrollY);
}

// "バージョン情報", the open and save dialogs and the registration setup's program and folder
// choosers open centred over the window that opened them, not at its corner.
TEST_F(MainWindowTest, DialogsAndChoosersOpenOverTheirOwner) {
    constexpr int kFileNameBox = 1148, kFolderTree = 14145;  // of the system's file dialog and folder browser
    start();
    SetWindowPos(app.mainWindow, nullptr, 300, 250, 700, 450, SWP_NOZORDER);
    HWND setup = nullptr;
    std::vector<std::string> seen;
    auto over = [&](HWND* owner) {
        return [&seen, owner](HWND window) {
            const RECT a = windowRect(window), b = windowRect(*owner);
            // Centred when it opens; the file dialog still grows by a few pixels afterwards.
            EXPECT_NEAR(a.left + a.right, b.left + b.right, 32) << windowText(window);
            EXPECT_NEAR(a.top + a.bottom, b.top + b.bottom, 32) << windowText(window);
            seen.push_back(windowText(window));
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        };
    };
    for (int id : {IDM_ABOUT, IDM_OPEN_FILE, IDM_SAVE_AS}) {
        const ModalScript script({{IDOK, over(&app.mainWindow)}}, {});
        command(id);
    }
    auto press = [&setup](int button) { return [&setup, button](HWND d) { pressButton(setup = d, button); }; };
    {
        const ModalScript script({{IDC_IEPG_ENABLE, press(IDC_IEPG_APP_BROWSE)}, {kFileNameBox, over(&setup)},
                                  {IDC_IEPG_ENABLE, press(IDC_PRESET_FOLDER_BROWSE)}, {kFolderTree, over(&setup)},
                                  {IDC_IEPG_ENABLE, press(IDCANCEL)}},
                                 {IDC_IEPG_ENABLE});
        command(IDM_IEPG_SETUP);
    }
    EXPECT_EQ((std::vector<std::string>{"バージョン情報", "EPGデータファイルを開く", "名前を付けて保存", "iEPGアプリケーションを登録",
                                        "フォルダーの参照"}),
              seen);
}

class LoadedWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        // Six services, so that the guide is wider and taller than the window.
        std::string line;
        for (uint16_t id = 1; id <= 6; ++id)
            line += recording("corvane_loaded", (std::to_string(id) + ".ts").c_str(), id, 6) + " ";
        start(line);
        ASSERT_NE(0, app.layout->view.guideBegin);
        UpdateWindow(app.mainWindow);  // paints: columns and title blocks get their places
    }
};

TEST_F(LoadedWindowTest, ClickRegistrationSetupDragViewSetupAndChannelOrderOnTheLoadedGuide) {
    GuideLayout& layout = *app.layout;
    const int startY = layout.view.scrollY, x = 60;
    const int y = layout.contentY(layout.events[0][3].start, layout.view.guideBegin) - startY + 5;
    // Pressed on the title block of the first column's fourth programme, released `d` pixels up and left.
    auto drag = [&](int d) {
        SendMessageA(app.mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(app.mainWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x - d, y - d));
        SendMessageA(app.mainWindow, WM_LBUTTONUP, 0, MAKELPARAM(x - d, y - d));
    };
    drag(2);
    EXPECT_EQ(std::tuple(0, startY, Selection{0, 3}), std::tuple(layout.view.scrollX, layout.view.scrollY, layout.view.selection));

    // The registration setup's OK takes away the popup and what it prepared; the genre list prepares its
    // programme again. Cancel leaves both.
    ASSERT_TRUE(popupShown(app.popupWindow));
    layout.events[0][3].genre = 0;  // listed, and shown, by the genre list's first genre
    refillGenreList(app.genreListWindow);
    for (const int button : {IDCANCEL, IDOK}) {
        DialogScript::start("iEPG設定", [button](HWND dialog) {
            CheckDlgButton(dialog, IDC_IEPG_ENABLE, BST_CHECKED);
            CheckRadioButton(dialog, IDC_TARGET_IEPG, IDC_TARGET_TVROCK, IDC_TARGET_EPGTIMER);
            pressButton(dialog, button);
        });
        command(IDM_IEPG_SETUP);
        EXPECT_EQ(button == IDCANCEL, popupShown(app.popupWindow));
        EXPECT_EQ((button == IDCANCEL ? Selection{0, 3} : Selection{}), layout.view.selection);
        expectIni("iEpgSetup", {{"iEpg", button == IDOK ? "1" : "<none>"}});
        EXPECT_EQ(button == IDOK ? "EpgTimer登録" : "iEPG登録",
                  windowText(GetDlgItem(app.genreListWindow, IDC_GENRE_REGISTER)));
    }

    drag(3);  // dragging drops the selection
    EXPECT_EQ(std::tuple(3, startY + 3, Selection{}), std::tuple(layout.view.scrollX, layout.view.scrollY, layout.view.selection));

    // A new geometry keeps the time at the top; a new channel order leaves the channel view.
    layout.scrollVertical(kScrollTo, 601);  // 300 minutes and a pixel below the start
    DialogScript::start("画面設定", [](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_VIEW_HOUR_HEIGHT, "4");
        pressButton(dialog, IDOK);
    });
    command(IDM_VIEW_SETUP);
    EXPECT_EQ(std::tuple(4, 300 * 4 + 2), std::tuple(app.view.hourHight, layout.view.scrollY));

    command(kChannelCommandBase + 2);
    HMENU channels = GetSubMenu(GetSubMenu(GetMenu(app.mainWindow), MENU_POS_FILE), MENU_POS_FILE_CHANNEL_VIEW);
    EXPECT_TRUE(menuChecked(channels, kChannelCommandBase + 2) && windowText(app.mainWindow) == "Corvane - [テスト放送]");
    DialogScript::start("チャンネル順設定", [](HWND dialog) {
        ListView_SetItemState(GetDlgItem(dialog, IDC_ORDER_LIST), 0, LVIS_SELECTED, LVIS_SELECTED);
        pressButton(dialog, IDC_ORDER_DOWN);
        pressButton(dialog, IDOK);
    });
    command(IDM_CHANNEL_ORDER);
    EXPECT_EQ(std::tuple(1, 0, -1, std::string("Corvane")),
              std::tuple(layout.columnOrder[0].service, layout.columnOrder[1].service, layout.view.viewService,
                         windowText(app.mainWindow)));
}

class RegistrationWinTest : public MainWindowTest {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder / "EpgTimer");
        ASSERT_TRUE(CopyFileA(builtFilePath(CORVANE_PROBE_EXE).c_str(), probe.c_str(), FALSE));
        SetEnvironmentVariableA("CORVANE_PROBE_OUTPUT", probeOutput.c_str());
        ini.write("[iEPGStationName]\r\n1024=テスト局\r\n[VurdaChNo]\r\n1024=27\r\n");
        app.messageBoxes.reset(boxes = new RecordingMessageBoxes);
        start();
        KillTimer(app.mainWindow, TIMER_HOUSEKEEPING);  // the test looks at the reservation watch itself
        putSchedule(app.store.get(), 1024, 0x7FE0, 0, {{dayAt(9), 3600, "朝の番組"}, {dayAt(10), 1800, "次の番組"}});
        afterLoad(app);
        UpdateWindow(app.mainWindow);  // the title blocks get their heights
        app.registrations->paths = {file("X.tvpi"), file("X.register.tvpi"), file("EpgTimer\\Program.txt")};
        app.registration.iEpg = 1;
        app.registration.fileName = probe;
    }
    ~RegistrationWinTest() override { SetEnvironmentVariableA("CORVANE_PROBE_OUTPUT", nullptr); }

    // A click on programme `index` of the guide: the popup shows it.
    void select(int index) {
        const GuideLayout& layout = *app.layout;
        const int y = layout.contentY(layout.events[0][index].start, layout.view.guideBegin) - layout.view.scrollY;
        clickGuide(app.popupHost, app.popupWindow, 60, y + 5);
        ASSERT_TRUE(IsWindowVisible(app.popupWindow));
    }
    HWND button() { return GetDlgItem(app.popupWindow, IDOK); }
    // The popup's button: its command goes to the main window.
    void press() {
        SendMessageA(app.popupWindow, WM_COMMAND, IDOK, 0);
        pump(50);
    }
    // The command line the probe was started with; "" when none came within `ms`.
    std::string probeLine(int ms = 20000) {
        for (int waited = 0; waited < ms && !std::filesystem::exists(probeOutput); waited += 20) Sleep(20);
        const std::string line = read(probeOutput);
        std::filesystem::remove(probeOutput);
        return line;
    }
    std::string file(const char* name) const { return (folder / name).string(); }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    RecordingMessageBoxes* boxes = nullptr;
    const std::filesystem::path folder = root / "with blank";
    const std::string probe = file("probe.exe"), probeOutput = file("line.txt");
};

TEST_F(RegistrationWinTest, EachWindowHandsItsOwnProgrammeToTheIEpgApplicationEpgTimerAndTheCaptureTool) {
    // The genre list selects the second programme (as its detail pane does), then the guide the first.
    app.genreListHost.prepareRegistration(app.genreListWindow, 0, app.layout->events[0][1]);
    select(0);
    EXPECT_EQ("iEPG登録", windowText(button()));
    press();
    EXPECT_EQ(std::pair(false, Selection{}), std::pair(IsWindowVisible(app.popupWindow) != FALSE, app.layout->view.selection));
    EXPECT_EQ("\"" + probe + "\" \"" + file("X.register.tvpi") + "\"", probeLine());
    EXPECT_NE(std::string::npos, read(file("X.register.tvpi")).find("start: 09:00\r\nend: 10:00\r\nprogram-title: 朝の番組"));
    SendMessageA(app.genreListWindow, WM_COMMAND, IDM_GENRE_REGISTER_FILE_OR_WEB, 0);
    EXPECT_FALSE(probeLine().empty());
    EXPECT_NE(std::string::npos, read(file("X.register.tvpi")).find("program-title: 次の番組"));

    // EpgTimer, chosen after both selections: the genre list's line in its own format after what the
    // file held (its last line ended), then the popup's; EpgTimer is started alone.
    app.registration.epgTimer = 1;
    std::ofstream(file("EpgTimer\\Program.txt"), std::ios::binary) << "held";
    SendMessageA(app.genreListWindow, WM_COMMAND, IDM_GENRE_REGISTER_FILE_OR_WEB, 0);
    EXPECT_EQ("\"" + probe + "\"", probeLine());
    select(0);
    EXPECT_EQ("EpgTimer登録", windowText(button()));
    press();
    EXPECT_EQ("\"" + probe + "\"", probeLine());
    EXPECT_EQ("held\r\n2026/12/07\t10:00\t00:30\t次の番組\t1024\t0\t1024\t2\t3\t1\t0\t\r\n"
              "2026/12/07\t09:00\t01:00\t朝の番組\t1024\t27\t1024\t1\t3\t1\t0\t\r\n",
              read(file("EpgTimer\\Program.txt")));

    // Both kinds offer the menu below the button; the capture opens the task dialog.
    app.registration.epgTimer = 0, app.registration.iEpgTunerec = 1;
    app.presets[0].executablePath = probe;
    const std::string channelNumber = channelNumberText(0, app.layout->channels[0].remoteNumber);
    // 09:00-10:00 at 09:30: the capture tool starts at once for the 30 minutes left and one more.
    const std::string expected[] = {"\"" + probe + "\" \"" + file("X.register.tvpi") + "\"",
                                    "\"" + probe + "\" \"\\朝の番組.ts\" " + channelNumber + " 31 P POFF B25   I1 "};
    for (int itemsDown : {1, 2}) {
        select(0);
        const RECT below = windowRect(button());
        watchWasReset(app.reservationWatch);  // nothing pending before the press
        MenuChoice menu{itemsDown, nullptr};
        menu.arm();
        {
            std::vector<ModalStep> taskDialog{{IDC_TASK_FILE, [&](HWND dialog) {
                                                   EXPECT_EQ(channelNumber, dialogItemText(dialog, IDC_TASK_CHANNEL_NO));
                                                   pressButton(dialog, IDOK);
                                               }}};
            const ModalScript script(itemsDown == 2 ? taskDialog : std::vector<ModalStep>{}, {IDC_TASK_CHANNEL});
            press();
        }
        EXPECT_EQ((std::pair(below.left, below.bottom)), (std::pair(menu.rect.left, menu.rect.top)));
        EXPECT_EQ(expected[itemsDown - 1], probeLine());
        EXPECT_EQ(itemsDown == 2, watchWasReset(app.reservationWatch));  // the task dialog answered 1
    }
    EXPECT_TRUE(boxes->shown.empty());
}

// The three ways a press registers; the real pointer moves, so these run alone (see CMakeLists.txt).
enum class PressKind { captureTool, bothKinds, epgTimer };

class RegistrationRealPointerTest : public RegistrationWinTest, public testing::WithParamInterface<PressKind> {
protected:
    static void click() {
        INPUT buttons[2] = {{INPUT_MOUSE, {}}, {INPUT_MOUSE, {}}};
        buttons[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN, buttons[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, buttons, sizeof(INPUT));
    }
    // A click on the title of the first programme, then at once the pointer jumps onto the popup's
    // button (5 pixels right of and below the click) and presses: once the popup shows, or while
    // the program is still busy with the click. A press made before the popup opened reaches the
    // guide beneath it, as the display routes it by the windows shown at the press.
    void clickThenPressAtOnce(bool busy) {
        POINT title{60, 25};
        ClientToScreen(app.mainWindow, &title);
        const RECT popup = windowRect(app.popupWindow), r = windowRect(button());
        const POINT target{title.x + 5 + (r.left + r.right) / 2 - popup.left, title.y + 5 + (r.top + r.bottom) / 2 - popup.top};
        SetCursorPos(title.x, title.y);
        click();
        if (busy) SetCursorPos(target.x, target.y);
        for (int i = 0; i < 100 && !IsWindowVisible(app.popupWindow); ++i) pump(10);
        ASSERT_TRUE(IsWindowVisible(app.popupWindow) && IsWindowVisible(button()));
        SetCursorPos(target.x, target.y);
        if (busy) {
            POINT guide = target;
            ScreenToClient(app.mainWindow, &guide);
            PostMessageA(app.mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(guide.x, guide.y));
            PostMessageA(app.mainWindow, WM_LBUTTONUP, 0, MAKELPARAM(guide.x, guide.y));
        } else {
            click();
        }
        pump(300);
    }
    // What one press must have handed over, counted after `presses` of them.
    void press(int presses) {
        int taskDialogs = 0;
        MenuChoice menu{1, nullptr};  // "EpgTimer登録"
        if (GetParam() == PressKind::bothKinds) menu.arm();
        {
            const ModalScript script(GetParam() == PressKind::captureTool
                                         ? std::vector<ModalStep>{{IDC_TASK_FILE, [&](HWND dialog) {
                                                                      ++taskDialogs;
                                                                      pressButton(dialog, IDCANCEL);
                                                                  }}}
                                         : std::vector<ModalStep>{},
                                     {IDC_TASK_CHANNEL});
            clickThenPressAtOnce(presses % 2 == 0);
        }
        EXPECT_FALSE(IsWindowVisible(app.popupWindow)) << "press " << presses;
        if (GetParam() == PressKind::captureTool) {
            EXPECT_EQ(1, taskDialogs) << "press " << presses;
        } else {
            const std::string lines = read(file("EpgTimer\\Program.txt"));
            EXPECT_EQ(presses, std::count(lines.begin(), lines.end(), '\n')) << "press " << presses;
        }
    }
};

TEST_P(RegistrationRealPointerTest, APressAtOnceHandsOverTheProgrammeEveryTimeAlsoAfterTheSetupDialog) {
    SetTimer(app.mainWindow, TIMER_HOUSEKEEPING, 1000, nullptr);  // the reservation tick runs as in the program
    app.registration.iEpg = GetParam() != PressKind::captureTool;
    app.registration.epgTimer = 1;
    app.registration.iEpgTunerec = GetParam() != PressKind::epgTimer;
    app.presets[0].executablePath = probe;
    for (int n = 1; n <= 8; ++n) press(n);

    // "iEPG設定" closed with Enter as it opened (a dialog still open after 30 seconds fails the
    // script): the next press still registers.
    DialogScript::run("iEPG設定", {[](HWND dialog) {
                                       SetForegroundWindow(dialog);
                                       for (DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
                                           INPUT key{INPUT_KEYBOARD, {}};
                                           key.ki.wVk = VK_RETURN, key.ki.dwFlags = flags;
                                           SendInput(1, &key, sizeof key);
                                       }
                                       return true;
                                   },
                                   [](HWND) { return false; }});
    command(IDM_IEPG_SETUP);
    ASSERT_TRUE(DialogScript::ran);
    press(9);
    EXPECT_TRUE(boxes->shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Targets, RegistrationRealPointerTest,
                         testing::Values(PressKind::captureTool, PressKind::bothKinds, PressKind::epgTimer));

// Tests that move the one pointer of the display run alone (see CMakeLists.txt).
class LoadedWindowRealPointerTest : public LoadedWindowTest {};

TEST_F(LoadedWindowRealPointerTest, TooltipsShowFromTheMouseOverTheGuide) {
    ASSERT_NE(nullptr, app.paint.tooltip);
    POINT header{100, 10};  // every column header has its tip
    ClientToScreen(app.mainWindow, &header);
    SetCursorPos(header.x, header.y);
    // The window relays its mouse messages; the tip follows after its delay.
    SendMessageA(app.mainWindow, WM_MOUSEMOVE, 0, MAKELPARAM(100, 10));
    for (int i = 0; i < 30 && !IsWindowVisible(app.paint.tooltip); ++i) pump(100);
    EXPECT_TRUE(IsWindowVisible(app.paint.tooltip));
}

}  // namespace
}  // namespace corvane
