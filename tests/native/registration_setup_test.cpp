#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "reserve/hex_text.h"
#include "reserve/registration_setup.h"
#include "support/fake_guide_host.h"
#include "support/guide_fixture.h"
#include "support/recording_message_boxes.h"
#include "support/recording_settings.h"
#include "support/store_sections.h"

using namespace corvane;

namespace {

using Write = RecordingSettings::Write;

// Three services: 1024 (terrestrial, remote key 3) and BS 101 with
// programmes, 1025 with untitled ones only (no column, no station name).
class RegistrationSetupTest : public testing::Test, protected LayoutRig {
protected:
    RegistrationSetupTest() : LayoutRig("setup") {
        host.clock = localOf(at(0, 12));
        putSchedule(store.get(), 1024, 0x7FE0, 0, {{at(0, 20), 1800, "番組"}});
        putSchedule(store.get(), 1025, 0x7FE0, 0, {{at(0, 20), 1800, ""}});
        putSchedule(store.get(), 101, 4, 0, {{at(0, 20), 1800, "BS番組"}});
        store->services[0]->remoteKeyId = 3;
        layout.buildListLayout(store.get());
    }

    RegistrationSetupHost app() {
        return RegistrationSetupHost{recorder, recordedPreferences, registration, presets,
                                     current,  store.get(),         layout};
    }

    RecordingSettings recorder{settings};
    SettingsServicePreferences recordedPreferences{recorder};
    RegistrationSettings registration;
    std::vector<TunerecPreset> presets = readTunerecPresets(settings);
    int current = 0;
};

const char* const presetKeys[] = {"iEpgTunerecPon",  "iEpgTunerecPoff",  "iEpgTunerecB25",  "iEpgTunerecBcs",
                                  "iEpgTunerecSel",  "iEpgTunerecLogon", "iEpgTunerecUdp",  "iEpgTunerecUdpHostName",
                                  "iEpgTunerecID",   "iEpgTunerecName",  "FileNameTunerec", "FileNameTunerecSave",
                                  "iEpgTunerecOther"};

}  // namespace

TEST_F(RegistrationSetupTest, RowsListServicesWithAStationNameInStoreOrder) {
    settings.writeString("iEPGStationName", "101:4", "ＢＳ局");
    settings.writeString("iEpgSetupDialog", "IEPGCHNAMEW", "80px");
    settings.writeString("iEpgSetupDialog", "VURDACHW", "");
    layout.buildListLayout(store.get());
    const std::vector<StationRow> rows = stationRows(*store, layout.channels);
    const std::vector<StationRow> expected = {
        {0, 1024, "1024", layout.channels[0].columnName, layout.channels[0].columnName, "3",
         layout.channels[0].vurdaChNo},
        {2, 101, "101:4", "BS101", "ＢＳ局", "101", layout.channels[2].vurdaChNo}};
    EXPECT_EQ(expected, rows);
    EXPECT_EQ((StationColumnWidths{150, 80, 100, 0}), readStationColumnWidths(settings));
}

TEST_F(RegistrationSetupTest, OkWritesEveryKeyInOrderIntoAnEmptyFile) {
    RegistrationSetup setup;
    setup.registration = {1, 1, 1, 1, "C:\\EpgTimer.exe", "http://tv:8969/x/"};  // both targets: EpgTimer wins
    setup.presets = presets;
    setup.presets[0].account = "abc";
    setup.presets[1].account = "太郎";  // 0x91 0xBE 0x98 0x59
    setup.presets[1].password = "pw";
    setup.presets[1].name = "夜";
    setup.rows = stationRows(*store, layout.channels);
    setup.rows[0].stationName = "総合";
    setup.rows[0].remoteNumber = "";     // emptied: the derived number again
    setup.rows[1].remoteNumber = "12a";  // written as typed, reads 12
    setup.rows[1].vurdaChNo = "";
    setup.columnWidths = {150, 90, 100, 70};
    RegistrationSetupHost target = app();
    acceptRegistrationSetup(target, setup);

    std::vector<Write> expected = {{"iEpgSetup", "iEpg", "1"},
                                   {"iEpgSetup", "iEpgTunerec", "1"},
                                   {"iEpgSetup", "EpgTimer", "1"},
                                   {"iEpgSetup", "TvRock", "0"},
                                   {"iEpgSetup", "HostName", "http://tv:8969/x/"},
                                   {"iEpgSetup", "FileName", "C:\\EpgTimer.exe"}};
    for (int i = 0; i < tunerecPresetCount; ++i) {
        const std::string section = i == 0 ? "iEpgSetup" : "iEpgSetup:" + std::to_string(i);
        const std::string values[] = {"1",
                                      "1",
                                      "1",
                                      "0",
                                      "0",
                                      "0",
                                      "0",
                                      "127.0.0.1:1234",
                                      std::to_string(i + 1),
                                      i == 1 ? "夜" : "tunerec" + std::to_string(i + 1),
                                      "",
                                      "",
                                      ""};
        for (int k = 0; k < 13; ++k) expected.push_back({section, presetKeys[k], values[k]});
        const std::string accountSection = i == 0 ? "ViewSetup" : "ViewSetup:" + std::to_string(i);
        expected.push_back({accountSection, "iEpgAColor", i == 0 ? "616263" : i == 1 ? "91be9859" : ""});
        expected.push_back({accountSection, "iEpgPColor", i == 1 ? "7077" : ""});
    }
    for (auto [key, value] :
         {std::pair{"CHNAMEW", "150"}, {"IEPGCHNAMEW", "90"}, {"REMOCONNOW", "100"}, {"VURDACHW", "70"}})
        expected.push_back({"iEpgSetupDialog", key, value});
    const std::string terrestrialChannel = layout.channels[0].vurdaChNo, bsName = layout.channels[2].stationName;
    for (const Write& w : std::vector<Write>{{"iEPGStationName", "1024", "総合"},
                                             {"RemoconChNo", "1024", ""},
                                             {"VurdaChNo", "1024", terrestrialChannel},
                                             {"iEPGStationName", "101:4", bsName},
                                             {"RemoconChNo", "101:4", "12a"},
                                             {"VurdaChNo", "101:4", ""}})
        expected.push_back(w);
    ASSERT_EQ(expected.size(), recorder.writes.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(expected[i], recorder.writes[i]) << i;

    // The program takes it all; an emptied cell gives what a layout gives.
    EXPECT_EQ(std::tuple(1, 0, 1), std::tuple(registration.epgTimer, registration.tvRock, registration.iEpgTunerec));
    EXPECT_EQ(std::tuple(std::string("91be9859"), std::string("夜")),
              std::tuple(encodeHexText(presets[1].account), presets[1].name));
    const ChannelInfo& first = layout.channels[0];
    const ChannelInfo& bs = layout.channels[2];
    EXPECT_EQ(std::tuple(std::string("総合"), 3, 12),
              std::tuple(first.stationName, first.remoteNumber, bs.remoteNumber));
    const std::string derivedBs = derivedVurdaChNo(*store->services[2]);
    EXPECT_EQ(derivedBs, bs.vurdaChNo);
    layout.buildListLayout(store.get());
    EXPECT_EQ(std::tuple(std::string("総合"), 3, 12, derivedBs),
              std::tuple(first.stationName, first.remoteNumber, bs.remoteNumber, bs.vurdaChNo));
    // Read back at the next start, the presets are those written.
    EXPECT_EQ(std::tuple(std::string("abc"), std::string("太郎"), std::string("pw")),
              std::tuple(readTunerecPresets(settings)[0].account, readTunerecPresets(settings)[1].account,
                         readTunerecPresets(settings)[1].password));
}

TEST_F(RegistrationSetupTest, RowsOfServicesNoLongerAtTheirIndexFindTheirKeyOrAreSkipped) {
    RegistrationSetup setup;
    setup.presets = presets;
    setup.rows = stationRows(*store, layout.channels);
    setup.rows[1].service = 0;  // the BS row's service moved
    setup.rows[0].key = "999";  // and this one left the store
    setup.rows[1].stationName = "移動";
    RegistrationSetupHost target = app();
    acceptRegistrationSetup(target, setup);
    EXPECT_EQ("", settings.readString("iEPGStationName", "999", "", 100));
    EXPECT_EQ(std::tuple(std::string("移動"), std::string("移動")),
              std::tuple(settings.readString("iEPGStationName", "101:4", "", 100), layout.channels[2].stationName));
}

TEST_F(RegistrationSetupTest, NamesWithBlanksOrQuotesAtTheirEndsReadBackAsTyped) {
    const ServiceRecord& record = *store->services[0];
    for (const std::string name : {" NHK", "\"NHK\"", "NHK"}) {
        preferences.setStationName(record, name);
        preferences.setVurdaChNo(record, name);
        EXPECT_EQ(std::pair(name, name), std::pair(preferences.stationName(record), preferences.vurdaChNo(record)));
    }
}

TEST(PresetSaveRule, PasswordsLengthsAndIdsAreCheckedBeforeAnythingChanges) {
    const RecordingMessageBoxes::Box mismatch{"パスワードを再入力してください", "iEPG設定",
                                              message_box::okCancel | message_box::iconInformation};
    const std::string long99(99, 'p'), long100(100, 'p'), long256(256, 'n');
    struct Case {
        std::string account, password, confirm, id, name;
        bool saved;
        std::string storedPassword;
        std::string box;  // "" none, "mismatch", or the start of the message
    } cases[] = {
        {"user", "secret", "secret", "3", "夜", true, "secret", ""},
        {"user", "secret", "secreT", "3", "夜", false, "old", "mismatch"},
        {"user", "", "", "3", "夜", true, "", ""},
        {"", "a", "b", "3", "夜", true, "old", ""},  // no account: neither compared nor stored
        {"", long100, "", "3", "夜", true, "old", ""},
        {"user", long99, long99, "3", "夜", true, long99, ""},
        {"user", long100, long100, "3", "夜", false, "old", "パスワードは99バイト"},
        {std::string(100, 'u'), "a", "a", "3", "夜", false, "old", "アカウント名は99バイト"},
        {"user", "a", "a", "10", "夜", false, "old", "IDは0から9"},
        {"user", "a", "a", "-1", "夜", false, "old", "IDは0から9"},
        {"user", "a", "a", "abc", "夜", true, "a", ""},  // not a number: id 0
        {"user", "a", "a", "0", long256, false, "old", "名前は255バイト"},
    };
    for (const Case& c : cases) {
        TunerecPreset preset;
        preset.name = "tunerec1";
        preset.account = "before";
        preset.password = "old";
        PresetControls controls = presetControls(preset);
        EXPECT_EQ(std::tuple(std::string("old"), std::string("old"), std::string("1")),
                  std::tuple(controls.password, controls.passwordConfirm, controls.id));
        std::tie(controls.account, controls.password, controls.passwordConfirm, controls.id, controls.name) =
            std::tie(c.account, c.password, c.confirm, c.id, c.name);
        controls.udp = 1;
        RecordingMessageBoxes boxes;
        EXPECT_EQ(c.saved, savePresetControls(controls, preset, boxes)) << c.account << "/" << c.id;
        EXPECT_EQ(c.storedPassword, preset.password);
        EXPECT_EQ(c.saved ? c.account : "before", preset.account);
        EXPECT_EQ(std::tuple(c.saved ? 1 : 0, c.saved ? c.name : "tunerec1"), std::tuple(preset.udp, preset.name));
        if (c.box.empty()) {
            EXPECT_TRUE(boxes.shown.empty());
        } else if (c.box == "mismatch") {
            EXPECT_EQ(std::vector{mismatch}, boxes.shown);
        } else {
            ASSERT_EQ(1u, boxes.shown.size());
            EXPECT_EQ(0u, boxes.shown[0].text.find(c.box)) << boxes.shown[0].text;
            EXPECT_EQ(message_box::ok | message_box::iconWarning, boxes.shown[0].style);
        }
        EXPECT_EQ(c.saved ? (c.id == "abc" ? 0 : 3) : 1, preset.id);
    }
}

TEST(PresetSaveRule, TextsLongerThanTheirSettingsAreRefusedNotCut) {
    RecordingMessageBoxes boxes;
    RegistrationSettings registration;
    EXPECT_TRUE(checkRegistrationTexts(registration, boxes));
    registration.fileName = std::string(254, 'a') + "表";  // 256 bytes
    EXPECT_FALSE(checkRegistrationTexts(registration, boxes));
    EXPECT_TRUE(checkStationText(0, std::string(300, 'x'), boxes));  // column 0 is never edited
    EXPECT_TRUE(checkStationText(1, std::string(97, 'x') + "表", boxes));
    EXPECT_FALSE(checkStationText(3, std::string(98, 'x') + "表", boxes));
    ASSERT_EQ(2u, boxes.shown.size());
    EXPECT_EQ("iEPG対応アプリは255バイト以内で入力してください。", boxes.shown[0].text);
    EXPECT_EQ("物理CHは99バイト以内で入力してください。", boxes.shown[1].text);
}

TEST(FolderPath, ABackslashIsAppendedUnlessTheLastCharacterIsOne) {
    for (auto [folder, expected] : {std::pair{"C:\\rec", "C:\\rec\\"},
                                    {"C:\\rec\\", "C:\\rec\\"},
                                    {"C:\\表", "C:\\表\\"},
                                    {"C:\\表\\", "C:\\表\\"},
                                    {"\\", "\\"}})
        EXPECT_EQ(expected, withTrailingBackslash(folder)) << folder;
}
