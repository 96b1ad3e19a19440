#include "app/app_settings.h"

#include <cstdio>

#include "app/load_flow.h"

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
    paths.epgTimerFile = documentsFolder + "\\EpgTimer\\Program.txt";
    return paths;
}

// ---------------------------------------------------------------------------
// Window placements
// ---------------------------------------------------------------------------

namespace {

const char* const mainSection = "Corvane";
constexpr int placementCapacity = 100;

std::string decimal(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

DialogPlacement readDialogPlacement(Settings& settings, const char* section, const std::string& x,
                                    const std::string& y, const std::string& width,
                                    const std::string& height) {
    const std::string texts[4] = {
        settings.readString(section, "WindowX", x, placementCapacity),
        settings.readString(section, "WindowY", y, placementCapacity),
        settings.readString(section, "WindowCX", width, placementCapacity),
        settings.readString(section, "WindowCY", height, placementCapacity),
    };
    DialogPlacement placement;
    for (const std::string& text : texts)
        if (text.empty()) return placement;
    placement.x = parseDecimal(texts[0]);
    placement.y = parseDecimal(texts[1]);
    placement.width = parseDecimal(texts[2]);
    placement.height = parseDecimal(texts[3]);
    placement.stored = placement.width > 0 && placement.height > 0;
    return placement;
}

}  // namespace

MainWindowPlacement readMainWindowPlacement(Settings& settings) {
    const MainWindowPlacement defaults;
    const char* const keys[6] = {"WindowX", "WindowY", "WindowCX", "WindowCY", "WindowMin",
                                 "WindowMax"};
    const int fallbacks[6] = {defaults.left,  defaults.top,       defaults.right,
                              defaults.bottom, defaults.minimized, defaults.maximized};
    int values[6];
    for (int i = 0; i < 6; ++i) {
        const std::string text =
            settings.readString(mainSection, keys[i], decimal(fallbacks[i]), placementCapacity);
        if (text.empty()) return defaults;
        values[i] = parseDecimal(text);
    }
    MainWindowPlacement placement;
    placement.left = values[0];
    placement.top = values[1];
    placement.right = values[2];
    placement.bottom = values[3];
    placement.minimized = values[4];
    placement.maximized = values[5];
    // A window without area could never be seen or grabbed again.
    if (placement.width() <= 0 || placement.height() <= 0) return defaults;
    return placement;
}

void writeMainWindowPlacement(Settings& settings, const MainWindowPlacement& placement) {
    writeInt(settings, mainSection, "WindowX", placement.left);
    writeInt(settings, mainSection, "WindowY", placement.top);
    writeInt(settings, mainSection, "WindowCX", placement.right);
    writeInt(settings, mainSection, "WindowCY", placement.bottom);
    writeInt(settings, mainSection, "WindowMin", placement.minimized);
    writeInt(settings, mainSection, "WindowMax", placement.maximized);
}

InitialShow initialShow(const MainWindowPlacement& placement) {
    if (placement.minimized != 0) return InitialShow::minimized;
    if (placement.maximized != 0) return InitialShow::maximized;
    return InitialShow::asRequested;
}

DialogPlacement readPopupPlacement(Settings& settings, const MainWindowPlacement& mainWindow) {
    // Computed in 64 bits: a stored position near INT_MAX must not overflow.
    const auto shifted = [](int value, int by) {
        const long long sum = static_cast<long long>(value) + by;
        return sum > 2147483647LL ? 2147483647 : static_cast<int>(sum);
    };
    return readDialogPlacement(settings, "PopDialog", decimal(shifted(mainWindow.left, 22)),
                               decimal(shifted(mainWindow.top, 17)), "320", "200");
}

DialogPlacement readUpdateWindowPlacement(Settings& settings) {
    return readDialogPlacement(settings, "UpdateDialog", "", "17", "910", "290");
}

DialogPlacement readReservationListPlacement(Settings& settings) {
    return readDialogPlacement(settings, "iEpgListDialog", "", "17", "910", "290");
}

void writeDialogPlacement(Settings& settings, const std::string& section, int x, int y, int width,
                          int height) {
    writeInt(settings, section, "WindowX", x);
    writeInt(settings, section, "WindowY", y);
    writeInt(settings, section, "WindowCX", width);
    writeInt(settings, section, "WindowCY", height);
}

// ---------------------------------------------------------------------------
// View settings
// ---------------------------------------------------------------------------

namespace {

const char* const setupSection = "Setup";
const char* const viewSection = "ViewSetup";

void readFont(Settings& settings, const std::string& prefix, FontSetting& font) {
    const char* const section = viewSection;
    font.faceName = settings.readString(section, prefix + "FontName", font.faceName, 32);
    char colour[16];
    std::snprintf(colour, sizeof colour, "%06x", static_cast<unsigned>(font.color));
    font.color = parseHexColor(settings.readString(section, prefix + "FontColor", colour, 100));
    font.size = settings.readInt(section, prefix + "FontSize", font.size);
    font.weight = settings.readInt(section, prefix + "FontWeight", font.weight);
    font.italic = settings.readInt(section, prefix + "FontItalic", font.italic);
    font.underline = settings.readInt(section, prefix + "FontUnderline", font.underline);
    font.strikeOut = settings.readInt(section, prefix + "FontStrikeOut", font.strikeOut);
}

}  // namespace

ViewSwitches readViewSwitches(Settings& settings, const ViewSwitches& current) {
    ViewSwitches switches;
    switches.nowTimeLine = settings.readInt(setupSection, "NowTimeLine", current.nowTimeLine);
    switches.viewChNo = settings.readInt(setupSection, "ViewChNo", current.viewChNo);
    return switches;
}

void writeViewSwitches(Settings& settings, const ViewSwitches& switches) {
    writeInt(settings, setupSection, "NowTimeLine", switches.nowTimeLine);
    writeInt(settings, setupSection, "ViewChNo", switches.viewChNo);
}

ViewSettings::ViewSettings() {
    nameFont.faceName = "ＭＳ ゴシック";
    nameFont.size = 12;
    nameFont.color = 0x000000;
    contFont.faceName = "ＭＳ 明朝";
    contFont.size = 10;
    contFont.color = 0x505050;
}

ViewSettings readViewSettings(Settings& settings) {
    ViewSettings view;
    view.hourHight = settings.readInt(viewSection, "HourHight", view.hourHight);
    view.channelWidth = settings.readInt(viewSection, "ChannelWidth", view.channelWidth);
    view.contDisp = settings.readInt(viewSection, "ContDisp", view.contDisp);
    view.epgTimerDisp = settings.readInt(viewSection, "EpgTimerDisp", view.epgTimerDisp);
    view.tvRockDisp = settings.readInt(viewSection, "TvRockDisp", view.tvRockDisp);
    view.tunerecDisp = settings.readInt(viewSection, "TunerecDisp", view.tunerecDisp);
    view.tvRockProgName = settings.readString(viewSection, "TvRockProgName", view.tvRockProgName, 256);
    readFont(settings, "Name", view.nameFont);
    readFont(settings, "Cont", view.contFont);
    return view;
}

// ---------------------------------------------------------------------------
// Registration settings
// ---------------------------------------------------------------------------

namespace {

const char* const registrationSection = "iEpgSetup";
constexpr int pathCapacity = 256;
constexpr int hexAccountCapacity = 512;
constexpr int accountFieldSize = 100;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

RegistrationSettings readRegistrationSettings(Settings& settings,
                                              const std::string& tvpiApplication) {
    RegistrationSettings registration;
    const char* const section = registrationSection;
    registration.fileName = settings.readString(section, "FileName", tvpiApplication, pathCapacity);
    registration.iEpg = settings.readInt(section, "iEpg", 0);
    registration.iEpgTunerec = settings.readInt(section, "iEpgTunerec", 0);
    registration.epgTimer = settings.readInt(section, "EpgTimer", 0);
    registration.tvRock = settings.readInt(section, "TvRock", 0);
    if (registration.epgTimer != 0) registration.tvRock = 0;
    registration.hostName =
        settings.readString(section, "HostName", defaultTvRockHostName, pathCapacity);
    return registration;
}

std::string presetSection(const char* base, int index) {
    if (index == 0) return base;
    char text[64];
    std::snprintf(text, sizeof text, "%s:%d", base, index);
    return text;
}

std::string encodeHexText(const std::string& text) {
    std::string hex;
    char pair[4];
    for (const char c : text) {
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(c));
        hex += pair;
    }
    return hex;
}

std::string decodeHexText(const std::string& hex) {
    std::string text;
    // Each pair is read like strtol: the value of its leading hex digits.
    for (size_t i = 0; i < hex.size(); i += 2) {
        int value = hexDigit(hex[i]);
        if (value < 0) break;
        const int low = i + 1 < hex.size() ? hexDigit(hex[i + 1]) : -1;
        if (low >= 0) value = value * 16 + low;
        if (value == 0) break;
        text += static_cast<char>(value);
        if (text.size() >= static_cast<size_t>(accountFieldSize)) break;
    }
    return cutToCapacity(text, accountFieldSize);
}

std::vector<TunerecPreset> readTunerecPresets(Settings& settings) {
    std::vector<TunerecPreset> presets;
    for (int n = 0; n < tunerecPresetCount; ++n) {
        const std::string section = presetSection(registrationSection, n);
        const std::string accountSection = presetSection(viewSection, n);
        TunerecPreset preset;
        char defaultName[32];
        std::snprintf(defaultName, sizeof defaultName, "tunerec%d", n + 1);
        preset.name = settings.readString(section, "iEpgTunerecName", defaultName, pathCapacity);
        preset.executablePath = settings.readString(section, "FileNameTunerec", "", pathCapacity);
        preset.saveFolder = settings.readString(section, "FileNameTunerecSave", "", pathCapacity);
        preset.otherOptions = settings.readString(section, "iEpgTunerecOther", "", pathCapacity);
        preset.powerOn = settings.readInt(section, "iEpgTunerecPon", 1);
        preset.powerOff = settings.readInt(section, "iEpgTunerecPoff", 1);
        preset.b25 = settings.readInt(section, "iEpgTunerecB25", 1);
        preset.bcsFile = settings.readInt(section, "iEpgTunerecBcs", 0);
        preset.sel = settings.readInt(section, "iEpgTunerecSel", 0);
        preset.logonOnly = settings.readInt(section, "iEpgTunerecLogon", 0);
        preset.udp = settings.readInt(section, "iEpgTunerecUdp", 0);
        preset.udpHostName =
            settings.readString(section, "iEpgTunerecUdpHostName", "127.0.0.1:1234", pathCapacity);
        preset.id = settings.readInt(section, "iEpgTunerecID", n + 1);
        preset.account = decodeHexText(
            settings.readString(accountSection, "iEpgAColor", "", hexAccountCapacity));
        preset.password = decodeHexText(
            settings.readString(accountSection, "iEpgPColor", "", hexAccountCapacity));
        presets.push_back(preset);
    }
    return presets;
}

void writeTunerecPreset(Settings& settings, int index, const TunerecPreset& preset) {
    const std::string section = presetSection(registrationSection, index);
    writeInt(settings, section, "iEpgTunerecPon", preset.powerOn);
    writeInt(settings, section, "iEpgTunerecPoff", preset.powerOff);
    writeInt(settings, section, "iEpgTunerecB25", preset.b25);
    writeInt(settings, section, "iEpgTunerecBcs", preset.bcsFile);
    writeInt(settings, section, "iEpgTunerecSel", preset.sel);
    writeInt(settings, section, "iEpgTunerecLogon", preset.logonOnly);
    writeInt(settings, section, "iEpgTunerecUdp", preset.udp);
    settings.writeString(section, "iEpgTunerecUdpHostName", preset.udpHostName);
    writeInt(settings, section, "iEpgTunerecID", preset.id);
    settings.writeString(section, "iEpgTunerecName", preset.name);
    settings.writeString(section, "FileNameTunerec", preset.executablePath);
    settings.writeString(section, "FileNameTunerecSave", preset.saveFolder);
    settings.writeString(section, "iEpgTunerecOther", preset.otherOptions);
    const std::string accountSection = presetSection(viewSection, index);
    settings.writeString(accountSection, "iEpgAColor", encodeHexText(preset.account));
    settings.writeString(accountSection, "iEpgPColor", encodeHexText(preset.password));
}

// ---------------------------------------------------------------------------
// Start-up and shutdown
// ---------------------------------------------------------------------------

StartupSettings readStartupSettings(Settings& settings, const std::string& tvpiApplication) {
    StartupSettings startup;
    startup.mainWindow = readMainWindowPlacement(settings);
    startup.popup = readPopupPlacement(settings, startup.mainWindow);
    startup.updateWindow = readUpdateWindowPlacement(settings);
    startup.reservationList = readReservationListPlacement(settings);
    startup.switches = readViewSwitches(settings);
    startup.genres = readGenreSettings(settings);
    startup.view = readViewSettings(settings);
    startup.registration = readRegistrationSettings(settings, tvpiApplication);
    startup.presets = readTunerecPresets(settings);
    return startup;
}

void writeShutdownSettings(Settings& settings, const GenreSettings& genres,
                           const ViewSwitches& switches) {
    writeGenreSettings(settings, genres);
    writeViewSwitches(settings, switches);
}

}  // namespace corvane
