#include <gtest/gtest.h>

#include <string>

#include "app/app_settings.h"
#include "app/ini_settings.h"
#include "support/temp_ini.h"

namespace corvane {
namespace {

TEST(AppPaths, SettingsBesideTheExecutable) {
    const AppPaths paths =
        deriveAppPaths("C:\\Program Files\\Corvane\\corvane.exe", "C:\\Users\\me\\Documents");
    EXPECT_EQ("C:\\Program Files\\Corvane\\corvane.ini", paths.settingsFile);
    EXPECT_EQ("C:\\Program Files\\Corvane\\corvane.tvpi", paths.iepgFile);
    EXPECT_EQ("C:\\Users\\me\\Documents\\EpgTimer\\Program.txt", paths.epgTimerFile);

    EXPECT_EQ("C:\\v1.0\\corvane.ini", replaceExtension("C:\\v1.0\\corvane", ".ini"));
    EXPECT_EQ("C:\\a.b\\corvane.x.ini", replaceExtension("C:\\a.b\\corvane.x.exe", ".ini"));
    // ソ ends in the byte of '\'; it must not hide the extension before it.
    EXPECT_EQ("C:\\dir\\corvane.ini", replaceExtension("C:\\dir\\corvane.ソ", ".ini"));
    EXPECT_EQ("C:\\ソフト\\corvane.ini", replaceExtension("C:\\ソフト\\corvane.exe", ".ini"));
}

TEST(MainWindowPlacement, DefaultsAndRightBottomEdges) {
    TempIniFile file("placement");
    IniFileSettings settings(file.path());
    MainWindowPlacement placement = readMainWindowPlacement(settings);
    EXPECT_EQ(100, placement.left);
    EXPECT_EQ(100, placement.top);
    EXPECT_EQ(830, placement.width());
    EXPECT_EQ(400, placement.height());
    EXPECT_EQ(InitialShow::asRequested, initialShow(placement));

    file.write("[Corvane]\r\nWindowX=200\r\nWindowCX=1000\r\nWindowY=50\r\nWindowCY=650\r\n");
    placement = readMainWindowPlacement(settings);
    EXPECT_EQ(200, placement.left);
    EXPECT_EQ(800, placement.width());
    EXPECT_EQ(600, placement.height());

    file.write("[Corvane]\r\nWindowMin=1\r\nWindowMax=1\r\n");
    EXPECT_EQ(InitialShow::minimized, initialShow(readMainWindowPlacement(settings)));
    file.write("[Corvane]\r\nWindowMax=1\r\n");
    EXPECT_EQ(InitialShow::maximized, initialShow(readMainWindowPlacement(settings)));
}

TEST(MainWindowPlacement, UnusableStoredValuesFallBackToTheDefaults) {
    TempIniFile file("placement_bad");
    IniFileSettings settings(file.path());
    // One empty key discards every stored value, WindowMin included.
    file.write("[Corvane]\r\nWindowX=300\r\nWindowY=300\r\nWindowCY=\r\nWindowMin=1\r\n");
    MainWindowPlacement placement = readMainWindowPlacement(settings);
    EXPECT_EQ(100, placement.left);
    EXPECT_EQ(830, placement.width());
    EXPECT_EQ(400, placement.height());
    EXPECT_EQ(0, placement.minimized);

    // A right edge left of the left edge would give a window without area.
    file.write("[Corvane]\r\nWindowX=200\r\nWindowCX=50\r\n");
    placement = readMainWindowPlacement(settings);
    EXPECT_EQ(100, placement.left);
    EXPECT_EQ(830, placement.width());

    // Text reads as 0 (atoi), which still leaves a usable window.
    file.write("[Corvane]\r\nWindowX=abc\r\n");
    placement = readMainWindowPlacement(settings);
    EXPECT_EQ(0, placement.left);
    EXPECT_EQ(930, placement.width());
}

TEST(MainWindowPlacement, WrittenPlacementReadsBack) {
    TempIniFile file("placement_write");
    IniFileSettings settings(file.path());
    MainWindowPlacement placement;
    placement.left = -8;
    placement.top = 20;
    placement.right = 1000;
    placement.bottom = 700;
    placement.maximized = 1;
    writeMainWindowPlacement(settings, placement);
    EXPECT_EQ("1000", settings.readString("Corvane", "WindowCX", "", 100));
    const MainWindowPlacement back = readMainWindowPlacement(settings);
    EXPECT_EQ(-8, back.left);
    EXPECT_EQ(1008, back.width());
    EXPECT_EQ(680, back.height());
    EXPECT_EQ(InitialShow::maximized, initialShow(back));
}

TEST(DialogPlacement, PopupFollowsTheMainWindowListsKeepTheirTemplate) {
    TempIniFile file("dialogs");
    IniFileSettings settings(file.path());
    MainWindowPlacement mainWindow;
    DialogPlacement popup = readPopupPlacement(settings, mainWindow);
    EXPECT_TRUE(popup.stored);
    EXPECT_EQ(122, popup.x);
    EXPECT_EQ(117, popup.y);
    EXPECT_EQ(320, popup.width);
    EXPECT_EQ(200, popup.height);
    mainWindow.left = 300;
    mainWindow.top = 40;
    popup = readPopupPlacement(settings, mainWindow);
    EXPECT_EQ(322, popup.x);
    EXPECT_EQ(57, popup.y);
    EXPECT_FALSE(readUpdateWindowPlacement(settings).stored);
    EXPECT_FALSE(readReservationListPlacement(settings).stored);

    writeDialogPlacement(settings, "UpdateDialog", 5, 6, 700, 300);
    file.write(file.read() + "[PopDialog]\r\nWindowCX=\r\n[iEpgListDialog]\r\nWindowX=9\r\n");
    const DialogPlacement update = readUpdateWindowPlacement(settings);
    EXPECT_TRUE(update.stored);
    EXPECT_EQ(5, update.x);
    EXPECT_EQ(700, update.width);
    EXPECT_FALSE(readPopupPlacement(settings, mainWindow).stored);
    const DialogPlacement list = readReservationListPlacement(settings);
    EXPECT_TRUE(list.stored);
    EXPECT_EQ(9, list.x);
    EXPECT_EQ(17, list.y);
    EXPECT_EQ(910, list.width);
    EXPECT_EQ(290, list.height);
}

TEST(ViewSettings, DefaultsFontsAndColours) {
    TempIniFile file("view");
    IniFileSettings settings(file.path());
    ViewSettings view = readViewSettings(settings);
    EXPECT_EQ(2, view.hourHight);
    EXPECT_EQ(180, view.channelWidth);
    EXPECT_EQ(1, view.contDisp);
    EXPECT_EQ(0, view.tvRockDisp);
    EXPECT_EQ("D:\\Vurda\\tvrock.sch", view.tvRockProgName);
    EXPECT_EQ("ＭＳ ゴシック", view.nameFont.faceName);
    EXPECT_EQ("ＭＳ 明朝", view.contFont.faceName);
    EXPECT_EQ(-12, view.nameFont.creationHeight());
    EXPECT_EQ(-10, view.contFont.creationHeight());
    EXPECT_EQ(0x000000u, view.nameFont.color);
    EXPECT_EQ(0x505050u, view.contFont.color);

    file.write(
        "[ViewSetup]\r\n"
        "HourHight=0\r\n"
        "NameFontSize=-14\r\n"
        "ContFontSize=14\r\n"
        "NameFontColor=ff0000\r\n"
        "ContFontColor=zz\r\n"
        "NameFontName=0123456789012345678901234567890123456789\r\n"
        "ContFontWeight=700\r\n"
        "ContFontItalic=1\r\n");
    view = readViewSettings(settings);
    EXPECT_EQ(0, view.hourHight);  // taken as stored
    EXPECT_EQ(view.nameFont.creationHeight(), view.contFont.creationHeight());
    EXPECT_EQ(-14, view.contFont.creationHeight());
    EXPECT_EQ(0xff0000u, view.nameFont.color);
    EXPECT_EQ(0u, view.contFont.color);
    EXPECT_EQ(31u, view.nameFont.faceName.size());
    EXPECT_EQ(700, view.contFont.weight);
    EXPECT_EQ(1, view.contFont.italic);
}

TEST(RegistrationSettings, EpgTimerWinsOverTvRock) {
    TempIniFile file("registration");
    IniFileSettings settings(file.path());
    RegistrationSettings registration = readRegistrationSettings(settings, "C:\\iepg\\app.exe");
    EXPECT_EQ("C:\\iepg\\app.exe", registration.fileName);
    EXPECT_EQ("http://localhost:8969/nobody/", registration.hostName);
    EXPECT_EQ(0, registration.iEpg);

    file.write("[iEpgSetup]\r\nEpgTimer=1\r\nTvRock=1\r\nFileName=D:\\EpgTimer.exe\r\niEpg=1\r\n");
    registration = readRegistrationSettings(settings, "C:\\iepg\\app.exe");
    EXPECT_EQ(1, registration.epgTimer);
    EXPECT_EQ(0, registration.tvRock);
    EXPECT_EQ(1, registration.iEpg);
    EXPECT_EQ("D:\\EpgTimer.exe", registration.fileName);

    file.write("[iEpgSetup]\r\nTvRock=1\r\n");
    EXPECT_EQ(1, readRegistrationSettings(settings, "").tvRock);
}

TEST(TunerecPresets, NineNumberedPresetsWithHexAccounts) {
    EXPECT_EQ("616263", encodeHexText("abc"));
    EXPECT_EQ("abc", decodeHexText("616263"));
    EXPECT_EQ("82a0", encodeHexText("あ"));
    EXPECT_EQ("", decodeHexText("zz41"));
    EXPECT_EQ("A", decodeHexText("41004142"));  // a zero byte ends the text
    EXPECT_EQ(99u, decodeHexText(encodeHexText(std::string(120, 'a'))).size());
    EXPECT_EQ(std::string(98, 'a'), decodeHexText(encodeHexText(std::string(98, 'a') + "あ")));

    TempIniFile file("presets");
    IniFileSettings settings(file.path());
    std::vector<TunerecPreset> presets = readTunerecPresets(settings);
    ASSERT_EQ(9u, presets.size());
    EXPECT_EQ("tunerec1", presets[0].name);
    EXPECT_EQ("tunerec9", presets[8].name);
    EXPECT_EQ(9, presets[8].id);
    EXPECT_EQ(1, presets[4].powerOn);
    EXPECT_EQ(1, presets[4].b25);
    EXPECT_EQ(0, presets[4].udp);
    EXPECT_EQ("127.0.0.1:1234", presets[4].udpHostName);
    EXPECT_EQ("", presets[4].account);

    file.write(
        "[iEpgSetup]\r\niEpgTunerecName=main\r\n"
        "[iEpgSetup:3]\r\niEpgTunerecName=fourth\r\niEpgTunerecID=12\r\niEpgTunerecB25=0\r\n"
        "[ViewSetup:3]\r\niEpgAColor=616263\r\niEpgPColor=7a7a\r\n");
    presets = readTunerecPresets(settings);
    EXPECT_EQ("main", presets[0].name);
    EXPECT_EQ("fourth", presets[3].name);
    EXPECT_EQ(12, presets[3].id);
    EXPECT_EQ(0, presets[3].b25);
    EXPECT_EQ("abc", presets[3].account);
    EXPECT_EQ("zz", presets[3].password);
    EXPECT_EQ("tunerec3", presets[2].name);

    TunerecPreset edited = presets[3];
    edited.account = "ユーザー";
    edited.otherOptions = "-x";
    writeTunerecPreset(settings, 5, edited);
    EXPECT_EQ(encodeHexText("ユーザー"), settings.readString("ViewSetup:5", "iEpgAColor", "", 512));
    const TunerecPreset back = readTunerecPresets(settings)[5];
    EXPECT_EQ("fourth", back.name);
    EXPECT_EQ("ユーザー", back.account);
    EXPECT_EQ("zz", back.password);
    EXPECT_EQ("-x", back.otherOptions);
    EXPECT_EQ(12, back.id);
}

TEST(ShutdownSettings, GenreAndSwitchKeysAreWrittenEvenIfNothingChanged) {
    TempIniFile file("shutdown");
    IniFileSettings settings(file.path());
    const StartupSettings startup = readStartupSettings(settings, "");
    EXPECT_FALSE(file.exists());
    writeShutdownSettings(settings, startup.genres, startup.switches);
    EXPECT_EQ("c68eff", settings.readString("GenreSetup", "Color1", "", 100));
    EXPECT_EQ("ffd3a8", settings.readString("GenreSetup", "Color2", "", 100));
    EXPECT_EQ("0", settings.readString("GenreSetup", "Check12", "", 100));
    EXPECT_EQ("0", settings.readString("GenreSetup", "CustColor16", "", 100));
    EXPECT_EQ("0", settings.readString("GenreSetup", "GenreNoDisp", "", 100));
    EXPECT_EQ("1", settings.readString("Setup", "NowTimeLine", "", 100));
    EXPECT_EQ("0", settings.readString("Setup", "ViewChNo", "", 100));
    EXPECT_EQ("", settings.readString("Corvane", "WindowX", "", 100));

    ViewSwitches switches;
    switches.nowTimeLine = 0;
    switches.viewChNo = 1;
    writeViewSwitches(settings, switches);
    const ViewSwitches back = readViewSwitches(settings);
    EXPECT_EQ(0, back.nowTimeLine);
    EXPECT_EQ(1, back.viewChNo);
}

}  // namespace
}  // namespace corvane
