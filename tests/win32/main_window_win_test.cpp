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

#include "app/find_bar_win.h"
#include "guide/popup_win.h"
#include "reserve/task_registration.h"
#include "guide/window_placement.h"
#include "resources/resource.h"
#include "support/main_window_rig_win.h"
#include "support/modal_script_win.h"
#include "support/recording_message_boxes.h"
#include "support/registration_fixture.h"

namespace corvane {
namespace {

class MainWindowTest : public MainWindowRig {};

TEST_F(MainWindowTest, StartsAtTheDefaultPlacementAndKeepsTheLastNormalRectangle) {
    // The first start fits the work area; the list windows are cascaded from the window's corner.
    start("", true);
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const WindowRect fitted = firstMainWindowRect(WorkArea{area.left, area.top, area.right, area.bottom});
    EXPECT_EQ((RECT{fitted.x, fitted.y, fitted.x + fitted.width, fitted.y + fitted.height}), windowRect(app.mainWindow));
    const RECT genreList = windowRect(app.genreListWindow), reservations = windowRect(app.reservationListWindow);
    EXPECT_EQ((std::pair<LONG, LONG>(fitted.x + 48, fitted.y + 48)), std::pair(genreList.left, genreList.top));
    EXPECT_EQ(std::pair(genreList.left + 32, genreList.top + 32), std::pair(reservations.left, reservations.top));
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

// "バージョン情報" and the open dialog (as every chooser) open centred over the window that opened
// them, not at its corner (the file dialog grows a little once open).
TEST_F(MainWindowTest, DialogsOpenOverTheirOwner) {
    start();
    SetWindowPos(app.mainWindow, nullptr, 300, 250, 700, 450, SWP_NOZORDER);
    const RECT main = windowRect(app.mainWindow);
    for (int id : {IDM_ABOUT, IDM_OPEN_FILE}) {
        const ModalScript script({{IDOK, [&main](HWND d) {
                                       const RECT r = windowRect(d);
                                       EXPECT_LE(std::abs(r.left + r.right - main.left - main.right) +
                                                     std::abs(r.top + r.bottom - main.top - main.bottom), 64);
                                       PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
                                   }}},
                                 {});
        command(id);
    }
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

// Tests that move the one pointer of the display run alone (see CMakeLists.txt).
class LoadedWindowRealPointerTest : public LoadedWindowTest {};

TEST_F(LoadedWindowRealPointerTest, ClickRegistrationSetupDragViewSetupAndChannelOrderOnTheLoadedGuide) {
    GuideLayout& layout = *app.layout;
    const int startY = layout.view.scrollY, x = 60;
    const int y = layout.contentY(layout.events[0][3].start, layout.view.guideBegin) - startY + 5;
    // The pointer rests where the clicks are: the popup opens beside the click and stays while the pointer is near.
    POINT pointer{x, y};
    ClientToScreen(app.mainWindow, &pointer);
    SetCursorPos(pointer.x, pointer.y);
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

// The capture tool alone (0), both kinds (1), EpgTimer alone (2). Moves the real pointer, so it
// runs alone (see CMakeLists.txt).
class RegistrationRealPointerTest : public RegistrationWinTest, public testing::WithParamInterface<int> {};

// The real pointer clicks the title of the first programme and at once presses the popup's button,
// 5 pixels right of and below the click: once the popup shows, or (every second press) while the
// program is still busy with the click, when the display hands the press to the guide beneath.
TEST_P(RegistrationRealPointerTest, APressAtOnceHandsOverTheProgrammeEveryTimeAlsoAfterTheSetupDialog) {
    const bool capture = GetParam() != 2, fileOrWeb = GetParam() != 0, dialog = capture && !fileOrWeb;
    std::tie(app.registration.iEpg, app.registration.iEpgTunerec, app.registration.epgTimer) = std::tuple(fileOrWeb, capture, 1);
    app.presets[0].executablePath = probe;
    SetTimer(app.mainWindow, TIMER_HOUSEKEEPING, 1000, nullptr);  // the reservation tick, as in the program
    int dialogs = 0;
    auto press = [&](int n) {
        POINT title{60, 25};
        ClientToScreen(app.mainWindow, &title);
        const RECT popup = windowRect(app.popupWindow), b = windowRect(button());
        POINT at{title.x + 5 + (b.left + b.right) / 2 - popup.left, title.y + 5 + (b.top + b.bottom) / 2 - popup.top};
        MenuChoice menu{1, nullptr};  // "EpgTimer登録"
        if (capture && fileOrWeb) menu.arm();
        const ModalScript script(dialog ? std::vector<ModalStep>{{IDC_TASK_FILE, [&](HWND d) { ++dialogs, pressButton(d, IDCANCEL); }}}
                                        : std::vector<ModalStep>{},
                                 {IDC_TASK_CHANNEL});
        SetCursorPos(title.x, title.y);
        realClick();
        if (n % 2 == 0) SetCursorPos(at.x, at.y);
        for (int i = 0; i < 100 && !IsWindowVisible(app.popupWindow); ++i) pump(10);
        SetCursorPos(at.x, at.y);
        ScreenToClient(app.mainWindow, &at);
        if (n % 2 == 1) realClick();
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP})
            if (n % 2 == 0) PostMessageA(app.mainWindow, message, 0, MAKELPARAM(at.x, at.y));
        pump(300);
        const std::string lines = read(file("EpgTimer\\Program.txt"));
        EXPECT_EQ(n, dialog ? dialogs : std::count(lines.begin(), lines.end(), '\n')) << "press " << n;
    };
    for (int n = 1; n <= 8; ++n) press(n);
    DialogScript::start("iEPG設定", [](HWND d) { pressButton(d, IDOK); });  // its settings are written: busy a while
    command(IDM_IEPG_SETUP);
    press(9);
    EXPECT_TRUE(boxes->shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Targets, RegistrationRealPointerTest, testing::Values(0, 1, 2));

// Enter is the popup's button for the programme the keyboard selected: one target at once, both
// kinds through the menu under the button, chosen with the keys.
class RegistrationKeysRealPointerTest : public RegistrationWinTest {};

TEST_F(RegistrationKeysRealPointerTest, EnterRegistersTheSelectedProgrammeAndTheKeysChooseFromTheMenu) {
    focusMainWindow();
    for (const bool both : {false, true}) {
        app.registration.iEpgTunerec = both;
        keys({VK_DOWN});  // under the line of the time: the 09:00 programme
        ASSERT_TRUE(IsWindowVisible(app.popupWindow));
        MenuChoice menu{1, nullptr, true};  // "iEPG登録", the first item
        if (both) menu.arm();
        keys({VK_RETURN}, 300);
        EXPECT_EQ("\"" + probe + "\" \"" + file("X.register.tvpi") + "\"", probeLine()) << both;
        EXPECT_NE(std::string::npos, read(file("X.register.tvpi")).find("program-title: 朝の番組")) << both;
        if (both) EXPECT_EQ(windowRect(button()).bottom, menu.rect.top);
        EXPECT_EQ(std::pair(false, Selection{}), std::pair(IsWindowVisible(app.popupWindow) != FALSE, app.layout->view.selection));
    }
    EXPECT_TRUE(boxes->shown.empty());
}


TEST_F(LoadedWindowRealPointerTest, TooltipsShowFromTheMouseOverTheGuide) {
    pump(1100);  // the first housekeeping tick repaints, and a repaint makes new tips
    ASSERT_NE(nullptr, app.paint.tooltip);
    POINT header{100, 10};  // every column header has its tip
    ClientToScreen(app.mainWindow, &header);
    SetCursorPos(header.x, header.y);
    // The window relays its mouse messages; the tip follows after its delay.
    SendMessageA(app.mainWindow, WM_MOUSEMOVE, 0, MAKELPARAM(100, 10));
    for (int i = 0; i < 100 && !IsWindowVisible(app.paint.tooltip); ++i) pump(100);  // slow on a busy machine
    EXPECT_TRUE(IsWindowVisible(app.paint.tooltip));
}

// Four services, the first with two days of programmes, the second's column hidden: the guide as the
// keyboard meets it, in front with the focus. Real keys go to the window in front, so it runs alone.
class KeyboardRealPointerTest : public MainWindowTest {
protected:
    void SetUp() override {
        std::string line = recording("corvane_keys", "1.ts", 1, 6, 2) + " ";
        for (uint16_t id = 2; id <= 4; ++id)
            line += recording("corvane_keys", (std::to_string(id) + ".ts").c_str(), id, 6) + " ";
        start(line);
        ASSERT_NE(0, app.layout->view.guideBegin);
        command(kColumnCommandBase + 1);
        UpdateWindow(app.mainWindow);
        focusMainWindow();
    }
    std::string popupTime() { return windowText(GetDlgItem(app.popupWindow, IDC_POPUP_TIME)).substr(0, 13); }
    GuideLayout& layout() { return *app.layout; }
};

TEST_F(KeyboardRealPointerTest, ArrowsCarryThePopupFromProgrammeToProgrammeAndTheScrollKeysMoveAsTheMouseDoes) {
    // The first arrow: under the line of the time (09:30) in the first column; the popup beside the
    // title block, the focus left with the guide.
    GuideLayout& layout = this->layout();
    keys({VK_DOWN});
    EXPECT_EQ(std::tuple(Selection{0, 3}, std::string(" 09:00～10:00")), std::tuple(layout.view.selection, popupTime()));
    POINT columnRight{kTimeColumnWidth + app.view.channelWidth - layout.view.scrollX, 0};
    ClientToScreen(app.mainWindow, &columnRight);
    EXPECT_TRUE(IsWindowVisible(app.popupWindow));
    EXPECT_EQ(columnRight.x + kPopupPointerGap, windowRect(app.popupWindow).left);
    EXPECT_EQ(app.mainWindow, GetFocus());

    // Down, Right past the hidden column, Left back; Up to the first programme, where it stays.
    std::vector<std::pair<Selection, std::string>> seen;
    for (WORD key : {VK_DOWN, VK_RIGHT, VK_LEFT}) {
        keys({key});
        seen.emplace_back(layout.view.selection, popupTime());
    }
    EXPECT_EQ((std::vector<std::pair<Selection, std::string>>{
                  {{0, 4}, " 10:00～11:00"}, {{2, 4}, " 10:00～11:00"}, {{0, 4}, " 10:00～11:00"}}),
              seen);
    for (int i = 0; i < 6; ++i) keys({VK_UP});
    EXPECT_EQ(std::tuple(Selection{0, 0}, std::string(" 06:00～07:00")), std::tuple(layout.view.selection, popupTime()));
    // Its title block shown whole: drawn at the top of the grid, where the programme shows as high.
    const GuideEvent& first = layout.events[0][0];
    EXPECT_GT(first.titleHeight, 0);
    EXPECT_GE(layout.contentY(first.end, layout.view.guideBegin) - layout.view.scrollY - kHeaderHeight, first.titleHeight);
    // Esc lets go, as "×" does.
    keys({VK_ESCAPE});
    EXPECT_EQ(std::pair(false, Selection{}), std::pair(IsWindowVisible(app.popupWindow) != FALSE, layout.view.selection));

    // The scroll keys move as the wheel over the time column, the scroll bar, "現在へ" and the days do,
    // and a scroll lets go of the selection as a drag does.
    const int height = app.guideHost.clientHeight(), most = layout.view.contentHeight - height;
    const int nowY = layout.geometry().pixels(localDayAt(9, 30) - layout.view.guideBegin) - 60;
    const int day8 = layout.geometry().pixels(localDayAt(4, 0, 8) - layout.view.guideBegin) - 60;
    keys({VK_DOWN});
    const int selectedY = layout.view.scrollY;
    std::vector<int> scrolls;
    for (std::initializer_list<WORD> pressed : {std::initializer_list<WORD>{VK_NEXT}, {VK_HOME}, {VK_CONTROL, VK_DOWN},
                                                {VK_CONTROL, VK_RIGHT}, {VK_CONTROL, VK_LEFT}, {VK_PRIOR}}) {
        keys(pressed);
        scrolls.push_back(layout.view.scrollY);
    }
    EXPECT_EQ((std::vector<int>{std::min(selectedY + height, most), nowY, nowY + 120, day8, 0, 0}), scrolls);
    EXPECT_EQ(std::pair(false, Selection{}), std::pair(IsWindowVisible(app.popupWindow) != FALSE, layout.view.selection));

    // The channel view: the next day column keeps the time of day.
    command(kChannelCommandBase + 0);
    keys({VK_DOWN});
    keys({VK_RIGHT});
    EXPECT_EQ(std::tuple(Selection{0, 27}, std::string(" 09:00～10:00")), std::tuple(layout.view.selection, popupTime()));
}

// Ctrl+F and typed words: the first match from the top of the view, kept while it matches; F3 and
// Enter walk every match round, with Shift back; no match turns the query red and moves nothing.
TEST_F(KeyboardRealPointerTest, TheFindBarFindsWhatIsTypedWalksEveryMatchAndClosesOnEsc) {
    GuideLayout& layout = this->layout();
    const std::pair<Selection, const char*> titled[] = {
        {{0, 2}, "Ｎｅｗｓ朝"}, {{2, 5}, "NEWS 昼"}, {{3, 12}, "ニュース news"}, {{0, 30}, "夜のnews"}};
    for (auto [at, title] : titled) layout.events[at.service][at.event].title = title;
    app.searchStale = true;
    keys({VK_CONTROL, 'F'});
    HWND query = GetDlgItem(app.findBar, IDC_FIND_QUERY);
    ASSERT_EQ(query, GetFocus());
    for (WORD key : {'N', 'E', 'W', 'S'}) keys({key});
    EXPECT_EQ(std::tuple(Selection{2, 5}, std::string(" 11:00～12:00"), std::string("4 件")),
              std::tuple(layout.view.selection, popupTime(), windowText(GetDlgItem(app.findBar, IDC_FIND_COUNT))));
    EXPECT_EQ(query, GetFocus());
    std::vector<Selection> walked;
    for (std::initializer_list<WORD> pressed : {std::initializer_list<WORD>{VK_F3}, {VK_F3}, {VK_RETURN}, {VK_F3},
                                                {VK_SHIFT, VK_F3}, {VK_SHIFT, VK_RETURN}}) {
        keys(pressed);
        walked.push_back(layout.view.selection);
    }
    EXPECT_EQ((std::vector<Selection>{{3, 12}, {0, 30}, {0, 2}, {2, 5}, {0, 2}, {0, 30}}), walked);
    // The found programme's title shows below the bar.
    RECT bar = windowRect(app.findBar);
    MapWindowPoints(nullptr, app.mainWindow, reinterpret_cast<POINT*>(&bar), 2);
    const GuideEvent& found = layout.events[0][30];
    EXPECT_GE(layout.contentY(found.start, layout.view.guideBegin) - layout.view.scrollY, bar.bottom);

    keys({'X'});
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_NE(0, SendMessageA(app.findBar, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(query)));
    EXPECT_EQ(kNoMatchBackground, GetBkColor(dc));
    DeleteDC(dc);
    EXPECT_EQ(std::pair(Selection{0, 30}, std::string("0 件")),
              std::pair(layout.view.selection, windowText(GetDlgItem(app.findBar, IDC_FIND_COUNT))));
    keys({VK_ESCAPE});
    EXPECT_EQ(std::pair(false, app.mainWindow), std::pair(IsWindowVisible(app.findBar) != FALSE, GetFocus()));
    expectIni("FindBar", {{"Query", "newsx"}, {"Description", "0"}, {"Kana", "0"}});
}

TEST_F(LoadedWindowRealPointerTest, TheMenuKeysOpenTheListWindowsWhereTabEnterAndEscWork) {
    HMENU file = GetSubMenu(GetMenu(app.mainWindow), MENU_POS_FILE);
    char text[64] = {};
    GetMenuStringA(file, IDM_OPEN_FILE, text, sizeof text, MF_BYCOMMAND);
    EXPECT_EQ(std::string("ファイルの読み込み(&R)\tCtrl+O"), text);
    focusMainWindow();
    for (auto [key, window] : {std::pair<WORD, HWND>{'G', app.genreListWindow}, {'R', app.reservationListWindow},
                               {'U', app.updateWindow}}) {
        keys({VK_CONTROL, key}, 200);
        EXPECT_TRUE(IsWindowVisible(window)) << key;
        SetForegroundWindow(window);
        keys({VK_ESCAPE}, 200);
        EXPECT_FALSE(IsWindowVisible(window)) << key;
        EXPECT_EQ(app.mainWindow, GetFocus()) << key;
    }

    // The genre list: Tab goes tree, list, details, buttons; Enter on a row shows its programme in the guide.
    app.layout->events[2][10].genre = 0;
    refillGenreList(app.genreListWindow);
    keys({VK_CONTROL, 'G'}, 200);
    HWND genres = app.genreListWindow;
    SetFocus(GetDlgItem(genres, IDC_GENRE_TREE));
    std::vector<int> order;
    for (int i = 0; i < 5; ++i) {
        keys({VK_TAB});
        order.push_back(GetDlgCtrlID(GetFocus()));
    }
    EXPECT_EQ((std::vector<int>{IDC_GENRE_SEARCH, IDC_GENRE_EVENTS, IDC_GENRE_DESCRIPTION, IDC_GENRE_REGISTER, IDC_GENRE_SHOW}),
              order);
    // The search box keeps the rows whose titles hold what is typed.
    HWND list = GetDlgItem(genres, IDC_GENRE_EVENTS);
    app.layout->events[3][10].genre = 0;
    app.layout->events[3][10].title = "ABC";
    refillGenreList(genres);
    SetFocus(GetDlgItem(genres, IDC_GENRE_SEARCH));
    keys({'B'});
    EXPECT_EQ(1, ListView_GetItemCount(list));
    keys({VK_BACK});
    EXPECT_EQ(2, ListView_GetItemCount(list));
    keys({VK_TAB});
    ASSERT_EQ(list, GetFocus());
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    app.layout->view.scrollY = 0;
    keys({VK_RETURN}, 200);
    const GuideEvent& shown = app.layout->events[2][10];
    EXPECT_EQ(std::tuple(shown.start, shown.end), std::tuple(app.highlight.start, app.highlight.end));
    EXPECT_NE(0, app.layout->view.scrollY);
    EXPECT_NE(std::string::npos, windowText(GetDlgItem(genres, IDC_GENRE_HEADER)).find("16:00"));
}

}  // namespace
}  // namespace corvane
