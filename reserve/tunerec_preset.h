// The nine capture presets of `tunerec`: how a registered programme is
// recorded by the capture tool. Preset n (0 to 8) lives in section
// "iEpgSetup" for n = 0 and "iEpgSetup:n" otherwise; its account name and
// password in "ViewSetup" / "ViewSetup:n" as hexadecimal text. This file
// alone spells these keys.
#pragma once

#include <string>
#include <vector>

#include "store/settings.h"

namespace corvane {

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

}  // namespace corvane
