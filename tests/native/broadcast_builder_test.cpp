// The broadcast builder's ARIB texts, behind every fixture's names and
// descriptions, round trip through the program's decoder. (Its sections and
// packets are checked where the sample recording is taken apart again.)
// Narrow literals are Shift_JIS.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/arib.h"
#include "tools/broadcast/si_builder.h"

namespace corvane {
namespace {

namespace bc = broadcast;
using bc::Bytes;

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
        for (const char* text : {"ひらがなとカタカナ、ゝゞヽヾ。ー「」・", "ABC123#!/:\r出演者：山田花子"})
            EXPECT_EQ(decode(bc::shiftJisToArib(text, style)), text) << text;
    }
    EXPECT_EQ(decode(bc::shiftJisToArib("ＡＢ　C D")), "ＡＢ　CD");  // a half-width blank is SP, shown as nothing
}

}  // namespace
}  // namespace corvane
