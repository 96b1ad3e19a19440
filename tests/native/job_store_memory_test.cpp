// Run times worked out from triggers.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "store/broadcast_time.h"
#include "reserve/job_run_times.h"
#include "store/epg_store.h"

namespace corvane {
namespace {

// A trigger of 2031; `interval` is in days or weeks and `days` the days of
// the week or of the month, as the type has them; an end day is in March.
JobTrigger trigger(JobTriggerType type, int month, int day, int hour, int interval = 0, uint32_t days = 0,
                   uint16_t months = 0, uint32_t flags = 0, int endDay = 0) {
    JobTrigger t{type, 2031, month, day, endDay ? 2031 : 0, endDay ? 3 : 0, endDay, hour};
    t.daysInterval = type == JobTriggerType::daily ? interval : 0;
    t.weeksInterval = type == JobTriggerType::weekly ? interval : 0;
    if (type == JobTriggerType::monthlyDate) t.monthDays = days;
    else t.daysOfTheWeek = static_cast<uint16_t>(days);
    t.months = months, t.flags = flags | (endDay ? kJobTriggerHasEndDate : 0);
    return t;
}

std::string clockTexts(const std::vector<int64_t>& times) {
    std::string text;
    for (int64_t t : times) {
        const LocalTime l = toLocalTime(t);
        char item[32];
        std::snprintf(item, sizeof item, "%s%02d-%02d %02d:%02d", text.empty() ? "" : ",", l.month, l.day, l.hour,
                      l.minute);
        text += item;
    }
    return text;
}

TEST(JobRunTimes, FollowTheTriggersWithinTheWindow) {
    using T = JobTriggerType;
    const int64_t march2 = localTimeOf(2031, 3, 2, 0, 0, 0), january1 = localTimeOf(2031, 1, 1, 0, 0, 0);  // Sun, Wed
    const struct {
        const char* what;
        std::vector<JobTrigger> triggers;
        int64_t begin;
        int days;
        const char* expected;
        uint32_t jobFlags = 0;
    } cases[] = {
        {"every 2 days up to the 8th", {trigger(T::daily, 3, 1, 21, 2, 0, 0, 0, 8)}, march2, 10,
         "03-03 21:00,03-05 21:00,03-07 21:00"},
        {"every other week, Monday and Friday, from Wednesday", {trigger(T::weekly, 3, 5, 6, 2, 0x22)}, march2, 21,
         "03-07 06:00,03-17 06:00,03-21 06:00"},
        {"disabled trigger", {trigger(T::daily, 3, 1, 21, 1, 0, 0, kJobTriggerDisabled)}, march2, 10, ""},
        {"disabled job", {trigger(T::daily, 3, 1, 21, 1)}, march2, 10, "", kJobFlagDisabled},
        {"1st and 15th of January and March", {trigger(T::monthlyDate, 1, 1, 8, 0, 0x4001, 0x5)}, january1 + 9 * 86400,
         70, "01-15 08:00,03-01 08:00,03-15 08:00"},
        {"the window holds its begin, not its end; equal times once",
         {trigger(T::once, 3, 2, 0), trigger(T::once, 3, 2, 0), trigger(T::once, 3, 12, 0)}, march2, 10,
         "03-02 00:00"},
        {"event triggers and impossible dates",
         {trigger(T::atLogon, 3, 2, 1), trigger(T::onIdle, 3, 2, 1), trigger(T::once, 2, 30, 1), trigger(T::once, 3, 3, 24)},
         march2, 10, ""},
    };
    for (const auto& c : cases) {
        const RunTimeWindow window{c.begin, c.begin + c.days * 86400};
        EXPECT_EQ(c.expected, clockTexts(computeRunTimes(c.triggers, c.jobFlags, window))) << c.what;
    }

    // At most the limit, the earliest ones.
    const auto daily = computeRunTimes({trigger(T::daily, 1, 1, 12, 1)}, 0, {january1, january1 + 300 * 86400});
    ASSERT_EQ(kJobRunTimeLimit, daily.size());
    EXPECT_EQ("04-10 12:00", clockTexts({daily.back()}));
}

}  // namespace
}  // namespace corvane
