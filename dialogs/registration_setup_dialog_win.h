// The modal registration setup dialog (dialog 130, "iEPG設定"): the
// file-or-web target with its address or application, the nine capture
// presets with their accounts, and each service's iEPG station name,
// remote-control number and device channel. "OK" writes everything at once;
// cancel writes nothing.
#pragma once

#include <windows.h>

#include <string>

#include "dialogs/choosers_win.h"
#include "reserve/message_boxes.h"
#include "reserve/registration_setup.h"

namespace corvane {

// The browse buttons' choosers: 1002 and 1007 (applications), 1009 (folder).
struct SetupBrowsers {
    FileChooser chooseIepgApplication = chooseIepgApplicationWithDialog;
    FileChooser chooseTunerecApplication = chooseTunerecApplicationWithDialog;
    FolderChooser chooseSaveFolder = chooseSaveFolderWithDialog;
};

// Runs dialog 130 modally on `owner` and returns IDOK (1) or IDCANCEL (2).
// The dialog opens on app.currentPreset and moves it whenever the user
// switches presets, even when it is cancelled afterwards. On IDOK every
// setting is written and the program takes the new values. Message boxes go
// to `messages`, or over the dialog when it is null.
int runRegistrationSetupDialog(HWND owner, RegistrationSetupHost& app, const SetupBrowsers& browsers = {},
                               MessageBoxes* messages = nullptr);

}  // namespace corvane
