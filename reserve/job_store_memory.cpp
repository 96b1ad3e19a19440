#include "reserve/job_store_memory.h"

#include <cstddef>

#include "reserve/job_run_times.h"

namespace corvane {

JobStep MemoryJobStore::open() const {
    for (JobStep step : {JobStep::initializeCom, JobStep::createScheduler})
        if (fails(step)) return step;
    return JobStep::none;
}

size_t MemoryJobStore::indexOf(const std::string& name) const {
    const std::string listed = listedJobName(name);
    size_t i = 0;
    while (i < jobs_.size() && !sameJobName(jobs_[i].definition.name, listed)) ++i;
    return i;
}

const JobDefinition* MemoryJobStore::find(const std::string& name) const {
    const size_t i = indexOf(name);
    return i < jobs_.size() ? &jobs_[i].definition : nullptr;
}

bool MemoryJobStore::setStatus(const std::string& name, JobStatus status) {
    const size_t i = indexOf(name);
    if (i < jobs_.size()) jobs_[i].status = status;
    return i < jobs_.size();
}

JobStep MemoryJobStore::listJobNames(JobNameBatches& batches) {
    batches.clear();
    if (JobStep step = open(); step != JobStep::none) return step;
    if (fails(JobStep::enumerate)) return JobStep::enumerate;
    for (const StoredJob& job : jobs_) {
        if (batches.empty() || batches.back().size() == kJobNameBatchSize) batches.emplace_back();
        batches.back().push_back(job.definition.name);
    }
    return JobStep::none;
}

JobStep MemoryJobStore::createJob(const JobDefinition& job) {
    if (JobStep step = open(); step != JobStep::none) return step;
    for (const std::string* text : {&job.name, &job.application, &job.workingDirectory, &job.parameters,
                                    &job.account, &job.password})
        if (!isWholeShiftJis(*text) || fails(JobStep::convertText)) return JobStep::convertText;
    if (!isValidJobBaseName(jobBaseName(job.name)) || indexOf(job.name) < jobs_.size() || fails(JobStep::newWorkItem))
        return JobStep::newWorkItem;
    // The remaining steps in the order the system takes them; nothing is kept
    // unless all of them succeed.
    for (JobStep step : {JobStep::setProperties, JobStep::createTrigger, JobStep::setTrigger,
                         JobStep::persistInterface, JobStep::save})
        if (fails(step)) return step;
    StoredJob stored{job};
    stored.definition.name = listedJobName(job.name);
    jobs_.push_back(std::move(stored));
    return JobStep::none;
}

JobStep MemoryJobStore::readJob(const std::string& name, const RunTimeWindow& window, JobDetails& details) {
    details = JobDetails{};
    if (JobStep step = open(); step != JobStep::none) return step;
    const size_t i = indexOf(name);
    if (i == jobs_.size() || fails(JobStep::activate)) return JobStep::activate;
    if (fails(JobStep::readProperties)) return JobStep::readProperties;
    const JobDefinition& definition = jobs_[i].definition;
    details.application = definition.application;
    details.workingDirectory = definition.workingDirectory;
    details.parameters = definition.parameters;
    details.flags = definition.flags;
    details.triggers = {definition.trigger};
    details.status = jobs_[i].status;
    details.runTimes = computeRunTimes(details.triggers, details.flags, window);
    details.runTimesComputed = true;
    return JobStep::none;
}

JobStep MemoryJobStore::deleteJob(const std::string& name) {
    if (JobStep step = open(); step != JobStep::none) return step;
    const size_t i = indexOf(name);
    if (i == jobs_.size() || fails(JobStep::deleteItem)) return JobStep::deleteItem;
    jobs_.erase(jobs_.begin() + static_cast<std::ptrdiff_t>(i));
    return JobStep::none;
}

}  // namespace corvane
