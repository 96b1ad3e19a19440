#include "reserve/reservation_text.h"

#include "store/shift_jis.h"

namespace corvane {

namespace {

bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Calls visit(index, byte) for the first byte of every Shift_JIS character.
template <typename Visit>
void forEachCharacter(std::string_view text, Visit visit) {
    for (size_t i = 0; i < text.size();) {
        visit(i, text[i]);
        i += isShiftJisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    }
}

}  // namespace

DecimalField readDecimalField(std::string_view field, int64_t low, int64_t high) {
    size_t i = 0;
    while (i < field.size() && isBlank(field[i])) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
    DecimalField out;
    // Accumulated toward the sign's side, so the most negative value is reachable.
    int64_t value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        out.digits = true;
        const int digit = field[i] - '0';
        if (negative) {
            value = value < (low + digit) / 10 ? low : value * 10 - digit;
            if (value < low) value = low;
        } else {
            value = value > (high - digit) / 10 ? high : value * 10 + digit;
            if (value > high) value = high;
        }
    }
    out.value = value < low ? low : value > high ? high : value;
    return out;
}

bool equalsIgnoringCase(std::string_view text, std::string_view word) {
    return text.size() == word.size() && startsWithIgnoringCase(text, word);
}

bool startsWithIgnoringCase(std::string_view text, std::string_view word) {
    if (text.size() < word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (lowerAscii(text[i]) != lowerAscii(word[i])) return false;
    return true;
}

std::string_view baseNameOf(std::string_view path) {
    size_t start = 0;
    forEachCharacter(path, [&](size_t i, char c) {
        if (c == '\\' || c == '/' || (c == ':' && i == 1)) start = i + 1;
    });
    return path.substr(start);
}

std::string_view withoutExtension(std::string_view name) {
    size_t dot = name.size();
    forEachCharacter(name, [&](size_t i, char c) {
        if (c == '.') dot = i;
    });
    return name.substr(0, dot);
}

std::string_view dropLeadingCharacters(std::string_view text, size_t count) {
    size_t i = 0;
    for (; count > 0 && i < text.size(); --count)
        i += isShiftJisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    return count > 0 ? std::string_view() : text.substr(i);
}

}  // namespace corvane
