#include "store/text_match.h"

#include <array>
#include <cstring>

#include "store/shift_jis.h"

namespace corvane {

namespace {

// The code page 932 codes of the full-width forms of ASCII 0x21..0x7E
// (U+FF01..U+FF5E), in that order.
constexpr uint16_t kFullWidthAscii[94] = {
    0x8149, 0xEEFC, 0x8194, 0x8190, 0x8193, 0x8195, 0xEEFB, 0x8169, 0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144,
    0x815E, 0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256, 0x8257, 0x8258, 0x8146, 0x8147, 0x8183,
    0x8181, 0x8184, 0x8148, 0x8197, 0x8260, 0x8261, 0x8262, 0x8263, 0x8264, 0x8265, 0x8266, 0x8267, 0x8268, 0x8269,
    0x826A, 0x826B, 0x826C, 0x826D, 0x826E, 0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276, 0x8277,
    0x8278, 0x8279, 0x816D, 0x815F, 0x816E, 0x814F, 0x8151, 0x814D, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286,
    0x8287, 0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F, 0x8290, 0x8291, 0x8292, 0x8293, 0x8294,
    0x8295, 0x8296, 0x8297, 0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8160};

// The ASCII character of each code with lead byte 0x81 or 0x82 (index
// (lead - 0x81) * 256 + trail), 0 for the others.
constexpr std::array<uint8_t, 512> asciiOfFullWidth() {
    std::array<uint8_t, 512> table{};
    for (int i = 0; i < 94; ++i)
        if (kFullWidthAscii[i] < 0x8300) table[kFullWidthAscii[i] - 0x8100] = static_cast<uint8_t>(0x21 + i);
    table[0x40] = ' ';  // the ideographic blank
    return table;
}
constexpr std::array<uint8_t, 512> kAsciiOfFullWidth = asciiOfFullWidth();

// The full-width character of each half-width katakana byte 0xA1..0xDF; the
// voiced and semi-voiced marks stand alone as "゛" and "゜".
constexpr uint16_t kHalfWidthKana[63] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348, 0x8383, 0x8385,
    0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C, 0x834E, 0x8350, 0x8352,
    0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B,
    0x836C, 0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382, 0x8384,
    0x8386, 0x8388, 0x8389, 0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B};

constexpr uint8_t kVoicedMark = 0xDE, kSemiVoicedMark = 0xDF;

// The katakana that half-width kana byte `c` and the mark `mark` after it
// make together; 0 when the two stay two characters.
FoldUnit markedKana(uint8_t c, uint8_t mark) {
    const FoldUnit base = kHalfWidthKana[c - 0xA1];
    if (mark == kVoicedMark) {
        if (c == 0xB3) return 0x8394;                                // ｳﾞ: ヴ
        if ((c >= 0xB6 && c <= 0xC4) || (c >= 0xCA && c <= 0xCE)) return base + 1;  // ｶﾞ..ﾄﾞ, ﾊﾞ..ﾎﾞ
    } else if (mark == kSemiVoicedMark && c >= 0xCA && c <= 0xCE) {
        return base + 2;  // ﾊﾟ..ﾎﾟ
    }
    return 0;
}

// The unit of a two-byte character.
FoldUnit foldedDouble(uint8_t lead, uint8_t trail) {
    const FoldUnit code = static_cast<FoldUnit>(lead << 8 | trail);
    if (lead <= 0x82) {
        if (const uint8_t ascii = kAsciiOfFullWidth[code - 0x8100]) {
            return ascii >= 'A' && ascii <= 'Z' ? ascii + ('a' - 'A') : ascii;
        }
        if (code >= 0x829F && code <= 0x82F1) {  // ぁ..ん: ァ..ン, whose codes skip trail byte 0x7F
            const int index = code - 0x829F;
            return static_cast<FoldUnit>((0x8340 + index + (index >= 0x3F ? 1 : 0)) | kHiraganaBit);
        }
        if (code == 0x8154 || code == 0x8155) return (code - 2) | kHiraganaBit;  // ゝゞ: ヽヾ
        return code;
    }
    // The second codes code page 932 gives the full-width apostrophe and quotation mark.
    if (code == 0xEEFB || code == 0xFA56) return '\'';
    if (code == 0xEEFC || code == 0xFA57) return '"';
    return code;
}

bool isQueryBlank(FoldUnit u) { return u <= 0x20 || u == 0x7F; }

bool sameMasked(const FoldUnit* a, const FoldUnit* b, size_t n, FoldUnit mask) {
    for (size_t i = 0; i < n; ++i)
        if ((a[i] & mask) != (b[i] & mask)) return false;
    return true;
}

#if defined(__GNUC__)
// Eight units side by side (one SSE2 register on x86).
using Lanes = FoldUnit __attribute__((vector_size(16)));
constexpr size_t kLanes = sizeof(Lanes) / sizeof(FoldUnit);
inline Lanes loadLanes(const FoldUnit* p) {
    Lanes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline Lanes splat(FoldUnit u) { return Lanes{} + u; }
#endif

}  // namespace

void appendFolded(std::string_view sjis, std::vector<FoldUnit>& out) {
    const size_t n = sjis.size();
    const auto byteAt = [&](size_t i) { return static_cast<uint8_t>(sjis[i]); };
    for (size_t i = 0; i < n;) {
        const uint8_t c = byteAt(i);
        if (c < 0x80) {
            out.push_back(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
            ++i;
        } else if (c >= 0xA1 && c <= 0xDF) {
            const FoldUnit marked = i + 1 < n ? markedKana(c, byteAt(i + 1)) : 0;
            out.push_back(marked ? marked : kHalfWidthKana[c - 0xA1]);
            i += marked ? 2 : 1;
        } else if (isShiftJisLeadByte(c) && i + 1 < n && isShiftJisTrailByte(byteAt(i + 1))) {
            out.push_back(foldedDouble(c, byteAt(i + 1)));
            i += 2;
        } else {
            out.push_back(kBrokenUnit);
            ++i;
        }
    }
}

void FoldedText::append(std::string_view sjis) {
    if (!units_.empty()) units_.push_back(kTextSeparator);
    appendFolded(sjis, units_);
}

size_t findFolded(std::span<const FoldUnit> text, std::span<const FoldUnit> word, bool kana, size_t from) {
    const size_t n = text.size(), m = word.size();
    if (m == 0 || from > n || m > n - from) return kNotFound;
    const FoldUnit mask = kana ? static_cast<FoldUnit>(~kHiraganaBit) : FoldUnit{0xFFFF};
    const FoldUnit first = word[0] & mask, last = word[m - 1] & mask;
    const FoldUnit* t = text.data();
    const FoldUnit* inner = word.data() + 1;
    const size_t innerLength = m > 2 ? m - 2 : 0;
    const size_t end = n - m + 1;  // places a word may start at
    size_t i = from;
#if defined(__GNUC__)
    // The first and the last unit of the word against eight places at once;
    // only the places where both agree are compared in full. The loads read
    // units i .. i + m + 6, all below n.
    const Lanes masks = splat(mask), firsts = splat(first), lasts = splat(last);
    for (; i + kLanes <= end; i += kLanes) {
        const auto agree = ((loadLanes(t + i) & masks) == firsts) & ((loadLanes(t + i + m - 1) & masks) == lasts);
        uint64_t halves[2];
        std::memcpy(halves, &agree, sizeof halves);
        if ((halves[0] | halves[1]) == 0) continue;
        for (size_t lane = 0; lane < kLanes; ++lane)
            if (agree[lane] && sameMasked(t + i + lane + 1, inner, innerLength, mask)) return i + lane;
    }
#endif
    for (; i < end; ++i)
        if ((t[i] & mask) == first && (t[i + m - 1] & mask) == last && sameMasked(t + i + 1, inner, innerLength, mask))
            return i;
    return kNotFound;
}

TextQuery::TextQuery(std::string_view sjis) {
    std::vector<FoldUnit> units;
    appendFolded(sjis, units);
    std::vector<FoldUnit> word;
    for (size_t i = 0; i <= units.size(); ++i) {
        if (i < units.size() && !isQueryBlank(units[i])) {
            word.push_back(units[i]);
            continue;
        }
        if (word.empty()) continue;
        for (FoldUnit u : word) {
            if (u == kBrokenUnit) {
                words_.clear();
                return;
            }
        }
        words_.push_back(std::move(word));
        word.clear();
    }
}

bool TextQuery::matches(std::span<const FoldUnit> text, bool kana) const {
    if (words_.empty()) return false;
    for (const std::vector<FoldUnit>& word : words_)
        if (findFolded(text, word, kana) == kNotFound) return false;
    return true;
}

}  // namespace corvane
