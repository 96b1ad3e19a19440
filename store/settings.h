// The settings file, one key at a time. Every read goes to the file and every
// write reaches it at once: nothing is cached between calls, so what another
// window wrote a moment ago is what the next read sees.
//
// Observable rules, the same for every implementation:
// - section and key names are compared without regard to ASCII case and
//   without surrounding blanks; the first matching section wins;
// - a value is the text after the first '=', without surrounding blanks (tab,
//   line breaks, space, Ctrl-Z) and, when it both starts and ends with the
//   same quote (" or '), without that pair;
// - texts are Shift_JIS bytes and pass through unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "store/shift_jis.h"

namespace corvane {

class Settings {
public:
    virtual ~Settings() = default;

    // The integer of the value: leading blanks and control characters
    // skipped, an optional sign, then digits; "0x", "0o" and "0b" (lower case)
    // switch to base 16, 8 and 2. Anything else ends the number, so text reads
    // 0. Only the first 29 characters count, and the result wraps at 32 bits.
    // A missing file, section or key, a key without '=' and an empty value
    // give `defaultValue`.
    virtual int readInt(const std::string& section, const std::string& key, int defaultValue) = 0;

    // The value, or `defaultValue` (trailing spaces and a surrounding quote
    // pair removed) when the file, section or key is missing or the key has
    // no '='. The result holds at most capacity - 1 bytes and never ends in
    // half of a double-byte character; capacity 0 gives "".
    virtual std::string readString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue, int capacity) = 0;

    // Sets the key, creating the section and the key when missing (the key
    // goes to the end of its section, a new section to the end of the file).
    // Leading blanks of the value are dropped and the value ends at its first
    // line break, so a value can never add keys of its own. False when the
    // file cannot be written.
    virtual bool writeString(const std::string& section, const std::string& key,
                             const std::string& value) = 0;
};

inline bool writeInt(Settings& settings, const std::string& section, const std::string& key,
                     int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return settings.writeString(section, key, text);
}

// Colours and other hexadecimal values: lower case, no prefix ("%x").
inline bool writeHex(Settings& settings, const std::string& section, const std::string& key,
                     uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(value));
    return settings.writeString(section, key, text);
}

namespace settings_detail {

inline bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// The C library's strtol over 32-bit long: blanks, sign, an optional "0x"
// prefix in base 16, leading digits; out-of-range values clamp.
inline long parseLong32(const std::string& text, int base) {
    size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (base == 16 && i + 1 < text.size() && text[i] == '0' &&
        (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        // "0x" counts as a prefix only when a hex digit follows.
        const char next = i + 2 < text.size() ? text[i + 2] : '\0';
        const bool hexDigit = (next >= '0' && next <= '9') || (next >= 'a' && next <= 'f') ||
                              (next >= 'A' && next <= 'F');
        if (hexDigit) i += 2;
    }
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t total = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'z') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'Z') digit = c - 'A' + 10;
        if (digit < 0 || digit >= base) break;
        total = total * base + digit;
        if (total > limit) total = limit;
    }
    return static_cast<long>(negative ? -total : total);
}

}  // namespace settings_detail

// `atoi` of a stored text: leading decimal digits with an optional sign,
// 0 when there are none, clamped to the int range instead of overflowing.
inline int parseDecimal(const std::string& text) {
    return static_cast<int>(settings_detail::parseLong32(text, 10));
}

// A stored colour: `strtol` with base 16 (the value of the leading hex digits,
// 0 = black when there are none), kept to the 0x00BBGGRR bits that a colour
// has.
inline uint32_t parseHexColor(const std::string& text) {
    return static_cast<uint32_t>(settings_detail::parseLong32(text, 16)) & 0x00FFFFFFu;
}

// The longest prefix of `text` that fits in capacity - 1 bytes without
// splitting a double-byte character.
inline std::string cutToCapacity(const std::string& text, int capacity) {
    if (capacity <= 1) return std::string();
    return cutShiftJis(text, static_cast<size_t>(capacity) - 1);
}

}  // namespace corvane
