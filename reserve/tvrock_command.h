// The TvRock web command: one HTTP/1.0 GET to TvRock's web interface asks it
// to reserve an event. The request is sent, the connection closed, and no
// reply is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "reserve/message_boxes.h"

namespace corvane {

// "HostName": "http://host[:port]/path".
struct TvRockAddress {
    std::string host;
    int port = 80;
    std::string path;  // always ends in '/'

    bool operator==(const TvRockAddress&) const = default;
};

// Parses the web address: "http://" in any case, the host up to a ':' or the
// first '/', the decimal port after the last ':' before the path, and the
// path from the first '/' with a '/' appended when it lacks one ("/" when
// there is none). Nothing when the scheme is not "http://", the host is
// empty, the port is not 1 to 65535, or the address holds a blank or a
// control byte (which would break the request line).
std::optional<TvRockAddress> parseTvRockAddress(const std::string& address);

// "now?t=0&r=1&c=%d&e=%d": reserve the event of the service.
std::string tvRockCommandText(int serviceId, int eventId);

// The longest request that is sent.
inline constexpr size_t kTvRockRequestLimit = 255;

// "GET <path><command> HTTP/1.0\r\n\r\n", without any header; nothing when it
// would be longer than kTvRockRequestLimit bytes.
std::optional<std::string> tvRockRequest(const TvRockAddress& address, const std::string& command);

// The socket calls, as a seam. Addresses are IPv4 in network byte order.
class SocketCalls {
public:
    using Handle = intptr_t;
    static constexpr Handle invalidHandle = -1;

    virtual ~SocketCalls() = default;
    // inet_addr: the address of a dotted numeric host; nothing for a name.
    virtual std::optional<uint32_t> numericAddress(const std::string& host) = 0;
    // gethostbyname: every address of a name, in its order.
    virtual std::vector<uint32_t> resolve(const std::string& host) = 0;
    // A new IPv4 stream socket, or invalidHandle.
    virtual Handle open() = 0;
    // Connects within a bounded wait.
    virtual bool connect(Handle socket, uint32_t address, uint16_t port) = 0;
    // The number of bytes sent (possibly fewer than asked), negative on failure.
    virtual long send(Handle socket, const char* data, size_t length) = 0;
    virtual void close(Handle socket) = 0;
};

// Sends `command` to the address `hostName`. Each address of the host is
// tried in its order, each with a fresh socket, until one connects; the whole
// request is sent there. False on a bad address, an over-long request, no
// socket, no address, no connection, or a send that fails.
bool sendTvRockRequest(const std::string& hostName, const std::string& command, SocketCalls& sockets);

// Asks TvRock at `hostName` (the "HostName" setting) to reserve the event;
// a failure is shown in the box "コマンド送信に失敗しました" captioned
// "TvRock登録". Whether the command was sent.
bool sendTvRockCommand(int serviceId, int eventId, const std::string& hostName, SocketCalls& sockets,
                       MessageBoxes& messages);

}  // namespace corvane
