#include "reserve/process_start.h"

namespace corvane {

std::string quotedCommandLine(const std::string& program) { return "\"" + program + "\""; }

std::string quotedCommandLine(const std::string& program, const std::string& argument) {
    return quotedCommandLine(program) + " " + quotedCommandLine(argument);
}

}  // namespace corvane
