// Process start-up and shutdown of corvane.exe: the main window's class, the
// instance (main window and its companions), the message loop.
#pragma once

#include <windows.h>

#include <vector>

#include "app/app_state_win.h"

namespace corvane {

// Texts of the string table that name the main window's class and title,
// each loaded into a buffer of 100 characters.
struct MainWindowClass {
    char title[100] = {};      // string 103, "Corvane"
    char className[100] = {};  // string 109, "CORVANE"
};

// Loads strings 103 and 109 into `loaded` and registers the main window's
// class (icons 107 and 108, arrow cursor, window background, menu 109).
// A class that is already registered counts as success.
bool registerMainWindowClass(HINSTANCE instance, MainWindowClass& loaded);

// Creates the main window, hidden, at the stored placement (or where the
// system puts it when `useDefault`). Null on failure.
HWND createMainWindow(HINSTANCE instance, const MainWindowClass& windowClass, const MainWindowPlacement& placement,
                      bool useDefault = false);

// Everything before the message loop: settings, windows, store, drawing
// tools, the deferred opening of the command-line files. False when the
// program must end at once (exit code 0). `app.instance` and `app.settings`
// may be set beforehand (tests); otherwise they are derived here.
bool startCorvane(AppState& app, const char* commandLine, int showMode);

// What follows the message loop: the shutdown settings, the drawing tools,
// Windows Sockets and the store.
void stopCorvane(AppState& app);

// Accelerator table 109.
HACCEL loadMainAccelerators(HINSTANCE instance);

// What the program does with a message before it is dispatched: the
// accelerators (commands go to the main window), the guide's keys pressed in
// the popup, the find bar's keys (F3 also in the guide), and the dialog keys
// (Esc, Tab, Enter) of the three list windows and the find bar.
// True when the message was handled so.
bool translateProgramKeys(AppState& app, MSG& msg);

// Runs GetMessageA until WM_QUIT, each message through
// translateProgramKeys first. Returns WM_QUIT's wParam.
int runMessageLoop(AppState& app);

// The whole life of the process. Returns the exit code (0 when start-up fails).
int runCorvane(HINSTANCE instance, const char* commandLine, int showMode);

}  // namespace corvane
