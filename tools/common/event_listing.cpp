#include "tools/common/event_listing.h"

#include <cstdio>

#include "tools/common/listing_text.h"
#include "tools/common/shift_jis_utf8.h"

namespace corvane {

namespace {

void appendEscaped(std::string& out, const std::string& utf8) {
    for (char c : utf8) {
        switch (c) {
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            default: out += c;
        }
    }
}

}  // namespace

std::string eventListing(const EpgStore& store, const EventChoice& keep) {
    ShiftJisToUtf8 utf8;
    std::string out;
    for (int i = 0; i < kMaxServices && store.services[i]; ++i) {
        const ServiceRecord& r = *store.services[i];
        for (int k = 0; k < kSlotsPerTable; ++k) {
            EventCursor cursor(r.basicAt(k));
            while (EventView event = cursor.next()) {
                EventSummary s = readEventSummary(event);
                if (keep && !keep(i, event, s)) continue;
                char numbers[64];
                std::snprintf(numbers, sizeof numbers, "%u\t%d\t%d\t", unsigned(r.serviceId), r.networkClass(),
                              int(s.eventId));
                out += numbers;
                appendLocalMinute(out, s.start);
                out += '\t';
                appendLocalMinute(out, s.end);
                std::snprintf(numbers, sizeof numbers, "\t%d\t%d\t%u\t%u\t", int(s.genreLevel1), int(s.genreLevel2),
                              unsigned(s.componentType), unsigned(s.audioComponentType));
                out += numbers;
                appendEscaped(out, utf8.convert(s.name));
                out += '\t';
                appendEscaped(out, utf8.convert(s.text));
                out += '\n';
            }
        }
    }
    return out;
}

}  // namespace corvane
