// A program for tests that start programs: it writes the command line it was
// started with, byte for byte, to the file named by the environment variable
// CORVANE_PROBE_OUTPUT, and ends. The file appears whole (written beside it,
// then renamed), so a test may read it as soon as it exists.
#include <windows.h>

#include <cstring>
#include <string>

int main() {
    char output[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("CORVANE_PROBE_OUTPUT", output, sizeof output);
    if (length == 0 || length >= sizeof output) return 2;
    const std::string partial = std::string(output) + ".part";
    const char* line = GetCommandLineA();
    HANDLE file = CreateFileA(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    CloseHandle(file);
    return ok && MoveFileExA(partial.c_str(), output, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
