// The TvRock command over real Windows Sockets, to a listener of the test.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <string>

#include "reserve/socket_calls_win.h"
#include "support/loopback_listener_win.h"
#include "support/recording_message_boxes.h"

namespace corvane {
namespace {

TEST(TvRockWinsock, TheListenerGetsTheRequestAndFailuresShowTheBox) {
    WSADATA data;
    ASSERT_EQ(0, WSAStartup(MAKEWORD(2, 0), &data));
    std::string port, closedPort;
    SOCKET listener = listenOnLoopback(port);
    closesocket(listenOnLoopback(closedPort));  // nobody listens there any more
    WinsockCalls sockets;
    RecordingMessageBoxes boxes;

    for (const std::string& address : {"http://127.0.0.1:" + port + "/nobody/", "http://localhost:" + port + "/nobody"}) {
        EXPECT_TRUE(sendTvRockCommand(1024, 4660, address, sockets, boxes)) << address;
        ASSERT_TRUE(connectionWaiting(listener, 2000)) << address;
        EXPECT_EQ("GET /nobody/now?t=0&r=1&c=1024&e=4660 HTTP/1.0\r\n\r\n", receiveAll(listener)) << address;
    }
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(sendTvRockCommand(1024, 4660, "http://127.0.0.1:" + closedPort + "/nobody/", sockets, boxes));
    EXPECT_EQ(std::vector{tvRockFailureBox}, boxes.shown);
    closesocket(listener);
    WSACleanup();
}

}  // namespace
}  // namespace corvane
