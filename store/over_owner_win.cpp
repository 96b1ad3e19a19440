#include "store/over_owner_win.h"

#include <algorithm>

namespace corvane {

namespace {

// One dialog at a time opens over its owner on the thread (they are modal).
thread_local HWND waitingOwner = nullptr;
thread_local HHOOK waitingHook = nullptr;

LRESULT CALLBACK onActivate(int code, WPARAM wParam, LPARAM lParam) {
    HHOOK hook = waitingHook;
    if (code == HCBT_ACTIVATE && waitingOwner) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (GetWindow(window, GW_OWNER) == waitingOwner) {
            centreOverOwner(window, waitingOwner);
            waitingOwner = nullptr;  // the dialog's own later windows stay where they open
        }
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

void centreOverOwner(HWND window, HWND owner) {
    RECT own{}, over{};
    if (!GetWindowRect(window, &own) || !GetWindowRect(owner, &over)) return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;
    const int width = own.right - own.left, height = own.bottom - own.top;
    auto fit = [](long start, long size, long low, long high) {
        return static_cast<int>(std::max(low, std::min(start, high - size)));
    };
    const int x = fit((over.left + over.right - width) / 2, width, work.left, work.right);
    const int y = fit((over.top + over.bottom - height) / 2, height, work.top, work.bottom);
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

OpensOverOwner::OpensOverOwner(HWND owner) {
    if (!owner || waitingHook) return;
    hook_ = SetWindowsHookExA(WH_CBT, onActivate, nullptr, GetCurrentThreadId());
    if (!hook_) return;
    waitingHook = hook_;
    waitingOwner = owner;
}

OpensOverOwner::~OpensOverOwner() {
    if (!hook_) return;
    UnhookWindowsHookEx(hook_);
    waitingHook = nullptr;
    waitingOwner = nullptr;
}

}  // namespace corvane
