// Where a dialog procedure keeps its state: in the dialog's DWLP_USER slot.
// A modal dialog is handed its state by DialogBoxParam and reads it back on
// every later message; a modeless window owns its state from WM_INITDIALOG
// until WM_NCDESTROY, the last message it gets.
#pragma once

#include <windows.h>

#include <memory>

namespace corvane {

// The state of `dialog`: taken from WM_INITDIALOG's parameter and kept, then
// read back; null for the messages that come before WM_INITDIALOG.
template <class State>
State* dialogState(HWND dialog, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        return reinterpret_cast<State*>(lParam);
    }
    return dialog ? reinterpret_cast<State*>(GetWindowLongPtrA(dialog, DWLP_USER)) : nullptr;
}

// The state a modeless window owns.
template <class State>
struct OwnedDialogState {
    // Gives `window` its state, for WM_INITDIALOG.
    static State& attach(HWND window, std::unique_ptr<State> state) {
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(state.get()));
        return *state.release();
    }
    // Null before attach and after release.
    static State* of(HWND window) {
        return window ? reinterpret_cast<State*>(GetWindowLongPtrA(window, DWLP_USER)) : nullptr;
    }
    // Frees the state, for WM_NCDESTROY.
    static void release(HWND window) {
        std::unique_ptr<State> owned(of(window));
        if (owned) SetWindowLongPtrA(window, DWLP_USER, 0);
    }
};

}  // namespace corvane
