// The program's main window started as the program starts it, over a
// settings file and a folder of its own, its clock at 09:30 of the tests'
// day; recordings of one terrestrial service are written into that folder.
// A popup menu of the program is chosen from with the keyboard.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/file_open_win.h"
#include "app/main_window_win.h"
#include "app/startup_win.h"
#include "store/settings_win.h"
#include "support/temp_ini.h"
#include "support/ts_recording.h"
#include "support/win_test_support.h"

namespace corvane {

struct NineThirty : Clock {
    int64_t now() override { return localDayAt(9, 30); }
};

// A small recording of one terrestrial service in `folderName`: its time,
// name and hourly programmes from `firstHour` to the end of the tests' day,
// or of the `days`th day from it.
inline std::string writeTestRecording(const std::filesystem::path& folder, const char* name, uint16_t serviceId,
                                      int firstHour, int days = 1) {
    namespace bc = corvane::broadcast;
    TsRecording r(dayAt(6));
    const bc::SdtService service{.serviceId = serviceId, .descriptors = bc::serviceDescriptor(0x01, "局", "テスト放送")};
    r.add(bc::kSdtPid, {bc::sdtSection({.transportStreamId = 1, .originalNetworkId = 0x7FE0, .services = {service}})});
    std::vector<bc::EitEvent> events;
    for (int hour = firstHour; hour < 24 * days; ++hour)
        events.push_back({.eventId = static_cast<uint16_t>(hour + 1), .start = dayAt(hour % 24, 0, 7 + hour / 24),
                          .duration = 3600, .descriptors = bc::shortEventDescriptor("番組", "説明")});
    r.add(bc::kEitPid, bc::scheduleSections({serviceId, 1, 0x7FE0}, 0x50, dayAt(0), days, events, 1, 4));
    r.filler(30);
    const bc::Bytes bytes = r.bytes();
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return (folder / name).string();
}

// Leaves the next popup menu this thread opens `itemsDown` items down, once
// it is open (its loop runs thread timers); `whileOpen` runs first.
struct MenuChoice {
    int itemsDown = 1;
    std::function<void()> whileOpen;
    bool byRealKeys = false;  // the display's keyboard chooses, not keys posted to the menu
    RECT rect{};  // where the menu stood

    void arm() {
        pending = this;
        SetTimer(nullptr, 0, 50, fire);
    }

private:
    inline static MenuChoice* pending = nullptr;
    static void CALLBACK fire(HWND, UINT, UINT_PTR timer, DWORD) {
        HWND menu = nullptr;  // other test processes may show menus on the display
        while ((menu = FindWindowExA(nullptr, menu, "#32768", nullptr)))
            if (IsWindowVisible(menu) && GetWindowThreadProcessId(menu, nullptr) == GetCurrentThreadId()) break;
        if (!menu) return;
        KillTimer(nullptr, timer);
        MenuChoice& choice = *pending;
        GetWindowRect(menu, &choice.rect);
        if (choice.whileOpen) choice.whileOpen();
        for (int i = 0; i < choice.itemsDown; ++i) choice.byRealKeys ? realKeys({VK_DOWN}) : void(PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0));
        choice.byRealKeys ? realKeys({VK_RETURN}) : void(PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0));
    }
};

class MainWindowRig : public testing::Test {
protected:
    ~MainWindowRig() override {
        if (IsWindow(app.mainWindow)) stop();
        loadHooks() = LoadHooks{};
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }

    // Unless `firstStart`, the window opens where a settings file without a
    // stored place put it before (100, 100, 830 x 400): the tests' guides are
    // laid out for that size, whatever the screen.
    void start(const std::string& commandLine = "", bool firstStart = false) {
        app.settings = std::make_unique<PrivateProfileSettings>(ini.path());
        if (!firstStart && app.settings->readString("Corvane", "WindowX", "<none>", 100) == "<none>") {
            for (auto [key, value] : {std::pair("WindowX", "100"), {"WindowY", "100"}, {"WindowCX", "930"}, {"WindowCY", "500"}})
                app.settings->writeString("Corvane", key, value);
        }
        app.clock = std::make_unique<NineThirty>();
        ASSERT_TRUE(startCorvane(app, commandLine.c_str(), SW_SHOWNORMAL));
        pump(50);
    }
    void pump(int ms) { pumpMessages(ms, &exitCode); }
    // The same as the program's own loop pumps them: accelerators and keys first.
    void pumpKeys(int ms) {
        const DWORD end = GetTickCount() + ms;
        do {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) exitCode = static_cast<int>(msg.wParam);
                if (translateProgramKeys(app, msg)) continue;
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            Sleep(5);
        } while (GetTickCount() < end);
    }
    // Keys of the display's keyboard to the program, and time to handle them.
    void keys(std::initializer_list<WORD> pressed, int ms = 60) {
        realKeys(pressed);
        pumpKeys(ms);
        // On a busy machine the display's keys come late: until they are all handled.
        for (int waited = 0; waited < 2000 && GetQueueStatus(QS_ALLINPUT) != 0; waited += 10) pumpKeys(10);
    }
    // The main window in front with the keyboard focus, as after a click on it.
    void focusMainWindow() {
        SetForegroundWindow(app.mainWindow);
        SetFocus(app.mainWindow);
        pumpKeys(50);
        ASSERT_EQ(app.mainWindow, GetFocus());
    }
    // Closes the main window, unless a command already did, and shuts down.
    void stop() {
        DestroyWindow(app.mainWindow);
        pump(20);
        stopCorvane(app);
        app.mainWindow = nullptr;
    }
    void command(int id) { SendMessageA(app.mainWindow, WM_COMMAND, id, 0); }
    // A press and release at a point of `target`, as the mouse gives them.
    void click(HWND target, POINT at, bool right = false) {
        const LPARAM where = MAKELPARAM(at.x, at.y);
        PostMessageA(target, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, where);
        PostMessageA(target, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, where);
        pump(30);
    }
    // A point on row `item` of a list view.
    static POINT rowPoint(HWND list, int item) {
        RECT r{};
        ListView_GetItemRect(list, item, &r, LVIR_BOUNDS);
        return {r.left + 60, (r.top + r.bottom) / 2};
    }

    std::string recording(const char* folderName, const char* name, uint16_t serviceId, int firstHour, int days = 1) {
        return writeTestRecording(root / folderName, name, serviceId, firstHour, days);
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

}  // namespace corvane
