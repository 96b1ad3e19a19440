#include "reserve/socket_calls_win.h"

#include <winsock2.h>

#include <climits>
#include <cstring>

namespace corvane {

namespace {

SOCKET toSocket(SocketCalls::Handle handle) { return static_cast<SOCKET>(handle); }

bool setBlocking(SOCKET s, bool blocking) {
    u_long nonBlocking = blocking ? 0 : 1;
    return ioctlsocket(s, FIONBIO, &nonBlocking) == 0;
}

}  // namespace

std::optional<uint32_t> WinsockCalls::numericAddress(const std::string& host) {
    const unsigned long address = inet_addr(host.c_str());
    if (address == INADDR_NONE) return std::nullopt;
    return static_cast<uint32_t>(address);
}

std::vector<uint32_t> WinsockCalls::resolve(const std::string& host) {
    std::vector<uint32_t> addresses;
    const hostent* entry = gethostbyname(host.c_str());
    if (!entry || entry->h_addrtype != AF_INET || entry->h_length != 4 || !entry->h_addr_list) return addresses;
    for (char** item = entry->h_addr_list; *item; ++item) {
        uint32_t address;
        std::memcpy(&address, *item, sizeof address);
        addresses.push_back(address);
    }
    return addresses;
}

SocketCalls::Handle WinsockCalls::open() {
    const SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
    return s == INVALID_SOCKET ? invalidHandle : static_cast<Handle>(s);
}

bool WinsockCalls::connect(Handle socket, uint32_t address, uint16_t port) {
    const SOCKET s = toSocket(socket);
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    peer.sin_port = htons(port);
    peer.sin_addr.s_addr = address;
    // Connect without blocking and wait a bounded time for the answer.
    if (!setBlocking(s, false)) return false;
    if (::connect(s, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == SOCKET_ERROR) {
        if (WSAGetLastError() != WSAEWOULDBLOCK) return false;
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(s, &writable);
        FD_SET(s, &failed);
        timeval wait{connectWaitMilliseconds / 1000, (connectWaitMilliseconds % 1000) * 1000};
        if (select(0, nullptr, &writable, &failed, &wait) <= 0 || !FD_ISSET(s, &writable)) return false;
        int error = 0;
        int size = sizeof error;
        if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0 || error != 0)
            return false;
    }
    return setBlocking(s, true);
}

long WinsockCalls::send(Handle socket, const char* data, size_t length) {
    const int n = ::send(toSocket(socket), data, static_cast<int>(length > INT_MAX ? INT_MAX : length), 0);
    return n == SOCKET_ERROR ? -1 : n;
}

void WinsockCalls::close(Handle socket) { closesocket(toSocket(socket)); }

}  // namespace corvane
