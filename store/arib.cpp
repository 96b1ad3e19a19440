// ARIB STD-B24 8-unit character code to Shift_JIS (code page 932).
//
// The decoder keeps the four graphic registers, the GL/GR invocations and the
// half-size flag on the stack and writes straight into the caller's buffer.
// The end of the source and a 0x00 byte are the same thing to it: a sequence
// or character cut short by either ends the conversion there.
#include "store/arib.h"

#include <cstring>
#include <iterator>
#include <string_view>

namespace corvane {
namespace {

enum class CharSet : uint8_t {
    Kanji,              // also the two JIS compatible Kanji planes
    AdditionalSymbols,
    Alphanumeric,
    Hiragana,
    Katakana,
    Silent,             // mosaic, proportional and JIS X 0201 katakana sets: one byte, no output
};

// The set a designation's final byte names; false leaves the register alone.
bool setForFinalByte(uint8_t finalByte, CharSet& set) {
    switch (finalByte) {
    case 0x42: case 0x39: case 0x3A: set = CharSet::Kanji; return true;
    case 0x3B: set = CharSet::AdditionalSymbols; return true;
    case 0x4A: set = CharSet::Alphanumeric; return true;
    case 0x30: set = CharSet::Hiragana; return true;
    case 0x31: set = CharSet::Katakana; return true;
    case 0x32: case 0x33: case 0x34: case 0x35:
    case 0x36: case 0x37: case 0x38:
    case 0x49: set = CharSet::Silent; return true;
    default: return false;
    }
}

bool isTwoByte(CharSet set) { return set == CharSet::Kanji || set == CharSet::AdditionalSymbols; }

bool isGraphicCode(uint8_t code) { return code >= 0x21 && code <= 0x7E; }

// Full-width forms of alphanumeric codes 0x21..0x7E: JIS X 0208 row 1..3 in
// Shift_JIS. " and ' become closing quotes, \ the yen sign, ` a full-width
// space and ~ the overline, as receivers show them.
constexpr uint16_t kFullWidthAlphanumeric[94] = {
    0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166, 0x8169,  // !"#$%&'(
    0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E, 0x824F,  // )*+,-./0
    0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256, 0x8257,  // 12345678
    0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148, 0x8197,  // 9:;<=>?@
    0x8260, 0x8261, 0x8262, 0x8263, 0x8264, 0x8265, 0x8266, 0x8267,  // ABCDEFGH
    0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E, 0x826F,  // IJKLMNOP
    0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276, 0x8277,  // QRSTUVWX
    0x8278, 0x8279, 0x816D, 0x818F, 0x816E, 0x814F, 0x8151, 0x8140,  // YZ[\]^_`
    0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287, 0x8288,  // abcdefgh
    0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F, 0x8290,  // ijklmnop
    0x8291, 0x8292, 0x8293, 0x8294, 0x8295, 0x8296, 0x8297, 0x8298,  // qrstuvwx
    0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8150,                  // yz{|}~
};

constexpr uint16_t kFullWidthSpace = 0x8140;

// Codes 0x77..0x7E, shared by the hiragana and katakana sets apart from the
// two iteration marks.
constexpr uint16_t kHiraganaShared[8] = {0x8154, 0x8155, 0x815B, 0x8142, 0x8175, 0x8176, 0x8141, 0x8145};
constexpr uint16_t kKatakanaShared[8] = {0x8152, 0x8153, 0x815B, 0x8142, 0x8175, 0x8176, 0x8141, 0x8145};

// Additional symbols with a text form, by index (row byte << 8 | cell byte).
constexpr uint16_t kSymbolsFirstBase = 0x7A50;
constexpr std::string_view kSymbolsFirst[] = {
    "[HV]", "[SD]", "[Ｐ]", "[Ｗ]", "[MV]", "[手]", "[字]", "[双]", "[デ]", "[Ｓ]",
    "[二]", "[多]", "[解]", "[SS]", "[Ｂ]", "[Ｎ]", "■", "●", "[天]", "[交]",
    "[映]", "[無]", "[料]", "_", "[前]", "[後]", "[再]", "[新]", "[初]", "[終]",
    "[生]", "[販]", "[声]", "[吹]", "[PPV]", "(秘)", "<ほか>",
};
static_assert(std::size(kSymbolsFirst) == 0x7A74 - 0x7A50 + 1);

constexpr uint16_t kSymbolsSecondBase = 0x7D6E;
constexpr std::string_view kSymbolsSecond[] = {"!!", "!?"};

constexpr uint16_t kSymbolsThirdBase = 0x7E21;
constexpr std::string_view kSymbolsThird[] = {
    "Ⅰ", "Ⅱ", "Ⅲ", "Ⅳ", "Ⅴ", "Ⅵ", "Ⅶ", "Ⅷ", "Ⅸ", "Ⅹ",
    "ⅩⅠ", "ⅩⅡ", "(17)", "(18)", "(19)", "(20)",
    "(1)", "(2)", "(3)", "(4)", "(5)", "(6)", "(7)", "(8)", "(9)", "(10)", "(11)", "(12)",
    "(21)", "(22)", "(23)", "(24)",
    "(A)", "(B)", "(C)", "(D)", "(E)", "(F)", "(G)", "(H)", "(I)", "(J)", "(K)", "(L)", "(M)",
    "(N)", "(O)", "(P)", "(Q)", "(R)", "(S)", "(T)", "(U)", "(V)", "(W)", "(X)", "(Y)", "(Z)",
    "(25)", "(26)", "(27)", "(28)", "(29)", "(30)",
    "①", "②", "③", "④", "⑤", "⑥", "⑦", "⑧", "⑨", "⑩", "⑪", "⑫", "⑬", "⑭", "⑮", "⑯",
    "<1>", "<2>", "<3>", "<4>", "<5>", "<6>", "<7>", "<8>", "<9>", "<10>", "<11>", "<12>",
    "(31)",
};
static_assert(std::size(kSymbolsThird) == 0x7E7D - 0x7E21 + 1);

template <size_t N>
std::string_view symbolFrom(const std::string_view (&table)[N], uint16_t base, uint16_t index) {
    if (index < base || size_t(index - base) >= N) return {};
    return table[index - base];
}

std::string_view additionalSymbolText(uint16_t index) {
    std::string_view text = symbolFrom(kSymbolsFirst, kSymbolsFirstBase, index);
    if (text.empty()) text = symbolFrom(kSymbolsSecond, kSymbolsSecondBase, index);
    if (text.empty()) text = symbolFrom(kSymbolsThird, kSymbolsThirdBase, index);
    return text;
}

uint16_t jisToShiftJis(uint8_t row, uint8_t cell) {
    uint8_t lead = static_cast<uint8_t>((row + 1) / 2 + (row < 0x5F ? 0x70 : 0xB0));
    unsigned trail = cell + ((row & 1) ? 0x1F : 0x7D);
    if (trail > 0x7E) ++trail;
    return static_cast<uint16_t>(lead << 8 | trail);
}

// Source bytes with the string's end folded in: 0 past the length, and a
// 0x00 byte reads the same, so every lookahead doubles as the end test.
class Source {
public:
    Source(const uint8_t* data, size_t length) : data_(data), length_(data ? length : 0) {}
    uint8_t at(size_t i) const { return i < length_ ? data_[i] : 0; }

private:
    const uint8_t* data_;
    size_t length_;
};

// Writes whole units only, keeping room for the NUL; a unit that does not
// fit is skipped so that a shorter one later may still go in.
class Output {
public:
    Output(char* out, size_t size) : out_(out), size_(out ? size : 0) {}

    void put(std::string_view unit) {
        if (!out_ || unit.empty() || position_ + unit.size() + 1 >= size_) return;
        std::memcpy(out_ + position_, unit.data(), unit.size());
        position_ += unit.size();
    }
    void putByte(uint8_t byte) {
        if (position_ + 2 >= size_) return;
        out_[position_++] = static_cast<char>(byte);
    }
    void putDouble(uint16_t code) {
        if (position_ + 3 >= size_) return;
        out_[position_] = static_cast<char>(code >> 8);
        out_[position_ + 1] = static_cast<char>(code & 0xFF);
        position_ += 2;
    }
    void terminate() {
        if (size_ == 0) return;
        out_[position_ + 1 < size_ ? position_ : size_ - 1] = '\0';
    }

private:
    char* out_;
    size_t size_;
    size_t position_ = 0;
};

struct DecoderState {
    CharSet g[4] = {CharSet::Kanji, CharSet::Alphanumeric, CharSet::Hiragana, CharSet::Katakana};
    int gl = 0;
    int gr = 2;
    bool halfSize = false;

    void designate(int reg, uint8_t finalByte) { setForFinalByte(finalByte, g[reg]); }
};

inline void putKana(uint8_t code, bool katakana, Output& out) {
    if (code >= 0x77 && code <= 0x7E) {
        out.putDouble((katakana ? kKatakanaShared : kHiraganaShared)[code - 0x77]);
    } else if (!katakana && code >= 0x21 && code <= 0x73) {
        out.putDouble(static_cast<uint16_t>(0x829F + (code - 0x21)));
    } else if (katakana && code >= 0x21 && code <= 0x76) {
        unsigned sjis = 0x8340 + (code - 0x21);
        if (sjis >= 0x837F) ++sjis;  // 0x7F is never a Shift_JIS trail byte
        out.putDouble(static_cast<uint16_t>(sjis));
    } else {
        out.putDouble(kFullWidthSpace);
    }
}

void putAlphanumeric(uint8_t code, bool halfSize, Output& out) {
    if (!isGraphicCode(code)) {
        // Only 0x7F (0xFF through GR) gets here: a blank of the current width
        // rather than a DEL control in the text.
        if (halfSize) out.putByte(0x20);
        else out.putDouble(kFullWidthSpace);
    } else if (halfSize) {
        out.putByte(code == 0x60 ? 0x20 : code);
    } else {
        out.putDouble(kFullWidthAlphanumeric[code - 0x21]);
    }
}

// Converts one character of `set` starting at `i` and answers the bytes it
// took, or 0 when the character is cut short by the end of the string. The
// top bit of each byte is dropped, which is the GR reduction.
// Inlined: it runs for every character of every text the guide shows.
[[gnu::always_inline]] inline size_t convertCharacter(CharSet set, const Source& src, size_t i,
                                                      const DecoderState& state, Output& out) {
    uint8_t first = src.at(i) & 0x7F;
    if (isTwoByte(set)) {
        uint8_t secondByte = src.at(i + 1);
        if (secondByte == 0) return 0;
        uint8_t second = secondByte & 0x7F;
        if (set == CharSet::AdditionalSymbols) {
            out.put(additionalSymbolText(static_cast<uint16_t>(first << 8 | second)));
        } else if (isGraphicCode(first) && isGraphicCode(second)) {
            // Codes outside the 94 x 94 plane have no Shift_JIS pair and would
            // leave a stray lead byte in the text.
            out.putDouble(jisToShiftJis(first, second));
        }
        return 2;
    }
    switch (set) {
    case CharSet::Alphanumeric: putAlphanumeric(first, state.halfSize, out); break;
    case CharSet::Hiragana: putKana(first, false, out); break;
    case CharSet::Katakana: putKana(first, true, out); break;
    default: break;
    }
    return 1;
}

// Interprets the escape sequence at `i` and answers its length, or 0 when it
// is cut short by the end of the string.
size_t readEscape(const Source& src, size_t i, DecoderState& state) {
    uint8_t second = src.at(i + 1);
    switch (second) {
    case 0x00: return 0;
    case 0x6E: state.gl = 2; return 2;  // LS2
    case 0x6F: state.gl = 3; return 2;  // LS3
    case 0x7E: state.gr = 1; return 2;  // LS1R
    case 0x7D: state.gr = 2; return 2;  // LS2R
    case 0x7C: state.gr = 3; return 2;  // LS3R
    case 0x28: case 0x29: case 0x2A: case 0x2B: {
        int reg = second - 0x28;
        uint8_t third = src.at(i + 2);
        if (third == 0) return 0;
        if (third != 0x20) {
            state.designate(reg, third);
            return 3;
        }
        uint8_t finalByte = src.at(i + 3);  // DRCS
        if (finalByte == 0) return 0;
        state.designate(reg, finalByte);
        return 4;
    }
    case 0x24: {
        uint8_t third = src.at(i + 2);
        if (third == 0) return 0;
        if (third < 0x28 || third > 0x2B) {
            state.designate(0, third);
            return 3;
        }
        int reg = third - 0x28;
        uint8_t fourth = src.at(i + 3);
        if (fourth == 0) return 0;
        if (fourth == 0x20) {
            uint8_t finalByte = src.at(i + 4);  // two-byte DRCS
            if (finalByte == 0) return 0;
            state.designate(reg, finalByte);
            return 5;
        }
        // G0 takes two-byte sets as ESC $ F; ESC $ ( F is no designation
        // and its last two bytes are read again as text.
        if (reg == 0) return 2;
        state.designate(reg, fourth);
        return 4;
    }
    default: return 2;
    }
}

}  // namespace

// Every name and text the guide lists passes here, and how fast its loop runs
// depends on where the function lands in the program: it starts on a cache
// line, so the speed does not change with what is linked before it.
__attribute__((aligned(64))) void aribToShiftJis(const uint8_t* source, size_t sourceLength, char* out,
                                                 size_t outSize) {
    Source src(source, sourceLength);
    Output output(out, outSize);
    DecoderState state;

    size_t i = 0;
    for (;;) {
        uint8_t b = src.at(i);
        if (b == 0) break;
        // Kanji through GL is most of every text: the short way first.
        if (isGraphicCode(b) && state.g[state.gl] == CharSet::Kanji) {
            const uint8_t second = src.at(i + 1);
            if (isGraphicCode(second)) {
                output.putDouble(jisToShiftJis(b, second));
                i += 2;
                continue;
            }
        }
        size_t step = 1;
        if (isGraphicCode(b)) {
            step = convertCharacter(state.g[state.gl], src, i, state, output);
        } else if (b >= 0xA1) {
            step = convertCharacter(state.g[state.gr], src, i, state, output);
        } else {
            switch (b) {
            case 0x0D:  // APR; CR LF is one line break
                output.putByte(0x0D);
                if (src.at(i + 1) == 0x0A) step = 2;
                break;
            case 0x0E: state.gl = 1; break;  // LS1
            case 0x0F: state.gl = 0; break;  // LS0
            case 0x19:                       // SS2
            case 0x1D: {                     // SS3
                if (isGraphicCode(src.at(i + 1))) {
                    size_t taken = convertCharacter(state.g[b == 0x19 ? 2 : 3], src, i + 1, state, output);
                    step = taken ? 1 + taken : 0;
                }
                // Anything else after the shift is no character of the shifted
                // set: the shift lapses and that byte is read as it stands.
                break;
            }
            case 0x1B: step = readEscape(src, i, state); break;
            case 0x89: state.halfSize = true; break;   // MSZ
            case 0x8A: state.halfSize = false; break;  // NSZ
            default: break;  // SP, DEL and other controls: nothing, parameters read as text
            }
        }
        if (step == 0) break;  // cut short by the end of the string
        i += step;
    }
    output.terminate();
}

std::string aribToShiftJisString(const uint8_t* source, size_t sourceLength) {
    // Two source bytes give at most six (the symbol "<ほか>").
    std::string out(3 * sourceLength + 80, '\0');
    aribToShiftJis(source, sourceLength, out.data(), out.size());
    out.resize(std::strlen(out.c_str()));
    return out;
}

}  // namespace corvane
