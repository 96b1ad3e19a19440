// The listing printed by `corvane-epg diff`: the pieces of one text drawn
// against another (dialogs/difference_highlight.h), one line per piece.
#pragma once

#include <optional>
#include <string>

namespace corvane {

// "normal HEX" or "diff HEX" lines (lower-case hex of the piece's bytes) for
// text A against text B, both given as hex digits; nothing when a text is not
// whole bytes of hex digits.
std::optional<std::string> differenceListing(const char* aHex, const char* bHex);

}  // namespace corvane
