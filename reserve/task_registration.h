// Registering a programme with the capture tool `tunerec`: what the task
// registration dialog shows, and what its "登録" does with the dialog's texts.
// A programme far enough ahead becomes a job of the job store that starts the
// tool 3 minutes early; one about to start or running starts the tool at once
// (a daily or weekly job is saved first, for its next run).
//
// Texts are Shift_JIS and pass whole: nothing here cuts a file name, a
// command line or a job's parameters.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reserve/job_store.h"
#include "reserve/message_boxes.h"
#include "reserve/process_start.h"
#include "reserve/reservations.h"
#include "reserve/tunerec_preset.h"
#include "store/clock.h"

namespace corvane {

struct ChannelInfo;
struct GuideEvent;
struct ServiceRecord;

// The tool starts this long before the programme.
inline constexpr int64_t kTaskLeadSeconds = 180;

inline constexpr const char* kTaskCaption = "tunerecタスク登録";
inline constexpr const char* kTaskFailedText = "登録失敗";
inline constexpr const char* kTaskEndedText = "指定された番組は既に終了しています。";
inline constexpr const char* kTaskStartFailedText = "tunerecを起動できませんでした。";
inline constexpr const char* kTaskNoToolText = "tunerecアプリが設定されていません。iEPG設定で指定して下さい。";
inline constexpr const char* kTaskBadFileText =
    "保存ファイル名に使用できない文字が含まれています。\r\n"
    "次の文字は使用できません: \" < > | * ? : (ドライブ名の後以外) と制御文字";
inline constexpr const char* kTaskNoFileText = "保存ファイル名を指定して下さい。";
inline constexpr const char* kTaskBadTimeText = "番組の日時を読み取れませんでした。";
inline constexpr const char* kTaskNoProgrammeText = "登録する番組が選択されていません。";

// The programme to register, with what the dialog shows of its channel.
struct TaskProgramme {
    std::string title;  // Shift_JIS
    int64_t start = 0;
    int64_t end = 0;
    std::string columnName;  // 1005
    int networkClass = 0;
    int remoteNumber = 0;
};

// The programme `event` of a channel: its name and number from the channel
// list, its network class from the store's service.
TaskProgramme taskProgramme(const GuideEvent& event, const ChannelInfo& channel, const ServiceRecord& service);

// ---------------------------------------------------------------------------
// Opening the dialog
// ---------------------------------------------------------------------------

// The file base name a title gives: the eight characters file names refuse
// (: < > \ / * ? |) and '"' become their full-width forms, control bytes
// blanks; trail bytes of double-byte characters are never taken for them.
// An empty title gives the channel name and the start ("NHK 20261207-2100").
std::string defaultTaskBaseName(const TaskProgramme& programme);

// 1006: "@%d" on the ground, "@b%03d" on BS, "@c%03d" on CS, else empty.
std::string channelNumberText(int networkClass, int remoteNumber);
// 1009: "2026/12/07(月)".
std::string taskDateText(int64_t start);
// 1010: "21:00-22:00".
std::string taskTimeText(int64_t start, int64_t end);

// 1060: one line per valid capture-tool reservation that overlaps the
// programme, "[preset name]21:00～22:00 title" ("[ID%d]" when no preset has
// the tool id), lines joined by CR LF; empty when there is none (the field
// is then hidden).
std::string taskConflictText(const ReservationList& reservations, const std::vector<TunerecPreset>& presets,
                             int64_t start, int64_t end);

// 1007: the folder, a '\' after it when it lacks one, the base name, ".ts".
std::string taskFileText(const std::string& folder, const std::string& baseName);

// A file path in its four parts, as the C library's _splitpath divides it
// (Shift_JIS aware: a trail byte 0x5C is no separator).
struct FileParts {
    std::string drive;      // "D:" or empty
    std::string directory;  // "\rec\" or empty
    std::string baseName;
    std::string extension;  // ".ts" or empty
    std::string folder() const { return drive + directory; }
};
FileParts splitFilePath(const std::string& path);

// Where the dialog goes: centred on the cursor, kept 5 pixels inside the
// desktop's right and bottom edges, never at a negative coordinate.
struct DialogOrigin {
    int x = 0, y = 0;
    bool operator==(const DialogOrigin&) const = default;
};
DialogOrigin taskDialogOrigin(int cursorX, int cursorY, int width, int height, int desktopWidth, int desktopHeight);

// ---------------------------------------------------------------------------
// The dialog's state
// ---------------------------------------------------------------------------

enum class TaskSchedule { once = 0, daily = 1, weekly = 2 };

struct TaskOptions {
    bool powerOn = false, powerOff = false, b25 = false, bcsFile = false, sel = false;
    bool logonOnly = false, udp = false;
    bool operator==(const TaskOptions&) const = default;
};

// What the dialog holds when "登録" is pressed.
struct TaskForm {
    std::string channelNumber;  // 1006
    std::string date;           // 1009
    std::string time;           // 1010
    std::string file;           // 1007, as the user left it
    TaskOptions options;
    std::string otherOptions;  // 1068
    TaskSchedule schedule = TaskSchedule::once;
    uint16_t weekdays = 0;  // 1053..1059: Sunday 0x01 ... Saturday 0x40
};

// A preset into the form: 1007 from its folder and `baseName`, the option
// boxes and 1068.
void loadTaskPreset(const TunerecPreset& preset, const std::string& baseName, TaskForm& form);
// The form back into the preset it was loaded from, before another one is
// loaded: the folder part of 1007, the boxes and 1068; the base-name part of
// 1007 becomes `baseName`, which the next preset keeps.
void storeTaskPreset(const TaskForm& form, TunerecPreset& preset, std::string& baseName);

// ---------------------------------------------------------------------------
// Registration
// ---------------------------------------------------------------------------

// Why 1007 cannot be recorded to, or null: '"', '<', '>', '|', '*', '?', a
// control byte or a ':' anywhere but after the drive letter give
// kTaskBadFileText, an empty base name kTaskNoFileText.
const char* taskFileProblem(const std::string& fileText);

// When and how the tool runs, from the texts of 1009 and 1010 at `now`.
struct TaskTiming {
    int64_t start = 0;         // rebuilt from the texts, seconds 0
    int64_t fireTime = 0;      // start - 3 minutes: the job's trigger
    bool startNow = false;     // past the fire time: the tool starts at once
    bool ended = false;        // ... but the programme is over
    std::string timeArgument;  // of the immediate start: 1010 before the start, else the minutes left + 1
};
// Nothing when the texts do not hold a date and a time.
std::optional<TaskTiming> taskTiming(const std::string& dateText, const std::string& timeText, int64_t now);

// "P POFF B25 B SEL", each word empty when its box is not checked.
std::string taskOptionWords(const TaskOptions& options);
// The tool's arguments: the output ("UDP host:port", or 1007 in double
// quotes), 1006, the time text, the option words, "I%d" and 1068.
std::string taskParameters(const TaskForm& form, const TunerecPreset& preset, const std::string& timeText);
// The immediate start: the tool in double quotes, then its arguments.
std::string taskCommandLine(const TaskForm& form, const TunerecPreset& preset, const std::string& timeArgument);

// The base of the job names for a file base name: "tunerec - " and the base
// name with each '.' as "．" (job names may hold no '.').
std::string taskJobNameBase(const std::string& baseName);
// The first of "tunerec - X.job", "tunerec - X(1).job" ... "(99)" that no
// listed name equals in any case; nothing when all are taken.
std::optional<std::string> freeTaskJobName(const std::vector<std::string>& listed, const std::string& baseName);

// Asks for the account a job runs under (dialog 413): true on OK with the
// values entered in `account` and `password`.
class AccountPrompt {
public:
    virtual ~AccountPrompt() = default;
    virtual bool ask(std::string& account, std::string& password) = 0;
};

// The account and flags of a job.
struct TaskAccount {
    std::string account;
    std::string password;  // empty: no password is given
    uint32_t flags = 0;    // kJobFlagSystemRequired or kJobFlagRunOnlyIfLoggedOn
    bool operator==(const TaskAccount&) const = default;
};
// Unless the job runs only while logged on, an account and a password are
// asked for until both are given; they replace `presetAccount` and
// `presetPassword`. Nothing when the prompt is cancelled. An account still
// empty becomes `userName`.
std::optional<TaskAccount> taskAccount(std::string& presetAccount, std::string& presetPassword, bool logonOnly,
                                       const std::string& userName, AccountPrompt& prompt);

// The job's trigger: at the fire time's date, hour and minute; once, daily,
// or weekly on the checked days (Sunday when none is).
JobTrigger taskTrigger(int64_t fireTime, TaskSchedule schedule, uint16_t weekdays);

// The failure box of a step of job creation: "登録失敗", caption
// "tunerecタスク登録 N". Steps without a number of their own (texts that do
// not convert, the job's properties) count as making the job (4).
int taskFailureNumber(JobStep step);

struct TaskRegistrationCalls {
    JobStore& jobs;
    AccountPrompt& accounts;
    ProcessStarter& processes;
    MessageBoxes& messages;
    Clock& clock;
    std::string userName;  // the system's user name, the account of last resort
};

// "登録": saves the job, or starts the tool at once, or both (a daily or
// weekly programme already under way), as the form and `preset` say.
// Everything that goes wrong shows its box and leaves the dialog open (false);
// a cancelled account prompt returns silently. True when a job was saved or
// the tool started: the dialog ends with 1. Account values entered stay in
// `preset` (the dialog's copy) for further tries.
bool registerTask(const TaskForm& form, TunerecPreset& preset, TaskRegistrationCalls& calls);

}  // namespace corvane
