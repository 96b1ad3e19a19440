// Where a list window lies over the guide: its rectangle in the main
// window's client coordinates, so that "show in guide" can put the programme
// where the window does not hide it.
#pragma once

#include <windows.h>

#include <optional>

#include "guide/guide_layout.h"

namespace corvane {

// None when the window is hidden or minimised (it covers nothing).
inline std::optional<Rect> guideAreaCoveredBy(HWND window, HWND main) {
    RECT r{};
    if (!window || !main || !IsWindowVisible(window) || IsIconic(window) || !GetWindowRect(window, &r))
        return std::nullopt;
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    return Rect{r.left, r.top, r.right, r.bottom};
}

}  // namespace corvane
