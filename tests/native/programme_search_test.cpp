// Finding programmes by words: the folding rules of the matcher.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "store/text_match.h"

namespace corvane {
namespace {

// Each text lies in a buffer of exactly its size, so a byte read past it is caught.
bool found(const std::string& query, const std::string& text, bool kana) {
    std::unique_ptr<char[]> exact(new char[text.size()]);
    std::memcpy(exact.get(), text.data(), text.size());
    return TextQuery(query).matches(FoldedText({exact.get(), text.size()}).units(), kana);
}

TEST(TextMatch, FoldsWidthCaseAndBlanksButKanaOnlyWhenAsked) {
    const struct { const char *query, *text; bool plain, kana; } cases[] = {
        {"ＮＨＫ", "NHKニュース", true, true},
        {"NHK", "ＮＨＫニュース", true, true},
        {"ﾆｭｰｽ", "ニュース７", true, true},
        {"news", "ＮＥＷＳ　ＷＡＶＥ", true, true},
        {"ｶﾞｲﾄﾞ ﾊﾟﾝ ｳﾞｨ", "ガイドとパンとヴィ", true, true},
        {"ｶ", "ガイド", false, false},  // the voiced kana is one character
        {"にゅーす", "ニュース", false, true},
        {"ニュース", "にゅーすとゞ", false, true},
        {"ＮＨＫ　ニュース", "ニュース（NHK）", true, true},  // both words, either order
        {"ＮＨＫ 天気", "ＮＨＫニュース", false, false},
        {" 　\t", "ＮＨＫ", false, false},
        {"ニュース７ニュース７", "ニュース７", false, false},
        {"ニュース", "ニュ－スとニッスと全国ニュ・スの特集", false, false},  // ends alike, middles not
        // Broken Shift_JIS: a lead byte at the end, before a blank, a byte that is no character.
        {"ab", "ＡＢ\x83", true, true},
        {"news", "\x81 news", true, true},
        {"xy", "x\xFFy", false, false},
        {"\x83", "\x83", false, false},
        {"a", "\x83\x41", false, false},  // "ア": its trail byte is no "A"
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.plain, found(c.query, c.text, false)) << c.query << " in " << c.text;
        EXPECT_EQ(c.kana, found(c.query, c.text, true)) << c.query << " in " << c.text << " (kana)";
    }
}

}  // namespace
}  // namespace corvane
