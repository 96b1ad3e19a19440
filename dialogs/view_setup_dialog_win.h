// The modal view setup dialog (dialog 136, "画面設定"): minute height and
// column width of the guide, the detail text, the two programme fonts with
// their colours, whose reservations are marked and TvRock's schedule file.
// The dialog works on copies; "OK" takes them into the live settings, writes
// section "ViewSetup" and recreates the two fonts; "キャンセル" changes and
// writes nothing.
#pragma once

#include <windows.h>

#include "dialogs/choosers_win.h"
#include "guide/paint_tools_win.h"
#include "guide/reservation_frame.h"
#include "guide/view_settings.h"
#include "reserve/message_boxes.h"
#include "reserve/reservation_watch.h"
#include "store/settings.h"

namespace corvane {

// What the dialog edits and what "OK" reaches.
struct ViewSetupTarget {
    ViewSettings& view;
    uint32_t* customColors;  // the program's 16 custom colours (CustColor)
    Settings& settings;
    PaintTools& paintTools;        // its title and detail fonts are recreated
    ReservationBook& reservations;  // emptied at once when no reservation is marked any more
    MessageBoxes* messages = nullptr;  // refusals of numbers; null: message boxes over the dialog
    ColorChooser chooseColor = chooseColorWithDialog;
    FontChooser chooseFont = chooseFontWithDialog;
    FileChooser chooseScheduleFile = chooseScheduleFileWithDialog;
};

// Runs dialog 136 modally on `owner`; returns IDOK (1) or IDCANCEL (2, also
// when the dialog cannot be opened).
int runViewSetupDialog(HWND owner, ViewSetupTarget& target);

}  // namespace corvane
