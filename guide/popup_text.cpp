#include "guide/popup_text.h"

#include <cstdio>

#include "store/broadcast_time.h"
#include "store/event_decode.h"

namespace corvane {

namespace {

// Appends what readExtendedText sends: headings and lines, already joined
// by CR LF.
class AppendingSink : public TextSink {
public:
    explicit AppendingSink(std::string& out) : out_(out) {}
    void append(const char* text, size_t length) override { out_.append(text, length); }

private:
    std::string& out_;
};

}  // namespace

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

std::string crLinesToCrLf(const std::string& text) {
    size_t length = text.size();
    if (length > 0 && text[length - 1] == '\r') --length;
    std::string out;
    out.reserve(length + length / 16 + 2);
    // A CR is never the trail byte of a Shift_JIS character, so a byte scan is safe.
    for (size_t i = 0; i < length; ++i) {
        out += text[i];
        if (text[i] == '\r') out += '\n';
    }
    return out;
}

std::string programmeDescription(const EpgStore* store, int serviceIndex, const GuideEvent& event) {
    std::string out = "【" + event.title + "】\r\n\r\n";
    out += crLinesToCrLf(event.detail);
    if (store) {
        AppendingSink sink(out);
        readExtendedText(store, serviceIndex, event.start, sink);
    }
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
