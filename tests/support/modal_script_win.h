// A scripted user for a run of modal windows (a dialog, a dialog over it, a
// message box over that): a thread timer fires inside every modal loop of the
// test's thread and acts on the window of this thread that is enabled, one
// step per window it waits for. (DialogScript of win_test_support.h serves a
// single dialog known by its caption.)
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "store/window_text_win.h"
#include "support/win_test_support.h"

namespace corvane {

struct ModalStep {
    int control;  // the window holds this control; 0: a message box (none of `dialogControls`)
    std::function<void(HWND)> act;
};

class ModalScript {
public:
    // `dialogControls`: a control of each dialog the script meets, to tell them from message boxes.
    ModalScript(std::vector<ModalStep> steps, std::initializer_list<int> dialogControls)
        : steps_(std::move(steps)), dialogControls_(dialogControls) {
        running_ = this;
        timer_ = SetTimer(nullptr, 0, 30, tick);
    }
    ~ModalScript() {
        KillTimer(nullptr, timer_);
        running_ = nullptr;
        EXPECT_EQ(steps_.size(), next_) << "steps left undone";
    }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

private:
    static BOOL CALLBACK findEnabled(HWND window, LPARAM found) {
        if (IsWindowVisible(window) && IsWindowEnabled(window)) *reinterpret_cast<HWND*>(found) = window;
        return TRUE;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalScript* script = running_;
        HWND window = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), findEnabled, reinterpret_cast<LPARAM>(&window));
        if (!script || !window || script->next_ >= script->steps_.size()) return;
        const ModalStep& step = script->steps_[script->next_];
        bool isBox = true;
        for (int id : script->dialogControls_) isBox = isBox && !GetDlgItem(window, id);
        if (step.control ? !GetDlgItem(window, step.control) : !isBox) return;
        ++script->next_;  // before acting: the action may open the next modal loop
        step.act(window);
    }

    static inline ModalScript* running_ = nullptr;
    std::vector<ModalStep> steps_;
    std::vector<int> dialogControls_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
};

// Selects item `index` of a combo box as the user does: the owner hears of it.
inline void chooseItem(HWND dialog, int combo, int index) {
    SendDlgItemMessageA(dialog, combo, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE), LPARAM(GetDlgItem(dialog, combo)));
}

}  // namespace corvane
