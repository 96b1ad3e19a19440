// Narrow literals here are Shift_JIS (the build's execution charset), so
// expected texts are written as the characters themselves.
#include "store/arib.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "store/byte_reader.h"

namespace corvane {
namespace {

using Bytes = std::vector<uint8_t>;

// Bytes of a literal, embedded NULs included.
template <size_t N>
Bytes src(const char (&text)[N]) {
    return Bytes(text, text + N - 1);
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Decodes from an exactly sized heap copy into an exactly sized heap buffer,
// so that a read or write past either shows under AddressSanitizer.
std::string decode(const Bytes& source, size_t outSize = 256) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[source.size()]);
    if (!source.empty()) std::memcpy(copy.get(), source.data(), source.size());
    std::unique_ptr<char[]> out(new char[outSize]);
    std::memset(out.get(), 0x55, outSize);
    aribToShiftJis(copy.get(), source.size(), out.get(), outSize);
    const void* end = std::memchr(out.get(), 0, outSize);
    if (!end) {
        ADD_FAILURE() << "output not terminated";
        return {};
    }
    return std::string(out.get(), static_cast<size_t>(static_cast<const char*>(end) - out.get()));
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The C library's code page 932 converter: an oracle independent of the
// decoder's tables.
std::string utf8ToCp932(const std::string& utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        ADD_FAILURE() << "iconv has no CP932";
        return {};
    }
    std::string in = utf8;
    std::string out(in.size() * 2 + 8, '\0');
    char* inPtr = in.data();
    size_t inLeft = in.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) ADD_FAILURE() << "no CP932 form for " << utf8;
    out.resize(out.size() - outLeft);
    return out;
}

std::string cp932Of(char32_t c) {
    std::string utf8;
    appendUtf8(utf8, c);
    return utf8ToCp932(utf8);
}

TEST(AribToShiftJis, ConvertsTheBasicCases) {
    EXPECT_EQ(decode({}), "");
    EXPECT_EQ(decode(src("\0\x30\x21")), "");
    EXPECT_EQ(decode(src("\x30\x21")), "\x88\x9F");
    EXPECT_EQ(decode(src("\x30\x21")), "亜");
    EXPECT_EQ(decode(src("\x0E" "A")), "\x82\x60");
    EXPECT_EQ(decode(src("\x0E\x89" "A")), "A");
    EXPECT_EQ(decode(src("\xA2")), "\x82\xA0");
    EXPECT_EQ(decode(src("\x1B\x24\x3B\x7A\x50")), "[HV]");
    EXPECT_EQ(decode(src("\x1B\x24\x3B\x7A\x75")), "");
    EXPECT_EQ(decode(src("\x0D\x0A")), "\x0D");
    EXPECT_EQ(decode(src("\x20")), "");
    EXPECT_EQ(decode(src("\x0E" "A\0B")), "Ａ");
}

TEST(AribToShiftJis, KanjiFollowsRowAndCellArithmetic) {
    EXPECT_EQ(decode(src("\x31\x21")), "\x89\x40");  // odd row
    EXPECT_EQ(decode(src("\x31\x5F")), "\x89\x7E");  // trail just below the gap
    EXPECT_EQ(decode(src("\x31\x60")), "\x89\x80");  // trail skips 0x7F
    EXPECT_EQ(decode(src("\x30\x7E")), "\x88\xFC");
    EXPECT_EQ(decode(src("\x5E\x7E")), "\x9F\xFC");  // last row below the lead-byte gap
    EXPECT_EQ(decode(src("\x5F\x21")), "\xE0\x40");  // first row above it
    EXPECT_EQ(decode(src("\x74\x26")), "熙");
    EXPECT_EQ(decode(src("\x1B\x24\x39\x30\x21\x1B\x24\x3A\x30\x21")), "亜亜");  // JIS compatible planes
    EXPECT_EQ(decode(src("\x1B\x24\x29\x42\x1B\x7E\xB0\xA1")), "亜");           // through GR
    // Codes off the 94 x 94 plane leave no stray lead byte; both bytes are taken.
    EXPECT_EQ(decode(src("\x1B\x24\x29\x42\x1B\x7E\xFF\xA1\xB0\xFF")), "");
    EXPECT_EQ(decode(src("\x30\x0D\x0E" "A")), "Ａ");
}

TEST(AribToShiftJis, AlphanumericsAreFullWidthUnlessHalfSize) {
    const std::string special = "\"'\\`~";
    for (char c = 0x21; c <= 0x7E; ++c) {
        if (special.find(c) != std::string::npos) continue;
        EXPECT_EQ(decode(src("\x0E") + Bytes{static_cast<uint8_t>(c)}), cp932Of(0xFF01 + (c - 0x21)))
            << "code " << c;
    }
    EXPECT_EQ(decode(src("\x0E\"'\\`~")), "”’￥　￣");
    EXPECT_EQ(decode(src("\x0E!#(")), "\x81\x49\x81\x94\x81\x69");
    EXPECT_EQ(decode(src("\x0E\x89" "Az09!~`\\")), "Az09!~ \\");
    EXPECT_EQ(decode(src("\x0E\x89" "A\x8A" "A")), "AＡ");
    // 0xFF through GR has no character of its own: a blank of the current width.
    EXPECT_EQ(decode(src("\x1B\x7E\xFF")), "　");
    EXPECT_EQ(decode(src("\x1B\x7E\x89\xFF")), " ");
    EXPECT_EQ(decode(src("\x0E\x7F")), "");  // DEL in GL is a control
}

TEST(AribToShiftJis, HiraganaAndKatakanaShareTheirLastCodes) {
    for (uint8_t c = 0x21; c <= 0x73; ++c)
        EXPECT_EQ(decode(Bytes{static_cast<uint8_t>(c | 0x80)}), cp932Of(0x3041 + (c - 0x21))) << int(c);
    for (uint8_t c = 0x21; c <= 0x76; ++c)
        EXPECT_EQ(decode(src("\x1B\x7C") + Bytes{static_cast<uint8_t>(c | 0x80)}), cp932Of(0x30A1 + (c - 0x21)))
            << int(c);
    EXPECT_EQ(decode(src("\x1B\x7C\xDF\xE0")), "ミム");
    EXPECT_EQ(decode(src("\xF4\xF5\xF6\xFF")), "　　　　");
    EXPECT_EQ(decode(src("\xF7\xF8\xF9\xFA\xFB\xFC\xFD\xFE")), "ゝゞー。「」、・");
    EXPECT_EQ(decode(src("\x1B\x7C\xF7\xF8\xF9\xFA\xFB\xFC\xFD\xFE")), "ヽヾー。「」、・");
    EXPECT_EQ(decode(src("\x1B\x7C\xFF")), "　");
}

TEST(AribToShiftJis, AdditionalSymbolsBecomeTexts) {
    struct Case {
        uint16_t index;
        const char* text;
    };
    const Case cases[] = {
        {0x7A4F, ""},       {0x7A50, "[HV]"}, {0x7A74, "<ほか>"}, {0x7A75, ""},    {0x7D6D, ""},
        {0x7D6E, "!!"},     {0x7D6F, "!?"},   {0x7D70, ""},       {0x7E20, ""},    {0x7E21, "\x87\x54"},
        {0x7E61, "\x87\x40"}, {0x7E7D, "(31)"}, {0x7E7E, ""},     {0x2121, ""},
    };
    for (const Case& c : cases) {
        Bytes code{static_cast<uint8_t>(c.index >> 8), static_cast<uint8_t>(c.index & 0xFF)};
        EXPECT_EQ(decode(src("\x1B\x24\x3B") + code), c.text) << std::hex << c.index;
    }
    auto run = [](uint16_t first, uint16_t last) {
        Bytes source = src("\x1B\x24\x3B");
        for (unsigned index = first; index <= last; ++index) {
            source.push_back(static_cast<uint8_t>(index >> 8));
            source.push_back(static_cast<uint8_t>(index & 0xFF));
        }
        return decode(source, 1024);
    };
    EXPECT_EQ(run(0x7A50, 0x7A74),
              "[HV][SD][Ｐ][Ｗ][MV][手][字][双][デ][Ｓ][二][多][解][SS][Ｂ][Ｎ]■●[天][交][映][無][料]_"
              "[前][後][再][新][初][終][生][販][声][吹][PPV](秘)<ほか>");
    EXPECT_EQ(run(0x7E21, 0x7E7D),
              "ⅠⅡⅢⅣⅤⅥⅦⅧⅨⅩⅩⅠⅩⅡ(17)(18)(19)(20)(1)(2)(3)(4)(5)(6)(7)(8)(9)(10)(11)(12)(21)(22)(23)(24)"
              "(A)(B)(C)(D)(E)(F)(G)(H)(I)(J)(K)(L)(M)(N)(O)(P)(Q)(R)(S)(T)(U)(V)(W)(X)(Y)(Z)"
              "(25)(26)(27)(28)(29)(30)①②③④⑤⑥⑦⑧⑨⑩⑪⑫⑬⑭⑮⑯<1><2><3><4><5><6><7><8><9><10><11><12>(31)");
    // The same symbol through GR, and a Kanji set back in G0 afterwards.
    EXPECT_EQ(decode(src("\x1B\x24\x2A\x3B\xFA\xD6\x1B\x24\x42\x30\x21")), "[字]亜");
}

TEST(AribToShiftJis, DesignationsSetOnlyTheNamedRegister) {
    EXPECT_EQ(decode(src("\x1B\x28\x4A" "A")), "Ａ");                      // one-byte set to G0
    EXPECT_EQ(decode(src("\x1B\x29\x30\x0E\x22")), "あ");                  // to G1
    EXPECT_EQ(decode(src("\x1B\x2A\x31\xA2")), "ア");                      // to G2, shown in GR
    EXPECT_EQ(decode(src("\x1B\x2B\x42\x1D\x30\x21")), "亜");              // Kanji named by a one-byte form
    EXPECT_EQ(decode(src("\x1B\x28\x20\x4A" "A")), "Ａ");                  // DRCS form
    EXPECT_EQ(decode(src("\x1B\x28\x20\x40\x30\x21")), "亜");              // DRCS set with no conversion
    EXPECT_EQ(decode(src("\x1B\x28\x40\x30\x21")), "亜");                  // unknown final byte
    EXPECT_EQ(decode(src("\x1B\x24\x29\x42\x0E\x30\x21")), "亜");          // two-byte set to G1
    EXPECT_EQ(decode(src("\x1B\x24\x2A\x3B\xFA\xD0")), "[HV]");            // to G2
    EXPECT_EQ(decode(src("\x1B\x24\x2B\x20\x42\x1D\x30\x21")), "亜");      // two-byte DRCS form to G3
    EXPECT_EQ(decode(src("\x1B\x24\x2B\x20\x40\x1D\x22")), "ア");          // G3 keeps katakana
    EXPECT_EQ(decode(src("\x1B\x24\x28\x20\x4A" "A")), "Ａ");              // two-byte DRCS form to G0
    // ESC $ ( without 0x20 is no designation: "(B" is text and G0 keeps hiragana.
    EXPECT_EQ(decode(src("\x1B\x28\x30\x0E\x1B\x24\x28\x42\x0F\x22")), "（Ｂあ");
    EXPECT_EQ(decode(src("\x1B\x40\x30\x21")), "亜");                      // unknown escape takes two bytes
    // Mosaic, proportional and JIS X 0201 sets take one byte each and show nothing.
    EXPECT_EQ(decode(src("\x1B\x28\x32" "A\x1B\x28\x42\x30\x21")), "亜");
    EXPECT_EQ(decode(src("\x1B\x28\x36" "A\x1B\x28\x37" "B\x1B\x28\x49" "C\x1B\x28\x42\x30\x21")), "亜");
    EXPECT_EQ(decode(src("\x1B\x2A\x49\xB1\xB2\xB3")), "");
}

TEST(AribToShiftJis, ShiftsInvokeRegisters) {
    EXPECT_EQ(decode(src("\x0E" "A\x0F\x30\x21")), "Ａ亜");                  // LS1, LS0
    EXPECT_EQ(decode(src("\x1B\x6E\x22\x1B\x6F\x22")), "あア");              // LS2, LS3
    EXPECT_EQ(decode(src("\x1B\x7E\xC1\x1B\x7C\xA2\x1B\x7D\xA2")), "Ａアあ");  // LS1R, LS3R, LS2R
    EXPECT_EQ(decode(src("\x19\x22\x30\x21\x1D\x22\x30\x21")), "あ亜ア亜");  // single shifts last one character
    EXPECT_EQ(decode(src("\x0E\x1B\x24\x2A\x42\x19\x30\x21" "A")), "亜Ａ");  // two-byte set through SS2
    // A byte that is no left-half code ends the shift and is read as it stands.
    EXPECT_EQ(decode(src("\x1B\x7C\x19\xA2")), "ア");
    EXPECT_EQ(decode(src("\x19\x0D\x1D\x19\x22")), "\rあ");
}

TEST(AribToShiftJis, ControlsShowNothingAndKeepTheirParameters) {
    EXPECT_EQ(decode(src("\x0E" "A\x20" "A\x7F" "A\x01" "A\x80" "A\xA0" "A\x0A" "A\x9B" "A")), "ＡＡＡＡＡＡＡＡ");
    EXPECT_EQ(decode(src("\x0E" "A\r\nB\rC\n\rD")), "Ａ\rＢ\rＣ\rＤ");
}

TEST(AribToShiftJis, DropsUnitsThatDoNotFit) {
    const Bytes thirty = src("\x0E\x89") + Bytes(30, 'A');
    EXPECT_EQ(decode(thirty, 20), std::string(18, 'A'));
    EXPECT_EQ(decode(Bytes{0x30, 0x21, 0x30, 0x21, 0x30, 0x21}, 6), "亜亜");
    EXPECT_EQ(decode(Bytes{0x30, 0x21, 0x30, 0x21, 0x30, 0x21}, 5), "亜");
    EXPECT_EQ(decode(src("\x30\x21"), 3), "");
    EXPECT_EQ(decode(src("\x30\x21"), 1), "");
    // A dropped unit leaves room for a shorter one after it.
    EXPECT_EQ(decode(src("\x1B\x24\x3B\x7A\x50\x7A\x51\x0E\x89" "A"), 8), "[HV]A");
    EXPECT_EQ(decode(src("\x0E\x89" "AB\x8A" "C\x89" "D"), 5), "ABD");

    const Bytes kanji = src("\x30\x21");
    aribToShiftJis(kanji.data(), kanji.size(), nullptr, 100);
    aribToShiftJis(kanji.data(), kanji.size(), nullptr, 0);
    char untouched[4] = {'x', 'y', 'z', '\0'};
    aribToShiftJis(kanji.data(), kanji.size(), untouched, 0);
    EXPECT_STREQ(untouched, "xyz");
    char out[8] = "xyz";
    aribToShiftJis(nullptr, 10, out, sizeof out);
    EXPECT_STREQ(out, "");
}

TEST(AribToShiftJis, StopsWhereASequenceIsCutShort) {
    const char* const tails[] = {
        "\x1B", "\x1B\x28", "\x1B\x28\x20", "\x1B\x24", "\x1B\x24\x29", "\x1B\x24\x29\x20", "\x1B\x24\x28",
        "\x1B\x24\x28\x20", "\x19", "\x1D", "\x0F\x30", "\x1B\x24\x2A\x42\x19\x30", "\x0F\x1B\x24\x3B\x7A",
        "\x1B\x24\x29\x42\x1B\x7E\xB0",
    };
    for (const char* tail : tails) {
        Bytes source = src("\x0E" "A") + Bytes(tail, tail + std::strlen(tail));
        EXPECT_EQ(decode(source), "Ａ") << "tail of " << std::strlen(tail) << " bytes";
        // Cutting the source length short ends the string in the same place.
        Bytes longer = source + src("\x21\x42\x20\x21");
        std::string out(64, 'x');
        aribToShiftJis(longer.data(), source.size(), out.data(), out.size());
        EXPECT_STREQ(out.c_str(), "Ａ");
        // A NUL in the same place ends it as well.
        EXPECT_EQ(decode(source + src("\0\x0E" "BB")), "Ａ") << "tail of " << std::strlen(tail) << " bytes";
    }
}

TEST(AribToShiftJis, RandomInputStaysInsideBothBuffers) {
    // Weighted towards the bytes that start or extend sequences.
    const uint8_t interesting[] = {0x0D, 0x0A, 0x0E, 0x0F, 0x19, 0x1D, 0x1B, 0x1B, 0x20, 0x24, 0x28, 0x29,
                                   0x2A, 0x2B, 0x30, 0x31, 0x32, 0x3B, 0x42, 0x4A, 0x6E, 0x6F, 0x7A, 0x7C,
                                   0x7D, 0x7E, 0x7F, 0x89, 0x8A, 0xA0, 0xFA, 0xFF};
    std::mt19937 rng(20240517);
    for (int iteration = 0; iteration < 4000; ++iteration) {
        size_t length = rng() % 40;
        std::unique_ptr<uint8_t[]> source(new uint8_t[length]);
        for (size_t i = 0; i < length; ++i) {
            unsigned pick = rng() % 100;
            source[i] = pick < 50   ? interesting[rng() % std::size(interesting)]
                        : pick < 98 ? static_cast<uint8_t>(1 + rng() % 255)
                                    : 0;
        }
        size_t outSize = rng() % 48;
        std::unique_ptr<char[]> out(new char[outSize]);
        std::memset(out.get(), 0x55, outSize);
        aribToShiftJis(source.get(), length, out.get(), outSize);
        if (outSize > 0) {
            EXPECT_NE(std::memchr(out.get(), 0, outSize), nullptr) << "iteration " << iteration;
        }
    }
}

// --- Real broadcast sections ------------------------------------------------

struct NamedText {
    std::string kind;
    std::string text;
};

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Decodes the next `length` bytes, sized as the program's callers size it.
std::string decodeText(ByteReader& r, size_t length) {
    const uint8_t* bytes = r.bytes(length);
    if (!bytes) return "<cut>";
    std::string out(length * 2 + 64, '\0');
    aribToShiftJis(bytes, length, out.data(), out.size());
    return out.c_str();
}

std::string decodeField(ByteReader& r) { return decodeText(r, r.u8()); }

template <typename Visit>
void forEachDescriptor(ByteReader loop, Visit visit) {
    while (!loop.atEnd()) {
        uint8_t tag = loop.u8();
        ByteReader body = loop.window(loop.u8());
        if (loop.error()) return;
        visit(tag, body);
    }
}

// The broadcast texts of the file, in the order the sections carry them.
std::vector<NamedText> decodeSectionTexts(const Bytes& file) {
    std::vector<NamedText> texts;
    ByteReader sections(file.data(), file.size());
    while (sections.remaining() >= 3) {
        uint8_t tableId = sections.u8();
        uint16_t sectionLength = sections.u12();
        ByteReader body = sections.window(sectionLength).window(sectionLength >= 4 ? sectionLength - 4 : 0);
        if (tableId == 0x42) {  // SDT
            body.skip(8);
            while (!body.atEnd() && !body.error()) {
                body.skip(3);
                forEachDescriptor(body.window(body.u12()), [&](uint8_t tag, ByteReader d) {
                    if (tag != 0x48) return;
                    d.skip(1);
                    std::string provider = decodeField(d);
                    texts.push_back({"service", decodeField(d)});
                    texts.push_back({"provider", provider});
                });
            }
        } else if (tableId == 0x4E) {  // EIT present/following
            body.skip(11);
            while (!body.atEnd() && !body.error()) {
                body.skip(10);
                forEachDescriptor(body.window(body.u12()), [&](uint8_t tag, ByteReader d) {
                    if (tag == 0x4D) {
                        d.skip(3);
                        texts.push_back({"event", decodeField(d)});
                        texts.push_back({"description", decodeField(d)});
                    } else if (tag == 0x4E) {
                        d.skip(4);
                        ByteReader items = d.window(d.u8());
                        while (!items.atEnd() && !items.error()) {
                            texts.push_back({"item name", decodeField(items)});
                            texts.push_back({"item", decodeField(items)});
                        }
                    }
                });
            }
        } else if (tableId == 0x40) {  // NIT
            body.skip(5);
            forEachDescriptor(body.window(body.u12()), [&](uint8_t tag, ByteReader d) {
                if (tag == 0x40) texts.push_back({"network", decodeText(d, d.remaining())});
            });
            ByteReader streams = body.window(body.u12());
            while (!streams.atEnd() && !streams.error()) {
                streams.skip(4);
                forEachDescriptor(streams.window(streams.u12()), [&](uint8_t tag, ByteReader d) {
                    if (tag != 0xCD) return;
                    d.skip(1);
                    texts.push_back({"ts name", decodeText(d, d.u8() >> 2)});
                });
            }
        }
    }
    return texts;
}

// The reference decoder renders alphanumerics half-width and the additional
// symbols as Unicode squared ideographs; ours shows full-width alphanumerics
// (no MSZ in these texts) and bracketed texts.
std::string expectedShiftJis(std::string_view utf8) {
    std::string adjusted;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            bool alnum = (lead >= '0' && lead <= '9') || (lead >= 'A' && lead <= 'Z') || (lead >= 'a' && lead <= 'z');
            appendUtf8(adjusted, alnum ? char32_t(0xFF01 + (lead - 0x21)) : char32_t(lead));
            ++i;
            continue;
        }
        size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (length == 4 && i + 4 <= utf8.size()) {
            char32_t c = char32_t(lead & 0x07) << 18 | char32_t(utf8[i + 1] & 0x3F) << 12 |
                         char32_t(utf8[i + 2] & 0x3F) << 6 | char32_t(utf8[i + 3] & 0x3F);
            std::u32string_view symbol = c == 0x1F211 ? U"[字]" : c == 0x1F214 ? U"[二]" : c == 0x1F216 ? U"[解]" : U"";
            for (char32_t s : symbol) appendUtf8(adjusted, s);
            if (symbol.empty()) ADD_FAILURE() << "unmapped symbol U+" << std::hex << uint32_t(c);
        } else {
            adjusted.append(utf8.substr(i, length));
        }
        i += length;
    }
    return utf8ToCp932(adjusted);
}

// The quoted texts of the reference rendering that correspond to the fields
// decodeSectionTexts collects, in file order.
std::vector<NamedText> referenceTexts(const std::string& rendering) {
    std::vector<NamedText> texts;
    auto quoted = [](std::string_view line, size_t from) {
        size_t open = line.find('"', from);
        size_t close = line.find('"', open + 1);
        return std::string(line.substr(open + 1, close - open - 1));
    };
    const std::pair<std::string_view, const char*> labels[] = {
        {"Event name: \"", "event"}, {"Description: \"", "description"}, {"Name: \"", "network"},
        {"TS name: \"", "ts name"},
    };
    size_t start = 0;
    while (start < rendering.size()) {
        size_t end = rendering.find('\n', start);
        if (end == std::string::npos) end = rendering.size();
        std::string_view line(rendering.data() + start, end - start);
        start = end + 1;
        line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
        for (const auto& [prefix, kind] : labels)
            if (line.starts_with(prefix)) texts.push_back({kind, expectedShiftJis(quoted(line, 0))});
        if (line.starts_with("Service: \"")) {
            size_t provider = line.find(", Provider: \"");
            texts.push_back({"service", expectedShiftJis(quoted(line, 0))});
            texts.push_back({"provider", expectedShiftJis(quoted(line, provider))});
        } else if (line.starts_with("\"") && line.find("\" : \"") != std::string_view::npos) {
            size_t separator = line.find("\" : \"");
            texts.push_back({"item name", expectedShiftJis(quoted(line, 0))});
            texts.push_back({"item", expectedShiftJis(quoted(line, separator + 1))});
        }
    }
    return texts;
}

TEST(AribToShiftJis, DecodesRealServiceAndEventNames) {
    const std::string dir = CORVANE_SHARED_DATA;
    Bytes sections = readFile(dir + "/isdbt-akita-sections.bin");
    Bytes rendering = readFile(dir + "/isdbt-akita-sections.decoded.txt");
    if (sections.empty() || rendering.empty()) GTEST_SKIP() << "broadcast sections not available";

    std::vector<NamedText> decoded = decodeSectionTexts(sections);
    std::vector<NamedText> expected = referenceTexts(std::string(rendering.begin(), rendering.end()));
    ASSERT_EQ(decoded.size(), expected.size());
    EXPECT_GE(decoded.size(), 20u);
    for (size_t i = 0; i < decoded.size(); ++i) {
        EXPECT_EQ(decoded[i].kind, expected[i].kind) << "text " << i;
        EXPECT_EQ(decoded[i].text, expected[i].text) << "text " << i << " (" << decoded[i].kind << ")";
    }
    // Spot checks against literals, independent of the reference rendering.
    EXPECT_EQ(decoded[0].kind, "event");
    EXPECT_EQ(decoded[0].text, "ＮＨＫニュース７[二][字]");
    auto service = std::find_if(decoded.begin(), decoded.end(), [](const NamedText& t) { return t.kind == "service"; });
    ASSERT_NE(service, decoded.end());
    EXPECT_EQ(service->text, "ＮＨＫ総合１・秋田");
}

}  // namespace
}  // namespace corvane
