// Which characters of one Shift_JIS text differ from another: the reservation
// list and the update information window draw a text in pieces, the
// characters that also stand in the other text in the normal colour and the
// rest in the difference colour, so that a changed time or title stands out.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace corvane {

// A run of bytes of the drawn text, drawn in one colour.
struct TextPiece {
    size_t offset = 0;
    size_t length = 0;
    bool differs = false;  // drawn in the difference colour

    bool operator==(const TextPiece&) const = default;
};

// The pieces of `drawn`, in order, as compared with `compared`: both texts are
// walked character by character (a lead byte and the byte after it are one
// character; a lead byte ending a text is one byte on its own). Equal
// characters are normal. At a differing character the texts fall back into
// step where six bytes agree: further on in `drawn` (the characters skipped
// differ) or else further on in `compared` (its extra characters are not
// drawn); otherwise the character differs and both texts move on by one
// character. Such a six-byte match must start on a character boundary of the
// text searched and end before that text's last byte, so two texts under
// seven bytes (or any text under six) are compared position by position.
// What is left of `drawn` after `compared` ends differs.
//
// The pieces are non-empty, follow one another from offset 0 to the end of
// `drawn`, alternate in colour and never cut a double-byte character. An
// empty `drawn` gives no pieces.
std::vector<TextPiece> highlightDifferences(std::string_view drawn, std::string_view compared);

}  // namespace corvane
