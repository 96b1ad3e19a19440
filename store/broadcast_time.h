// Broadcast time: the Modified Julian Date and BCD fields of the service
// information, the local time they stand for (64-bit seconds since 1970, the
// C library's localtime/mktime semantics), the broadcast day that starts at
// 04:00 and the weekday names the guide shows.
#pragma once

#include <cstdint>

namespace corvane {

constexpr int64_t kSecondsPerDay = 86400;
constexpr int kBroadcastDayStartHour = 4;

struct Date {
    int year, month, day;
};
Date mjdToDate(int mjd);

// Two BCD digits of one byte: 0x59 is 59.
constexpr int decodeBcd(uint8_t b) { return (b >> 4) * 10 + (b & 0x0F); }

// Digit `digit` (0 = the high nibble of the first byte) of a run of BCD bytes.
constexpr int bcdDigit(const uint8_t* bytes, int digit) {
    return digit % 2 == 0 ? bytes[digit / 2] >> 4 : bytes[digit / 2] & 0x0F;
}

// Local time (mktime semantics) of a broken-down date and time; -1 when the
// C library cannot represent it. Conversions of whole hours are remembered.
int64_t localTimeOf(int year, int month, int day, int hour, int minute, int second);

struct TimeRange {
    int64_t start, end;
};
// start_time (5 bytes: MJD and BCD hour, minute, second) immediately followed
// by duration (3 bytes BCD); seconds are ignored.
TimeRange eventTimeRange(const uint8_t* startTime);

// The broadcast's own clock (JST, UTC+9), free of the machine's time zone:
// seconds since 1970-01-01 00:00 of that clock. Subtract the offset for UTC.
constexpr int kMjdOf1970 = 40587;
constexpr int64_t kBroadcastUtcOffset = 9 * 3600;
// start_time (5 bytes) on that clock; the seconds byte is ignored, as in eventTimeRange.
int64_t broadcastClockOf(const uint8_t* startTime);

struct LocalTime {
    int year = 0, month = 0, day = 0;   // month 1..12
    int hour = 0, minute = 0, second = 0;
    int weekday = 0;                    // 0 = Sunday
};
LocalTime toLocalTime(int64_t t);

// The start (04:00 local time) of the broadcast day that holds t.
int64_t broadcastDayStart(int64_t t);

// 日 月 火 水 木 金 土, Sunday first; "" outside 0..6.
const char* weekdayName(int weekday);

}  // namespace corvane
