// The socket calls of Windows Sockets (started by the program at start-up).
#pragma once

#include "reserve/tvrock_command.h"

namespace corvane {

class WinsockCalls final : public SocketCalls {
public:
    // How long one connection attempt may take: the user interface waits
    // meanwhile, so not the system's own time-out of about 20 seconds.
    static constexpr int connectWaitMilliseconds = 5000;

    std::optional<uint32_t> numericAddress(const std::string& host) override;
    std::vector<uint32_t> resolve(const std::string& host) override;
    Handle open() override;
    bool connect(Handle socket, uint32_t address, uint16_t port) override;
    long send(Handle socket, const char* data, size_t length) override;
    void close(Handle socket) override;
};

}  // namespace corvane
