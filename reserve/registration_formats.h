// What a registration hands to a recording application, built from one
// programme: the iEPG programme information, EpgTimer's reservation line and
// its station label; and what the registration button offers: its label, and
// the menu or the one command a press runs. All texts are Shift_JIS.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "guide/guide_event.h"
#include "reserve/registration_settings.h"

namespace corvane {

// The two windows a programme is registered from: the guide's popup and the
// genre list window.
enum class RegistrationSource { popup, genreList };

// Where a file-or-web registration goes: EpgTimer wins over TvRock, and with
// neither it is the iEPG application.
enum class RegistrationTarget { iEpg, epgTimer, tvRock };
RegistrationTarget registrationTarget(int epgTimer, int tvRock);

// The registration settings as the registrations and the setup dialog read
// them: a kind of registration is on when its setting is not 0.
struct RegistrationSwitches {
    bool fileOrWeb = false;  // "iEpg"
    bool capture = false;    // "iEpgTunerec": the capture tool's task dialog
    RegistrationTarget target = RegistrationTarget::iEpg;
};
RegistrationSwitches registrationSwitches(int iEpg, int iEpgTunerec, int epgTimer, int tvRock);
RegistrationSwitches registrationSwitches(const RegistrationSettings& settings);

// Everything any target needs of one programme, taken when it is prepared.
struct RegistrationProgramme {
    GuideEvent event;
    int channel = 0;            // index in the channel list (= store service index)
    std::string stationName;    // the channel's iEPG station name
    std::string vurdaChNo;      // the channel's device channel text
    std::string stationLabel;   // stationLabel() of the service
    int serviceId = 0;
    int physicalChannel = 0;
};

// The decoded service name, cut to at most 49 whole characters' bytes when it
// is 50 bytes or longer; without a name "%dch" with the physical channel, or
// "BS%d" / "CS%d" / "%d" with the service id by network class.
std::string stationLabel(const std::string& serviceName, int serviceId, int networkWord);

// The nine lines of the iEPG programme information, each ending in CR LF;
// start date, start and end times on the local clock, no end date. A CR or LF
// inside the station name or the title becomes a blank.
std::string iEpgText(const RegistrationProgramme& programme);

// One tab-separated reservation line ending in TAB CR LF: start date, start
// time, duration in whole minutes as hours:minutes, title, station label, the
// channel (the physical channel from the genre list, the device channel text
// from the popup), service id, event id and the constants 3, 1, 0. A TAB, CR
// or LF inside a field becomes a blank, so the line keeps its eleven fields.
std::string epgTimerLine(RegistrationSource source, const RegistrationProgramme& programme);

// The registration button of a source: its label, and whether it is shown.
struct RegistrationButton {
    bool visible = true;
    std::string label;
    bool operator==(const RegistrationButton&) const = default;
};

// Before anything was prepared: the genre list shows "iEPG登録".
RegistrationButton initialRegistrationButton(RegistrationSource source);

// After a preparation: the configured target's label, "tunerec登録" for the
// capture tool alone, "iEPG登録" when the press offers both; the popup hides
// its button when neither kind of registration is on.
RegistrationButton registrationButton(RegistrationSource source, const RegistrationSwitches& switches);

enum class RegistrationCommand { fileOrWeb, capture };

struct RegistrationMenuItem {
    RegistrationCommand command;
    std::string text;
    bool operator==(const RegistrationMenuItem&) const = default;
};

// What a press of the registration button does: offer both kinds in a menu
// (file-or-web first, labelled with its target, then "tunerec登録"), run the
// one enabled command, or nothing.
struct RegistrationChoice {
    std::vector<RegistrationMenuItem> menu;
    std::optional<RegistrationCommand> direct;
};
RegistrationChoice registrationChoice(const RegistrationSwitches& switches);

}  // namespace corvane
