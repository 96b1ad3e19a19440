#include "reserve/reservation_time.h"

#include <ctime>

#include "store/broadcast_time.h"

namespace corvane {

namespace {

// Far beyond any date a reservation file holds, yet small enough that no
// sum of them overflows an int field of the C library.
constexpr int64_t kFieldLimit = 100000000;

bool within(int64_t value, int64_t low, int64_t high) { return value >= low && value <= high; }

}  // namespace

std::optional<int64_t> localDateTime(int64_t year, int64_t month, int64_t day, int64_t hour, int64_t minute) {
    for (int64_t field : {year, month, day, hour, minute})
        if (!within(field, -kFieldLimit, kFieldLimit)) return std::nullopt;
    if (within(month, 1, 12) && within(day, 1, 31) && within(hour, 0, 23) && within(minute, 0, 59)) {
        // The usual case, through the store's cached conversion.
        const int64_t t = localTimeOf(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day),
                                      static_cast<int>(hour), static_cast<int>(minute), 0);
        if (t == -1) return std::nullopt;
        return t;
    }
    std::tm tm{};
    tm.tm_year = static_cast<int>(year - 1900);
    tm.tm_mon = static_cast<int>(month - 1);
    tm.tm_mday = static_cast<int>(day);
    tm.tm_hour = static_cast<int>(hour);
    tm.tm_min = static_cast<int>(minute);
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) return std::nullopt;
    return static_cast<int64_t>(t);
}

}  // namespace corvane
