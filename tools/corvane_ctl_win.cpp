// corvane-ctl: drives a running corvane.exe from scripts (Wine or Windows).
//
//   corvane-ctl wait-painted [--timeout S] [--guide]
//       Waits until a top-level window of class "CORVANE" is visible, its
//       process is idle and nothing is left to paint. With --guide it also
//       waits until the guide's corner button (grey 105,105,105) shows at
//       client (2, 2), i.e. until guide data has been painted.
//   corvane-ctl close [--timeout S]
//       Posts WM_CLOSE to that window and waits until its process has ended,
//       so the program shuts down normally and writes its settings.
//
// Exit codes: 0 done, 1 timed out, 2 usage error, 3 no Corvane window (close).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr const char* kWindowClass = "CORVANE";
constexpr COLORREF kCornerButton = RGB(105, 105, 105);
constexpr DWORD kPollMs = 100;
// The window must look settled this many polls in a row.
constexpr int kStablePolls = 3;

enum ExitCode { kDone = 0, kTimedOut = 1, kUsage = 2, kNoWindow = 3 };

struct Options {
    double timeoutSeconds = 30;
    bool guide = false;
};

int usage() {
    std::fputs("usage: corvane-ctl wait-painted [--timeout S] [--guide]\n"
               "       corvane-ctl close [--timeout S]\n",
               stderr);
    return kUsage;
}

bool parseOptions(int argc, char** argv, bool allowGuide, Options& options) {
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
            char* end = nullptr;
            options.timeoutSeconds = std::strtod(argv[++i], &end);
            if (end == argv[i] || *end != '\0' || options.timeoutSeconds < 0) return false;
        } else if (allowGuide && std::strcmp(argv[i], "--guide") == 0) {
            options.guide = true;
        } else {
            return false;
        }
    }
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

int waitPainted(const Options& options) {
    const ULONGLONG deadline = deadlineAfter(options.timeoutSeconds);
    int stable = 0;
    const char* waitingFor = "a visible Corvane window";
    COLORREF lastPixel = CLR_INVALID;
    for (;;) {
        HWND window = FindWindowA(kWindowClass, nullptr);
        bool settled = false;
        if (!window || !IsWindowVisible(window)) {
            waitingFor = "a visible Corvane window";
        } else if (!isIdle(window)) {
            waitingFor = "the program to become idle";
        } else if (GetUpdateRect(window, nullptr, FALSE)) {
            waitingFor = "the window to finish painting";
        } else if (options.guide && (!clientPixel(window, 2, 2, lastPixel) || lastPixel != kCornerButton)) {
            waitingFor = "the guide's corner button at client (2, 2)";
        } else {
            settled = true;
        }
        stable = settled ? stable + 1 : 0;
        if (stable >= kStablePolls) {
            std::puts("corvane-ctl: Corvane is shown and painted");
            return kDone;
        }
        if (GetTickCount64() >= deadline) {
            std::fprintf(stderr, "corvane-ctl: timed out waiting for %s", waitingFor);
            if (options.guide && lastPixel != CLR_INVALID) {
                std::fprintf(stderr, " (pixel is RGB(%d,%d,%d))", GetRValue(lastPixel),
                             GetGValue(lastPixel), GetBValue(lastPixel));
            }
            std::fputc('\n', stderr);
            return kTimedOut;
        }
        Sleep(kPollMs);
    }
}

int closeCorvane(const Options& options) {
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
    Options options;
    if (std::strcmp(argv[1], "wait-painted") == 0) {
        if (!parseOptions(argc, argv, true, options)) return usage();
        return waitPainted(options);
    }
    if (std::strcmp(argv[1], "close") == 0) {
        if (!parseOptions(argc, argv, false, options)) return usage();
        return closeCorvane(options);
    }
    return usage();
}
