// Starting a program that is not there fails. That a started program gets
// its command line exactly as written, quotes and blanks included, is seen
// through the probe program in RegistrationWinTest (main_window_win_test).
#include <gtest/gtest.h>

#include "reserve/process_start_win.h"

namespace corvane {
namespace {

TEST(ProcessStart, AMissingProgramFails) {
    SystemProcessStarter starter;
    EXPECT_FALSE(starter.start(quotedCommandLine("C:\\corvane missing folder\\missing.exe", "a b.tvpi")));
}

}  // namespace
}  // namespace corvane
