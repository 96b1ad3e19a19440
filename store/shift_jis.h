// Walking Shift_JIS (code page 932) text by characters, so that a cut never
// leaves half of a double-byte character behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace corvane {

inline bool isShiftJisLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
inline bool isShiftJisTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

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

// Whether the last character of `text` is a path separator ('\\' or '/'): a
// trail byte 0x5C (as in "表", 0x95 0x5C) is not one.
inline bool endsWithPathSeparator(const std::string& text) {
    size_t i = 0, last = std::string::npos;
    while (i < text.size()) {
        last = i;
        i += isShiftJisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    }
    return last != std::string::npos && last + 1 == text.size() && (text[last] == '\\' || text[last] == '/');
}

// A folder path ready for a file name to follow: `folder` with a backslash
// appended unless it already ends in a separator.
inline std::string withTrailingBackslash(const std::string& folder) {
    return endsWithPathSeparator(folder) ? folder : folder + '\\';
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
