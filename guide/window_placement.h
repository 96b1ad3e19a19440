// Where the program's windows were left: the four placement keys
// "WindowX", "WindowY", "WindowCX", "WindowCY" of a window's section, and the
// sections of the three modeless windows that keep a placement of their own
// (the popup, the update information window, the reservation list window).
// This file alone spells these keys and sections.
#pragma once

#include <array>
#include <string>

#include "store/settings.h"

namespace corvane {

// The four keys of `section` read as texts (up to 100 characters, each with
// its default) and converted like `atoi` into `values`. False, with
// `values` untouched, when any of them is empty.
bool readPlacementKeys(Settings& settings, const char* section, const std::string (&defaults)[4], int (&values)[4]);

// The four keys of `section`, in decimal.
void writePlacementKeys(Settings& settings, const char* section, int x, int y, int cx, int cy);

// A modeless window's stored position and size ("WindowCX" = width,
// "WindowCY" = height). Applied only when `stored`: all four keys non-empty
// and a positive size. Otherwise the window keeps the position and size of
// its dialog template.
struct DialogPlacement {
    bool stored = false;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Section "PopDialog": position defaults to 22 right of and 17 below the main
// window's (`mainLeft`, `mainTop`), size to 320 x 200.
DialogPlacement readPopupPlacement(Settings& settings, int mainLeft, int mainTop);
// Sections "UpdateDialog" and "iEpgListDialog": no default position, so
// nothing is applied until the window has stored its own placement.
DialogPlacement readUpdateWindowPlacement(Settings& settings);
DialogPlacement readReservationListPlacement(Settings& settings);

// The five column widths of the reservation list ("CHW", "DATEW", "NAMEW",
// "UNITW", "EPGNAMEW" of "iEpgListDialog"): texts of up to 100 characters
// converted like `atoi` and held to 0..32767, defaults 120, 150, 320, 150, 320.
using ReservationListWidths = std::array<int, 5>;
ReservationListWidths readReservationListWidths(Settings& settings);
void writeReservationListWidths(Settings& settings, const ReservationListWidths& widths);

// The four column widths of the update information window ("CHW", "DATEW",
// "OLDW", "NEWW" of "UpdateDialog"): texts of up to 100 characters converted
// like `atoi` and held to 0..32767, defaults 120, 100, 320, 320.
using UpdateWindowWidths = std::array<int, 4>;
UpdateWindowWidths readUpdateWindowWidths(Settings& settings);
void writeUpdateWindowWidths(Settings& settings, const UpdateWindowWidths& widths);

// Whether `section` holds a stored position ("WindowX" present, even empty).
bool placementStored(Settings& settings, const char* section);

// The screen's work area, for the first placements of a start without a
// settings file.
struct WorkArea {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The main window at a first start: about 80 % of the work area, centred.
struct WindowRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const WindowRect&) const = default;
};
WindowRect firstMainWindowRect(const WorkArea& area);

// The list windows' first places, `order` 0, 1, 2 (genre list, reservation
// list, update information): cascaded from the main window's corner, each
// offset from the last, a `width` x `height` window held inside the work area
// (and no larger than it).
WindowRect cascadedListWindowRect(const WorkArea& area, const WindowRect& main, int order, int width, int height);

// The popup of a programme chosen from the keyboard, `width` x `height`,
// beside the screen rectangle `block` of its title block: `gap` pixels right
// of it, or left of it where the work area ends, its top at the block's;
// held inside the work area where it fits there.
WindowRect popupBesideBlock(const WindowRect& block, int width, int height, const WorkArea& area, int gap);

// Written when the window is destroyed.
void writePopupPlacement(Settings& settings, int x, int y, int width, int height);
void writeUpdateWindowPlacement(Settings& settings, int x, int y, int width, int height);
void writeReservationListPlacement(Settings& settings, int x, int y, int width, int height);

}  // namespace corvane
