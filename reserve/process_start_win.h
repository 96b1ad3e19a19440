// Starting programs with CreateProcessA.
#pragma once

#include "reserve/process_start.h"

namespace corvane {

// No application name, no inherited handles, normal priority, this process's
// environment and current folder; both handles are closed at once.
class SystemProcessStarter final : public ProcessStarter {
public:
    bool start(const std::string& commandLine) override;
};

}  // namespace corvane
