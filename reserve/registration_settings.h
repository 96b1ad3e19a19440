// Which recording application a programme is registered with, section
// "iEpgSetup": read at start-up, written by the registration setup dialog.
// This file alone spells these keys.
#pragma once

#include <string>

#include "store/settings.h"

namespace corvane {

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
RegistrationSettings readRegistrationSettings(Settings& settings, const std::string& tvpiApplication);

}  // namespace corvane
