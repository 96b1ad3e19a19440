// One sequence of job operations, run against every job store: the one in
// memory everywhere, and on Windows also the Task Scheduler itself, so both
// keep, list, read back and delete jobs alike. The Task Scheduler is shared
// by every test process of the prefix: names carry the process id, and every
// job made is deleted again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "reserve/job_store_memory.h"
#include "store/epg_store.h"
#ifdef _WIN32
#include "reserve/job_store_win.h"
#endif

namespace corvane {
namespace {

template <typename Store>
class JobStoreTest : public testing::Test {
protected:
    ~JobStoreTest() override {
        for (const std::string& name : made_) store.deleteJob(name);
    }

    // 表 and ソ end in 0x5C, the byte of '\'.
    std::string nameOf(const char* tag) { return "tunerec - 表示ソ" + std::to_string(getpid()) + tag + ".job"; }

    JobStep create(const JobDefinition& job) {
        made_.push_back(job.name);
        return store.createJob(job);
    }

    std::vector<std::string> listed() {
        JobNameBatches batches;
        EXPECT_EQ(JobStep::none, store.listJobNames(batches));
        for (const auto& batch : batches) EXPECT_TRUE(!batch.empty() && batch.size() <= kJobNameBatchSize);
        return allJobNames(batches);
    }

    Store store;

private:
    std::vector<std::string> made_;
};

#ifdef _WIN32
using JobStores = testing::Types<MemoryJobStore, TaskSchedulerJobStore>;
#else
using JobStores = testing::Types<MemoryJobStore>;
#endif
TYPED_TEST_SUITE(JobStoreTest, JobStores);

JobTrigger triggerOf(JobTriggerType type, int day, int hour) {
    JobTrigger trigger;
    trigger.type = type;
    trigger.beginYear = 2031, trigger.beginMonth = day < 0 ? 2 : 3, trigger.beginDay = day < 0 ? -day : day;
    trigger.startHour = hour, trigger.startMinute = 57;
    if (type == JobTriggerType::daily) trigger.daysInterval = 1;
    if (type == JobTriggerType::weekly) trigger.weeksInterval = 1, trigger.daysOfTheWeek = 0x02 | 0x10;  // Mon, Thu
    return trigger;
}

TYPED_TEST(JobStoreTest, JobsAreKeptWholeListedReadBackAndDeletedByName) {
    // A parameter text of 600 characters, the end of which must survive.
    std::string parameters = "\"D:\\録画\\ニュース.ts\" @1 21:00-22:00 ";
    while (parameters.size() < 900) parameters += "表x ";
    parameters += "I1";

    struct Case {
        std::string name;
        JobTrigger trigger;
        std::vector<int> runDays;  // of March 2031, at the trigger's start time
    };
    const Case cases[] = {
        {this->nameOf("once"), triggerOf(JobTriggerType::once, 5, 20), {5}},
        {this->nameOf("daily"), triggerOf(JobTriggerType::daily, -20, 21), {2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        {this->nameOf("weekly"), triggerOf(JobTriggerType::weekly, -20, 23), {3, 6, 10}},
    };
    for (const Case& c : cases) {
        JobDefinition job{c.name, "C:\\ツール\\tunerec.exe", "D:\\録画\\", parameters, "user", "pw",
                          kJobFlagSystemRequired, c.trigger};
        if (&c == &cases[0]) job.name = jobBaseName(c.name), job.password = "", job.flags = kJobFlagRunOnlyIfLoggedOn;
        ASSERT_EQ(JobStep::none, this->create(job)) << c.name;
    }

    std::vector<std::string> names = this->listed();
    for (const Case& c : cases) EXPECT_EQ(1, std::count(names.begin(), names.end(), c.name)) << c.name;

    // Ten days from Sunday 2031-03-02 00:00.
    const int64_t windowBegin = localTimeOf(2031, 3, 2, 0, 0, 0);
    for (const Case& c : cases) {
        JobDetails details;
        ASSERT_EQ(JobStep::none, this->store.readJob(c.name, {windowBegin, windowBegin + 864000}, details)) << c.name;
        EXPECT_EQ("C:\\ツール\\tunerec.exe", details.application);
        EXPECT_EQ("D:\\録画\\", details.workingDirectory);
        EXPECT_EQ(parameters, details.parameters);
        EXPECT_EQ(&c == &cases[0] ? kJobFlagRunOnlyIfLoggedOn : kJobFlagSystemRequired, details.flags);
        EXPECT_EQ(std::vector<JobTrigger>{c.trigger}, details.triggers) << c.name;
        EXPECT_NE(JobStatus::running, details.status);
        std::vector<int64_t> expected;
        for (int day : c.runDays) expected.push_back(localTimeOf(2031, 3, day, c.trigger.startHour, 57, 0));
        EXPECT_EQ(expected, details.runTimes) << c.name;
    }

    // Taken names (in any case), bad names and texts that do not convert
    // leave the store as it was.
    std::string upperCase = cases[0].name;
    upperCase.replace(0, 7, "TUNEREC");
    JobDefinition refused{upperCase, "other.exe", "", "", "", "", 0, cases[0].trigger};
    EXPECT_EQ(JobStep::newWorkItem, this->create(refused));
    for (const char* name : {"a.b.job", ".job", "a/b.job", "a?b"}) {
        refused.name = name;
        EXPECT_EQ(JobStep::newWorkItem, this->create(refused)) << name;
    }
    refused.name = this->nameOf("lone lead byte");
    refused.parameters = "21:00-22:00 \x82";
    EXPECT_EQ(JobStep::convertText, this->create(refused));
    names = this->listed();
    EXPECT_EQ(names.end(), std::find(names.begin(), names.end(), refused.name));
    JobDetails details;
    ASSERT_EQ(JobStep::none, this->store.readJob(cases[0].name, {windowBegin, windowBegin + 864000}, details));
    EXPECT_EQ("C:\\ツール\\tunerec.exe", details.application);

    for (const Case& c : cases) ASSERT_EQ(JobStep::none, this->store.deleteJob(c.name)) << c.name;
    names = this->listed();
    for (const Case& c : cases) EXPECT_EQ(names.end(), std::find(names.begin(), names.end(), c.name));
    EXPECT_EQ(JobStep::activate, this->store.readJob(cases[1].name, {windowBegin, windowBegin + 864000}, details));
    EXPECT_EQ(JobStep::deleteItem, this->store.deleteJob(cases[1].name));
}

}  // namespace
}  // namespace corvane
