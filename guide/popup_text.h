// The texts that describe one programme in the quick-registration popup: the
// channel and date line, the time and picture line, and the description
// (title, detail and the extended items). All Shift_JIS, lines joined by
// CR LF as a multi-line edit control wants them.
#pragma once

#include <string>

#include "guide/guide_layout.h"
#include "store/epg_store.h"

namespace corvane {

struct PopupTexts {
    std::string title;        // "[%s] - %04d/%02d/%02d(%s)"
    std::string time;         // " %02d:%02d～%02d:%02d %s%s"
    std::string description;  // the read-only edit's text
};

// "[column name] - year/month/day(weekday)" of the start, in local time.
std::string popupTitleText(const std::string& columnName, int64_t start);

// " start～end picture aspect", hours and minutes in local time; the picture
// and aspect labels come from the event's component type.
std::string popupTimeText(const GuideEvent& event);

// describeProgramme (title, detail lines, extended items), then
// "EventID = n" after a blank line.
std::string programmeDescription(const EpgStore* store, int serviceIndex, const GuideEvent& event);

PopupTexts popupTexts(const EpgStore* store, int serviceIndex, const ChannelInfo& channel,
                      const GuideEvent& event);

}  // namespace corvane
