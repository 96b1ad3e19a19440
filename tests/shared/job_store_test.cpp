// One sequence of job operations, run against every job store: the one in
// memory everywhere, and on Windows also the Task Scheduler itself, so both
// keep, list, read back and delete jobs alike. The Task Scheduler is shared
// by every test process of the prefix: names carry the process id, and every
// job made is deleted again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <tuple>
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
    int listedTimes(const std::string& name) {
        JobNameBatches batches;
        EXPECT_EQ(JobStep::none, store.listJobNames(batches));
        for (const auto& batch : batches) EXPECT_TRUE(!batch.empty() && batch.size() <= kJobNameBatchSize);
        const std::vector<std::string> names = allJobNames(batches);
        return static_cast<int>(std::count(names.begin(), names.end(), name));
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

JobTrigger triggerOf(JobTriggerType type, int month, int day, int hour) {
    JobTrigger trigger{type, 2031, month, day};
    trigger.startHour = hour, trigger.startMinute = 57;
    trigger.daysInterval = type == JobTriggerType::daily;
    if (type == JobTriggerType::weekly) trigger.weeksInterval = 1, trigger.daysOfTheWeek = 0x02 | 0x10;  // Mon, Thu
    return trigger;
}

TYPED_TEST(JobStoreTest, JobsAreKeptWholeListedReadBackAndDeletedByName) {
    // 600 characters of parameters, whose end must survive.
    std::string parameters = "\"D:\\録画\\ニュース.ts\" @1 21:00-22:00 ";
    while (parameters.size() < 900) parameters += "表x ";
    parameters += "I1";
    const struct {
        std::string name;
        JobTrigger trigger;
        std::vector<int> runDays;  // of March 2031, at the trigger's start time
    } cases[] = {
        {this->nameOf("once"), triggerOf(JobTriggerType::once, 3, 5, 20), {5}},
        {this->nameOf("daily"), triggerOf(JobTriggerType::daily, 2, 20, 21), {2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        {this->nameOf("weekly"), triggerOf(JobTriggerType::weekly, 2, 20, 23), {3, 6, 10}},
    };
    for (const auto& c : cases) {
        JobDefinition job{c.name, "C:\\ツール\\tunerec.exe", "D:\\録画\\", parameters, "user", "pw", 0x1000, c.trigger};
        if (&c == &cases[0]) job.name = jobBaseName(c.name), job.password = "", job.flags = 0x2000;
        ASSERT_EQ(JobStep::none, this->create(job)) << c.name;
    }
    // Ten days from Sunday 2031-03-02 00:00.
    const RunTimeWindow window{localTimeOf(2031, 3, 2, 0, 0, 0), localTimeOf(2031, 3, 12, 0, 0, 0)};
    JobDetails details;
    for (const auto& c : cases) {
        EXPECT_EQ(1, this->listedTimes(c.name)) << c.name;
        ASSERT_EQ(JobStep::none, this->store.readJob(c.name, window, details)) << c.name;
        EXPECT_EQ(std::tuple(std::string("C:\\ツール\\tunerec.exe"), std::string("D:\\録画\\"), parameters,
                             &c == &cases[0] ? 0x2000u : 0x1000u, std::vector<JobTrigger>{c.trigger}, false),
                  std::tuple(details.application, details.workingDirectory, details.parameters, details.flags,
                             details.triggers, details.status == JobStatus::running)) << c.name;
        std::vector<int64_t> expected;
        for (int day : c.runDays) expected.push_back(localTimeOf(2031, 3, day, c.trigger.startHour, 57, 0));
        EXPECT_EQ(expected, details.runTimes) << c.name;
    }

    // Taken names (in any case), bad names and texts that do not convert
    // leave the store as it was.
    JobDefinition refused{"TUNEREC" + cases[0].name.substr(7), "other.exe", "", "", "", "", 0, cases[0].trigger};
    for (const std::string& name : {refused.name, std::string("a.b.job"), std::string(".job"), std::string("a/b")}) {
        refused.name = name;
        EXPECT_EQ(JobStep::newWorkItem, this->create(refused)) << name;
    }
    refused.name = this->nameOf("lone lead byte"), refused.parameters = "21:00-22:00 \x82";
    EXPECT_EQ(JobStep::convertText, this->create(refused));
    EXPECT_EQ(0, this->listedTimes(refused.name));
    ASSERT_EQ(JobStep::none, this->store.readJob(cases[0].name, window, details));
    EXPECT_EQ("C:\\ツール\\tunerec.exe", details.application);

    for (const auto& c : cases) {
        ASSERT_EQ(JobStep::none, this->store.deleteJob(c.name)) << c.name;
        EXPECT_EQ(0, this->listedTimes(c.name));
        EXPECT_EQ(JobStep::activate, this->store.readJob(c.name, window, details));
        EXPECT_EQ(JobStep::deleteItem, this->store.deleteJob(c.name));
    }
}

}  // namespace
}  // namespace corvane
