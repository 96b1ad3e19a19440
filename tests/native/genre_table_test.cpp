#include <gtest/gtest.h>

#include <string>

#include "app/ini_settings.h"
#include "dialogs/genre_table.h"
#include "support/temp_ini.h"

namespace corvane {
namespace {

TEST(GenreTable, TwelveMajorsNinetyOneSubGenresWithExactNames) {
    const int counts[] = {11, 11, 8, 3, 11, 7, 3, 3, 9, 5, 13, 7};
    int total = 0;
    for (int major = 0; major < GenreTable::majorCount; ++major) {
        EXPECT_EQ(counts[major], GenreTable::subGenreCount(major)) << major;
        total += GenreTable::subGenreCount(major);
    }
    EXPECT_EQ(91, total);
    EXPECT_STREQ("ニュース／報道", GenreTable::majorName(0));
    EXPECT_STREQ("福祉", GenreTable::majorName(11));
    EXPECT_STREQ("交通", GenreTable::subGenreName(0, 10));
    EXPECT_STREQ("コンピュータ・ＴＶゲーム", GenreTable::subGenreName(10, 6));
    EXPECT_EQ(nullptr, GenreTable::majorName(12));
    EXPECT_EQ(nullptr, GenreTable::subGenreName(0, 11));
    EXPECT_EQ(nullptr, GenreTable::subGenreName(0, 15));
}

TEST(GenreSettings, KeysFromOneColoursFromLeadingHexDigits) {
    TempIniFile file("genre_keys");
    file.write("[GenreSetup]\r\nCheck1=1\r\nCheck12=7\r\nColor3=ff\r\nColor1=12zz\r\nColor2=zz\r\n"
               "Color6=7fffffff0\r\nCustColor16=abc\r\nGenreNoDisp=1\r\n");
    IniFileSettings settings(file.path());
    const GenreSettings genres = readGenreSettings(settings);
    EXPECT_EQ(1, genres.genreCheck[0]);
    EXPECT_EQ(7, genres.genreCheck[11]);
    EXPECT_EQ(0x0000ffu, genres.genreColor[2]);  // major genre 2: pure red
    EXPECT_EQ(0x12u, genres.genreColor[0]);
    EXPECT_EQ(0u, genres.genreColor[1]);
    EXPECT_EQ(0xffffffu, genres.genreColor[5]);  // clamped like strtol, colour bits only
    EXPECT_EQ(builtInGenreColors[6], genres.genreColor[6]);
    EXPECT_EQ(0xabcu, genres.custColor[15]);
    EXPECT_EQ(1, genres.genreNoDisp);

    // Written back without a file of their own, every key in its form.
    TempIniFile fresh("genre_write");
    IniFileSettings written(fresh.path());
    writeGenreSettings(written, GenreSettings{});
    EXPECT_EQ("c68eff", written.readString("GenreSetup", "Color1", "", 100));
    EXPECT_EQ("0", written.readString("GenreSetup", "Check12", "", 100));
    EXPECT_EQ("0", written.readString("GenreSetup", "CustColor16", "", 100));
    writeGenreSettings(written, genres);
    EXPECT_EQ("ff", written.readString("GenreSetup", "Color3", "", 100));
    EXPECT_EQ("1", written.readString("GenreSetup", "GenreNoDisp", "", 100));
}

TEST(GenreSettings, OnlySelectedMajorGenresAreHighlightedOrKeepTheirText) {
    GenreSettings genres;
    genres.genreCheck[2] = 1;
    EXPECT_TRUE(isGenreHighlighted(genres, 2));
    for (int other : {3, -1, 12, 0xE}) EXPECT_FALSE(isGenreHighlighted(genres, other)) << other;
    EXPECT_FALSE(isGenreTextHidden(genres, 3));
    genres.genreNoDisp = 1;
    EXPECT_FALSE(isGenreTextHidden(genres, 2));
    for (int other : {3, -1, 0xF}) EXPECT_TRUE(isGenreTextHidden(genres, other)) << other;
}

}  // namespace
}  // namespace corvane
