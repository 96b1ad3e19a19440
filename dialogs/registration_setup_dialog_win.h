// The modal registration setup dialog (dialog 130, "iEPG設定"): the
// file-or-web target with its address or application, the nine capture
// presets with their accounts, and each service's iEPG station name,
// remote-control number and device channel. "OK" writes everything at once;
// cancel writes nothing.
#pragma once

#include <windows.h>

#include <string>

#include "reserve/message_boxes.h"
#include "reserve/registration_setup.h"

namespace corvane {

// Lets the user pick a program file under `title`, starting from `initial`.
// True, with `chosen` set, when the user confirmed one.
using ProgramChooser = bool (*)(HWND owner, const char* title, const std::string& initial, std::string& chosen);
// Lets the user pick a folder, starting at `initial`. True, with `chosen`
// set (as the platform gives it), when the user confirmed one.
using FolderChooser = bool (*)(HWND owner, const std::string& initial, std::string& chosen);

// The platform's open-file dialog for applications (*.exe) and its folder
// browser. A failing chooser counts as a cancel.
bool chooseProgramWithDialog(HWND owner, const char* title, const std::string& initial, std::string& chosen);
bool chooseFolderWithDialog(HWND owner, const std::string& initial, std::string& chosen);

struct SetupBrowsers {
    ProgramChooser chooseProgram = chooseProgramWithDialog;
    FolderChooser chooseFolder = chooseFolderWithDialog;
};

// Runs dialog 130 modally on `owner` and returns IDOK (1) or IDCANCEL (2).
// The dialog opens on app.currentPreset and moves it whenever the user
// switches presets, even when it is cancelled afterwards. On IDOK every
// setting is written and the program takes the new values. Message boxes go
// to `messages`, or over the dialog when it is null.
int runRegistrationSetupDialog(HWND owner, RegistrationSetupHost& app, const SetupBrowsers& browsers = {},
                               MessageBoxes* messages = nullptr);

}  // namespace corvane
