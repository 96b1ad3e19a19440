// What a registration hands over, byte for byte from both windows, an
// append to EpgTimer's file that falls short, the TvRock web command and the
// registration setup dialog without its window.
#include "reserve/registration.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "reserve/registration_setup.h"
#include "reserve/tvrock_command.h"
#include "store/file_io.h"
#include "support/fake_guide_host.h"
#include "support/fake_sockets.h"
#include "support/guide_fixture.h"
#include "support/recording_message_boxes.h"
#include "support/registration_fixture.h"
#include "support/store_sections.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using Source = RegistrationSource;

const RegistrationProgramme programmeA = testProgramme(localOf(at(0, 23, 45)), localOf(at(1, 0, 15)));

TEST(RegistrationTexts, IEpgTextEpgTimerLinesAndStationLabels) {
    struct Case {
        int64_t start, end;
        const char *startTime, *endTime, *duration;
    } const cases[] = {
        {at(0, 23, 45), at(1, 0, 15), "23:45", "00:15", "00:30"},  // past midnight: the start day's date
        {at(0, 12), at(0, 12, 30) + 59, "12:00", "12:30", "00:30"},  // seconds do not count
    };
    for (const Case& c : cases) {
        const RegistrationProgramme p = testProgramme(localOf(c.start), localOf(c.end));
        EXPECT_EQ(std::string("Content-type: application/x-tv-program-info; charset=Shift_JIS\r\nversion: 1\r\n"
                              "station: ＮＨＫ総合\r\nyear: 2026\r\nmonth: 12\r\ndate: 7\r\nstart: ") +
                      c.startTime + "\r\nend: " + c.endTime + "\r\nprogram-title: ニュース\r\n",
                  iEpgText(p));
        const std::string head = std::string("2026/12/07\t") + c.startTime + "\t" + c.duration + "\tニュース\tＮＨＫ総合１・東京\t";
        EXPECT_EQ(head + "27\t1024\t4660\t3\t1\t0\t\r\n", epgTimerLine(Source::genreList, p));
        EXPECT_EQ(head + "1234567\t1024\t4660\t3\t1\t0\t\r\n", epgTimerLine(Source::popup, p));
    }

    // Station labels: cut on whole characters, or the service's name for it.
    const struct {
        std::string name;
        int serviceId, networkWord;
        std::string label;
    } labels[] = {
        {repeat("番", 30), 1024, 0x7FE0, repeat("番", 24)},  // 60 bytes: 48, not 49
        {"a" + repeat("番", 25), 1024, 0, "a" + repeat("番", 24)},
        {std::string(50, 'a'), 1024, 0, std::string(49, 'a')},
        {"", 1024, 0x001B, "27ch"}, {"", 200, 0x6000, "CS200"}, {"", 300, 0x7000, "CS300"}, {"", 5, 0, "5"},
    };
    for (const auto& c : labels) EXPECT_EQ(c.label, stationLabel(c.name, c.serviceId, c.networkWord)) << c.name;

    // A BS service without a name on physical channel 0, as the store holds it.
    StorePtr store(createStore());
    const int index = findOrCreateService(store.get(), 4, 101);
    const std::vector<ChannelInfo> channels(static_cast<size_t>(index) + 1);
    const auto bs = registrationProgramme(*store, channels, index, programmeA.event);
    ASSERT_TRUE(bs);
    EXPECT_EQ("2026/12/07\t23:45\t00:30\tニュース\tBS101\t0\t101\t4660\t3\t1\t0\t\r\n",
              epgTimerLine(Source::genreList, *bs));
    EXPECT_FALSE(registrationProgramme(*store, channels, index + 1, programmeA.event));

    // Line breaks, tabs and half characters never split a line.
    RegistrationProgramme p = programmeA;
    p.event.title = "前編\r後編\n\t";
    p.stationName = "局\r\n";
    p.vurdaChNo = "12\t34\x88";  // a lead byte without its second byte at the end
    const std::string line = epgTimerLine(Source::popup, p);
    EXPECT_EQ(11, std::count(line.begin(), line.end(), '\t'));
    EXPECT_EQ(line.size() - 2, line.find('\r'));
    EXPECT_NE(std::string::npos, line.find("\t前編 後編  \t"));
    EXPECT_NE(std::string::npos, line.find("\t12 34\t"));
    const std::string text = iEpgText(p);
    EXPECT_EQ(9, std::count(text.begin(), text.end(), '\n'));
    EXPECT_EQ(9, std::count(text.begin(), text.end(), '\r'));
    EXPECT_NE(std::string::npos, text.find("station: 局  \r\nyear"));
    EXPECT_NE(std::string::npos, text.find("program-title: 前編 後編 \t\r\n"));

    // A lead byte keeps only a trail byte after it; before anything else it is dropped.
    for (auto [value, field, station] : {std::tuple{"1\x88\t2", "1 2", "1\t2"}, {"1\x88\r2", "1 2", "1 2"},
                                         {"1\x88\n2", "1 2", "1 2"}, {"1\x88\x9f" "2", "1亜2", "1亜2"}, {"1\x88", "1", "1"}}) {
        p.vurdaChNo = p.stationName = value;
        EXPECT_NE(std::string::npos, epgTimerLine(Source::popup, p).find("\t" + std::string(field) + "\t1024\t")) << field;
        EXPECT_NE(std::string::npos, iEpgText(p).find("station: " + std::string(station) + "\r\nyear")) << station;
    }
}

TEST(RegistrationFiles, AnAppendThatFallsShortLeavesTheFileAsItWas) {
    const std::string path = (fs::temp_directory_path() / ("corvane_append_" + std::to_string(getpid()))).string();
    std::ofstream(path, std::ios::binary) << std::string(100, 'x') << "\r\n";
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = 130;
    setrlimit(RLIMIT_FSIZE, &limited);
    const bool appended = appendLineToFile(path, std::string(40, 'y') + "\r\n");
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(appended);
    EXPECT_EQ(102u, fs::file_size(path));
    EXPECT_TRUE(appendLineToFile(path, "z\r\n"));
    EXPECT_EQ(105u, fs::file_size(path));
    fs::remove(path);
    EXPECT_FALSE(writeWholeFile("/dev/full", "x"));
}

// The TvRock web command: what an address gives, and how the request goes out
// over sockets that answer as each case needs.
const std::string command = tvRockCommandText(1024, 4660);

TEST(TvRockCommand, AddressesGiveHostPortPathAndTheRequest) {
    const std::string longPath = "/" + std::string(211, 'a') + "/";  // a request of exactly 255 bytes
    const std::pair<std::string, TvRockAddress> valid[] = {
        {"http://localhost:8969/nobody/", {"localhost", 8969, "/nobody/"}},
        {"HTTP://TvRock/", {"TvRock", 80, "/"}},
        {"http://tvrock:1", {"tvrock", 1, "/"}},
        {"http://tvrock:65535/nobody", {"tvrock", 65535, "/nobody/"}},
        {"http://h" + longPath, {"h", 80, longPath}},
    };
    EXPECT_EQ("now?t=0&r=1&c=1024&e=4660", command);
    for (const auto& [text, expected] : valid) {
        const auto address = parseTvRockAddress(text);
        ASSERT_EQ(expected, address.value_or(TvRockAddress{})) << text;
        const auto request = tvRockRequest(*address, command);
        EXPECT_EQ("GET " + expected.path + command + " HTTP/1.0\r\n\r\n", request.value_or("")) << text;
        EXPECT_EQ(expected.path == longPath, request->size() == kTvRockRequestLimit);
    }
    // 74505 would be 8969 in 16 bits; a blank or a line break would break the request line.
    for (const std::string refused : {"ftp://tvrock/", "http:/", "http://:8969/", "http://tvrock:/", "http://tvrock:0/",
                                      "http://tvrock:65536/", "http://tvrock:74505/", "http://tvrock:-80/",
                                      "http://tv rock/", "http://tvrock/\r\nHost: x/"})
        EXPECT_FALSE(parseTvRockAddress(refused)) << refused;
    // 255 bytes are sent whole; 256 are refused before any socket.
    for (const std::string& path : {longPath, "/a" + longPath}) {
        FakeSockets sockets;
        EXPECT_EQ(path == longPath, sendTvRockRequest("http://10.0.0.1:8969" + path, command, sockets));
        EXPECT_EQ(path == longPath ? kTvRockRequestLimit : 0u, sockets.received.size());
        EXPECT_EQ(path == longPath, sockets.opened == 1);
    }
}

TEST(TvRockCommand, TriesEachAddressWithItsOwnSocketAndSendsTheWholeRequest) {
    struct Case {
        const char* address;
        std::vector<uint32_t> refusing;
        std::vector<long> sendLimits;
        std::vector<uint32_t> tried;
        int sends;
    };
    const Case cases[] = {
        {"http://tvrock:8969/nobody", {1, 2}, {}, {1, 2, 3}, 1},     // the third of three addresses
        {"http://10.0.0.1:8969/nobody", {0x0A000001}, {}, {0x0A000001}, 0},  // a numeric host, once
        {"http://nowhere:8969/nobody", {}, {}, {}, 0},              // no address
        {"http://tvrock:8969/nobody", {}, {10, 5}, {1}, 3},          // a partial send completed
        {"http://tvrock:8969/nobody", {}, {10, -1}, {1}, 2},         // a failed send
        {"http://tvrock:74505/nobody/", {}, {}, {}, 0},
    };
    for (const Case& c : cases) {
        FakeSockets sockets;
        sockets.refusing = c.refusing, sockets.sendLimits = c.sendLimits;
        RecordingMessageBoxes boxes;
        const bool sent = sendTvRockCommand(1024, 4660, c.address, sockets, boxes);
        EXPECT_EQ(c.tried, sockets.tried) << c.address;
        EXPECT_EQ(c.sends, sockets.sends) << c.address;
        EXPECT_TRUE(sockets.opened == sockets.closed && sockets.opened == static_cast<int>(c.tried.size()));
        EXPECT_EQ(sent, sockets.received == "GET /nobody/" + command + " HTTP/1.0\r\n\r\n") << c.address;
        EXPECT_EQ(sent ? std::vector<RecordingMessageBoxes::Box>{} : std::vector{tvRockFailureBox}, boxes.shown);
        EXPECT_EQ(sent, c.sends == 1 || c.sends == 3) << c.address;
    }
}

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
        const bool saved = c.box.empty(), mismatch = c.box.rfind("パスワードを再", 0) == 0;
        EXPECT_EQ(saved ? PresetSave::saved : mismatch ? PresetSave::passwordsDiffer : PresetSave::refused,
                  savePresetControls(controls, preset, boxes))
            << c.account << "/" << c.id;
        EXPECT_EQ(std::tuple(c.stored, saved ? c.account : "before", saved ? c.name : "tunerec1", int(saved), c.storedId),
                  std::tuple(preset.password, preset.account, preset.name, preset.udp, preset.id));
        ASSERT_EQ(saved ? 0u : 1u, boxes.shown.size());
        if (saved) continue;
        const unsigned style = mismatch ? message_box::okCancel | message_box::iconInformation
                                        : message_box::ok | message_box::iconWarning;
        EXPECT_EQ(std::tuple(size_t{0}, style), std::tuple(boxes.shown[0].text.find(c.box), boxes.shown[0].style));
    }
}

TEST(FolderPath, ABackslashIsAppendedUnlessTheLastCharacterIsOne) {
    // "表" ends in the byte 0x5C.
    for (auto [folder, expected] : {std::pair{"C:\\表", "C:\\表\\"}, {"C:\\a\\", "C:\\a\\"}, {"D:/rec/", "D:/rec/"}})
        EXPECT_EQ(expected, withTrailingBackslash(folder)) << folder;
}

}  // namespace
}  // namespace corvane
