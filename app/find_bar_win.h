// The find bar (dialog IDD_FIND_BAR, Ctrl+F): a child of the main window at
// the top right of the guide with the query, "次へ", "前へ", "説明も検索",
// "ひらがな・カタカナを区別しない", the count "n 件" and "×". Each change of
// the query or a check box selects the first match at or after the time at
// the top of the view (or keeps the selected programme when it still
// matches) as the keyboard selects: scrolled into view, the popup beside it.
// Enter and F3 go to the next match, with Shift the previous one, round at
// either end; Esc closes the bar. Without a match the query turns light red
// and nothing moves. The query and the check boxes are kept in the settings
// file.
#pragma once

#include <windows.h>

#include "app/app_state_win.h"

namespace corvane {

constexpr COLORREF kNoMatchBackground = RGB(255, 214, 214);

// Creates the bar hidden, with the query and check boxes of the settings
// file. Null on failure.
HWND createFindBar(AppState& app);

// Ctrl+F: shows the bar, the focus in its query with the text selected.
void openFindBar(AppState& app);

// The next (direction > 0) or previous match; the bar opens first when it
// is hidden.
void findNextMatch(AppState& app, int direction);

// Esc or "×": hides the bar and gives the focus back to the guide.
void closeFindBar(AppState& app);

// Keeps the bar at the top right of the main window's client area.
void placeFindBar(AppState& app);

// The ids of the bar's keys: whether `msg` is a key the bar takes (Enter,
// Esc, F3 with or without Shift) and was handled.
bool findBarKey(AppState& app, const MSG& msg);

}  // namespace corvane
