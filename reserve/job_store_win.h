// The job store over the Windows Task Scheduler (version 1 interfaces,
// through COM). Every operation initialises COM, creates the scheduler
// object, and releases both before it returns, on every path.
//
// What the system does differently from what a caller of the store expects
// is handled here:
// - Enum lists names ending in ".job", while NewWorkItem, Activate and Delete
//   refuse names containing '.' and add ".job" themselves: names are passed
//   without ".job", and as listed when that is refused;
// - NewWorkItem may hand out a job of a name that is taken, and saving it
//   would replace that job: taken names are refused first;
// - GetRunTimes may answer E_NOTIMPL: the run times are then computed from
//   the triggers (only S_OK and S_FALSE carry run times).
#pragma once

#include "reserve/job_store.h"

namespace corvane {

class TaskSchedulerJobStore final : public JobStore {
public:
    JobStep listJobNames(JobNameBatches& batches) override;
    JobStep createJob(const JobDefinition& job) override;
    JobStep readJob(const std::string& name, const RunTimeWindow& window, JobDetails& details) override;
    JobStep deleteJob(const std::string& name) override;
};

}  // namespace corvane
