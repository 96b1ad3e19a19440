#include <gtest/gtest.h>

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

using Texts = std::vector<std::string>;

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
    RegistrationSettings registration;
    std::vector<TunerecPreset> presets = readTunerecPresets(settings);
    int current = 0;
    RegistrationSetupHost app{settings, preferences, registration, presets, current, store.get(), layout};
};

}  // namespace

TEST_F(RegistrationSetupTest, OkWritesEverythingAndTheGuideTakesTheDefaultsOfEmptiedCells) {
    RegistrationSetup setup{{1, 1, 1, 1, "C:\\EpgTimer.exe", "http://tv:8969/x/"}, presets,
                            stationRows(*store, layout.channels), {150, 90, 100, 70}};
    ASSERT_EQ(std::tuple(2u, "1024", "3", "101:4", "ＢＳ局", "101"),  // 1025 has no station name, no row
              std::tuple(setup.rows.size(), setup.rows[0].key, setup.rows[0].remoteNumber, setup.rows[1].key,
                         setup.rows[1].stationName, setup.rows[1].remoteNumber));
    setup.presets[0].account = "abc";
    std::tie(setup.presets[1].name, setup.presets[1].account, setup.presets[1].password) =
        std::tuple("夜", "太郎", "pw");
    setup.rows[0].stationName = "総合";
    setup.rows[0].remoteNumber = "";     // emptied: the remote key again
    setup.rows[1].remoteNumber = "12a";  // written as typed, reads 12
    setup.rows[1].vurdaChNo = "";
    setup.rows.push_back({0, 999, "999", "", "gone", "1", "1"});  // no longer in the store: skipped
    acceptRegistrationSetup(app, setup);

    const auto raw = [&](const char* section, const char* key) { return settings.readString(section, key, "-", 300); };
    EXPECT_EQ(Texts({"1", "0", "http://tv:8969/x/", "C:\\EpgTimer.exe"}),  // EpgTimer wins
              Texts({raw("iEpgSetup", "EpgTimer"), raw("iEpgSetup", "TvRock"), raw("iEpgSetup", "HostName"),
                     raw("iEpgSetup", "FileName")}));
    EXPECT_EQ((StationColumnWidths{150, 90, 100, 70}), readStationColumnWidths(settings));
    EXPECT_EQ(Texts({"総合", "", layout.channels[0].vurdaChNo, "ＢＳ局", "12a", "", "-"}),
              Texts({raw("iEPGStationName", "1024"), raw("RemoconChNo", "1024"), raw("VurdaChNo", "1024"),
                     raw("iEPGStationName", "101:4"), raw("RemoconChNo", "101:4"), raw("VurdaChNo", "101:4"),
                     raw("iEPGStationName", "999")}));
    const std::vector<TunerecPreset> read = readTunerecPresets(settings);
    EXPECT_EQ(std::tuple("abc", "夜", "太郎", "pw", "tunerec3"),
              std::tuple(read[0].account, read[1].name, read[1].account, read[1].password, read[2].name));

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
        int storedId;
        std::string box;  // "" none, else the start of its text
    } cases[] = {
        {"user", "secret", "secret", "3", "夜", "secret", 3, ""},
        {"user", "secret", "secreT", "3", "夜", "old", 1, "パスワードを再入力してください"},
        {"", "a", "b", "3", "夜", "old", 3, ""},  // no account: neither compared nor stored
        {"user", p100, p100, "3", "夜", "old", 1, "パスワードは99バイト以内"},
        {"user", "a", "a", "10", "夜", "old", 1, "IDは0から9までの数値を"},
        {"user", "a", "a", "abc", "夜", "a", 0, ""},  // not a number: id 0
        {"user", "a", "a", "0", std::string(254, 'n') + "表", "old", 1, "名前は255バイト以内"},
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
        EXPECT_EQ(std::tuple(c.stored, saved ? c.account : "before", saved ? c.name : "tunerec1", int(saved), c.storedId),
                  std::tuple(preset.password, preset.account, preset.name, preset.udp, preset.id));
        ASSERT_EQ(saved ? 0u : 1u, boxes.shown.size());
        if (saved) continue;
        const unsigned style = c.box.rfind("パスワードを再", 0) == 0 ? message_box::okCancel | message_box::iconInformation
                                                                   : message_box::ok | message_box::iconWarning;
        EXPECT_EQ(std::tuple(size_t{0}, style), std::tuple(boxes.shown[0].text.find(c.box), boxes.shown[0].style));
    }
}

TEST(FolderPath, ABackslashIsAppendedUnlessTheLastCharacterIsOne) {
    // "表" ends in the byte 0x5C.
    for (auto [folder, expected] : {std::pair{"C:\\表", "C:\\表\\"}, {"C:\\a\\", "C:\\a\\"}, {"D:/rec/", "D:/rec/"}})
        EXPECT_EQ(expected, withTrailingBackslash(folder)) << folder;
}
