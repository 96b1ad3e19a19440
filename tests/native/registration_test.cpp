// What a registration hands over, byte for byte from both windows, and an
// append to EpgTimer's file that falls short.
#include "reserve/registration.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "store/file_io.h"
#include "support/guide_fixture.h"
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

}  // namespace
}  // namespace corvane
