#include "tools/common/reservation_listing.h"

#include <cinttypes>
#include <cstdio>

#include "tools/common/listing_text.h"

namespace corvane {

std::string reservationListing(const ReservationList& list) {
    std::string out;
    for (const ReservationRecord& r : list) {
        char line[160];
        std::snprintf(line, sizeof line, "%d %" PRId64 " %" PRId64 " %d %d %d %d %d ", r.kind, r.start, r.end,
                      r.serviceId, r.eventId, r.conflict, r.valid, r.networkKind);
        out += line;
        out += hexBytes(reinterpret_cast<const uint8_t*>(r.title.data()), r.title.size());
        out += '\n';
    }
    return out;
}

}  // namespace corvane
