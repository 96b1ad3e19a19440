// Reservations held by the recording applications, as the guide frames them,
// and the watch that decides when they are collected again.
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
};

// Kept in start order (then end, then arrival).
using ReservationList = std::vector<ReservationRecord>;

// The frame of a reservation: red for a conflict, else green (EpgTimer),
// blue (TvRock) or orange (capture-tool jobs); solid when valid is 1.
ReservationFrame reservationFrame(const ReservationRecord& reservation);
// The frames of a whole list, in its order: what the guide paints.
ReservationFrames reservationFrames(const ReservationList& reservations);

// What the one-second check compares to tell whether the reservation sources
// changed: the times of the two reservation files and whether the jobs of
// the capture tool were read.
struct ReservationWatch {
    struct FileTimes {
        uint64_t created = 0, accessed = 0, written = 0;
    };
    FileTimes epgTimerFile;
    FileTimes tvRockFile;
    bool jobsRead = false;

    // The next check collects every enabled source again.
    void reset() {
        epgTimerFile.written = 0;
        tvRockFile.written = 0;
        jobsRead = false;
    }
};

}  // namespace corvane
