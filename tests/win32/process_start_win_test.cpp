// Programs started with CreateProcessA receive the command line as written.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "reserve/process_start_win.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

TEST(ProcessStart, TheProgramGetsTheCommandLineExactlyAndAMissingOneFails) {
    namespace fs = std::filesystem;
    // A folder with a blank, so that only the quotes hold the path together.
    const fs::path folder = fs::temp_directory_path() / ("corvane probe " + std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder);
    const std::string probe = (folder / "probe.exe").string();
    const std::string output = (folder / "line.txt").string();
    ASSERT_TRUE(CopyFileA(builtFilePath(CORVANE_PROBE_EXE).c_str(), probe.c_str(), FALSE)) << CORVANE_PROBE_EXE;
    SetEnvironmentVariableA("CORVANE_PROBE_OUTPUT", output.c_str());

    SystemProcessStarter starter;
    for (const std::string& line : {quotedCommandLine(probe), quotedCommandLine(probe, "a b.tvpi")}) {
        fs::remove(output);
        ASSERT_TRUE(starter.start(line)) << line;
        for (int waited = 0; waited < 20000 && !fs::exists(output); waited += 20) Sleep(20);
        std::ifstream in(output, std::ios::binary);
        EXPECT_EQ(line, std::string(std::istreambuf_iterator<char>(in), {}));
    }
    EXPECT_EQ("\"P\" \"a b.tvpi\"", quotedCommandLine("P", "a b.tvpi"));
    EXPECT_FALSE(starter.start(quotedCommandLine((folder / "missing.exe").string())));

    SetEnvironmentVariableA("CORVANE_PROBE_OUTPUT", nullptr);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

}  // namespace
}  // namespace corvane
