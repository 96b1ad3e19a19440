// The modal genre colour dialog (dialog 121): which major genres the guide
// highlights, their colours, and whether unselected programmes lose their
// text. Nothing is written to the settings file here; that happens at
// shutdown.
#pragma once

#include <windows.h>

#include <cstdint>

#include "dialogs/choosers_win.h"
#include "guide/genre_brushes_win.h"
#include "guide/genre_table.h"

namespace corvane {

// Runs dialog 121 modally on `owner` and returns IDOK (1) or IDCANCEL (2).
// On IDOK the checks, colours and GenreNoDisp of `genres` take the dialog's
// values and every genre brush is rebuilt from its new colour; on IDCANCEL
// (also when the dialog cannot be opened) nothing but the custom colours
// changes.
int runGenreColorDialog(HWND owner, GenreSettings& genres, GenreBrushes& brushes,
                        ColorChooser chooser = chooseColorWithDialog);

}  // namespace corvane
