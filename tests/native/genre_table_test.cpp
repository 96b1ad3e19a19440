#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "store/ini_settings.h"
#include "app/app_settings.h"
#include "dialogs/genre_table.h"
#include "support/temp_ini.h"

namespace corvane {
namespace {

// (The genre tree shows its 12 majors and 91 sub-genres in the Win32 tests.)
TEST(GenreTable, NothingBeyondTheTable) {
    for (int major = 0; major <= GenreTable::majorCount; ++major)
        EXPECT_EQ(nullptr, GenreTable::subGenreName(major, GenreTable::subGenreCount(major))) << major;
    EXPECT_EQ(nullptr, GenreTable::majorName(GenreTable::majorCount));
}

TEST(GenreSettings, KeysFromOneColoursFromLeadingHexDigitsAndTheHighlight) {
    TempIniFile file("genre_keys");
    file.write("[GenreSetup]\r\nCheck1=1\r\nCheck12=7\r\nColor3=ff\r\nColor1=12zz\r\nColor2=zz\r\n"
               "Color6=7fffffff0\r\nCustColor16=abc\r\nGenreNoDisp=1\r\n");
    IniFileSettings settings(file.path());
    const GenreSettings genres = readGenreSettings(settings);
    EXPECT_EQ(std::tuple(1, 7, 1, 0xabcu),
              std::tuple(genres.genreCheck[0], genres.genreCheck[11], genres.genreNoDisp, genres.custColor[15]));
    // Major genre 2 pure red; 6 clamped like strtol, colour bits only; 7 built in.
    EXPECT_EQ(std::tuple(0x12u, 0u, 0x0000ffu, 0xffffffu, builtInGenreColors[6]),
              std::tuple(genres.genreColor[0], genres.genreColor[1], genres.genreColor[2], genres.genreColor[5],
                         genres.genreColor[6]));

    // Written back without a file of their own, every key in its form.
    TempIniFile fresh("genre_write");
    IniFileSettings written(fresh.path());
    auto key = [&written](const char* name) { return written.readString("GenreSetup", name, "", 100); };
    writeGenreSettings(written, GenreSettings{});
    EXPECT_EQ(std::tuple("c68eff", "0", "0"), std::tuple(key("Color1"), key("Check12"), key("CustColor16")));
    writeGenreSettings(written, genres);
    EXPECT_EQ(std::tuple("ff", "1"), std::tuple(key("Color3"), key("GenreNoDisp")));

    // Only selected majors are highlighted; no genre and the genres beyond the
    // table (0xE, 0xF) never are, and with GenreNoDisp they lose their text.
    GenreSettings chosen;
    chosen.genreCheck[2] = chosen.genreNoDisp = 1;
    for (int genre : {2, 3, -1, 12, 0xE, 0xF})
        EXPECT_EQ(std::pair(genre == 2, genre != 2), std::pair(isGenreHighlighted(chosen, genre), isGenreTextHidden(chosen, genre)))
            << genre;
}

}  // namespace
}  // namespace corvane
