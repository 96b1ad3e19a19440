#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/file_open_win.h"
#include "app/main_window_win.h"
#include "app/settings_win.h"
#include "app/startup_win.h"
#include "resources/resource.h"
#include "support/guide_fixture.h"
#include "support/temp_ini.h"
#include "tools/broadcast/packetizer.h"
#include "tools/broadcast/si_builder.h"

namespace corvane {
namespace {

namespace bc = corvane::broadcast;

class FixedClock : public Clock {
public:
    int64_t value = 0;
    int64_t now() override { return value; }
};

// Wall-clock times of 2026-12-07, the day of the recordings below.
int64_t at(int hour, int minute = 0) { return bc::broadcastTime(2026, 12, 7, hour, minute); }

std::string tempFolder() {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return folder;
}

// A small recording of one terrestrial service: its time, name and a day of
// programmes from `firstHour`.
void writeRecording(const std::string& path, uint16_t serviceId, int firstHour) {
    bc::Packetizer packetizer;
    bc::TsWriter writer;
    for (int i = 0; i < 30; ++i) writer.put(packetizer.fillerPacket());
    writer.put(packetizer.sectionPackets(bc::kTotPid, bc::totSection(at(6))));
    bc::Sdt sdt;
    sdt.transportStreamId = 1;
    sdt.originalNetworkId = 0x7FE0;
    bc::SdtService service;
    service.serviceId = serviceId;
    service.descriptors = bc::serviceDescriptor(0x01, "局", "テスト放送");
    sdt.services.push_back(service);
    writer.put(packetizer.sectionPackets(bc::kSdtPid, bc::sdtSection(sdt)));
    std::vector<bc::EitEvent> events;
    for (int hour = firstHour; hour < 24; ++hour) {
        bc::EitEvent e;
        e.eventId = static_cast<uint16_t>(hour + 1);
        e.start = at(hour);
        e.duration = 3600;
        e.descriptors = bc::shortEventDescriptor("番組", "説明");
        events.push_back(e);
    }
    bc::EitService eitService{serviceId, 1, 0x7FE0};
    writer.put(packetizer.sectionPackets(
        bc::kEitPid, bc::scheduleSections(eitService, 0x50, at(0), 1, events, 1, 4)));
    for (int i = 0; i < 30; ++i) writer.put(packetizer.fillerPacket());
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f) << path;
    std::fwrite(writer.bytes().data(), 1, writer.bytes().size(), f);
    std::fclose(f);
}

class MainWindowTest : public testing::Test {
protected:
    MainWindowTest() : ini("main") {}

    ~MainWindowTest() override {
        if (app.mainWindow && IsWindow(app.mainWindow)) stop();
        loadHooks() = LoadHooks{};
        for (const std::string& path : files) DeleteFileA(path.c_str());
        for (const std::string& folder : folders) RemoveDirectoryA(folder.c_str());
    }

    void start(const std::string& commandLine = "", int show = SW_SHOWNORMAL) {
        app.settings = std::make_unique<PrivateProfileSettings>(ini.path());
        auto fixed = std::make_unique<FixedClock>();
        clock = fixed.get();
        clock->value = localOf(at(9, 30));
        app.clock = std::move(fixed);
        ASSERT_TRUE(startCorvane(app, commandLine.c_str(), show));
        pump(50);
    }

    // Dispatches this thread's messages for `ms` milliseconds (at least one round).
    void pump(int ms) {
        const DWORD end = GetTickCount() + ms;
        do {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    quit = true;
                    exitCode = static_cast<int>(msg.wParam);
                    continue;
                }
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            Sleep(5);
        } while (GetTickCount() < end);
    }

    void stop() {
        DestroyWindow(app.mainWindow);
        pump(20);
        stopCorvane(app);
        app.mainWindow = nullptr;
    }

    void command(int id) { SendMessageA(app.mainWindow, WM_COMMAND, id, 0); }

    std::string recording(const char* folderName, const char* name, uint16_t serviceId, int firstHour) {
        std::string folder = tempFolder() + folderName;
        CreateDirectoryA(folder.c_str(), nullptr);
        folders.push_back(folder);
        std::string path = folder + "\\" + name;
        writeRecording(path, serviceId, firstHour);
        files.push_back(path);
        return path;
    }

    std::string iniValue(const char* section, const char* key) {
        return PrivateProfileSettings(ini.path()).readString(section, key, "<none>", 100);
    }

    TempIniFile ini;
    AppState app;
    FixedClock* clock = nullptr;
    bool quit = false;
    int exitCode = -1;
    std::vector<std::string> files, folders;
};

TEST_F(MainWindowTest, StartsAtTheDefaultPlacementWithItsCompanions) {
    start();
    ASSERT_NE(nullptr, app.mainWindow);
    char text[100] = {};
    GetClassNameA(app.mainWindow, text, sizeof text);
    EXPECT_STREQ("CORVANE", text);
    GetWindowTextA(app.mainWindow, text, sizeof text);
    EXPECT_STREQ("Corvane", text);
    RECT rect{};
    GetWindowRect(app.mainWindow, &rect);
    EXPECT_EQ(100, rect.left);
    EXPECT_EQ(100, rect.top);
    EXPECT_EQ(830, rect.right - rect.left);
    EXPECT_EQ(400, rect.bottom - rect.top);
    GetWindowRect(app.popupWindow, &rect);
    EXPECT_EQ(122, rect.left);
    EXPECT_EQ(117, rect.top);
    for (HWND companion : {app.genreListWindow, app.popupWindow, app.updateWindow, app.reservationListWindow}) {
        ASSERT_NE(nullptr, companion);
        EXPECT_FALSE(IsWindowVisible(companion));
    }
    HMENU bar = GetMenu(app.mainWindow);
    const char* menus[] = {"ファイル(&F)", "列表示(&C)", "日付(&D)", "設定(&S)", "ヘルプ(&H)"};
    ASSERT_EQ(5, GetMenuItemCount(bar));
    for (int i = 0; i < 5; ++i) {
        GetMenuStringA(bar, i, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(menus[i], text);
    }
    HMENU settings = GetSubMenu(bar, MENU_POS_SETTINGS);
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED), GetMenuState(settings, IDM_NOW_LINE, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(0u, GetMenuState(settings, IDM_VIEW_CH_NO, MF_BYCOMMAND) & MF_CHECKED);

    // A quick exit writes the genre and view switches but no placement.
    stop();
    EXPECT_TRUE(quit);
    EXPECT_EQ(0, exitCode);
    EXPECT_EQ("c68eff", iniValue("GenreSetup", "Color1"));
    EXPECT_EQ("0", iniValue("GenreSetup", "Check12"));
    EXPECT_EQ("0", iniValue("GenreSetup", "CustColor16"));
    EXPECT_EQ("0", iniValue("GenreSetup", "GenreNoDisp"));
    EXPECT_EQ("1", iniValue("Setup", "NowTimeLine"));
    EXPECT_EQ("0", iniValue("Setup", "ViewChNo"));
    EXPECT_EQ("<none>", iniValue("Corvane", "WindowX"));
}

TEST_F(MainWindowTest, MinimisedExitKeepsTheLastNormalRectangle) {
    start();
    SetWindowPos(app.mainWindow, nullptr, 150, 120, 700, 450, SWP_NOZORDER);
    pump(1100);  // the housekeeping timer records the placement
    ShowWindow(app.mainWindow, SW_MINIMIZE);
    pump(1100);
    stop();
    EXPECT_EQ("1", iniValue("Corvane", "WindowMin"));
    EXPECT_EQ("0", iniValue("Corvane", "WindowMax"));
    EXPECT_EQ("150", iniValue("Corvane", "WindowX"));
    EXPECT_EQ("120", iniValue("Corvane", "WindowY"));
    EXPECT_EQ("850", iniValue("Corvane", "WindowCX"));
    EXPECT_EQ("570", iniValue("Corvane", "WindowCY"));
}

TEST_F(MainWindowTest, CommandLineFilesLoadInOrderAndJumpToNowOnce) {
    const std::string first = recording("corvane_main_a", "a.ts", 1024, 6);
    const std::string second = recording("corvane main b", "b.ts", 1032, 8);
    start(first + " \"" + second + "\"");
    ASSERT_NE(nullptr, app.store->services[1]) << "both files were read";
    EXPECT_EQ(1024, app.store->services[0]->serviceId);
    EXPECT_EQ(1032, app.store->services[1]->serviceId);
    // 09:30 with the guide from 06:00: 60 pixels below the header.
    GuideLayout& layout = *app.layout;
    EXPECT_EQ(localOf(at(6)), layout.view.guideBegin);
    EXPECT_EQ(210 * 2 - 60, layout.view.scrollY);
    EXPECT_FALSE(app.firstLoad);

    // A second load keeps the position; after a clear the next load jumps.
    layout.scrollVertical(kScrollTo, 0);
    app.commandLine = "\"" + second + "\"";
    command(IDM_OPEN_COMMAND_LINE);
    EXPECT_EQ(0, layout.view.scrollY);
    command(IDM_CLEAR);
    EXPECT_EQ(0, layout.view.guideBegin);
    EXPECT_EQ(nullptr, app.store->services[0]);
    EXPECT_EQ(0, GetMenuItemCount(GetSubMenu(GetMenu(app.mainWindow), MENU_POS_COLUMNS)));
    app.commandLine = "\"" + second + "\"";
    command(IDM_OPEN_COMMAND_LINE);
    ASSERT_NE(nullptr, app.store->services[0]);
    EXPECT_EQ(localOf(at(8)), layout.view.guideBegin);
    EXPECT_EQ(90 * 2 - 60, layout.view.scrollY);
}

TEST_F(MainWindowTest, StoppingTheSecondOfThreeFilesLeavesTheThirdUnread) {
    const std::string a = recording("corvane_three", "a.ts", 1, 6);
    const std::string b = recording("corvane_three", "b.ts", 2, 6);
    const std::string c = recording("corvane_three", "c.ts", 3, 6);
    loadHooks().confirmStop = [](HWND) { return true; };
    loadHooks().readTransportStream = [&](EpgStore* store, const char* path, ProgressSink* progress) {
        if (std::string(path) != b) return readTransportStream(store, path, progress);
        // The user presses "中断" while the second file is read.
        HWND dialog = FindWindowA(nullptr, "EPGデータファイルの読み込み");
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        progress->reportProgress(0, 10);
        progress->reportProgress(10, 10);
    };
    start(a + " " + b + " " + c);
    ASSERT_NE(nullptr, app.store->services[0]);
    EXPECT_EQ(1, app.store->services[0]->serviceId);
    EXPECT_EQ(nullptr, app.store->services[1]);
    // The file loaded before the stop is shown.
    EXPECT_EQ(localOf(at(6)), app.layout->view.guideBegin);
}

class LoadedWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        // Six services, so that the guide is wider and taller than the window.
        std::string line;
        for (uint16_t id = 1; id <= 6; ++id) {
            char name[16];
            std::snprintf(name, sizeof name, "s%u.ts", id);
            line += recording("corvane_loaded", name, id, 6) + " ";
        }
        start(line);
        ASSERT_NE(0, app.layout->view.guideBegin);
        UpdateWindow(app.mainWindow);  // paints: columns and title blocks get their places
    }
};

TEST_F(LoadedWindowTest, SmallDragIsAClickAndLargerDragScrolls) {
    GuideLayout& layout = *app.layout;
    const int startY = layout.view.scrollY;
    // Press on the title block of the first column's first visible programme.
    const int x = 60;
    const int y = layout.contentY(layout.events[0][3].start, layout.view.guideBegin) - startY + 5;
    SendMessageA(app.mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(app.mainWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x - 2, y - 2));
    SendMessageA(app.mainWindow, WM_LBUTTONUP, 0, MAKELPARAM(x - 2, y - 2));
    EXPECT_EQ(startY, layout.view.scrollY);
    EXPECT_EQ((Selection{0, 3}), layout.view.selection);

    SendMessageA(app.mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(app.mainWindow, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x - 3, y - 3));
    SendMessageA(app.mainWindow, WM_LBUTTONUP, 0, MAKELPARAM(x - 3, y - 3));
    EXPECT_EQ(startY + 3, layout.view.scrollY);
    EXPECT_EQ(3, layout.view.scrollX);
    EXPECT_EQ(Selection{}, layout.view.selection);  // dragging drops the selection
}

TEST_F(LoadedWindowTest, ColumnMenuWritesVisibilityAndChannelMenuToggles) {
    const std::string key = "1";
    command(kColumnCommandBase + 0);
    EXPECT_EQ("0", iniValue("ColumnDisp", key.c_str()));
    HMENU columns = GetSubMenu(GetMenu(app.mainWindow), MENU_POS_COLUMNS);
    EXPECT_EQ(6, GetMenuItemCount(columns));
    EXPECT_EQ(0u, GetMenuState(columns, kColumnCommandBase, MF_BYCOMMAND) & MF_CHECKED);
    command(kColumnCommandBase + 0);
    EXPECT_EQ("1", iniValue("ColumnDisp", key.c_str()));

    HMENU channels = GetSubMenu(GetSubMenu(GetMenu(app.mainWindow), MENU_POS_FILE), MENU_POS_FILE_CHANNEL_VIEW);
    command(kChannelCommandBase + 2);
    EXPECT_EQ(2, app.layout->view.viewService);
    char title[100] = {};
    GetWindowTextA(app.mainWindow, title, sizeof title);
    EXPECT_STREQ("Corvane - [テスト放送]", title);
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED), GetMenuState(channels, kChannelCommandBase + 2, MF_BYCOMMAND) & MF_CHECKED);
    command(kChannelCommandBase + 2);
    EXPECT_EQ(-1, app.layout->view.viewService);
    channels = GetSubMenu(GetSubMenu(GetMenu(app.mainWindow), MENU_POS_FILE), MENU_POS_FILE_CHANNEL_VIEW);
    EXPECT_EQ(0u, GetMenuState(channels, kChannelCommandBase + 2, MF_BYCOMMAND) & MF_CHECKED);
    GetWindowTextA(app.mainWindow, title, sizeof title);
    EXPECT_STREQ("Corvane", title);
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
}

TEST_F(LoadedWindowTest, TooltipsShowFromTheMouseOverTheGuide) {
    ASSERT_NE(nullptr, app.paint.tooltip);
    POINT header{100, 10};  // every column header has its tip
    ClientToScreen(app.mainWindow, &header);
    SetCursorPos(header.x, header.y);
    // The window relays its mouse messages; the tip follows after its delay.
    SendMessageA(app.mainWindow, WM_MOUSEMOVE, 0, MAKELPARAM(100, 10));
    for (int i = 0; i < 30 && !IsWindowVisible(app.paint.tooltip); ++i) pump(100);
    EXPECT_TRUE(IsWindowVisible(app.paint.tooltip));
}

TEST_F(LoadedWindowTest, ToggledSwitchesAreSavedAtExit) {
    command(IDM_NOW_LINE);
    command(IDM_VIEW_CH_NO);
    HMENU settings = GetSubMenu(GetMenu(app.mainWindow), MENU_POS_SETTINGS);
    EXPECT_EQ(0u, GetMenuState(settings, IDM_NOW_LINE, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED), GetMenuState(settings, IDM_VIEW_CH_NO, MF_BYCOMMAND) & MF_CHECKED);
    command(IDM_EXIT);
    pump(20);
    stopCorvane(app);
    app.mainWindow = nullptr;
    EXPECT_TRUE(quit);
    EXPECT_EQ("0", iniValue("Setup", "NowTimeLine"));
    EXPECT_EQ("1", iniValue("Setup", "ViewChNo"));
}

}  // namespace
}  // namespace corvane
