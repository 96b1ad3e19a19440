// Finding words in Shift_JIS (code page 932) texts the way a reader means
// them: a text is folded once into units, one 16-bit unit per character,
// and the words of a query, folded the same way, are looked for among them.
//
// Folding makes one unit of the forms a reader takes for the same character:
//   - full-width ASCII letters, digits and symbols ("ＮＨＫ", "！") and the
//     plain ones; Latin capitals and small letters;
//   - the ideographic blank (0x81 0x40) and the ASCII blank;
//   - half-width katakana and full-width katakana, a half-width voiced or
//     semi-voiced mark joining the kana before it ("ｶﾞ" is "ガ", "ﾊﾟ" is "パ"),
//     and the half-width punctuation of that set ("｡" "｢" "｣" "､" "･" "ｰ").
// Hiragana stays apart from katakana, except when a search asks for kana to
// be matched either way: its unit is its katakana's unit with kHiraganaBit
// set, so that a search masking that bit takes one for the other. The long
// vowel mark "ー" is one character in both.
//
// Bytes that are no Shift_JIS character (a lead byte at the very end or
// before a byte that cannot follow it, 0x80, 0xA0, 0xFD..0xFF) each fold to
// kBrokenUnit, and the byte after a lead byte without its pair is read
// again as a character of its own. Every unit is a whole character of the
// text, so a word found never begins or ends inside one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace corvane {

using FoldUnit = uint16_t;

// A unit is the character's Shift_JIS code (one byte: the byte; two bytes:
// lead << 8 | trail) after folding; a hiragana's is its katakana's code with
// this bit set. No Shift_JIS code other than those of the characters with
// lead bytes 0xE0..0xFC has it, and those with it cleared have lead bytes
// 0xA0..0xBC, which no folded character has: masking the bit merges
// hiragana with katakana and nothing else.
constexpr FoldUnit kHiraganaBit = 0x4000;
constexpr FoldUnit kBrokenUnit = 0xFFFF;
// Between the texts folded one after the other: no word holds it, so no
// word is found across two texts.
constexpr FoldUnit kTextSeparator = 0x0000;

constexpr size_t kNotFound = static_cast<size_t>(-1);

// Appends the units of `sjis`, one per character.
void appendFolded(std::string_view sjis, std::vector<FoldUnit>& out);

// A text (or several texts of one programme, such as its title and its
// description) folded once, to be searched many times.
class FoldedText {
public:
    FoldedText() = default;
    explicit FoldedText(std::string_view sjis) { append(sjis); }

    // Appends another text, kept apart from the texts before it.
    void append(std::string_view sjis);
    void clear() { units_.clear(); }
    std::span<const FoldUnit> units() const { return units_; }

private:
    std::vector<FoldUnit> units_;
};

// Where `word` first stands in `text` at or after unit `from`, comparing
// units as they are or, with `kana`, with kHiraganaBit masked; kNotFound
// when nowhere (or when `word` is empty). Compares eight units at a time.
size_t findFolded(std::span<const FoldUnit> text, std::span<const FoldUnit> word, bool kana, size_t from = 0);

// The words of a query, typed in Shift_JIS: separated by blanks (ASCII or
// ideographic) and control characters, each folded.
class TextQuery {
public:
    explicit TextQuery(std::string_view sjis);

    // A query that no text answers: no words (only blanks), or a word with a
    // byte that is no Shift_JIS character.
    bool findsNothing() const { return words_.empty(); }
    const std::vector<std::vector<FoldUnit>>& words() const { return words_; }

    // Every word stands somewhere in `text`.
    bool matches(std::span<const FoldUnit> text, bool kana) const;

private:
    std::vector<std::vector<FoldUnit>> words_;
};

}  // namespace corvane
