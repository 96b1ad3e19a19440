// Entry point of corvane.exe; everything else lives in the start-up code.
#include <windows.h>

#include "app/startup_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showMode) {
    return corvane::runCorvane(instance, commandLine, showMode);
}
