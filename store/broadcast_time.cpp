#include "store/broadcast_time.h"

#include <ctime>

namespace corvane {

Date mjdToDate(int mjd) {
    double jd = mjd + 2400000.5 + 0.5;
    long z = static_cast<long>(jd);
    long a = z;
    if (z > 2299160) {
        long alpha = static_cast<long>((z - 1867216.25) / 36524.25);
        a = z + 1 + alpha - static_cast<long>(alpha / 4);
    }
    long b = a + 1524;
    long c = static_cast<long>((b - 122.1) / 365.25);
    long d = static_cast<long>(365.25 * c);
    long e = static_cast<long>((b - d) / 30.6001);
    double day = b - d - static_cast<long>(30.6001 * e) + (jd - z);
    int month = static_cast<int>(e < 14 ? e - 1 : e - 13);
    int year = static_cast<int>(month < 3 ? c - 4715 : c - 4716);
    return Date{year, month, static_cast<int>(day)};
}

int64_t localTimeOf(int year, int month, int day, int hour, int minute, int second) {
    // mktime is slow and the guide converts every event it lists, so the
    // conversion of each whole hour is remembered; minutes and seconds within
    // an hour never cross a change of the local offset.
    struct CacheEntry {
        int64_t key;
        int64_t value;
        bool used;
    };
    static CacheEntry cache[256];
    int64_t key = ((static_cast<int64_t>(year) * 16 + month) * 32 + day) * 32 + hour;
    bool cacheable = month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour >= 0 && hour <= 23;
    CacheEntry& entry = cache[static_cast<uint64_t>(key * 0x9E3779B97F4A7C15ull) >> 56];
    int64_t hourStart;
    if (cacheable && entry.used && entry.key == key) {
        hourStart = entry.value;
    } else {
        std::tm tm{};
        tm.tm_year = year - 1900;
        tm.tm_mon = month - 1;
        tm.tm_mday = day;
        tm.tm_hour = hour;
        tm.tm_isdst = -1;
        std::time_t t = std::mktime(&tm);
        hourStart = static_cast<int64_t>(t);
        if (t == static_cast<std::time_t>(-1)) return -1;
        if (cacheable) entry = CacheEntry{key, hourStart, true};
    }
    return hourStart + minute * 60 + second;
}

TimeRange eventTimeRange(const uint8_t* startTime) {
    // Programmes come in runs of the same day: remember the last conversion.
    static int lastMjd = -1;
    static Date lastDate;
    const int mjd = (startTime[0] << 8) | startTime[1];
    if (mjd != lastMjd) {
        lastDate = mjdToDate(mjd);
        lastMjd = mjd;
    }
    const Date date = lastDate;
    int64_t start =
        localTimeOf(date.year, date.month, date.day, decodeBcd(startTime[2]), decodeBcd(startTime[3]), 0);
    int64_t duration = decodeBcd(startTime[5]) * 3600 + decodeBcd(startTime[6]) * 60;
    return TimeRange{start, start + duration};
}

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

int64_t broadcastDayStart(int64_t t) {
    LocalTime local = toLocalTime(t);
    int64_t dayStart = localTimeOf(local.year, local.month, local.day, kBroadcastDayStartHour, 0, 0);
    if (local.hour < kBroadcastDayStartHour) {
        // 04:00 of the previous calendar day; mktime normalises day 0.
        dayStart = localTimeOf(local.year, local.month, local.day - 1, kBroadcastDayStartHour, 0, 0);
    }
    return dayStart;
}

const char* weekdayName(int weekday) {
    static const char* const names[7] = {"日", "月", "火", "水", "木", "金", "土"};
    return weekday >= 0 && weekday < 7 ? names[weekday] : "";
}

int64_t broadcastClockOf(const uint8_t* startTime) {
    const int mjd = (startTime[0] << 8) | startTime[1];
    return (static_cast<int64_t>(mjd) - kMjdOf1970) * kSecondsPerDay + decodeBcd(startTime[2]) * 3600 +
           decodeBcd(startTime[3]) * 60;
}

}  // namespace corvane
