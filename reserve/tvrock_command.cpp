#include "reserve/tvrock_command.h"

#include <cstdio>

namespace corvane {

namespace {

constexpr const char kScheme[] = "http://";
constexpr size_t kSchemeLength = sizeof kScheme - 1;

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// atoi of the text from `from`: an optional sign and the leading digits, 0
// when there are none; large values stop growing instead of overflowing.
long leadingNumber(const std::string& text, size_t from) {
    size_t i = from;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (value < 1000000) value = value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

bool sendAll(SocketCalls& sockets, SocketCalls::Handle socket, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const long n = sockets.send(socket, bytes.data() + sent, bytes.size() - sent);
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::optional<TvRockAddress> parseTvRockAddress(const std::string& address) {
    if (address.size() < kSchemeLength) return std::nullopt;
    for (size_t i = 0; i < kSchemeLength; ++i)
        if (asciiLower(address[i]) != kScheme[i]) return std::nullopt;
    for (char c : address)
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return std::nullopt;

    TvRockAddress parsed;
    long port = 80;
    bool hostSet = false;
    size_t i = kSchemeLength;
    for (; i < address.size(); ++i) {
        if (address[i] == ':') {
            port = leadingNumber(address, i + 1);
            parsed.host = address.substr(kSchemeLength, i - kSchemeLength);
            hostSet = true;
        } else if (address[i] == '/') {
            if (!hostSet) parsed.host = address.substr(kSchemeLength, i - kSchemeLength);
            hostSet = true;
            parsed.path = address.substr(i);
            break;
        }
    }
    if (!hostSet) parsed.host = address.substr(kSchemeLength);
    if (parsed.path.empty() || parsed.path.back() != '/') parsed.path += '/';
    if (parsed.host.empty() || port < 1 || port > 65535) return std::nullopt;
    parsed.port = static_cast<int>(port);
    return parsed;
}

std::string tvRockCommandText(int serviceId, int eventId) {
    char text[64];
    std::snprintf(text, sizeof text, "now?t=0&r=1&c=%d&e=%d", serviceId, eventId);
    return text;
}

std::optional<std::string> tvRockRequest(const TvRockAddress& address, const std::string& command) {
    std::string request = "GET " + address.path + command + " HTTP/1.0\r\n\r\n";
    if (request.size() > kTvRockRequestLimit) return std::nullopt;
    return request;
}

bool sendTvRockRequest(const std::string& hostName, const std::string& command, SocketCalls& sockets) {
    const std::optional<TvRockAddress> address = parseTvRockAddress(hostName);
    if (!address) return false;
    const std::optional<std::string> request = tvRockRequest(*address, command);
    if (!request) return false;

    std::vector<uint32_t> candidates;
    if (std::optional<uint32_t> numeric = sockets.numericAddress(address->host))
        candidates.push_back(*numeric);
    else
        candidates = sockets.resolve(address->host);
    for (uint32_t candidate : candidates) {
        const SocketCalls::Handle socket = sockets.open();
        if (socket == SocketCalls::invalidHandle) return false;
        if (!sockets.connect(socket, candidate, static_cast<uint16_t>(address->port))) {
            sockets.close(socket);
            continue;
        }
        const bool sent = sendAll(sockets, socket, *request);
        sockets.close(socket);
        return sent;
    }
    return false;
}

bool sendTvRockCommand(int serviceId, int eventId, const std::string& hostName, SocketCalls& sockets,
                       MessageBoxes& messages) {
    if (sendTvRockRequest(hostName, tvRockCommandText(serviceId, eventId), sockets)) return true;
    messages.show("コマンド送信に失敗しました", "TvRock登録", message_box::ok | message_box::iconInformation);
    return false;
}

}  // namespace corvane
