// One sequence of reads and writes, run against every implementation of the
// settings file: the portable one everywhere, and on Windows also the one
// over the private-profile functions, so both give the same answers.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

#include "app/ini_settings.h"
#include "support/temp_ini.h"
#ifdef _WIN32
#include "app/settings_win.h"
#endif

namespace corvane {
namespace {

struct Implementation {
    const char* name;
    std::unique_ptr<Settings> (*open)(const std::string& path);
};
void PrintTo(const Implementation& implementation, std::ostream* out) { *out << implementation.name; }

const Implementation kIniFile{"IniFile", [](const std::string& path) -> std::unique_ptr<Settings> {
                                  return std::make_unique<IniFileSettings>(path);
                              }};
#ifdef _WIN32
const Implementation kPrivateProfile{"PrivateProfile", [](const std::string& path) -> std::unique_ptr<Settings> {
                                         return std::make_unique<PrivateProfileSettings>(path);
                                     }};
#endif

class SettingsSeamTest : public testing::TestWithParam<Implementation> {
protected:
    std::unique_ptr<Settings> open(const TempIniFile& file) { return GetParam().open(file.path()); }
};

TEST_P(SettingsSeamTest, DefaultsAndIntegersReadLikeThePrivateProfile) {
    TempIniFile file("integers");
    auto settings = open(file);
    EXPECT_EQ(-3, settings->readInt("Setup", "NowTimeLine", -3));
    EXPECT_EQ("ab", settings->readString("S", "k", "'ab'  ", 100));  // defaults lose blanks and quotes too
    EXPECT_EQ("あ", settings->readString("S", "k", "あいう", 4));
    EXPECT_FALSE(file.exists());  // reading creates nothing

    file.write("[Numbers]\r\nplain=42\r\ntext=abc\r\nspaced=  12abc\r\nnegative=-5\r\nquoted=\"12\"\r\n"
               "hex=0x1f\r\nupperHex=0X10\r\nwrapped=2147483648\r\nempty=\r\nflag\r\n"
               "long=000000000000000000000000000000015\r\n");
    const struct {
        const char* key;
        int value;
    } cases[] = {{"plain", 42},   {"text", 0},       {"spaced", 12},        {"negative", -5},
                 {"quoted", 12},  {"hex", 31},       {"upperHex", 0},       {"wrapped", INT_MIN},
                 {"long", 0},     {"empty", 99},     {"flag", 99},          {"absent", 99}};
    for (const auto& c : cases) EXPECT_EQ(c.value, settings->readInt("Numbers", c.key, 99)) << c.key;
    EXPECT_EQ(99, settings->readInt("Absent", "plain", 99));
}

TEST_P(SettingsSeamTest, StringsLoseBlanksAndOneQuotePairAndCutWholeCharacters) {
    TempIniFile file("strings");
    file.write("[Text]\r\n  k  =  v w \t\r\nq=\"x\"\r\nmixed=\"x'\r\nempty=\r\nflag\r\n"
               "cut=aあい\r\nwide=　ＭＳ ゴシック　\r\ntrail=ソフト\\表示\r\n");
    auto settings = open(file);
    EXPECT_EQ("v w", settings->readString("Text", "k", "D", 100));
    EXPECT_EQ("x", settings->readString("Text", "q", "D", 100));
    EXPECT_EQ("\"x'", settings->readString("Text", "mixed", "D", 100));
    EXPECT_EQ("", settings->readString("Text", "empty", "D", 100));
    EXPECT_EQ("D", settings->readString("Text", "flag", "D", 100));
    const char* cut[] = {"", "", "a", "a", "aあ", "aあ", "aあい"};
    for (int capacity = 0; capacity <= 6; ++capacity)
        EXPECT_EQ(cut[capacity], settings->readString("Text", "cut", "D", capacity)) << capacity;
    EXPECT_EQ("　ＭＳ ゴシック　", settings->readString("Text", "wide", "D", 100));  // full-width blanks are text
    EXPECT_EQ("ソフ", settings->readString("Text", "trail", "D", 6));
}

TEST_P(SettingsSeamTest, NamesIgnoreAsciiCaseButNotShiftJisBytes) {
    TempIniFile file("names");
    // ゾ is 0x83 0x5D: its second byte is ']'. ア (0x83 0x41) and ヂ (0x83 0x61)
    // differ only in the case of their second byte.
    file.write("[SeTuP]\r\nNowTimeLine=3\r\n[\x83\x5d]\r\n\x83\x41=1\r\n[S]\r\na=1\r\n[s]\r\nb=2\r\n");
    auto settings = open(file);
    EXPECT_EQ(3, settings->readInt(" setup\t", " NOWTIMELINE ", 0));
    EXPECT_EQ(1, settings->readInt("ゾ", "ア", 0));
    EXPECT_EQ(0, settings->readInt("ゾ", "ヂ", 0));
    EXPECT_EQ(0, settings->readInt("S", "b", 0));  // the first section of a name wins
}

TEST_P(SettingsSeamTest, WritesCreateReplaceAndAreSeenAtOnce) {
    TempIniFile file("writes");
    auto settings = open(file);
    ASSERT_TRUE(settings->writeString("Setup", "NowTimeLine", "1"));
    ASSERT_TRUE(settings->writeString("Corvane", "WindowX", "5"));
    ASSERT_TRUE(settings->writeString("SETUP", "nowtimeline", "0"));
    ASSERT_TRUE(settings->writeString("Setup", "ViewChNo", "  1"));  // leading blanks dropped
    EXPECT_EQ("[Setup]\r\nNowTimeLine=0\r\nViewChNo=1\r\n[Corvane]\r\nWindowX=5\r\n", file.read());
    // A line break cannot smuggle a key into the file.
    ASSERT_TRUE(settings->writeString("Setup", "Broken", "a\r\nInjected=1"));
    EXPECT_EQ(-1, settings->readInt("Setup", "Injected", -1));
    ASSERT_TRUE(settings->writeString("iEPGStationName", "ソ", "表示\\ソ"));
    EXPECT_EQ("表示\\ソ", settings->readString("iEPGStationName", "ソ", "D", 256));

    // Nothing is cached: what another window wrote a moment ago is read.
    file.write("[S]\r\nk=4\r\n");
    EXPECT_EQ(4, settings->readInt("S", "k", 0));
    EXPECT_FALSE(GetParam().open(file.path() + ".missing/settings.ini")->writeString("S", "k", "1"));
}

INSTANTIATE_TEST_SUITE_P(IniFile, SettingsSeamTest, testing::Values(kIniFile),
                         [](const auto& info) { return std::string(info.param.name); });
#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(PrivateProfile, SettingsSeamTest, testing::Values(kPrivateProfile),
                         [](const auto& info) { return std::string(info.param.name); });
#endif

}  // namespace
}  // namespace corvane
