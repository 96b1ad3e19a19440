// The modal genre colour dialog (dialog 121): which major genres the guide
// highlights, their colours, and whether unselected programmes lose their
// text. Nothing is written to the settings file here; that happens at
// shutdown.
#pragma once

#include <windows.h>

#include <cstdint>

#include "guide/genre_brushes_win.h"
#include "dialogs/genre_table.h"

namespace corvane {

// Lets the user pick a colour starting from `initial`. `customColors` is the
// program's shared array of 16 custom colours; edits made in the chooser
// land there even when it is cancelled. True, with `chosen` set, when the
// user confirmed a colour.
using ColorChooser = bool (*)(HWND owner, uint32_t initial, uint32_t customColors[16],
                              uint32_t& chosen);

// The platform colour chooser (ChooseColorA, fully open, starting from
// `initial`). A failing chooser counts as a cancel.
bool chooseColorWithDialog(HWND owner, uint32_t initial, uint32_t customColors[16],
                           uint32_t& chosen);

// Runs dialog 121 modally on `owner` and returns IDOK (1) or IDCANCEL (2).
// On IDOK the checks, colours and GenreNoDisp of `genres` take the dialog's
// values and every genre brush is rebuilt from its new colour; on IDCANCEL
// (also when the dialog cannot be opened) nothing but the custom colours
// changes.
int runGenreColorDialog(HWND owner, GenreSettings& genres, GenreBrushes& brushes,
                        ColorChooser chooser = chooseColorWithDialog);

}  // namespace corvane
