#include "reserve/task_registration.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "guide/guide_event.h"
#include "store/broadcast_time.h"
#include "store/epg_store.h"
#include "store/shift_jis.h"

namespace corvane {

namespace {

constexpr const char* kJobNamePrefix = "tunerec - ";
constexpr int kJobNameCandidates = 100;

bool leadByteAt(const std::string& text, size_t i) { return isShiftJisLeadByte(static_cast<unsigned char>(text[i])); }

bool isControlByte(unsigned char c) { return c < 0x20 || c == 0x7F; }

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// The file-name characters a title may not carry, with their full-width forms.
const char* fullWidthFormOf(char c) {
    switch (c) {
        case ':': return "：";
        case '<': return "＜";
        case '>': return "＞";
        case '\\': return "￥";
        case '/': return "／";
        case '*': return "＊";
        case '?': return "？";
        case '|': return "｜";
        case '"': return "”";
        default: return nullptr;
    }
}

std::string mendedFileName(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (isShiftJisLeadByte(c)) {
            if (i + 1 < text.size()) out.append(text, i, 2);  // a lone lead byte at the end is dropped
            ++i;
        } else if (const char* wide = fullWidthFormOf(text[i])) {
            out += wide;
        } else {
            out += c == 0 || isControlByte(c) ? ' ' : text[i];
        }
    }
    return out;
}

std::string format(const char* pattern, int a, int b, int c = 0, int d = 0) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, a, b, c, d);
    return text;
}

std::string clockText(const LocalTime& t) { return format("%02d:%02d", t.hour, t.minute); }

// The decimal number at `offset`, as the C library's atoi reads it; nothing
// without a digit.
std::optional<int> numberAt(const std::string& text, size_t offset) {
    if (offset >= text.size()) return std::nullopt;
    size_t i = offset;
    while (i < text.size() && text[i] == ' ') ++i;
    long value = 0;
    size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 6; ++i, ++digits)
        value = value * 10 + (text[i] - '0');
    if (digits == 0) return std::nullopt;
    return static_cast<int>(value);
}

// The number after the first `mark` from `from` on.
std::optional<int> numberAfter(const std::string& text, char mark, size_t from = 0) {
    const size_t at = text.find(mark, from);
    return at == std::string::npos ? std::nullopt : numberAt(text, at + 1);
}

// Local time of a date and a clock time that exist; nothing otherwise.
std::optional<int64_t> localClock(int year, int month, int day, std::optional<int> hour, std::optional<int> minute) {
    if (!hour || !minute || *hour > 23 || *minute > 59 || year < 1970 || month < 1 || month > 12 || day < 1)
        return std::nullopt;
    const int64_t t = localTimeOf(year, month, day, *hour, *minute, 0);
    if (t == -1 || toLocalTime(t).day != day) return std::nullopt;  // 2026/02/30 does not exist
    return t;
}

void showFailure(MessageBoxes& messages, JobStep step) {
    const std::string caption = std::string(kTaskCaption) + " " + std::to_string(taskFailureNumber(step));
    messages.show(kTaskFailedText, caption, message_box::ok | message_box::iconError);
}

void warn(MessageBoxes& messages, const char* text) {
    messages.show(text, kTaskCaption, message_box::ok | message_box::iconWarning);
}

// Saves the job of `form`; false when it was not saved (its box was shown,
// or the account prompt was cancelled).
bool saveTaskJob(const TaskForm& form, TunerecPreset& preset, const TaskTiming& timing, TaskRegistrationCalls& calls) {
    if (preset.executablePath.empty()) {
        warn(calls.messages, kTaskNoToolText);
        return false;
    }
    JobNameBatches batches;
    if (const JobStep step = calls.jobs.listJobNames(batches); step != JobStep::none) {
        showFailure(calls.messages, step);
        return false;
    }
    const FileParts file = splitFilePath(form.file);
    const std::optional<std::string> name = freeTaskJobName(allJobNames(batches), file.baseName);
    if (!name) {
        showFailure(calls.messages, JobStep::newWorkItem);
        return false;
    }
    const std::optional<TaskAccount> account =
        taskAccount(preset.account, preset.password, form.options.logonOnly, calls.userName, calls.accounts);
    if (!account) return false;
    const JobDefinition job{*name,
                            preset.executablePath,
                            file.folder(),
                            taskParameters(form, preset, form.time),
                            account->account,
                            account->password,
                            account->flags,
                            taskTrigger(timing.fireTime, form.schedule, form.weekdays)};
    if (const JobStep step = calls.jobs.createJob(job); step != JobStep::none) {
        showFailure(calls.messages, step);
        return false;
    }
    return true;
}

}  // namespace

TaskProgramme taskProgramme(const GuideEvent& event, const ChannelInfo& channel, const ServiceRecord& service) {
    return {event.title, event.start, event.end, channel.ruleName, service.networkClass(), channel.remoteNumber};
}

std::string defaultTaskBaseName(const TaskProgramme& programme) {
    std::string name = mendedFileName(programme.title);
    if (name.find_first_not_of(' ') != std::string::npos) return name;
    const LocalTime t = toLocalTime(programme.start);
    const std::string when = format("%04d%02d%02d", t.year, t.month, t.day) + format("-%02d%02d", t.hour, t.minute);
    return programme.columnName.empty() ? when : mendedFileName(programme.columnName) + " " + when;
}

std::string channelNumberText(int networkClass, int remoteNumber) {
    switch (networkClass) {
        case 0: return format("@%d", remoteNumber, 0);
        case 4: return format("@b%03d", remoteNumber, 0);
        case 6:
        case 7: return format("@c%03d", remoteNumber, 0);
        default: return "";
    }
}

std::string taskDateText(int64_t start) {
    const LocalTime t = toLocalTime(start);
    return format("%04d/%02d/%02d", t.year, t.month, t.day) + "(" + weekdayName(t.weekday) + ")";
}

std::string taskTimeText(int64_t start, int64_t end) {
    return clockText(toLocalTime(start)) + "-" + clockText(toLocalTime(end));
}

std::string taskConflictText(const ReservationList& reservations, const std::vector<TunerecPreset>& presets,
                             int64_t start, int64_t end) {
    std::string text;
    for (const ReservationRecord& r : reservations) {
        if (r.start >= end) break;
        if (!r.isJob() || r.valid == 0 || r.end <= start) continue;
        const int id = r.kind - kReservationJobBase;
        std::string name = "ID" + std::to_string(id);
        for (const TunerecPreset& preset : presets)
            if (preset.id == id) {
                name = preset.name;
                break;
            }
        if (!text.empty()) text += "\r\n";
        text +=
            "[" + name + "]" + clockText(toLocalTime(r.start)) + "～" + clockText(toLocalTime(r.end)) + " " + r.title;
    }
    return text;
}

std::string taskFileText(const std::string& folder, const std::string& baseName) {
    return withTrailingBackslash(folder) + baseName + ".ts";
}

FileParts splitFilePath(const std::string& path) {
    FileParts parts;
    size_t rest = 0;
    if (path.size() >= 2 && path[1] == ':' && !leadByteAt(path, 0)) parts.drive = path.substr(0, 2), rest = 2;
    size_t nameStart = rest, dot = std::string::npos;
    for (size_t i = rest; i < path.size(); i += leadByteAt(path, i) ? 2 : 1) {
        if (leadByteAt(path, i)) continue;
        if (isSeparator(path[i]))
            nameStart = i + 1, dot = std::string::npos;
        else if (path[i] == '.')
            dot = i;
    }
    parts.directory = path.substr(rest, nameStart - rest);
    const size_t nameEnd = dot == std::string::npos ? path.size() : dot;
    parts.baseName = path.substr(nameStart, nameEnd - nameStart);
    parts.extension = path.substr(nameEnd);
    return parts;
}

DialogOrigin taskDialogOrigin(int cursorX, int cursorY, int width, int height, int desktopWidth, int desktopHeight) {
    DialogOrigin origin{cursorX - width / 2, cursorY - height / 2};
    if (origin.x + width > desktopWidth) origin.x = desktopWidth - width - 5;
    if (origin.y + height > desktopHeight) origin.y = desktopHeight - height - 5;
    if (origin.x < 0) origin.x = 5;
    if (origin.y < 0) origin.y = 5;
    return origin;
}

void loadTaskPreset(const TunerecPreset& preset, const std::string& baseName, TaskForm& form) {
    form.file = taskFileText(preset.saveFolder, baseName);
    form.options = {preset.powerOn != 0, preset.powerOff != 0,  preset.b25 != 0, preset.bcsFile != 0,
                    preset.sel != 0,     preset.logonOnly != 0, preset.udp != 0};
    form.otherOptions = preset.otherOptions;
}

void storeTaskPreset(const TaskForm& form, TunerecPreset& preset, std::string& baseName) {
    const FileParts parts = splitFilePath(form.file);
    preset.saveFolder = parts.folder();
    baseName = parts.baseName;
    const TaskOptions& o = form.options;
    preset.powerOn = o.powerOn, preset.powerOff = o.powerOff, preset.b25 = o.b25, preset.bcsFile = o.bcsFile;
    preset.sel = o.sel, preset.logonOnly = o.logonOnly, preset.udp = o.udp;
    preset.otherOptions = form.otherOptions;
}

const char* taskFileProblem(const std::string& fileText) {
    if (!isWholeShiftJis(fileText)) return kTaskBadFileText;
    for (size_t i = 0; i < fileText.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(fileText[i]);
        if (isShiftJisLeadByte(c)) {
            ++i;
            continue;
        }
        const bool driveColon = c == ':' && i == 1 && std::isalpha(static_cast<unsigned char>(fileText[0]));
        if (isControlByte(c) || (c == ':' && !driveColon) || std::strchr("\"<>|*?", c)) return kTaskBadFileText;
    }
    return splitFilePath(fileText).baseName.empty() ? kTaskNoFileText : nullptr;
}

std::optional<TaskTiming> taskTiming(const std::string& dateText, const std::string& timeText, int64_t now) {
    const std::optional<int> year = numberAt(dateText, 0), month = numberAt(dateText, 5), day = numberAt(dateText, 8);
    if (!year || !month || !day) return std::nullopt;
    const std::optional<int64_t> start =
        localClock(*year, *month, *day, numberAt(timeText, 0), numberAfter(timeText, ':'));
    if (!start) return std::nullopt;
    TaskTiming timing;
    timing.start = *start;
    timing.fireTime = *start - kTaskLeadSeconds;
    timing.startNow = now > timing.fireTime;
    if (!timing.startNow) return timing;
    if (now <= timing.start) {
        timing.timeArgument = timeText;
        return timing;
    }
    const size_t dash = timeText.find('-');
    if (dash == std::string::npos) return std::nullopt;
    std::optional<int64_t> end =
        localClock(*year, *month, *day, numberAt(timeText, dash + 1), numberAfter(timeText, ':', dash + 1));
    if (!end) return std::nullopt;
    if (*end < timing.start) *end += kSecondsPerDay;
    timing.ended = now >= *end;
    if (!timing.ended) timing.timeArgument = std::to_string((*end - now) / 60 + 1);
    return timing;
}

std::string taskOptionWords(const TaskOptions& o) {
    return std::string(o.powerOn ? "P" : "") + " " + (o.powerOff ? "POFF" : "") + " " + (o.b25 ? "B25" : "") + " " +
           (o.bcsFile ? "B" : "") + " " + (o.sel ? "SEL" : "");
}

std::string taskParameters(const TaskForm& form, const TunerecPreset& preset, const std::string& timeText) {
    const std::string output = form.options.udp ? "UDP " + preset.udpHostName : "\"" + form.file + "\"";
    return output + " " + form.channelNumber + " " + timeText + " " + taskOptionWords(form.options) + " I" +
           std::to_string(preset.id) + " " + form.otherOptions;
}

std::string taskCommandLine(const TaskForm& form, const TunerecPreset& preset, const std::string& timeArgument) {
    return "\"" + preset.executablePath + "\" " + taskParameters(form, preset, timeArgument);
}

std::string taskJobNameBase(const std::string& baseName) {
    std::string name = kJobNamePrefix;
    for (size_t i = 0; i < baseName.size(); ++i) {
        if (leadByteAt(baseName, i) && i + 1 < baseName.size()) {
            name.append(baseName, i++, 2);
        } else {
            name += baseName[i] == '.' ? std::string("．") : std::string(1, baseName[i]);
        }
    }
    return name;
}

std::optional<std::string> freeTaskJobName(const std::vector<std::string>& listed, const std::string& baseName) {
    const std::string base = taskJobNameBase(baseName);
    for (int k = 0; k < kJobNameCandidates; ++k) {
        std::string candidate = base;
        if (k > 0) candidate.append("(").append(std::to_string(k)).append(")");
        candidate += kJobNameSuffix;
        bool taken = false;
        for (const std::string& name : listed) taken = taken || sameJobName(name, candidate);
        if (!taken) return candidate;
    }
    return std::nullopt;
}

std::optional<TaskAccount> taskAccount(std::string& presetAccount, std::string& presetPassword, bool logonOnly,
                                       const std::string& userName, AccountPrompt& prompt) {
    while (!logonOnly && (presetAccount.empty() || presetPassword.empty())) {
        std::string account = presetAccount, password = presetPassword;
        if (!prompt.ask(account, password)) return std::nullopt;
        presetAccount = account, presetPassword = password;
    }
    TaskAccount result;
    result.account = presetAccount.empty() ? userName : presetAccount;
    if (!logonOnly && !result.account.empty() && !presetPassword.empty()) {
        result.password = presetPassword;
        result.flags = kJobFlagSystemRequired;
    } else {
        result.flags = kJobFlagRunOnlyIfLoggedOn;
    }
    return result;
}

JobTrigger taskTrigger(int64_t fireTime, TaskSchedule schedule, uint16_t weekdays) {
    const LocalTime t = toLocalTime(fireTime);
    JobTrigger trigger;
    trigger.beginYear = t.year, trigger.beginMonth = t.month, trigger.beginDay = t.day;
    trigger.startHour = t.hour, trigger.startMinute = t.minute;
    if (schedule == TaskSchedule::daily) {
        trigger.type = JobTriggerType::daily;
        trigger.daysInterval = 1;
    } else if (schedule == TaskSchedule::weekly) {
        trigger.type = JobTriggerType::weekly;
        trigger.weeksInterval = 1;
        trigger.daysOfTheWeek = (weekdays & 0x7F) != 0 ? (weekdays & 0x7F) : kJobSunday;
    }
    return trigger;
}

int taskFailureNumber(JobStep step) {
    switch (step) {
        case JobStep::createScheduler:
        case JobStep::initializeCom:
        case JobStep::enumerate:
        case JobStep::newWorkItem:
        case JobStep::createTrigger:
        case JobStep::setTrigger:
        case JobStep::persistInterface:
        case JobStep::save: return static_cast<int>(step);
        default: return static_cast<int>(JobStep::newWorkItem);
    }
}

bool registerTask(const TaskForm& form, TunerecPreset& preset, TaskRegistrationCalls& calls) {
    if (const char* problem = taskFileProblem(form.file)) {
        warn(calls.messages, problem);
        return false;
    }
    const std::optional<TaskTiming> timing = taskTiming(form.date, form.time, calls.clock.now());
    if (!timing || timing->ended) {
        warn(calls.messages, timing ? kTaskEndedText : kTaskBadTimeText);
        return false;
    }
    // A repeating programme already under way still gets its job, for the
    // next day or week, before the tool starts for this one.
    const bool saveJob = !timing->startNow || form.schedule != TaskSchedule::once;
    if (saveJob && !saveTaskJob(form, preset, *timing, calls)) return false;
    if (timing->startNow && (preset.executablePath.empty() ||
                             !calls.processes.start(taskCommandLine(form, preset, timing->timeArgument)))) {
        calls.messages.show(kTaskStartFailedText, kTaskCaption, message_box::ok | message_box::iconError);
        return saveJob;
    }
    return true;
}

}  // namespace corvane
