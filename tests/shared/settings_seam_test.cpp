// One sequence of reads and writes, run against every implementation of the
// settings file: the portable one everywhere, and on Windows also the one
// over the private-profile functions, so both give the same answers.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "store/ini_settings.h"
#include "support/temp_ini.h"
#ifdef _WIN32
#include "store/settings_win.h"
#endif

namespace corvane {
namespace {

template <typename Implementation>
class SettingsSeamTest : public testing::Test {};
#ifdef _WIN32
using Implementations = testing::Types<IniFileSettings, PrivateProfileSettings>;
#else
using Implementations = testing::Types<IniFileSettings>;
#endif
TYPED_TEST_SUITE(SettingsSeamTest, Implementations);

TYPED_TEST(SettingsSeamTest, ReadsLikeThePrivateProfile) {
    TempIniFile file("reads");
    TypeParam settings(file.path());
    EXPECT_EQ(-3, settings.readInt("Setup", "NowTimeLine", -3));
    EXPECT_EQ("ab", settings.readString("S", "k", "'ab'  ", 100));  // defaults lose blanks and quotes too
    EXPECT_EQ("あ", settings.readString("S", "k", "あいう", 4));
    EXPECT_FALSE(file.exists());  // reading creates nothing

    file.write("[Numbers]\r\nplain=42\r\ntext=abc\r\nspaced=  12abc\r\nnegative=-5\r\nquoted=\"12\"\r\n"
               "hex=0x1f\r\nupperHex=0X10\r\nwrapped=2147483648\r\nempty=\r\nflag\r\n"
               "long=000000000000000000000000000000015\r\n"
               "[Text]\r\n  k  =  v w \t\r\nq=\"x\"\r\nmixed=\"x'\r\nempty=\r\nflag\r\n"
               "cut=aあい\r\nwide=　ＭＳ ゴシック　\r\ntrail=ソフト\\表示\r\n"
               "[SeTuP]\r\nNowTimeLine=3\r\n[\x83\x5d]\r\n\x83\x41=1\r\n[S]\r\na=1\r\n[s]\r\nb=2\r\n");
    const std::pair<const char*, int> cases[] = {{"plain", 42},   {"text", 0},      {"spaced", 12},   {"negative", -5},
                                                 {"quoted", 12},  {"hex", 31},      {"upperHex", 0},  {"wrapped", INT_MIN},
                                                 {"long", 0},     {"empty", 99},    {"flag", 99},     {"absent", 99}};
    for (auto [key, value] : cases) EXPECT_EQ(value, settings.readInt("Numbers", key, 99)) << key;
    EXPECT_EQ(99, settings.readInt("Absent", "plain", 99));

    // Strings lose blanks and one pair of quotes (full-width blanks are text) and are cut on whole characters.
    for (auto [key, value] : {std::pair{"k", "v w"}, {"q", "x"}, {"mixed", "\"x'"}, {"empty", ""}, {"flag", "D"},
                              {"wide", "　ＭＳ ゴシック　"}})
        EXPECT_EQ(value, settings.readString("Text", key, "D", 100)) << key;
    const char* cut[] = {"", "", "a", "a", "aあ", "aあ", "aあい"};
    for (int capacity = 0; capacity <= 6; ++capacity)
        EXPECT_EQ(cut[capacity], settings.readString("Text", "cut", "D", capacity)) << capacity;
    EXPECT_EQ("ソフ", settings.readString("Text", "trail", "D", 6));

    // Names ignore ASCII case, not Shift_JIS bytes; the first section of a name wins.
    // ゾ is 0x83 0x5D: its second byte is ']'. ア (0x83 0x41) and ヂ (0x83 0x61)
    // differ only in the case of their second byte.
    EXPECT_EQ(std::tuple(3, 1, 0, 0), std::tuple(settings.readInt(" setup\t", " NOWTIMELINE ", 0),
                                                 settings.readInt("ゾ", "ア", 0), settings.readInt("ゾ", "ヂ", 0),
                                                 settings.readInt("S", "b", 0)));
}

TYPED_TEST(SettingsSeamTest, WritesCreateReplaceAndAreSeenAtOnce) {
    TempIniFile file("writes");
    TypeParam settings(file.path());
    ASSERT_TRUE(settings.writeString("Setup", "NowTimeLine", "1"));
    ASSERT_TRUE(settings.writeString("Corvane", "WindowX", "5"));
    ASSERT_TRUE(settings.writeString("SETUP", "nowtimeline", "0"));
    ASSERT_TRUE(settings.writeString("Setup", "ViewChNo", "  1"));  // leading blanks dropped
    EXPECT_EQ("[Setup]\r\nNowTimeLine=0\r\nViewChNo=1\r\n[Corvane]\r\nWindowX=5\r\n", file.read());
    // A line break cannot smuggle a key into the file.
    ASSERT_TRUE(settings.writeString("Setup", "Broken", "a\r\nInjected=1"));
    EXPECT_EQ(-1, settings.readInt("Setup", "Injected", -1));
    ASSERT_TRUE(settings.writeString("iEPGStationName", "ソ", "表示\\ソ"));
    EXPECT_EQ("表示\\ソ", settings.readString("iEPGStationName", "ソ", "D", 256));

    // Nothing is cached: what another window wrote a moment ago is read.
    file.write("[S]\r\nk=4\r\n");
    EXPECT_EQ(4, settings.readInt("S", "k", 0));
    EXPECT_FALSE(TypeParam(file.path() + ".missing/settings.ini").writeString("S", "k", "1"));
}

TYPED_TEST(SettingsSeamTest, TextsWithBlanksOrQuotesAtTheirEndsReadBackWhole) {
    TempIniFile file("whole");
    TypeParam settings(file.path());
    const std::string longest = " " + std::string(96, 'x') + "表";  // 99 bytes with its blank
    for (const std::string& text : std::vector<std::string>{"NHK", " NHK", "NHK\t", "\"NHK\"", "'N'", "\"N'", "\"", "", "表\\", longest}) {
        ASSERT_TRUE(settings.writeString("S", "k", valueReadBackWhole(text)));
        EXPECT_EQ(text, settings.readString("S", "k", "D", 100)) << text;
    }
    ASSERT_TRUE(settings.writeString("S", "plain", valueReadBackWhole("NHK")));
    EXPECT_NE(std::string::npos, file.read().find("plain=NHK\r\n"));  // plain texts stay plain
}

}  // namespace
}  // namespace corvane
