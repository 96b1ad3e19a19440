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

using SettingsFactory = std::unique_ptr<Settings> (*)(const std::string& path);

std::unique_ptr<Settings> makeIniFileSettings(const std::string& path) {
    return std::make_unique<IniFileSettings>(path);
}
#ifdef _WIN32
std::unique_ptr<Settings> makePrivateProfileSettings(const std::string& path) {
    return std::make_unique<PrivateProfileSettings>(path);
}
#endif

class SettingsSeamTest : public testing::TestWithParam<SettingsFactory> {
protected:
    std::unique_ptr<Settings> open(const TempIniFile& file) { return GetParam()(file.path()); }
};

TEST_P(SettingsSeamTest, MissingFileGivesDefaultsAndCreatesNothing) {
    TempIniFile file("missing");
    auto settings = open(file);
    EXPECT_EQ(1, settings->readInt("Setup", "NowTimeLine", 1));
    EXPECT_EQ(-3, settings->readInt("Setup", "NowTimeLine", -3));
    EXPECT_EQ("D:\\Vurda\\tvrock.sch",
              settings->readString("ViewSetup", "TvRockProgName", "D:\\Vurda\\tvrock.sch", 256));
    EXPECT_EQ("", settings->readString("UpdateDialog", "WindowX", "", 100));
    // Defaults lose trailing spaces and a surrounding quote pair, and are cut
    // like values.
    EXPECT_EQ("abc", settings->readString("S", "k", "abc  ", 100));
    EXPECT_EQ("  ab", settings->readString("S", "k", "  ab  ", 100));
    EXPECT_EQ("ab", settings->readString("S", "k", "'ab'", 100));
    EXPECT_EQ("あ", settings->readString("S", "k", "あいう", 4));
    EXPECT_EQ("", settings->readString("S", "k", "abc", 0));
    EXPECT_FALSE(file.exists());
}

TEST_P(SettingsSeamTest, IntegersReadLikeThePrivateProfile) {
    TempIniFile file("integers");
    file.write(
        "[Numbers]\r\n"
        "plain=42\r\n"
        "text=abc\r\n"
        "trailing=12abc\r\n"
        "spaced=  12abc\r\n"
        "negative=-5\r\n"
        "plus=+7\r\n"
        "quoted=\"12\"\r\n"
        "tab=\t9\r\n"
        "hex=0x1f\r\n"
        "upperHex=0X10\r\n"
        "wrapped=2147483648\r\n"
        "empty=\r\n"
        "emptyQuotes=\"\"\r\n"
        "flag\r\n"
        "long=000000000000000000000000000000015\r\n"
        "sign=- 4\r\n");
    auto settings = open(file);
    EXPECT_EQ(42, settings->readInt("Numbers", "plain", 99));
    EXPECT_EQ(0, settings->readInt("Numbers", "text", 99));
    EXPECT_EQ(12, settings->readInt("Numbers", "trailing", 99));
    EXPECT_EQ(12, settings->readInt("Numbers", "spaced", 99));
    EXPECT_EQ(-5, settings->readInt("Numbers", "negative", 99));
    EXPECT_EQ(7, settings->readInt("Numbers", "plus", 99));
    EXPECT_EQ(12, settings->readInt("Numbers", "quoted", 99));
    EXPECT_EQ(9, settings->readInt("Numbers", "tab", 99));
    EXPECT_EQ(31, settings->readInt("Numbers", "hex", 99));
    EXPECT_EQ(0, settings->readInt("Numbers", "upperHex", 99));
    EXPECT_EQ(INT_MIN, settings->readInt("Numbers", "wrapped", 99));
    EXPECT_EQ(0, settings->readInt("Numbers", "sign", 99));
    // Only the first 29 characters count: here all zeros.
    EXPECT_EQ(0, settings->readInt("Numbers", "long", 99));
    // Nothing to read: the default.
    EXPECT_EQ(99, settings->readInt("Numbers", "empty", 99));
    EXPECT_EQ(99, settings->readInt("Numbers", "emptyQuotes", 99));
    EXPECT_EQ(99, settings->readInt("Numbers", "flag", 99));
    EXPECT_EQ(99, settings->readInt("Numbers", "absent", 99));
    EXPECT_EQ(99, settings->readInt("Absent", "plain", 99));
}

TEST_P(SettingsSeamTest, StringsLoseBlanksAndOneQuotePair) {
    TempIniFile file("strings");
    file.write(
        "[Text]\r\n"
        "  k  =  v w \t\r\n"
        "q=\"x\"\r\n"
        "single= ' a ' \r\n"
        "mixed=\"x'\r\n"
        "lone=\"\r\n"
        "empty=\r\n"
        "flag\r\n"
        "=nameless\r\n");
    auto settings = open(file);
    EXPECT_EQ("v w", settings->readString("Text", "k", "D", 100));
    EXPECT_EQ("x", settings->readString("Text", "q", "D", 100));
    EXPECT_EQ(" a ", settings->readString("Text", "single", "D", 100));
    EXPECT_EQ("\"x'", settings->readString("Text", "mixed", "D", 100));
    EXPECT_EQ("\"", settings->readString("Text", "lone", "D", 100));
    EXPECT_EQ("", settings->readString("Text", "empty", "D", 100));
    EXPECT_EQ("D", settings->readString("Text", "flag", "D", 100));
    EXPECT_EQ("D", settings->readString("Text", "absent", "D", 100));
    EXPECT_EQ("D", settings->readString("Absent", "k", "D", 100));
}

TEST_P(SettingsSeamTest, CapacityCutsWholeShiftJisCharacters) {
    TempIniFile file("capacity");
    file.write(
        "[Cut]\r\n"
        "mixed=aあい\r\n"
        "quoted=\" a \"\r\n"
        "wide=　ＭＳ ゴシック　\r\n"
        "kana=ｶﾅ\r\n"
        "trail=ソフト\\表示\r\n");
    auto settings = open(file);
    const char* expected[] = {"", "", "a", "a", "aあ", "aあ", "aあい", "aあい"};
    for (int capacity = 0; capacity <= 7; ++capacity)
        EXPECT_EQ(expected[capacity], settings->readString("Cut", "mixed", "D", capacity))
            << "capacity " << capacity;
    // A quoted value keeps every character that fits.
    EXPECT_EQ(" a", settings->readString("Cut", "quoted", "D", 3));
    EXPECT_EQ(" a ", settings->readString("Cut", "quoted", "D", 4));
    // Full-width blanks are text, not padding.
    EXPECT_EQ("　ＭＳ ゴシック　", settings->readString("Cut", "wide", "D", 100));
    EXPECT_EQ("ｶﾅ", settings->readString("Cut", "kana", "D", 100));
    EXPECT_EQ("ソフト\\表示", settings->readString("Cut", "trail", "D", 100));
    EXPECT_EQ("ソフ", settings->readString("Cut", "trail", "D", 6));
}

TEST_P(SettingsSeamTest, NamesIgnoreAsciiCaseButNotShiftJisBytes) {
    TempIniFile file("names");
    // ゾ is 0x83 0x5D: its second byte is ']'. ア (0x83 0x41) and ヂ
    // (0x83 0x61) differ only in the case of their second byte.
    file.write(
        "[SeTuP]\r\n"
        "NowTimeLine=3\r\n"
        "  [ Spaced ]  \r\n"
        "x=4\r\n"
        "[\x83\x5d]\r\n"
        "\x83\x41=1\r\n"
        "[A]\r\n"
        "[\x83\x5d\r\n"
        "k=2\r\n");
    auto settings = open(file);
    EXPECT_EQ(3, settings->readInt("setup", "NOWTIMELINE", 0));
    EXPECT_EQ(3, settings->readInt(" Setup\t", " nowTimeLine ", 0));
    EXPECT_EQ(4, settings->readInt("spaced", "X", 0));
    EXPECT_EQ(1, settings->readInt("ゾ", "ア", 0));
    EXPECT_EQ(0, settings->readInt("ゾ", "ヂ", 0));
    // "[ゾ" has no closing bracket of its own: it is a key of section A.
    EXPECT_EQ(2, settings->readInt("A", "k", 0));
}

TEST_P(SettingsSeamTest, WritesCreateAndReplaceKeys) {
    TempIniFile file("writes");
    auto settings = open(file);
    ASSERT_TRUE(settings->writeString("Setup", "NowTimeLine", "1"));
    EXPECT_EQ("[Setup]\r\nNowTimeLine=1\r\n", file.read());
    ASSERT_TRUE(settings->writeString("Corvane", "WindowX", "5"));
    ASSERT_TRUE(settings->writeString("SETUP", "nowtimeline", "0"));
    ASSERT_TRUE(settings->writeString("Setup", "ViewChNo", "1"));
    EXPECT_EQ("[Setup]\r\nNowTimeLine=0\r\nViewChNo=1\r\n[Corvane]\r\nWindowX=5\r\n", file.read());
    EXPECT_EQ(0, settings->readInt("Setup", "NowTimeLine", 7));

    ASSERT_TRUE(settings->writeString("Setup", "Empty", ""));
    EXPECT_EQ(7, settings->readInt("Setup", "Empty", 7));
    EXPECT_EQ("", settings->readString("Setup", "Empty", "D", 100));

    ASSERT_TRUE(settings->writeString("Setup", "Padded", "  two  "));
    EXPECT_EQ("two", settings->readString("Setup", "Padded", "D", 100));

    // A line break cannot smuggle a key into the file.
    ASSERT_TRUE(settings->writeString("Setup", "Broken", "a\r\nInjected=1"));
    EXPECT_EQ("a", settings->readString("Setup", "Broken", "D", 100));
    EXPECT_EQ(-1, settings->readInt("Setup", "Injected", -1));

    ASSERT_TRUE(settings->writeString("ViewSetup", "NameFontName", "ＭＳ ゴシック"));
    ASSERT_TRUE(settings->writeString("iEPGStationName", "ソ", "表示\\ソ"));
    EXPECT_EQ("ＭＳ ゴシック", settings->readString("ViewSetup", "NameFontName", "D", 32));
    EXPECT_EQ("表示\\ソ", settings->readString("iEPGStationName", "ソ", "D", 256));
    EXPECT_EQ(0, settings->readInt("Setup", "NowTimeLine", 7));
}

TEST_P(SettingsSeamTest, FirstSectionOfANameWinsAndOtherLinesSurvive) {
    TempIniFile file("duplicates");
    file.write("; note\r\n[S]\r\na=1\r\n[s]\r\nb=2\r\n[T]\r\nflag\r\nx=1");
    auto settings = open(file);
    EXPECT_EQ(0, settings->readInt("S", "b", 0));
    ASSERT_TRUE(settings->writeString("s", "b", "3"));
    ASSERT_TRUE(settings->writeString("T", "y", "4"));
    // A key without '=' is still that key: setting it gives it a value.
    ASSERT_TRUE(settings->writeString("T", "flag", "5"));
    EXPECT_EQ(5, settings->readInt("T", "flag", 0));
    EXPECT_EQ(3, settings->readInt("S", "b", 0));
    EXPECT_EQ(1, settings->readInt("S", "a", 0));
    EXPECT_EQ(4, settings->readInt("T", "y", 0));
    EXPECT_EQ(1, settings->readInt("T", "x", 0));
    const std::string text = file.read();
    EXPECT_NE(std::string::npos, text.find("; note\r\n"));
    EXPECT_NE(std::string::npos, text.find("[s]\r\nb=2\r\n"));
}

TEST_P(SettingsSeamTest, EveryReadSeesTheFileAsItIsNow) {
    TempIniFile file("fresh");
    auto settings = open(file);
    file.write("[S]\r\nk=1\r\n");
    EXPECT_EQ(1, settings->readInt("S", "k", 0));
    file.write("[S]\r\nk=2\r\n");
    EXPECT_EQ(2, settings->readInt("S", "k", 0));
    ASSERT_TRUE(settings->writeString("S", "k", "3"));
    EXPECT_EQ("[S]\r\nk=3\r\n", file.read());
    file.write("[S]\r\nk=4\r\n");
    EXPECT_EQ("4", settings->readString("S", "k", "", 10));
}

TEST_P(SettingsSeamTest, WriteIntoAMissingFolderFails) {
    TempIniFile file("folder");
    auto settings = GetParam()(file.path() + ".missing/settings.ini");
    EXPECT_FALSE(settings->writeString("S", "k", "1"));
}

INSTANTIATE_TEST_SUITE_P(IniFile, SettingsSeamTest, testing::Values(&makeIniFileSettings));
#ifdef _WIN32
INSTANTIATE_TEST_SUITE_P(PrivateProfile, SettingsSeamTest,
                         testing::Values(&makePrivateProfileSettings));
#endif

}  // namespace
}  // namespace corvane
