#include "guide/local_time.h"

#include <ctime>

namespace corvane {

LocalTime toLocalTime(int64_t t) {
    std::time_t value = static_cast<std::time_t>(t);
    LocalTime out;
    if (const std::tm* tm = std::localtime(&value)) {
        out.year = tm->tm_year + 1900;
        out.month = tm->tm_mon + 1;
        out.day = tm->tm_mday;
        out.hour = tm->tm_hour;
        out.minute = tm->tm_min;
        out.second = tm->tm_sec;
        out.weekday = tm->tm_wday;
    }
    return out;
}

const char* weekdayName(int weekday) {
    static const char* const names[7] = {"日", "月", "火", "水", "木", "金", "土"};
    return weekday >= 0 && weekday < 7 ? names[weekday] : "";
}

}  // namespace corvane
