// A deterministic sample recording: terrestrial, BS and CS services with
// their network, service, time and event tables and filler "video" packets,
// the same bytes for the same options.
#pragma once

#include <cstdint>
#include <string>

#include "tools/broadcast/si_builder.h"

namespace corvane::broadcast {

struct SampleOptions {
    int year = 2024, month = 1, day = 1;  // date of the TOT, first day of the schedule
    int days = 8;                         // days of schedule, 1..8
    uint64_t size = 0;                    // bytes wanted; 0: one cycle of the tables, half filler
    int unitSize = 188;                   // 188, 192 or 204
    int tablePercent = 3;                 // share of table packets in a large file
    // A later version of the same schedule, as a second recording would bring
    // it: on every third service the four programmes from 20:00 of the first
    // day change, one retitled, one running 10 minutes longer (so the next
    // starts later), one replaced by a news flash of another event id. Every
    // schedule section has a new version.
    bool revised = false;
};

// Empty when the options are usable, otherwise what is wrong with them.
std::string checkSampleOptions(const SampleOptions& options);

// Every file holds at least one full cycle of the tables (TOT first, then
// SDT, NIT, present/following and schedule EIT). Given a size, the file has
// size / unit units: the cycle is repeated (TOT advancing with the stream) so
// that the tables are about tablePercent of the packets, filler packets on
// PID 0x0100 spread between them.
bool writeSampleRecording(const SampleOptions& options, const std::string& path, std::string& error);
Bytes sampleRecordingBytes(const SampleOptions& options);

}  // namespace corvane::broadcast
