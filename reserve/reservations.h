// Reservations held by the recording applications, as the guide frames them
// and the reservation list shows them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "guide/reservation_frame.h"

namespace corvane {

// Kinds: 0 EpgTimer, 1 TvRock, 1000 + n a capture-tool job of tool instance n.
constexpr int kReservationEpgTimer = 0;
constexpr int kReservationTvRock = 1;
constexpr int kReservationJobBase = 1000;

struct ReservationRecord {
    int32_t kind = 0;
    int64_t start = 0;
    int64_t end = 0;
    int32_t serviceId = 0;
    int32_t eventId = 0;
    int32_t conflict = 0;   // overlaps another reservation of the same class
    int32_t valid = 1;      // TvRock entries may be invalid (0)
    uint8_t networkKind = 0;  // networkClass of the matched service
    std::string title;
    std::string guideTitle;  // filled by the reservation list window
    std::string jobName;     // capture-tool jobs: the name as listed, for deletion

    bool isJob() const { return kind >= kReservationJobBase; }
};

// Kept in start order (then end, then arrival).
using ReservationList = std::vector<ReservationRecord>;

// The frame of a reservation: red for a conflict, else green (EpgTimer),
// blue (TvRock) or orange (capture-tool jobs); solid when valid is 1.
ReservationFrame reservationFrame(const ReservationRecord& reservation);
// The frames of a whole list, in its order: what the guide paints.
ReservationFrames reservationFrames(const ReservationList& reservations);

}  // namespace corvane
