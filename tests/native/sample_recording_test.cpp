// The sample recording checked as any transport-stream analyser would: units,
// continuity, sections reassembled from the packets by pointer fields, CRCs,
// and then the tables themselves. Only the packet and section layouts are
// assumed here; CRCs are checked with the reader's table-driven code, so the
// builder's bit-by-bit one and it vouch for each other.
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

#include "store/byte_reader.h"
#include "store/crc32.h"
#include "tools/broadcast/sample_recording.h"

namespace corvane {
namespace {

namespace bc = broadcast;
using Bytes = std::vector<uint8_t>;

constexpr int kMjd20240301 = 60370;  // the --date of these tests
constexpr int64_t kDay = 86400;

std::string tempPath(const std::string& name) { return ::testing::TempDir() + "corvane_sample_" + name + ".ts"; }

int runSample(const std::string& arguments) {
    std::string command = std::string("\"") + CORVANE_TOOLS_DIR + "/corvane-sample\" " + arguments + " 2>/dev/null";
    return std::system(command.c_str());
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Bytes generated(const std::string& name, const std::string& arguments) {
    std::string path = tempPath(name);
    std::remove(path.c_str());
    EXPECT_EQ(runSample(arguments + " \"" + path + "\""), 0) << arguments;
    Bytes bytes = readFile(path);
    std::remove(path.c_str());
    return bytes;
}

bool isTablePid(int pid) { return pid == 0x10 || pid == 0x11 || pid == 0x12 || pid == 0x14; }

struct Section {
    int pid;
    size_t packet;  // index of the packet where it ended
    Bytes bytes;
};

struct Scan {
    std::vector<Section> sections;
    std::vector<std::string> faults;
    std::map<int, size_t> packets;  // per PID
    size_t firstTablePacket = SIZE_MAX, firstTotPacket = SIZE_MAX, firstEitPacket = SIZE_MAX;
    int firstTablePid = -1;
};

// Demultiplexes the table PIDs the way ISO/IEC 13818-1 describes it.
Scan scan(const Bytes& file, int unit) {
    Scan r;
    struct PidState {
        int continuity = -1;
        bool inSection = false;
        Bytes pending;
    };
    std::map<int, PidState> pids;
    auto fault = [&](size_t i, const std::string& what) {
        if (r.faults.size() < 20) r.faults.push_back("packet " + std::to_string(i) + ": " + what);
    };
    if (file.empty() || file.size() % unit != 0) fault(0, "file is not whole units");
    size_t at = unit == 192 ? 4 : 0;
    for (size_t i = 0; (i + 1) * unit <= file.size(); ++i) {
        const uint8_t* p = &file[i * unit + at];
        if (p[0] != 0x47) {
            fault(i, "no sync byte");
            continue;
        }
        int pid = ((p[1] & 0x1F) << 8) | p[2];
        bool start = p[1] & 0x40;
        int continuity = p[3] & 0x0F;
        if ((p[3] & 0xF0) != 0x10) fault(i, "not a clear payload-only packet");
        PidState& st = pids[pid];
        if (st.continuity >= 0 && continuity != (st.continuity + 1) % 16) fault(i, "continuity gap");
        st.continuity = continuity;
        ++r.packets[pid];
        if (!isTablePid(pid)) continue;
        if (r.firstTablePacket == SIZE_MAX) r.firstTablePacket = i, r.firstTablePid = pid;
        if (pid == 0x14 && r.firstTotPacket == SIZE_MAX) r.firstTotPacket = i;
        if (pid == 0x12 && r.firstEitPacket == SIZE_MAX) r.firstEitPacket = i;

        // Completes what the collected bytes hold; false on bad stuffing.
        auto drain = [&](PidState& s) {
            while (s.inSection && s.pending.size() >= 1) {
                if (s.pending[0] == 0xFF) {
                    for (uint8_t b : s.pending)
                        if (b != 0xFF) fault(i, "data after stuffing");
                    s.pending.clear();
                    s.inSection = false;
                    return;
                }
                if (s.pending.size() < 3) return;
                size_t length = (((s.pending[1] & 0x0F) << 8) | s.pending[2]) + 3;
                if (s.pending.size() < length) return;
                r.sections.push_back({pid, i, Bytes(s.pending.begin(), s.pending.begin() + length)});
                s.pending.erase(s.pending.begin(), s.pending.begin() + length);
            }
        };
        const uint8_t* payload = p + 4;
        if (start) {
            size_t pointer = payload[0];
            if (pointer > 182) {
                fault(i, "pointer_field past the packet");
                continue;
            }
            if (st.inSection) {
                st.pending.insert(st.pending.end(), payload + 1, payload + 1 + pointer);
                drain(st);
                if (!st.pending.empty()) fault(i, "section cut short by the next start");
            } else if (pointer != 0) {
                fault(i, "bytes before the first section start");
            }
            st.pending.assign(payload + 1 + pointer, payload + 184);
            st.inSection = true;
        } else if (st.inSection) {
            st.pending.insert(st.pending.end(), payload, payload + 184);
        } else {
            fault(i, "payload outside any section");
        }
        drain(st);
    }
    for (auto& [pid, st] : pids)
        if (st.inSection && !st.pending.empty()) fault(0, "unfinished section on PID " + std::to_string(pid));
    return r;
}

// Seconds since 00:00 of the test date, from a 5-byte MJD + BCD time.
int64_t timeOf(const uint8_t* t) {
    auto bcd = [](uint8_t b) { return (b >> 4) * 10 + (b & 0x0F); };
    return (((t[0] << 8) | t[1]) - kMjd20240301) * kDay + bcd(t[2]) * 3600 + bcd(t[3]) * 60 + bcd(t[4]);
}

int durationOf(const uint8_t* d) {
    auto bcd = [](uint8_t b) { return (b >> 4) * 10 + (b & 0x0F); };
    return bcd(d[0]) * 3600 + bcd(d[1]) * 60 + bcd(d[2]);
}

struct Descriptor {
    int tag;
    Bytes data;
};

std::vector<Descriptor> descriptorsOf(ByteReader loop) {
    std::vector<Descriptor> out;
    while (!loop.atEnd() && !loop.error()) {
        int tag = loop.u8();
        size_t length = loop.u8();
        const uint8_t* data = loop.bytes(length);
        if (data) out.push_back({tag, Bytes(data, data + length)});
    }
    EXPECT_FALSE(loop.error()) << "descriptor runs past its loop";
    return out;
}

struct Event {
    int table, section, id;
    int64_t start;
    int duration;
    std::vector<Descriptor> descriptors;
};

// Events of an EIT section (its CRC already checked).
std::vector<Event> eventsOf(const Bytes& s) {
    std::vector<Event> out;
    ByteReader r(s.data(), s.size() - 4);
    r.skip(14);
    while (!r.atEnd() && !r.error()) {
        Event e{s[0], s[6], r.u16(), 0, 0, {}};
        const uint8_t* times = r.bytes(8);
        size_t length = r.u12();
        if (!times) break;
        e.start = timeOf(times);
        e.duration = durationOf(times + 5);
        e.descriptors = descriptorsOf(r.window(length));
        out.push_back(std::move(e));
    }
    EXPECT_FALSE(r.error()) << "event loop runs past the section";
    return out;
}

bool has(const std::vector<Descriptor>& list, int tag) {
    for (const Descriptor& d : list)
        if (d.tag == tag) return true;
    return false;
}

TEST(SampleRecording, IsAWellFormedStreamInEveryUnitSize) {
    std::vector<Section> reference;
    for (int unit : {188, 192, 204}) {
        SCOPED_TRACE(unit);
        Bytes file = generated("unit" + std::to_string(unit), "--date 2024-03-01 --unit " + std::to_string(unit));
        ASSERT_FALSE(file.empty());
        Scan s = scan(file, unit);
        EXPECT_EQ(s.faults, std::vector<std::string>{});
        ASSERT_GT(s.sections.size(), 1000u);
        for (const Section& section : s.sections)
            ASSERT_EQ(crc32Mpeg(section.bytes.data(), section.bytes.size()), 0u) << section.packet;
        EXPECT_GT(s.packets[0x0100], 0u);  // filler "video"

        // The TOT opens the tables, in one packet the reader can take at fixed offsets.
        EXPECT_EQ(s.firstTablePid, 0x14);
        EXPECT_LT(s.firstTotPacket, s.firstEitPacket);
        const uint8_t* tot = &file[s.firstTotPacket * unit + (unit == 192 ? 4 : 0)];
        EXPECT_EQ(tot[4], 0);
        EXPECT_EQ(tot[5], 0x73);
        EXPECT_EQ(timeOf(tot + 8), 12 * 3600);

        // Only the packet layout differs between unit sizes.
        std::vector<Section> sections = s.sections;
        for (Section& section : sections) section.packet = 0;
        if (reference.empty()) {
            reference = sections;
        } else {
            ASSERT_EQ(sections.size(), reference.size());
            for (size_t i = 0; i < sections.size(); ++i) ASSERT_EQ(sections[i].bytes, reference[i].bytes) << i;
        }
    }
}

TEST(SampleRecording, CarriesEightDaysOfScheduleForEveryServiceOfEveryNetwork) {
    Bytes file = generated("content", "--date 2024-03-01");
    Scan s = scan(file, 188);
    ASSERT_EQ(s.faults, std::vector<std::string>{});

    using Key = std::pair<int, int>;  // original_network_id, service_id
    std::set<Key> tvServices, listed, informed;
    std::set<int> networks;
    std::map<Key, std::vector<Event>> basic, extended, presentFollowing;
    std::set<int> genres, videoTypes, audioTypes;
    for (const Section& section : s.sections) {
        const Bytes& b = section.bytes;
        ASSERT_EQ(crc32Mpeg(b.data(), b.size()), 0u);
        ByteReader r(b.data(), b.size() - 4);
        int table = r.u8();
        r.u16();
        int idExtension = r.u16();
        r.skip(3);
        if (section.pid == 0x10 && table == 0x40) {
            int network = idExtension;
            networks.insert(network);
            bool satellite = network >= 4 && network <= 7;
            std::vector<Descriptor> networkLoop = descriptorsOf(r.window(r.u12()));
            EXPECT_TRUE(has(networkLoop, 0x40)) << "network name";
            ByteReader streams = r.window(r.u12());
            while (!streams.atEnd() && !streams.error()) {
                streams.u16();
                int onid = streams.u16();
                std::vector<Descriptor> d = descriptorsOf(streams.window(streams.u12()));
                EXPECT_EQ(has(d, 0x43), satellite) << network;
                for (const Descriptor& x : d) {
                    if (x.tag == 0x41)
                        for (size_t k = 0; k + 3 <= x.data.size(); k += 3)
                            if (x.data[k + 2] == 0x01) listed.insert({onid, (x.data[k] << 8) | x.data[k + 1]});
                    if (x.tag == 0x43) {
                        for (int k = 0; k < 4; ++k)  // BCD frequency
                            EXPECT_TRUE((x.data[k] >> 4) <= 9 && (x.data[k] & 0x0F) <= 9);
                        EXPECT_NE(x.data[1], 0);
                    }
                    if (x.tag == 0xCD) {
                        ByteReader info(x.data.data(), x.data.size());
                        info.u8();  // remote_control_key_id
                        int lengths = info.u8();
                        EXPECT_GT(lengths >> 2, 0) << "TS name";
                        info.skip(lengths >> 2);
                        for (int t = 0; t < (lengths & 3); ++t) {
                            info.u8();
                            for (int n = info.u8(); n > 0; --n) informed.insert({onid, info.u16()});
                        }
                        EXPECT_TRUE(info.atEnd() && !info.error());
                    }
                }
            }
            EXPECT_FALSE(streams.error());
        } else if (section.pid == 0x11 && table == 0x42) {
            int onid = r.u16();
            r.u8();
            while (!r.atEnd() && !r.error()) {
                int serviceId = r.u16();
                r.u8();
                for (const Descriptor& d : descriptorsOf(r.window(r.u12()))) {
                    if (d.tag != 0x48 || d.data[0] != 0x01) continue;
                    size_t provider = d.data[1];
                    ASSERT_GT(d.data.size(), 2 + provider);
                    EXPECT_GT(provider, 0u);
                    EXPECT_GT(d.data[2 + provider], 0u) << "service name";
                    tvServices.insert({onid, serviceId});
                }
            }
        } else if (section.pid == 0x12) {
            Key key{(b[10] << 8) | b[11], idExtension};
            EXPECT_EQ(b[5] & 1, 1);  // current
            std::vector<Event> events = eventsOf(b);
            if (table == 0x4E) {
                EXPECT_LE(b[6], 1);
                EXPECT_EQ(events.size(), 1u);
                for (Event& e : events) presentFollowing[key].push_back(e);
                continue;
            }
            ASSERT_TRUE(table == 0x50 || table == 0x51 || table == 0x58 || table == 0x59) << table;
            EXPECT_EQ(b[13], table < 0x58 ? 0x51 : 0x59);  // last_table_id
            EXPECT_EQ(b[12] / 8, b[6] / 8);               // segment_last_section_number
            EXPECT_GE(b[12], b[6]);
            EXPECT_GE(b[7], b[12]);                       // last_section_number
            for (Event& e : events) {
                // The segment an event starts in fixes its table and section.
                EXPECT_EQ((table & 1) * 32 + b[6] / 8, e.start / (3 * 3600)) << e.id;
                if (table < 0x58) {
                    for (const Descriptor& d : e.descriptors) {
                        if (d.tag == 0x54) genres.insert(d.data.at(0) >> 4);
                        if (d.tag == 0x50) videoTypes.insert(d.data.at(1));
                        if (d.tag == 0xC4) audioTypes.insert(d.data.at(1));
                    }
                    basic[key].push_back(std::move(e));
                } else {
                    extended[key].push_back(std::move(e));
                }
            }
        }
    }

    EXPECT_TRUE(networks.count(4));
    EXPECT_TRUE(networks.count(6) || networks.count(7));
    EXPECT_TRUE(std::any_of(networks.begin(), networks.end(), [](int n) { return n < 4 || n > 7; }));
    EXPECT_GE(tvServices.size(), 8u);
    for (const Key& service : tvServices) {
        SCOPED_TRACE(std::to_string(service.first) + "/" + std::to_string(service.second));
        EXPECT_TRUE(informed.count(service)) << "TS information";
        EXPECT_TRUE(listed.count(service)) << "service list";

        std::vector<Event>& events = basic[service];
        ASSERT_FALSE(events.empty());
        std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.start < b.start; });
        EXPECT_EQ(events.front().start, 0);
        for (size_t i = 1; i < events.size(); ++i)
            ASSERT_EQ(events[i].start, events[i - 1].start + events[i - 1].duration) << "gap or overlap at " << i;
        EXPECT_LT(events.back().start, 8 * kDay);
        EXPECT_GE(events.back().start + events.back().duration, 8 * kDay);
        std::set<int> ids;
        for (const Event& e : events) {
            EXPECT_TRUE(has(e.descriptors, 0x4D) && has(e.descriptors, 0x50) && has(e.descriptors, 0xC4) &&
                        has(e.descriptors, 0x54))
                << e.id;
            ids.insert(e.id);
        }
        EXPECT_EQ(ids.size(), events.size());

        // Every event has its extended description: descriptors numbered 0..last.
        std::set<int> extendedIds;
        for (const Event& e : extended[service]) {
            extendedIds.insert(e.id);
            int expected = 0, last = -1;
            for (const Descriptor& d : e.descriptors) {
                ASSERT_EQ(d.tag, 0x4E);
                EXPECT_EQ(d.data[0] >> 4, expected++);
                last = d.data[0] & 0x0F;
            }
            EXPECT_EQ(last, expected - 1);
        }
        EXPECT_EQ(extendedIds, ids);

        // Present and following at the time of the TOT (12:00 of the first day).
        std::vector<Event>& pf = presentFollowing[service];
        ASSERT_EQ(pf.size(), 2u);
        const Event& present = pf[0].section == 0 ? pf[0] : pf[1];
        const Event& following = pf[0].section == 0 ? pf[1] : pf[0];
        EXPECT_LE(present.start, 12 * 3600);
        EXPECT_GT(present.start + present.duration, 12 * 3600);
        EXPECT_EQ(following.start, present.start + present.duration);
    }
    EXPECT_EQ(genres, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    for (int type : {0x01, 0xA3, 0xB1, 0xB3}) EXPECT_TRUE(videoTypes.count(type)) << type;
    for (int type : {0x02, 0x03}) EXPECT_TRUE(audioTypes.count(type)) << type;
}

TEST(SampleRecording, IsRepeatableAndFillsTheSizeAsked) {
    Bytes once = generated("repeat1", "--date 2024-03-01 --days 2 --unit 192");
    EXPECT_EQ(generated("repeat2", "--date 2024-03-01 --days 2 --unit 192"), once);
    EXPECT_NE(generated("otherday", "--date 2024-03-02 --days 2 --unit 192"), once);

    Bytes sized = generated("sized", "--date 2024-03-01 --days 2 --size 3M");
    EXPECT_EQ(sized.size(), 3u * 1024 * 1024 / 188 * 188);
    EXPECT_EQ(scan(sized, 188).faults, std::vector<std::string>{});

    // Repeated cycles keep every counter running; each cycle has its TOT, later each time.
    bc::SampleOptions options;
    options.year = 2024, options.month = 3, options.day = 1, options.days = 1;
    size_t cycle = bc::sampleRecordingBytes(options).size() / 2;  // by default half of it is filler
    options.size = cycle * 3;
    options.tablePercent = 100;
    Bytes repeated = bc::sampleRecordingBytes(options);
    ASSERT_EQ(repeated.size(), cycle * 3);
    Scan s = scan(repeated, 188);
    EXPECT_EQ(s.faults, std::vector<std::string>{});
    std::vector<int64_t> tots;
    for (const Section& section : s.sections)
        if (section.pid == 0x14) tots.push_back(timeOf(&section.bytes[3]));
    ASSERT_EQ(tots.size(), 3u);
    EXPECT_LT(tots[0], tots[1]);
    EXPECT_LT(tots[1], tots[2]);
}

TEST(SampleRecording, RefusesBadArgumentsAndUnwritableFiles) {
    std::string out = " \"" + tempPath("refused") + "\"";
    EXPECT_EQ(runSample("--help >/dev/null"), 0);
    for (const char* bad : {"--unit 190", "--date 2024-02-30", "--date 2024-3-1", "--days 9", "--days 0",
                            "--size 12Q", "--size", "--frobnicate"})
        EXPECT_NE(runSample(std::string(bad) + out), 0) << bad;
    EXPECT_NE(runSample("--date 2024-03-01"), 0);  // no output file
    EXPECT_NE(runSample("--date 2024-03-01 a.ts b.ts"), 0);
    std::string missing = tempPath("no_such_dir") + "/x.ts";
    EXPECT_NE(runSample("--date 2024-03-01 \"" + missing + "\""), 0);
    EXPECT_TRUE(readFile(tempPath("refused")).empty());
}

}  // namespace
}  // namespace corvane
