// The reservation sources read back (EpgTimer's file, TvRock's file, the
// capture tool's jobs), the list they make, the file watch and the listing
// of corvane-epg. The fuzz target checks the readers on any text.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "reserve/epgtimer_file.h"
#include "reserve/job_parameters.h"
#include "reserve/job_reservations.h"
#include "reserve/job_run_times.h"
#include "reserve/job_store_memory.h"
#include "reserve/reservation_list.h"
#include "reserve/reservation_watch.h"
#include "reserve/tvrock_file.h"
#include "store/broadcast_time.h"
#include "store/data_file.h"
#include "store/epg_store.h"
#include "support/reservation_fixture.h"
#include "support/store_sections.h"

using namespace corvane;

namespace {

ReservationList epgTimer(const std::string& file, const EpgStore& store) {
    ReservationList out;
    readEpgTimerReservations(file, store, out);
    return out;
}

ReservationRecord span(int kind, int64_t start, int64_t end, int valid = 1, const char* title = "") {
    ReservationRecord r;
    r.kind = kind, r.start = start, r.end = end, r.valid = valid, r.title = title;
    return r;
}

}  // namespace

TEST(EpgTimerFile, FieldsNetworksAndTheEndTime) {
    StorePtr store = reservationStore();
    const int64_t nine = decemberAt(7, 21);
    const std::string file = epgTimerLine(nine, 60, "ニュース", 27, 1024, 0x1234) +
                             epgTimerLine(nine, 90, "映画", 11727 * 65536 + 0x4010, 101, 7) +  // BS
                             epgTimerLine(nine, 30, "CS", 70000, 101, 8) +  // 70000 & 0xFFFF < 0x4000: CS
                             epgTimerLine(nine, 30, "境", 65536, 1025, 9) +  // terrestrial
                             epgTimerLine(nine, 30, "CS7", 70000, 202, 10) +  // class 7 is CS too
                             epgTimerLine(nine, 30, "無い", 70000, 1024, 11);  // no CS 1024: dropped
    const ReservationList full = epgTimer(file, *store);
    ASSERT_EQ(5u, full.size());
    EXPECT_EQ(std::tuple(0, nine, nine + 3600, 1024, 0x1234, 0, 1, 0, std::string("ニュース"), std::string()),
              fieldsOf(full[0]));
    std::vector<int> kinds;
    for (const ReservationRecord& r : full) kinds.push_back(r.networkKind);
    EXPECT_EQ((std::vector<int>{0, 4, 6, 0, 7}), kinds);
    // Ending exactly now is listed, before now not.
    ReservationListBuilder atEnd(nine + 3600), after(nine + 3601);
    atEnd.add(full[0]), after.add(full[0]);
    EXPECT_EQ(std::pair(size_t{1}, size_t{0}), std::pair(atEnd.finish().size(), after.finish().size()));
}

TEST(EpgTimerFile, MalformedLinesNeverReadPastTheirLine) {
    StorePtr store = reservationStore();
    const std::pair<std::string, size_t> cases[] = {
        {"2026/12/07\n" + epgTimerLine(decemberAt(7, 21), 60, "T", 27, 1024, 1), 1},  // short line dropped
        {"99999999999999999999/12/07\t21:00\t01:00\tT\tS\t27\t1024\t1\t\n", 0},      // year does not convert
        {"2026/13/32\t25:61\t-1:-5\tT\tS\t-99999999999999\t1024\t99999999999\t\n", 1},  // carried, saturated
    };
    for (const auto& [file, count] : cases) ASSERT_EQ(count, epgTimer(file, *store).size()) << file;
    const ReservationRecord carried = epgTimer(cases[2].first, *store)[0];
    const int64_t start = localTimeOf(2027, 2, 2, 2, 1, 0);  // 2026/13/32 25:61
    EXPECT_EQ(std::tuple(start, start - 3600 - 300, INT32_MAX),
              std::tuple(carried.start, carried.end, carried.eventId));
}

TEST(TvRockFile, EntriesStationsAndLineEnds) {
    StorePtr store = reservationStore();
    FakeChannelSettings settings;
    settings.stations["101:4"] = "ＢＳ局";
    ChannelTable channels(*store, settings);
    ReservationList got;
    readTvRockReservations(
        "0 START 1796000000\n0 END 1796003600\n"                                        // flags 3: dropped
        "1 START 1796000000\n1 END 1796003600\n1 TITLE 映画 後半\n1 SERVICEID 1024\n"   // 7: title to the blank
        "2 start 1796000000\r\n2 End 1796003600\r\n2 TITLE タイトル\r\n2 STATION ＢＳ局\r\n2 VALIDATE 1\r\n"
        "3 END 1796003600\n3 TITLE x\n3 SERVICEID 5\n3 VALIDATE 1\n3 EVENTID 9\n"      // no START: dropped
        "4 TITLE 無名\n4 START 1796000000\n4 END 1796003600\n4 STATION 無い局\n"       // no service: dropped
        "5 START 4102444800\n5 END 4102448400\n5TITLE\n5 TITLE\n5 TITLE y\n5 SERVICEID 1025\n5 EVENTID 7",
        *store, channels, got);
    ASSERT_EQ(3u, got.size());
    EXPECT_EQ(std::tuple(1, 1796000000, 1796003600, 1024, 0, 0, 0, 0, std::string("映画"), std::string()),
              fieldsOf(got[0]));
    EXPECT_EQ(std::tuple(101, 1, 4, std::string("タイトル")),  // its station's service and class
              std::tuple(got[1].serviceId, got[1].valid, int(got[1].networkKind), got[1].title));
    EXPECT_EQ(std::tuple(4102444800, 4102448400, 1025, 7, std::string("y")),  // beyond 2^31; no LF at the end
              std::tuple(got[2].start, got[2].end, got[2].serviceId, got[2].eventId, got[2].title));
    EXPECT_EQ(5, settings.stationReads);  // the names once, when the first STATION needs them
}

TEST(JobParameters, TokensTimeTextsAndTitles) {
    using Parsed = std::tuple<int, int64_t, std::string, std::string, int>;  // class, number, time, output, instance
    const std::pair<const char*, std::optional<Parsed>> cases[] = {
        {"\"C:\\rec\\a b.ts\" @b101 21:00-22:00 P POFF B25 B SEL I3 ", Parsed{4, 101, "21:00-22:00", "a b", 3}},
        {"\"D:\\ソ\\x.ts\" @27 21:00-22:00     I1 ", Parsed{0, 27, "21:00-22:00", "x", 1}},
        {"UDP 127.0.0.1:1234 @C055 90 p poff b25 b sel i2 r5 VLC:x stop suspend", Parsed{6, 55, "90", "127.0.0", 2}},
        {"out @b101 21:00-22:00 9:00 later.ts", Parsed{4, 101, "21:00-22:00", "later", 0}},  // the first time counts
        {"@27 21:00 I12", Parsed{0, 27, "21:00", "I12", 0}},  // I and two digits: an output
        {"out.ts @b1 21:00-22:00", {}},                      // @b1: too short for a number
        {"out.ts @bxyz 21:00", {}},                          // no digits
        {"out.ts @27 I1", {}},                               // no time text
    };
    for (const auto& [text, expected] : cases) {
        const std::optional<JobParameters> p = parseJobParameters(text);
        EXPECT_EQ(expected, p ? std::optional(Parsed(p->networkClass, p->channelNumber, p->timeText, p->outputName,
                                                     p->instanceId))
                              : std::nullopt)
            << text;
    }
    const int64_t fires = decemberAt(7, 20, 57), late = decemberAt(7, 23, 57) + 30;
    const std::tuple<int64_t, const char*, int64_t, int64_t> spans[] = {
        {fires, "21:00-22:00", decemberAt(7, 21), decemberAt(7, 22)},
        {late, "00:00-00:30", decemberAt(8, 0), decemberAt(8, 0, 30)},       // the next day
        {fires, "23:30-00:30", decemberAt(7, 23, 30), decemberAt(8, 0, 30)},  // across midnight
        {fires, "21:00", fires, fires + 20},  // fewer than four numbers
        {fires, "99999999999:0-0:0", fires + (INT32_MAX - 20) * 3600LL - 57 * 60, 0},
    };
    for (const auto& [t, text, start, end] : spans) {
        const JobRunSpan got = jobRunSpan(t, text);
        EXPECT_EQ(std::pair(start, end ? end : got.end), std::pair(got.start, got.end)) << text;
    }
    EXPECT_EQ(std::tuple(std::string("ドラマ.最終回"), std::string(), std::string("回")),
              std::tuple(jobTitle("tunerec - ドラマ.最終回.job"), jobTitle("tunerec.job"), jobTitle("一二三四五六七八九十回.JOB")));
    EXPECT_TRUE(runsCaptureTool("C:\\ソフト\\TuneRec2.exe") && !runsCaptureTool("C:\\tunerec\\rec.exe"));
}

TEST(JobReservations, EachRunOfTheCaptureToolsJobs) {
    StorePtr store = reservationStore();
    FakeChannelSettings settings;
    settings.remotes["1025"] = 27;
    ChannelTable channels(*store, settings);
    MemoryJobStore jobs;
    const int64_t nine = decemberAt(7, 21);
    ASSERT_EQ(JobStep::none, jobs.createJob(captureJob("映画", "@b101", nine, "21:00-22:00", 2)));
    // Every other day: a record for each run (run times have tests of their own); then jobs that are left out.
    JobDefinition everyOtherDay = captureJob("t0", "@27", nine, "30", 3, JobTriggerType::daily);
    everyOtherDay.trigger.daysInterval = 2;
    // A job of another tool is left out; a job this program saved counts whatever the tool is called.
    JobDefinition other = captureJob("y", "@27", nine, "21:00-22:00"), renamed = captureJob("改名", "@27", nine, "30");
    other.name = "録画 y.job";
    other.application = "C:\\x\\recorder.exe", renamed.application = "C:\\x\\rec.exe";
    for (const JobDefinition& job :
         {everyOtherDay, other, renamed, captureJob("no time", "@27", nine, ""), captureJob("no", "@5", nine, "9")})
        ASSERT_EQ(JobStep::none, jobs.createJob(job));
    ReservationList got;
    readJobReservations(jobs, *store, channels, decemberAt(7, 12), got);
    std::map<std::string, std::vector<ReservationRecord>> byTitle;
    for (const ReservationRecord& r : got) byTitle[r.title].push_back(r);
    EXPECT_EQ(std::tuple(1002, nine, decemberAt(7, 22), 101, 0, 0, 1, 4, std::string("映画"),
                         std::string("tunerec - 映画.job")),
              fieldsOf(byTitle["映画"].at(0)));
    const ReservationRecord& minutes = byTitle["t0"].at(0);  // "30": minutes from the run
    EXPECT_EQ(std::tuple(1003, 1025, nine - 180, nine - 180 + 1800),
              std::tuple(minutes.kind, minutes.serviceId, minutes.start, minutes.end));
    EXPECT_EQ(std::tuple(size_t{5}, size_t{1}, size_t{7}), std::tuple(byTitle["t0"].size(), byTitle["改名"].size(), got.size()));

    // A daily job running now (begun days ago) shows today's run; each batch
    // of five names is taken from its last to its first.
    MemoryJobStore daily;
    for (int i = 1; i <= 7; ++i)
        daily.createJob(captureJob(std::to_string(i), "@b101", decemberAt(4, 21), "21:00-22:00", 1,
                                   JobTriggerType::daily));
    daily.setStatus("tunerec - 1.job", JobStatus::running);
    got.clear();
    readJobReservations(daily, *store, channels, decemberAt(7, 21, 30), got);
    ReservationListBuilder builder(decemberAt(7, 21, 30));
    for (const ReservationRecord& r : got) builder.add(r);
    const ReservationList list = builder.finish();
    std::string order;
    for (const ReservationRecord& r : list) order += r.title;
    EXPECT_EQ("1" + repeat("5432176", 10), order);
    EXPECT_EQ(nine, list[0].start);  // the run in progress
}

TEST(ReservationList, ConflictClassesAndOrder) {
    const int64_t nine = decemberAt(7, 21), half = decemberAt(7, 21, 30), ten = decemberAt(7, 22);
    const int64_t one = decemberAt(8, 1), two = decemberAt(8, 2);
    ReservationListBuilder builder(0);
    for (const ReservationRecord& r :
         {span(0, half, decemberAt(7, 22, 30)), span(0, nine, ten),
          span(1001, nine, ten),  // instance 1 alone: no conflict
          span(1002, ten, decemberAt(7, 23)), span(1002, nine, ten),  // back to back
          span(1, half, half + 60, 0),                                // invalid: never in conflict
          span(1, one, two), span(1003, one, two), span(1003, one + 1800, one + 2400),  // 1 and 1003 apart
          span(0, two, two + 60, 1, "先"), span(0, two, two + 60, 1, "後")})  // equal: arrival order
        builder.add(r);
    std::vector<std::tuple<int, int64_t, int, std::string>> got;
    for (const ReservationRecord& r : builder.finish()) got.emplace_back(r.kind, r.start, r.conflict, r.title);
    EXPECT_EQ((std::vector<std::tuple<int, int64_t, int, std::string>>{
                  {0, nine, 1, ""}, {1001, nine, 0, ""}, {1002, nine, 0, ""}, {1, half, 0, ""}, {0, half, 1, ""},
                  {1002, ten, 0, ""}, {1, one, 0, ""}, {1003, one, 1, ""}, {1003, one + 1800, 1, ""},
                  {0, two, 1, "先"}, {0, two, 1, "後"}}),
              got);
}

TEST(ReservationWatch, RebuildsWhenAFileWasWrittenTheJobsAreNewOrAfterAReset) {
    StorePtr store = reservationStore();
    FakeReservationFiles files;
    FakeChannelSettings channels;
    MemoryJobStore jobs;
    const int64_t now = decemberAt(7, 12);
    const ReservationInputs inputs{store.get(), files, channels, &jobs, now};
    ReservationSources sources{.epgTimer = true, .tvRock = true, .epgTimerFile = "e.txt", .tvRockFile = "t.sch"};
    ReservationWatch watch;
    ReservationList list;
    const auto tick = [&] { return collectReservations(watch, sources, inputs, list); };
    const auto rebuilt = [&] {
        const int result = tick();
        return std::pair(result, list.size());
    };
    const auto written = [&](const char* path, const std::string& bytes, size_t listed) {
        files.write(path, bytes);
        EXPECT_EQ(std::pair(1, listed), rebuilt()) << path;
    };

    EXPECT_EQ(0, tick());  // both files missing: nothing to do
    files.write("e.txt", epgTimerLine(decemberAt(7, 21), 60, "A", 27, 1024, 1));
    const std::string n = std::to_string(now);
    written("t.sch", "1 START " + n + "\n1 END " + n + "\n1 TITLE t\n1 SERVICEID 1024", 2);
    EXPECT_EQ(2, files.reads);
    // A file that cannot be opened for a moment keeps its reservations.
    files.files["e.txt"].status = FileStatus::busy;
    EXPECT_EQ(0, tick());
    written("t.sch", "", 1);
    files.files["e.txt"].status = FileStatus::ok;
    // Too large: nothing. Deleted: empty at the next tick.
    written("e.txt", std::string(kReservationFileLimit + 1, '\n'), 0);
    written("e.txt", epgTimerLine(decemberAt(7, 22), 60, "B", 27, 1024, 2), 1);
    files.files.erase("e.txt");
    EXPECT_EQ(std::pair(1, size_t{0}), rebuilt());

    // Jobs: read when first on and after a reset; a rebuild for them alone reports.
    ASSERT_EQ(JobStep::none, jobs.createJob(captureJob("J", "@b101", decemberAt(7, 21), "21:00-22:00")));
    sources.jobs = true;
    EXPECT_EQ(std::pair(1, size_t{1}), rebuilt());
    jobs.deleteJob("tunerec - J.job");
    EXPECT_EQ(0, tick());
    resetReservationWatch(watch);
    EXPECT_EQ(std::pair(1, size_t{0}), rebuilt());
    // A reset rebuilds at once, also when every source is off by now.
    list.push_back(span(0, now, now));
    sources.epgTimer = sources.tvRock = sources.jobs = false;
    EXPECT_EQ(0, tick());
    resetReservationWatch(watch);
    EXPECT_EQ(std::pair(1, size_t{0}), rebuilt());
}

TEST(ReservationTool, ListsTheCollectedRecords) {
    const std::string dir = testing::TempDir() + "corvane_reservations_" + std::to_string(getpid()) + "/";
    std::filesystem::create_directories(dir);
    ASSERT_TRUE(writeDataFile((dir + "services.dat").c_str(), *reservationStore()));
    const int64_t t = decemberAt(7, 21);
    std::ofstream(dir + "Program.txt", std::ios::binary) << epgTimerLine(t, 60, "A", 27, 1024, 1);
    std::string output;
    if (std::FILE* pipe = popen((CORVANE_TOOLS_DIR "/corvane-epg reservations --now " + std::to_string(t) +
                                 " --epgtimer " + dir + "Program.txt " + dir + "services.dat").c_str(), "r")) {
        for (int c; (c = std::fgetc(pipe)) != EOF;) output += static_cast<char>(c);
        EXPECT_EQ(0, pclose(pipe));
    }
    std::filesystem::remove_all(dir);
    EXPECT_EQ("0 " + std::to_string(t) + " " + std::to_string(t + 3600) + " 1024 1 0 1 0 41\n", output);
}

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

}  // namespace

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
