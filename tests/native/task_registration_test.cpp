// The capture tool's task registration: the dialog's texts and what "登録"
// does, over the job store in memory, a recording process starter, scripted
// account answers and a fixed clock.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "reserve/job_parameters.h"
#include "reserve/job_store_memory.h"
#include "reserve/task_registration.h"
#include "store/broadcast_time.h"
#include "support/recording_message_boxes.h"
#include "support/registration_fixture.h"

namespace corvane {
namespace {

using Texts = std::vector<std::string>;

int64_t at(int day, int hour, int minute = 0) { return localTimeOf(2026, 12, day, hour, minute, 0); }

TEST(TaskTexts, BaseNamesChannelsFilePathsConflictsAndThePlaceOnTheDesktop) {
    const std::pair<std::string, std::string> names[] = {
        {"<x>|*\\\"q\": C?/", "＜x＞｜＊￥”q”： C？／"},
        {"a\rb\x1f\x7f表示ソ\x82", "a b  表示ソ"},  // trail bytes 0x5C stay; a lone lead byte at the end goes
        {" ", "NHK： 20261207-0900"},             // no title: the channel and the start
    };
    for (const auto& [title, name] : names)
        EXPECT_EQ(name, defaultTaskBaseName({.title = title, .start = at(7, 9), .columnName = "NHK:"})) << title;
    EXPECT_EQ(Texts({"@c007", ""}), Texts({channelNumberText(7, 7), channelNumberText(5, 7)}));  // @N, @bNNN: the dialogs
    const FileParts parts = splitFilePath("\\\\pc\\録画\\表/a.b.ts");
    EXPECT_EQ(Texts({"", "\\\\pc\\録画\\表/", "a.b", ".ts"}),
              Texts({parts.drive, parts.directory, parts.baseName, parts.extension}));

    std::vector<TunerecPreset> presets(2);
    presets[0].name = "地デジ", presets[0].id = 2, presets[1].name = "later", presets[1].id = 2;
    auto record = [](int kind, int from, int to, int valid, const char* title) {
        return ReservationRecord{kind, at(7, from), at(7, to), 0, 0, 0, valid, 0, title, "", ""};
    };
    const ReservationList reservations = {
        record(1002, 19, 21, 1, "ends at the start"), record(0, 20, 22, 1, "EpgTimer"), record(1002, 20, 23, 1, "A"),
        record(1002, 20, 23, 0, "invalid"),           record(1009, 21, 22, 1, "B"),     record(1002, 22, 23, 1, "after"),
    };
    EXPECT_EQ("[地デジ]20:00～23:00 A\r\n[ID9]21:00～22:00 B",
              taskConflictText(reservations, presets, at(7, 21), at(7, 22)));

    EXPECT_EQ((DialogOrigin{50, 75}), taskDialogOrigin(100, 100, 100, 50, 800, 600));
    EXPECT_EQ((DialogOrigin{695, 545}), taskDialogOrigin(790, 590, 100, 50, 800, 600));
    EXPECT_EQ((DialogOrigin{5, 5}), taskDialogOrigin(10, 10, 100, 50, 800, 600));
}

// "ニュース" on @b101 from 21:00 to 22:00 of Monday 2026-12-07, as the dialog
// shows it, with the calls "登録" makes recorded.
struct Registration : Clock, AccountPrompt {
    MemoryJobStore jobs;
    RecordingMessageBoxes boxes;
    RecordingStarts starts;
    TaskRegistrationCalls calls{jobs, *this, starts, boxes, *this, "system user"};
    TunerecPreset preset;
    TaskForm form;
    int64_t time = at(7, 12);
    std::vector<std::pair<std::string, std::string>> answers, asked;  // a prompt past the answers is cancelled

    Registration() {
        form.channelNumber = "@b101", form.date = "2026/12/07(月)", form.time = "21:00-22:00";
        preset.executablePath = "C:\\tool\\tunerec.exe", preset.saveFolder = "D:\\録画";
        preset.account = "me", preset.password = "pw", preset.id = 2;
        loadTaskPreset(preset, "ニュース", form);
    }
    int64_t now() override { return time; }
    bool ask(std::string& account, std::string& password) override {
        asked.emplace_back(account, password);
        if (asked.size() > answers.size()) return false;
        std::tie(account, password) = answers[asked.size() - 1];
        return true;
    }
    bool run() { return registerTask(form, preset, calls); }
    const JobDefinition* job(const std::string& name = "tunerec - ニュース.job") const { return jobs.find(name); }
    static RecordingMessageBoxes::Box box(const char* text, unsigned icon, std::string caption = kTaskCaption) {
        return {text, caption, message_box::ok | icon};
    }
};

TEST(TaskRegistration, AFutureProgrammeBecomesAJobThreeMinutesEarly) {
    Registration r;
    r.form.schedule = TaskSchedule::weekly, r.form.weekdays = 0x80;  // no day of the week: Sunday
    ASSERT_TRUE(r.run() && r.job());  // its texts: see the dialog's test
    const JobTrigger& t = r.job()->trigger;
    EXPECT_EQ(std::vector({2026, 12, 7, 20, 57, 2, 1, 1, 0x1000}),
              std::vector({t.beginYear, t.beginMonth, t.beginDay, t.startHour, t.startMinute, int(t.type),
                           t.weeksInterval, int(t.daysOfTheWeek), int(r.job()->flags)}));
    EXPECT_TRUE(r.starts.lines.empty() && r.boxes.shown.empty() && r.asked.empty());
    // Reservation collection reads the job back as the same programme.
    const std::optional<JobParameters> read = parseJobParameters(r.job()->parameters);
    ASSERT_TRUE(read);
    EXPECT_EQ(std::tuple(4, 101, "21:00-22:00", "ニュース", 2, "ニュース"),
              std::tuple(read->networkClass, read->channelNumber, read->timeText, read->outputName, read->instanceId,
                         jobTitle(r.job()->name)));

    // Midnight fires at 23:57 the day before; UDP, every word off and the extra options.
    Registration m;
    m.form.date = "2026/12/08(火)", m.form.time = "00:00-00:30", m.form.options = {.udp = true},
    m.form.otherOptions = "-x", m.form.schedule = TaskSchedule::daily;
    ASSERT_TRUE(m.run());
    EXPECT_EQ("UDP 127.0.0.1:1234 @b101 00:00-00:30      I2 -x", m.job()->parameters);
    const JobTrigger& d = m.job()->trigger;
    EXPECT_EQ(std::tuple(7, 23, 57, 1), std::tuple(d.beginDay, d.startHour, d.startMinute, int(d.daysInterval)));
}

TEST(TaskRegistration, AProgrammeAboutToStartOrRunningStartsTheToolAtOnce) {
    const struct {
        int64_t now;
        std::string time;
        TaskSchedule schedule;
        std::string timeArgument;  // empty: over, nothing happens
    } cases[] = {
        {at(7, 20, 58), "21:00-22:00", TaskSchedule::once, "21:00-22:00"},
        {at(8, 0, 10), "23:30-00:30", TaskSchedule::daily, "21"},
        {at(7, 22, 0), "21:00-22:00", TaskSchedule::daily, ""},
    };
    for (const auto& c : cases) {
        Registration r;
        r.time = c.now, r.form.time = c.time, r.form.schedule = c.schedule, r.form.options = {};
        EXPECT_EQ(!c.timeArgument.empty(), r.run()) << c.timeArgument;
        if (c.timeArgument.empty()) {
            EXPECT_EQ(std::vector{r.box(kTaskEndedText, message_box::iconWarning)}, r.boxes.shown);
            EXPECT_TRUE(r.starts.lines.empty() && !r.job());
            continue;
        }
        EXPECT_EQ(Texts{"\"C:\\tool\\tunerec.exe\" \"D:\\録画\\ニュース.ts\" @b101 " + c.timeArgument + "      I2 "},
                  r.starts.lines);
        EXPECT_EQ(c.schedule != TaskSchedule::once, r.job() != nullptr);  // kept for the next run
    }
}

TEST(TaskRegistration, FailuresShowTheirBoxAndKeepTheDialogOpen) {
    Registration r;
    r.jobs.failAt(JobStep::convertText);  // counts as making the job
    EXPECT_FALSE(r.run());
    r.jobs.failAt(JobStep::none);
    for (const char* file : {"D:\\a\"b.ts", "D:\\a:b.ts", "D:\\a\tb.ts", "D:\\録画\\.ts"})
        EXPECT_FALSE((r.form.file = file, r.run())) << file;
    r.form.file = "D:\\ポ.ts";  // 0x837C: its trail byte is '|'
    r.preset.executablePath = "";
    EXPECT_FALSE(r.run());
    // An immediate start that fails says so; with a daily job it was registered all the same.
    r.time = at(7, 21, 10);
    r.preset.executablePath = "C:\\tunerec.exe", r.starts.succeed = false, r.form.schedule = TaskSchedule::daily;
    EXPECT_TRUE(r.run() && r.jobs.find("tunerec - ポ.job"));
    const RecordingMessageBoxes::Box bad = r.box(kTaskBadFileText, message_box::iconWarning);
    EXPECT_EQ(std::vector({r.box(kTaskFailedText, message_box::iconError, "tunerecタスク登録 4"), bad, bad, bad,
                           r.box(kTaskNoFileText, message_box::iconWarning),
                           r.box(kTaskNoToolText, message_box::iconWarning),
                           r.box(kTaskStartFailedText, message_box::iconError)}),
              r.boxes.shown);
}

TEST(TaskRegistration, JobNamesNeverMeetATakenNameInAnyCase) {
    Registration r;
    Texts taken = {"tunerec - X.job", "TUNEREC - x(1).job", "tunerec - Y.job"};
    for (int k = 1; k < 100; ++k) taken.push_back("tunerec - Y(" + std::to_string(k) + ").job");
    for (const std::string& name : taken)
        ASSERT_EQ(JobStep::none, r.jobs.createJob({name, "t.exe", "", "", "", "", 0, {}}));
    for (const auto& [file, name] : {std::pair("D:\\X.ts", "tunerec - X(2).job"), {"D:\\v1.5.ts", "tunerec - v1．5.job"}})
        EXPECT_TRUE((r.form.file = file, r.run()) && r.job(name)) << name;
    r.form.file = "D:\\y.ts";
    EXPECT_FALSE(r.run());
    EXPECT_EQ(std::vector{r.box(kTaskFailedText, message_box::iconError, "tunerecタスク登録 4")}, r.boxes.shown);
}

TEST(TaskRegistration, TheAccountIsAskedForUntilBothAreGiven) {
    Registration r;
    r.preset.account = "", r.answers = {{"", "pw"}, {"ann", ""}};  // then cancelled
    EXPECT_FALSE(r.run());
    EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{"", "pw"}, {"", "pw"}, {"ann", ""}}), r.asked);
    EXPECT_TRUE(r.boxes.shown.empty() && !r.job());
    // Only while logged on: no question, no password, and the system's user when there is no account.
    std::string account, password = "pw";
    EXPECT_EQ((TaskAccount{"system user", "", 0x2000}), taskAccount(account, password, true, "system user", r));
    EXPECT_EQ(3u, r.asked.size());
}

}  // namespace
}  // namespace corvane
