// What the genre list window keeps in section "GenreList" of the settings
// file: the widths of its three columns, its two splitters and its place on
// the screen. Read when the window is made, written when it is destroyed.
#pragma once

#include "store/settings.h"

namespace corvane {

struct GenreListSettings {
    int columnWidths[3] = {120, 300, 320};  // "CHW", "DATEW", "NAMEW"
    int splitX = 100;                       // "SpX"
    int splitY = 100;                       // "SpY"
    // "WindowX", "WindowY", "WindowCX", "WindowCY": position, width, height.
    int x = 0, y = 0, width = 0, height = 0;
};

// Every key with its default; the placement defaults to the window's own
// rectangle (`x`, `y`, `width`, `height` of `window`), which also stays when a
// stored size is not positive, and "SpX" to `window.splitX` (the tree's width
// for its names). Column widths are kept within 0..32767.
GenreListSettings readGenreListSettings(Settings& settings, const GenreListSettings& window);

// Whether the window's place was stored (a first start places it itself).
bool genreListPlacementStored(Settings& settings);

// Every key, in decimal.
void writeGenreListSettings(Settings& settings, const GenreListSettings& values);

}  // namespace corvane
