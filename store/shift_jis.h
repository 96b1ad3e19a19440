// Walking Shift_JIS (code page 932) text by characters, so that a cut never
// leaves half of a double-byte character behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane {

inline bool isShiftJisLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The longest prefix of `text` (of `length` bytes) that is at most `limit`
// bytes and does not end inside a double-byte character.
inline size_t shiftJisPrefixLength(const char* text, size_t length, size_t limit) {
    if (length <= limit) return length;
    size_t i = 0;
    while (i < limit) {
        const size_t step = isShiftJisLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i + step > limit) break;
        i += step;
    }
    return i;
}

inline std::string cutShiftJis(const std::string& text, size_t limit) {
    return text.substr(0, shiftJisPrefixLength(text.data(), text.size(), limit));
}

// A decoded broadcast text as edit-control lines: one CR at the very end is
// dropped, every other CR becomes CR LF. A CR is never the trail byte of a
// Shift_JIS character, so a byte scan is safe.
inline std::string crLinesToCrLf(const std::string& text) {
    size_t length = text.size();
    if (length > 0 && text[length - 1] == '\r') --length;
    std::string out;
    out.reserve(length + length / 16 + 2);
    for (size_t i = 0; i < length; ++i) {
        out += text[i];
        if (text[i] == '\r') out += '\n';
    }
    return out;
}

}  // namespace corvane
