#include "tools/broadcast/arib_encoder.h"

#include <cstddef>

namespace corvane::broadcast {
namespace {

enum class Set { Kanji, Alnum, AlnumHalf, Blank, Hiragana, Katakana, Newline };

struct Token {
    Set set;
    uint8_t c1;
    uint8_t c2;  // second byte of a Kanji code
};

constexpr uint8_t kLs0 = 0x0F, kLs1 = 0x0E, kSs3 = 0x1D, kEsc = 0x1B;
constexpr uint8_t kMsz = 0x89, kNsz = 0x8A, kApr = 0x0D;

// Half-width katakana 0xA1..0xDF as their full-width forms (two bytes each;
// narrow literals are Shift_JIS).
constexpr char kHalfKatakana[] =
    "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜";

// JIS X 0208 (row 1) forms of the ASCII symbols 0x21..0x7E that the
// alphanumeric set shows full-width; 0 where the set has no such symbol.
constexpr uint8_t kSymbolCell[0x7F - 0x21] = {
    0x2A, 0x49, 0x74, 0x70, 0x73, 0x75, 0x47, 0x4A, 0x4B, 0x76, 0x5C, 0x24, 0x5D, 0x25, 0x3F,  // ! .. /
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                                                          // 0 .. 9
    0x27, 0x28, 0x63, 0x61, 0x64, 0x29, 0x77,                                              // : .. @
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,          // A .. Z
    0x4E, 0x6F, 0x4F, 0x30, 0x32, 0,                                                       // [ \ ] ^ _ `
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,          // a .. z
    0x50, 0x43, 0x51, 0x31,                                                                // { | } ~
};

// Row-1 symbols that both kana sets also hold, as codes 0x79..0x7E.
constexpr uint8_t kSharedKanaCell[] = {0x3C, 0x23, 0x56, 0x57, 0x22, 0x26};  // ー 。 「 」 、 ・

bool isLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrail(uint8_t b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

class Tokenizer {
public:
    std::vector<Token> run(std::string_view s) {
        for (size_t i = 0; i < s.size(); ++i) {
            uint8_t b = static_cast<uint8_t>(s[i]);
            uint8_t next = i + 1 < s.size() ? static_cast<uint8_t>(s[i + 1]) : 0;
            if (b == '\r' || b == '\n') {
                if (b == '\r' && next == '\n') ++i;
                add({Set::Newline, kApr, 0});
            } else if (b == ' ') {
                add({Set::Blank, 0x20, 0});
            } else if (b > 0x20 && b < 0x7F) {
                add({Set::AlnumHalf, b, 0});
            } else if (b >= 0xA1 && b <= 0xDF) {
                halfKatakana(b, next, i);
            } else if (isLead(b) && isTrail(next)) {
                ++i;
                jis(b, next);
            }
            // other control bytes and broken double-byte codes are dropped
        }
        return std::move(tokens_);
    }

private:
    void add(Token t) {
        if (t.set == Set::Hiragana || t.set == Set::Katakana)
            lastKana_ = t.set;
        else
            lastKana_ = Set::Kanji;  // no kana context
        tokens_.push_back(t);
    }

    void halfKatakana(uint8_t b, uint8_t next, size_t& i) {
        size_t k = static_cast<size_t>(b - 0xA1) * 2;
        uint8_t s1 = static_cast<uint8_t>(kHalfKatakana[k]), s2 = static_cast<uint8_t>(kHalfKatakana[k + 1]);
        // A following (semi-)voiced mark joins the kana where JIS has the combination.
        bool kaToTo = s2 >= 0x4A && s2 <= 0x67 && s2 != 0x62;  // カ..ト without ッ
        bool haToHo = s2 >= 0x6E && s2 <= 0x7A && (s2 - 0x6E) % 3 == 0;
        bool voicable = s1 == 0x83 && (kaToTo || haToHo);
        if (next == 0xDE && voicable) {
            ++s2, ++i;
        } else if (next == 0xDF && voicable && s2 >= 0x6E) {
            s2 += 2, ++i;
        } else if (next == 0xDE && s1 == 0x83 && s2 == 0x45) {  // ｳﾞ
            s2 = 0x94, ++i;
        }
        jis(s1, s2);
    }

    void jis(uint8_t s1, uint8_t s2) {
        int row2 = (s1 <= 0x9F ? s1 - 0x81 : s1 - 0xC1) * 2;
        uint8_t j1, j2;
        if (s2 >= 0x9F) {
            j1 = static_cast<uint8_t>(row2 + 0x22);
            j2 = static_cast<uint8_t>(s2 - 0x7E);
        } else {
            j1 = static_cast<uint8_t>(row2 + 0x21);
            j2 = static_cast<uint8_t>(s2 - (s2 >= 0x80 ? 0x20 : 0x1F));
        }
        if (j1 > 0x74) {  // beyond row 84: no ARIB Kanji code
            j1 = 0x22;
            j2 = 0x2E;  // 〓
        }
        if (j1 == 0x23 && ((j2 >= 0x30 && j2 <= 0x39) || (j2 >= 0x41 && j2 <= 0x5A) || (j2 >= 0x61 && j2 <= 0x7A)))
            return add({Set::Alnum, j2, 0});
        if (j1 == 0x21) {
            for (int c = 0; c < 0x7F - 0x21; ++c)
                if (kSymbolCell[c] == j2) return add({Set::Alnum, static_cast<uint8_t>(0x21 + c), 0});
            if (j2 == 0x35 || j2 == 0x36) return add({Set::Hiragana, static_cast<uint8_t>(j2 + 0x42), 0});  // ゝゞ
            if (j2 == 0x33 || j2 == 0x34) return add({Set::Katakana, static_cast<uint8_t>(j2 + 0x44), 0});  // ヽヾ
            for (uint8_t k = 0; k < sizeof kSharedKanaCell; ++k) {
                if (kSharedKanaCell[k] == j2 && lastKana_ != Set::Kanji)
                    return add({lastKana_, static_cast<uint8_t>(0x79 + k), 0});
            }
        }
        if (j1 == 0x24 && j2 <= 0x73) return add({Set::Hiragana, j2, 0});
        if (j1 == 0x25 && j2 <= 0x76) return add({Set::Katakana, j2, 0});
        add({Set::Kanji, j1, j2});
    }

    std::vector<Token> tokens_;
    Set lastKana_ = Set::Kanji;
};

class Emitter {
public:
    Emitter(std::vector<uint8_t>& out, AribStyle style) : out_(out), style_(style) {}

    void emit(const Token& t, const Token* next) {
        if (t.set == Set::Newline) return put(kApr);
        bool half = t.set == Set::AlnumHalf || t.set == Set::Blank;
        if (half != halfSize_) {
            put(half ? kMsz : kNsz);
            halfSize_ = half;
        }
        if (t.set == Set::Blank) return put(0x20);
        if (style_ == AribStyle::DesignateIntoG0)
            designated(t);
        else
            defaultSets(t, next);
    }

private:
    void put(uint8_t b) { out_.push_back(b); }

    void defaultSets(const Token& t, const Token* next) {
        switch (t.set) {
        case Set::Kanji:
            lockGl(0);
            put(t.c1);
            put(t.c2);
            break;
        case Set::Alnum:
        case Set::AlnumHalf:
            lockGl(1);
            put(t.c1);
            break;
        case Set::Hiragana:
            if (gr_ != 2) {
                put(kEsc), put(0x7D);  // LS2R
                gr_ = 2;
            }
            put(t.c1 | 0x80);
            break;
        case Set::Katakana:
            if (gr_ != 3 && !(next && next->set == Set::Katakana)) {
                put(kSs3);
                put(t.c1);
                break;
            }
            if (gr_ != 3) {
                put(kEsc), put(0x7C);  // LS3R
                gr_ = 3;
            }
            put(t.c1 | 0x80);
            break;
        default:
            break;
        }
    }

    void lockGl(int reg) {
        if (gl_ == reg) return;
        put(reg == 0 ? kLs0 : kLs1);
        gl_ = reg;
    }

    void designated(const Token& t) {
        Set set = t.set == Set::AlnumHalf ? Set::Alnum : t.set;
        if (set != g0_) {
            put(kEsc);
            switch (set) {
            case Set::Kanji: put(0x24), put(0x42); break;
            case Set::Alnum: put(0x28), put(0x4A); break;
            case Set::Hiragana: put(0x28), put(0x30); break;
            default: put(0x28), put(0x31); break;
            }
            g0_ = set;
        }
        put(t.c1);
        if (set == Set::Kanji) put(t.c2);
    }

    std::vector<uint8_t>& out_;
    AribStyle style_;
    int gl_ = 0;        // register invoked into GL
    int gr_ = 2;        // register invoked into GR
    Set g0_ = Set::Kanji;
    bool halfSize_ = false;
};

}  // namespace

std::vector<uint8_t> shiftJisToArib(std::string_view sjis, AribStyle style) {
    std::vector<Token> tokens = Tokenizer().run(sjis);
    std::vector<uint8_t> out;
    out.reserve(tokens.size() * 2 + 4);
    Emitter emitter(out, style);
    for (size_t i = 0; i < tokens.size(); ++i)
        emitter.emit(tokens[i], i + 1 < tokens.size() ? &tokens[i + 1] : nullptr);
    return out;
}

}  // namespace corvane::broadcast
