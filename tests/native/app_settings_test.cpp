#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "app/app_settings.h"
#include "reserve/hex_text.h"
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

TEST_F(SettingsFileTest, RegistrationEpgTimerWinsOverTvRock) {
    file.write("[iEpgSetup]\r\nEpgTimer=1\r\nTvRock=1\r\n");
    const RegistrationSettings registration = readRegistrationSettings(settings, "C:\\iepg\\app.exe");
    EXPECT_EQ(std::tuple(1, 0, "C:\\iepg\\app.exe"),
              std::tuple(registration.epgTimer, registration.tvRock, registration.fileName));
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

}  // namespace
}  // namespace corvane
