// What the Win32 window tests share: the day of their broadcasts, window
// rectangles and texts, list rows, menu check marks and the message pump.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

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

// The item data of every row of a list view, in list order.
inline std::vector<LPARAM> listViewParams(HWND list) {
    std::vector<LPARAM> params;
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    for (item.iItem = 0; item.iItem < ListView_GetItemCount(list); ++item.iItem) {
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        params.push_back(item.lParam);
    }
    return params;
}

// The text of a list view cell.
inline std::string listCell(HWND list, int row, int column) {
    char text[512] = {};
    ListView_GetItemText(list, row, column, text, sizeof text);
    return text;
}

// A click on column `column` of the header of list view `list`, as its owner hears of it.
inline void clickListColumn(HWND list, int column) {
    NMLISTVIEW click{};
    click.hdr = {list, static_cast<UINT_PTR>(GetDlgCtrlID(list)), static_cast<UINT>(LVN_COLUMNCLICK)};
    click.iItem = -1, click.iSubItem = column;
    SendMessageA(GetParent(list), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

// The sort arrow column `column` of list view `list` shows: HDF_SORTUP, HDF_SORTDOWN or 0.
inline int sortArrow(HWND list, int column) {
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    Header_GetItem(ListView_GetHeader(list), column, &item);
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

inline bool menuChecked(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED; }

inline uint32_t brushColor(HBRUSH brush) {
    LOGBRUSH description{};
    return GetObjectA(brush, sizeof description, &description) == sizeof description ? description.lbColor
                                                                                       : 0xFFFFFFFFu;
}

// A 32-bit top-down bitmap selected into a memory surface, read back pixel by pixel.
struct MemoryCanvas {
    MemoryCanvas(int width, int height) : width(width), height(height) {}
    ~MemoryCanvas() { SelectObject(dc, previous); DeleteObject(bitmap); DeleteDC(dc); }

    void fill(uint32_t rgb) { GdiFlush(); std::fill(bits, bits + width * height, rgb); }
    // 0x00BBGGRR, like the colours of the painting.
    uint32_t at(int x, int y) const { return GetPixel(dc, x, y); }
    // Pixels of [left, right) x [top, bottom) that satisfy `test`.
    int count(int left, int top, int right, int bottom, auto test) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) n += test(at(x, y)) ? 1 : 0;
        return n;
    }

    const int width, height;
    HDC dc = CreateCompatibleDC(nullptr);
    uint32_t* bits = nullptr;
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, bitmap);
};

// The colour a dialog hands out for its colour swatch `id` (WM_CTLCOLORBTN);
// the background colour it sets is the brush's.
inline uint32_t swatchColor(HWND dialog, int id) {
    HWND swatch = GetDlgItem(dialog, id);
    HDC dc = GetDC(swatch);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(dialog, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(swatch)));
    const bool sameBackground = static_cast<uint32_t>(GetBkColor(dc)) == brushColor(brush);
    ReleaseDC(swatch, dc);
    return sameBackground ? brushColor(brush) : 0xFFFFFFFFu;
}

// The shown window of this thread with caption `caption`, or null: other
// test processes on the same display may show windows of the same name.
inline HWND threadWindow(const char* caption) {
    struct Search {
        const char* caption;
        HWND found;
    } search{caption, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            char text[256] = {};
            GetWindowTextA(window, text, sizeof text);
            if (IsWindowVisible(window) && std::string(text) == s->caption) s->found = window;
            return s->found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A top-level window of process `processId` with the class and caption given
// (null: any), or null; tests running beside it show windows of the same kind.
inline HWND processWindow(DWORD processId, const char* className, const char* caption) {
    for (HWND window = FindWindowExA(nullptr, nullptr, className, caption); window;
         window = FindWindowExA(nullptr, window, className, caption)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) return window;
    }
    return nullptr;
}

inline void pressButton(HWND dialog, int id) { SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0); }

// The display's left button pressed and let go where the pointer is.
inline void realClick() {
    INPUT buttons[2] = {{INPUT_MOUSE, {}}, {INPUT_MOUSE, {}}};
    buttons[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN, buttons[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, buttons, sizeof(INPUT));
}

// Keys pressed on the display's keyboard and let go in reverse order: all
// but the last are held while the last is pressed ({VK_CONTROL, VK_RIGHT}).
inline void realKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{INPUT_KEYBOARD, {}};
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = keys.end(); key != keys.begin();) {
        INPUT input{INPUT_KEYBOARD, {}};
        input.ki.wVk = *--key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Both password fields of `dialog` empty, the first with the keyboard: ready for the password again.
inline bool passwordsAskedAgain(HWND dialog, int first, int second) {
    return GetWindowTextLengthA(GetDlgItem(dialog, first)) + GetWindowTextLengthA(GetDlgItem(dialog, second)) == 0 &&
           GetFocus() == GetDlgItem(dialog, first);
}

// A user script for a modal dialog: a thread timer fires inside the dialog's
// modal loop and, once the dialog titled `caption` is shown, runs the steps in
// turn, each once its moment has come (a step answers false to be tried again).
struct DialogScript {
    using Step = std::function<bool(HWND dialog)>;
    inline static const char* caption = "";
    inline static std::vector<Step> steps;
    inline static size_t next = 0;
    inline static bool ran = false;

    static void start(const char* dialogCaption, std::function<void(HWND)> userSteps) {
        run(dialogCaption, {[userSteps](HWND dialog) { return userSteps(dialog), true; }});
    }
    static void run(const char* dialogCaption, std::vector<Step> userSteps) {
        KillTimer(nullptr, timer);
        caption = dialogCaption, steps = std::move(userSteps), next = 0, ran = false, started = GetTickCount();
        timer = SetTimer(nullptr, 0, 40, fire);
    }

private:
    inline static UINT_PTR timer = 0;
    inline static DWORD started = 0;
    inline static bool busy = false;
    static void CALLBACK fire(HWND, UINT, UINT_PTR, DWORD) {
        HWND dialog = threadWindow(caption);
        if (busy || !dialog || next >= steps.size()) return;  // not shown yet: the timer fires again
        ran = busy = true;
        if (GetTickCount() - started > 30000) {  // a moment never came: leave rather than hang
            ADD_FAILURE() << "script stopped at step " << next;
            EndDialog(dialog, IDCANCEL);
        } else if (steps[next](dialog) && ++next == steps.size()) {
            KillTimer(nullptr, timer);
        }
        busy = false;
    }
};

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
