#include "reserve/hex_text.h"

#include <cstdio>

#include "store/settings.h"

namespace corvane {

namespace {

constexpr int accountFieldSize = 100;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string encodeHexText(const std::string& text) {
    std::string hex;
    char pair[4];
    for (const char c : text) {
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(c));
        hex += pair;
    }
    return hex;
}

std::string decodeHexText(const std::string& hex) {
    std::string text;
    // Each pair is read like strtol: the value of its leading hex digits.
    for (size_t i = 0; i < hex.size(); i += 2) {
        int value = hexDigit(hex[i]);
        if (value < 0) break;
        const int low = i + 1 < hex.size() ? hexDigit(hex[i + 1]) : -1;
        if (low >= 0) value = value * 16 + low;
        if (value == 0) break;
        text += static_cast<char>(value);
        if (text.size() >= static_cast<size_t>(accountFieldSize)) break;
    }
    return cutToCapacity(text, accountFieldSize);
}

}  // namespace corvane
