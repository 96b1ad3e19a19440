#include "reserve/registration_formats.h"

#include <cstdio>

#include "store/broadcast_time.h"
#include "store/service_identity.h"
#include "store/shift_jis.h"

namespace corvane {

namespace {

constexpr size_t kStationLabelLimit = 49;

constexpr const char* kIEpgLabel = "iEPG登録";
constexpr const char* kEpgTimerLabel = "EpgTimer登録";
constexpr const char* kTvRockLabel = "TvRock登録";
constexpr const char* kCaptureLabel = "tunerec登録";

// A value as one field of a line: each separator byte (TAB when `tabs`, CR,
// LF) becomes a blank. A lead byte keeps the byte after it only when that is
// a trail byte (0x40-0x7E, 0x80-0xFC); a lead byte without one (before a
// separator, a digit, a blank or at the end) is dropped, so that no reader of
// the Shift_JIS text takes a separator for the second half of a character.
std::string fieldText(const std::string& value, bool tabs) {
    std::string field;
    field.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\r' || c == '\n' || (tabs && c == '\t')) {
            field += ' ';
        } else if (isShiftJisLeadByte(static_cast<unsigned char>(c))) {
            if (i + 1 < value.size() && isShiftJisTrailByte(static_cast<unsigned char>(value[i + 1]))) {
                field += c;
                field += value[++i];
            }
        } else {
            field += c;
        }
    }
    return field;
}

std::string printed(const char* pattern, long long a, long long b = 0, long long c = 0) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

const char* targetLabel(RegistrationTarget target) {
    switch (target) {
        case RegistrationTarget::epgTimer: return kEpgTimerLabel;
        case RegistrationTarget::tvRock: return kTvRockLabel;
        case RegistrationTarget::iEpg: break;
    }
    return kIEpgLabel;
}

}  // namespace

RegistrationTarget registrationTarget(int epgTimer, int tvRock) {
    if (registrationSwitchOn(epgTimer)) return RegistrationTarget::epgTimer;
    if (registrationSwitchOn(tvRock)) return RegistrationTarget::tvRock;
    return RegistrationTarget::iEpg;
}

RegistrationSwitches registrationSwitches(int iEpg, int iEpgTunerec, int epgTimer, int tvRock) {
    return RegistrationSwitches{registrationSwitchOn(iEpg), registrationSwitchOn(iEpgTunerec),
                                registrationTarget(epgTimer, tvRock)};
}

RegistrationSwitches registrationSwitches(const RegistrationSettings& settings) {
    return registrationSwitches(settings.iEpg, settings.iEpgTunerec, settings.epgTimer, settings.tvRock);
}

std::string stationLabel(const std::string& serviceName, int serviceId, int networkWord) {
    if (!serviceName.empty()) return cutShiftJis(serviceName, kStationLabelLimit);
    const int networkClass = networkWord >> 12;
    const int physicalChannel = networkWord & 0x0FFF;
    if (physicalChannel != 0) return serviceNumberLabel(networkClass, physicalChannel, true);
    return serviceNumberLabel(networkClass, serviceId);
}

std::string iEpgText(const RegistrationProgramme& programme) {
    const LocalTime start = toLocalTime(programme.event.start);
    const LocalTime end = toLocalTime(programme.event.end);
    std::string text = "Content-type: application/x-tv-program-info; charset=Shift_JIS\r\n";
    text += "version: 1\r\n";
    text += "station: " + fieldText(programme.stationName, false) + "\r\n";
    text += printed("year: %lld\r\n", start.year);
    text += printed("month: %lld\r\n", start.month);
    text += printed("date: %lld\r\n", start.day);
    text += printed("start: %02lld:%02lld\r\n", start.hour, start.minute);
    text += printed("end: %02lld:%02lld\r\n", end.hour, end.minute);
    text += "program-title: " + fieldText(programme.event.title, false) + "\r\n";
    return text;
}

std::string epgTimerLine(RegistrationSource source, const RegistrationProgramme& programme) {
    const GuideEvent& event = programme.event;
    const LocalTime start = toLocalTime(event.start);
    // A programme cannot end before it starts; such broadcast data counts as no time at all.
    const long long minutes = event.end > event.start ? (event.end - event.start) / 60 : 0;
    std::string line = printed("%04lld/%02lld/%02lld\t", start.year, start.month, start.day);
    line += printed("%02lld:%02lld\t", start.hour, start.minute);
    line += printed("%02lld:%02lld\t", minutes / 60, minutes % 60);
    line += fieldText(event.title, true) + "\t";
    line += fieldText(programme.stationLabel, true) + "\t";
    line += source == RegistrationSource::genreList ? printed("%lld", programme.physicalChannel)
                                                    : fieldText(programme.vurdaChNo, true);
    line += printed("\t%lld\t%lld\t3\t1\t0\t\r\n", programme.serviceId, event.eventId);
    return line;
}

RegistrationButton initialRegistrationButton(RegistrationSource source) {
    if (source == RegistrationSource::genreList) return RegistrationButton{true, kIEpgLabel};
    return RegistrationButton{false, ""};
}

RegistrationButton registrationButton(RegistrationSource source, const RegistrationSwitches& switches) {
    if (switches.fileOrWeb && switches.capture) return RegistrationButton{true, kIEpgLabel};
    if (switches.fileOrWeb) return RegistrationButton{true, targetLabel(switches.target)};
    if (switches.capture) return RegistrationButton{true, kCaptureLabel};
    return initialRegistrationButton(source);
}

RegistrationChoice registrationChoice(const RegistrationSwitches& switches) {
    RegistrationChoice choice;
    if (switches.fileOrWeb && switches.capture) {
        choice.menu = {{RegistrationCommand::fileOrWeb, targetLabel(switches.target)},
                       {RegistrationCommand::capture, kCaptureLabel}};
    } else if (switches.fileOrWeb) {
        choice.direct = RegistrationCommand::fileOrWeb;
    } else if (switches.capture) {
        choice.direct = RegistrationCommand::capture;
    }
    return choice;
}

}  // namespace corvane
