// The reservation sources read back (EpgTimer's file, TvRock's file, the
// capture tool's job parameters), the list they make, and the file watch.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>
#include <vector>

#include "reserve/epgtimer_file.h"
#include "reserve/job_parameters.h"
#include "reserve/job_reservations.h"
#include "reserve/job_store_memory.h"
#include "reserve/reservation_list.h"
#include "reserve/reservation_watch.h"
#include "reserve/tvrock_file.h"
#include "store/data_file.h"
#include "support/reservation_fixture.h"
#include "support/store_sections.h"

using namespace corvane;

namespace {

ReservationList epgTimer(const std::string& file, const EpgStore& store) {
    ReservationList out;
    readEpgTimerReservations(file, store, out);
    return out;
}

ReservationList tvRock(const std::string& file, const EpgStore& store, FakeChannelSettings& channels) {
    ReservationList out;
    ChannelTable table(store, channels);
    readTvRockReservations(file, store, table, out);
    return out;
}

ReservationRecord span(int kind, int64_t start, int64_t end, int valid = 1) {
    ReservationRecord r;
    r.kind = kind, r.start = start, r.end = end, r.valid = valid;
    return r;
}

}  // namespace

TEST(EpgTimerFile, FieldsNetworksAndEndsBeforeNow) {
    StorePtr store = reservationStore();
    const int64_t nine = decemberAt(7, 21);
    const std::string file = epgTimerLine(nine, 60, "ニュース", 27, 1024, 0x1234) +          // terrestrial
                             epgTimerLine(nine, 90, "映画", 11727 * 65536 + 0x4010, 101, 7) +  // BS
                             epgTimerLine(nine, 30, "CS", 70000, 101, 8) +                     // 70000 & 0xFFFF < 0x4000: CS
                             epgTimerLine(nine, 30, "境", 65536, 1025, 9) +                   // 65536 is terrestrial
                             epgTimerLine(nine, 30, "CS7", 70000, 202, 10) +                  // class 7 counts as CS
                             epgTimerLine(nine, 30, "無い", 70000, 1024, 11);                 // no CS 1024: dropped
    const ReservationList records = epgTimer(file, *store);
    ASSERT_EQ(5u, records.size());
    EXPECT_EQ(std::tuple(0, nine, nine + 3600, 1024, 0x1234, 0, 1, 0, std::string("ニュース"), std::string()),
              fieldsOf(records[0]));
    std::vector<int> kinds;
    for (const ReservationRecord& r : records) kinds.push_back(r.networkKind);
    EXPECT_EQ((std::vector<int>{0, 4, 6, 0, 7}), kinds);

    // A reservation ending exactly now is listed, one that ended before is not.
    for (auto [now, listed] : {std::pair{nine + 3600, 1u}, {nine + 3601, 0u}}) {
        ReservationListBuilder builder(now);
        builder.add(records[0]);
        EXPECT_EQ(listed, builder.finish().size());
    }
}

TEST(EpgTimerFile, EveryPrefixGivesWholeRecordsOnly) {
    StorePtr store = reservationStore();
    const int64_t t = decemberAt(8, 23, 45);
    const std::string file = epgTimerLine(t, 30, "一", 27, 1024, 101) + epgTimerLine(t, 45, "二番目", 27, 1025, 2) +
                             epgTimerLine(t + 60, 5, "3", 27, 1024, 65535);
    const ReservationList full = epgTimer(file, *store);
    ASSERT_EQ(3u, full.size());
    for (size_t n = 0; n <= file.size(); ++n) {
        // An exact copy, so that ASan sees any read past the cut.
        const std::string prefix = file.substr(0, n);
        const ReservationList got = epgTimer(prefix, *store);
        size_t wholeLines = 0;
        for (size_t i = 0; i < n; ++i) wholeLines += prefix[i] == '\n';
        ASSERT_TRUE(got.size() == wholeLines || got.size() == wholeLines + 1) << n;
        for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(fieldsOf(full[i]), fieldsOf(got[i])) << n;
    }
}

TEST(EpgTimerFile, MalformedLinesNeverReadPastTheirLine) {
    StorePtr store = reservationStore();
    const std::string good = epgTimerLine(decemberAt(7, 21), 60, "T", 27, 1024, 1);
    const std::vector<std::pair<std::string, size_t>> cases = {
        {"2026/12/07\n" + good, 1},                                       // short line dropped
        {"2026/12/07\t21:00\t01:00\tT\tS\t27\t1024\n", 0},                // no event id field
        {"2026/12/07\t21:00\t01:00\tT\tS\t27\t1024\t\n", 1},              // empty event id: 0
        {"99999999999999999999/12/07\t21:00\t01:00\tT\tS\t27\t1024\t1\t\n", 0},  // year does not convert
        {"2026/12/07\t21:00\t99999999999999\tT\tS\t27\t99999999999\t1\t\n", 0},  // no such service
        {"2026/13/32\t25:61\t-1:-5\tT\tS\t-99999999999999\t1024\t99999999999\t\n", 1},  // carried, saturated
        {std::string(3, '\0') + std::string(28, '\t'), 0},
    };
    for (const auto& [file, count] : cases) {
        const ReservationList got = epgTimer(file, *store);
        ASSERT_EQ(count, got.size()) << file;
        if (file.starts_with("2026/13")) {
            const int64_t carried = localTimeOf(2027, 2, 2, 2, 1, 0);  // 13/32 25:61
            EXPECT_EQ(std::tuple(carried, carried - 3600 - 300, INT32_MAX),
                      std::tuple(got[0].start, got[0].end, got[0].eventId));
        }
    }
}

TEST(TvRockFile, EntriesStationsAndLineEnds) {
    StorePtr store = reservationStore();
    FakeChannelSettings channels;
    channels.stations["101:4"] = "ＢＳ局";
    const std::string file =
        "0 START 1796000000\n0 END 1796003600\n"                                        // flags 3: dropped
        "1 START 1796000000\n1 END 1796003600\n1 TITLE 映画 後半\n1 SERVICEID 1024\n"   // 7: title to the blank
        "2 start 1796000000\r\n2 End 1796003600\r\n2 TITLE タイトル\r\n2 STATION ＢＳ局\r\n2 VALIDATE 1\r\n"
        "3 END 1796003600\n3 TITLE x\n3 SERVICEID 5\n3 VALIDATE 1\n3 EVENTID 9\n"      // no START: dropped
        "4 TITLE 無名\n4 START 1796000000\n4 END 1796003600\n4 STATION 無い局\n"       // no service: dropped
        "5 START 4102444800\n5 END 4102448400\n5TITLE\n5 TITLE\n5 TITLE y\n5 SERVICEID 1025\n5 EVENTID 7";
    const ReservationList got = tvRock(file, *store, channels);
    ASSERT_EQ(3u, got.size());
    EXPECT_EQ(std::tuple(1, 1796000000, 1796003600, 1024, 0, 0, 0, 0, std::string("映画"), std::string()),
              fieldsOf(got[0]));
    // STATION matched through the stored station name, its class known.
    EXPECT_EQ(std::tuple(101, 1, 4, std::string("タイトル")),
              std::tuple(got[1].serviceId, got[1].valid, int(got[1].networkKind), got[1].title));
    // Times beyond 2^31 and a last entry without LF.
    EXPECT_EQ(std::tuple(4102444800, 4102448400, 1025, 7, std::string("y")),
              std::tuple(got[2].start, got[2].end, got[2].serviceId, got[2].eventId, got[2].title));
    EXPECT_EQ(5, channels.stationReads);  // the names once, for the first STATION
}

TEST(JobParameters, TokensAndTimeTexts) {
    struct Case {
        const char* text;
        bool parsed;
        int networkClass;
        int64_t number;
        const char* time;
        const char* output;
        int id;
    };
    const Case cases[] = {
        {"\"C:\\rec\\a b.ts\" @b101 21:00-22:00 P POFF B25 B SEL I3 ", true, 4, 101, "21:00-22:00", "a b", 3},
        {"\"D:\\ソ\\x.ts\" @27 21:00-22:00     I1 ", true, 0, 27, "21:00-22:00", "x", 1},
        {"UDP 127.0.0.1:1234 @C055 90 p poff b25 b sel i2 r5 VLC:x stop suspend", true, 6, 55, "90", "127.0.0", 2},
        {"out @b101 21:00-22:00 9:00 later.ts", true, 4, 101, "21:00-22:00", "later", 0},  // first time counts
        {"out.ts @b1 21:00-22:00", false, 0, 0, "", "", 0},   // @b1: too short for a number
        {"out.ts @bxyz 21:00", false, 0, 0, "", "", 0},        // no digits
        {"out.ts @ 21:00", false, 0, 0, "", "", 0},
        {"out.ts @27 I1", false, 0, 0, "", "", 0},              // no time text
        {"@27 21:00 I12", true, 0, 27, "21:00", "I12", 0},      // I and two digits: an output
        {"", false, 0, 0, "", "", 0},
    };
    for (const Case& c : cases) {
        const std::optional<JobParameters> p = parseJobParameters(c.text);
        ASSERT_EQ(c.parsed, p.has_value()) << c.text;
        if (!p) continue;
        EXPECT_EQ(std::tuple(c.networkClass, c.number, std::string(c.time), std::string(c.output), c.id),
                  std::tuple(p->networkClass, p->channelNumber, p->timeText, p->outputName, p->instanceId))
            << c.text;
    }

    const int64_t fires = decemberAt(7, 20, 57);
    const int64_t late = decemberAt(7, 23, 57) + 30;
    const std::tuple<int64_t, const char*, int64_t, int64_t> spans[] = {
        {fires, "21:00-22:00", decemberAt(7, 21), decemberAt(7, 22)},
        {late, "00:00-00:30", decemberAt(8, 0), decemberAt(8, 0, 30)},       // the next day
        {fires, "23:30-00:30", decemberAt(7, 23, 30), decemberAt(8, 0, 30)},  // across midnight
        {fires, "30", fires, fires + 1800},
        {fires, "21:00", fires, fires + 20},  // fewer than four numbers
        {fires, "21-30", fires, fires + 20},
        {fires, "99999999999:0-0:0", fires + (INT32_MAX - 20) * 3600LL - 57 * 60, 0},
    };
    for (const auto& [t, text, start, end] : spans) {
        const JobRunSpan got = jobRunSpan(t, text);
        EXPECT_EQ(start, got.start) << text;
        if (end != 0) {
            EXPECT_EQ(end, got.end) << text;
        }
    }

    EXPECT_EQ(std::tuple(std::string("ドラマ.最終回"), std::string(), std::string("")),
              std::tuple(jobTitle("tunerec - ドラマ.最終回.job"), jobTitle("tunerec.job"), jobTitle("tunerec - ")));
    EXPECT_EQ(std::string("回"), jobTitle("一二三四五六七八九十回.JOB"));
    EXPECT_TRUE(runsCaptureTool("C:\\ソフト\\TuneRec2.exe") && !runsCaptureTool("C:\\tunerec\\rec.exe"));
}

TEST(JobReservations, JobsOfTheCaptureToolByTheirRuns) {
    StorePtr store = reservationStore();
    FakeChannelSettings settings;
    settings.remotes["1025"] = 27;
    MemoryJobStore jobs;
    const int64_t nine = decemberAt(7, 21), now = decemberAt(7, 12);
    ASSERT_EQ(JobStep::none, jobs.createJob(captureJob("映画", "@b101", nine, "21:00-22:00", 2)));
    JobTrigger everyOtherDay = captureJob("x", "@27", nine, "").trigger;
    everyOtherDay.type = JobTriggerType::daily, everyOtherDay.daysInterval = 2;
    JobTrigger weekly = everyOtherDay;
    weekly.type = JobTriggerType::weekly, weekly.weeksInterval = 1, weekly.daysOfTheWeek = 0x22;  // Monday, Friday
    JobTrigger ending = everyOtherDay;
    ending.daysInterval = 1, ending.flags = kJobTriggerHasEndDate, ending.endYear = 2026, ending.endMonth = 12;
    ending.endDay = 9;
    JobTrigger disabled = ending;
    disabled.flags |= kJobTriggerDisabled;
    const std::pair<JobTrigger, size_t> triggers[] = {{everyOtherDay, 5}, {weekly, 3}, {ending, 3}, {disabled, 0}};
    for (size_t i = 0; i < std::size(triggers); ++i) {
        JobDefinition job = captureJob("t" + std::to_string(i), "@27", nine, "30", 3);
        job.trigger = triggers[i].first;
        ASSERT_EQ(JobStep::none, jobs.createJob(job));
    }
    JobDefinition other = captureJob("y", "@27", nine, "21:00-22:00");
    other.name = "other.job", other.application = "C:\\x\\recorder.exe";
    for (const JobDefinition& job : {other, captureJob("no time", "@27", nine, ""), captureJob("no channel", "@5", nine, "30")})
        ASSERT_EQ(JobStep::none, jobs.createJob(job));

    ChannelTable channels(*store, settings);
    ReservationList got;
    readJobReservations(jobs, *store, channels, now, got);
    ASSERT_EQ(12u, got.size());
    std::map<std::string, std::vector<const ReservationRecord*>> byTitle;
    for (const ReservationRecord& r : got) byTitle[r.title].push_back(&r);
    ASSERT_EQ(1u, byTitle["映画"].size());
    EXPECT_EQ(std::tuple(1002, nine, decemberAt(7, 22), 101, 0, 0, 1, 4, std::string("映画"),
                         std::string("tunerec - 映画.job")),
              fieldsOf(*byTitle["映画"][0]));
    for (size_t i = 0; i < std::size(triggers); ++i)
        EXPECT_EQ(triggers[i].second, byTitle["t" + std::to_string(i)].size()) << i;
    const ReservationRecord& minutes = *byTitle["t0"][0];
    EXPECT_EQ(std::tuple(1003, 1025, nine - 180, nine - 180 + 1800),
              std::tuple(minutes.kind, minutes.serviceId, minutes.start, minutes.end));

    // A daily job running now (begun days ago) shows today's run; the names
    // of each batch of five are taken from the last to the first.
    MemoryJobStore daily;
    for (int i = 1; i <= 7; ++i) {
        JobDefinition job = captureJob(std::to_string(i), "@b101", decemberAt(4, 21), "21:00-22:00", 1,
                                       JobTriggerType::daily);
        ASSERT_EQ(JobStep::none, daily.createJob(job));
    }
    daily.setStatus("tunerec - 1.job", JobStatus::running);
    got.clear();
    readJobReservations(daily, *store, channels, decemberAt(7, 21, 30), got);
    ReservationListBuilder builder(decemberAt(7, 21, 30));
    for (const ReservationRecord& r : got) builder.add(r);
    const ReservationList list = builder.finish();
    std::string order;
    for (const ReservationRecord& r : list) order += r.title;
    EXPECT_EQ("1" + repeat("5432176", 10), order);
    EXPECT_EQ(nine, list[0].start);
}

TEST(ReservationList, ConflictClassesAndOrder) {
    const int64_t nine = decemberAt(7, 21), half = decemberAt(7, 21, 30), ten = decemberAt(7, 22);
    ReservationListBuilder builder(0);
    builder.add(span(kReservationEpgTimer, half, decemberAt(7, 22, 30)));
    builder.add(span(kReservationEpgTimer, nine, ten));
    builder.add(span(kReservationJobBase + 1, nine, ten));            // instance 1 alone: no conflict
    builder.add(span(kReservationJobBase + 2, ten, decemberAt(7, 23)));  // back to back with instance 2
    builder.add(span(kReservationJobBase + 2, nine, ten));
    builder.add(span(kReservationTvRock, half, half + 60, 0));         // invalid: never in conflict
    builder.add(span(kReservationTvRock, decemberAt(8, 1), decemberAt(8, 2)));
    builder.add(span(kReservationJobBase + 3, decemberAt(8, 1), decemberAt(8, 2)));  // kinds 1 and 1003 apart
    builder.add(span(kReservationJobBase + 3, decemberAt(8, 1, 30), decemberAt(8, 1, 40)));
    ReservationRecord first = span(kReservationEpgTimer, decemberAt(9, 1), decemberAt(9, 2));
    first.title = "先";
    ReservationRecord second = first;
    second.title = "後";
    builder.add(first), builder.add(second);  // equal spans keep arrival order, and conflict

    std::vector<std::tuple<int, int64_t, int, std::string>> got;
    for (const ReservationRecord& r : builder.finish()) got.emplace_back(r.kind, r.start, r.conflict, r.title);
    const std::vector<std::tuple<int, int64_t, int, std::string>> expected = {
        {0, nine, 1, ""},           {1001, nine, 0, ""}, {1002, nine, 0, ""}, {1, half, 0, ""},
        {0, half, 1, ""},           {1002, ten, 0, ""},  {1, decemberAt(8, 1), 0, ""},
        {1003, decemberAt(8, 1), 1, ""}, {1003, decemberAt(8, 1, 30), 1, ""},
        {0, decemberAt(9, 1), 1, "先"}, {0, decemberAt(9, 1), 1, "後"},
    };
    EXPECT_EQ(expected, got);
}

TEST(ReservationWatch, RereadsOnlyWhatWasWritten) {
    StorePtr store = reservationStore();
    FakeReservationFiles files;
    FakeChannelSettings channels;
    const int64_t now = decemberAt(7, 12);
    MemoryJobStore jobs;
    const ReservationInputs inputs{store.get(), files, channels, &jobs, now};
    ReservationSources sources{.epgTimer = true, .tvRock = true, .epgTimerFile = "e.txt", .tvRockFile = "t.sch"};
    ReservationWatch watch;
    ReservationList list;
    const auto tick = [&] { return collectReservations(watch, sources, inputs, list); };

    EXPECT_EQ(0, tick());  // both files missing: nothing to do
    files.write("e.txt", epgTimerLine(decemberAt(7, 21), 60, "A", 27, 1024, 1));
    files.write("t.sch", "1 START " + std::to_string(now) + "\n1 END " + std::to_string(now + 60) +
                             "\n1 TITLE t\n1 SERVICEID 1024\n");
    EXPECT_EQ(1, tick());
    EXPECT_EQ(2u, list.size());
    EXPECT_EQ(2, files.reads);  // every enabled source is read again

    // Idle ticks and changes of the other two times read nothing.
    files.files["e.txt"].stamp.accessed += 5;
    files.files["t.sch"].stamp.created += 5;
    files.stamps = files.reads = 0;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(0, tick());
    EXPECT_EQ(0, files.reads);
    EXPECT_EQ(6, files.stamps);

    // A file that cannot be opened for a moment keeps its reservations.
    files.files["e.txt"].status = FileStatus::busy;
    EXPECT_EQ(0, tick());
    files.write("t.sch", "");
    EXPECT_EQ(1, tick());
    EXPECT_EQ(std::tuple(1u, 0), std::tuple(list.size(), list[0].kind));
    files.files["e.txt"].status = FileStatus::ok;
    files.write("e.txt", epgTimerLine(decemberAt(7, 22), 60, "B", 27, 1024, 2) + std::string(40, 'x'));
    EXPECT_EQ(1, tick());
    EXPECT_EQ("B", list.at(0).title);

    // Too large: nothing. Deleted: empty at the next tick.
    EXPECT_TRUE(files.readAll("e.txt", 10, files.files["x"].bytes) == FileStatus::tooLarge);
    files.files.erase("e.txt");
    EXPECT_EQ(1, tick());
    EXPECT_TRUE(list.empty());

    // Jobs are read at the first tick they are on and after a reset; a
    // rebuild for them alone reports like any other.
    ASSERT_EQ(JobStep::none, jobs.createJob(captureJob("J", "@b101", decemberAt(7, 21), "21:00-22:00")));
    sources.jobs = true;
    EXPECT_EQ(1, tick());
    EXPECT_EQ(std::tuple(1u, 1001), std::tuple(list.size(), list[0].kind));
    ASSERT_EQ(JobStep::none, jobs.deleteJob("tunerec - J.job"));
    EXPECT_EQ(0, tick());
    resetReservationWatch(watch);
    EXPECT_EQ(1, tick());
    EXPECT_TRUE(list.empty());

    // A reset rebuilds at once, even when every source is off by now.
    list.push_back(span(0, now, now));
    sources.epgTimer = sources.tvRock = sources.jobs = false;
    EXPECT_EQ(0, tick());
    resetReservationWatch(watch);
    EXPECT_EQ(1, tick());
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(0, tick());
}

TEST(ReservationTool, ListsTheCollectedRecordsInOrder) {
    const std::string dir = testing::TempDir() + "corvane_reservations_" + std::to_string(getpid()) + "/";
    std::filesystem::create_directories(dir);
    ASSERT_TRUE(writeDataFile((dir + "services.dat").c_str(), *reservationStore()));
    const int64_t nine = decemberAt(7, 21);
    std::ofstream(dir + "Program.txt", std::ios::binary)
        << epgTimerLine(nine, 60, "A", 27, 1024, 1) + epgTimerLine(nine + 1800, 60, "", 11727 * 65536 + 0x4010, 101, 2) +
               epgTimerLine(nine - 7200, 60, "ended", 27, 1024, 3);
    std::ofstream(dir + "tvrock.sch", std::ios::binary)
        << "7 START " + std::to_string(nine + 3600) + "\r\n7 END " + std::to_string(nine + 7200) +
               "\r\n7 TITLE ｂ\r\n7 STATION 教育\r\n7 VALIDATE 0\r\n";
    std::ofstream(dir + "corvane.ini", std::ios::binary) << "[iEPGStationName]\r\n1025=教育\r\n";
    std::string output;
    const std::string command = CORVANE_TOOLS_DIR "/corvane-epg reservations --now " + std::to_string(nine - 3599) +
                                " --epgtimer " + dir + "Program.txt --tvrock " + dir + "tvrock.sch --ini " + dir +
                                "corvane.ini " + dir + "services.dat";
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        for (int c; (c = std::fgetc(pipe)) != EOF;) output += static_cast<char>(c);
        EXPECT_EQ(0, pclose(pipe));
    }
    std::filesystem::remove_all(dir);
    const std::string t = std::to_string(nine);
    EXPECT_EQ("0 " + t + " " + std::to_string(nine + 3600) + " 1024 1 1 1 0 41\n" +
                  "0 " + std::to_string(nine + 1800) + " " + std::to_string(nine + 5400) + " 101 2 1 1 4 -\n" +
                  "1 " + std::to_string(nine + 3600) + " " + std::to_string(nine + 7200) + " 1025 0 0 0 0 8282\n",
              output);
}
