// Starting an outside program (an iEPG application, EpgTimer, the capture
// tool) with a command line, as a seam: the system starts it, tests record it.
#pragma once

#include <string>

namespace corvane {

class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // Starts the program the command line names; whether it could be started.
    // Nothing waits for the program or looks at its exit.
    virtual bool start(const std::string& commandLine) = 0;
};

// "\"%s\"": a program alone.
std::string quotedCommandLine(const std::string& program);
// "\"%s\" \"%s\"": a program and one argument.
std::string quotedCommandLine(const std::string& program, const std::string& argument);

}  // namespace corvane
