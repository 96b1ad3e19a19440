// What `corvane-epg find` prints: the lines of `corvane-epg list` for the
// programmes whose texts hold every word of a query, in the same order.
#pragma once

#include <string>

#include "store/epg_store.h"
#include "tools/common/guide_export.h"

namespace corvane {

struct FindRequest {
    std::string query;          // Shift_JIS
    bool descriptions = false;  // also the short and the extended text
    bool kana = false;          // hiragana and katakana match each other
    // The services and the time window, as the exports take them; the times
    // compared with the programmes' times as the listing prints them.
    ExportFilter filter;
};

std::string findListing(const EpgStore& store, const FindRequest& request);

}  // namespace corvane
