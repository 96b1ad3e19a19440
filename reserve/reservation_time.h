// Local times of the reservation sources: dates and clock times written by
// the recording applications.
#pragma once

#include <cstdint>
#include <optional>

namespace corvane {

// Seconds since 1970 of a local date and time. Fields outside their usual
// range carry over as mktime carries them (month 13 is January of the next
// year); nothing when the result cannot be represented.
std::optional<int64_t> localDateTime(int64_t year, int64_t month, int64_t day, int64_t hour, int64_t minute);

}  // namespace corvane
