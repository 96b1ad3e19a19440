// The main window: the guide, the menu commands, mouse scrolling, the
// housekeeping timer and the window's own placement.
#pragma once

#include <windows.h>

#include <string>

#include "app/app_state_win.h"
#include "guide/guide_layout.h"

namespace corvane {

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void showAboutDialog(HWND owner);

// Every rebuild of the guide goes through here (load, column toggle,
// channel view, view settings): the layout of the current view, then the
// shell's reaction to it: in the list view the reservation watch is reset,
// the menus of the data are replaced and the genre list is refilled at
// once (before anything draws a row against the new event lists); the
// window title follows the view.
void rebuildGuide(AppState& app);

// Step 2 of the one-second housekeeping: the reservations of the enabled
// sources collected again when a file was written, the jobs not read yet or
// the watch reset; then the guide is repainted, the reservation list window
// told to refresh (32791) and the genre list window repainted.
void collectReservationsOnTick(AppState& app);

// Step 3: when the store holds new versions (its `changed` set), the flag is
// cleared and they are compared with their baselines; changes found are
// appended to the change list, and a visible update information window is
// told to refresh (1020) and shown again.
void detectChangesOnTick(AppState& app);

// Common steps of the commands.
void returnToListView(AppState& app);
void refreshGuide(AppState& app);
void afterLoad(AppState& app);

}  // namespace corvane
