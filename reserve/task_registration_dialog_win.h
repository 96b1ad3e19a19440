// The capture tool's task registration dialog (dialog 138, "tunerecタスク登録"):
// the programme with its channel, a preset of the tool's options, the output
// file, the schedule and the capture-tool reservations it overlaps. "登録"
// saves a job that starts the tool 3 minutes early, or starts the tool at once
// when the programme is about to start or running.
#pragma once

#include <windows.h>

#include <vector>

#include "reserve/job_store.h"
#include "reserve/process_start.h"
#include "reserve/reservations.h"
#include "reserve/task_registration.h"
#include "reserve/tunerec_preset.h"
#include "store/clock.h"

namespace corvane {

struct TaskDialogInputs {
    const TaskProgramme* programme = nullptr;  // null: nothing was chosen to register
    // The presets: the dialog works on a copy made at each opening, so what
    // is changed in it never reaches them.
    const std::vector<TunerecPreset>* presets = nullptr;
    // The preset the dialog opens on; set whenever the user switches presets.
    int* currentPreset = nullptr;
    const ReservationList* reservations = nullptr;  // collected, for the overlaps
    JobStore* jobs = nullptr;
    ProcessStarter* processes = nullptr;
    Clock* clock = nullptr;
};

// Runs dialog 138 modally on `owner`: 1 when a job was saved or the tool
// started, 2 when the user cancelled. Without a programme a box says so and
// the answer is 2.
int runTaskRegistrationDialog(HWND owner, const TaskDialogInputs& inputs);

}  // namespace corvane
