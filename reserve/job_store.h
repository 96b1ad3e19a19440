// The store of scheduled jobs: the capture tool is recorded with by a job
// that starts it later. On Windows this is the Task Scheduler (version 1);
// elsewhere, and in tests, a store in memory that keeps the same things.
//
// Job names are Shift_JIS texts as the store lists them: they end in ".job",
// and a job created, read or deleted under a name is listed under that name.
// Names compare without regard to ASCII case, as file names do. Every text
// passes whole: a text that cannot be converted fails the operation, nothing
// is ever cut.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

// Trigger types, flags and job flags carry the Task Scheduler's values.
enum class JobTriggerType : int {
    once = 0,
    daily = 1,
    weekly = 2,
    monthlyDate = 3,
    monthlyDayOfWeek = 4,
    onIdle = 5,
    atSystemStart = 6,
    atLogon = 7,
};

inline constexpr uint32_t kJobTriggerHasEndDate = 0x1;
inline constexpr uint32_t kJobTriggerKillAtDurationEnd = 0x2;
inline constexpr uint32_t kJobTriggerDisabled = 0x4;

inline constexpr uint32_t kJobFlagDisabled = 0x4;
inline constexpr uint32_t kJobFlagSystemRequired = 0x1000;
inline constexpr uint32_t kJobFlagRunOnlyIfLoggedOn = 0x2000;

// Days of the week: Sunday 0x01, Monday 0x02, ... Saturday 0x40.
inline constexpr uint16_t kJobSunday = 0x01;
// `whichWeek` of a monthly day-of-week trigger that means the last week.
inline constexpr int kJobLastWeek = 5;

// One trigger: when a job starts. Dates and times are local.
struct JobTrigger {
    JobTriggerType type = JobTriggerType::once;
    int beginYear = 0, beginMonth = 0, beginDay = 0;
    int endYear = 0, endMonth = 0, endDay = 0;  // used with kJobTriggerHasEndDate
    int startHour = 0, startMinute = 0;
    uint32_t minutesDuration = 0;  // repetition: every minutesInterval minutes
    uint32_t minutesInterval = 0;  //   for minutesDuration minutes after each start
    uint32_t flags = 0;            // kJobTrigger...
    int daysInterval = 0;          // daily
    int weeksInterval = 0;         // weekly
    uint16_t daysOfTheWeek = 0;    // weekly and monthly day-of-week
    uint32_t monthDays = 0;        // monthly date: bit n - 1 for day n
    uint16_t months = 0;           // monthly: January 0x001 ... December 0x800
    int whichWeek = 0;             // monthly day-of-week: 1 to 4, or kJobLastWeek
    int randomMinutesInterval = 0;

    bool operator==(const JobTrigger&) const = default;
};

// What a new job holds.
struct JobDefinition {
    std::string name;  // as listed; ".job" is added when missing
    std::string application;
    std::string workingDirectory;
    std::string parameters;
    std::string account;   // empty: no account name
    std::string password;  // empty: no password is given
    uint32_t flags = 0;    // kJobFlag...
    JobTrigger trigger;
};

// A job's state, as the Task Scheduler reports it.
enum class JobStatus : int32_t {
    ready = 0x41300,
    running = 0x41301,
    disabled = 0x41302,
    hasNotRun = 0x41303,
    noMoreRuns = 0x41304,
    notScheduled = 0x41305,
    terminated = 0x41306,
    noValidTriggers = 0x41307,
    eventTrigger = 0x41308,
};

inline constexpr size_t kJobRunTimeLimit = 100;

// Run times asked for: those in [begin, end), at most `limit`, earliest first.
struct RunTimeWindow {
    int64_t begin = 0;  // seconds since 1970
    int64_t end = 0;
    size_t limit = kJobRunTimeLimit;
};

// What is read back from a job. The account is not: the system keeps it
// where a program cannot read it back.
struct JobDetails {
    std::string application;
    std::string workingDirectory;
    std::string parameters;
    uint32_t flags = 0;
    std::vector<JobTrigger> triggers;  // trigger 0 first
    JobStatus status = JobStatus::hasNotRun;
    std::vector<int64_t> runTimes;  // within the window, earliest first
    bool runTimesComputed = false;  // worked out from the triggers: the system gave none
};

// The step an operation failed at. The steps of job creation carry the
// numbers of its failure messages ("tunerecタスク登録 N"); there is no 7.
enum class JobStep : int {
    none = 0,  // success
    createScheduler = 1,
    initializeCom = 2,
    enumerate = 3,
    newWorkItem = 4,  // also: a bad or existing name
    createTrigger = 5,
    setTrigger = 6,
    persistInterface = 8,
    save = 9,
    convertText = 10,    // a text that does not convert between Shift_JIS and UTF-16
    setProperties = 11,  // application, working directory, parameters, account, flags
    activate = 12,       // no job of that name
    readProperties = 13,
    deleteItem = 14,
};

inline constexpr size_t kJobNameBatchSize = 5;

// Job names in the batches the system hands them out, at most 5 each.
using JobNameBatches = std::vector<std::vector<std::string>>;

class JobStore {
public:
    virtual ~JobStore() = default;

    // Every job name. Names the store cannot express in Shift_JIS are left out.
    virtual JobStep listJobNames(JobNameBatches& batches) = 0;

    // Saves a new job with its one trigger. An existing job is never replaced:
    // a name that is taken (in any case) fails at JobStep::newWorkItem.
    virtual JobStep createJob(const JobDefinition& job) = 0;

    // Reads a job back, with its run times in `window`.
    virtual JobStep readJob(const std::string& name, const RunTimeWindow& window, JobDetails& details) = 0;

    virtual JobStep deleteJob(const std::string& name) = 0;
};

// ---------------------------------------------------------------------------
// Names
// ---------------------------------------------------------------------------

inline constexpr const char* kJobNameSuffix = ".job";

// `name` as it is listed: with ".job" at its end.
std::string listedJobName(const std::string& name);

// `name` without a ".job" ending (of any case).
std::string jobBaseName(const std::string& name);

// Equal as job names: ASCII letters compare without case, the bytes of
// double-byte characters exactly.
bool sameJobName(const std::string& a, const std::string& b);

// Whether a base name can name a job: not empty, and no control character,
// '.', or any of \ / : * ? " < > | (file names, and the system's own rule
// against dots). Shift_JIS aware: trail bytes are never taken for these.
bool isValidJobBaseName(const std::string& base);

// Whether `text` passes whole: no zero byte, every lead byte with its trail byte.
bool isWholeShiftJis(const std::string& text);

// All names of `batches`, in order.
std::vector<std::string> allJobNames(const JobNameBatches& batches);

}  // namespace corvane
