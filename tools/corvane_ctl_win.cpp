// corvane-ctl: drives a running corvane.exe from scripts (Wine or Windows).
//
//   corvane-ctl wait-painted [--timeout S] [--guide] [--timing]
//       Waits until a top-level window of class "CORVANE" is visible, its
//       process is idle and nothing is left to paint. With --guide it also
//       waits until the guide's corner button (grey 105,105,105) shows at
//       client (2, 2), i.e. until guide data has been painted. With --timing
//       it looks every few milliseconds and prints when the window was first
//       seen settled and when its process started, both in milliseconds since
//       1970 (UTC): "painted MS started MS".
//   corvane-ctl close [--timeout S] [--title TEXT]
//       Posts WM_CLOSE to that window and waits until its process has ended,
//       so the program shuts down normally and writes its settings. With
//       --title it closes that window of the program instead (see window)
//       and waits until it is gone or hidden.
//   corvane-ctl command ID
//       Posts the menu command ID (WM_COMMAND) to that window, as the menu
//       does; a dialog it opens stays open for the script.
//   corvane-ctl window [--timeout S] [--title TEXT] [--client]
//       Waits until the window is shown, its process idle and nothing is left
//       to paint, then prints "X Y WIDTH HEIGHT" of it in screen pixels: the
//       main window, or with --title the visible top-level window of the same
//       process with that title (TEXT may be empty: the popup). --client
//       prints the client area instead of the whole window.
//   corvane-ctl control ID [--timeout S] [--title TEXT]
//       The same for the child window ID of that window.
//   corvane-ctl --help | --version
//
// Exit codes: 0 done, 1 timed out, 2 usage error, 3 no Corvane window.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "corvane_version.h"

namespace {

constexpr const char* kWindowClass = "CORVANE";
constexpr COLORREF kCornerButton = RGB(105, 105, 105);
constexpr DWORD kPollMs = 100;
constexpr DWORD kTimingPollMs = 5;  // wait-painted --timing
// The window must look settled this many polls in a row.
constexpr int kStablePolls = 3;

enum ExitCode { kDone = 0, kTimedOut = 1, kUsage = 2, kNoWindow = 3 };

const char kUsageText[] =
    "usage: corvane-ctl wait-painted [--timeout S] [--guide] [--timing]\n"
    "       corvane-ctl close [--timeout S] [--title TEXT]\n"
    "       corvane-ctl command ID\n"
    "       corvane-ctl window [--timeout S] [--title TEXT] [--client]\n"
    "       corvane-ctl control ID [--timeout S] [--title TEXT]\n"
    "       corvane-ctl --help | --version\n"
    "\n"
    "Drives a running corvane.exe (window class CORVANE) for scripted runs:\n"
    "  wait-painted  wait until the main window is shown, idle and painted; with\n"
    "                --guide also until the guide's corner button is painted;\n"
    "                --timing: print \"painted MS started MS\", when it was first seen\n"
    "                settled and when its process started (ms since 1970, UTC)\n"
    "  close         close the main window and wait until the program has ended;\n"
    "                with --title close (or hide) that window of the program\n"
    "  command       post a menu command to the main window\n"
    "  window        wait until the window is shown, idle and painted, then print\n"
    "                X Y WIDTH HEIGHT (screen pixels): the main window, or the\n"
    "                window of the program titled TEXT; --client: its client area\n"
    "  control       the same for the control ID of that window\n"
    "--timeout S waits at most S seconds (default 30).\n"
    "Exit status: 0 done, 1 timed out, 2 usage error, 3 no Corvane window.\n";

struct Options {
    double timeoutSeconds = 30;
    bool guide = false;
    bool client = false;
    bool timing = false;
    std::optional<std::string> title;
    int id = 0;
};

int usage() {
    std::fputs(kUsageText, stderr);
    return kUsage;
}

enum Allowed { kTimeout = 1, kGuide = 2, kTitle = 4, kClient = 8, kTiming = 16 };

bool parseNumber(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && value >= 0;
}

// Options from argv[first] on; `allowed` is a set of Allowed.
bool parseOptions(int argc, char** argv, int first, int allowed, Options& options) {
    for (int i = first; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if ((allowed & kTimeout) && std::strcmp(argv[i], "--timeout") == 0 && hasValue) {
            if (!parseNumber(argv[++i], options.timeoutSeconds)) return false;
        } else if ((allowed & kGuide) && std::strcmp(argv[i], "--guide") == 0) {
            options.guide = true;
        } else if ((allowed & kTiming) && std::strcmp(argv[i], "--timing") == 0) {
            options.timing = true;
        } else if ((allowed & kTitle) && std::strcmp(argv[i], "--title") == 0 && hasValue) {
            options.title = argv[++i];
        } else if ((allowed & kClient) && std::strcmp(argv[i], "--client") == 0) {
            options.client = true;
        } else {
            return false;
        }
    }
    return true;
}

bool parseId(const char* text, int& id) {
    double value = 0;
    if (!parseNumber(text, value) || value > 0xFFFF || value != static_cast<int>(value)) return false;
    id = static_cast<int>(value);
    return true;
}

ULONGLONG deadlineAfter(double seconds) {
    return GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000.0);
}

// Opens the process that owns `window`; null when that is not possible.
HANDLE openOwner(HWND window, DWORD access) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid ? OpenProcess(access, FALSE, pid) : nullptr;
}

bool isIdle(HWND window) {
    HANDLE process = openOwner(window, PROCESS_QUERY_INFORMATION | SYNCHRONIZE);
    if (!process) return false;
    const DWORD waited = WaitForInputIdle(process, 0);
    CloseHandle(process);
    if (waited != 0) return false;
    // The window's thread answers sent messages, so it is not stuck in a load.
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
}

bool clientPixel(HWND window, int x, int y, COLORREF& colour) {
    HDC dc = GetDC(window);
    if (!dc) return false;
    colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour != CLR_INVALID;
}

struct TitledSearch {
    DWORD process;
    const std::string* title;
    HWND found;
};

BOOL CALLBACK matchTitled(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TitledSearch*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window)) return TRUE;
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    if (*search->title != text) return TRUE;
    search->found = window;
    return FALSE;
}

// Corvane's main window, or the visible top-level window of its process with
// the given title; null when there is none.
HWND findWindow(const std::optional<std::string>& title) {
    HWND main = FindWindowA(kWindowClass, nullptr);
    if (!main || !title) return main;
    TitledSearch search{0, &*title, nullptr};
    GetWindowThreadProcessId(main, &search.process);
    EnumWindows(matchTitled, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Milliseconds since 1970 (UTC) of a FILETIME.
long long unixMilliseconds(const FILETIME& time) {
    const ULONGLONG ticks = (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime;  // 100 ns since 1601
    return static_cast<long long>(ticks / 10000) - 11644473600000LL;
}

long long nowUnixMilliseconds() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return unixMilliseconds(now);
}

// Waits until the window (and with `guide` the guide in it) is shown, idle
// and painted; null after the timeout, with the reason on standard error.
// `settledAt`, when given, receives the time of the first poll of the
// settled run (nowUnixMilliseconds).
HWND waitSettled(const Options& options, long long* settledAt = nullptr) {
    const ULONGLONG deadline = deadlineAfter(options.timeoutSeconds);
    const DWORD pollMs = options.timing ? kTimingPollMs : kPollMs;
    // As long a settled run with the finer polls.
    const int stablePolls = static_cast<int>(kStablePolls * kPollMs / pollMs);
    int stable = 0;
    const char* waitingFor = "a visible Corvane window";
    COLORREF lastPixel = CLR_INVALID;
    for (;;) {
        HWND window = findWindow(options.title);
        bool settled = false;
        if (!window || !IsWindowVisible(window)) {
            waitingFor = options.title ? "a visible window with that title" : "a visible Corvane window";
        } else if (!isIdle(window)) {
            waitingFor = "the program to become idle";
        } else if (GetUpdateRect(window, nullptr, FALSE)) {
            waitingFor = "the window to finish painting";
        } else if (options.guide && (!clientPixel(window, 2, 2, lastPixel) || lastPixel != kCornerButton)) {
            waitingFor = "the guide's corner button at client (2, 2)";
        } else {
            settled = true;
            if (stable == 0 && settledAt) *settledAt = nowUnixMilliseconds();
        }
        stable = settled ? stable + 1 : 0;
        if (stable >= stablePolls) return window;
        if (GetTickCount64() >= deadline) {
            std::fprintf(stderr, "corvane-ctl: timed out waiting for %s", waitingFor);
            if (options.guide && lastPixel != CLR_INVALID) {
                std::fprintf(stderr, " (pixel is RGB(%d,%d,%d))", GetRValue(lastPixel),
                             GetGValue(lastPixel), GetBValue(lastPixel));
            }
            std::fputc('\n', stderr);
            return nullptr;
        }
        Sleep(pollMs);
    }
}

int waitPainted(const Options& options) {
    long long settledAt = 0;
    HWND window = waitSettled(options, &settledAt);
    if (!window) return kTimedOut;
    if (!options.timing) {
        std::puts("corvane-ctl: Corvane is shown and painted");
        return kDone;
    }
    long long startedAt = 0;
    if (HANDLE process = openOwner(window, PROCESS_QUERY_LIMITED_INFORMATION)) {
        FILETIME created, exited, kernel, user;
        if (GetProcessTimes(process, &created, &exited, &kernel, &user)) startedAt = unixMilliseconds(created);
        CloseHandle(process);
    }
    std::printf("painted %lld started %lld\n", settledAt, startedAt);
    return kDone;
}

// Prints the rectangle of the window, of its client area or of its child
// `options.id` in screen pixels.
int printRectangle(const Options& options) {
    HWND window = waitSettled(options);
    if (!window) return kTimedOut;
    if (options.id && !(window = GetDlgItem(window, options.id))) {
        std::fprintf(stderr, "corvane-ctl: no control %d in that window\n", options.id);
        return kNoWindow;
    }
    RECT r{};
    if (options.client) {
        GetClientRect(window, &r);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    } else {
        GetWindowRect(window, &r);
    }
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    return kDone;
}

int postCommand(int id) {
    HWND window = FindWindowA(kWindowClass, nullptr);
    if (!window || !PostMessageA(window, WM_COMMAND, id, 0)) {
        std::fputs("corvane-ctl: no Corvane window\n", stderr);
        return kNoWindow;
    }
    return kDone;
}

// A window of the program other than the main one: a dialog ends, a
// companion window hides.
int closeTitled(const Options& options) {
    HWND window = findWindow(options.title);
    if (!window || !PostMessageA(window, WM_CLOSE, 0, 0)) {
        std::fputs("corvane-ctl: no visible window with that title\n", stderr);
        return kNoWindow;
    }
    const ULONGLONG deadline = deadlineAfter(options.timeoutSeconds);
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount64() >= deadline) {
            std::fputs("corvane-ctl: timed out waiting for the window to close\n", stderr);
            return kTimedOut;
        }
        Sleep(kPollMs);
    }
    return kDone;
}

int closeCorvane(const Options& options) {
    if (options.title) return closeTitled(options);
    HWND window = FindWindowA(kWindowClass, nullptr);
    if (!window) {
        std::fputs("corvane-ctl: no Corvane window\n", stderr);
        return kNoWindow;
    }
    HANDLE process = openOwner(window, SYNCHRONIZE);
    if (!PostMessageA(window, WM_CLOSE, 0, 0)) {
        if (process) CloseHandle(process);
        std::fputs("corvane-ctl: could not post WM_CLOSE\n", stderr);
        return kNoWindow;
    }
    const ULONGLONG deadline = deadlineAfter(options.timeoutSeconds);
    bool gone = false;
    if (process) {
        const ULONGLONG now = GetTickCount64();
        const DWORD waitMs = deadline > now ? static_cast<DWORD>(deadline - now) : 0;
        gone = WaitForSingleObject(process, waitMs) == WAIT_OBJECT_0;
        CloseHandle(process);
    } else {
        // Without a process handle the window's end is the best sign we have.
        while (!(gone = !IsWindow(window)) && GetTickCount64() < deadline) Sleep(kPollMs);
    }
    if (!gone) {
        std::fputs("corvane-ctl: timed out waiting for Corvane to exit\n", stderr);
        return kTimedOut;
    }
    std::puts("corvane-ctl: Corvane has exited");
    return kDone;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string command = argv[1];
    Options options;
    if (command == "--help" || command == "-h") {
        std::fputs(kUsageText, stdout);
        return kDone;
    }
    if (command == "--version") {
        std::puts("corvane-ctl " CORVANE_VERSION);
        return kDone;
    }
    if (command == "wait-painted")
        return parseOptions(argc, argv, 2, kTimeout | kGuide | kTiming, options) ? waitPainted(options) : usage();
    if (command == "close")
        return parseOptions(argc, argv, 2, kTimeout | kTitle, options) ? closeCorvane(options) : usage();
    if (command == "command") return argc == 3 && parseId(argv[2], options.id) ? postCommand(options.id) : usage();
    if (command == "window")
        return parseOptions(argc, argv, 2, kTimeout | kTitle | kClient, options) ? printRectangle(options) : usage();
    if (command == "control" && argc >= 3 && parseId(argv[2], options.id) && options.id != 0)
        return parseOptions(argc, argv, 3, kTimeout | kTitle, options) ? printRectangle(options) : usage();
    return usage();
}
