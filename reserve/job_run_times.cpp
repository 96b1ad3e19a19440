#include "reserve/job_run_times.h"

#include <algorithm>

#include "store/broadcast_time.h"
#include "store/epg_store.h"

namespace corvane {

namespace {

constexpr int64_t kMinute = 60;
constexpr int64_t kMinutesPerDay = 1440;

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
int64_t dayNumber(int64_t year, int month, int day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
    int year, month, day;
};

CivilDate civilDate(int64_t days) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yearOfEra + era * 400 + (month <= 2)), month, day};
}

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

int weekdayOf(int64_t days) { return static_cast<int>(days + 4 - floorDiv(days + 4, 7) * 7); }  // 0 = Sunday

int daysInMonth(int year, int month) {
    return static_cast<int>(dayNumber(month == 12 ? year + 1 : year, month == 12 ? 1 : month + 1, 1) -
                            dayNumber(year, month, 1));
}

// The dates a trigger can hold (SYSTEMTIME years).
bool validDate(int year, int month, int day) {
    return year >= 1601 && year <= 30827 && month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

bool firesOn(const JobTrigger& trigger, int64_t firstDay, int64_t day) {
    const CivilDate date = civilDate(day);
    const int weekday = weekdayOf(day);
    switch (trigger.type) {
        case JobTriggerType::once:
            return day == firstDay;
        case JobTriggerType::daily:
            return (day - firstDay) % std::max(trigger.daysInterval, 1) == 0;
        case JobTriggerType::weekly: {
            const int64_t week = floorDiv(day - (firstDay - weekdayOf(firstDay)), 7);
            return week % std::max(trigger.weeksInterval, 1) == 0 && (trigger.daysOfTheWeek >> weekday & 1);
        }
        case JobTriggerType::monthlyDate:
            return (trigger.months >> (date.month - 1) & 1) && (trigger.monthDays >> (date.day - 1) & 1);
        case JobTriggerType::monthlyDayOfWeek: {
            if (!(trigger.months >> (date.month - 1) & 1) || !(trigger.daysOfTheWeek >> weekday & 1)) return false;
            if (trigger.whichWeek == kJobLastWeek) return date.day + 7 > daysInMonth(date.year, date.month);
            return (date.day - 1) / 7 + 1 == trigger.whichWeek;
        }
        default:
            return false;  // event triggers have no times
    }
}

// Appends the starts of one trigger that fall inside the window.
void addTriggerTimes(const JobTrigger& trigger, const RunTimeWindow& window, std::vector<int64_t>& times) {
    if (trigger.flags & kJobTriggerDisabled) return;
    if (trigger.startHour < 0 || trigger.startHour > 23 || trigger.startMinute < 0 || trigger.startMinute > 59)
        return;
    if (!validDate(trigger.beginYear, trigger.beginMonth, trigger.beginDay)) return;
    const int64_t firstDay = dayNumber(trigger.beginYear, trigger.beginMonth, trigger.beginDay);
    int64_t lastDay = INT64_MAX;
    if (trigger.flags & kJobTriggerHasEndDate) {
        if (!validDate(trigger.endYear, trigger.endMonth, trigger.endDay)) return;
        lastDay = dayNumber(trigger.endYear, trigger.endMonth, trigger.endDay);
    }

    const bool repeats = trigger.minutesInterval > 0 && trigger.minutesDuration > trigger.minutesInterval;
    const int64_t span = repeats ? static_cast<int64_t>(trigger.minutesDuration) * kMinute : 1;
    const int64_t step = repeats ? static_cast<int64_t>(trigger.minutesInterval) * kMinute : span;

    // Days whose starts or repetitions can reach into the window; a day is
    // at most 25 hours from midnight to midnight.
    const LocalTime from = toLocalTime(window.begin);
    const LocalTime to = toLocalTime(window.end);
    const int64_t spanDays = span / (kMinutesPerDay * kMinute) + 2;
    const int64_t firstWanted = std::max(firstDay, dayNumber(from.year, from.month, from.day) - spanDays);
    const int64_t lastWanted = std::min(lastDay, dayNumber(to.year, to.month, to.day) + 1);

    for (int64_t day = firstWanted; day <= lastWanted; ++day) {
        if (!firesOn(trigger, firstDay, day)) continue;
        const CivilDate date = civilDate(day);
        const int64_t start = localTimeOf(date.year, date.month, date.day, trigger.startHour, trigger.startMinute, 0);
        // Repetitions inside the window only, at most `limit` per day.
        int64_t first = 0;
        if (start < window.begin) first = (window.begin - start + step - 1) / step;
        size_t added = 0;
        for (int64_t k = first; k * step < span && added < window.limit; ++k, ++added) {
            const int64_t t = start + k * step;
            if (t >= window.end) break;
            times.push_back(t);
        }
    }
}

}  // namespace

std::vector<int64_t> computeRunTimes(const std::vector<JobTrigger>& triggers, uint32_t jobFlags,
                                     const RunTimeWindow& window) {
    std::vector<int64_t> times;
    if ((jobFlags & kJobFlagDisabled) || window.end <= window.begin || window.limit == 0) return times;
    for (const JobTrigger& trigger : triggers) addTriggerTimes(trigger, window, times);
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    if (times.size() > window.limit) times.resize(window.limit);
    return times;
}

}  // namespace corvane
