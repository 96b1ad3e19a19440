// The recording written by corvane-sample, checked as any transport-stream
// analyser would: units, continuity counters, sections reassembled from the
// packets by pointer fields, CRCs by the reader's table-driven code (the
// builder computes its own bit by bit), then the schedule itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "store/crc32.h"

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

struct Scan {
    std::vector<std::pair<int, Bytes>> sections;  // PID and section, PID by PID
    std::vector<std::string> faults;
};

// Demultiplexes NIT, SDT, EIT and TOT the way ISO/IEC 13818-1 describes it:
// sections back to back from a pointer_field's start, stuffing up to the next.
Scan scan(const Bytes& file, int unit) {
    Scan r;
    std::map<int, int> counters;
    std::map<int, std::pair<Bytes, std::vector<size_t>>> pids;  // payloads; starts named by pointer fields
    for (size_t i = 0; (i + 1) * unit <= file.size(); ++i) {
        const uint8_t* p = &file[i * unit + (unit == 192 ? 4 : 0)];
        const int pid = ((p[1] & 0x1F) << 8) | p[2], unitStart = p[1] & 0x40;
        const bool continuous = !counters.count(pid) || (p[3] & 0x0F) == ((counters[pid] + 1) & 0x0F);
        if (p[0] != 0x47 || (p[3] & 0xF0) != 0x10 || !continuous) r.faults.push_back("packet " + std::to_string(i));
        counters[pid] = p[3] & 0x0F;  // clear, payload only, counter running per PID
        if (pid != 0x10 && pid != 0x11 && pid != 0x12 && pid != 0x14) continue;
        if (pids.empty() && pid != 0x14) r.faults.push_back("the TOT does not open the tables");
        auto& [bytes, starts] = pids[pid];
        if (unitStart) starts.push_back(bytes.size() + p[4]);
        bytes.insert(bytes.end(), p + (unitStart ? 5 : 4), p + 188);
    }
    for (const auto& [pid, stream] : pids) {
        const auto& [b, starts] = stream;
        std::set<size_t> found;
        size_t pos = starts.empty() ? b.size() : starts[0];
        while (pos + 3 <= b.size() && b[pos] != 0xFF) {
            const size_t end = pos + 3 + (((b[pos + 1] & 0x0F) << 8) | b[pos + 2]);
            if (end > b.size()) break;
            found.insert(pos);
            r.sections.push_back({pid, Bytes(b.begin() + pos, b.begin() + end)});
            auto next = std::upper_bound(starts.begin(), starts.end(), pos = end);
            if (pos < b.size() && b[pos] == 0xFF) pos = next == starts.end() ? b.size() : *next;  // stuffing
        }
        if (pos != b.size() || !std::all_of(starts.begin(), starts.end(), [&](size_t s) { return found.count(s); }))
            r.faults.push_back("sections and pointer fields disagree on PID " + std::to_string(pid));
    }
    return r;
}

TEST(SampleRecording, IsAWellFormedRepeatableStreamWithEightDaysForEveryService) {
    std::vector<std::pair<int, Bytes>> reference;
    for (int unit : {188, 192, 204}) {
        SCOPED_TRACE(unit);
        const std::string arguments = "--date 2024-03-01 --days 1 --size 512K --unit " + std::to_string(unit);
        Bytes file = generated("unit", arguments);
        EXPECT_EQ(file.size(), 512u * 1024 / unit * unit);
        Scan s = scan(file, unit);
        EXPECT_EQ(s.faults, std::vector<std::string>{});
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
    Scan s = scan(generated("content", "--date 2024-03-01"), 188);
    ASSERT_EQ(s.faults, std::vector<std::string>{});
    std::map<std::pair<int, int>, std::vector<std::pair<int64_t, int>>> schedules;  // (onid, service): start, length
    auto bcd = [](uint8_t b) { return (b >> 4) * 10 + (b & 0x0F); };
    auto hms = [&](const uint8_t* t) { return bcd(t[0]) * 3600 + bcd(t[1]) * 60 + bcd(t[2]); };
    for (const auto& [pid, b] : s.sections) {  // by PID: SDT before EIT
        if (pid == 0x11 && b[0] == 0x42) {
            for (size_t p = 11; p + 5 + 4 <= b.size(); p += 5 + (((b[p + 3] & 0x0F) << 8) | b[p + 4]))
                if (b[p + 5] == 0x48 && b[p + 7] == 0x01) schedules[{(b[8] << 8) | b[9], (b[p] << 8) | b[p + 1]}];
        } else if (pid == 0x12 && (b[0] == 0x50 || b[0] == 0x51)) {
            auto& events = schedules.at({(b[10] << 8) | b[11], (b[3] << 8) | b[4]});  // a service of the SDT
            for (size_t p = 14; p + 12 + 4 <= b.size(); p += 12 + (((b[p + 10] & 0x0F) << 8) | b[p + 11]))
                events.push_back({(((b[p + 2] << 8) | b[p + 3]) - 60370) * 86400 + hms(&b[p + 4]), hms(&b[p + 7])});
        }
    }
    EXPECT_GE(schedules.size(), 8u);
    for (auto& [service, events] : schedules) {
        SCOPED_TRACE(std::to_string(service.first) + "/" + std::to_string(service.second));
        ASSERT_FALSE(events.empty());
        std::sort(events.begin(), events.end());
        EXPECT_EQ(events.front().first, 0);  // seconds from 2024-03-01 00:00
        for (size_t i = 1; i < events.size(); ++i)
            ASSERT_EQ(events[i].first, events[i - 1].first + events[i - 1].second) << "gap or overlap";
        EXPECT_LT(events.back().first, 8 * 86400);
        EXPECT_GE(events.back().first + events.back().second, 8 * 86400);
    }
}

TEST(SampleRecording, RefusesBadArgumentsAndUnwritableFiles) {
    const std::string out = ::testing::TempDir() + "corvane_sample_refused.ts";
    for (const char* bad : {"--unit 190", "--date 2024-02-30", "--date 2024-3-1", "--days 9", "--days 0",
                            "--size 12Q", "--size", "--frobnicate", "--date 2024-03-01 a.ts"})
        EXPECT_NE(runSample(std::string(bad) + " \"" + out + "\""), 0) << bad;
    EXPECT_NE(runSample("--date 2024-03-01"), 0);  // no output file
    EXPECT_NE(runSample("--date 2024-03-01 \"" + out + "/no_such_dir/x.ts\""), 0);
    EXPECT_FALSE(std::ifstream(out).good());
}

}  // namespace
}  // namespace corvane
