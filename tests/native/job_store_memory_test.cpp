// Run times worked out from triggers, and what only the job store in memory
// does: fail at a chosen step, report a chosen state.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "guide/local_time.h"
#include "reserve/job_run_times.h"
#include "reserve/job_store_memory.h"
#include "store/epg_store.h"

namespace corvane {
namespace {

JobTrigger trigger(JobTriggerType type, int month, int day, int hour, int minute = 0) {
    JobTrigger t;
    t.type = type;
    t.beginYear = 2031, t.beginMonth = month, t.beginDay = day, t.startHour = hour, t.startMinute = minute;
    return t;
}

template <typename Change>
JobTrigger with(JobTrigger t, Change change) {
    change(t);
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
    struct Case {
        const char* what;
        std::vector<JobTrigger> triggers;
        int64_t begin;
        int days;
        const char* expected;
        uint32_t jobFlags = 0;
    };
    const int64_t march2 = localTimeOf(2031, 3, 2, 0, 0, 0);  // a Sunday
    const Case cases[] = {
        {"every 2 days up to the 8th",
         {with(trigger(T::daily, 3, 1, 21), [](JobTrigger& t) {
             t.daysInterval = 2, t.flags = kJobTriggerHasEndDate, t.endYear = 2031, t.endMonth = 3, t.endDay = 8;
         })},
         march2, 10, "03-03 21:00,03-05 21:00,03-07 21:00"},
        {"every other week, Monday and Friday, from Wednesday",
         {with(trigger(T::weekly, 3, 5, 6), [](JobTrigger& t) { t.weeksInterval = 2, t.daysOfTheWeek = 0x22; })},
         march2, 21, "03-07 06:00,03-17 06:00,03-21 06:00"},
        {"disabled trigger", {with(trigger(T::daily, 3, 1, 21), [](JobTrigger& t) { t.flags = kJobTriggerDisabled; })},
         march2, 10, ""},
        {"disabled job", {trigger(T::daily, 3, 1, 21)}, march2, 10, "", kJobFlagDisabled},
        {"1st and 15th of January and March",
         {with(trigger(T::monthlyDate, 1, 1, 8), [](JobTrigger& t) { t.monthDays = 0x4001, t.months = 0x5; })},
         localTimeOf(2031, 1, 10, 0, 0, 0), 70, "01-15 08:00,03-01 08:00,03-15 08:00"},
        {"last Friday of each month, second Tuesday of February",
         {with(trigger(T::monthlyDayOfWeek, 1, 1, 9),
               [](JobTrigger& t) { t.whichWeek = kJobLastWeek, t.daysOfTheWeek = 0x20, t.months = 0xFFF; }),
          with(trigger(T::monthlyDayOfWeek, 1, 1, 9),
               [](JobTrigger& t) { t.whichWeek = 2, t.daysOfTheWeek = 0x04, t.months = 0x2; })},
         localTimeOf(2031, 1, 1, 0, 0, 0), 60, "01-31 09:00,02-11 09:00,02-28 09:00"},
        {"every 30 minutes for 90, window from 10:15",
         {with(trigger(T::once, 3, 2, 10), [](JobTrigger& t) { t.minutesInterval = 30, t.minutesDuration = 90; })},
         localTimeOf(2031, 3, 2, 10, 15, 0), 1, "03-02 10:30,03-02 11:00"},
        {"the window holds its begin, not its end; equal times once",
         {trigger(T::once, 3, 2, 0), trigger(T::once, 3, 2, 0), trigger(T::once, 3, 12, 0)}, march2, 10,
         "03-02 00:00"},
        {"event triggers and impossible dates",
         {trigger(T::atLogon, 3, 2, 1), trigger(T::onIdle, 3, 2, 1), trigger(T::once, 2, 30, 1), trigger(T::once, 3, 3, 24)},
         march2, 10, ""},
    };
    for (const Case& c : cases) {
        const RunTimeWindow window{c.begin, c.begin + c.days * 86400};
        EXPECT_EQ(c.expected, clockTexts(computeRunTimes(c.triggers, c.jobFlags, window))) << c.what;
    }

    // At most the limit, the earliest ones.
    const auto daily = computeRunTimes({with(trigger(T::daily, 1, 1, 12), [](JobTrigger& t) { t.daysInterval = 1; })},
                                       0, {localTimeOf(2031, 1, 1, 0, 0, 0), localTimeOf(2031, 12, 1, 0, 0, 0)});
    ASSERT_EQ(kJobRunTimeLimit, daily.size());
    EXPECT_EQ("04-10 12:00", clockTexts({daily.back()}));
}

TEST(MemoryJobStore, FailsAtTheChosenStepKeepingNothingAndReportsTheChosenState) {
    MemoryJobStore store;
    JobDefinition job{"tunerec - a.job", "tunerec.exe", "D:\\", "@1 21:00-22:00", "user", "pw", 0,
                      trigger(JobTriggerType::once, 3, 2, 20)};
    for (JobStep step : {JobStep::initializeCom, JobStep::createScheduler, JobStep::convertText, JobStep::newWorkItem,
                         JobStep::setProperties, JobStep::createTrigger, JobStep::setTrigger,
                         JobStep::persistInterface, JobStep::save}) {
        store.failAt(step);
        EXPECT_EQ(step, store.createJob(job));
        EXPECT_EQ(nullptr, store.find(job.name));
    }
    JobNameBatches batches;
    store.failAt(JobStep::enumerate);
    EXPECT_EQ(JobStep::enumerate, store.listJobNames(batches));

    store.failAt(JobStep::none);
    for (int i = 0; i < 12; ++i) {
        job.name = "tunerec - " + std::to_string(i);
        ASSERT_EQ(JobStep::none, store.createJob(job));
    }
    ASSERT_EQ(JobStep::none, store.listJobNames(batches));
    ASSERT_EQ(3u, batches.size());
    EXPECT_EQ((std::vector<std::string>{"tunerec - 10.job", "tunerec - 11.job"}), batches[2]);
    ASSERT_NE(nullptr, store.find("TUNEREC - 3"));
    EXPECT_EQ("pw", store.find("TUNEREC - 3")->password);

    JobDetails details;
    EXPECT_TRUE(store.setStatus("tunerec - 3.job", JobStatus::running));
    ASSERT_EQ(JobStep::none, store.readJob("tunerec - 3", {0, 1}, details));
    EXPECT_EQ(JobStatus::running, details.status);
    for (JobStep step : {JobStep::activate, JobStep::readProperties}) {
        store.failAt(step);
        EXPECT_EQ(step, store.readJob("tunerec - 3", {0, 1}, details));
    }
    store.failAt(JobStep::deleteItem);
    EXPECT_EQ(JobStep::deleteItem, store.deleteJob("tunerec - 3.job"));
    EXPECT_NE(nullptr, store.find("tunerec - 3.job"));
}

}  // namespace
}  // namespace corvane
