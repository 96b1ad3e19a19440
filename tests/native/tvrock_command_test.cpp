// The TvRock web command: what an address gives, and how the request goes out
// over sockets that answer as each case needs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reserve/tvrock_command.h"
#include "support/fake_sockets.h"
#include "support/recording_message_boxes.h"

namespace corvane {
namespace {

const std::string command = tvRockCommandText(1024, 4660);

TEST(TvRockCommand, AddressesGiveHostPortPathAndTheRequest) {
    const std::string longPath = "/" + std::string(211, 'a') + "/";  // a request of exactly 255 bytes
    const std::pair<std::string, TvRockAddress> valid[] = {
        {"http://localhost:8969/nobody/", {"localhost", 8969, "/nobody/"}},
        {"HTTP://TvRock/", {"TvRock", 80, "/"}},
        {"http://tvrock:1", {"tvrock", 1, "/"}},
        {"http://tvrock:65535/nobody", {"tvrock", 65535, "/nobody/"}},
        {"http://h" + longPath, {"h", 80, longPath}},
    };
    EXPECT_EQ("now?t=0&r=1&c=1024&e=4660", command);
    for (const auto& [text, expected] : valid) {
        const auto address = parseTvRockAddress(text);
        ASSERT_EQ(expected, address.value_or(TvRockAddress{})) << text;
        const auto request = tvRockRequest(*address, command);
        EXPECT_EQ("GET " + expected.path + command + " HTTP/1.0\r\n\r\n", request.value_or("")) << text;
        EXPECT_EQ(expected.path == longPath, request->size() == kTvRockRequestLimit);
    }
    // 74505 would be 8969 in 16 bits; a blank or a line break would break the request line.
    for (const std::string refused : {"ftp://tvrock/", "http:/", "http://:8969/", "http://tvrock:/", "http://tvrock:0/",
                                      "http://tvrock:65536/", "http://tvrock:74505/", "http://tvrock:-80/",
                                      "http://tv rock/", "http://tvrock/\r\nHost: x/"})
        EXPECT_FALSE(parseTvRockAddress(refused)) << refused;
    // 255 bytes are sent whole; 256 are refused before any socket.
    for (const std::string& path : {longPath, "/a" + longPath}) {
        FakeSockets sockets;
        EXPECT_EQ(path == longPath, sendTvRockRequest("http://10.0.0.1:8969" + path, command, sockets));
        EXPECT_EQ(path == longPath ? kTvRockRequestLimit : 0u, sockets.received.size());
        EXPECT_EQ(path == longPath, sockets.opened == 1);
    }
}

TEST(TvRockCommand, TriesEachAddressWithItsOwnSocketAndSendsTheWholeRequest) {
    struct Case {
        const char* address;
        std::vector<uint32_t> refusing;
        std::vector<long> sendLimits;
        std::vector<uint32_t> tried;
        int sends;
    };
    const Case cases[] = {
        {"http://tvrock:8969/nobody", {1, 2}, {}, {1, 2, 3}, 1},     // the third of three addresses
        {"http://10.0.0.1:8969/nobody", {0x0A000001}, {}, {0x0A000001}, 0},  // a numeric host, once
        {"http://nowhere:8969/nobody", {}, {}, {}, 0},              // no address
        {"http://tvrock:8969/nobody", {}, {10, 5}, {1}, 3},          // a partial send completed
        {"http://tvrock:8969/nobody", {}, {10, -1}, {1}, 2},         // a failed send
        {"http://tvrock:74505/nobody/", {}, {}, {}, 0},
    };
    for (const Case& c : cases) {
        FakeSockets sockets;
        sockets.refusing = c.refusing, sockets.sendLimits = c.sendLimits;
        RecordingMessageBoxes boxes;
        const bool sent = sendTvRockCommand(1024, 4660, c.address, sockets, boxes);
        EXPECT_EQ(c.tried, sockets.tried) << c.address;
        EXPECT_EQ(c.sends, sockets.sends) << c.address;
        EXPECT_TRUE(sockets.opened == sockets.closed && sockets.opened == static_cast<int>(c.tried.size()));
        EXPECT_EQ(sent, sockets.received == "GET /nobody/" + command + " HTTP/1.0\r\n\r\n") << c.address;
        EXPECT_EQ(sent ? std::vector<RecordingMessageBoxes::Box>{} : std::vector{tvRockFailureBox}, boxes.shown);
        EXPECT_EQ(sent, c.sends == 1 || c.sends == 3) << c.address;
    }
}

}  // namespace
}  // namespace corvane
