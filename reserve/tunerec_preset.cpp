#include "reserve/tunerec_preset.h"

#include <cstdio>

#include "reserve/hex_text.h"

namespace corvane {

namespace {

const char* const presetBase = "iEpgSetup";
const char* const accountBase = "ViewSetup";
constexpr int pathCapacity = 256;
constexpr int hexAccountCapacity = 512;

}  // namespace

std::string presetSection(const char* base, int index) {
    if (index == 0) return base;
    char text[64];
    std::snprintf(text, sizeof text, "%s:%d", base, index);
    return text;
}

std::vector<TunerecPreset> readTunerecPresets(Settings& settings) {
    std::vector<TunerecPreset> presets;
    for (int n = 0; n < tunerecPresetCount; ++n) {
        const std::string section = presetSection(presetBase, n);
        const std::string accountSection = presetSection(accountBase, n);
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
        preset.udpHostName = settings.readString(section, "iEpgTunerecUdpHostName", "127.0.0.1:1234", pathCapacity);
        preset.id = settings.readInt(section, "iEpgTunerecID", n + 1);
        preset.account = decodeHexText(settings.readString(accountSection, "iEpgAColor", "", hexAccountCapacity));
        preset.password = decodeHexText(settings.readString(accountSection, "iEpgPColor", "", hexAccountCapacity));
        presets.push_back(preset);
    }
    return presets;
}

void writeTunerecPreset(Settings& settings, int index, const TunerecPreset& preset) {
    const std::string section = presetSection(presetBase, index);
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
    const std::string accountSection = presetSection(accountBase, index);
    settings.writeString(accountSection, "iEpgAColor", encodeHexText(preset.account));
    settings.writeString(accountSection, "iEpgPColor", encodeHexText(preset.password));
}

}  // namespace corvane
