// Drives the real task registration dialog with a scripted user (the dialog,
// the account dialog over it, a box over that, the save dialog). Jobs go
// to the prefix's Task Scheduler, which every test process shares: titles
// carry the process id and every job made is deleted.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "reserve/job_store_win.h"
#include "reserve/process_start_win.h"
#include "reserve/task_registration_dialog_win.h"
#include "resources/resource.h"
#include "store/broadcast_time.h"
#include "store/window_text_win.h"
#include "support/modal_script_win.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

constexpr int kFileNameCombo = 0x47C;  // cmb13 of the save dialog

bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)); }
using Texts = std::vector<std::string>;

class TaskDialogTest : public testing::Test, public Clock {
protected:
    TaskDialogTest() {
        presets[1] = {"録画用", "C:\\tool\\tunerec.exe", "C:\\rec", 1,      1,    1,   0, 0, 0,
                      0,        "127.0.0.1:1234",        3,         "user", "pw", "-x"};
    }
    ~TaskDialogTest() override {
        JobNameBatches batches;
        jobs.listJobNames(batches);
        for (const std::string& name : allJobNames(batches))
            if (name.find(jobName("")) == 0) jobs.deleteJob(name);
    }
    int64_t now() override { return time; }
    int run(std::vector<ModalStep> steps) {
        const ModalScript script(std::move(steps), {IDC_TASK_CHANNEL, IDC_ACCOUNT_NAME, kFileNameCombo});
        const TaskDialogInputs inputs{&programme, &presets, &current, &reservations, &jobs, &processes, this};
        return runTaskRegistrationDialog(nullptr, inputs);
    }
    std::string jobName(const char* suffix) { return "tunerec - ドラマ．第1話 " + tag + suffix; }
    JobDetails job(const char* suffix) {
        JobDetails details;
        EXPECT_EQ(JobStep::none, jobs.readJob(jobName(suffix), {time, time + 864000}, details)) << suffix;
        return details;
    }

    const std::string tag = std::to_string(GetCurrentProcessId());
    TaskProgramme programme{
        "ドラマ.第1話 " + tag, localTimeOf(2031, 3, 5, 21, 0, 0), localTimeOf(2031, 3, 5, 21, 54, 0), "テレビ", 4, 101};
    const std::string file = "C:\\rec\\ドラマ.第1話 " + tag + ".ts";
    int64_t time = localTimeOf(2031, 3, 1, 12, 0, 0);
    TaskSchedulerJobStore jobs;
    SystemProcessStarter processes;
    std::vector<TunerecPreset> presets = std::vector<TunerecPreset>(9);
    int current = 1;
    ReservationList reservations;
};

TEST_F(TaskDialogTest, ShowsTheProgrammeAndSavesOnceDailyAndWeeklyJobsBesideEachOther) {
    reservations = {
        {1003, localTimeOf(2031, 3, 5, 21, 30, 0), localTimeOf(2031, 3, 5, 22, 30, 0), 0, 0, 0, 1, 0, "先約", "", ""}};
    for (int schedule = 0; schedule < 3; ++schedule) {
        auto registerWithSchedule = [&](HWND dialog) {
            EXPECT_EQ(
                Texts({"テレビ", "@b101", "2031/03/05(水)", "21:00-21:54", file, "-x", "[録画用]21:30～22:30 先約"}),
                dialogTexts(dialog, {IDC_TASK_CHANNEL, IDC_TASK_CHANNEL_NO, IDC_TASK_DATE, IDC_TASK_TIME, IDC_TASK_FILE,
                                     IDC_TASK_OTHER, IDC_TASK_CONFLICTS}));
            HWND conflicts = GetDlgItem(dialog, IDC_TASK_CONFLICTS);
            HDC dc = GetDC(conflicts);
            SendMessageA(dialog, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(conflicts));
            EXPECT_EQ(RGB(255, 192, 203), GetBkColor(dc));
            ReleaseDC(conflicts, dc);
            EXPECT_TRUE(IsWindowVisible(conflicts) && checked(dialog, IDC_TASK_WEDNESDAY) &&
                        checked(dialog, IDC_TASK_B25));
            EXPECT_FALSE(enabled(dialog, IDC_TASK_WEDNESDAY) || checked(dialog, IDC_TASK_THURSDAY));
            chooseItem(dialog, IDC_TASK_SCHEDULE, schedule);
            EXPECT_EQ(schedule == 2, enabled(dialog, IDC_TASK_SUNDAY) && enabled(dialog, IDC_TASK_SATURDAY));
            if (schedule == 2) pressButton(dialog, IDC_TASK_FRIDAY);
            pressButton(dialog, IDOK);
        };
        EXPECT_EQ(IDOK, run({{IDC_TASK_FILE, registerWithSchedule}}));
    }
    const char* const suffixes[] = {".job", "(1).job", "(2).job"};
    for (int schedule = 0; schedule < 3; ++schedule) {
        const JobDetails saved = job(suffixes[schedule]);
        EXPECT_EQ(
            Texts({"C:\\tool\\tunerec.exe", "C:\\rec\\", "\"" + file + "\" @b101 21:00-21:54 P POFF B25   I3 -x"}),
            Texts({saved.application, saved.workingDirectory, saved.parameters}));
        const JobTrigger expected = taskTrigger(localTimeOf(2031, 3, 5, 20, 57, 0), TaskSchedule(schedule), 0x28);
        EXPECT_EQ(std::vector<JobTrigger>{expected}, saved.triggers);  // Wednesday and Friday when weekly
        EXPECT_EQ(kJobFlagSystemRequired, saved.flags);
    }
}

TEST_F(TaskDialogTest, APresetSwitchKeepsTheEditedBaseNameAndCancelSavesNothing) {
    presets[2].saveFolder = "D:\\b\\", presets[2].logonOnly = 1, presets[2].otherOptions = "-y";
    const std::string newFile = (std::filesystem::temp_directory_path() / ("new " + tag + ".ts")).string();
    auto switchPresets = [&](HWND dialog) {
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_TASK_CONFLICTS)));
        SetDlgItemTextA(dialog, IDC_TASK_FILE, "E:\\x\\edited.ts");
        pressButton(dialog, IDC_TASK_B25);
        chooseItem(dialog, IDC_TASK_PRESET, 2);
        EXPECT_EQ(Texts({"D:\\b\\edited.ts", "-y"}), dialogTexts(dialog, {IDC_TASK_FILE, IDC_TASK_OTHER}));
        EXPECT_TRUE(checked(dialog, IDC_TASK_LOGON) && checked(dialog, IDC_TASK_B25));
        chooseItem(dialog, IDC_TASK_PRESET, 1);
        EXPECT_EQ("E:\\x\\edited.ts", dialogItemText(dialog, IDC_TASK_FILE));
        EXPECT_FALSE(checked(dialog, IDC_TASK_B25));
        chooseItem(dialog, IDC_TASK_PRESET, 2);
        pressButton(dialog, IDC_TASK_FILE_BROWSE);
    };
    // The save dialog takes the name of a file that does not exist yet.
    auto chooseNewFile = [&](HWND chooser) {
        SetDlgItemTextA(chooser, kFileNameCombo, newFile.c_str());
        pressButton(chooser, IDOK);
    };
    auto cancel = [&](HWND dialog) {
        EXPECT_EQ(newFile, dialogItemText(dialog, IDC_TASK_FILE));
        pressButton(dialog, IDCANCEL);
    };
    EXPECT_EQ(IDCANCEL,
              run({{IDC_TASK_FILE, switchPresets}, {kFileNameCombo, chooseNewFile}, {IDC_TASK_FILE, cancel}}));
    EXPECT_EQ(2, current);  // the next opening, and the setup dialog, start on it
    EXPECT_EQ(std::pair(std::string("C:\\rec"), 1), std::pair(presets[1].saveFolder, presets[1].b25));
}

TEST_F(TaskDialogTest, TheAccountIsAskedUntilThePasswordsAgreeAndARunningProgrammeStartsTheTool) {
    presets[1].account = "", presets[1].password = "";
    auto type = [](const char* account, const char* password, const char* again) {
        return [=](HWND dialog) {
            EXPECT_EQ("", dialogItemText(dialog, IDC_ACCOUNT_PASSWORD));
            SetDlgItemTextA(dialog, IDC_ACCOUNT_NAME, account);
            SetDlgItemTextA(dialog, IDC_ACCOUNT_PASSWORD, password);
            SetDlgItemTextA(dialog, IDC_ACCOUNT_PASSWORD_CONFIRM, again);
            pressButton(dialog, again ? IDOK : IDCANCEL);
        };
    };
    auto pressOk = [](HWND window) { pressButton(window, IDOK); };
    auto reenter = [](HWND box) {
        EXPECT_EQ("アカウントの設定", wholeWindowText(box));
        pressButton(box, IDOK);
    };
    EXPECT_EQ(IDOK, run({{IDC_TASK_FILE, pressOk},
                         {IDC_ACCOUNT_NAME, type("ann", "a", "b")},
                         {0, reenter},
                         {IDC_ACCOUNT_NAME, type("ann", "a", nullptr)},  // cancelled: back in the dialog
                         {IDC_TASK_FILE, pressOk},
                         {IDC_ACCOUNT_NAME, type("ann", "pw", "pw")}}));
    EXPECT_EQ(kJobFlagSystemRequired, job(".job").flags);

    // Ten minutes into the programme the tool starts at once for the 45 minutes left.
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("corvane task " + tag);
    fs::create_directories(folder);
    presets[1].executablePath = (folder / "tunerec_probe.exe").string();
    ASSERT_TRUE(CopyFileA(builtFilePath(CORVANE_PROBE_EXE).c_str(), presets[1].executablePath.c_str(), FALSE));
    const std::string output = (folder / "line.txt").string();
    SetEnvironmentVariableA("CORVANE_PROBE_OUTPUT", output.c_str());
    time = programme.start + 600;
    EXPECT_EQ(IDOK, run({{IDC_TASK_FILE, pressOk}}));
    for (int waited = 0; waited < 20000 && !fs::exists(output); waited += 20) Sleep(20);
    std::ifstream in(output, std::ios::binary);
    EXPECT_EQ("\"" + presets[1].executablePath + "\" \"" + file + "\" @b101 45 P POFF B25   I3 -x",
              std::string(std::istreambuf_iterator<char>(in), {}));
    in.close();
    SetEnvironmentVariableA("CORVANE_PROBE_OUTPUT", nullptr);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

}  // namespace
}  // namespace corvane
