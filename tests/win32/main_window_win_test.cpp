#include <windows.h>
#include <commctrl.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/file_open_win.h"
#include "app/main_window_win.h"
#include "store/settings_win.h"
#include "app/startup_win.h"
#include "guide/popup_win.h"
#include "reserve/job_store_memory.h"
#include "resources/resource.h"
#include "support/reservation_fixture.h"
#include "support/store_sections.h"
#include "support/temp_ini.h"
#include "support/ts_recording.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

namespace bc = corvane::broadcast;

// The tests' clock stands at 09:30 of the recordings' day.
struct NineThirty : Clock {
    int64_t now() override { return localDayAt(9, 30); }
};

// A small recording of one terrestrial service: its time, name and a day of
// programmes from `firstHour`.
void writeRecording(const std::string& path, uint16_t serviceId, int firstHour) {
    TsRecording r(dayAt(6));
    const bc::SdtService service{.serviceId = serviceId, .descriptors = bc::serviceDescriptor(0x01, "局", "テスト放送")};
    r.add(bc::kSdtPid, {bc::sdtSection({.transportStreamId = 1, .originalNetworkId = 0x7FE0, .services = {service}})});
    std::vector<bc::EitEvent> events;
    for (int hour = firstHour; hour < 24; ++hour)
        events.push_back({.eventId = static_cast<uint16_t>(hour + 1), .start = dayAt(hour), .duration = 3600,
                          .descriptors = bc::shortEventDescriptor("番組", "説明")});
    r.add(bc::kEitPid, bc::scheduleSections({serviceId, 1, 0x7FE0}, 0x50, dayAt(0), 1, events, 1, 4));
    r.filler(30);
    const bc::Bytes bytes = r.bytes();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

class MainWindowTest : public testing::Test {
protected:
    ~MainWindowTest() override {
        if (IsWindow(app.mainWindow)) stop();
        loadHooks() = LoadHooks{};
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    void start(const std::string& commandLine = "") {
        app.settings = std::make_unique<PrivateProfileSettings>(ini.path());
        app.clock = std::make_unique<NineThirty>();
        ASSERT_TRUE(startCorvane(app, commandLine.c_str(), SW_SHOWNORMAL));
        pump(50);
    }
    void pump(int ms) { pumpMessages(ms, &exitCode); }
    // Closes the main window, unless a command already did, and shuts down.
    void stop() {
        DestroyWindow(app.mainWindow);
        pump(20);
        stopCorvane(app);
        app.mainWindow = nullptr;
    }
    void command(int id) { SendMessageA(app.mainWindow, WM_COMMAND, id, 0); }

    std::string recording(const char* folderName, const char* name, uint16_t serviceId, int firstHour) {
        std::filesystem::create_directories(root / folderName);
        const std::string path = (root / folderName / name).string();
        writeRecording(path, serviceId, firstHour);
        return path;
    }

    // The keys of `section` in the settings file hold these values ("<none>": not there).
    void expectIni(const char* section, std::initializer_list<std::pair<const char*, const char*>> values) {
        for (auto [key, value] : values)
            EXPECT_EQ(value, PrivateProfileSettings(ini.path()).readString(section, key, "<none>", 100)) << key;
    }

    TempIniFile ini{"main"};
    AppState app;
    int exitCode = -1;  // of the WM_QUIT met, if any
    // Tests run side by side in separate processes: each gets its own folder.
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("corvane_main_" + std::to_string(GetCurrentProcessId()));
};

TEST_F(MainWindowTest, StartsAtTheDefaultPlacementWithItsCompanionsAndSavesSwitchesAtExit) {
    start();
    ASSERT_NE(nullptr, app.mainWindow);
    EXPECT_EQ((RECT{100, 100, 100 + 830, 100 + 400}), windowRect(app.mainWindow));
    for (HWND companion : {app.genreListWindow, app.popupWindow, app.updateWindow, app.reservationListWindow}) {
        ASSERT_NE(nullptr, companion);
        EXPECT_FALSE(IsWindowVisible(companion));
    }
    // Before the first layout the data menus are plain items, the channel view popup is empty.
    HMENU bar = GetMenu(app.mainWindow);
    EXPECT_EQ(std::tuple(UINT{IDM_COLUMN_PLACEHOLDER}, UINT{IDM_DATE_PLACEHOLDER}, 0),
              std::tuple(GetMenuItemID(bar, MENU_POS_COLUMNS), GetMenuItemID(bar, MENU_POS_DATES),
                         GetMenuItemCount(GetSubMenu(GetSubMenu(bar, MENU_POS_FILE), MENU_POS_FILE_CHANNEL_VIEW))));
    HMENU settings = GetSubMenu(bar, MENU_POS_SETTINGS);
    EXPECT_TRUE(menuChecked(settings, IDM_NOW_LINE) && !menuChecked(settings, IDM_VIEW_CH_NO));
    command(IDM_NOW_LINE);
    command(IDM_VIEW_CH_NO);
    EXPECT_TRUE(!menuChecked(settings, IDM_NOW_LINE) && menuChecked(settings, IDM_VIEW_CH_NO));

    // A quick exit writes the genre settings and the toggled switches but no placement.
    command(IDM_EXIT);
    pump(20);
    EXPECT_EQ(0, exitCode);
    stop();
    expectIni("GenreSetup", {{"Color1", "c68eff"}, {"Check12", "0"}, {"CustColor16", "0"}, {"GenreNoDisp", "0"}});
    expectIni("Setup", {{"NowTimeLine", "0"}, {"ViewChNo", "1"}});
    expectIni("Corvane", {{"WindowX", "<none>"}});
}

TEST_F(MainWindowTest, MinimisedExitKeepsTheLastNormalRectangle) {
    start();
    SetWindowPos(app.mainWindow, nullptr, 150, 120, 700, 450, SWP_NOZORDER);
    pump(1100);  // the housekeeping timer records the placement
    ShowWindow(app.mainWindow, SW_MINIMIZE);
    pump(1100);
    stop();
    expectIni("Corvane", {{"WindowMin", "1"}, {"WindowMax", "0"}, {"WindowX", "150"}, {"WindowY", "120"},
                          {"WindowCX", "850"}, {"WindowCY", "570"}});
}

TEST_F(MainWindowTest, CommandLineFilesLoadInOrderAndJumpToNowOnce) {
    const std::string first = recording("corvane_main_a", "a.ts", 1024, 6);
    const std::string second = recording("corvane main b", "b.ts", 1032, 8);
    start(first + " \"" + second + "\"");
    ASSERT_NE(nullptr, app.store->services[1]) << "both files were read";
    EXPECT_EQ(std::tuple(1024, 1032), std::tuple(app.store->services[0]->serviceId, app.store->services[1]->serviceId));
    // 09:30 with the guide from 06:00: 60 pixels below the header.
    GuideLayout& layout = *app.layout;
    EXPECT_EQ(std::tuple(localDayAt(6), 210 * 2 - 60), std::tuple(layout.view.guideBegin, layout.view.scrollY));
    EXPECT_FALSE(app.firstLoad);

    // A second load keeps the position; after a clear the next load jumps.
    auto openSecond = [&] { app.commandLine = "\"" + second + "\""; command(IDM_OPEN_COMMAND_LINE); };
    layout.scrollVertical(kScrollTo, 0);
    openSecond();
    EXPECT_EQ(0, layout.view.scrollY);
    command(IDM_CLEAR);
    EXPECT_TRUE(layout.view.guideBegin == 0 && !app.store->services[0] &&
                GetMenuItemCount(GetSubMenu(GetMenu(app.mainWindow), MENU_POS_COLUMNS)) == 0);
    openSecond();
    ASSERT_NE(nullptr, app.store->services[0]);
    EXPECT_EQ(std::tuple(localDayAt(8), 90 * 2 - 60), std::tuple(layout.view.guideBegin, layout.view.scrollY));
}

TEST_F(MainWindowTest, AWrittenReservationFileIsFramedAndTheReservationListToldToRefresh) {
    ini.write("[ViewSetup]\r\nEpgTimerDisp=1\r\nTunerecDisp=1\r\n");
    FakeReservationFiles files;
    app.reservationFiles = &files;
    app.jobStore = std::make_unique<MemoryJobStore>();
    start(recording("corvane_main_r", "r.ts", 1024, 6));
    // A window in place of the reservation list, whose messages the test takes.
    HWND list = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    std::swap(list, app.reservationListWindow);
    const auto tick = [&] {
        ValidateRect(app.mainWindow, nullptr);
        SendMessageA(app.mainWindow, WM_TIMER, TIMER_HOUSEKEEPING, 0);
        MSG msg{};
        const bool posted = PeekMessageA(&msg, app.reservationListWindow, WM_COMMAND, WM_COMMAND, PM_REMOVE) &&
                            LOWORD(msg.wParam) == IDM_RESERVATION_REFRESH;
        RECT dirty{};
        return std::pair(posted, GetUpdateRect(app.mainWindow, &dirty, FALSE) != FALSE);
    };
    tick();  // the jobs are read at the first tick
    files.write(app.paths.epgTimerFile, epgTimerLine(localDayAt(20), 60, "予約", 27, 1024, 1));
    EXPECT_EQ(std::pair(true, true), tick());
    ASSERT_EQ(1u, app.reservationFrames.size());
    const ReservationFrame& frame = app.reservationFrames[0];
    EXPECT_EQ(std::tuple(1024, localDayAt(20), FrameColor::green), std::tuple(frame.serviceId, frame.start, frame.color));
    EXPECT_EQ(std::pair(false, false), tick());
    std::swap(list, app.reservationListWindow);
    DestroyWindow(list);
}

TEST_F(MainWindowTest, NewVersionsAreComparedAtTheTickAndAVisibleUpdateWindowRefreshed) {
    start();
    const auto version = [&](uint8_t number, int newsMinute) {
        put(app.store.get(), eit(0x50, 1024, 0, number,
                                 {event(1, dayAt(20, newsMinute), 60, bc::shortEventDescriptor("ニュース", "")),
                                  event(2, dayAt(22), 60, bc::shortEventDescriptor("映画", ""))}));
    };
    // Whether the tick cleared `changed` and told the update window to refresh (the message stays for it).
    const auto tick = [&] {
        SendMessageA(app.mainWindow, WM_TIMER, TIMER_HOUSEKEEPING, 0);
        MSG msg{};
        const bool posted = PeekMessageA(&msg, app.updateWindow, WM_COMMAND, WM_COMMAND, PM_NOREMOVE) &&
                            LOWORD(msg.wParam) == IDM_UPDATE_REFRESH;
        return std::tuple(app.store->changed, posted, app.changes.size());
    };
    version(1, 0);
    EXPECT_EQ(std::tuple(0, false, size_t{0}), tick()) << "a first version is its own baseline";
    version(2, 30);
    EXPECT_EQ(std::tuple(0, false, size_t{1}), tick()) << "hidden: left alone";
    EXPECT_FALSE(IsWindowVisible(app.updateWindow));
    command(IDM_UPDATE_INFO);
    pump(50);
    HWND list = GetDlgItem(app.updateWindow, IDC_UPDATE_LIST);
    EXPECT_TRUE(IsWindowVisible(app.updateWindow));
    EXPECT_EQ(1, ListView_GetItemCount(list));
    version(3, 10);
    EXPECT_EQ(std::tuple(0, true, size_t{2}), tick());
    pump(50);
    EXPECT_EQ(2, ListView_GetItemCount(list));
    EXPECT_EQ(std::tuple(0, false, size_t{2}), tick()) << "nothing new";
}

TEST_F(MainWindowTest, StoppingTheSecondOfThreeFilesLeavesTheThirdUnread) {
    const std::string a = recording("corvane_three", "a.ts", 1, 6);
    const std::string b = recording("corvane_three", "b.ts", 2, 6);
    const std::string c = recording("corvane_three", "c.ts", 3, 6);
    loadHooks().confirmStop = [](HWND) { return true; };
    loadHooks().readTransportStream = [&](EpgStore* store, const char* path, ProgressSink* progress) {
        if (std::string(path) != b) return readTransportStream(store, path, progress);
        // The user presses "中断" while the second file is read.
        // This process's dialog: another test may show one beside it.
        PostMessageA(processWindow(GetCurrentProcessId(), nullptr, "EPGデータファイルの読み込み"), WM_COMMAND,
                     IDCANCEL, 0);
        progress->reportProgress(0, 10);
        progress->reportProgress(10, 10);
    };
    start(a + " " + b + " " + c);
    ASSERT_NE(nullptr, app.store->services[0]);
    EXPECT_TRUE(app.store->services[0]->serviceId == 1 && !app.store->services[1]);
    // The file loaded before the stop is shown.
    EXPECT_EQ(localDayAt(6), app.layout->view.guideBegin);
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

TEST_F(LoadedWindowTest, SmallDragIsAClickAndLargerDragScrolls) {
    GuideLayout& layout = *app.layout;
    const int startY = layout.view.scrollY;
    // Pressed on the title block of the first column's first visible
    // programme, released `d` pixels up and left.
    const int x = 60, y = layout.contentY(layout.events[0][3].start, layout.view.guideBegin) - startY + 5;
    auto drag = [&](int d) {
        SendMessageA(app.mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(app.mainWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x - d, y - d));
        SendMessageA(app.mainWindow, WM_LBUTTONUP, 0, MAKELPARAM(x - d, y - d));
    };
    drag(2);
    EXPECT_EQ(std::tuple(0, startY, Selection{0, 3}), std::tuple(layout.view.scrollX, layout.view.scrollY, layout.view.selection));
    drag(3);  // dragging drops the selection
    EXPECT_EQ(std::tuple(3, startY + 3, Selection{}), std::tuple(layout.view.scrollX, layout.view.scrollY, layout.view.selection));
}

TEST_F(LoadedWindowTest, ColumnMenuWritesVisibilityAndChannelMenuToggles) {
    command(kColumnCommandBase + 0);
    expectIni("ColumnDisp", {{"1", "0"}});
    HMENU columns = GetSubMenu(GetMenu(app.mainWindow), MENU_POS_COLUMNS);
    EXPECT_TRUE(GetMenuItemCount(columns) == 6 && !menuChecked(columns, kColumnCommandBase));
    command(kColumnCommandBase + 0);
    expectIni("ColumnDisp", {{"1", "1"}});

    auto channelChecked = [&] {
        HMENU file = GetSubMenu(GetMenu(app.mainWindow), MENU_POS_FILE);
        return menuChecked(GetSubMenu(file, MENU_POS_FILE_CHANNEL_VIEW), kChannelCommandBase + 2);
    };
    command(kChannelCommandBase + 2);
    EXPECT_EQ(std::tuple(2, "Corvane - [テスト放送]", true),
              std::tuple(app.layout->view.viewService, windowText(app.mainWindow), channelChecked()));
    command(kChannelCommandBase + 2);
    EXPECT_EQ(std::tuple(-1, "Corvane", false),
              std::tuple(app.layout->view.viewService, windowText(app.mainWindow), channelChecked()));
}

TEST_F(LoadedWindowTest, ViewSetupKeepsTheTopTimeAndRebuildsTheCurrentView) {
    GuideLayout& layout = *app.layout;
    layout.scrollVertical(kScrollTo, 601);  // 300 minutes and a pixel below the start
    app.reservations.push_back(ReservationRecord{});
    app.reservationFrames = reservationFrames(app.reservations);
    auto setUp = [&](const char* hour, const char* width) {
        DialogScript::start("画面設定", [hour, width](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_VIEW_HOUR_HEIGHT, hour);
            SetDlgItemTextA(dialog, IDC_VIEW_CHANNEL_WIDTH, width);
            pressButton(dialog, IDOK);
        });
        command(IDM_VIEW_SETUP);
        EXPECT_TRUE(DialogScript::ran);
    };
    setUp("4", "180");
    EXPECT_EQ(std::tuple(4, 300 * 4 + 2), std::tuple(app.view.hourHight, layout.view.scrollY));
    // No reservation source is on: the marks went with the dialog.
    EXPECT_TRUE(app.reservations.empty() && app.reservationFrames.empty());
    expectIni("ViewSetup", {{"HourHight", "4"}, {"ChannelWidth", "180"}});

    // In the channel view its own layout is made again.
    command(kChannelCommandBase + 2);
    setUp("3", "100");
    EXPECT_EQ(std::tuple(2, 50 + static_cast<int>(layout.dayColumns.size()) * 100, 1440 * 3 + 20, "Corvane - [テスト放送]"),
              std::tuple(layout.view.viewService, layout.view.contentWidth, layout.view.contentHeight,
                         windowText(app.mainWindow)));
}

TEST_F(LoadedWindowTest, ChannelOrderReturnsToTheListViewInTheNewOrder) {
    command(kChannelCommandBase + 2);
    DialogScript::start("チャンネル順設定", [](HWND dialog) {
        ListView_SetItemState(GetDlgItem(dialog, IDC_ORDER_LIST), 0, LVIS_SELECTED, LVIS_SELECTED);
        pressButton(dialog, IDC_ORDER_DOWN);
        pressButton(dialog, IDOK);
    });
    command(IDM_CHANNEL_ORDER);
    EXPECT_EQ(std::tuple(1, 0, -1, std::string("Corvane")),
              std::tuple(app.layout->columnOrder[0].service, app.layout->columnOrder[1].service,
                         app.layout->view.viewService, windowText(app.mainWindow)));
}

TEST_F(LoadedWindowTest, WheelScrollsByRegion) {
    GuideLayout& layout = *app.layout;
    auto wheel = [&](int x, int y, bool up) {
        POINT screen{x, y};
        ClientToScreen(app.mainWindow, &screen);
        SendMessageA(app.mainWindow, WM_MOUSEWHEEL, MAKEWPARAM(0, up ? WHEEL_DELTA : -WHEEL_DELTA),
                     MAKELPARAM(screen.x, screen.y));
    };
    layout.scrollHorizontal(kScrollTo, 0);
    wheel(200, 10, false);  // over a column header: one column
    EXPECT_EQ(app.view.channelWidth, layout.view.scrollX);
    layout.scrollVertical(kScrollTo, 400);
    wheel(200, 100, true);  // over the grid: one hour
    EXPECT_EQ(400 - 60 * app.view.hourHight, layout.view.scrollY);
    RECT client;
    GetClientRect(app.mainWindow, &client);
    wheel(20, 100, false);  // over the time column: one screen
    EXPECT_EQ(400 - 120 + client.bottom, layout.view.scrollY);
    wheel(client.right, 100, true);  // on the vertical bar, right of the client area: one screen
    EXPECT_EQ(400 - 120, layout.view.scrollY);
}

TEST_F(LoadedWindowTest, RegistrationSetupOkWritesAndTakesThePopupAwayCancelLeavesIt) {
    GuideLayout& layout = *app.layout;
    const int y = layout.contentY(layout.events[0][3].start, layout.view.guideBegin) - layout.view.scrollY + 5;
    SendMessageA(app.mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, y));
    SendMessageA(app.mainWindow, WM_LBUTTONUP, 0, MAKELPARAM(60, y));
    ASSERT_TRUE(popupShown(app.popupWindow));
    layout.events[0][3].genre = 0;  // listed, and shown, by the genre list's first genre
    refillGenreList(app.genreListWindow);
    for (const int button : {IDCANCEL, IDOK}) {
        DialogScript::start("iEPG設定", [button](HWND dialog) {
            CheckDlgButton(dialog, IDC_IEPG_ENABLE, BST_CHECKED);
            CheckRadioButton(dialog, IDC_TARGET_IEPG, IDC_TARGET_TVROCK, IDC_TARGET_EPGTIMER);
            SendDlgItemMessageA(dialog, button, BM_CLICK, 0, 0);
        });
        command(IDM_IEPG_SETUP);
        // What the popup prepared follows the settings it was prepared with;
        // the genre list prepares its programme again.
        EXPECT_EQ(button == IDCANCEL, popupShown(app.popupWindow));
        EXPECT_EQ((button == IDCANCEL ? Selection{0, 3} : Selection{}), layout.view.selection);
        expectIni("iEpgSetup", {{"iEpg", button == IDOK ? "1" : "<none>"}});
        EXPECT_EQ(button == IDOK ? "EpgTimer登録" : "iEPG登録",
                  windowText(GetDlgItem(app.genreListWindow, IDC_GENRE_REGISTER)));
    }
    expectIni("iEPGStationName", {{"1", "テスト放送"}});
}

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
