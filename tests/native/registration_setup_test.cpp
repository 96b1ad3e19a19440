#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "reserve/registration_setup.h"
#include "support/fake_guide_host.h"
#include "support/guide_fixture.h"
#include "support/recording_message_boxes.h"
#include "support/store_sections.h"

using namespace corvane;

namespace {

struct Write {
    std::string section, key, value;
    bool operator==(const Write&) const = default;
    friend void PrintTo(const Write& w, std::ostream* out) {
        *out << "[" << w.section << "] " << w.key << "=" << w.value;
    }
};

// The settings file, with every write also recorded in order.
struct RecordingSettings : Settings {
    explicit RecordingSettings(Settings& file) : file(file) {}
    int readInt(const std::string& s, const std::string& k, int d) override { return file.readInt(s, k, d); }
    std::string readString(const std::string& s, const std::string& k, const std::string& d, int c) override {
        return file.readString(s, k, d, c);
    }
    bool writeString(const std::string& s, const std::string& k, const std::string& v) override {
        writes.push_back({s, k, v});
        return file.writeString(s, k, v);
    }
    Settings& file;
    std::vector<Write> writes;
};

// 1024 (terrestrial, remote key 3) and BS 101 have programmes; 1025 only
// untitled ones, so no column and no station name.
class RegistrationSetupTest : public testing::Test, protected LayoutRig {
protected:
    RegistrationSetupTest() : LayoutRig("setup") {
        host.clock = localOf(at(0, 12));
        putSchedule(store.get(), 1024, 0x7FE0, 0, {{at(0, 20), 1800, "番組"}});
        putSchedule(store.get(), 1025, 0x7FE0, 0, {{at(0, 20), 1800, ""}});
        putSchedule(store.get(), 101, 4, 0, {{at(0, 20), 1800, "BS番組"}});
        store->services[0]->remoteKeyId = 3;
        settings.writeString("iEPGStationName", "101:4", "ＢＳ局");
        layout.buildListLayout(store.get());
    }
    RecordingSettings recorder{settings};
    SettingsServicePreferences recordedPreferences{recorder};
    RegistrationSettings registration;
    std::vector<TunerecPreset> presets = readTunerecPresets(settings);
    int current = 0;
    RegistrationSetupHost app{recorder, recordedPreferences, registration, presets, current, store.get(), layout};
};

}  // namespace

TEST_F(RegistrationSetupTest, OkWritesEveryKeyInOrderAndTheGuideTakesTheDefaultsOfEmptiedCells) {
    RegistrationSetup setup{{1, 1, 1, 1, "C:\\EpgTimer.exe", "http://tv:8969/x/"}, presets,
                            stationRows(*store, layout.channels), {150, 90, 100, 70}};
    ASSERT_EQ(std::tuple(2u, "1024", "3", "101:4", "ＢＳ局", "101"),  // 1025 has no station name, no row
              std::tuple(setup.rows.size(), setup.rows[0].key, setup.rows[0].remoteNumber, setup.rows[1].key,
                         setup.rows[1].stationName, setup.rows[1].remoteNumber));
    setup.presets[0].account = "abc";
    std::tie(setup.presets[1].name, setup.presets[1].account, setup.presets[1].password) =
        std::tuple("夜", "太郎", "pw");  // 太郎: 91 be 98 59
    setup.rows[0].stationName = "総合";
    setup.rows[0].remoteNumber = "";     // emptied: the remote key again
    setup.rows[1].remoteNumber = "12a";  // written as typed, reads 12
    setup.rows[1].vurdaChNo = "";
    setup.rows.push_back({0, 999, "999", "", "gone", "1", "1"});  // no longer in the store: skipped
    acceptRegistrationSetup(app, setup);

    std::vector<Write> expected = {{"iEpgSetup", "iEpg", "1"}, {"iEpgSetup", "iEpgTunerec", "1"},
                                   {"iEpgSetup", "EpgTimer", "1"}, {"iEpgSetup", "TvRock", "0"},  // EpgTimer wins
                                   {"iEpgSetup", "HostName", "http://tv:8969/x/"},
                                   {"iEpgSetup", "FileName", "C:\\EpgTimer.exe"}};
    const char* keys[] = {"iEpgTunerecPon", "iEpgTunerecPoff", "iEpgTunerecB25", "iEpgTunerecBcs", "iEpgTunerecSel",
                          "iEpgTunerecLogon", "iEpgTunerecUdp", "iEpgTunerecUdpHostName", "iEpgTunerecID",
                          "iEpgTunerecName", "FileNameTunerec", "FileNameTunerecSave", "iEpgTunerecOther"};
    for (int i = 0; i < tunerecPresetCount; ++i) {
        const std::string n = std::to_string(i + 1), suffix = i == 0 ? "" : ":" + std::to_string(i);
        const std::string values[] = {"1", "1", "1", "0", "0", "0", "0", "127.0.0.1:1234", n,
                                      i == 1 ? "夜" : "tunerec" + n, "", "", ""};
        for (int k = 0; k < 13; ++k) expected.push_back({"iEpgSetup" + suffix, keys[k], values[k]});
        expected.push_back({"ViewSetup" + suffix, "iEpgAColor", i == 0 ? "616263" : i == 1 ? "91be9859" : ""});
        expected.push_back({"ViewSetup" + suffix, "iEpgPColor", i == 1 ? "7077" : ""});
    }
    for (auto [key, value] : {std::pair{"CHNAMEW", "150"}, {"IEPGCHNAMEW", "90"}, {"REMOCONNOW", "100"},
                              {"VURDACHW", "70"}})
        expected.push_back({"iEpgSetupDialog", key, value});
    for (const Write& w : std::vector<Write>{{"iEPGStationName", "1024", "総合"}, {"RemoconChNo", "1024", ""},
                                             {"VurdaChNo", "1024", layout.channels[0].vurdaChNo},
                                             {"iEPGStationName", "101:4", "ＢＳ局"}, {"RemoconChNo", "101:4", "12a"},
                                             {"VurdaChNo", "101:4", ""}})
        expected.push_back(w);
    ASSERT_EQ(expected.size(), recorder.writes.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(expected[i], recorder.writes[i]) << i;

    // The program takes it all at once, as the next layout would.
    EXPECT_EQ(std::tuple(0, std::string("太郎")), std::tuple(registration.tvRock, presets[1].account));
    const ChannelInfo &first = layout.channels[0], &bs = layout.channels[2];
    const auto now = std::tuple(first.stationName, first.remoteNumber, bs.remoteNumber, bs.vurdaChNo);
    EXPECT_EQ(std::tuple(std::string("総合"), 3, 12, derivedVurdaChNo(*store->services[2])), now);
    layout.buildListLayout(store.get());
    EXPECT_EQ(now, std::tuple(first.stationName, first.remoteNumber, bs.remoteNumber, bs.vurdaChNo));
}

TEST(PresetSaveRule, PasswordsLengthsAndIdsAreCheckedBeforeAnythingChanges) {
    const std::string p100(100, 'p');
    struct Case {
        std::string account, password, confirm, id, name;
        std::string stored;  // the password afterwards; "old" when unchanged
        std::string box;     // "" none, else the start of its text
    } cases[] = {
        {"user", "secret", "secret", "3", "夜", "secret", ""},
        {"user", "secret", "secreT", "3", "夜", "old", "パスワードを再入力してください"},
        {"", "a", "b", "3", "夜", "old", ""},  // no account: neither compared nor stored
        {"user", p100, p100, "3", "夜", "old", "パスワードは99バイト以内"},
        {std::string(100, 'u'), "a", "a", "3", "夜", "old", "アカウント名は99バイト以内"},
        {"user", "a", "a", "10", "夜", "old", "IDは0から9までの数値を"},
        {"user", "a", "a", "abc", "夜", "a", ""},  // not a number: id 0
        {"user", "a", "a", "0", std::string(254, 'n') + "表", "old", "名前は255バイト以内"},
    };
    for (const Case& c : cases) {
        TunerecPreset preset;
        std::tie(preset.name, preset.account, preset.password) = std::tuple("tunerec1", "before", "old");
        PresetControls controls = presetControls(preset);
        ASSERT_EQ(std::tuple("old", "old", "1"), std::tie(controls.password, controls.passwordConfirm, controls.id));
        std::tie(controls.account, controls.password, controls.passwordConfirm, controls.id, controls.name) =
            std::tie(c.account, c.password, c.confirm, c.id, c.name);
        controls.udp = 1;
        RecordingMessageBoxes boxes;
        const bool saved = c.box.empty();
        EXPECT_EQ(saved, savePresetControls(controls, preset, boxes)) << c.account << "/" << c.id;
        EXPECT_EQ(std::tuple(c.stored, saved ? c.account : "before", saved ? c.name : "tunerec1", saved ? 1 : 0),
                  std::tuple(preset.password, preset.account, preset.name, preset.udp));
        EXPECT_EQ(saved ? (c.id == "abc" ? 0 : 3) : 1, preset.id);
        ASSERT_EQ(saved ? 0u : 1u, boxes.shown.size());
        if (saved) continue;
        EXPECT_EQ(0u, boxes.shown[0].text.find(c.box)) << boxes.shown[0].text;
        const bool mismatch = c.box.rfind("パスワードを再", 0) == 0;
        EXPECT_EQ(mismatch ? message_box::okCancel | message_box::iconInformation
                           : message_box::ok | message_box::iconWarning,
                  boxes.shown[0].style);
        EXPECT_EQ("iEPG設定", boxes.shown[0].caption);
    }
}

TEST(FolderPath, ABackslashIsAppendedUnlessTheLastCharacterIsOne) {
    for (auto [folder, expected] : {std::pair{"C:\\rec", "C:\\rec\\"}, {"C:\\rec\\", "C:\\rec\\"}, {"C:\\表", "C:\\表\\"},
                                    {"D:/rec/", "D:/rec/"}})
        EXPECT_EQ(expected, withTrailingBackslash(folder)) << folder;
}
