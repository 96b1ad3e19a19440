#include "reserve/epgtimer_file.h"

#include "reserve/reservation_text.h"
#include "reserve/reservation_time.h"

namespace corvane {

namespace {

// Fixed positions of the date, time and duration; the title starts after them.
constexpr size_t kYear = 0, kMonth = 5, kDay = 8, kHour = 11, kMinute = 14;
constexpr size_t kDurationHours = 17, kDurationMinutes = 20, kTitle = 23;

// Splits a line into TAB-separated fields from a position on.
class FieldCursor {
public:
    FieldCursor(std::string_view line, size_t from) : line_(line), pos_(from) {}
    // The next field and whether a TAB ends it (else the line does).
    bool next(std::string_view& field, bool& tabEnded) {
        if (pos_ > line_.size()) return false;
        const size_t tab = line_.find('\t', pos_);
        tabEnded = tab != std::string_view::npos;
        const size_t end = tabEnded ? tab : line_.size();
        field = line_.substr(pos_, end - pos_);
        pos_ = end + 1;
        return true;
    }

private:
    std::string_view line_;
    size_t pos_;
};

void readLine(std::string_view line, bool complete, const EpgStore& store, ReservationList& out) {
    if (line.size() <= kTitle) return;
    // Numbers at fixed positions are read inside the date and time part only.
    const std::string_view head = line.substr(0, kTitle);
    const auto fixed = [&](size_t at) { return readDecimalField(head.substr(at), INT32_MIN, INT32_MAX).value; };

    FieldCursor fields(line, kTitle);
    std::string_view title, station, channel, serviceId, eventId;
    bool tab = false;
    if (!fields.next(title, tab) || !tab) return;
    if (!fields.next(station, tab) || !tab) return;
    if (!fields.next(channel, tab) || !tab) return;
    if (!fields.next(serviceId, tab) || !tab) return;
    if (!fields.next(eventId, tab)) return;
    // A torn last line may hold the first digits of its event id only.
    if (!complete && !tab) return;

    const std::optional<int64_t> start =
        localDateTime(fixed(kYear), fixed(kMonth), fixed(kDay), fixed(kHour), fixed(kMinute));
    if (!start) return;
    const int64_t sid = readInt32Field(serviceId);
    const int index = findEpgTimerService(store, sid, epgTimerNetworkOf(readInt32Field(channel)));
    if (index < 0) return;

    ReservationRecord record;
    record.kind = kReservationEpgTimer;
    record.start = *start;
    record.end = *start + fixed(kDurationHours) * 3600 + fixed(kDurationMinutes) * 60;
    record.serviceId = static_cast<int32_t>(sid);
    record.eventId = readInt32Field(eventId);
    record.valid = 1;
    record.networkKind = static_cast<uint8_t>(store.services[index]->networkClass());
    record.title.assign(title);
    out.push_back(std::move(record));
}

}  // namespace

EpgTimerNetwork epgTimerNetworkOf(int64_t channelValue) {
    if (channelValue <= 65536) return EpgTimerNetwork::terrestrial;
    return (channelValue & 0xFFFF) >= 0x4000 ? EpgTimerNetwork::bs : EpgTimerNetwork::cs;
}

int findEpgTimerService(const EpgStore& store, int64_t serviceId, EpgTimerNetwork network) {
    for (int i = 0; i < kMaxServices && store.services[i]; ++i) {
        const ServiceRecord& record = *store.services[i];
        if (record.serviceId != serviceId) continue;
        const int networkClass = record.networkClass();
        const bool fits = network == EpgTimerNetwork::terrestrial ? networkClass == 0
                          : network == EpgTimerNetwork::bs        ? networkClass == 4
                                                                  : networkClass == 6 || networkClass == 7;
        if (fits) return i;
    }
    return -1;
}

void readEpgTimerReservations(std::string_view file, const EpgStore& store, ReservationList& out) {
    size_t pos = 0;
    while (pos < file.size()) {
        const size_t lf = file.find('\n', pos);
        const bool complete = lf != std::string_view::npos;
        const size_t end = complete ? lf : file.size();
        readLine(file.substr(pos, end - pos), complete, store, out);
        pos = end + 1;
    }
}

}  // namespace corvane
