// The one walk over a service's schedule, as the guide lists it and as the
// extended text of a programme is looked up:
// - the 512 slots of one table in sequence order ([0][0] .. [1][255]), the
//   events of each stored section in stored order, at most 512 slots;
// - when the first event found starts after `now`, what runs now comes from
//   the present/following section [0]: its events are walked first (those
//   that have ended skipped), then the same schedule slot again from its
//   start; without such a section only a day of slots (64, counted from
//   there) is walked.
#pragma once

#include "store/epg_store.h"

namespace corvane {

enum class ScheduleTable { basic, extended };

// What the visitor asks for after an event.
enum class WalkStep {
    next,       // the next event
    stop,       // end the walk
    following,  // walk the present/following section [1] next, then the
                // current slot again from its start (the walk ends when
                // there is no such section)
};

// visit(event, range, startedLater): `startedLater` tells that the first
// event of the schedule lay after `now`.
template <typename Visit>
void walkSchedule(const ServiceRecord& record, ScheduleTable table, int64_t now, Visit&& visit) {
    enum class Phase { first, merging, listing } phase = Phase::first;
    bool startedLater = false;
    int budget = kSlotsPerTable;
    const SectionSlot* detour = nullptr;
    int seq = 0;
    while (seq < kSlotsPerTable && budget > 0) {
        const bool onDetour = detour != nullptr;
        const SectionSlot& slot =
            onDetour ? *detour : table == ScheduleTable::basic ? record.basicAt(seq) : record.extendedAt(seq);
        detour = nullptr;
        if (!slot.data) {
            ++seq, --budget;
            continue;
        }
        EventCursor cursor(slot);
        while (EventView event = cursor.next()) {
            const TimeRange range = event.timeRange();
            if (phase == Phase::first) {
                if (now < range.start) {
                    startedLater = true;
                    if (record.presentFollowing[0].data) {
                        phase = Phase::merging;
                        detour = &record.presentFollowing[0];
                        break;
                    }
                    budget = kSlotsPerDay;
                }
                phase = Phase::listing;
            } else if (phase == Phase::merging) {
                if (range.end <= now) continue;
                phase = Phase::listing;
            }
            const WalkStep step = visit(event, range, startedLater);
            if (step == WalkStep::next) continue;
            if (step == WalkStep::stop || !record.presentFollowing[1].data) return;
            detour = &record.presentFollowing[1];
            break;
        }
        if (detour || onDetour) continue;  // the detour, then the same slot again
        ++seq, --budget;
    }
}

}  // namespace corvane
