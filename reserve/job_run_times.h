// When jobs start: the run times of triggers within a window, worked out the
// way the Task Scheduler plans them. The store in memory answers with these,
// and so does the Task Scheduler store where the system does not give run
// times itself.
#pragma once

#include <cstdint>
#include <vector>

#include "reserve/job_store.h"

namespace corvane {

// The start times of `triggers` in [window.begin, window.end), earliest
// first, each time once, at most window.limit. A job with kJobFlagDisabled
// and triggers with kJobTriggerDisabled never start; event triggers (idle,
// system start, logon) have no times. Days of a trigger run from its begin
// date to its end date (with kJobTriggerHasEndDate), both included:
// - once: the begin date;
// - daily: every daysInterval-th day from the begin date (0 counts as 1);
// - weekly: the days of daysOfTheWeek in every weeksInterval-th week, weeks
//   starting on Sunday and counted from the week of the begin date;
// - monthly: the days of monthDays, or the day of the week in whichWeek, of
//   the months of `months`.
// On each such day the trigger starts at its start time and, with a
// repetition, every minutesInterval minutes while less than minutesDuration
// minutes have passed since.
std::vector<int64_t> computeRunTimes(const std::vector<JobTrigger>& triggers, uint32_t jobFlags,
                                     const RunTimeWindow& window);

}  // namespace corvane
