// Local broken-down time of the 64-bit time values the guide works with.
#pragma once

#include <cstdint>

namespace corvane {

struct LocalTime {
    int year = 0, month = 0, day = 0;   // month 1..12
    int hour = 0, minute = 0, second = 0;
    int weekday = 0;                    // 0 = Sunday
};

LocalTime toLocalTime(int64_t t);

// 日 月 火 水 木 金 土, Sunday first.
const char* weekdayName(int weekday);

}  // namespace corvane
