// The TvRock command over real Windows Sockets, to a listener of the test.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <string>

#include "reserve/socket_calls_win.h"
#include "support/recording_message_boxes.h"

namespace corvane {
namespace {

SOCKET listenOnLoopback(int& port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 4) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        ADD_FAILURE() << "no listener: " << WSAGetLastError();
    port = ntohs(address.sin_port);
    return s;
}

bool connectionWaiting(SOCKET listener, int milliseconds) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(listener, &readable);
    timeval wait{0, milliseconds * 1000};
    return select(0, &readable, nullptr, nullptr, &wait) == 1;
}

// Everything the peer sends until it closes the connection.
std::string receiveAll(SOCKET listener) {
    SOCKET peer = accept(listener, nullptr, nullptr);
    std::string bytes;
    char buffer[512];
    for (int n; (n = recv(peer, buffer, sizeof buffer, 0)) > 0;) bytes.append(buffer, static_cast<size_t>(n));
    closesocket(peer);
    return bytes;
}

TEST(TvRockWinsock, TheListenerGetsTheRequestAndFailuresShowTheBox) {
    WSADATA data;
    ASSERT_EQ(0, WSAStartup(MAKEWORD(2, 0), &data));
    int port = 0;
    SOCKET listener = listenOnLoopback(port);
    std::string at = std::to_string(port);
    at.insert(at.begin(), ':');
    WinsockCalls sockets;
    RecordingMessageBoxes boxes;

    for (const std::string& address : {"http://127.0.0.1" + at + "/nobody/", "http://localhost" + at + "/nobody"}) {
        EXPECT_TRUE(sendTvRockCommand(1024, 4660, address, sockets, boxes)) << address;
        ASSERT_TRUE(connectionWaiting(listener, 2000)) << address;
        EXPECT_EQ("GET /nobody/now?t=0&r=1&c=1024&e=4660 HTTP/1.0\r\n\r\n", receiveAll(listener)) << address;
    }
    EXPECT_TRUE(boxes.shown.empty());

    // A port nobody listens on any more refuses; the other two never connect.
    int closedPort = 0;
    closesocket(listenOnLoopback(closedPort));
    for (const std::string& address : {"http://127.0.0.1:" + std::to_string(closedPort) + "/nobody/",
                                       "ftp://127.0.0.1" + at + "/nobody/",
                                       "http://127.0.0.1" + at + "/" + std::string(220, 'a')}) {
        boxes.shown.clear();
        EXPECT_FALSE(sendTvRockCommand(1024, 4660, address, sockets, boxes)) << address;
        EXPECT_EQ(std::vector{tvRockFailureBox}, boxes.shown) << address;
    }
    EXPECT_FALSE(connectionWaiting(listener, 200));
    closesocket(listener);
    WSACleanup();
}

}  // namespace
}  // namespace corvane
