// What the reservation tests share: a store with a few services, reservation
// file texts as the recording applications write them, fakes of the file
// seam and of the per-service settings, and records compared field by field.
#pragma once

#include <map>
#include <string>
#include <tuple>

#include "guide/service_preferences.h"
#include "reserve/job_store.h"
#include "reserve/registration_formats.h"
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

// One line as the registration from the popup appends it to EpgTimer's file.
inline std::string epgTimerLine(int64_t start, int minutes, const std::string& title, int64_t channel,
                                int serviceId, int eventId) {
    RegistrationProgramme programme{.stationLabel = "STATION", .serviceId = serviceId};
    programme.event.start = start, programme.event.end = start + minutes * 60;
    programme.event.title = title, programme.event.eventId = eventId;
    programme.vurdaChNo = std::to_string(channel);
    return epgTimerLine(RegistrationSource::popup, programme);
}

// A job as the task registration saves it: "tunerec - NAME.job" starting the
// tool 3 minutes before `start` (daily: every day), the parameters naming
// the output, the channel, the time range and the options.
inline JobDefinition captureJob(const std::string& name, const std::string& channel, int64_t start,
                                const std::string& timeText, int instance = 1,
                                JobTriggerType type = JobTriggerType::once) {
    const LocalTime fire = toLocalTime(start - 180);
    JobDefinition job{"tunerec - " + name + ".job", "C:\\Program Files\\tunerec\\tunerec.exe", "C:\\rec\\",
                      "\"C:\\rec\\" + name + ".ts\" " + channel + " " + timeText + " P POFF B25  SEL I" +
                          std::to_string(instance) + " ",
                      "", "", kJobFlagRunOnlyIfLoggedOn, JobTrigger{type, fire.year, fire.month, fire.day}};
    job.trigger.startHour = fire.hour, job.trigger.startMinute = fire.minute, job.trigger.daysInterval = 1;
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

    // A later last-write time; the creation time is set on the first write.
    void write(const std::string& path, const std::string& bytes) {
        File& file = files[path];
        file.bytes = bytes, file.stamp.written += 10, file.stamp.created = 1;
    }
    FileStatus stamp(const char* path, FileStamp& stamp) override {
        ++stamps;
        const auto it = files.find(path);
        stamp = it != files.end() && it->second.status == FileStatus::ok ? it->second.stamp : FileStamp{};
        return it == files.end() ? FileStatus::missing : it->second.status;
    }
    FileStatus readAll(const char* path, size_t limit, std::string& bytes) override {
        ++reads;
        const auto it = files.find(path);
        FileStatus status = it == files.end() ? FileStatus::missing : it->second.status;
        if (status == FileStatus::ok && it->second.bytes.size() > limit) status = FileStatus::tooLarge;
        bytes = status == FileStatus::ok ? it->second.bytes : "";
        return status;
    }
};

// Station names and remote numbers by channel key ("1024", "101:4"), held in
// memory; counts the station names read.
struct FakeChannelSettings : ServicePreferences {
    std::map<std::string, std::string> stations;
    std::map<std::string, int> remotes;
    int stationReads = 0;

    std::string stationName(const ServiceRecord& r) override { return ++stationReads, stations[channelKey(r)]; }
    int remoteNumber(const ServiceRecord& r) override { return remotes[channelKey(r)]; }
    int sortValue(const ServiceRecord&) override { return 300; }
    void setSortValue(const ServiceRecord&, int) override {}
    int columnShown(const ServiceRecord&) override { return 1; }
    void setColumnShown(const ServiceRecord&, int) override {}
    std::string vurdaChNo(const ServiceRecord&) override { return ""; }
    void setStationName(const ServiceRecord& r, const std::string& name) override { stations[channelKey(r)] = name; }
    void setRemoteNumber(const ServiceRecord& r, const std::string& typed) override {
        remotes[channelKey(r)] = parseDecimal(typed);
    }
    void setVurdaChNo(const ServiceRecord&, const std::string&) override {}
};

}  // namespace corvane
