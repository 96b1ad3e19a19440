#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "store/epg_store.h"
#include "store/ts_reader.h"
#include "tools/broadcast/packetizer.h"
#include "tools/broadcast/si_builder.h"
#include "tools/common/store_listing.h"

using namespace corvane;
namespace bc = corvane::broadcast;

namespace {

struct StoreDeleter {
    void operator()(EpgStore* s) const { destroyStore(s); }
};
using StorePtr = std::unique_ptr<EpgStore, StoreDeleter>;

const int64_t kStart = bc::broadcastTime(2026, 12, 7, 18, 0, 0);
const uint16_t kTerrestrialOnid = 0x7FE0;

bc::EitEvent programme(uint16_t id, int64_t start, int minutes, const char* title) {
    bc::EitEvent e;
    e.eventId = id;
    e.start = start;
    e.duration = minutes * 60;
    e.descriptors = bc::shortEventDescriptor(title, "説明");
    return e;
}

bc::Bytes schedule(uint16_t serviceId, uint8_t section, uint8_t version, int events, uint16_t onid = kTerrestrialOnid) {
    bc::Eit eit;
    eit.tableId = 0x50;
    eit.serviceId = serviceId;
    eit.transportStreamId = 0x7FE0;
    eit.originalNetworkId = onid;
    eit.version = version;
    eit.sectionNumber = section;
    eit.lastSectionNumber = 0xFF;
    for (int i = 0; i < events; ++i)
        eit.events.push_back(programme(uint16_t(section * 100 + i), kStart + i * 1800, 30, "ニュース"));
    return bc::eitSection(eit);
}

bc::Bytes sdt(uint16_t onid, std::vector<std::pair<uint16_t, const char*>> names) {
    bc::Sdt s;
    s.transportStreamId = 0x7FE0;
    s.originalNetworkId = onid;
    for (auto [id, name] : names) {
        bc::SdtService service;
        service.serviceId = id;
        service.descriptors = bc::serviceDescriptor(0x01, "放送局", name);
        s.services.push_back(service);
    }
    return bc::sdtSection(s);
}

// A recording: filler, TOT, SDT, EIT sections, more filler.
struct Recording {
    bc::Packetizer packetizer;
    std::vector<bc::Packet> packets;

    void filler(int n) {
        for (int i = 0; i < n; ++i) packets.push_back(packetizer.fillerPacket());
    }
    void add(uint16_t pid, const std::vector<bc::Bytes>& sections, bool backToBack = true) {
        for (const bc::Packet& p : packetizer.sectionPackets(pid, sections, backToBack)) packets.push_back(p);
    }
    void tot(int64_t t = kStart) { add(bc::kTotPid, {bc::totSection(t)}); }
    bc::Bytes bytes(int unit = 188) const {
        bc::TsWriter writer(unit);
        writer.put(packets);
        return writer.bytes();
    }
};

Recording typicalRecording() {
    Recording r;
    r.filler(60);
    r.tot();
    r.add(bc::kSdtPid, {sdt(kTerrestrialOnid, {{1024, "総合"}, {1032, "教育"}})});
    r.add(bc::kEitPid, {schedule(1024, 0, 1, 3), schedule(1024, 1, 1, 2), schedule(1032, 0, 4, 40)});
    r.filler(60);
    return r;
}

class RecordingProgress : public ProgressSink {
public:
    explicit RecordingProgress(int stopAfter = -1) : stopAfter_(stopAfter) {}
    bool reportProgress(int64_t done, int64_t total) override {
        reports.push_back({done, total});
        return stopAfter_ < 0 || static_cast<int>(reports.size()) <= stopAfter_;
    }
    std::vector<std::pair<int64_t, int64_t>> reports;

private:
    int stopAfter_;
};

std::string readBytes(const bc::Bytes& bytes, size_t blockSize = 0, ProgressSink* progress = nullptr) {
    StorePtr store(createStore());
    readTransportStreamBytes(store.get(), bytes.data(), bytes.size(), progress, blockSize);
    return storeListing(*store);
}

std::string tempPath(const char* name) {
    return testing::TempDir() + "corvane_ts_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           "_" + name;
}

void writeFile(const std::string& path, const bc::Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bc::Bytes readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return bc::Bytes(std::istreambuf_iterator<char>(in), {});
}

void append(bc::Bytes& to, const bc::Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
    return n;
}

}  // namespace

TEST(TsReader, ReadsServicesSectionsAndTimeFromEveryUnitSize) {
    Recording recording = typicalRecording();
    std::string expected = readBytes(recording.bytes(188));
    EXPECT_EQ(1u, count(expected, "tot 2026-12-07 18:00:00"));
    EXPECT_EQ(2u, count(expected, "service "));
    EXPECT_EQ(3u, count(expected, " basic "));
    EXPECT_EQ(3u, count(expected, " baseline "));
    EXPECT_NE(std::string::npos, expected.find("slot 1 basic 0 "));  // 1032 sorts after 1024
    EXPECT_EQ(expected, readBytes(recording.bytes(192)));
    EXPECT_EQ(expected, readBytes(recording.bytes(204)));

    // From a file too, with progress in thousands of bytes ending at the total.
    bc::Bytes bytes = recording.bytes(204);
    std::string path = tempPath("unit204.ts");
    writeFile(path, bytes);
    StorePtr store(createStore());
    RecordingProgress progress;
    readTransportStream(store.get(), path.c_str(), &progress);
    EXPECT_EQ(expected, storeListing(*store));
    ASSERT_GE(progress.reports.size(), 2u);
    const int64_t total = static_cast<int64_t>(bytes.size()) / 1000;
    EXPECT_EQ(std::make_pair(int64_t{0}, total), progress.reports.front());
    EXPECT_EQ(std::make_pair(total, total), progress.reports.back());
    std::remove(path.c_str());
}

TEST(TsReader, UnitSizeNeedsEightConsistentDistancesCoveringTheChunk) {
    Recording r;
    r.filler(5);
    bc::Bytes five = r.bytes();
    EXPECT_EQ(0, select_unit_size(five.data(), five.data() + five.size()));
    r.filler(40);
    bc::Bytes many = r.bytes(192);
    EXPECT_EQ(192, select_unit_size(many.data(), many.data() + many.size()));

    // Stray sync bytes inside packets do not disturb the count of the unit.
    bc::Bytes noisy = many;
    for (size_t p = 100; p < noisy.size(); p += 192 * 5) noisy[p] = 0x47;
    EXPECT_EQ(192, select_unit_size(noisy.data(), noisy.data() + noisy.size()));
    // Mostly noise between the packets: the units cover too little of the chunk.
    bc::Bytes sparse(8192, 0x00);
    for (size_t p = 0; p < 9 * 188; p += 188) sparse[p] = 0x47;
    EXPECT_EQ(0, select_unit_size(sparse.data(), sparse.data() + sparse.size()));
    EXPECT_EQ(0, select_unit_size(sparse.data(), sparse.data()));

    // Without a packet structure the reader says so and stores nothing, and
    // the progress still ends complete.
    testing::internal::CaptureStderr();
    StorePtr store(createStore());
    RecordingProgress progress;
    readTransportStreamBytes(store.get(), five.data(), five.size(), &progress);
    EXPECT_EQ("error - failed on select_unit_size()\n", testing::internal::GetCapturedStderr());
    EXPECT_EQ(nullptr, store->services[0]);
    EXPECT_EQ(std::make_pair(int64_t{0}, int64_t{0}), progress.reports.back());

    testing::internal::CaptureStderr();
    readTransportStream(store.get(), "/nonexistent/dir/x.ts", &progress);
    EXPECT_EQ("error - failed on open(/nonexistent/dir/x.ts) [src]\n", testing::internal::GetCapturedStderr());
}

TEST(TsReader, ScheduleBeforeTheFirstTimeIsIgnored) {
    Recording r;
    r.filler(50);
    r.add(bc::kEitPid, {schedule(1024, 0, 1, 2)});
    r.tot();
    r.add(bc::kEitPid, {schedule(1024, 8, 1, 2)});
    r.filler(10);
    std::string listing = readBytes(r.bytes());
    EXPECT_EQ(std::string::npos, listing.find("basic 0 "));
    EXPECT_NE(std::string::npos, listing.find("basic 8 "));

    // A later file goes on with the time of the first.
    StorePtr store(createStore());
    bc::Bytes first = r.bytes();
    readTransportStreamBytes(store.get(), first.data(), first.size(), nullptr);
    Recording second;
    second.filler(50);
    second.add(bc::kEitPid, {schedule(1024, 16, 1, 2)});
    second.filler(10);
    bc::Bytes bytes = second.bytes();
    readTransportStreamBytes(store.get(), bytes.data(), bytes.size(), nullptr);
    EXPECT_NE(std::string::npos, storeListing(*store).find("basic 16 "));
}

TEST(TsReader, SectionsAcrossPacketsBackToBackAndDamaged) {
    Recording r;
    r.filler(50);
    r.tot();
    // One long section over several packets, then short ones packed together.
    r.add(bc::kEitPid, {schedule(1024, 0, 1, 60)});
    r.add(bc::kEitPid, {schedule(1024, 1, 1, 1), schedule(1024, 2, 1, 1), schedule(1024, 3, 1, 1)});
    bc::Bytes damaged = schedule(1024, 4, 1, 2);
    damaged[30] ^= 0x01;
    r.add(bc::kEitPid, {damaged, schedule(1024, 5, 1, 1)}, false);
    r.filler(10);
    std::string listing = readBytes(r.bytes());
    for (int seq : {0, 1, 2, 3, 5}) EXPECT_NE(std::string::npos, listing.find("basic " + std::to_string(seq) + " "));
    EXPECT_EQ(std::string::npos, listing.find("basic 4 "));

    // A lost packet in the middle of the long section: the CRC rejects what
    // was assembled, the next section is read again.
    Recording gap;
    gap.filler(50);
    gap.tot();
    std::vector<bc::Packet> longSection = gap.packetizer.sectionPackets(bc::kEitPid, schedule(1024, 0, 1, 60));
    ASSERT_GT(longSection.size(), 3u);
    longSection.erase(longSection.begin() + 1);
    for (auto& p : longSection) gap.packets.push_back(p);
    gap.add(bc::kEitPid, {schedule(1024, 1, 1, 1)});
    gap.filler(10);
    listing = readBytes(gap.bytes());
    EXPECT_EQ(std::string::npos, listing.find("basic 0 "));
    EXPECT_NE(std::string::npos, listing.find("basic 1 "));
}

TEST(TsReader, PacketsThatMustBeSkipped) {
    Recording r;
    r.filler(50);
    r.tot();
    auto flagged = [&](uint8_t section, auto change) {
        for (bc::Packet p : r.packetizer.sectionPackets(bc::kEitPid, schedule(1024, section, 1, 1))) {
            change(p);
            r.packets.push_back(p);
        }
    };
    flagged(1, [](bc::Packet& p) { p[1] |= 0x80; });                  // transport error
    flagged(2, [](bc::Packet& p) { p[3] = (p[3] & 0x3F) | 0x40; });   // scrambled (01)
    flagged(3, [](bc::Packet& p) { p[3] &= 0xCF; });                  // no payload
    flagged(4, [](bc::Packet& p) { p[3] = (p[3] & 0x3F) | 0x80; });   // scrambling 10 is read
    r.filler(10);
    std::string listing = readBytes(r.bytes());
    EXPECT_EQ(std::string::npos, listing.find("basic 1 "));
    EXPECT_EQ(std::string::npos, listing.find("basic 2 "));
    EXPECT_EQ(std::string::npos, listing.find("basic 3 "));
    EXPECT_NE(std::string::npos, listing.find("basic 4 "));
}

TEST(TsReader, NetworkTableGivesFrequencyStreamAndNames) {
    // A BS entry listing its services before the satellite descriptor, and a
    // TS information descriptor naming one existing and one unknown service.
    bc::Nit nit;
    nit.networkId = 4;
    bc::NitTransportStream stream;
    stream.transportStreamId = 0x4010;
    stream.originalNetworkId = 4;
    stream.descriptors = bc::serviceListDescriptor({{101, 0x01}, {102, 0x01}, {103, 0xC0}});
    bc::SatelliteDelivery delivery;
    delivery.frequency = 0x01172748;
    append(stream.descriptors, bc::satelliteDeliveryDescriptor(delivery));
    bc::TsInformation info;
    info.remoteControlKeyId = 1;
    info.tsName = "ＢＳ朝日";
    info.transmissionTypes = {{0x0F, {101, 999}}};
    append(stream.descriptors, bc::tsInformationDescriptor(info));
    nit.transportStreams.push_back(stream);

    Recording r;
    r.filler(50);
    r.add(bc::kNitPid, {bc::nitSection(nit)});
    r.filler(10);
    StorePtr store(createStore());
    bc::Bytes bytes = r.bytes();
    readTransportStreamBytes(store.get(), bytes.data(), bytes.size(), nullptr);

    ASSERT_EQ(2, store->serviceCount);  // 103 is not a TV service; 999 is never created
    for (int i = 0; i < 2; ++i) {
        const ServiceRecord& s = *store->services[i];
        EXPECT_EQ(4, s.networkClass());
        EXPECT_EQ(0x4010, s.transportStreamId);
        EXPECT_EQ(4, s.deliveryNetworkClass);
        EXPECT_EQ(0, std::memcmp(s.satelliteFrequency, "\x01\x17\x27\x48", 4));
    }
    const ServiceRecord& named = *store->services[0];
    EXPECT_EQ(101, named.serviceId);
    EXPECT_EQ(1, named.remoteKeyId);
    bc::Bytes name = bc::AribText("ＢＳ朝日").bytes;
    ASSERT_EQ(name.size(), named.tsNameLength);
    EXPECT_EQ(0, std::memcmp(name.data(), named.tsName, name.size()));
    EXPECT_EQ(0, store->services[1]->tsNameLength);
}

TEST(TsReader, ServiceTableNamesTelevisionServicesOnly) {
    bc::Sdt s;
    s.transportStreamId = 1;
    s.originalNetworkId = 6;
    bc::SdtService tv{1, true, true, 4, false, bc::serviceDescriptor(0x01, "スカパー", "映画チャンネル")};
    bc::SdtService data{2, true, true, 4, false, bc::serviceDescriptor(0xC0, "スカパー", "データ")};
    // A provider name longer than the record's field is cut to it.
    std::string longName;
    for (int i = 0; i < 30; ++i) longName += "漢";
    bc::SdtService wide{3, true, true, 4, false, bc::serviceDescriptor(0x01, longName.c_str(), "")};
    s.services = {tv, data, wide};
    Recording r;
    r.filler(50);
    r.add(bc::kSdtPid, {bc::sdtSection(s)});
    r.filler(10);
    StorePtr store(createStore());
    bc::Bytes bytes = r.bytes();
    readTransportStreamBytes(store.get(), bytes.data(), bytes.size(), nullptr);
    ASSERT_EQ(2, store->serviceCount);
    EXPECT_EQ(6, store->services[0]->networkClass());
    EXPECT_EQ(bc::AribText("映画チャンネル").bytes.size(), store->services[0]->serviceNameLength);
    EXPECT_EQ(3, store->services[1]->serviceId);
    EXPECT_EQ(50, store->services[1]->providerNameLength);
    EXPECT_EQ(0, store->services[1]->serviceNameLength);
}

TEST(TsReader, GarbageInTheMiddleCostsOnlyItsOwnBytes) {
    Recording before = typicalRecording();
    Recording after;
    after.packetizer = before.packetizer;
    after.filler(20);
    after.add(bc::kEitPid, {schedule(1024, 40, 1, 3), schedule(1032, 41, 1, 3)});
    after.filler(20);
    Recording whole = before;
    for (auto& p : after.packets) whole.packets.push_back(p);
    const std::string expected = readBytes(whole.bytes());
    ASSERT_NE(std::string::npos, expected.find("basic 40 "));

    std::mt19937 random(7);
    for (size_t garbage : {size_t{1}, size_t{187}, size_t{1000}, size_t{20000}, size_t{3000000}}) {
        bc::Bytes bytes = before.bytes();
        for (size_t i = 0; i < garbage; ++i) {
            uint8_t b = static_cast<uint8_t>(random());
            bytes.push_back(b == 0x47 ? 0x46 : b);
        }
        // Stray sync bytes every unit for a few units must not look like packets.
        for (size_t i = 0; i + 188 < garbage && i < 6 * 188; i += 188) bytes[bytes.size() - garbage + i] = 0x47;
        bc::Bytes tail = after.bytes();
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        for (size_t block : {size_t{0}, size_t{8192}, size_t{3001}})
            EXPECT_EQ(expected, readBytes(bytes, block)) << garbage << " bytes of garbage, block " << block;
    }
}

TEST(TsReader, StoppingEndsTheReadAndReportsCompletion) {
    Recording r = typicalRecording();
    r.filler(20000);  // several blocks
    Recording late;
    late.packetizer = r.packetizer;
    late.add(bc::kEitPid, {schedule(1024, 60, 1, 1)});
    for (auto& p : late.packets) r.packets.push_back(p);
    bc::Bytes bytes = r.bytes();

    RecordingProgress stopAtOnce(0);
    StorePtr store(createStore());
    readTransportStreamBytes(store.get(), bytes.data(), bytes.size(), &stopAtOnce, 65536);
    EXPECT_EQ(nullptr, store->services[0]);
    EXPECT_EQ(2u, stopAtOnce.reports.size());
    EXPECT_EQ(stopAtOnce.reports.back().first, stopAtOnce.reports.back().second);

    RecordingProgress stopLater(3);
    StorePtr partial(createStore());
    readTransportStreamBytes(partial.get(), bytes.data(), bytes.size(), &stopLater, 65536);
    EXPECT_EQ(std::string::npos, storeListing(*partial).find("basic 60 "));
    EXPECT_NE(std::string::npos, storeListing(*partial).find("tot "));

    // A closing store is not read at all.
    StorePtr closing(createStore());
    closing->closing = 1;
    readTransportStreamBytes(closing.get(), bytes.data(), bytes.size(), nullptr);
    EXPECT_EQ(0, closing->totYear);
}

TEST(TsReader, RealCapturesAndTheirTruncationsReadSafely) {
    struct Capture {
        const char* name;
        size_t stride;  // truncation offsets tried
    };
    const Capture captures[] = {{"dvbt-full-si.ts", 4099}, {"isdbs-bs-scrambled.ts", 97},
                                {"isdbtb-204byte-units.ts", 53}, {"isdbt-eit-schedule.ts", 1}};
    int found = 0;
    for (const Capture& capture : captures) {
        bc::Bytes bytes = readWholeFile(std::string(CORVANE_SHARED_DATA) + "/" + capture.name);
        if (bytes.empty()) continue;
        ++found;
        testing::internal::CaptureStderr();
        for (size_t cut = 0; cut <= bytes.size(); cut += capture.stride) {
            auto copy = std::make_unique<uint8_t[]>(cut ? cut : 1);
            std::memcpy(copy.get(), bytes.data(), cut);
            StorePtr store(createStore());
            readTransportStreamBytes(store.get(), copy.get(), cut, nullptr, 4096);
        }
        testing::internal::GetCapturedStderr();
    }
    if (found == 0) GTEST_SKIP() << "no captures in " << CORVANE_SHARED_DATA;
}

TEST(TsReader, RealDvbCaptureRejectsItsDamagedSection) {
    bc::Bytes bytes = readWholeFile(std::string(CORVANE_SHARED_DATA) + "/dvbt-full-si.ts");
    if (bytes.empty()) GTEST_SKIP() << "capture missing";
    StorePtr store(createStore());
    readTransportStreamBytes(store.get(), bytes.data(), bytes.size(), nullptr);
    std::string listing = storeListing(*store);
    EXPECT_EQ(5u, count(listing, "service "));
    EXPECT_EQ(1u, count(listing, "tot "));
    // Every stored section carries a CRC that checks: walk the slots.
    for (int i = 0; i < store->serviceCount; ++i) {
        for (int k = 0; k < kSlotsPerTable; ++k) {
            const SectionSlot& slot = store->services[i]->basicAt(k);
            if (slot.data) {
                EXPECT_EQ(0u, bc::crc32Mpeg2(slot.data, slot.length));
            }
        }
    }
}
