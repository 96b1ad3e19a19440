// Sockets that answer as a test needs: names resolve as set, addresses in
// `refusing` refuse, and each send takes at most the next of `sendLimits`
// bytes (all when none is left); what arrives is kept.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "reserve/tvrock_command.h"

namespace corvane {

struct FakeSockets : SocketCalls {
    std::map<std::string, std::vector<uint32_t>> names{{"tvrock", {1, 2, 3}}};
    std::vector<uint32_t> refusing, tried;
    std::vector<long> sendLimits;
    int opened = 0, closed = 0, sends = 0;
    std::string received;

    std::optional<uint32_t> numericAddress(const std::string& host) override {
        return host == "10.0.0.1" ? std::optional<uint32_t>(0x0A000001) : std::nullopt;
    }
    std::vector<uint32_t> resolve(const std::string& host) override { return names[host]; }
    Handle open() override { return ++opened; }
    bool connect(Handle, uint32_t address, uint16_t port) override {
        tried.push_back(address);
        return port == 8969 && std::find(refusing.begin(), refusing.end(), address) == refusing.end();
    }
    long send(Handle, const char* data, size_t length) override {
        long n = static_cast<long>(length);
        if (sends++ < static_cast<int>(sendLimits.size())) n = std::min(n, sendLimits[sends - 1]);
        if (n > 0) received.append(data, static_cast<size_t>(n));
        return n;
    }
    void close(Handle) override { ++closed; }
};

}  // namespace corvane
