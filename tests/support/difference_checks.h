// What the pieces of a text drawn against another must satisfy, for any two
// byte strings: checked by the native tests and the fuzz target.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dialogs/difference_highlight.h"
#include "store/shift_jis.h"

namespace corvane {

inline size_t characterAt(std::string_view text, size_t i) {
    return isShiftJisLeadByte(text[i]) && i + 1 < text.size() ? 2 : 1;
}

// One letter per byte of `a` drawn against `b`: 'n' normal, 'd' differs.
inline std::string differenceColours(std::string_view a, std::string_view b) {
    std::string colours;
    for (const TextPiece& piece : highlightDifferences(a, b)) colours.append(piece.length, piece.differs ? 'd' : 'n');
    return colours;
}

// The first rule broken by the pieces of `a` drawn against `b`; empty when none.
inline std::string differenceFault(std::string_view a, std::string_view b) {
    std::vector<bool> boundary(a.size() + 1, true);  // false inside a double-byte character
    for (size_t i = 0; i < a.size(); i += characterAt(a, i)) boundary[i + 1] = characterAt(a, i) == 1;
    const std::vector<TextPiece> pieces = highlightDifferences(a, b);
    std::string normal;
    size_t end = 0;
    for (size_t n = 0; n < pieces.size(); end += pieces[n++].length) {
        if (pieces[n].offset != end || pieces[n].length == 0 || pieces[n].length > a.size() - end)
            return "the pieces are not back to back";
        if (!boundary[end + pieces[n].length]) return "a piece ends inside a character";
        if (n > 0 && pieces[n - 1].differs == pieces[n].differs) return "two pieces of one colour side by side";
        if (!pieces[n].differs) normal += a.substr(end, pieces[n].length);
    }
    if (end != a.size()) return "the pieces do not cover the text";
    size_t found = 0;  // normal characters each stand in b, in the same order
    for (char c : b) found += found < normal.size() && normal[found] == c;
    if (found != normal.size()) return "normal bytes not in the compared text in order";
    // A six-byte match needs six bytes of one text and eight of the other (it
    // starts after its first character and ends before its last byte); without
    // it the texts are compared character against character at equal positions.
    if ((a.size() < 8 || b.size() < 6) && (b.size() < 8 || a.size() < 6)) {
        std::string expected;
        for (size_t i = 0, j = 0, n; i < a.size(); i += n, j += j < b.size() ? characterAt(b, j) : 0) {
            n = characterAt(a, i);
            expected.append(n, j < b.size() && n == characterAt(b, j) && a.substr(i, n) == b.substr(j, n) ? 'n' : 'd');
        }
        if (differenceColours(a, b) != expected) return "a short text not compared position by position";
    }
    const std::string_view prefix = a.substr(0, shiftJisPrefixLength(a.data(), a.size(), b.size()));
    if (differenceColours(a, a) != std::string(a.size(), 'n') ||
        differenceColours(a, {}) != std::string(a.size(), 'd') ||
        differenceColours(prefix, a) != std::string(prefix.size(), 'n') ||
        differenceColours(a, prefix) != std::string(prefix.size(), 'n') + std::string(a.size() - prefix.size(), 'd'))
        return "a text against itself, nothing or its own beginning";
    return {};
}

}  // namespace corvane
