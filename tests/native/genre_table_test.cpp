#include <gtest/gtest.h>

#include <string>

#include "app/ini_settings.h"
#include "dialogs/genre_table.h"
#include "support/temp_ini.h"

namespace corvane {
namespace {

TEST(GenreTable, HoldsTwelveMajorsAndNinetyOneSubGenres) {
    const int expectedCounts[] = {11, 11, 8, 3, 11, 7, 3, 3, 9, 5, 13, 7};
    int total = 0;
    for (int major = 0; major < GenreTable::majorCount; ++major) {
        EXPECT_EQ(expectedCounts[major], GenreTable::subGenreCount(major)) << major;
        total += GenreTable::subGenreCount(major);
        for (int sub = 0; sub < GenreTable::subGenreCount(major); ++sub)
            EXPECT_NE(nullptr, GenreTable::subGenreName(major, sub)) << major << "/" << sub;
    }
    EXPECT_EQ(91, total);
    EXPECT_EQ(GenreTable::totalSubGenreCount, total);
}

TEST(GenreTable, NamesAreTheExactShiftJisTexts) {
    EXPECT_EQ(std::string("\x83\x6a\x83\x85\x81\x5b\x83\x58\x81\x5e\x95\xf1\x93\xb9"),
              GenreTable::majorName(0));
    EXPECT_STREQ("ドキュメンタリー／教養", GenreTable::majorName(8));
    EXPECT_STREQ("福祉", GenreTable::majorName(11));
    EXPECT_STREQ("定時・総合", GenreTable::subGenreName(0, 0));
    EXPECT_STREQ("交通", GenreTable::subGenreName(0, 10));
    EXPECT_STREQ("番組紹介・お知らせ", GenreTable::subGenreName(2, 7));
    EXPECT_STREQ("アニメ", GenreTable::subGenreName(6, 2));
    EXPECT_STREQ("スポーツ", GenreTable::subGenreName(8, 6));
    EXPECT_STREQ("コンピュータ・ＴＶゲーム", GenreTable::subGenreName(10, 6));
    EXPECT_STREQ("文字（字幕）", GenreTable::subGenreName(11, 5));
}

TEST(GenreTable, ValuesOutsideTheListsHaveNoEntry) {
    EXPECT_EQ(nullptr, GenreTable::majorName(-1));
    EXPECT_EQ(nullptr, GenreTable::majorName(12));
    EXPECT_EQ(nullptr, GenreTable::majorName(15));
    EXPECT_EQ(0, GenreTable::subGenreCount(14));
    EXPECT_EQ(nullptr, GenreTable::subGenreName(0, 11));
    EXPECT_EQ(nullptr, GenreTable::subGenreName(0, 15));
    EXPECT_EQ(nullptr, GenreTable::subGenreName(0, -1));
    EXPECT_EQ(nullptr, GenreTable::subGenreName(12, 0));
    EXPECT_EQ(nullptr, GenreTable::subGenreName(-1, 0));
}

TEST(GenreSettings, WithoutAFileNothingIsSelectedAndColoursAreBuiltIn) {
    TempIniFile file("genre_defaults");
    IniFileSettings settings(file.path());
    const GenreSettings genres = readGenreSettings(settings);
    for (int i = 0; i < GenreTable::majorCount; ++i) {
        EXPECT_EQ(0, genres.genreCheck[i]);
        EXPECT_EQ(builtInGenreColors[i], genres.genreColor[i]);
        EXPECT_FALSE(isGenreHighlighted(genres, i));
    }
    EXPECT_EQ(0xc68effu, genres.genreColor[0]);
    EXPECT_EQ(0xffffa3u, genres.genreColor[11]);
    for (uint32_t custom : genres.custColor) EXPECT_EQ(0u, custom);
    EXPECT_EQ(0, genres.genreNoDisp);
}

TEST(GenreSettings, KeysAreNumberedFromOneAndColoursParseLeadingHexDigits) {
    TempIniFile file("genre_keys");
    file.write(
        "[GenreSetup]\r\n"
        "Check1=1\r\n"
        "Check12=7\r\n"
        "Check5=yes\r\n"
        "Color3=ff\r\n"
        "Color1=12zz\r\n"
        "Color2=zz\r\n"
        "Color4=\r\n"
        "Color5=0x00ff00\r\n"
        "Color6=7fffffff0\r\n"
        "CustColor1=80ff00\r\n"
        "CustColor16=abc\r\n"
        "GenreNoDisp=1\r\n");
    IniFileSettings settings(file.path());
    const GenreSettings genres = readGenreSettings(settings);
    EXPECT_EQ(1, genres.genreCheck[0]);
    EXPECT_EQ(0, genres.genreCheck[1]);
    EXPECT_EQ(0, genres.genreCheck[4]);
    EXPECT_EQ(7, genres.genreCheck[11]);
    EXPECT_EQ(0x0000ffu, genres.genreColor[2]);  // major genre 2: pure red
    EXPECT_EQ(0x12u, genres.genreColor[0]);
    EXPECT_EQ(0u, genres.genreColor[1]);
    EXPECT_EQ(0u, genres.genreColor[3]);
    EXPECT_EQ(0x00ff00u, genres.genreColor[4]);
    // Out of range texts clamp like strtol and keep only colour bits.
    EXPECT_EQ(0xffffffu, genres.genreColor[5]);
    EXPECT_EQ(builtInGenreColors[6], genres.genreColor[6]);
    EXPECT_EQ(0x80ff00u, genres.custColor[0]);
    EXPECT_EQ(0xabcu, genres.custColor[15]);
    EXPECT_EQ(1, genres.genreNoDisp);
}

TEST(GenreSettings, WrittenKeysReadBackTheSame) {
    TempIniFile file("genre_write");
    IniFileSettings settings(file.path());
    writeGenreSettings(settings, GenreSettings{});
    EXPECT_EQ("c68eff", settings.readString("GenreSetup", "Color1", "", 100));
    EXPECT_EQ("ffffa3", settings.readString("GenreSetup", "Color12", "", 100));
    EXPECT_EQ("0", settings.readString("GenreSetup", "Check1", "", 100));
    EXPECT_EQ("0", settings.readString("GenreSetup", "CustColor16", "", 100));
    EXPECT_EQ("0", settings.readString("GenreSetup", "GenreNoDisp", "", 100));

    GenreSettings changed;
    changed.genreCheck[3] = 1;
    changed.genreColor[2] = 0x0000ff;
    changed.custColor[7] = 0x123456;
    changed.genreNoDisp = 1;
    writeGenreSettings(settings, changed);
    EXPECT_EQ("ff", settings.readString("GenreSetup", "Color3", "", 100));
    const GenreSettings back = readGenreSettings(settings);
    EXPECT_EQ(1, back.genreCheck[3]);
    EXPECT_EQ(0x0000ffu, back.genreColor[2]);
    EXPECT_EQ(0x123456u, back.custColor[7]);
    EXPECT_EQ(1, back.genreNoDisp);
}

TEST(GenreSettings, OnlySelectedMajorGenresAreHighlighted) {
    GenreSettings genres;
    genres.genreCheck[2] = 1;
    EXPECT_TRUE(isGenreHighlighted(genres, 2));
    EXPECT_FALSE(isGenreHighlighted(genres, 3));
    EXPECT_FALSE(isGenreHighlighted(genres, -1));
    EXPECT_FALSE(isGenreHighlighted(genres, 12));
    EXPECT_FALSE(isGenreHighlighted(genres, 0xE));
    EXPECT_FALSE(isGenreTextHidden(genres, 3));

    genres.genreNoDisp = 1;
    EXPECT_FALSE(isGenreTextHidden(genres, 2));
    EXPECT_TRUE(isGenreTextHidden(genres, 3));
    EXPECT_TRUE(isGenreTextHidden(genres, -1));
    EXPECT_TRUE(isGenreTextHidden(genres, 0xF));
}

}  // namespace
}  // namespace corvane
