// ARIB STD-B24 8-unit character code to Shift_JIS (Windows code page 932).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane {

// Converts at most `sourceLength` bytes (stopping early at a 0x00 byte) into a
// NUL-terminated Shift_JIS string. A unit that does not fit is dropped; the
// NUL is always written when `out` is not null. One pass, no allocation.
void aribToShiftJis(const uint8_t* source, size_t sourceLength, char* out, size_t outSize);

// The same into a string, with room for every unit the source can give.
std::string aribToShiftJisString(const uint8_t* source, size_t sourceLength);

}  // namespace corvane
