#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "store/ts_reader.h"
#include "tools/broadcast/packetizer.h"
#include "tools/common/store_listing.h"

using namespace corvane;
namespace bc = corvane::broadcast;

namespace {

const int64_t kStart = bc::broadcastTime(2026, 12, 7, 18, 0, 0);

// Schedule section `section` of a terrestrial service: `events` half-hour programmes from kStart.
bc::Bytes schedule(uint16_t serviceId, uint8_t section, uint8_t version, int events) {
    std::vector<bc::EitEvent> list;
    for (int i = 0; i < events; ++i)
        list.push_back({.eventId = uint16_t(section * 100 + i), .start = kStart + i * 1800, .duration = 1800,
                        .descriptors = bc::shortEventDescriptor("ニュース", "説明")});
    return bc::eitSection({.tableId = 0x50, .serviceId = serviceId, .transportStreamId = 0x7FE0,
                           .originalNetworkId = 0x7FE0, .version = version, .sectionNumber = section,
                           .lastSectionNumber = 0xFF, .events = list});
}

// A recording: packets laid out in units. Filler packets make the unit detectable.
struct Recording {
    bc::Packetizer packetizer;
    std::vector<bc::Packet> packets;

    explicit Recording(bool withTot = true) {
        filler(50);
        if (withTot) add(bc::kTotPid, {bc::totSection(kStart)});
    }
    void filler(int n) {
        for (int i = 0; i < n; ++i) packets.push_back(packetizer.fillerPacket());
    }
    void add(uint16_t pid, const std::vector<bc::Bytes>& sections, bool backToBack = true) {
        for (const bc::Packet& p : packetizer.sectionPackets(pid, sections, backToBack)) packets.push_back(p);
    }
    bc::Bytes bytes(int unit = 188) const {
        bc::TsWriter writer(unit);
        writer.put(packets);
        return writer.bytes();
    }
};

// TOT, an SDT naming two services, three schedule sections between them.
Recording typicalRecording() {
    Recording r;
    r.add(bc::kSdtPid, {bc::sdtSection({.transportStreamId = 0x7FE0, .originalNetworkId = 0x7FE0, .services = {
        {.serviceId = 1024, .descriptors = bc::serviceDescriptor(0x01, "放送局", "総合")},
        {.serviceId = 1032, .descriptors = bc::serviceDescriptor(0x01, "放送局", "教育")}}})});
    r.add(bc::kEitPid, {schedule(1024, 0, 1, 3), schedule(1024, 1, 1, 2), schedule(1032, 0, 4, 40)});
    return r;
}

// Keeps every report; answers "stop" after the first `stopAfter` ones.
struct RecordingProgress : ProgressSink {
    explicit RecordingProgress(int stop = -1) : stopAfter(stop) {}
    bool reportProgress(int64_t done, int64_t total) override {
        reports.push_back({done, total});
        return stopAfter < 0 || static_cast<int>(reports.size()) <= stopAfter;
    }
    int stopAfter;
    std::vector<std::pair<int64_t, int64_t>> reports;
};

StorePtr readStore(const bc::Bytes& bytes, size_t blockSize = 0, ProgressSink* progress = nullptr) {
    StorePtr store(createStore());
    readTransportStreamBytes(store.get(), bytes.data(), bytes.size(), progress, blockSize);
    return store;
}

std::string readBytes(const bc::Bytes& b, size_t blockSize = 0) { return storeListing(*readStore(b, blockSize)); }

bool has(const std::string& listing, const std::string& what) { return listing.find(what) != std::string::npos; }

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
    return n;
}

bc::Bytes readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return bc::Bytes(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(TsReader, ReadsServicesSectionsAndTimeFromEveryUnitSize) {
    Recording recording = typicalRecording();
    std::string expected = readBytes(recording.bytes(188));
    EXPECT_EQ(1u, count(expected, "tot 2026-12-07 18:00:00"));
    EXPECT_EQ(2u, count(expected, "service "));
    EXPECT_EQ(3u, count(expected, " basic "));
    EXPECT_EQ(3u, count(expected, " baseline "));
    EXPECT_TRUE(has(expected, "slot 1 basic 0 "));  // 1032 sorts after 1024
    EXPECT_EQ(expected, readBytes(recording.bytes(192)));
    EXPECT_EQ(expected, readBytes(recording.bytes(204)));

    // From a file too, with progress in thousands of bytes ending at the total.
    bc::Bytes bytes = recording.bytes(204);
    std::string path = testing::TempDir() + "corvane_ts_" +
                       std::to_string(testing::UnitTest::GetInstance()->random_seed()) + "_unit204.ts";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    StorePtr store(createStore());
    RecordingProgress progress;
    readTransportStream(store.get(), path.c_str(), &progress);
    std::remove(path.c_str());
    EXPECT_EQ(expected, storeListing(*store));
    ASSERT_GE(progress.reports.size(), 2u);
    const int64_t total = static_cast<int64_t>(bytes.size()) / 1000;
    EXPECT_EQ(std::make_pair(int64_t{0}, total), progress.reports.front());
    EXPECT_EQ(std::make_pair(total, total), progress.reports.back());
}

TEST(TsReader, UnitSizeNeedsEightConsistentDistancesCoveringTheChunk) {
    bc::Bytes fifty = Recording(false).bytes(192);
    // Eight distances find the unit, seven are too few.
    bc::Bytes nine(fifty.begin(), fifty.begin() + 9 * 192), eight(fifty.begin(), fifty.begin() + 8 * 192);
    EXPECT_EQ(192, select_unit_size(nine.data(), nine.data() + nine.size()));
    EXPECT_EQ(0, select_unit_size(eight.data(), eight.data() + eight.size()));
    // Stray sync bytes inside packets do not disturb the count of the unit.
    for (size_t p = 100; p < fifty.size(); p += 192 * 5) fifty[p] = 0x47;
    EXPECT_EQ(192, select_unit_size(fifty.data(), fifty.data() + fifty.size()));
    // Mostly noise between the packets: the units cover too little of the chunk.
    bc::Bytes sparse(8192, 0x00);
    for (size_t p = 0; p < 9 * 188; p += 188) sparse[p] = 0x47;
    EXPECT_EQ(0, select_unit_size(sparse.data(), sparse.data() + sparse.size()));
    EXPECT_EQ(0, select_unit_size(sparse.data(), sparse.data()));

    // Without a packet structure the reader says so and stores nothing, and
    // the progress still ends complete.
    testing::internal::CaptureStderr();
    RecordingProgress progress;
    StorePtr store = readStore(eight, 0, &progress);
    EXPECT_EQ("error - failed on select_unit_size()\n", testing::internal::GetCapturedStderr());
    EXPECT_EQ(nullptr, store->services[0]);
    EXPECT_EQ(std::make_pair(int64_t{1}, int64_t{1}), progress.reports.back());

    testing::internal::CaptureStderr();
    readTransportStream(store.get(), "/nonexistent/dir/x.ts", &progress);
    EXPECT_EQ("error - failed on open(/nonexistent/dir/x.ts) [src]\n", testing::internal::GetCapturedStderr());
}

TEST(TsReader, ScheduleBeforeTheFirstTimeIsIgnored) {
    Recording r(false);
    r.add(bc::kEitPid, {schedule(1024, 0, 1, 2)});
    r.add(bc::kTotPid, {bc::totSection(kStart)});
    r.add(bc::kEitPid, {schedule(1024, 8, 1, 2)});
    StorePtr store = readStore(r.bytes());
    EXPECT_FALSE(has(storeListing(*store), "basic 0 "));
    EXPECT_TRUE(has(storeListing(*store), "basic 8 "));

    // A later file goes on with the time of the first.
    Recording second(false);
    second.add(bc::kEitPid, {schedule(1024, 16, 1, 2)});
    bc::Bytes bytes = second.bytes();
    readTransportStreamBytes(store.get(), bytes.data(), bytes.size(), nullptr);
    EXPECT_TRUE(has(storeListing(*store), "basic 16 "));
}

TEST(TsReader, SectionsAcrossPacketsBackToBackAndDamaged) {
    Recording r;
    // One long section over several packets, then short ones packed together.
    r.add(bc::kEitPid, {schedule(1024, 0, 1, 60)});
    r.add(bc::kEitPid, {schedule(1024, 1, 1, 1), schedule(1024, 2, 1, 1), schedule(1024, 3, 1, 1)});
    bc::Bytes damaged = schedule(1024, 4, 1, 2);
    damaged[30] ^= 0x01;
    r.add(bc::kEitPid, {damaged, schedule(1024, 5, 1, 1)}, false);
    std::string listing = readBytes(r.bytes());
    for (int seq : {0, 1, 2, 3, 5}) EXPECT_TRUE(has(listing, "basic " + std::to_string(seq) + " ")) << seq;
    EXPECT_FALSE(has(listing, "basic 4 "));

    // A lost packet in the middle of the long section: the CRC rejects what
    // was assembled, the next section is read again.
    Recording gap;
    gap.add(bc::kEitPid, {schedule(1024, 0, 1, 60)});
    gap.packets.erase(gap.packets.end() - 3);
    gap.add(bc::kEitPid, {schedule(1024, 1, 1, 1)});
    listing = readBytes(gap.bytes());
    EXPECT_FALSE(has(listing, "basic 0 "));
    EXPECT_TRUE(has(listing, "basic 1 "));
}

TEST(TsReader, PacketsThatMustBeSkipped) {
    Recording r;
    auto flagged = [&](uint8_t section, int byte, uint8_t clear, uint8_t set) {
        for (bc::Packet p : r.packetizer.sectionPackets(bc::kEitPid, schedule(1024, section, 1, 1))) {
            p[byte] = static_cast<uint8_t>((p[byte] & ~clear) | set);
            r.packets.push_back(p);
        }
    };
    flagged(0, 1, 0x00, 0x80);  // transport error
    flagged(1, 3, 0xC0, 0x40);  // scrambled (01)
    flagged(2, 3, 0x30, 0x00);  // no payload
    flagged(3, 3, 0xC0, 0x80);  // scrambling 10 is read
    std::string listing = readBytes(r.bytes());
    for (int n : {0, 1, 2}) EXPECT_FALSE(has(listing, "basic " + std::to_string(n) + " ")) << n;
    EXPECT_TRUE(has(listing, "basic 3 "));
}

TEST(TsReader, NetworkAndServiceTablesDescribeTelevisionServices) {
    // NIT: a BS entry listing its services before the satellite descriptor, and
    // a TS information descriptor naming one existing and one unknown service.
    bc::Bytes descriptors = bc::serviceListDescriptor({{101, 0x01}, {102, 0x01}, {103, 0xC0}});
    for (const bc::Bytes& d : {bc::satelliteDeliveryDescriptor({.frequency = 0x01172748}),
                               bc::tsInformationDescriptor({1, "ＢＳ朝日", {{0x0F, {101, 999}}}})})
        descriptors.insert(descriptors.end(), d.begin(), d.end());
    bc::Nit nit{.networkId = 4, .networkDescriptors = {}, .transportStreams = {{0x4010, 4, descriptors}}};
    // SDT of a CS network: a TV service, a data service, and a provider name
    // longer than the record's field.
    const bc::AribText longName = bc::AribText::raw(bc::Bytes(60, 0x21));
    bc::Sdt sdt{.transportStreamId = 1, .originalNetworkId = 6, .services = {
        {.serviceId = 1, .descriptors = bc::serviceDescriptor(0x01, "スカパー", "映画チャンネル")},
        {.serviceId = 2, .descriptors = bc::serviceDescriptor(0xC0, "スカパー", "データ")},
        {.serviceId = 3, .descriptors = bc::serviceDescriptor(0x01, longName, "")}}};
    Recording r(false);
    r.add(bc::kNitPid, {bc::nitSection(nit)});
    r.add(bc::kSdtPid, {bc::sdtSection(sdt)});
    StorePtr store = readStore(r.bytes());

    ASSERT_EQ(4, store->serviceCount);  // 103 and 2 are not TV services; 999 is never created
    for (int i = 0; i < 2; ++i) {
        const ServiceRecord& s = *store->services[i];
        EXPECT_EQ(101 + i, s.serviceId);
        EXPECT_EQ(4, s.networkClass());
        EXPECT_EQ(0x4010, s.transportStreamId);
        EXPECT_EQ(4, s.deliveryNetworkClass);
        EXPECT_EQ(0, std::memcmp(s.satelliteFrequency, "\x01\x17\x27\x48", 4));
    }
    const ServiceRecord &named = *store->services[0], &tv = *store->services[2], &wide = *store->services[3];
    EXPECT_EQ(1, named.remoteKeyId);
    EXPECT_EQ(bc::AribText("ＢＳ朝日").bytes, bc::Bytes(named.tsName, named.tsName + named.tsNameLength));
    EXPECT_EQ(0, store->services[1]->tsNameLength);
    EXPECT_EQ(bc::AribText("映画チャンネル").bytes, bc::Bytes(tv.serviceName, tv.serviceName + tv.serviceNameLength));
    EXPECT_EQ(3, wide.serviceId);
    EXPECT_EQ(50, wide.providerNameLength);
    EXPECT_EQ(0, wide.serviceNameLength);
}

TEST(TsReader, GarbageInTheMiddleCostsOnlyItsOwnBytes) {
    Recording whole = typicalRecording();
    const bc::Bytes head = whole.bytes();
    whole.filler(20);
    whole.add(bc::kEitPid, {schedule(1024, 40, 1, 3), schedule(1032, 41, 1, 3)});
    whole.filler(20);
    const bc::Bytes all = whole.bytes(), tail(all.begin() + head.size(), all.end());
    const std::string expected = readBytes(all);
    ASSERT_TRUE(has(expected, "basic 40 "));

    std::mt19937 random(7);
    for (size_t garbage : {size_t{1}, size_t{187}, size_t{1000}, size_t{20000}, size_t{3000000}}) {
        bc::Bytes bytes = head;
        // Random bytes, never the sync byte value.
        for (size_t i = 0; i < garbage; ++i) bytes.push_back(static_cast<uint8_t>((random() % 255 + 0x48) % 256));
        // Stray sync bytes every unit for a few units must not look like packets.
        for (size_t i = 0; i + 188 < garbage && i < 6 * 188; i += 188) bytes[head.size() + i] = 0x47;
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        for (size_t block : {size_t{0}, size_t{8192}, size_t{3001}})
            EXPECT_EQ(expected, readBytes(bytes, block)) << garbage << " bytes of garbage, block " << block;
    }
}

TEST(TsReader, StoppingEndsTheReadAndReportsCompletion) {
    Recording r = typicalRecording();
    r.filler(20000);  // several blocks
    r.add(bc::kEitPid, {schedule(1024, 60, 1, 1)});
    bc::Bytes bytes = r.bytes();

    RecordingProgress stopAtOnce(0);
    EXPECT_EQ(nullptr, readStore(bytes, 65536, &stopAtOnce)->services[0]);
    EXPECT_EQ(2u, stopAtOnce.reports.size());
    EXPECT_EQ(stopAtOnce.reports.back().first, stopAtOnce.reports.back().second);

    RecordingProgress stopLater(3);
    std::string partial = storeListing(*readStore(bytes, 65536, &stopLater));
    EXPECT_FALSE(has(partial, "basic 60 "));
    EXPECT_TRUE(has(partial, "tot "));
    EXPECT_EQ(stopLater.reports.back().first, stopLater.reports.back().second);

    // A closing store is not read at all.
    StorePtr closing(createStore());
    closing->closing = 1;
    readTransportStreamBytes(closing.get(), bytes.data(), bytes.size(), nullptr);
    EXPECT_EQ(0, closing->totYear);
}

TEST(TsReader, RealCapturesAndTheirTruncationsReadSafely) {
    int found = 0;  // captures, each with the step between the truncations tried
    for (auto [name, stride] : {std::pair<const char*, size_t>{"dvbt-full-si.ts", 4099}, {"isdbs-bs-scrambled.ts", 97},
                                {"isdbtb-204byte-units.ts", 53}, {"isdbt-eit-schedule.ts", 1}}) {
        bc::Bytes bytes = readWholeFile(std::string(CORVANE_SHARED_DATA) + "/" + name);
        if (bytes.empty()) continue;
        ++found;
        testing::internal::CaptureStderr();
        for (size_t cut = 0; cut <= bytes.size(); cut += stride) {
            readStore(bc::Bytes(bytes.begin(), bytes.begin() + cut), 4096);  // exactly the bytes kept, for ASan
        }
        testing::internal::GetCapturedStderr();
    }
    if (found == 0) GTEST_SKIP() << "no captures in " << CORVANE_SHARED_DATA;
}

TEST(TsReader, RealDvbCaptureRejectsItsDamagedSection) {
    bc::Bytes bytes = readWholeFile(std::string(CORVANE_SHARED_DATA) + "/dvbt-full-si.ts");
    if (bytes.empty()) GTEST_SKIP() << "capture missing";
    StorePtr store = readStore(bytes);
    std::string listing = storeListing(*store);
    EXPECT_EQ(5u, count(listing, "service "));
    EXPECT_EQ(1u, count(listing, "tot "));
    // Every stored section carries a CRC that checks.
    for (int i = 0; i < store->serviceCount; ++i) {
        const ServiceRecord& s = *store->services[i];
        for (int k = 0; k < kSlotsPerTable + 2; ++k) {
            const SectionSlot& slot = k < kSlotsPerTable ? s.basicAt(k) : s.presentFollowing[k - kSlotsPerTable];
            EXPECT_TRUE(!slot.data || bc::crc32Mpeg2(slot.data, slot.length) == 0) << i << " " << k;
        }
    }
}
