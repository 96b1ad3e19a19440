#include <gtest/gtest.h>

#include <string>

#include "app/app_settings.h"
#include "app/ini_settings.h"
#include "support/temp_ini.h"

namespace corvane {
namespace {

TEST(AppPaths, SettingsBesideTheExecutable) {
    const AppPaths paths = deriveAppPaths("C:\\Program Files\\Corvane\\corvane.exe", "C:\\Users\\me\\Documents");
    EXPECT_EQ("C:\\Program Files\\Corvane\\corvane.ini", paths.settingsFile);
    EXPECT_EQ("C:\\Program Files\\Corvane\\corvane.tvpi", paths.iepgFile);
    EXPECT_EQ("C:\\Users\\me\\Documents\\EpgTimer\\Program.txt", paths.epgTimerFile);
    EXPECT_EQ("C:\\v1.0\\corvane.ini", replaceExtension("C:\\v1.0\\corvane", ".ini"));
    // ソ ends in the byte of '\'; it must not hide the extension before it.
    EXPECT_EQ("C:\\ソフト\\corvane.ini", replaceExtension("C:\\ソフト\\corvane.exe", ".ini"));
}

TEST(MainWindowPlacement, RightBottomEdgesMinimisedFirstAndEmptyKeysFallBack) {
    TempIniFile file("placement");
    IniFileSettings settings(file.path());
    MainWindowPlacement placement = readMainWindowPlacement(settings);
    EXPECT_EQ(100, placement.left);
    EXPECT_EQ(830, placement.width());
    EXPECT_EQ(400, placement.height());
    EXPECT_EQ(InitialShow::asRequested, initialShow(placement));

    file.write("[Corvane]\r\nWindowX=200\r\nWindowCX=1000\r\nWindowMin=1\r\nWindowMax=1\r\n");
    placement = readMainWindowPlacement(settings);
    EXPECT_EQ(800, placement.width());
    EXPECT_EQ(InitialShow::minimized, initialShow(placement));

    // One empty key discards every stored value; so does a window without area.
    for (const char* stored : {"WindowX=300\r\nWindowCY=\r\nWindowMin=1\r\n", "WindowX=200\r\nWindowCX=50\r\n"}) {
        file.write(std::string("[Corvane]\r\n") + stored);
        placement = readMainWindowPlacement(settings);
        EXPECT_EQ(100, placement.left) << stored;
        EXPECT_EQ(830, placement.width()) << stored;
        EXPECT_EQ(0, placement.minimized) << stored;
    }
}

TEST(DialogPlacement, PopupFollowsTheMainWindowListsKeepTheirTemplate) {
    TempIniFile file("dialogs");
    IniFileSettings settings(file.path());
    MainWindowPlacement mainWindow;
    mainWindow.left = 300;
    mainWindow.top = 40;
    DialogPlacement popup = readPopupPlacement(settings, mainWindow);
    EXPECT_TRUE(popup.stored);
    EXPECT_EQ(322, popup.x);
    EXPECT_EQ(57, popup.y);
    EXPECT_EQ(320, popup.width);
    EXPECT_FALSE(readUpdateWindowPlacement(settings).stored);
    EXPECT_FALSE(readReservationListPlacement(settings).stored);
    file.write("[iEpgListDialog]\r\nWindowX=9\r\n");
    const DialogPlacement list = readReservationListPlacement(settings);
    EXPECT_TRUE(list.stored);
    EXPECT_EQ(17, list.y);
    EXPECT_EQ(910, list.width);
}

TEST(ViewSettings, DefaultsAndFontsBySizeEitherSign) {
    TempIniFile file("view");
    IniFileSettings settings(file.path());
    ViewSettings view = readViewSettings(settings);
    EXPECT_EQ(2, view.hourHight);
    EXPECT_EQ(180, view.channelWidth);
    EXPECT_EQ("D:\\Vurda\\tvrock.sch", view.tvRockProgName);
    EXPECT_EQ("ＭＳ ゴシック", view.nameFont.faceName);
    EXPECT_EQ("ＭＳ 明朝", view.contFont.faceName);
    EXPECT_EQ(-12, view.nameFont.creationHeight());
    EXPECT_EQ(0x505050u, view.contFont.color);
    file.write("[ViewSetup]\r\nNameFontSize=-14\r\nContFontSize=14\r\nContFontColor=zz\r\n");
    view = readViewSettings(settings);
    EXPECT_EQ(-14, view.nameFont.creationHeight());
    EXPECT_EQ(-14, view.contFont.creationHeight());
    EXPECT_EQ(0u, view.contFont.color);
}

TEST(RegistrationSettings, EpgTimerWinsOverTvRock) {
    TempIniFile file("registration");
    IniFileSettings settings(file.path());
    RegistrationSettings registration = readRegistrationSettings(settings, "C:\\iepg\\app.exe");
    EXPECT_EQ("C:\\iepg\\app.exe", registration.fileName);
    EXPECT_EQ("http://localhost:8969/nobody/", registration.hostName);
    file.write("[iEpgSetup]\r\nEpgTimer=1\r\nTvRock=1\r\n");
    registration = readRegistrationSettings(settings, "");
    EXPECT_EQ(1, registration.epgTimer);
    EXPECT_EQ(0, registration.tvRock);
}

TEST(TunerecPresets, NineNumberedPresetsWithHexAccounts) {
    EXPECT_EQ("616263", encodeHexText("abc"));
    EXPECT_EQ("abc", decodeHexText("616263"));
    EXPECT_EQ("A", decodeHexText("41004142"));  // a zero byte ends the text
    EXPECT_EQ(99u, decodeHexText(encodeHexText(std::string(120, 'a'))).size());
    EXPECT_EQ(std::string(98, 'a'), decodeHexText(encodeHexText(std::string(98, 'a') + "あ")));

    TempIniFile file("presets");
    IniFileSettings settings(file.path());
    file.write("[iEpgSetup:3]\r\niEpgTunerecName=fourth\r\niEpgTunerecID=12\r\n"
               "[ViewSetup:3]\r\niEpgAColor=616263\r\n");
    std::vector<TunerecPreset> presets = readTunerecPresets(settings);
    ASSERT_EQ(9u, presets.size());
    EXPECT_EQ("tunerec1", presets[0].name);
    EXPECT_EQ(9, presets[8].id);
    EXPECT_EQ("127.0.0.1:1234", presets[4].udpHostName);
    EXPECT_EQ("fourth", presets[3].name);
    EXPECT_EQ(12, presets[3].id);
    EXPECT_EQ("abc", presets[3].account);

    presets[3].password = "パス";
    writeTunerecPreset(settings, 5, presets[3]);
    const TunerecPreset back = readTunerecPresets(settings)[5];
    EXPECT_EQ("fourth", back.name);
    EXPECT_EQ("abc", back.account);
    EXPECT_EQ("パス", back.password);
}

}  // namespace
}  // namespace corvane
