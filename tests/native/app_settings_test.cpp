#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "app/app_settings.h"
#include "app/load_flow.h"
#include "guide/genre_table.h"
#include "reserve/hex_text.h"
#include "reserve/registration_formats.h"
#include "store/ini_settings.h"
#include "support/temp_ini.h"

namespace corvane {
namespace {

TEST(AppPaths, SettingsBesideTheExecutable) {
    const AppPaths paths = deriveAppPaths("C:\\Program Files\\Corvane\\corvane.exe", "C:\\Users\\me\\Documents");
    EXPECT_EQ(std::tuple("C:\\Program Files\\Corvane\\corvane.ini", "C:\\Program Files\\Corvane\\corvane.tvpi",
                         "C:\\Users\\me\\Documents\\EpgTimer\\Program.txt"),
              std::tuple(paths.settingsFile, paths.iepgFile, paths.epgTimerFile));
    EXPECT_EQ("C:\\Program Files\\Corvane\\corvane.register.tvpi", paths.iepgHandOverFile);
    // Without a Documents folder there is no EpgTimer file, not one at the root of the drive.
    EXPECT_EQ("", deriveAppPaths("C:\\corvane.exe", "").epgTimerFile);
    EXPECT_EQ("C:\\v1.0\\corvane.ini", replaceExtension("C:\\v1.0\\corvane", ".ini"));
    // ソ ends in the byte of '\'; it must not hide the extension before it.
    EXPECT_EQ("C:\\ソフト\\corvane.ini", replaceExtension("C:\\ソフト\\corvane.exe", ".ini"));
}

// A settings file of its own for each test.
class SettingsFileTest : public testing::Test {
protected:
    TempIniFile file{"app_settings"};
    IniFileSettings settings{file.path()};
};

TEST_F(SettingsFileTest, MainWindowRightBottomEdgesMinimisedFirstAndEmptyKeysFallBack) {
    MainWindowPlacement placement = readMainWindowPlacement(settings);
    EXPECT_EQ(std::tuple(100, 830, 400), std::tuple(placement.left, placement.width(), placement.height()));
    EXPECT_EQ(InitialShow::asRequested, initialShow(placement));

    file.write("[Corvane]\r\nWindowX=200\r\nWindowCX=1000\r\nWindowMin=1\r\nWindowMax=1\r\n");
    placement = readMainWindowPlacement(settings);
    EXPECT_EQ(800, placement.width());
    EXPECT_EQ(InitialShow::minimized, initialShow(placement));

    // One empty key discards every stored value; so does a window without area.
    for (const char* stored : {"WindowX=300\r\nWindowCY=\r\nWindowMin=1\r\n", "WindowX=200\r\nWindowCX=50\r\n"}) {
        file.write(std::string("[Corvane]\r\n") + stored);
        placement = readMainWindowPlacement(settings);
        EXPECT_EQ(std::tuple(100, 830, 0), std::tuple(placement.left, placement.width(), placement.minimized)) << stored;
    }
}

// Hand-edited switches: any value but 0 is on, at start-up, for a press's target and in the setup
// dialog (which ticks and selects from the same switches); EpgTimer wins over TvRock.
TEST_F(SettingsFileTest, RegistrationSwitchesAreOnWhenNotZeroAndEpgTimerWinsOverTvRock) {
    using T = RegistrationTarget;
    const std::pair<const char*, T> targets[] = {
        {"", T::iEpg},          {"EpgTimer=0\r\nTvRock=0", T::iEpg}, {"EpgTimer=1\r\nTvRock=1", T::epgTimer},
        {"EpgTimer=2\r\nTvRock=1", T::epgTimer}, {"EpgTimer=-1", T::epgTimer}, {"TvRock=2", T::tvRock},
        {"EpgTimer=0\r\nTvRock=-1", T::tvRock}};
    for (const auto& [keys, target] : targets)
        for (const std::string iEpg : {"", "0", "1", "2", "-1"}) {
            file.write("[iEpgSetup]\r\n" + (iEpg.empty() ? "" : "iEpg=" + iEpg + "\r\n") + keys + "\r\n");
            const RegistrationSettings read = readRegistrationSettings(settings, "app.exe");
            const RegistrationSwitches on = registrationSwitches(read);
            EXPECT_EQ(std::tuple(target, !iEpg.empty() && iEpg != "0", target == T::tvRock, "app.exe"),
                      std::tuple(on.target, on.fileOrWeb, read.tvRock != 0, read.fileName))
                << keys << iEpg;
        }
}

TEST_F(SettingsFileTest, AbsentKeysShowGenreColoursAndMarkWhatIsRegistered) {
    // A first start: every genre coloured, no reservation marked while nothing is registered.
    StartupSettings first = readStartupSettings(settings, "");
    EXPECT_EQ(std::tuple(1, 1, 0, 0, 0), std::tuple(first.genres.genreCheck[0], first.genres.genreCheck[11],
                                                    first.view.epgTimerDisp, first.view.tvRockDisp, first.view.tunerecDisp));
    // Stored values stay; an absent mark follows the registrations that are on.
    file.write("[GenreSetup]\r\nCheck1=0\r\n[iEpgSetup]\r\niEpg=1\r\nEpgTimer=1\r\niEpgTunerec=1\r\n"
               "[ViewSetup]\r\nTunerecDisp=0\r\n");
    StartupSettings stored = readStartupSettings(settings, "");
    EXPECT_EQ(std::tuple(0, 1, 1, 0, 0), std::tuple(stored.genres.genreCheck[0], stored.genres.genreCheck[1],
                                                    stored.view.epgTimerDisp, stored.view.tvRockDisp, stored.view.tunerecDisp));
    file.write("[iEpgSetup]\r\niEpg=1\r\nTvRock=1\r\n");
    stored = readStartupSettings(settings, "");
    EXPECT_EQ(std::tuple(0, 1, 0), std::tuple(stored.view.epgTimerDisp, stored.view.tvRockDisp, stored.view.tunerecDisp));
}

TEST_F(SettingsFileTest, NineNumberedTunerecPresetsWithHexAccounts) {
    EXPECT_EQ("A", decodeHexText("41004142"));  // a zero byte ends the text
    // At most 99 bytes come back, never half a character.
    EXPECT_EQ(std::string(98, 'a'), decodeHexText(encodeHexText(std::string(98, 'a') + "あ")));

    file.write("[iEpgSetup:3]\r\niEpgTunerecName=fourth\r\niEpgTunerecID=12\r\n"
               "[ViewSetup:3]\r\niEpgAColor=616263\r\n");
    std::vector<TunerecPreset> presets = readTunerecPresets(settings);
    ASSERT_EQ(9u, presets.size());
    EXPECT_EQ(std::tuple("tunerec1", 9, "127.0.0.1:1234"), std::tuple(presets[0].name, presets[8].id, presets[4].udpHostName));
    EXPECT_EQ(std::tuple("fourth", 12, "abc"), std::tuple(presets[3].name, presets[3].id, presets[3].account));

    presets[3].password = "パス";
    writeTunerecPreset(settings, 5, presets[3]);
    const TunerecPreset back = readTunerecPresets(settings)[5];
    EXPECT_EQ(std::tuple("fourth", "abc", "パス"), std::tuple(back.name, back.account, back.password));
}


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

TEST(LoadFlow, FilesFromTheCommandLineAndTheOpenDialog) {
    EXPECT_EQ((std::vector<std::string>{"a.ts", "C:\\録画 フォルダ\\b.ts", "c.dat"}),
              splitCommandLine("  a.ts \"C:\\録画 フォルダ\\b.ts\"   c.dat "));
    EXPECT_EQ((std::vector<std::string>{"x y"}), splitCommandLine("\"x y"));  // unterminated quote
    EXPECT_EQ((std::vector<std::string>{"", "z"}), splitCommandLine("\"\" z"));
    EXPECT_TRUE(splitCommandLine("").empty() && splitCommandLine("   ").empty() && splitCommandLine(nullptr).empty());

    // The open dialog's selections.
    const char single[] = "C:\\data\\guide.dat\0\0";
    EXPECT_EQ((std::vector<std::string>{"C:\\data\\guide.dat"}), selectedPaths(single, sizeof single));
    const char several[] = "C:\\rec\0a.ts\0b.dat\0\0";
    EXPECT_EQ((std::vector<std::string>{"C:\\rec\\a.ts", "C:\\rec\\b.dat"}), selectedPaths(several, sizeof several));
    // A buffer without its final empty name is not read past its end.
    const char cut[] = {'C', ':', '\0', 'a', '.', 't', 's'};
    EXPECT_EQ((std::vector<std::string>{"C:\\a.ts"}), selectedPaths(cut, sizeof cut));
    EXPECT_TRUE(selectedPaths("\0", 1).empty());
}

TEST(LoadFlow, ProgressTextsAndDataFileNames) {
    EXPECT_EQ("12,345MB/1,234,567MB", progressText(12345000, 1234567000));
    // (0, 0): a file of fewer than 1000 bytes.
    EXPECT_EQ(std::pair(50, 100), std::pair(progressPercent(1750000, 3500000), progressPercent(0, 0)));
    EXPECT_TRUE(hasDataFileExtension("C:\\a\\guide.DAT") && hasDataFileExtension("guide.dat"));
    EXPECT_FALSE(hasDataFileExtension("guide.data") || hasDataFileExtension("C:\\x.dat\\guide"));
    // 表 is 0x95 0x5C: its second byte is no folder separator.
    EXPECT_EQ(std::tuple("guide.ts", "表.ts", "表"),
              std::tuple(fileNameOf("C:\\rec\\guide.ts"), fileNameOf("C:\\表.ts"), fileNameOf("表")));
}

}  // namespace
}  // namespace corvane
