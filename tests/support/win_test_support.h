// What the Win32 window tests share: the day of their broadcasts, window
// rectangles and texts, menu check marks and the message pump.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "support/guide_fixture.h"
#include "tools/broadcast/si_builder.h"

inline bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

namespace corvane {

// Wall-clock broadcast times of Monday 2026-12-07 (or of `day` that month).
inline int64_t dayAt(int hour, int minute = 0, int day = 7) {
    return broadcast::broadcastTime(2026, 12, day, hour, minute);
}
inline int64_t localDayAt(int hour, int minute = 0, int day = 7) { return localOf(dayAt(hour, minute, day)); }

inline RECT windowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

inline std::string windowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// A file the build made on the host, as Wine sees it (drive Z:).
inline std::string builtFilePath(const std::string& hostPath) {
    std::string path = !hostPath.empty() && hostPath[0] == '/' ? "Z:" + hostPath : hostPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

inline bool menuChecked(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED; }

// Dispatches this thread's messages for `ms` milliseconds (at least one
// round); a WM_QUIT met leaves its exit code in *quitCode.
inline void pumpMessages(int ms = 0, int* quitCode = nullptr) {
    const DWORD end = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT && quitCode) *quitCode = static_cast<int>(msg.wParam);
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (ms > 0) Sleep(5);
    } while (GetTickCount() < end);
}

}  // namespace corvane
