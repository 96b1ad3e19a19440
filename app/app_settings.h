// Everything the program reads from the settings file before its first
// window is shown, and what it writes back at shutdown. Plain values read
// through the settings seam, so the rules hold on every platform.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/settings.h"
#include "dialogs/genre_table.h"

namespace corvane {

// ---------------------------------------------------------------------------
// Paths
// ---------------------------------------------------------------------------

struct AppPaths {
    std::string settingsFile;  // the executable's path with extension ".ini"
    std::string iepgFile;      // the same with ".tvpi": the iEPG hand-over file
    std::string epgTimerFile;  // documents folder + "\EpgTimer\Program.txt"
};

// `executablePath` is the module's full path, `documentsFolder` the user's
// documents folder (empty when unknown).
AppPaths deriveAppPaths(const std::string& executablePath, const std::string& documentsFolder);

// `path` with the extension of its last component (from its last '.', if
// any) replaced by `extension` (".ini"). Shift_JIS aware: a '\' that is the
// second byte of a double-byte character does not separate components.
std::string replaceExtension(const std::string& path, const std::string& extension);

// ---------------------------------------------------------------------------
// Window placements
// ---------------------------------------------------------------------------

// The main window, section "Corvane". "WindowCX" and "WindowCY" hold the
// right and bottom edges, not the size.
struct MainWindowPlacement {
    int left = 100;    // "WindowX"
    int top = 100;     // "WindowY"
    int right = 930;   // "WindowCX"
    int bottom = 500;  // "WindowCY"
    int minimized = 0; // "WindowMin"
    int maximized = 0; // "WindowMax"

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

// A modeless window's stored position and size ("WindowX", "WindowY",
// "WindowCX" = width, "WindowCY" = height). Applied only when `stored`: all
// four keys non-empty and a positive size. Otherwise the window keeps the
// position and size of its dialog template.
struct DialogPlacement {
    bool stored = false;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Section "PopDialog": position defaults to 22 right of and 17 below the main
// window's, size to 320 x 200.
DialogPlacement readPopupPlacement(Settings& settings, const MainWindowPlacement& mainWindow);
// Sections "UpdateDialog" and "iEpgListDialog": no default position, so
// nothing is applied until the window has stored its own placement.
DialogPlacement readUpdateWindowPlacement(Settings& settings);
DialogPlacement readReservationListPlacement(Settings& settings);

// The four placement keys of a modeless window, in decimal.
void writeDialogPlacement(Settings& settings, const std::string& section, int x, int y, int width,
                          int height);

// ---------------------------------------------------------------------------
// View settings
// ---------------------------------------------------------------------------

// Section "Setup": the two switches of the settings menu.
struct ViewSwitches {
    int nowTimeLine = 1;  // draw the line of the current time
    int viewChNo = 0;     // channel numbers in the column headers
};

// Missing keys keep the values of `current`.
ViewSwitches readViewSwitches(Settings& settings, const ViewSwitches& current = ViewSwitches{});
void writeViewSwitches(Settings& settings, const ViewSwitches& switches);

// One of the two guide fonts; the character set is always Shift_JIS (128).
struct FontSetting {
    std::string faceName;  // at most 31 bytes
    int size = 12;         // as stored: negative and positive values mean the same
    int weight = 0;        // 0 = the default weight
    int italic = 0;
    int underline = 0;
    int strikeOut = 0;
    uint32_t color = 0;    // 0x00BBGGRR

    static constexpr int charSet = 128;
    // Fonts are created with this height: -|size|, a character height.
    int creationHeight() const { return size < 0 ? size : -size; }
};

// Section "ViewSetup". Values are taken as stored, without range checks.
struct ViewSettings {
    int hourHight = 2;      // "HourHight": pixels per minute
    int channelWidth = 180; // "ChannelWidth": pixels per guide column
    int contDisp = 1;       // "ContDisp": programme description under the title
    int epgTimerDisp = 0;   // "EpgTimerDisp", "TvRockDisp", "TunerecDisp":
    int tvRockDisp = 0;     //   mark programmes reserved in that application
    int tunerecDisp = 0;
    std::string tvRockProgName = "D:\\Vurda\\tvrock.sch";  // at most 255 bytes
    FontSetting nameFont;   // "NameFont..." keys
    FontSetting contFont;   // "ContFont..." keys

    ViewSettings();
};

ViewSettings readViewSettings(Settings& settings);

// ---------------------------------------------------------------------------
// Registration settings (section "iEpgSetup")
// ---------------------------------------------------------------------------

// TvRock's web address when none is stored: port 8969 of this machine.
inline constexpr const char* defaultTvRockHostName = "http://localhost:8969/nobody/";

struct RegistrationSettings {
    int iEpg = 0;         // the file-or-web target is on
    int iEpgTunerec = 0;  // capture-tool registration is on
    int epgTimer = 0;     // the file-or-web target is EpgTimer
    int tvRock = 0;       // ... or TvRock (never together with epgTimer)
    std::string fileName;                            // application started, at most 255 bytes
    std::string hostName = defaultTvRockHostName;    // at most 255 bytes
};

// `tvpiApplication` is the application registered for ".tvpi" files (empty
// when none), the default of "FileName". "EpgTimer" wins over "TvRock".
RegistrationSettings readRegistrationSettings(Settings& settings,
                                              const std::string& tvpiApplication);

// One of the nine capture presets of `tunerec`. Preset index n (0 to 8) is
// stored in section "iEpgSetup" for n = 0 and "iEpgSetup:n" otherwise; its
// account and password in "ViewSetup" / "ViewSetup:n" as hexadecimal text.
struct TunerecPreset {
    std::string name;            // "iEpgTunerecName", default "tunerec" + (n + 1)
    std::string executablePath;  // "FileNameTunerec"
    std::string saveFolder;      // "FileNameTunerecSave"
    int powerOn = 1;             // "iEpgTunerecPon"
    int powerOff = 1;            // "iEpgTunerecPoff"
    int b25 = 1;                 // "iEpgTunerecB25"
    int bcsFile = 0;             // "iEpgTunerecBcs"
    int sel = 0;                 // "iEpgTunerecSel"
    int logonOnly = 0;           // "iEpgTunerecLogon"
    int udp = 0;                 // "iEpgTunerecUdp"
    std::string udpHostName = "127.0.0.1:1234";  // "iEpgTunerecUdpHostName"
    int id = 1;                  // "iEpgTunerecID", default n + 1
    std::string account;         // "iEpgAColor", at most 99 bytes
    std::string password;        // "iEpgPColor", at most 99 bytes
    std::string otherOptions;    // "iEpgTunerecOther"
};

inline constexpr int tunerecPresetCount = 9;

// "iEpgSetup" / "ViewSetup" for index 0, "iEpgSetup:3" for index 3.
std::string presetSection(const char* base, int index);

std::vector<TunerecPreset> readTunerecPresets(Settings& settings);
void writeTunerecPreset(Settings& settings, int index, const TunerecPreset& preset);

// Account texts are stored as two lower-case hex digits per byte.
std::string encodeHexText(const std::string& text);
// Digit pairs parsed with base 16; a zero byte ends the text, which is cut to
// 99 bytes (whole characters).
std::string decodeHexText(const std::string& hex);

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
void writeShutdownSettings(Settings& settings, const GenreSettings& genres,
                           const ViewSwitches& switches);

}  // namespace corvane
