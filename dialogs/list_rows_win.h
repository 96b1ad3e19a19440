// What the list windows do alike with their list views: the columns with
// their stored widths, an owner-drawn row drawn cell by cell from its plan
// (the reservation list and the update information window), and the widths
// and window rectangle they store when destroyed.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstddef>
#include <string>

#include "dialogs/list_rows.h"

namespace corvane {

// Full-row selection and the left-aligned columns `titles` with `widths`.
void addListColumns(HWND list, const char* const* titles, const int* widths, int count);

// The header of `list` shows the system's sort arrow on `column`, up when
// `ascending`, and on no other column; `column` -1 (rows in their own order
// again) takes every arrow away.
void showSortArrow(HWND list, int column, bool ascending);

// Draws an owner-drawn row (`WM_DRAWITEM`): each cell of the list's columns,
// up to `count`, filled and its pieces drawn one after another on one line;
// the focus rectangle around the row when it has the focus.
void drawListRow(HWND list, const DRAWITEMSTRUCT& item, const std::string* texts, const CellPlan* cells, int count);

template <size_t N>
std::array<int, N> listColumnWidths(HWND list) {
    std::array<int, N> widths{};
    for (size_t column = 0; column < N; ++column) widths[column] = ListView_GetColumnWidth(list, static_cast<int>(column));
    return widths;
}

// The window's rectangle; for a minimised or maximised window the one it
// will be restored to.
RECT restoredWindowRect(HWND window);

}  // namespace corvane
