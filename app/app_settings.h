// Everything the program reads from the settings file before its first
// window is shown, and what it writes back at shutdown. Plain values read
// through the settings seam, so the rules hold on every platform. The keys
// of the other rooms are read by their own files (view settings in guide/,
// registration settings and presets in reserve/, window placements in
// dialogs/); this file owns the main window's placement and the genre
// settings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "guide/genre_table.h"
#include "guide/window_placement.h"
#include "guide/view_settings.h"
#include "reserve/registration_settings.h"
#include "reserve/tunerec_preset.h"
#include "store/settings.h"

namespace corvane {

// ---------------------------------------------------------------------------
// Paths
// ---------------------------------------------------------------------------

struct AppPaths {
    std::string settingsFile;  // the executable's path with extension ".ini"
    std::string iepgFile;      // the same with ".tvpi": the registration file
    std::string iepgHandOverFile;  // the same with ".register.tvpi": what the iEPG application is given
    std::string epgTimerFile;  // documents folder + "\EpgTimer\Program.txt"; empty without one
};

// `executablePath` is the module's full path, `documentsFolder` the user's
// documents folder (empty when unknown: then EpgTimer's file is unknown too).
AppPaths deriveAppPaths(const std::string& executablePath, const std::string& documentsFolder);

// `path` with the extension of its last component (from its last '.', if
// any) replaced by `extension` (".ini"). Shift_JIS aware: a '\' that is the
// second byte of a double-byte character does not separate components.
std::string replaceExtension(const std::string& path, const std::string& extension);

// ---------------------------------------------------------------------------
// The main window's placement
// ---------------------------------------------------------------------------

// Section "Corvane". "WindowCX" and "WindowCY" hold the right and bottom
// edges, not the size.
struct MainWindowPlacement {
    int left = 100;    // "WindowX"
    int top = 100;     // "WindowY"
    int right = 930;   // "WindowCX"
    int bottom = 500;  // "WindowCY"
    int minimized = 0; // "WindowMin"
    int maximized = 0; // "WindowMax"
    bool firstStart = false;  // no position stored: the window is fitted to the screen

    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

// A stored placement with an empty key, or one whose width or height is not
// positive, is not used at all: the window opens with the defaults, at
// (100, 100) and 830 x 400, not minimised or maximised.
MainWindowPlacement readMainWindowPlacement(Settings& settings);

// Written when the main window is destroyed, every value in decimal.
void writeMainWindowPlacement(Settings& settings, const MainWindowPlacement& placement);

enum class InitialShow { minimized, maximized, asRequested };

// Minimised wins over maximised; otherwise the show mode given to the program.
InitialShow initialShow(const MainWindowPlacement& placement);

// ---------------------------------------------------------------------------
// Genre settings (section "GenreSetup")
// ---------------------------------------------------------------------------

// Reads "Check%d", "Color%d" (1 to 12, number 1 = major genre 0),
// "CustColor%d" (1 to 16) and "GenreNoDisp"; missing keys give the built-in
// values, colour texts give the value of their leading hex digits.
GenreSettings readGenreSettings(Settings& settings);

// Writes every key of section "GenreSetup": checks and "GenreNoDisp" in
// decimal, colours in lower-case hexadecimal.
void writeGenreSettings(Settings& settings, const GenreSettings& genres);

// ---------------------------------------------------------------------------
// Start-up and shutdown
// ---------------------------------------------------------------------------

struct StartupSettings {
    MainWindowPlacement mainWindow;
    DialogPlacement popup;
    DialogPlacement updateWindow;
    DialogPlacement reservationList;
    ViewSwitches switches;
    GenreSettings genres;
    ViewSettings view;
    RegistrationSettings registration;
    std::vector<TunerecPreset> presets;
};

// Every setting the program needs before its first window is shown.
StartupSettings readStartupSettings(Settings& settings, const std::string& tvpiApplication);

// What is saved when the message loop has ended: section "GenreSetup", then
// "NowTimeLine" and "ViewChNo" of section "Setup".
void writeShutdownSettings(Settings& settings, const GenreSettings& genres, const ViewSwitches& switches);

}  // namespace corvane
