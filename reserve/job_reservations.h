// The capture tool's jobs read back from the job store as reservations: each
// job whose application is the tool, by the run times of its triggers within
// the next ten days (and the run in progress when it is running), its
// parameters giving the channel and the recorded span of each run.
#pragma once

#include <cstdint>
#include <optional>

#include "reserve/job_store.h"
#include "reserve/reservation_channels.h"
#include "reserve/reservations.h"
#include "store/epg_store.h"

namespace corvane {

// How far ahead run times are read: ten days.
constexpr int64_t kJobWindowSeconds = 864000;

// The latest start of `trigger` at or before `now` (over the last eight
// days), whether or not the job or the trigger is enabled: the run of a
// running job. Nothing when it started earlier or never.
std::optional<int64_t> latestRunAtOrBefore(const JobTrigger& trigger, int64_t now);

// Appends the records of every capture-tool job of `jobs` (kind 1000 + the
// tool instance, valid 1, event id 0), taking the batches of names in order
// and each batch from its last name to its first. A store that cannot be
// reached, and jobs that cannot be read or whose parameters or channel are
// not understood, add nothing.
void readJobReservations(JobStore& jobs, const EpgStore& store, ChannelTable& channels, int64_t now,
                         ReservationList& out);

}  // namespace corvane
