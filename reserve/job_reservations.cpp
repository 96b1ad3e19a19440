#include "reserve/job_reservations.h"

#include <algorithm>

#include "reserve/job_parameters.h"
#include "reserve/job_run_times.h"

namespace corvane {

namespace {

// A run still in progress began at most this long ago.
constexpr int64_t kRunningLookBack = 8 * 86400;

void readJob(JobStore& jobs, const std::string& name, const EpgStore& store, ChannelTable& channels, int64_t now,
             ReservationList& out) {
    JobDetails details;
    if (jobs.readJob(name, RunTimeWindow{now, now + kJobWindowSeconds, kJobRunTimeLimit}, details) != JobStep::none)
        return;
    if (!runsCaptureTool(details.application) && !namedAsCaptureJob(name)) return;
    std::vector<int64_t> runs;
    if (details.status == JobStatus::running && !details.triggers.empty()) {
        if (const std::optional<int64_t> running = latestRunAtOrBefore(details.triggers[0], now))
            runs.push_back(*running);
    }
    for (int64_t t : details.runTimes)
        if (runs.empty() || t != runs.front()) runs.push_back(t);
    if (runs.empty()) return;
    const std::optional<JobParameters> parameters = parseJobParameters(details.parameters);
    if (!parameters) return;
    const int index = channels.findRemoteNumber(parameters->networkClass, parameters->channelNumber);
    if (index < 0) return;
    const ServiceRecord& service = *store.services[index];
    const std::string title = jobTitle(name);
    for (int64_t t : runs) {
        const JobRunSpan span = jobRunSpan(t, parameters->timeText);
        ReservationRecord record;
        record.kind = kReservationJobBase + parameters->instanceId;
        record.start = span.start;
        record.end = span.end;
        record.serviceId = service.serviceId;
        record.eventId = 0;
        record.valid = 1;
        record.networkKind = static_cast<uint8_t>(service.networkClass());
        record.title = title;
        record.jobName = name;
        out.push_back(std::move(record));
    }
}

}  // namespace

std::optional<int64_t> latestRunAtOrBefore(const JobTrigger& trigger, int64_t now) {
    JobTrigger enabled = trigger;
    enabled.flags &= ~kJobTriggerDisabled;
    const RunTimeWindow window{now - kRunningLookBack, now + 1, static_cast<size_t>(kRunningLookBack / 60 + 2)};
    const std::vector<int64_t> runs = computeRunTimes({enabled}, 0, window);
    if (runs.empty()) return std::nullopt;
    return runs.back();
}

void readJobReservations(JobStore& jobs, const EpgStore& store, ChannelTable& channels, int64_t now,
                         ReservationList& out) {
    JobNameBatches batches;
    if (jobs.listJobNames(batches) != JobStep::none) return;
    for (const std::vector<std::string>& batch : batches)
        for (auto name = batch.rbegin(); name != batch.rend(); ++name) readJob(jobs, *name, store, channels, now, out);
}

}  // namespace corvane
