#include "reserve/tvrock_file.h"

#include "reserve/reservation_text.h"

namespace corvane {

namespace {

enum Flag { kStart = 1, kEnd = 2, kTitle = 4, kServiceId = 8, kEventId = 16, kValidate = 32 };
constexpr int kRequired = kStart | kEnd | kTitle;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The text up to the first blank.
std::string_view firstWord(std::string_view text) {
    size_t n = 0;
    while (n < text.size() && !isBlank(text[n])) ++n;
    return text.substr(0, n);
}

struct Entry {
    std::string_view number;
    int flags = 0;
    int64_t start = 0, end = 0;
    int32_t serviceId = 0, eventId = 0, valid = 0;
    std::string_view title, station;
    bool hasStation = false;

    void apply(std::string_view key, std::string_view value) {
        value = value.substr(0, value.find('\r'));  // a CR ends the value, as a line end does
        if (equalsIgnoringCase(key, "START")) start = readInt64Field(value), flags |= kStart;
        else if (equalsIgnoringCase(key, "END")) end = readInt64Field(value), flags |= kEnd;
        else if (equalsIgnoringCase(key, "TITLE")) title = firstWord(value), flags |= kTitle;
        else if (equalsIgnoringCase(key, "SERVICEID")) serviceId = readInt32Field(value), flags |= kServiceId;
        else if (equalsIgnoringCase(key, "EVENTID")) eventId = readInt32Field(value), flags |= kEventId;
        else if (equalsIgnoringCase(key, "STATION")) station = firstWord(value), hasStation = true;
        else if (equalsIgnoringCase(key, "VALIDATE")) valid = readInt32Field(value), flags |= kValidate;
    }

    void finish(const EpgStore& store, ChannelTable& channels, ReservationList& out) const {
        if ((flags & kRequired) != kRequired) return;
        ReservationRecord record;
        record.kind = kReservationTvRock;
        record.start = start;
        record.end = end;
        record.serviceId = serviceId;
        record.eventId = eventId;
        record.valid = valid;
        if (serviceId == 0 && hasStation) {
            const int index = channels.findStation(station);
            if (index >= 0) {
                record.serviceId = store.services[index]->serviceId;
                record.networkKind = static_cast<uint8_t>(store.services[index]->networkClass());
            }
        }
        if (record.serviceId == 0) return;
        record.title.assign(title);
        out.push_back(std::move(record));
    }
};

}  // namespace

void readTvRockReservations(std::string_view file, const EpgStore& store, ChannelTable& channels,
                            ReservationList& out) {
    Entry entry;
    bool inEntry = false;
    size_t pos = 0;
    while (pos < file.size()) {
        const size_t lf = file.find('\n', pos);
        const size_t end = lf == std::string_view::npos ? file.size() : lf;
        std::string_view line = file.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // CR LF lines

        const std::string_view number = firstWord(line);
        if (number.size() == line.size()) continue;  // not "NUMBER KEY ..."
        if (!inEntry || number != entry.number) {
            if (inEntry) entry.finish(store, channels, out);
            entry = Entry{};
            entry.number = number;
            inEntry = true;
        }
        const std::string_view rest = line.substr(number.size() + 1);
        const std::string_view key = firstWord(rest);
        if (key.size() == rest.size()) continue;  // a key without a blank after it
        entry.apply(key, rest.substr(key.size() + 1));
    }
    if (inEntry) entry.finish(store, channels, out);
}

}  // namespace corvane
