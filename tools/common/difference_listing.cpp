#include "tools/common/difference_listing.h"

#include <cstring>

#include "dialogs/difference_highlight.h"
#include "tools/common/listing_text.h"

namespace corvane {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> bytesOfHex(const char* hex) {
    const size_t length = std::strlen(hex);
    if (length % 2 != 0) return std::nullopt;
    std::string bytes;
    for (size_t i = 0; i < length; i += 2) {
        const int high = hexValue(hex[i]), low = hexValue(hex[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes += static_cast<char>(high << 4 | low);
    }
    return bytes;
}

}  // namespace

std::optional<std::string> differenceListing(const char* aHex, const char* bHex) {
    const std::optional<std::string> a = bytesOfHex(aHex), b = bytesOfHex(bHex);
    if (!a || !b) return std::nullopt;
    std::string out;
    for (const TextPiece& piece : highlightDifferences(*a, *b)) {
        out += piece.differs ? "diff " : "normal ";
        out += hexBytes(reinterpret_cast<const uint8_t*>(a->data()) + piece.offset, piece.length);
        out += '\n';
    }
    return out;
}

}  // namespace corvane
