// The platform's choosers the dialogs open (colour, font, file), each as a
// seam that tests replace with a scripted one, and the pieces the dialogs
// with colour swatches share.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane {

// Lets the user pick a colour starting from `initial`. `customColors` is the
// program's shared array of 16 custom colours; edits made in the chooser
// land there even when it is cancelled. True, with `chosen` set, when the
// user confirmed a colour.
using ColorChooser = bool (*)(HWND owner, uint32_t initial, uint32_t customColors[16], uint32_t& chosen);

// The platform colour chooser (ChooseColorA, fully open, starting from
// `initial`). A failing chooser counts as a cancel.
bool chooseColorWithDialog(HWND owner, uint32_t initial, uint32_t customColors[16], uint32_t& chosen);

// Lets the user pick a screen font starting from `font` and `color`. True,
// with both holding the choice, when the user confirmed; otherwise neither
// changes.
using FontChooser = bool (*)(HWND owner, LOGFONTA& font, uint32_t& color);

// ChooseFontA with screen fonts, effects (colour, underline, strike-out) and
// the initial font taken from `font`.
bool chooseFontWithDialog(HWND owner, LOGFONTA& font, uint32_t& color);

// Lets the user pick an existing file starting from `path`. True, with
// `path` holding the choice, when the user confirmed.
using FileChooser = bool (*)(HWND owner, std::string& path);

// The open-file dialog for TvRock's schedule file: "TvRockスケジュールファイルの指定",
// "*.sch" or every file, 259 characters at most.
bool chooseScheduleFileWithDialog(HWND owner, std::string& path);

// An owner-drawn colour swatch: filled with `brush`, with a button edge and
// the focus rectangle.
void drawColorSwatch(const DRAWITEMSTRUCT& item, HBRUSH brush);

// The text of a dialog's control (store/window_text_win.h), cut to `limit` bytes without
// splitting a double-byte character.
std::string dialogItemText(HWND dialog, int id, size_t limit);

}  // namespace corvane
