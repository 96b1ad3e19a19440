// The TvRock web command: what an address gives, and how the request goes out
// over sockets that answer as each case needs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "reserve/tvrock_command.h"
#include "support/recording_message_boxes.h"

namespace corvane {
namespace {

const std::string command = tvRockCommandText(1024, 4660);

TEST(TvRockCommand, AddressesGiveHostPortPathAndTheRequest) {
    struct Case {
        std::string address;
        const char* host;  // null: refused
        int port;
        const char* path;
    };
    const std::string longPath = "/" + std::string(211, 'a') + "/";  // a request of exactly 255 bytes
    const Case cases[] = {
        {"http://localhost:8969/nobody/", "localhost", 8969, "/nobody/"},
        {"HTTP://TvRock:8969/nobody/", "TvRock", 8969, "/nobody/"},
        {"http://192.168.0.2/", "192.168.0.2", 80, "/"},
        {"http://tvrock", "tvrock", 80, "/"},
        {"http://tvrock:1", "tvrock", 1, "/"},
        {"http://tvrock:65535/nobody", "tvrock", 65535, "/nobody/"},
        {"http://h" + longPath, "h", 80, longPath.c_str()},
        {"http://h/a" + longPath, nullptr, 0, nullptr},  // 256 bytes
        {"ftp://tvrock/", nullptr, 0, nullptr},
        {"http:/", nullptr, 0, nullptr},
        {"http://:8969/", nullptr, 0, nullptr},
        {"http://tvrock:/", nullptr, 0, nullptr},
        {"http://tvrock:0/", nullptr, 0, nullptr},
        {"http://tvrock:65536/", nullptr, 0, nullptr},
        {"http://tvrock:74505/", nullptr, 0, nullptr},  // 8969 in 16 bits
        {"http://tvrock:-80/", nullptr, 0, nullptr},
        {"http://tv rock/", nullptr, 0, nullptr},
        {"http://tvrock/\r\nHost: x/", nullptr, 0, nullptr},
    };
    EXPECT_EQ("now?t=0&r=1&c=1024&e=4660", command);
    for (const Case& c : cases) {
        const auto address = parseTvRockAddress(c.address);
        const auto request = address ? tvRockRequest(*address, command) : std::nullopt;
        if (!c.host) {
            EXPECT_FALSE(request) << c.address;
            continue;
        }
        ASSERT_TRUE(address && request) << c.address;
        EXPECT_EQ((TvRockAddress{c.host, c.port, c.path}), *address);
        EXPECT_EQ("GET " + std::string(c.path) + command + " HTTP/1.0\r\n\r\n", *request);
        EXPECT_EQ(c.path == longPath, request->size() == kTvRockRequestLimit) << c.address;
    }
}

// Names resolve as set, addresses in `refusing` refuse connections, and each
// send takes at most the next of `sendLimits` bytes (all when none is left).
struct FakeSockets : SocketCalls {
    std::map<std::string, std::vector<uint32_t>> names;
    std::vector<uint32_t> refusing;
    std::vector<long> sendLimits;
    int opened = 0, closed = 0, sends = 0;
    std::vector<uint32_t> tried;
    std::string received;

    std::optional<uint32_t> numericAddress(const std::string& host) override {
        unsigned a, b, c, d;
        char rest;
        if (std::sscanf(host.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &rest) != 4) return std::nullopt;
        return a << 24 | b << 16 | c << 8 | d;
    }
    std::vector<uint32_t> resolve(const std::string& host) override { return names[host]; }
    Handle open() override { return ++opened; }
    bool connect(Handle, uint32_t address, uint16_t port) override {
        EXPECT_EQ(8969, port);
        tried.push_back(address);
        return std::find(refusing.begin(), refusing.end(), address) == refusing.end();
    }
    long send(Handle, const char* data, size_t length) override {
        ++sends;
        long n = static_cast<long>(length);
        if (!sendLimits.empty()) n = std::min(n, sendLimits.front()), sendLimits.erase(sendLimits.begin());
        if (n > 0) received.append(data, static_cast<size_t>(n));
        return n;
    }
    void close(Handle) override { ++closed; }
};

TEST(TvRockCommand, TriesEachAddressWithItsOwnSocketAndSendsTheWholeRequest) {
    const std::string request = "GET /nobody/" + command + " HTTP/1.0\r\n\r\n";
    struct Case {
        const char* what;
        const char* host;
        std::vector<uint32_t> refusing;
        std::vector<long> sendLimits;
        std::vector<uint32_t> tried;
        int sends;
        bool sent;
    };
    const Case cases[] = {
        {"the third of three addresses", "tvrock", {1, 2}, {}, {1, 2, 3}, 1, true},
        {"a numeric host once", "10.0.0.1", {0x0A000001}, {}, {0x0A000001}, 0, false},
        {"a name without addresses", "nowhere", {}, {}, {}, 0, false},
        {"a partial send completed", "tvrock", {}, {10, 5}, {1}, 3, true},
        {"a failed send", "tvrock", {}, {10, -1}, {1}, 2, false},
    };
    for (const Case& c : cases) {
        FakeSockets sockets;
        sockets.names["tvrock"] = {1, 2, 3};
        sockets.refusing = c.refusing;
        sockets.sendLimits = c.sendLimits;
        RecordingMessageBoxes boxes;
        EXPECT_EQ(c.sent, sendTvRockCommand(1024, 4660, "http://" + std::string(c.host) + ":8969/nobody", sockets, boxes));
        EXPECT_EQ(c.tried, sockets.tried) << c.what;
        EXPECT_EQ(c.sends, sockets.sends) << c.what;
        EXPECT_EQ(sockets.opened, sockets.closed) << c.what;
        EXPECT_EQ(static_cast<int>(c.tried.size()), sockets.opened) << c.what;
        if (c.sent) {
            EXPECT_EQ(request, sockets.received) << c.what;
            EXPECT_TRUE(boxes.shown.empty()) << c.what;
        } else {
            EXPECT_EQ(std::vector{tvRockFailureBox}, boxes.shown) << c.what;
        }
    }

    // Refused addresses never reach a socket.
    for (const char* address : {"ftp://tvrock:8969/nobody/", "http://tvrock:74505/nobody/"}) {
        FakeSockets sockets;
        RecordingMessageBoxes boxes;
        EXPECT_FALSE(sendTvRockCommand(1, 2, address, sockets, boxes));
        EXPECT_EQ(0, sockets.opened);
        EXPECT_EQ(std::vector{tvRockFailureBox}, boxes.shown);
    }
}

}  // namespace
}  // namespace corvane
