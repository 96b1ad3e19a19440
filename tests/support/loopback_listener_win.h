// A listener on the loopback address for tests that send over real Windows
// Sockets: it takes one connection and everything sent until it closes.
#pragma once

#include <winsock2.h>

#include <gtest/gtest.h>

#include <string>

namespace corvane {

// A listening socket on a free port of 127.0.0.1; the port in `port`.
inline SOCKET listenOnLoopback(std::string& port) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, 0, {}, {}};
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    EXPECT_TRUE(bind(s, reinterpret_cast<sockaddr*>(&address), size) == 0 && listen(s, 4) == 0 &&
                getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) == 0);
    port = std::to_string(ntohs(address.sin_port));
    return s;
}

inline bool connectionWaiting(SOCKET listener, int milliseconds) {
    fd_set readable{1, {listener}};
    timeval wait{0, milliseconds * 1000};
    return select(0, &readable, nullptr, nullptr, &wait) == 1;
}

// Everything the peer sends until it closes the connection.
inline std::string receiveAll(SOCKET listener) {
    SOCKET peer = accept(listener, nullptr, nullptr);
    std::string bytes;
    char buffer[512];
    for (int n; (n = recv(peer, buffer, sizeof buffer, 0)) > 0;) bytes.append(buffer, static_cast<size_t>(n));
    closesocket(peer);
    return bytes;
}

}  // namespace corvane
