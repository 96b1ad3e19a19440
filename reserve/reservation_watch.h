// The collection of reservations: on every tick of the main window's timer
// the two reservation files are watched through their last-write times, and
// the list is rebuilt from every enabled source (EpgTimer's file, TvRock's
// file, the capture tool's jobs) when one of the files was written, when the
// jobs were not read yet, or after a reset.
#pragma once

#include <cstdint>
#include <utility>

#include "reserve/job_store.h"
#include "reserve/reservation_channels.h"
#include "reserve/reservation_files.h"
#include "reserve/reservations.h"
#include "store/epg_store.h"

namespace corvane {

// Which sources are on ("EpgTimerDisp", "TvRockDisp", "TunerecDisp") and
// where the two files are. The paths are borrowed for the call.
struct ReservationSources {
    bool epgTimer = false;
    bool tvRock = false;
    bool jobs = false;
    const char* epgTimerFile = "";
    const char* tvRockFile = "";
};

// What a collection reads from.
struct ReservationInputs {
    const EpgStore* store;  // null: no services, so no reservation matches
    ReservationFiles& files;
    ServicePreferences& channels;
    JobStore* jobs;         // null: no job store, the jobs add nothing
    int64_t now;
};

class ReservationWatch {
public:
    // Rebuilds `list` when there is a reason to; non-zero when it did. An
    // idle call asks for the two files' times and nothing else.
    int collect(const ReservationSources& sources, const ReservationInputs& inputs, ReservationList& list);
    // The next call rebuilds the list from every enabled source.
    void reset();

private:
    struct WatchedFile {
        FileStamp seen;
        ReservationList lastRead;  // kept while the file cannot be opened
    };
    using FileParser = void (*)(std::string_view file, const EpgStore& store, ChannelTable& channels,
                                ReservationList& out);

    static bool written(WatchedFile& file, const char* path, ReservationFiles& files);
    static void read(WatchedFile& file, const char* path, ReservationFiles& files, const EpgStore* store,
                     ChannelTable* channels, FileParser parse);

    WatchedFile epgTimer_;
    WatchedFile tvRock_;
    bool jobsRead_ = false;
    bool rebuildPending_ = false;
};

inline int collectReservations(ReservationWatch& watch, const ReservationSources& sources,
                               const ReservationInputs& inputs, ReservationList& list) {
    return watch.collect(sources, inputs, list);
}

inline void resetReservationWatch(ReservationWatch& watch) { watch.reset(); }

// The reservations collected last and the frames the guide paints of them.
// The frames follow the list: the list changes only through `collect` and
// `clear`, which derive them again.
class ReservationBook {
public:
    // collectReservations into the list; non-zero when it was rebuilt.
    int collect(ReservationWatch& watch, const ReservationSources& sources, const ReservationInputs& inputs) {
        const int rebuilt = watch.collect(sources, inputs, records_);
        if (rebuilt) frames_ = reservationFrames(records_);
        return rebuilt;
    }
    // The list as a collection would leave it.
    void assign(ReservationList records) {
        records_ = std::move(records);
        frames_ = reservationFrames(records_);
    }
    // No reservation is marked any more: the marks go at once, not at the
    // next collection.
    void clear() { assign({}); }

    const ReservationList& records() const { return records_; }
    // For the reservation list window, which notes the guide's title of each
    // record (`guideTitle`, which no frame reads).
    ReservationList& recordsForTitles() { return records_; }
    const ReservationFrames& frames() const { return frames_; }

private:
    ReservationList records_;
    ReservationFrames frames_;
};

}  // namespace corvane
