// Which recording application a programme is registered with, section
// "iEpgSetup": read at start-up, written by the registration setup dialog.
// This file alone spells these keys.
#pragma once

#include <string>

#include "store/settings.h"

namespace corvane {

// TvRock's web address when none is stored: port 8969 of this machine.
inline constexpr const char* defaultTvRockHostName = "http://localhost:8969/nobody/";

// The four switches hold integers as the file gives them; a switch is on when
// its value is not 0 (registrationSwitchOn), wherever it is read.
struct RegistrationSettings {
    int iEpg = 0;         // the file-or-web target is on
    int iEpgTunerec = 0;  // capture-tool registration is on
    int epgTimer = 0;     // the file-or-web target is EpgTimer
    int tvRock = 0;       // ... or TvRock (0 while epgTimer is on)
    std::string fileName;                            // application started, at most 255 bytes
    std::string hostName = defaultTvRockHostName;    // at most 255 bytes
};

// The one reading of a switch of section "iEpgSetup": a hand-edited 2 or -1
// is on for the start-up, every registration and the setup dialog alike.
inline bool registrationSwitchOn(int value) { return value != 0; }

// `tvpiApplication` is the application registered for ".tvpi" files (empty
// when none), the default of "FileName". "EpgTimer" wins over "TvRock".
RegistrationSettings readRegistrationSettings(Settings& settings, const std::string& tvpiApplication);

// "iEpg", "iEpgTunerec", "EpgTimer", "TvRock", "HostName", "FileName", in
// this order. "TvRock" is written 0 while "EpgTimer" is on.
void writeRegistrationSettings(Settings& settings, const RegistrationSettings& registration);

}  // namespace corvane
