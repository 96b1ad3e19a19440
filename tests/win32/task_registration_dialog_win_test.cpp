// Drives the real task registration dialog with a scripted user (the dialog,
// the account dialog over it, a box over that, the save dialog). Jobs go to
// the prefix's Task Scheduler, which every test process shares: titles carry
// the process id and every job made is deleted.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
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

// Without an account the account dialog asks for one until the passwords agree.
TEST_F(TaskDialogTest, ShowsTheProgrammeAsksTheAccountSavesAWeeklyJobBesideAnEarlierOneAndAPresetSwitchKeepsTheBaseName) {
    presets[1].account = "", presets[1].password = "";
    reservations = {
        {1003, localTimeOf(2031, 3, 5, 21, 30, 0), localTimeOf(2031, 3, 5, 22, 30, 0), 0, 0, 0, 1, 0, "先約", "", ""}};
    auto registerWeekly = [&](HWND dialog) {
        EXPECT_EQ(Texts({"@b101", file, "[録画用]21:30～22:30 先約"}),
                  Texts({dialogItemText(dialog, IDC_TASK_CHANNEL_NO), dialogItemText(dialog, IDC_TASK_FILE),
                         dialogItemText(dialog, IDC_TASK_CONFLICTS)}));
        HWND conflicts = GetDlgItem(dialog, IDC_TASK_CONFLICTS);
        HDC dc = GetDC(conflicts);
        SendMessageA(dialog, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(conflicts));
        EXPECT_EQ(RGB(255, 192, 203), GetBkColor(dc));
        ReleaseDC(conflicts, dc);
        EXPECT_TRUE(checked(dialog, IDC_TASK_WEDNESDAY) && !enabled(dialog, IDC_TASK_WEDNESDAY));
        EXPECT_FALSE(enabled(dialog, IDC_TASK_FRIDAY));
        chooseItem(dialog, IDC_TASK_SCHEDULE, static_cast<int>(TaskSchedule::weekly));
        pressButton(dialog, IDC_TASK_FRIDAY);
        pressButton(dialog, IDOK);
    };
    auto type = [](const char* password, const char* again) {
        return [=](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_ACCOUNT_NAME, "ann");
            SetDlgItemTextA(dialog, IDC_ACCOUNT_PASSWORD, password);
            SetDlgItemTextA(dialog, IDC_ACCOUNT_PASSWORD_CONFIRM, again);
            pressButton(dialog, again ? IDOK : IDCANCEL);
        };
    };
    auto pressOk = [](HWND window) { pressButton(window, IDOK); };
    JobDefinition earlier;
    earlier.name = jobName(".job"), earlier.application = "C:\\x.exe";
    earlier.trigger = JobTrigger{JobTriggerType::once, 2031, 3, 5};
    ASSERT_EQ(JobStep::none, jobs.createJob(earlier));
    EXPECT_EQ(IDOK, run({{IDC_TASK_FILE, registerWeekly},
                         {IDC_ACCOUNT_NAME, type("a", "b")},
                         {0, pressOk},  // the box asking for the password again
                         {IDC_ACCOUNT_NAME, [&](HWND d) {  // then cancelled: back in the dialog
                              EXPECT_TRUE(passwordsAskedAgain(d, IDC_ACCOUNT_PASSWORD, IDC_ACCOUNT_PASSWORD_CONFIRM));
                              type("a", nullptr)(d);
                          }},
                         {IDC_TASK_FILE, pressOk},
                         {IDC_ACCOUNT_NAME, type("pw", "pw")}}));
    JobDetails saved;
    ASSERT_EQ(JobStep::none, jobs.readJob(jobName("(1).job"), {time, time + 864000}, saved));
    EXPECT_EQ(Texts({"C:\\tool\\tunerec.exe", "\"" + file + "\" @b101 21:00-21:54 P POFF B25   I3 -x"}),
              Texts({saved.application, saved.parameters}));
    const JobTrigger expected = taskTrigger(localTimeOf(2031, 3, 5, 20, 57, 0), TaskSchedule::weekly, 0x28);
    EXPECT_EQ(std::vector<JobTrigger>{expected}, saved.triggers);  // Wednesday and Friday
    EXPECT_EQ(kJobFlagSystemRequired, saved.flags);

    // A preset switch keeps the edited base name; the save dialog takes a file that does not exist yet.
    presets[2].saveFolder = "D:\\b\\";
    const std::string newFile = (std::filesystem::temp_directory_path() / ("new " + tag + ".ts")).string();
    auto switchPresets = [&](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_TASK_FILE, "E:\\x\\edited.ts");
        chooseItem(dialog, IDC_TASK_PRESET, 2);
        EXPECT_EQ("D:\\b\\edited.ts", dialogItemText(dialog, IDC_TASK_FILE));
        pressButton(dialog, IDC_TASK_FILE_BROWSE);
    };
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
}

}  // namespace
}  // namespace corvane
