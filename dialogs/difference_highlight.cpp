#include "dialogs/difference_highlight.h"

#include "store/shift_jis.h"

namespace corvane {

namespace {

// Bytes that must agree for two texts to fall back into step.
constexpr size_t kRealignBytes = 6;

// Length of the character at `at` (inside `text`).
size_t characterLength(std::string_view text, size_t at) {
    return isShiftJisLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

// The first character boundary of `searched` after `from` (a boundary inside
// it) where the six bytes of `other` at `at` stand; npos when there is none
// or `other` has fewer than six bytes left. The match must end before the
// last byte of `searched`, so that texts under seven bytes never realign.
size_t findRealignment(std::string_view searched, size_t from, std::string_view other, size_t at) {
    if (other.size() - at < kRealignBytes) return std::string_view::npos;
    const std::string_view window = other.substr(at, kRealignBytes);
    for (size_t m = from + characterLength(searched, from); m + kRealignBytes < searched.size();
         m += characterLength(searched, m))
        if (searched.substr(m, kRealignBytes) == window) return m;
    return std::string_view::npos;
}

}  // namespace

std::vector<TextPiece> highlightDifferences(std::string_view drawn, std::string_view compared) {
    std::vector<TextPiece> pieces;
    auto add = [&pieces](size_t from, size_t to, bool differs) {
        if (from >= to) return;
        if (!pieces.empty() && pieces.back().differs == differs)
            pieces.back().length += to - from;
        else
            pieces.push_back({from, to - from, differs});
    };
    // i walks `drawn`, j walks `compared`; drawn[p, i) is the run of equal
    // characters not yet added. Differing characters are added at once:
    // nothing can come between them and the next equal character.
    size_t i = 0, j = 0, p = 0;
    while (i < drawn.size() && j < compared.size()) {
        const size_t length = characterLength(drawn, i);
        if (length == characterLength(compared, j) && drawn.substr(i, length) == compared.substr(j, length)) {
            i += length, j += length;
            continue;
        }
        add(p, i, false);
        if (const size_t m = findRealignment(drawn, i, compared, j); m != std::string_view::npos) {
            add(i, m, true);
            i = m;
        } else if (const size_t k = findRealignment(compared, j, drawn, i); k != std::string_view::npos) {
            j = k;
        } else {
            add(i, i + length, true);
            i += length, j += characterLength(compared, j);
        }
        p = i;
    }
    add(p, i, false);
    add(i, drawn.size(), true);
    return pieces;
}

}  // namespace corvane
