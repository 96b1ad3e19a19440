// Reads a recorded MPEG-2 transport stream into the EPG store: finds the
// packet unit, regains lost sync, reads the file in blocks, assembles the
// sections of the NIT, SDT and EIT PIDs and checks their CRC, then hands
// each whole section on: EIT sections to the store, the others to the table
// handlers of si_tables.h (the TOT straight from its one packet).
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/epg_store.h"

namespace corvane {

// Receives progress in thousands of bytes; answers false to stop the read.
// done == total is the final report of every read (also after an error).
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual bool reportProgress(int64_t done, int64_t total) = 0;
};

// Packet unit size (188..319) established from the bytes [start, end), or 0.
int select_unit_size(const uint8_t* start, const uint8_t* end);

// Reads the whole file (or until stopped) into the store. `progress` may be null.
void readTransportStream(EpgStore* store, const char* path, ProgressSink* progress);

// The same over bytes already in memory, as if they were the file's contents.
// `blockSize` is the size of each read after the first 8192 bytes (0: the
// default); the store comes out the same whatever it is.
void readTransportStreamBytes(EpgStore* store, const uint8_t* data, size_t size, ProgressSink* progress,
                              size_t blockSize = 0);

}  // namespace corvane
