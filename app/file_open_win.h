// Opening files: the open dialog, the choice between the EPG data file
// reader and the transport-stream reader, and the progress dialog that runs
// a transport-stream read.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/app_state_win.h"
#include "store/ts_reader.h"

namespace corvane {

// What a load calls that tests replace: the reader of recordings and the
// question whether to stop.
struct LoadHooks {
    std::function<void(EpgStore*, const char* path, ProgressSink*)> readTransportStream;
    std::function<bool(HWND dialog)> confirmStop;  // "ファイルの読み込みを中断しますか？"
};
LoadHooks& loadHooks();

// Shows the open dialog and loads each chosen file in order until one is
// stopped. False when the dialog was cancelled.
bool openFilesWithDialog(AppState& app);

// Loads one file; false only when the user stopped a transport-stream read.
bool loadFile(AppState& app, const std::string& path);

// Runs the progress dialog (resource 123) reading `path`; 1 = complete,
// 2 = stopped.
INT_PTR runProgressDialog(AppState& app, const std::string& path);

// The save dialog and the data file written through a temporary file; a
// failure is told in a message box and leaves the previous file as it was.
void saveDataFileAs(AppState& app);

}  // namespace corvane
