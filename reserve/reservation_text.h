// Bounded reading of the texts the recording applications leave behind:
// numbers read as the C library's atoi reads them, but never past the end of
// their field and saturated instead of overflowing; Shift_JIS aware helpers
// for names and paths.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

struct DecimalField {
    int64_t value = 0;  // 0 without digits
    bool digits = false;
};

// Leading blanks (space, tab to carriage return), an optional sign, then
// decimal digits, all inside `field`; the value saturates at [low, high].
DecimalField readDecimalField(std::string_view field, int64_t low, int64_t high);

inline int32_t readInt32Field(std::string_view field) {
    return static_cast<int32_t>(readDecimalField(field, INT32_MIN, INT32_MAX).value);
}
inline int64_t readInt64Field(std::string_view field) {
    return readDecimalField(field, INT64_MIN, INT64_MAX).value;
}

// ASCII case-blind comparison (Shift_JIS texts compared here are ASCII words).
bool equalsIgnoringCase(std::string_view text, std::string_view word);
bool startsWithIgnoringCase(std::string_view text, std::string_view word);

// `path` without its drive and folder (up to the last '\' or '/'), Shift_JIS aware.
std::string_view baseNameOf(std::string_view path);
// `name` without the part from its last '.'.
std::string_view withoutExtension(std::string_view name);

// `text` without its first `count` characters (whole Shift_JIS characters);
// empty when it has no more than that.
std::string_view dropLeadingCharacters(std::string_view text, size_t count);

}  // namespace corvane
