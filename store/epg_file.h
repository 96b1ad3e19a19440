// The one way a file comes into the store: its first five bytes decide
// whether it is an EPG data file ("Epg" and two version digits, whatever
// the file's extension) or a recorded transport stream. Used by the main
// window and by the tools alike.
#pragma once

#include "store/epg_store.h"
#include "store/ts_reader.h"

namespace corvane {

enum class EpgFileKind {
    unreadable,       // cannot be opened, or shorter than five bytes: skipped
    dataFile,
    transportStream,
};

EpgFileKind sniffEpgFile(const char* path);

enum class LoadOutcome {
    skipped,  // unreadable (nothing changed)
    loaded,   // read to its end (a recording without packet structure stores nothing)
    stopped,  // `progress` stopped a transport-stream read
};

// Loads one file of either kind: a data file is merged into the store, a
// transport stream is read with progress reports to `progress` (may be null).
LoadOutcome loadEpgFile(EpgStore* store, const char* path, ProgressSink* progress);

}  // namespace corvane
