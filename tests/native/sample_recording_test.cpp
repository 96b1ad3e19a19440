// The recording written by corvane-sample, checked as any transport-stream
// analyser would: units, continuity counters, sections reassembled from the
// packets by pointer fields, CRCs by the reader's table-driven code (the
// builder computes its own bit by bit), then the schedule as read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "store/crc32.h"
#include "store/epg_store.h"
#include "store/ts_reader.h"
#include "support/ts_sections.h"

namespace corvane {
namespace {

using Bytes = std::vector<uint8_t>;

int runSample(const std::string& arguments) {
    return std::system(("\"" CORVANE_TOOLS_DIR "/corvane-sample\" " + arguments + " 2>/dev/null").c_str());
}

Bytes generated(const std::string& name, const std::string& arguments) {
    const std::string path = ::testing::TempDir() + "corvane_sample_" +
                             std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + name + ".ts";
    EXPECT_EQ(runSample(arguments + " \"" + path + "\""), 0) << arguments;
    Bytes bytes{std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
    std::remove(path.c_str());
    return bytes;
}

TEST(SampleRecording, IsAWellFormedRepeatableStreamWithEightDaysForEveryService) {
    std::vector<std::pair<uint16_t, Bytes>> reference;
    for (int unit : {188, 192, 204}) {
        SCOPED_TRACE(unit);
        const std::string arguments = "--date 2024-03-01 --days 1 --size 512K --unit " + std::to_string(unit);
        Bytes file = generated("unit", arguments);
        EXPECT_EQ(file.size(), 512u * 1024 / unit * unit);
        const TsSections s = demux(file, unit);
        EXPECT_EQ(s.faults, std::vector<std::string>{});
        ASSERT_FALSE(s.sections.empty());
        EXPECT_EQ(0x14, s.sections[0].first) << "the TOT opens the tables";
        std::set<int> tables;  // PID << 8 | table_id
        for (const auto& [pid, section] : s.sections) {
            ASSERT_EQ(crc32Mpeg(section.data(), section.size()), 0u);
            tables.insert(pid << 8 | section[0]);
            EXPECT_TRUE(pid != 0x14 || Bytes(&section[3], &section[8]) == (Bytes{0xEB, 0xD2, 0x12, 0, 0}));  // 12:00
        }
        EXPECT_EQ(tables, (std::set<int>{0x1040, 0x1142, 0x124E, 0x1250, 0x1258, 0x1473}));  // NIT SDT EIT TOT
        // Only the packet layout differs between unit sizes; the same arguments give the same bytes.
        if (reference.empty()) reference = s.sections;
        EXPECT_TRUE(s.sections == reference);
        EXPECT_TRUE(unit != 192 || generated("again", arguments) == file);
    }

    // Eight days of schedule (the default): every TV service of the SDT has
    // basic events from 00:00 of the first day, without gaps, to the end.
    const Bytes content = generated("content", "--date 2024-03-01");
    StorePtr store(createStore());
    readTransportStreamBytes(store.get(), content.data(), content.size(), nullptr);
    EXPECT_GE(store->serviceCount, 8);
    const int64_t first = localTimeOf(2024, 3, 1, 0, 0, 0), end = first + 8 * 86400;
    for (int i = 0; i < store->serviceCount; ++i) {
        SCOPED_TRACE(store->services[i]->serviceId);
        std::vector<std::pair<int64_t, int64_t>> events;  // start, end
        for (int k = 0; k < kSlotsPerTable; ++k)
            for (EventCursor cursor(store->services[i]->basicAt(k)); EventView e = cursor.next();)
                events.emplace_back(e.timeRange().start, e.timeRange().end);
        ASSERT_FALSE(events.empty());
        std::sort(events.begin(), events.end());
        EXPECT_EQ(first, events.front().first);
        for (size_t j = 1; j < events.size(); ++j) ASSERT_EQ(events[j - 1].second, events[j].first) << "gap or overlap";
        EXPECT_TRUE(events.back().first < end && events.back().second >= end);
    }
    EXPECT_NE(runSample("--date 2024-03-01 /nonexistent/dir/x.ts"), 0);  // a file it cannot write is a failure
}

}  // namespace
}  // namespace corvane
