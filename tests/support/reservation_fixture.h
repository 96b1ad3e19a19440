// What the reservation tests share: a store with a few services, reservation
// file texts as the recording applications write them, fakes of the file
// seam and of the per-service settings, and records compared field by field.
#pragma once

#include <cinttypes>
#include <cstdio>
#include <ctime>
#include <map>
#include <string>
#include <tuple>

#include "guide/service_preferences.h"
#include "reserve/job_store.h"
#include "reserve/reservation_files.h"
#include "reserve/reservations.h"
#include "store/broadcast_time.h"
#include "store/epg_store.h"

namespace corvane {

// Local time of a day in December 2026 (the 7th is a Monday).
inline int64_t decemberAt(int day, int hour, int minute = 0) { return localTimeOf(2026, 12, day, hour, minute, 0); }

// Terrestrial 1024 and 1025, BS 101, CS 101 (class 6) and CS 202 (class 7).
inline StorePtr reservationStore() {
    StorePtr store(createStore());
    for (auto [networkClass, id] : {std::pair{0, 1024}, {0, 1025}, {4, 101}, {6, 101}, {7, 202}})
        findOrCreateService(store.get(), networkClass, id);
    return store;
}

// One line as the registration appends it to EpgTimer's file.
inline std::string epgTimerLine(int64_t start, int minutes, const std::string& title, int64_t channel,
                                int serviceId, int eventId) {
    const std::time_t t = static_cast<std::time_t>(start);
    const std::tm tm = *std::localtime(&t);
    char line[512];
    std::snprintf(line, sizeof line, "%04d/%02d/%02d\t%02d:%02d\t%02d:%02d\t%s\tSTATION\t%" PRId64 "\t%d\t%d\t3\t1\t0\t\r\n",
                  tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, minutes / 60, minutes % 60,
                  title.c_str(), channel, serviceId, eventId);
    return line;
}

// A job as the task registration saves it: "tunerec - NAME.job" starting the
// tool 3 minutes before `start`, the parameters naming the output, the
// channel, the time range and the options.
inline JobDefinition captureJob(const std::string& name, const std::string& channel, int64_t start,
                                const std::string& timeText, int instance = 1,
                                JobTriggerType type = JobTriggerType::once) {
    const std::time_t fire = static_cast<std::time_t>(start - 180);
    const std::tm tm = *std::localtime(&fire);
    JobDefinition job;
    job.name = "tunerec - " + name + ".job";
    job.application = "C:\\Program Files\\tunerec\\tunerec.exe";
    job.workingDirectory = "C:\\rec\\";
    job.parameters = "\"C:\\rec\\" + name + ".ts\" " + channel + " " + timeText + " P POFF B25  SEL I" +
                     std::to_string(instance) + " ";
    job.flags = kJobFlagRunOnlyIfLoggedOn;
    job.trigger.type = type;
    job.trigger.beginYear = tm.tm_year + 1900, job.trigger.beginMonth = tm.tm_mon + 1, job.trigger.beginDay = tm.tm_mday;
    job.trigger.startHour = tm.tm_hour, job.trigger.startMinute = tm.tm_min;
    job.trigger.daysInterval = type == JobTriggerType::daily ? 1 : 0;
    job.trigger.weeksInterval = type == JobTriggerType::weekly ? 1 : 0;
    job.trigger.daysOfTheWeek = type == JobTriggerType::weekly ? static_cast<uint16_t>(1 << tm.tm_wday) : 0;
    return job;
}

inline auto fieldsOf(const ReservationRecord& r) {
    return std::tuple(r.kind, r.start, r.end, r.serviceId, r.eventId, r.conflict, r.valid, int(r.networkKind), r.title,
                      r.jobName);
}

// Files held in memory; counts what the watch asks.
class FakeReservationFiles : public ReservationFiles {
public:
    struct File {
        FileStamp stamp;
        std::string bytes;
        FileStatus status = FileStatus::ok;  // busy: cannot be opened now
    };
    std::map<std::string, File> files;
    int stamps = 0, reads = 0;

    // Writes the file: a later last-write time, and the creation time on the first write.
    void write(const std::string& path, const std::string& bytes) {
        File& file = files[path];
        file.bytes = bytes;
        file.stamp.written += 10;
        if (!file.stamp.created) file.stamp.created = 1;
    }

    FileStatus stamp(const char* path, FileStamp& stamp) override {
        ++stamps;
        stamp = FileStamp{};
        auto it = files.find(path);
        if (it == files.end()) return FileStatus::missing;
        if (it->second.status == FileStatus::ok) stamp = it->second.stamp;
        return it->second.status;
    }
    FileStatus readAll(const char* path, size_t limit, std::string& bytes) override {
        ++reads;
        bytes.clear();
        auto it = files.find(path);
        if (it == files.end()) return FileStatus::missing;
        if (it->second.status != FileStatus::ok) return it->second.status;
        if (it->second.bytes.size() > limit) return FileStatus::tooLarge;
        bytes = it->second.bytes;
        return FileStatus::ok;
    }
};

// Station names and remote numbers by channel key ("1024", "101:4"), held in
// memory; counts the station names read.
class FakeChannelSettings : public ServicePreferences {
public:
    std::map<std::string, std::string> stations;
    std::map<std::string, int> remotes;
    int stationReads = 0;

    std::string stationName(const ServiceRecord& r) override {
        ++stationReads;
        auto it = stations.find(channelKey(r));
        return it == stations.end() ? "" : it->second;
    }
    int remoteNumber(const ServiceRecord& r) override {
        auto it = remotes.find(channelKey(r));
        return it == remotes.end() ? 0 : it->second;
    }
    int sortValue(const ServiceRecord&) override { return 300; }
    int columnShown(const ServiceRecord&) override { return 1; }
    void setColumnShown(const ServiceRecord&, int) override {}
    std::string vurdaChNo(const ServiceRecord&) override { return ""; }
};

}  // namespace corvane
