#include "reserve/reservation_watch.h"

#include <string>

#include "reserve/epgtimer_file.h"
#include "reserve/job_reservations.h"
#include "reserve/reservation_list.h"
#include "reserve/tvrock_file.h"

namespace corvane {

namespace {

// A last-write time no file has: the file is read again at the next call.
constexpr uint64_t kReadAgain = ~uint64_t{0};

void parseEpgTimer(std::string_view file, const EpgStore& store, ChannelTable&, ReservationList& out) {
    readEpgTimerReservations(file, store, out);
}

}  // namespace

bool ReservationWatch::written(WatchedFile& file, const char* path, ReservationFiles& files) {
    FileStamp stamp;
    // A file that cannot be opened for a moment keeps what it had.
    if (files.stamp(path, stamp) == FileStatus::busy) return false;
    // Creation and access times may move without new content.
    const bool changed = stamp.written != file.seen.written;
    file.seen = stamp;
    return changed;
}

void ReservationWatch::read(WatchedFile& file, const char* path, ReservationFiles& files, const EpgStore* store,
                            ChannelTable* channels, FileParser parse) {
    std::string bytes;
    switch (files.readAll(path, kReservationFileLimit, bytes)) {
        case FileStatus::ok:
            file.lastRead.clear();
            if (store) parse(bytes, *store, *channels, file.lastRead);
            break;
        case FileStatus::missing:
        case FileStatus::tooLarge:
            file.lastRead.clear();
            break;
        case FileStatus::busy:
            file.seen.written = kReadAgain;
            break;
    }
}

int ReservationWatch::collect(const ReservationSources& sources, const ReservationInputs& inputs,
                              ReservationList& list) {
    bool rebuild = rebuildPending_;
    if (sources.epgTimer && written(epgTimer_, sources.epgTimerFile, inputs.files)) rebuild = true;
    if (sources.tvRock && written(tvRock_, sources.tvRockFile, inputs.files)) rebuild = true;
    if (sources.jobs && !jobsRead_) jobsRead_ = rebuild = true;
    if (!rebuild) return 0;
    rebuildPending_ = false;

    ReservationListBuilder builder(inputs.now);
    // Settings of the channels are read once per rebuild, when first needed.
    static const EpgStore noServices{};
    ChannelTable channels(inputs.store ? *inputs.store : noServices, inputs.channels);
    for (auto [on, file, path, parse] :
         {std::tuple{sources.epgTimer, &epgTimer_, sources.epgTimerFile, &parseEpgTimer},
          std::tuple{sources.tvRock, &tvRock_, sources.tvRockFile, &readTvRockReservations}}) {
        if (!on) {
            *file = WatchedFile{};
            continue;
        }
        read(*file, path, inputs.files, inputs.store, &channels, parse);
        for (const ReservationRecord& record : file->lastRead) builder.add(record);
    }
    if (sources.jobs && inputs.jobs && inputs.store) {
        ReservationList jobs;
        readJobReservations(*inputs.jobs, *inputs.store, channels, inputs.now, jobs);
        for (ReservationRecord& record : jobs) builder.add(std::move(record));
    }
    list = builder.finish();
    return 1;
}

void ReservationWatch::reset() {
    epgTimer_.seen.written = 0;
    tvRock_.seen.written = 0;
    jobsRead_ = false;
    rebuildPending_ = true;
}

}  // namespace corvane
