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
    if (registrationSwitchOn(registration.epgTimer)) registration.tvRock = 0;
    registration.hostName = settings.readString(section, "HostName", defaultTvRockHostName, pathCapacity);
    return registration;
}

void writeRegistrationSettings(Settings& settings, const RegistrationSettings& registration) {
    const char* const section = registrationSection;
    writeInt(settings, section, "iEpg", registration.iEpg);
    writeInt(settings, section, "iEpgTunerec", registration.iEpgTunerec);
    writeInt(settings, section, "EpgTimer", registration.epgTimer);
    writeInt(settings, section, "TvRock", registrationSwitchOn(registration.epgTimer) ? 0 : registration.tvRock);
    settings.writeString(section, "HostName", registration.hostName);
    settings.writeString(section, "FileName", registration.fileName);
}

}  // namespace corvane
