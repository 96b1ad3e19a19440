#include "guide/popup_text.h"

#include <cstdio>

#include "store/broadcast_time.h"
#include "store/event_decode.h"

namespace corvane {

std::string popupTitleText(const std::string& columnName, int64_t start) {
    const LocalTime t = toLocalTime(start);
    char date[64];
    std::snprintf(date, sizeof date, "%04d/%02d/%02d(%s)", t.year, t.month, t.day, weekdayName(t.weekday));
    return "[" + columnName + "] - " + date;
}

std::string popupTimeText(const GuideEvent& event) {
    const LocalTime start = toLocalTime(event.start);
    const LocalTime end = toLocalTime(event.end);
    char text[64];
    std::snprintf(text, sizeof text, " %02d:%02d～%02d:%02d %s%s", start.hour, start.minute, end.hour,
                  end.minute, videoFormatLabel(event.videoType), aspectLabel(event.videoType));
    return text;
}

std::string programmeDescription(const EpgStore* store, int serviceIndex, const GuideEvent& event) {
    std::string out = describeProgramme(store, serviceIndex, event.start, event.title, event.detail);
    char id[48];
    std::snprintf(id, sizeof id, "\r\n\r\nEventID = %d\r\n", static_cast<int>(event.eventId));
    out += id;
    return out;
}

PopupTexts popupTexts(const EpgStore* store, int serviceIndex, const ChannelInfo& channel,
                      const GuideEvent& event) {
    return PopupTexts{popupTitleText(channel.columnName, event.start), popupTimeText(event),
                      programmeDescription(store, serviceIndex, event)};
}

}  // namespace corvane
