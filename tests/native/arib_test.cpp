// Narrow literals here are Shift_JIS (the build's execution charset), so
// expected texts are written as the characters themselves.
#include "store/arib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "store/byte_reader.h"
#include "store/event_decode.h"
#include "support/akita_sections.h"
#include "tools/broadcast/arib_encoder.h"
#include "tools/common/shift_jis_utf8.h"

namespace corvane {
namespace {

using namespace std::literals;

// Decodes from an exactly sized heap copy into an exactly sized heap buffer,
// so that a read or write past either shows under AddressSanitizer.
std::string decode(std::string_view source, size_t outSize = 256) {
    const std::vector<uint8_t> copy(source.begin(), source.end());
    std::vector<char> out(outSize, 0x55);
    aribToShiftJis(copy.data(), copy.size(), out.data(), out.size());
    const auto end = std::find(out.begin(), out.end(), '\0');
    EXPECT_NE(end, out.end()) << "output not terminated";
    return std::string(out.begin(), end);
}

TEST(AribToShiftJis, MapsEachCharacterSet) {
    EXPECT_EQ(decode(""sv), "");
    EXPECT_EQ(decode("\x1B\x24\x39\x30\x21\x1B\x24\x3A\x30\x21"sv), "亜亜");      // JIS compatible planes
    // Through GR; codes off the 94 x 94 plane take both bytes and leave no stray lead byte.
    EXPECT_EQ(decode("\x1B\x24\x29\x42\x1B\x7E\xB0\xA1\xFF\xA1\xB0\xFF"sv), "亜");
    EXPECT_EQ(decode("\x0E!#(\"'\\`~"sv), "！＃（”’￥　￣");
    EXPECT_EQ(decode("\x0E\x89" "Az09!~`\\\x8A" "A"sv), "Az09!~ \\Ａ");
    // 0xFF through GR is a blank of the current width; DEL in GL is a control.
    EXPECT_EQ(decode("\x1B\x7E\xFF\x89\xFF\x0E\x7F"sv), "　 ");
    EXPECT_EQ(decode("\xA1\xF3\xF4\xF7\xF8\xF9\xFA\xFB\xFC\xFD\xFE\xFF\x1B\x7C\xA1\xDF\xE0\xF6\xF7\xF8\xFF"sv),
              "ぁん　ゝゞー。「」、・　ァミムヶヽヾ　");  // hiragana in GR, then katakana
    const std::pair<uint16_t, const char*> symbols[] = {
        {0x7A4F, ""}, {0x7A50, "[HV]"}, {0x7A74, "<ほか>"}, {0x7A75, ""}, {0x7D6D, ""}, {0x7D6E, "!!"}, {0x7D6F, "!?"},
        {0x7D70, ""}, {0x7E20, ""}, {0x7E21, "Ⅰ"}, {0x7E61, "①"}, {0x7E7D, "(31)"}, {0x7E7E, ""}, {0x2121, ""}};
    for (auto [index, text] : symbols)
        EXPECT_EQ(decode("\x1B\x24\x3B"s + char(index >> 8) + char(index & 0xFF)), text) << std::hex << index;
    EXPECT_EQ(decode("\x1B\x24\x2A\x3B\xFA\xD6\x1B\x24\x42\x30\x21"sv), "[字]亜");  // via GR, then Kanji again
}

TEST(AribToShiftJis, DesignationsAndShiftsSelectTheSets) {
    EXPECT_EQ(decode("\x1B\x28\x4A" "A\x1B\x29\x30\x0E\x22"sv), "Ａあ");    // one-byte sets to G0, G1
    EXPECT_EQ(decode("\x1B\x2A\x31\xA2\x1B\x2B\x42\x1D\x30\x21"sv), "ア亜");  // to G2 (GR), Kanji to G3
    // A DRCS set changes nothing; the one- and two-byte DRCS forms name sets too.
    EXPECT_EQ(decode("\x1B\x28\x20\x40\x30\x21\x1B\x28\x20\x4A" "A\x1B\x24\x28\x20\x42\x30\x21"sv), "亜Ａ亜");
    EXPECT_EQ(decode("\x1B\x28\x40\x30\x21\x1B\x40\x30\x21"sv), "亜亜");        // unknown final byte, unknown escape
    EXPECT_EQ(decode("\x1B\x24\x29\x42\x0E\x30\x21\x1B\x24\x2A\x3B\xFA\xD0"sv), "亜[HV]");  // two-byte sets to G1, G2
    // A DRCS set leaves G3 with katakana; a two-byte DRCS form puts Kanji there.
    EXPECT_EQ(decode("\x1B\x24\x2B\x20\x40\x1D\x22\x1B\x24\x2B\x20\x42\x1D\x30\x21"sv), "ア亜");
    // ESC $ ( without 0x20 is no designation: "(B" is text and G0 keeps hiragana.
    EXPECT_EQ(decode("\x1B\x28\x30\x0E\x1B\x24\x28\x42\x0F\x22"sv), "（Ｂあ");
    // Mosaic, proportional and JIS X 0201 sets take one byte each and show nothing.
    EXPECT_EQ(decode("\x1B\x28\x32" "A\x1B\x28\x36" "B\x1B\x28\x49" "C\x1B\x28\x42\x30\x21\x1B\x2A\x49\xB1"sv), "亜");
    EXPECT_EQ(decode("\x0E" "A\x0F\x30\x21\x1B\x6E\x22\x1B\x6F\x22"sv), "Ａ亜あア");  // LS1, LS0, LS2, LS3
    EXPECT_EQ(decode("\x1B\x7E\xC1\x1B\x7C\xA2\x1B\x7D\xA2"sv), "Ａアあ");    // LS1R, LS3R, LS2R
    // Single shifts last one character, a two-byte one too.
    EXPECT_EQ(decode("\x19\x22\x30\x21\x1D\x22\x30\x21\x0E\x1B\x24\x2A\x42\x19\x30\x21" "A"sv), "あ亜ア亜亜Ａ");
    // A byte that is no left-half code ends a single shift and is read as it stands.
    EXPECT_EQ(decode("\x1B\x7C\x19\xA2\x19\x0D\x1D\x19\x22"sv), "ア\rあ");
    // Other controls show nothing and keep their parameters; CR LF is one CR.
    EXPECT_EQ(decode("\x0E" "A\x20" "A\x7F" "A\x01" "A\x80" "A\xA0" "A\x0A" "A\x9B" "A\r\nB\rC\n\rD"sv),
              "ＡＡＡＡＡＡＡＡ\rＢ\rＣ\rＤ");
}

TEST(AribToShiftJis, DropsUnitsThatDoNotFit) {
    EXPECT_EQ(decode("\x0E\x89"s + std::string(30, 'A'), 20), std::string(18, 'A'));
    for (auto [size, text] : {std::pair{6, "亜亜"}, {5, "亜"}, {3, ""}, {1, ""}})
        EXPECT_EQ(decode("\x30\x21\x30\x21\x30\x21"sv, size), text) << size;
    // A dropped unit leaves room for a shorter one after it.
    EXPECT_EQ(decode("\x1B\x24\x3B\x7A\x50\x7A\x51\x0E\x89" "A"sv, 8), "[HV]A");
    EXPECT_EQ(decode("\x0E\x89" "AB\x8A" "C\x89" "D"sv, 5), "ABD");
    char out[8] = "xyz";
    aribToShiftJis(nullptr, 10, out, sizeof out);
    EXPECT_STREQ(out, "");
}

TEST(AribToShiftJis, StopsWhereASequenceIsCutShort) {
    for (std::string_view tail : {"\x1B"sv, "\x1B\x28"sv, "\x1B\x28\x20"sv, "\x1B\x24"sv, "\x1B\x24\x29"sv,
                                  "\x1B\x24\x29\x20"sv, "\x1B\x24\x28"sv, "\x1B\x24\x28\x20"sv, "\x19"sv, "\x1D"sv,
                                  "\x0F\x30"sv, "\x1B\x24\x2A\x42\x19\x30"sv, "\x0F\x1B\x24\x3B\x7A"sv,
                                  "\x1B\x24\x29\x42\x1B\x7E\xB0"sv}) {
        const std::string source = "\x0E" "A"s + std::string(tail);
        EXPECT_EQ(decode(source), "Ａ") << "tail of " << tail.size() << " bytes";
    }
}

// Every JIS X 0208 code of Shift_JIS rows 1..84 (code page 932's NEC row 13
// included) the broadcast builder encodes comes back unchanged, in both
// styles and in kana context, where symbols go to the kana sets.
TEST(AribToShiftJis, RoundTripsTheBroadcastBuildersTexts) {
    const auto roundTrip = [](const std::string& text, broadcast::AribStyle style) {
        const std::vector<uint8_t> arib = broadcast::shiftJisToArib(text, style);
        return decode(std::string_view(reinterpret_cast<const char*>(arib.data()), arib.size()), arib.size() * 2 + 80);
    };
    std::string all;
    for (int s1 = 0x81; s1 <= 0xEA; s1 = s1 == 0x9F ? 0xE0 : s1 + 1)
        for (int s2 = 0x40; s2 <= 0xFC; ++s2)
            if (s2 != 0x7F) all += {static_cast<char>(s1), static_cast<char>(s2)};
    for (auto style : {broadcast::AribStyle::DefaultSets, broadcast::AribStyle::DesignateIntoG0})
        for (const std::string text : {all.c_str(), "ひらがなとカタカナ、ゝゞヽヾ。ー「」・", "ABC123#!/:\r出演者：山田花子"})
            EXPECT_EQ(roundTrip(text, style), text) << text;
    EXPECT_EQ(roundTrip("ＡＢ　C D", broadcast::AribStyle::DefaultSets), "ＡＢ　CD");  // a half-width blank is SP, shown as nothing
}

// The texts of a descriptor loop, read by plain offsets: service and provider
// names, extended items, network and TS names.
void collectTexts(ByteReader loop, std::vector<std::string>& out) {
    auto text = [&out](ByteReader& r, size_t n) {
        const uint8_t* bytes = r.bytes(n);
        out.push_back(bytes ? aribToShiftJisString(bytes, n) : "<cut>");
    };
    while (loop.remaining() >= 2) {
        uint8_t tag = loop.u8();
        ByteReader d = loop.window(loop.u8());
        if (tag == 0x40) text(d, d.remaining());
        if (tag == 0xCD && d.skip(1)) text(d, d.u8() >> 2);
        if (tag == 0x48 && d.skip(1))
            for (int field = 0; field < 2; ++field) text(d, d.u8());
        if (tag == 0x4E && d.skip(4))
            for (ByteReader items = d.window(d.u8()); !items.atEnd() && !items.error();)
                text(items, items.u8());
    }
}

// Event names and descriptions come from the event decoder.
TEST(AribToShiftJis, DecodesTheTextsOfRealSectionsAsTheReferenceDoes) {
    std::vector<std::string> decoded;
    auto entries = [&decoded](ByteReader list, size_t prefix) {
        while (!list.atEnd() && !list.error() && list.skip(prefix)) collectTexts(list.window(list.u12()), decoded);
    };
    const bool present = forEachAkitaSection([&](const uint8_t* section, size_t size) {
        ByteReader body(section + 8, size - 12);  // after the long header, before the CRC
        if (section[0] == 0x42 && body.skip(3)) entries(body, 3);  // SDT
        for (EventCursor cursor(section, section[0] == 0x4E ? size : 0); EventView event = cursor.next();) {
            const EventSummary summary = readEventSummary(event);
            decoded.insert(decoded.end(), {summary.name, summary.text});
            collectTexts(ByteReader(event.descriptors(), event.descriptorsLength()), decoded);
        }
        if (section[0] == 0x40) {  // NIT
            collectTexts(body.window(body.u12()), decoded);
            entries(body.window(body.u12()), 4);
        }
    });
    std::vector<std::string> expected =
        akitaReferenceTexts({"Service:", "Event name:", "Description:", "\"", "Name:", "TS name:"});
    if (!present || expected.empty()) GTEST_SKIP() << "broadcast sections not available";
    EXPECT_EQ(std::count(decoded.begin(), decoded.end(), "ＮＨＫニュース７[二][字]"), 2);
    EXPECT_EQ(std::count(decoded.begin(), decoded.end(), "ＮＨＫ総合１・秋田"), 1);
    ShiftJisToUtf8 utf8;
    for (std::string& text : decoded) text = utf8.convert(text);
    std::erase(decoded, "");
    for (auto* texts : {&decoded, &expected}) std::sort(texts->begin(), texts->end());
    EXPECT_EQ(expected, decoded);
}

}  // namespace
}  // namespace corvane
