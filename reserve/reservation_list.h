// Building the one list of reservations of a collection: records that have
// not ended, ordered by start and end, with overlapping reservations of the
// same class marked as conflicts.
#pragma once

#include <cstdint>
#include <vector>

#include "reserve/reservations.h"

namespace corvane {

// Two reservations conflict when both are valid, belong to the same class
// (EpgTimer and TvRock together; each tool instance of the capture tool on
// its own) and overlap: each ends after the other starts.
bool sameConflictClass(const ReservationRecord& a, const ReservationRecord& b);
bool overlaps(const ReservationRecord& a, const ReservationRecord& b);

class ReservationListBuilder {
public:
    explicit ReservationListBuilder(int64_t now) : now_(now) {}

    // Reservations that ended before now are left out.
    void add(const ReservationRecord& record);
    void add(ReservationRecord&& record);

    // The records added so far, ordered by (start, end) with equal ones in
    // the order they were added, every record of a conflicting pair marked.
    // The builder is empty afterwards.
    ReservationList finish();

private:
    int64_t now_;
    ReservationList records_;
};

}  // namespace corvane
