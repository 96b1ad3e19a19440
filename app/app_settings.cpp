#include "app/app_settings.h"

#include <cstdio>
#include <iterator>

#include "app/load_flow.h"
#include "reserve/registration_formats.h"

namespace corvane {

// ---------------------------------------------------------------------------
// Paths
// ---------------------------------------------------------------------------

std::string replaceExtension(const std::string& path, const std::string& extension) {
    const size_t nameStart = path.size() - fileNameOf(path).size();
    // '.' is never the second byte of a double-byte character.
    const size_t dot = path.rfind('.');
    const size_t stemEnd = dot != std::string::npos && dot >= nameStart ? dot : path.size();
    return path.substr(0, stemEnd) + extension;
}

AppPaths deriveAppPaths(const std::string& executablePath, const std::string& documentsFolder) {
    AppPaths paths;
    paths.settingsFile = replaceExtension(executablePath, ".ini");
    paths.iepgFile = replaceExtension(executablePath, ".tvpi");
    paths.iepgHandOverFile = replaceExtension(executablePath, ".register.tvpi");
    if (!documentsFolder.empty()) paths.epgTimerFile = documentsFolder + "\\EpgTimer\\Program.txt";
    return paths;
}

// ---------------------------------------------------------------------------
// The main window's placement
// ---------------------------------------------------------------------------

namespace {

const char* const mainSection = "Corvane";
constexpr int placementCapacity = 100;

std::string decimal(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

}  // namespace

MainWindowPlacement readMainWindowPlacement(Settings& settings) {
    if (!placementStored(settings, mainSection)) {
        MainWindowPlacement first;
        first.firstStart = true;
        return first;
    }
    const MainWindowPlacement defaults;
    int edges[4];
    if (!readPlacementKeys(settings, mainSection,
                           {decimal(defaults.left), decimal(defaults.top), decimal(defaults.right),
                            decimal(defaults.bottom)},
                           edges))
        return defaults;
    const std::string minimized = settings.readString(mainSection, "WindowMin", decimal(defaults.minimized),
                                                      placementCapacity);
    const std::string maximized = settings.readString(mainSection, "WindowMax", decimal(defaults.maximized),
                                                      placementCapacity);
    if (minimized.empty() || maximized.empty()) return defaults;
    MainWindowPlacement placement;
    placement.left = edges[0];
    placement.top = edges[1];
    placement.right = edges[2];
    placement.bottom = edges[3];
    placement.minimized = parseDecimal(minimized);
    placement.maximized = parseDecimal(maximized);
    // A window without area could never be seen or grabbed again.
    if (placement.width() <= 0 || placement.height() <= 0) return defaults;
    return placement;
}

void writeMainWindowPlacement(Settings& settings, const MainWindowPlacement& placement) {
    writePlacementKeys(settings, mainSection, placement.left, placement.top, placement.right, placement.bottom);
    writeInt(settings, mainSection, "WindowMin", placement.minimized);
    writeInt(settings, mainSection, "WindowMax", placement.maximized);
}

InitialShow initialShow(const MainWindowPlacement& placement) {
    if (placement.minimized != 0) return InitialShow::minimized;
    if (placement.maximized != 0) return InitialShow::maximized;
    return InitialShow::asRequested;
}

// ---------------------------------------------------------------------------
// Genre settings
// ---------------------------------------------------------------------------

namespace {

const char* const genreSection = "GenreSetup";

}  // namespace

GenreSettings readGenreSettings(Settings& settings) {
    GenreSettings genres;
    char key[32];
    char fallback[16];
    for (int i = 0; i < GenreTable::majorCount; ++i) {
        std::snprintf(key, sizeof key, "Check%d", i + 1);
        // Absent: on, so that a first start shows the genre colours.
        genres.genreCheck[i] = settings.readInt(genreSection, key, 1);
        std::snprintf(key, sizeof key, "Color%d", i + 1);
        std::snprintf(fallback, sizeof fallback, "%x", static_cast<unsigned>(builtInGenreColors[i]));
        genres.genreColor[i] = parseHexColor(settings.readString(genreSection, key, fallback, 100));
    }
    for (int i = 0; i < static_cast<int>(std::size(genres.custColor)); ++i) {
        std::snprintf(key, sizeof key, "CustColor%d", i + 1);
        genres.custColor[i] = parseHexColor(settings.readString(genreSection, key, "0", 100));
    }
    genres.genreNoDisp = settings.readInt(genreSection, "GenreNoDisp", 0);
    return genres;
}

void writeGenreSettings(Settings& settings, const GenreSettings& genres) {
    char key[32];
    for (int i = 0; i < GenreTable::majorCount; ++i) {
        std::snprintf(key, sizeof key, "Check%d", i + 1);
        writeInt(settings, genreSection, key, genres.genreCheck[i]);
    }
    for (int i = 0; i < GenreTable::majorCount; ++i) {
        std::snprintf(key, sizeof key, "Color%d", i + 1);
        writeHex(settings, genreSection, key, genres.genreColor[i]);
    }
    for (int i = 0; i < static_cast<int>(std::size(genres.custColor)); ++i) {
        std::snprintf(key, sizeof key, "CustColor%d", i + 1);
        writeHex(settings, genreSection, key, genres.custColor[i]);
    }
    writeInt(settings, genreSection, "GenreNoDisp", genres.genreNoDisp);
}

// ---------------------------------------------------------------------------
// Start-up and shutdown
// ---------------------------------------------------------------------------

StartupSettings readStartupSettings(Settings& settings, const std::string& tvpiApplication) {
    StartupSettings startup;
    startup.mainWindow = readMainWindowPlacement(settings);
    startup.popup = readPopupPlacement(settings, startup.mainWindow.left, startup.mainWindow.top);
    startup.updateWindow = readUpdateWindowPlacement(settings);
    startup.reservationList = readReservationListPlacement(settings);
    startup.switches = readViewSwitches(settings);
    startup.genres = readGenreSettings(settings);
    startup.registration = readRegistrationSettings(settings, tvpiApplication);
    const RegistrationSwitches on = registrationSwitches(startup.registration);
    startup.view = readViewSettings(
        settings, ReservationMarkDefaults{on.fileOrWeb && on.target == RegistrationTarget::epgTimer ? 1 : 0,
                                          on.fileOrWeb && on.target == RegistrationTarget::tvRock ? 1 : 0,
                                          on.capture ? 1 : 0});
    startup.presets = readTunerecPresets(settings);
    return startup;
}

void writeShutdownSettings(Settings& settings, const GenreSettings& genres, const ViewSwitches& switches) {
    writeGenreSettings(settings, genres);
    writeViewSwitches(settings, switches);
}

}  // namespace corvane
