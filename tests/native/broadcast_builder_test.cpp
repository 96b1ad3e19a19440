// The broadcast builder behind every transport-stream fixture, checked by round
// trips: sections through packets and back by their pointer fields, with CRCs
// checked by the reader's own code, and ARIB texts through the program's
// decoder. Narrow literals are Shift_JIS.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/arib.h"
#include "store/crc32.h"
#include "support/ts_sections.h"
#include "tools/broadcast/packetizer.h"

namespace corvane {
namespace {

namespace bc = broadcast;
using bc::Bytes;

TEST(BroadcastBuilder, SectionsComeBackFromTheirPacketsWithValidCrcs) {
    EXPECT_EQ(bc::crc32Mpeg2(Bytes{'1', '2', '3', '4', '5', '6', '7', '8', '9'}), 0x0376E6E7u);  // check value
    Bytes time;  // ETSI EN 300 468 Annex C: 93/10/13 12:45:00 is 0xC079124500
    bc::appendStartTime(time, bc::broadcastTime(1993, 10, 13, 12, 45, 0));
    EXPECT_EQ(time, (Bytes{0xC0, 0x79, 0x12, 0x45, 0x00}));

    auto filled = [](size_t size, uint8_t fill) {  // a hand-made section of `size` bytes
        Bytes s(size - 4, fill);
        s[0] = 0x50, s[1] = 0xF0;
        return bc::finishSection(s);
    };
    bc::Eit eit;
    eit.tableId = 0x50;
    for (uint16_t id = 0; id < 6; ++id)
        eit.events.push_back({id, bc::broadcastTime(2024, 3, 1, id), 3600, 0, false,
                              bc::shortEventDescriptor("ニュース", "国内外の最新ニュース")});
    // Sections over several packets, several in one packet, and one ending a
    // byte before a packet end, where no pointer_field fits.
    const std::vector<Bytes> sections = {bc::eitSection(eit), filled(300, 0xA1), filled(50, 0xB2), filled(20, 0xC3),
                                         filled(366, 0xD4), bc::totSection(bc::broadcastTime(2024, 3, 1, 12)),
                                         filled(16, 0xE5)};
    for (const Bytes& s : sections) EXPECT_EQ(crc32Mpeg(s.data(), s.size()), 0u) << &s - sections.data();
    for (bool backToBack : {true, false}) {
        bc::Packetizer packetizer;
        bc::TsWriter writer;
        writer.put(packetizer.sectionPackets(bc::kEitPid, sections, backToBack));
        const TsSections found = demux(writer.bytes(), 188, {bc::kEitPid});
        std::vector<Bytes> back;
        for (const auto& [pid, section] : found.sections) back.push_back(section);
        EXPECT_EQ(std::pair(sections, std::vector<std::string>{}), std::pair(back, found.faults)) << backToBack;
    }
}

std::string decode(const Bytes& arib) {
    std::vector<char> out(arib.size() * 2 + 80);
    aribToShiftJis(arib.data(), arib.size(), out.data(), out.size());
    return out.data();
}

// Every JIS X 0208 code of Shift_JIS rows 1..84 (code page 932's NEC row 13
// included) comes back unchanged through the program's decoder, in both
// styles and in kana context, where symbols go to the kana sets.
TEST(AribEncoder, RoundTripsThroughTheProgramsDecoder) {
    std::string all;
    for (int s1 = 0x81; s1 <= 0xEA; s1 = s1 == 0x9F ? 0xE0 : s1 + 1)
        for (int s2 = 0x40; s2 <= 0xFC; ++s2)
            if (s2 != 0x7F) all += {static_cast<char>(s1), static_cast<char>(s2)};
    for (bc::AribStyle style : {bc::AribStyle::DefaultSets, bc::AribStyle::DesignateIntoG0}) {
        EXPECT_EQ(decode(bc::shiftJisToArib(all, style)), all);
        for (const char* text : {"ニュース・スポーツ「東京×大阪」、カード。", "ひらがなとカタカナ、ゝゞヽヾ。ー「」・",
                                 "第１２回　ＭＵＳＩＣ　ＷＡＶＥ！（再）＃１", "ABC123#!/:", "番組内容\r出演者：山田花子"})
            EXPECT_EQ(decode(bc::shiftJisToArib(text, style)), text) << text;
    }
    EXPECT_EQ(bc::shiftJisToArib("亜あア"), (Bytes{0x30, 0x21, 0xA2, 0x1D, 0x22}));  // Kanji GL, hiragana GR, SS3
    EXPECT_EQ(decode(bc::shiftJisToArib("ＡＢ　C D")), "ＡＢ　CD");  // a half-width blank is SP, shown as nothing
}

}  // namespace
}  // namespace corvane
