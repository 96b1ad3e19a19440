// corvane.exe as a user runs it: a generated recording of today on its
// command line, the guide read back from the screen, a normal close.
#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "store/settings_win.h"
#include "support/win_test_support.h"
#include "tools/broadcast/sample_recording.h"

namespace corvane {
namespace {

bool sameColor(COLORREF pixel, int r, int g, int b) {
    return GetRValue(pixel) == r && GetGValue(pixel) == g && GetBValue(pixel) == b;
}

// Reads the screen, so it runs alone (see the test list).
TEST(EndToEnd, ShowsTheGuideOfARecordingAndWritesItsSettings) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "corvane_end_to_end";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string exe = folder + "\\corvane.exe";
    const std::string ini = folder + "\\corvane.ini";
    const std::string recording = folder + "\\sample.ts";
    DeleteFileA(ini.c_str());
    ASSERT_TRUE(CopyFileA(builtFilePath(CORVANE_EXE).c_str(), exe.c_str(), FALSE)) << CORVANE_EXE;

    // From yesterday on, so that now always lies a day into the guide.
    std::time_t yesterday = std::time(nullptr) - 86400;
    const std::tm* day = std::localtime(&yesterday);
    broadcast::SampleOptions options;
    options.year = day->tm_year + 1900, options.month = day->tm_mon + 1, options.day = day->tm_mday, options.days = 3;
    std::string error;
    ASSERT_TRUE(broadcast::writeSampleRecording(options, recording, error)) << error;

    std::string commandLine = "\"" + exe + "\" \"" + recording + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                               &startup, &process));

    // A pixel of the window's client area, read from the screen.
    HWND window = nullptr;
    HDC screen = GetDC(nullptr);
    auto at = [&](int x, int y) {
        POINT p{x, y};
        ClientToScreen(window, &p);
        return GetPixel(screen, p.x, p.y);
    };
    // The guide is painted once the corner button has its colour.
    bool painted = false;
    for (int i = 0; i < 300 && !painted; ++i) {
        Sleep(100);
        window = processWindow(process.dwProcessId, "CORVANE", nullptr);
        if (window && IsWindowVisible(window)) painted = sameColor(at(2, 2), 105, 105, 105);
    }
    ASSERT_TRUE(painted) << "no painted guide within 30 seconds";
    Sleep(1200);  // a tick of the housekeeping timer: the placement is known

    // The recording was read and the first load jumped to now: the line of the
    // current time runs 60 pixels below the header, across the columns of its
    // services (a dotted pen: look along it). Colours as painted are checked
    // on a memory surface (guide_paint_win_test).
    int red = 0;
    for (int x = 53; x < 400; ++x) red += sameColor(at(x, 80), 255, 56, 56);
    ReleaseDC(nullptr, screen);
    EXPECT_GT(red, 50);

    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 30000));
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(0u, exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);

    PrivateProfileSettings settings(ini);
    EXPECT_EQ("c68eff", settings.readString("GenreSetup", "Color1", "", 100));
    EXPECT_EQ("1", settings.readString("Setup", "NowTimeLine", "", 100));

    DeleteFileA(exe.c_str());
    DeleteFileA(ini.c_str());
    DeleteFileA(recording.c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace corvane
