// How a service is named and numbered where no broadcast name says more:
// one labeller for every service number shown, and the decoded name fields
// of a service record.
#pragma once

#include <cstdint>
#include <string>

#include "store/epg_store.h"

namespace corvane {

// A number of a service as shown: "%dch" when `channel` (a terrestrial
// channel), else "BS%d" on BS (network class 4), "CS%d" on the two CS
// networks (6 and 7) and "%d" elsewhere.
std::string serviceNumberLabel(int networkClass, int number, bool channel = false);

// A name field of a service record (provider, service or TS name), decoded
// from ARIB to Shift_JIS; at most its 50 bytes count, whatever `length` says.
std::string decodedName(const uint8_t* field, size_t length);

}  // namespace corvane
