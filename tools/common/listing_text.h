// Pieces of text the listings of corvane-epg share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane {

// Local time as "YYYY-MM-DD HH:MM"; "-" when it has no local time.
void appendLocalMinute(std::string& out, int64_t t);

// Lower-case hex of the bytes; "-" when there are none.
std::string hexBytes(const uint8_t* bytes, size_t n);

}  // namespace corvane
