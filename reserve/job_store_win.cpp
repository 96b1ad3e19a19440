#include "reserve/job_store_win.h"

#include <windows.h>

#include <mstask.h>
#include <objbase.h>

#include <algorithm>
#include <string>

#include "store/broadcast_time.h"
#include "reserve/job_run_times.h"
#include "store/epg_store.h"

namespace corvane {

namespace {

constexpr UINT kShiftJis = 932;

// Whole texts in both directions; false when a character has no counterpart.
bool toWide(const std::string& text, std::wstring& out) {
    out.clear();
    if (!isWholeShiftJis(text)) return false;
    if (text.empty()) return true;
    const int length = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (n <= 0) return false;
    out.resize(static_cast<size_t>(n));
    return MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, text.data(), length, out.data(), n) == n;
}

bool toShiftJis(const wchar_t* text, std::string& out) {
    out.clear();
    if (!text || !*text) return true;
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, &usedDefault);
    if (n <= 1 || usedDefault) return false;
    out.resize(static_cast<size_t>(n));
    if (WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, text, -1, out.data(), n, nullptr, &usedDefault) != n ||
        usedDefault)
        return false;
    out.resize(static_cast<size_t>(n) - 1);  // the terminating zero
    return true;
}

// Holds one interface pointer and releases it.
template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (pointer_) pointer_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    Interface* operator->() const { return pointer_; }
    Interface* get() const { return pointer_; }
    Interface** out() { return &pointer_; }
    void** outVoid() { return reinterpret_cast<void**>(&pointer_); }
    IUnknown** outUnknown() { return reinterpret_cast<IUnknown**>(&pointer_); }

private:
    Interface* pointer_ = nullptr;
};

// A text the system allocated, freed with CoTaskMemFree.
class TaskText {
public:
    ~TaskText() { CoTaskMemFree(text_); }
    LPWSTR* out() { return &text_; }
    const wchar_t* get() const { return text_; }

private:
    LPWSTR text_ = nullptr;
};

// COM and the scheduler object for one operation.
class SchedulerSession {
public:
    ~SchedulerSession() {
        if (scheduler_) scheduler_->Release();
        if (uninitialize_) CoUninitialize();
    }

    JobStep open() {
        const HRESULT hr = CoInitialize(nullptr);
        // A thread already in the multithreaded apartment can use COM as it is.
        if (FAILED(hr) && hr != RPC_E_CHANGED_MODE) return JobStep::initializeCom;
        uninitialize_ = SUCCEEDED(hr);
        if (FAILED(CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                                    reinterpret_cast<void**>(&scheduler_))))
            return JobStep::createScheduler;
        return JobStep::none;
    }

    ITaskScheduler* operator->() const { return scheduler_; }

private:
    ITaskScheduler* scheduler_ = nullptr;
    bool uninitialize_ = false;
};

// A job name in the two forms the system may want: without ".job" (which
// NewWorkItem, Activate and Delete add themselves), then as listed.
struct WideJobName {
    std::wstring base;
    std::wstring listed;

    bool convert(const std::string& name) {
        const std::string listedName = listedJobName(name);
        return toWide(jobBaseName(listedName), base) && toWide(listedName, listed);
    }
};

HRESULT activateTask(const SchedulerSession& session, const WideJobName& name, ComRef<ITask>& task) {
    HRESULT hr = session->Activate(name.base.c_str(), IID_ITask, task.outUnknown());
    if (FAILED(hr)) hr = session->Activate(name.listed.c_str(), IID_ITask, task.outUnknown());
    return hr;
}

TASK_TRIGGER systemTrigger(const JobTrigger& trigger) {
    TASK_TRIGGER t{};
    t.cbTriggerSize = sizeof t;
    t.wBeginYear = static_cast<WORD>(trigger.beginYear);
    t.wBeginMonth = static_cast<WORD>(trigger.beginMonth);
    t.wBeginDay = static_cast<WORD>(trigger.beginDay);
    t.wEndYear = static_cast<WORD>(trigger.endYear);
    t.wEndMonth = static_cast<WORD>(trigger.endMonth);
    t.wEndDay = static_cast<WORD>(trigger.endDay);
    t.wStartHour = static_cast<WORD>(trigger.startHour);
    t.wStartMinute = static_cast<WORD>(trigger.startMinute);
    t.MinutesDuration = trigger.minutesDuration;
    t.MinutesInterval = trigger.minutesInterval;
    t.rgFlags = trigger.flags;
    t.TriggerType = static_cast<TASK_TRIGGER_TYPE>(trigger.type);
    switch (trigger.type) {
        case JobTriggerType::daily:
            t.Type.Daily.DaysInterval = static_cast<WORD>(trigger.daysInterval);
            break;
        case JobTriggerType::weekly:
            t.Type.Weekly.WeeksInterval = static_cast<WORD>(trigger.weeksInterval);
            t.Type.Weekly.rgfDaysOfTheWeek = trigger.daysOfTheWeek;
            break;
        case JobTriggerType::monthlyDate:
            t.Type.MonthlyDate.rgfDays = trigger.monthDays;
            t.Type.MonthlyDate.rgfMonths = trigger.months;
            break;
        case JobTriggerType::monthlyDayOfWeek:
            t.Type.MonthlyDOW.wWhichWeek = static_cast<WORD>(trigger.whichWeek);
            t.Type.MonthlyDOW.rgfDaysOfTheWeek = trigger.daysOfTheWeek;
            t.Type.MonthlyDOW.rgfMonths = trigger.months;
            break;
        default:
            break;
    }
    t.wRandomMinutesInterval = static_cast<WORD>(trigger.randomMinutesInterval);
    return t;
}

JobTrigger portableTrigger(const TASK_TRIGGER& t) {
    JobTrigger trigger;
    trigger.type = static_cast<JobTriggerType>(t.TriggerType);
    trigger.beginYear = t.wBeginYear, trigger.beginMonth = t.wBeginMonth, trigger.beginDay = t.wBeginDay;
    trigger.endYear = t.wEndYear, trigger.endMonth = t.wEndMonth, trigger.endDay = t.wEndDay;
    trigger.startHour = t.wStartHour, trigger.startMinute = t.wStartMinute;
    trigger.minutesDuration = t.MinutesDuration;
    trigger.minutesInterval = t.MinutesInterval;
    trigger.flags = t.rgFlags;
    switch (trigger.type) {
        case JobTriggerType::daily:
            trigger.daysInterval = t.Type.Daily.DaysInterval;
            break;
        case JobTriggerType::weekly:
            trigger.weeksInterval = t.Type.Weekly.WeeksInterval;
            trigger.daysOfTheWeek = t.Type.Weekly.rgfDaysOfTheWeek;
            break;
        case JobTriggerType::monthlyDate:
            trigger.monthDays = t.Type.MonthlyDate.rgfDays;
            trigger.months = t.Type.MonthlyDate.rgfMonths;
            break;
        case JobTriggerType::monthlyDayOfWeek:
            trigger.whichWeek = t.Type.MonthlyDOW.wWhichWeek;
            trigger.daysOfTheWeek = t.Type.MonthlyDOW.rgfDaysOfTheWeek;
            trigger.months = t.Type.MonthlyDOW.rgfMonths;
            break;
        default:
            break;
    }
    trigger.randomMinutesInterval = t.wRandomMinutesInterval;
    return trigger;
}

SYSTEMTIME systemTime(int64_t t) {
    const LocalTime local = toLocalTime(t);
    SYSTEMTIME s{};
    s.wYear = static_cast<WORD>(local.year), s.wMonth = static_cast<WORD>(local.month);
    s.wDay = static_cast<WORD>(local.day), s.wDayOfWeek = static_cast<WORD>(local.weekday);
    s.wHour = static_cast<WORD>(local.hour), s.wMinute = static_cast<WORD>(local.minute);
    s.wSecond = static_cast<WORD>(local.second);
    return s;
}

// The run times the system gives, or none when it gives none (false).
bool systemRunTimes(ITask* task, const RunTimeWindow& window, std::vector<int64_t>& times) {
    SYSTEMTIME begin = systemTime(window.begin);
    SYSTEMTIME last = systemTime(window.end - 1);  // the system's end is inclusive
    WORD count = static_cast<WORD>(std::min<size_t>(window.limit, 0xFFFF));
    SYSTEMTIME* runs = nullptr;
    const HRESULT hr = task->GetRunTimes(&begin, &last, &count, &runs);
    // Only these two carry run times; on any other answer the outputs may be
    // left as they were.
    if (hr != S_OK && hr != S_FALSE) return SUCCEEDED(hr);
    for (WORD i = 0; runs && i < count; ++i) {
        const SYSTEMTIME& r = runs[i];
        const int64_t t = localTimeOf(r.wYear, r.wMonth, r.wDay, r.wHour, r.wMinute, r.wSecond);
        if (t >= window.begin && t < window.end && times.size() < window.limit) times.push_back(t);
    }
    CoTaskMemFree(runs);
    return true;
}

// Reads one text property of a task.
template <typename Getter>
JobStep readText(Getter getter, std::string& out) {
    TaskText text;
    if (FAILED(getter(text.out()))) return JobStep::readProperties;
    return toShiftJis(text.get(), out) ? JobStep::none : JobStep::convertText;
}

}  // namespace

JobStep TaskSchedulerJobStore::listJobNames(JobNameBatches& batches) {
    batches.clear();
    SchedulerSession session;
    if (JobStep step = session.open(); step != JobStep::none) return step;
    ComRef<IEnumWorkItems> items;
    if (FAILED(session->Enum(items.out()))) return JobStep::enumerate;
    for (;;) {
        LPWSTR* names = nullptr;
        ULONG fetched = 0;
        const HRESULT hr = items->Next(kJobNameBatchSize, &names, &fetched);
        if (FAILED(hr)) {
            batches.clear();
            return JobStep::enumerate;
        }
        std::vector<std::string> batch;
        for (ULONG i = 0; names && i < fetched; ++i) {
            std::string name;
            if (toShiftJis(names[i], name)) batch.push_back(std::move(name));
            CoTaskMemFree(names[i]);
        }
        CoTaskMemFree(names);
        if (!batch.empty()) batches.push_back(std::move(batch));
        if (hr != S_OK || fetched == 0) break;
    }
    return JobStep::none;
}

JobStep TaskSchedulerJobStore::createJob(const JobDefinition& job) {
    SchedulerSession session;
    if (JobStep step = session.open(); step != JobStep::none) return step;

    WideJobName name;
    std::wstring application, directory, parameters, account, password;
    if (!name.convert(job.name) || !toWide(job.application, application) ||
        !toWide(job.workingDirectory, directory) || !toWide(job.parameters, parameters) ||
        !toWide(job.account, account) || !toWide(job.password, password))
        return JobStep::convertText;
    if (!isValidJobBaseName(jobBaseName(listedJobName(job.name)))) return JobStep::newWorkItem;
    {
        ComRef<ITask> existing;
        if (SUCCEEDED(activateTask(session, name, existing))) return JobStep::newWorkItem;
    }

    ComRef<ITask> task;
    if (FAILED(session->NewWorkItem(name.base.c_str(), CLSID_CTask, IID_ITask, task.outUnknown())))
        return JobStep::newWorkItem;
    if (FAILED(task->SetApplicationName(application.c_str())) || FAILED(task->SetWorkingDirectory(directory.c_str())) ||
        FAILED(task->SetParameters(parameters.c_str())) ||
        FAILED(task->SetAccountInformation(account.c_str(), password.empty() ? nullptr : password.c_str())) ||
        FAILED(task->SetFlags(job.flags)))
        return JobStep::setProperties;

    ComRef<ITaskTrigger> trigger;
    WORD index = 0;
    if (FAILED(task->CreateTrigger(&index, trigger.out()))) return JobStep::createTrigger;
    TASK_TRIGGER fields = systemTrigger(job.trigger);
    if (FAILED(trigger->SetTrigger(&fields))) return JobStep::setTrigger;

    ComRef<IPersistFile> file;
    if (FAILED(task->QueryInterface(IID_IPersistFile, file.outVoid()))) return JobStep::persistInterface;
    if (FAILED(file->Save(nullptr, TRUE))) return JobStep::save;
    return JobStep::none;
}

JobStep TaskSchedulerJobStore::readJob(const std::string& name, const RunTimeWindow& window, JobDetails& details) {
    details = JobDetails{};
    SchedulerSession session;
    if (JobStep step = session.open(); step != JobStep::none) return step;
    WideJobName wideName;
    if (!wideName.convert(name)) return JobStep::convertText;
    ComRef<ITask> task;
    if (FAILED(activateTask(session, wideName, task))) return JobStep::activate;

    ITask* t = task.get();
    for (auto [getter, out] : {std::pair{&ITask::GetApplicationName, &details.application},
                               {&ITask::GetWorkingDirectory, &details.workingDirectory},
                               {&ITask::GetParameters, &details.parameters}}) {
        const JobStep step = readText([&](LPWSTR* text) { return (t->*getter)(text); }, *out);
        if (step != JobStep::none) return step;
    }
    DWORD flags = 0;
    WORD triggerCount = 0;
    HRESULT status = 0;
    if (FAILED(t->GetFlags(&flags)) || FAILED(t->GetTriggerCount(&triggerCount)) || FAILED(t->GetStatus(&status)))
        return JobStep::readProperties;
    details.flags = flags;
    details.status = static_cast<JobStatus>(status);
    for (WORD i = 0; i < triggerCount; ++i) {
        ComRef<ITaskTrigger> trigger;
        TASK_TRIGGER fields{};
        fields.cbTriggerSize = sizeof fields;
        if (FAILED(t->GetTrigger(i, trigger.out())) || FAILED(trigger->GetTrigger(&fields)))
            return JobStep::readProperties;
        details.triggers.push_back(portableTrigger(fields));
    }
    if (!systemRunTimes(t, window, details.runTimes)) {
        details.runTimes = computeRunTimes(details.triggers, details.flags, window);
        details.runTimesComputed = true;
    }
    return JobStep::none;
}

JobStep TaskSchedulerJobStore::deleteJob(const std::string& name) {
    SchedulerSession session;
    if (JobStep step = session.open(); step != JobStep::none) return step;
    WideJobName wideName;
    if (!wideName.convert(name)) return JobStep::convertText;
    if (FAILED(session->Delete(wideName.base.c_str())) && FAILED(session->Delete(wideName.listed.c_str())))
        return JobStep::deleteItem;
    return JobStep::none;
}

}  // namespace corvane
