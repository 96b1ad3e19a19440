// Shift_JIS (code page 932) text to the ARIB STD-B24 8-unit character code, as
// broadcasters put it into service, event and item texts.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace corvane::broadcast {

enum class AribStyle {
    // The registers stay as every ARIB string starts (G0 Kanji, G1
    // alphanumeric, G2 hiragana, G3 katakana): Kanji and alphanumerics in GL
    // through LS0/LS1, hiragana in GR, katakana in GR after LS3R for a run or
    // through SS3 for a single character.
    DefaultSets,
    // Everything through G0 (GL): each change of set designates the new set
    // into G0 (ESC $ B, ESC ( J, ESC ( 0, ESC ( 1).
    DesignateIntoG0,
};

// Full-width letters, digits and ASCII symbols go to the alphanumeric set,
// half-width ASCII to the same set between MSZ and NSZ (a half-width blank is
// SP), hiragana and katakana to their one-byte sets, everything else of JIS X
// 0208 to the Kanji set. Line breaks (CR, LF, CR LF) become APR (0x0D).
// Half-width katakana is written full-width. Codes beyond JIS row 84 (IBM and
// user-defined extensions) become the geta mark; invalid bytes are dropped.
std::vector<uint8_t> shiftJisToArib(std::string_view sjis, AribStyle style = AribStyle::DefaultSets);

}  // namespace corvane::broadcast
