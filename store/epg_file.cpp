#include "store/epg_file.h"

#include <cstring>

#include "store/data_file.h"
#include "store/file_io.h"

namespace corvane {

namespace {

// Passes the reports on and remembers whether any of them asked to stop.
class StopWatch : public ProgressSink {
public:
    explicit StopWatch(ProgressSink* inner) : inner_(inner) {}
    bool reportProgress(int64_t done, int64_t total) override {
        const bool go = !inner_ || inner_->reportProgress(done, total);
        stopped = stopped || !go;
        return go;
    }
    bool stopped = false;

private:
    ProgressSink* inner_;
};

}  // namespace

EpgFileKind sniffEpgFile(const char* path) {
    InputFile file;
    if (!file.open(path)) return EpgFileKind::unreadable;
    char head[kDataFileHeaderSize];
    if (file.readFully(head, sizeof head) < sizeof head) return EpgFileKind::unreadable;
    return std::memcmp(head, "Epg", 3) == 0 ? EpgFileKind::dataFile : EpgFileKind::transportStream;
}

LoadOutcome loadEpgFile(EpgStore* store, const char* path, ProgressSink* progress) {
    if (!store) return LoadOutcome::skipped;
    switch (sniffEpgFile(path)) {
        case EpgFileKind::unreadable:
            return LoadOutcome::skipped;
        case EpgFileKind::dataFile:
            // Fails only when the file went away since it was looked at.
            return readDataFile(store, path) ? LoadOutcome::loaded : LoadOutcome::skipped;
        case EpgFileKind::transportStream:
            break;
    }
    StopWatch watch(progress);
    readTransportStream(store, path, &watch);
    return watch.stopped ? LoadOutcome::stopped : LoadOutcome::loaded;
}

}  // namespace corvane
