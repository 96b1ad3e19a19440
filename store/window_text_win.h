// The text of a window or a dialog control, whole: however long it is,
// nothing is cut.
#pragma once

#include <windows.h>

#include <string>

namespace corvane {

inline std::string wholeWindowText(HWND window) {
    const int length = window ? GetWindowTextLengthA(window) : 0;
    if (length <= 0) return "";
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

inline std::string dialogItemText(HWND dialog, int id) { return wholeWindowText(GetDlgItem(dialog, id)); }

}  // namespace corvane
