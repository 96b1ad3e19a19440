// A job store in memory: what the Task Scheduler keeps of a job, for systems
// without one and for tests. It refuses what the Task Scheduler refuses (bad
// or taken names, texts that are not whole Shift_JIS), answers run times from
// the triggers, and can be made to fail at any step.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "reserve/job_store.h"

namespace corvane {

class MemoryJobStore : public JobStore {
public:
    JobStep listJobNames(JobNameBatches& batches) override;
    JobStep createJob(const JobDefinition& job) override;
    JobStep readJob(const std::string& name, const RunTimeWindow& window, JobDetails& details) override;
    JobStep deleteJob(const std::string& name) override;

    // From now on every operation that reaches `step` fails there;
    // JobStep::none makes them succeed again.
    void failAt(JobStep step) { failingStep_ = step; }

    // A job's state, as the system would report it (a new job has not run).
    bool setStatus(const std::string& name, JobStatus status);

    // The job as saved, with its account and password; null when there is none.
    const JobDefinition* find(const std::string& name) const;

private:
    struct StoredJob {
        JobDefinition definition;
        JobStatus status = JobStatus::hasNotRun;
    };

    size_t indexOf(const std::string& name) const;  // jobs_.size() when there is none
    bool fails(JobStep step) const { return failingStep_ == step; }
    // The steps every operation starts with.
    JobStep open() const;

    std::vector<StoredJob> jobs_;  // in order of creation
    JobStep failingStep_ = JobStep::none;
};

}  // namespace corvane
