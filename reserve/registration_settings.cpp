#include "reserve/registration_settings.h"

namespace corvane {

namespace {

const char* const registrationSection = "iEpgSetup";
constexpr int pathCapacity = 256;

}  // namespace

RegistrationSettings readRegistrationSettings(Settings& settings, const std::string& tvpiApplication) {
    RegistrationSettings registration;
    const char* const section = registrationSection;
    registration.fileName = settings.readString(section, "FileName", tvpiApplication, pathCapacity);
    registration.iEpg = settings.readInt(section, "iEpg", 0);
    registration.iEpgTunerec = settings.readInt(section, "iEpgTunerec", 0);
    registration.epgTimer = settings.readInt(section, "EpgTimer", 0);
    registration.tvRock = settings.readInt(section, "TvRock", 0);
    if (registration.epgTimer != 0) registration.tvRock = 0;
    registration.hostName = settings.readString(section, "HostName", defaultTvRockHostName, pathCapacity);
    return registration;
}

}  // namespace corvane
