// Stores filled straight from built sections, for tests of what the guide
// makes of them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "store/epg_store.h"
#include "tools/broadcast/si_builder.h"

namespace corvane {

// Local time of a wall-clock time built with broadcast::broadcastTime.
int64_t localOf(int64_t broadcast);

struct Programme {
    int64_t start;      // broadcast::broadcastTime
    int seconds;
    std::string title;  // Shift_JIS; empty: no short event descriptor name
    std::string text = "";
    int genre = -1;     // content_nibble_level_1, -1: no content descriptor
    int subGenre = 0;
    int componentType = -1;  // -1: no component descriptor
};

// One section per call, events numbered in order: schedule (table 0x50/0x51
// by sequence index) or present/following [section].
void putSchedule(EpgStore* store, uint16_t serviceId, int networkId, int sequence,
                 const std::vector<Programme>& programmes);
void putPresentFollowing(EpgStore* store, uint16_t serviceId, int networkId, int section,
                         const std::vector<Programme>& programmes);

}  // namespace corvane
