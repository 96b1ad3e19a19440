#include "store/data_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "store/epg_store.h"
#include "store/event_decode.h"
#include "store/ts_reader.h"
#include "tools/broadcast/packetizer.h"
#include "tools/broadcast/sample_recording.h"
#include "tools/broadcast/si_builder.h"
#include "tools/common/store_listing.h"

using namespace corvane;
namespace bc = corvane::broadcast;
namespace fs = std::filesystem;

namespace {

struct StoreDeleter {
    void operator()(EpgStore* s) const { destroyStore(s); }
};
using StorePtr = std::unique_ptr<EpgStore, StoreDeleter>;
StorePtr newStore() { return StorePtr(createStore()); }

const int64_t kDay = 86400;
const int64_t kMonday = bc::broadcastTime(2026, 12, 7);
const uint16_t kTerrestrial = 0x7FE0;

// A schedule or present/following section with one titled event.
bc::Bytes eit(uint8_t tableId, uint16_t serviceId, int seq, uint8_t version, int64_t start, const char* title,
              uint16_t onid = kTerrestrial) {
    bc::EitEvent e;
    e.eventId = static_cast<uint16_t>(seq + 1);
    e.start = start;
    e.duration = 1800;
    e.descriptors = (tableId & 0x0F) >= 8 ? bc::extendedEventDescriptors({{"内容", title}})
                                          : bc::shortEventDescriptor(title, "説明");
    bc::Eit s;
    s.tableId = static_cast<uint8_t>(tableId + (tableId == 0x4E ? 0 : seq / 256));
    s.serviceId = serviceId;
    s.transportStreamId = onid;
    s.originalNetworkId = onid;
    s.version = version;
    s.sectionNumber = static_cast<uint8_t>(seq % 256);
    s.lastSectionNumber = 0xFF;
    s.events = {e};
    return bc::eitSection(s);
}

void put(EpgStore* store, const bc::Bytes& section) { storeEitSection(store, section.data(), section.size()); }

void setName(uint8_t (&field)[kNameCapacity], uint16_t& length, const char* sjis) {
    bc::Bytes bytes = bc::AribText(sjis).bytes;
    std::memset(field, 0xA5, kNameCapacity);  // bytes past the length are written as they are
    length = static_cast<uint16_t>(std::min<size_t>(bytes.size(), kNameCapacity));
    std::memcpy(field, bytes.data(), length);
}

// Three services on two networks with names, TS information and sections in
// basic, extended and both present/following slots.
StorePtr filledStore(int basicPerService = 6) {
    StorePtr store = newStore();
    struct Service {
        uint16_t onid, id, channel;
        const char* name;
    } services[] = {{kTerrestrial, 1024, 27, "ひかり総合"}, {kTerrestrial, 1032, 0, "みなとテレビ"}, {4, 101, 0, "ＢＳひかり"}};
    for (const Service& s : services) {
        for (int n = 0; n < basicPerService; ++n) {
            int seq = (n * 97) % 512;
            put(store.get(), eit(0x50, s.id, seq, 1, kMonday + (seq / 64) * kDay + (seq % 64) * 1350, "番組", s.onid));
            put(store.get(), eit(0x58, s.id, seq, 1, kMonday + (seq / 64) * kDay + (seq % 64) * 1350, "詳しく", s.onid));
        }
        put(store.get(), eit(0x50, s.id, 0, 2, kMonday + 600, "新版", s.onid));  // a new version: updateCount 2
        put(store.get(), eit(0x4E, s.id, 0, 1, kMonday, "今", s.onid));
        put(store.get(), eit(0x4E, s.id, 1, 1, kMonday + 1800, "次", s.onid));
        int index = findOrCreateService(store.get(), networkClassOf(s.onid), s.id);
        ServiceRecord& r = *store->services[index];
        r.networkWord = static_cast<uint16_t>((r.networkWord & 0xF000) | s.channel);
        setName(r.providerName, r.providerNameLength, "放送局");
        setName(r.serviceName, r.serviceNameLength, s.name);
        setName(r.tsName, r.tsNameLength, "ＴＳ名");
        r.remoteKeyId = static_cast<uint8_t>(s.id % 12 + 1);
    }
    return store;
}

bc::Bytes readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return bc::Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeWholeFile(const std::string& path, const bc::Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder per test, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::path(testing::TempDir()) /
                ("corvane_datafile_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    std::string file(const char* name) const { return (path_ / name).string(); }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(path_)) out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    fs::path path_;
};

bc::Bytes saved(const EpgStore& store, const TempFolder& folder) {
    std::string path = folder.file("saved.dat");
    EXPECT_TRUE(writeDataFile(path.c_str(), store));
    return readWholeFile(path);
}

// --- An independent reader of the file layout, by plain offsets ------------

struct FileEntry {
    uint16_t updateCount = 0;
    bc::Bytes section;
};
struct FileRecord {
    uint16_t serviceId = 0, networkWord = 0;
    bc::Bytes providerName, serviceName, tsName;  // the whole 50-byte fields
    uint16_t providerNameLength = 0, serviceNameLength = 0, tsNameLength = 0;
    uint8_t remoteKeyId = 0;
    std::vector<FileEntry> entries;  // basic 0, extended 0, basic 1, ... pf 0, pf 1
};

uint16_t le16(const bc::Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

// Parses a whole version-1 file; fails the test on any inconsistency.
std::vector<FileRecord> parseDataFile(const bc::Bytes& file) {
    std::vector<FileRecord> records;
    EXPECT_GE(file.size(), 5u);
    if (file.size() < 5) return records;
    EXPECT_EQ("Epg01", std::string(file.begin(), file.begin() + 5));
    size_t at = 5;
    while (at < file.size()) {
        if (at + 161 > file.size()) {
            ADD_FAILURE() << "record header cut at " << at;
            break;
        }
        FileRecord r;
        r.serviceId = le16(file, at);
        r.networkWord = le16(file, at + 2);
        r.providerName.assign(file.begin() + at + 4, file.begin() + at + 54);
        r.providerNameLength = le16(file, at + 54);
        r.serviceName.assign(file.begin() + at + 56, file.begin() + at + 106);
        r.serviceNameLength = le16(file, at + 106);
        r.remoteKeyId = file[at + 108];
        r.tsName.assign(file.begin() + at + 109, file.begin() + at + 159);
        r.tsNameLength = le16(file, at + 159);
        at += 161;
        for (int e = 0; e < 1026; ++e) {
            if (at + 4 > file.size()) {
                ADD_FAILURE() << "slot entry cut at " << at;
                return records;
            }
            FileEntry entry;
            entry.updateCount = le16(file, at);
            size_t length = le16(file, at + 2);
            at += 4;
            if (at + length > file.size()) {
                ADD_FAILURE() << "section cut at " << at;
                return records;
            }
            entry.section.assign(file.begin() + at, file.begin() + at + length);
            at += length;
            r.entries.push_back(std::move(entry));
        }
        records.push_back(std::move(r));
    }
    return records;
}

bc::Bytes slotBytes(const SectionSlot& slot) {
    return slot.data ? bc::Bytes(slot.data, slot.data + slot.length) : bc::Bytes{};
}

// The file holds exactly the store's services, fields and slots.
void expectFileMatchesStore(const std::vector<FileRecord>& records, const EpgStore& store, bool updateCounts = true) {
    ASSERT_EQ(static_cast<size_t>(store.serviceCount), records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        const ServiceRecord& r = *store.services[i];
        const FileRecord& f = records[i];
        SCOPED_TRACE("service " + std::to_string(r.serviceId));
        EXPECT_EQ(r.serviceId, f.serviceId);
        EXPECT_EQ(r.networkWord, f.networkWord);
        EXPECT_EQ(bc::Bytes(r.providerName, r.providerName + 50), f.providerName);
        EXPECT_EQ(r.providerNameLength, f.providerNameLength);
        EXPECT_EQ(bc::Bytes(r.serviceName, r.serviceName + 50), f.serviceName);
        EXPECT_EQ(r.serviceNameLength, f.serviceNameLength);
        EXPECT_EQ(r.remoteKeyId, f.remoteKeyId);
        EXPECT_EQ(bc::Bytes(r.tsName, r.tsName + 50), f.tsName);
        EXPECT_EQ(r.tsNameLength, f.tsNameLength);
        ASSERT_EQ(1026u, f.entries.size());
        for (int k = 0; k < 512; ++k) {
            EXPECT_EQ(slotBytes(r.basicAt(k)), f.entries[2 * k].section) << "basic " << k;
            EXPECT_EQ(slotBytes(r.extendedAt(k)), f.entries[2 * k + 1].section) << "extended " << k;
            if (updateCounts) {
                EXPECT_EQ(r.basicAt(k).updateCount, f.entries[2 * k].updateCount) << "basic " << k;
                EXPECT_EQ(r.extendedAt(k).updateCount, f.entries[2 * k + 1].updateCount) << "extended " << k;
            }
        }
        EXPECT_EQ(slotBytes(r.presentFollowing[0]), f.entries[1024].section);
        EXPECT_EQ(slotBytes(r.presentFollowing[1]), f.entries[1025].section);
    }
}

// Every stored section is one the store could have kept.
void expectPlausibleStore(const EpgStore& store) {
    auto check = [](const SectionSlot& slot) {
        if (!slot.data) return;
        ASSERT_GE(slot.length, 19);
        EXPECT_EQ(slot.length, (((slot.data[1] & 0x0F) << 8) | slot.data[2]) + 3);
    };
    for (int i = 0; i < kMaxServices && store.services[i]; ++i) {
        const ServiceRecord& r = *store.services[i];
        EXPECT_LE(r.providerNameLength, kNameCapacity);
        EXPECT_LE(r.serviceNameLength, kNameCapacity);
        EXPECT_LE(r.tsNameLength, kNameCapacity);
        for (int k = 0; k < kSlotsPerTable; ++k) {
            check(r.basicAt(k));
            check(r.extendedAt(k));
        }
        check(r.presentFollowing[0]);
        check(r.presentFollowing[1]);
    }
}

int storedSections(const EpgStore& store) {
    int n = 0;
    for (int i = 0; i < kMaxServices && store.services[i]; ++i) {
        const ServiceRecord& r = *store.services[i];
        for (int k = 0; k < kSlotsPerTable; ++k) n += (r.basicAt(k).data != nullptr) + (r.extendedAt(k).data != nullptr);
        n += (r.presentFollowing[0].data != nullptr) + (r.presentFollowing[1].data != nullptr);
    }
    return n;
}

// A hand-made file: header, then records of raw fields and slot entries.
struct FileBuilder {
    bc::Bytes bytes;
    explicit FileBuilder(const char* header = "Epg01") : bytes(header, header + 5) {}
    void u16(unsigned v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    void name(const char* sjis, size_t claimedLength = SIZE_MAX) {
        bc::Bytes b = bc::AribText(sjis).bytes;
        b.resize(50, 0);
        bytes.insert(bytes.end(), b.begin(), b.end());
        u16(claimedLength == SIZE_MAX ? bc::AribText(sjis).bytes.size() : claimedLength);
    }
    void recordHeader(uint16_t id, uint16_t word, bool tsInformation = true) {
        u16(id);
        u16(word);
        name("放送局");
        name("サービス");
        if (tsInformation) {
            bytes.push_back(3);
            name("ＴＳ");
        }
    }
    void entry(const bc::Bytes& section, unsigned updateCount = 7) {
        u16(updateCount);
        u16(static_cast<unsigned>(section.size()));
        bytes.insert(bytes.end(), section.begin(), section.end());
    }
    // A record whose slot entries are given by index (others empty).
    void record(uint16_t id, uint16_t word, const std::vector<std::pair<int, bc::Bytes>>& entries, bool ts = true) {
        recordHeader(id, word, ts);
        for (int e = 0; e < 1026; ++e) {
            const bc::Bytes* section = nullptr;
            for (const auto& [index, bytes] : entries)
                if (index == e) section = &bytes;
            entry(section ? *section : bc::Bytes{});
        }
    }
};

}  // namespace

// --- Writing ------------------------------------------------------------------------

TEST(DataFileWrite, EmptyStoreAndEmptyServiceHaveExactSizes) {
    TempFolder folder;
    StorePtr store = newStore();
    bc::Bytes file = saved(*store, folder);
    EXPECT_EQ("Epg01", std::string(file.begin(), file.end()));

    findOrCreateService(store.get(), 4, 101);
    file = saved(*store, folder);
    EXPECT_EQ(5u + 161 + 1026 * 4, file.size());
    std::vector<FileRecord> records = parseDataFile(file);
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(101, records[0].serviceId);
    EXPECT_EQ(0x4000, records[0].networkWord);
    for (const FileEntry& e : records[0].entries) EXPECT_TRUE(e.section.empty() && e.updateCount == 0);
}

TEST(DataFile, SaveAndLoadReproduceTheStore) {
    TempFolder folder;
    StorePtr original = filledStore();
    bc::Bytes file = saved(*original, folder);
    // Records in table order with names as stored (bytes past the lengths too)
    // and the slots' counts and sections in their places.
    expectFileMatchesStore(parseDataFile(file), *original);
    EXPECT_EQ(2, le16(file, 5 + 161));  // basic 0 got a second version

    StorePtr loaded = newStore();
    ASSERT_TRUE(readDataFile(loaded.get(), folder.file("saved.dat").c_str()));
    EXPECT_EQ(1, loaded->fileVersion);
    EXPECT_EQ(1, loaded->changed);
    EXPECT_EQ(original->serviceCount, loaded->serviceCount);
    expectFileMatchesStore(parseDataFile(file), *loaded, false);
    for (int i = 0; i < loaded->serviceCount; ++i) {
        const ServiceRecord& r = *loaded->services[i];
        for (int k = 0; k < kSlotsPerTable; ++k) {
            EXPECT_EQ(1, r.basicAt(k).updateCount);
            EXPECT_EQ(0, r.extendedAt(k).updateCount);
            EXPECT_EQ(nullptr, r.baselineAt(k).data);
        }
        EXPECT_EQ(0, r.presentFollowing[0].updateCount);
        EXPECT_EQ(0, r.presentFollowing[1].updateCount);
    }
    // Saving what was loaded gives the same file but for the update counts.
    std::vector<FileRecord> again = parseDataFile(saved(*loaded, folder));
    expectFileMatchesStore(again, *original, false);
}

TEST(DataFileWrite, FailedSaveKeepsThePreviousFile) {
    TempFolder folder;
    StorePtr store = filledStore(40);
    const bc::Bytes previous = {'E', 'p', 'g', '0', '1'};

    // No such folder.
    EXPECT_FALSE(writeDataFile(folder.file("missing/epg.dat").c_str(), *store));
    EXPECT_TRUE(folder.names().empty());

    // The disk fills up in the middle of the save (a file size limit makes
    // the writes fail): the old file stays and no temporary file is left.
    const std::string target = folder.file("epg.dat");
    writeWholeFile(target, previous);
    struct rlimit saved_limit;
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &saved_limit));
    auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved_limit;
    small.rlim_cur = 16384;
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    bool ok = writeDataFile(target.c_str(), *store);
    setrlimit(RLIMIT_FSIZE, &saved_limit);
    signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(ok);
    EXPECT_EQ(previous, readWholeFile(target));
    EXPECT_EQ(std::vector<std::string>{"epg.dat"}, folder.names());

    // A target that cannot be replaced (a folder of that name) is left alone.
    fs::create_directory(folder.file("folder.dat"));
    EXPECT_FALSE(writeDataFile(folder.file("folder.dat").c_str(), *store));
    EXPECT_TRUE(fs::is_directory(folder.file("folder.dat")));
    EXPECT_EQ((std::vector<std::string>{"epg.dat", "folder.dat"}), folder.names());

    // A save that succeeds replaces the file.
    EXPECT_TRUE(writeDataFile(target.c_str(), *store));
    expectFileMatchesStore(parseDataFile(readWholeFile(target)), *store);
}

// --- Reading ------------------------------------------------------------------------

TEST(DataFileRead, NonDataFilesLeaveTheStoreAlone) {
    TempFolder folder;
    StorePtr store = filledStore(2);
    store->changed = 0;
    const std::string before = storeListing(*store);
    EXPECT_FALSE(readDataFile(store.get(), folder.file("none.dat").c_str()));
    for (const char* content : {"", "Ep", "EPG01", "\x47\x40\x11\x10"}) {
        writeWholeFile(folder.file("x.dat"), bc::Bytes(content, content + std::strlen(content)));
        EXPECT_FALSE(readDataFile(store.get(), folder.file("x.dat").c_str())) << content;
    }
    EXPECT_EQ(before, storeListing(*store));
    EXPECT_EQ(0, store->changed);

    // "Epg" alone is enough; the version is read like atoi.
    for (auto [header, version] : {std::pair{"Epg01", 1}, {"Epg7x", 7}, {"Epg 2", 2}, {"Epgab", 0}}) {
        FileBuilder f(header);
        EXPECT_TRUE(readDataFileBytes(store.get(), f.bytes.data(), f.bytes.size()));
        EXPECT_EQ(version, store->fileVersion) << header;
    }
}

TEST(DataFileRead, MergesIntoWhatARecordingLoaded) {
    // The recording: services 1024 and 1040 with every kind of slot.
    bc::Packetizer packetizer;
    bc::TsWriter recording;
    for (int i = 0; i < 40; ++i) recording.put(packetizer.fillerPacket());
    recording.put(packetizer.sectionPackets(bc::kTotPid, bc::totSection(kMonday + 12 * 3600)));
    for (uint16_t id : {1024, 1040}) {
        recording.put(packetizer.sectionPackets(
            bc::kEitPid, {eit(0x50, id, 3, 1, kMonday + 3600, "録画"), eit(0x58, id, 3, 1, kMonday + 3600, "録画"),
                          eit(0x4E, id, 0, 1, kMonday + 12 * 3600, "今"), eit(0x4E, id, 1, 1, kMonday + 13 * 3600, "次")}));
    }
    for (int i = 0; i < 40; ++i) recording.put(packetizer.fillerPacket());
    StorePtr store = newStore();
    readTransportStreamBytes(store.get(), recording.bytes().data(), recording.bytes().size(), nullptr);
    ASSERT_EQ(2, store->serviceCount);
    ASSERT_NE(nullptr, store->services[1]->presentFollowing[1].data);
    const bc::Bytes following1040 = slotBytes(store->services[1]->presentFollowing[1]);
    const bc::Bytes following1024 = slotBytes(store->services[0]->presentFollowing[1]);
    const bc::Bytes baseline1040 = slotBytes(store->services[1]->baselineAt(3));
    bool pidBuffersUsed = false;
    for (SectionBuffer* b : store->pidBuffers) pidBuffersUsed |= b != nullptr;
    EXPECT_TRUE(pidBuffersUsed);

    // The file: 1024 with other sections and its channel, 1032 new.
    FileBuilder f;
    const bc::Bytes fileSection = eit(0x50, 1024, 5, 4, kMonday + 7200, "ファイル");
    f.record(1024, 0x0000 | 27, {{2 * 5, fileSection}});
    f.record(1032, 0x0000, {{1024, eit(0x4E, 1032, 0, 1, kMonday, "今")}});
    ASSERT_TRUE(readDataFileBytes(store.get(), f.bytes.data(), f.bytes.size()));

    ASSERT_EQ(3, store->serviceCount);
    const ServiceRecord& s1024 = *store->services[0];
    const ServiceRecord& s1032 = *store->services[1];
    const ServiceRecord& s1040 = *store->services[2];
    EXPECT_EQ(1032, s1032.serviceId);
    EXPECT_EQ(27, s1024.physicalChannel());
    EXPECT_EQ(fileSection, slotBytes(s1024.basicAt(5)));
    EXPECT_EQ(nullptr, s1024.basicAt(3).data);   // the recording's sections are gone
    EXPECT_EQ(nullptr, s1024.extendedAt(3).data);
    EXPECT_EQ(nullptr, s1024.presentFollowing[0].data);
    EXPECT_EQ(following1024, slotBytes(s1024.presentFollowing[1]));  // the file had none there
    EXPECT_NE(nullptr, s1032.presentFollowing[0].data);
    // 1040 is not in the file: kept, with only its present/following [1] and baselines.
    EXPECT_EQ(1040, s1040.serviceId);
    EXPECT_EQ(4, storedSections(*store));
    EXPECT_EQ(following1040, slotBytes(s1040.presentFollowing[1]));
    EXPECT_EQ(baseline1040, slotBytes(s1040.baselineAt(3)));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(1, store->services[i]->basicAt(100).updateCount);
    for (SectionBuffer* b : store->pidBuffers) EXPECT_EQ(nullptr, b);
}

TEST(DataFileRead, VersionZeroRecordsHaveNoTsInformation) {
    StorePtr store = newStore();
    int index = findOrCreateService(store.get(), 0, 1024);
    ServiceRecord& r = *store->services[index];
    setName(r.tsName, r.tsNameLength, "古いＴＳ");
    r.remoteKeyId = 9;
    const bc::Bytes tsName(r.tsName, r.tsName + r.tsNameLength);

    const bc::Bytes section = eit(0x50, 1024, 3, 1, kMonday, "番組");
    FileBuilder f("Epg00");
    f.record(1024, 0x0012, {{6, section}}, false);
    f.record(1032, 0x0000, {}, false);
    ASSERT_EQ(5u + 2 * (108 + 1026 * 4) + section.size(), f.bytes.size());
    ASSERT_TRUE(readDataFileBytes(store.get(), f.bytes.data(), f.bytes.size()));
    EXPECT_EQ(0, store->fileVersion);
    ASSERT_EQ(2, store->serviceCount);
    EXPECT_EQ(0x0012, r.networkWord);
    EXPECT_EQ(bc::AribText("サービス").bytes, bc::Bytes(r.serviceName, r.serviceName + r.serviceNameLength));
    EXPECT_EQ(tsName, bc::Bytes(r.tsName, r.tsName + r.tsNameLength));
    EXPECT_EQ(9, r.remoteKeyId);
    EXPECT_EQ(section, slotBytes(r.basicAt(3)));
    EXPECT_EQ(1032, store->services[1]->serviceId);
}

TEST(DataFileRead, TruncatedFileKeepsWhatWasRead) {
    FileBuilder f;
    f.record(1024, 0, {{0, eit(0x50, 1024, 0, 1, kMonday, "一")}, {1025, eit(0x4E, 1024, 1, 1, kMonday, "次")}});
    const size_t secondRecord = f.bytes.size();
    const bc::Bytes early = eit(0x50, 1032, 1, 1, kMonday, "早い");
    const bc::Bytes late = eit(0x50, 1032, 200, 1, kMonday + 5 * kDay, "遅い");
    f.record(1032, 0, {{2, early}, {400, late}});

    // Cut in the middle of the late section.
    const size_t lateData = secondRecord + 161 + 400 * 4 + early.size() + 4;
    ASSERT_EQ(late, bc::Bytes(f.bytes.begin() + lateData, f.bytes.begin() + lateData + late.size()));
    bc::Bytes cut(f.bytes.begin(), f.bytes.begin() + lateData + 10);
    StorePtr store = newStore();
    ASSERT_TRUE(readDataFileBytes(store.get(), cut.data(), cut.size()));
    ASSERT_EQ(2, store->serviceCount);
    EXPECT_NE(nullptr, store->services[0]->presentFollowing[1].data);
    EXPECT_EQ(early, slotBytes(store->services[1]->basicAt(1)));
    EXPECT_EQ(nullptr, store->services[1]->basicAt(200).data);
    EXPECT_EQ(1, store->changed);
    EXPECT_EQ(1, store->services[1]->basicAt(511).updateCount);

    // Cut inside the second record's names: the service exists with what was read.
    cut.assign(f.bytes.begin(), f.bytes.begin() + secondRecord + 4 + 52 + 20);
    store = newStore();
    readDataFileBytes(store.get(), cut.data(), cut.size());
    ASSERT_EQ(2, store->serviceCount);
    EXPECT_EQ(bc::AribText("放送局").bytes.size(), store->services[1]->providerNameLength);
    EXPECT_EQ(0, store->services[1]->serviceNameLength);

    // Cut at every offset: nothing read past the end, and what is kept only grows.
    int previous = 0;
    for (size_t n = 0; n <= f.bytes.size(); n += (n < 600 || f.bytes.size() - n < 600) ? 1 : 7) {
        std::unique_ptr<uint8_t[]> exact(new uint8_t[n + 1]);
        std::memcpy(exact.get(), f.bytes.data(), n);
        StorePtr s = newStore();
        bool read = readDataFileBytes(s.get(), exact.get(), n);
        EXPECT_EQ(n >= 5, read);
        expectPlausibleStore(*s);
        int count = storedSections(*s);
        EXPECT_GE(count, previous) << "at " << n;
        previous = count;
    }
    EXPECT_EQ(4, previous);
}

TEST(DataFileRead, EntriesThatCannotBeSectionsAreSkipped) {
    bc::Bytes good = eit(0x50, 1024, 0, 1, kMonday, "本物");
    bc::Bytes tooShort = good;
    tooShort.resize(18);
    tooShort[1] = 0xF0, tooShort[2] = 15;  // consistent, but no event could be in it
    bc::Bytes wrongLength = good;
    wrongLength[2] ^= 0x01;
    bc::Bytes garbage(1000, 0xEE);
    FileBuilder f;
    f.record(1024, 0, {{0, good}, {2, bc::Bytes(5, 0x50)}, {4, tooShort}, {6, wrongLength}, {8, good},
                       {9, garbage}, {1025, good}});
    f.record(1032, 0, {{0, good}});
    StorePtr store = newStore();
    ASSERT_TRUE(readDataFileBytes(store.get(), f.bytes.data(), f.bytes.size()));
    ASSERT_EQ(2, store->serviceCount);
    const ServiceRecord& r = *store->services[0];
    EXPECT_EQ(good, slotBytes(r.basicAt(0)));
    for (int k : {1, 2, 3}) EXPECT_EQ(nullptr, r.basicAt(k).data) << k;
    EXPECT_EQ(good, slotBytes(r.basicAt(4)));
    EXPECT_EQ(nullptr, r.extendedAt(4).data);
    EXPECT_EQ(good, slotBytes(r.presentFollowing[1]));
    EXPECT_EQ(good, slotBytes(store->services[1]->basicAt(0)));

    // Name lengths beyond their fields are cut to the field.
    FileBuilder names;
    names.u16(1024), names.u16(0);
    names.name("名前", 0xFFFF), names.name("名前", 51);
    names.bytes.push_back(1);
    names.name("名前", 50);
    store = newStore();
    readDataFileBytes(store.get(), names.bytes.data(), names.bytes.size());
    EXPECT_EQ(50, store->services[0]->providerNameLength);
    EXPECT_EQ(50, store->services[0]->serviceNameLength);
    EXPECT_EQ(50, store->services[0]->tsNameLength);
}

TEST(DataFileRead, HostileFilesStayInBounds) {
    std::mt19937 rng(1207);
    const bc::Bytes good = eit(0x58, 1024, 0, 1, kMonday, "本物");
    for (int iteration = 0; iteration < 60; ++iteration) {
        FileBuilder f(iteration % 3 ? "Epg01" : "Epg00");
        int records = 1 + static_cast<int>(rng() % 3);
        for (int rec = 0; rec < records; ++rec) {
            f.recordHeader(static_cast<uint16_t>(rng()), static_cast<uint16_t>(rng()), iteration % 3 != 0);
            for (int e = 0; e < 1026; ++e) {
                switch (rng() % 16) {
                    case 0: {  // random bytes of a random length
                        bc::Bytes b(rng() % 300);
                        for (auto& x : b) x = static_cast<uint8_t>(rng());
                        f.entry(b);
                        break;
                    }
                    case 1: {  // a real section with random damage inside
                        bc::Bytes b = good;
                        for (int d = 0; d < 4; ++d) b[14 + rng() % (b.size() - 14)] = static_cast<uint8_t>(rng());
                        f.entry(b);
                        break;
                    }
                    case 2: f.entry(good); break;
                    default: f.entry({});
                }
            }
        }
        if (rng() % 2) f.bytes.resize(rng() % f.bytes.size());
        std::unique_ptr<uint8_t[]> exact(new uint8_t[f.bytes.size() + 1]);
        std::memcpy(exact.get(), f.bytes.data(), f.bytes.size());
        StorePtr store = newStore();
        readDataFileBytes(store.get(), exact.get(), f.bytes.size());
        expectPlausibleStore(*store);
        // Whatever was kept decodes inside its section.
        for (int i = 0; i < store->serviceCount; ++i) {
            const ServiceRecord& r = *store->services[i];
            for (int k = 0; k < kSlotsPerTable; ++k) {
                for (const SectionSlot* slot : {&r.basicAt(k), &r.extendedAt(k)}) {
                    EventCursor cursor(*slot);
                    while (EventView event = cursor.next()) {
                        EventSummary s = readEventSummary(event);
                        EXPECT_LE(std::strlen(s.name), kEventNameMax);
                        StringTextSink sink;
                        assembleExtendedText(event, sink);
                    }
                }
            }
        }
    }

    // More than 300 records: the rest are not loaded.
    FileBuilder many;
    for (int id = 1; id <= 302; ++id) many.record(static_cast<uint16_t>(id), 0, {});
    StorePtr store = newStore();
    readDataFileBytes(store.get(), many.bytes.data(), many.bytes.size());
    EXPECT_EQ(kMaxServices, store->serviceCount);
    EXPECT_EQ(300, store->services[299]->serviceId);
}

TEST(DataFileRead, BaselinesFollowTheLoadedDay) {
    // Baselines of day 0, 1 and 2 in slots 0, 64 and 128 of two services.
    StorePtr store = newStore();
    for (uint16_t id : {1024, 1032})
        for (int day = 0; day < 3; ++day) put(store.get(), eit(0x50, id, day * 64, 1, kMonday + day * kDay, "基準"));
    const bc::Bytes day1 = slotBytes(store->services[1]->baselineAt(64));
    const bc::Bytes day2 = slotBytes(store->services[1]->baselineAt(128));

    // Sections of the same days: the baselines stay.
    FileBuilder same;
    same.record(1024, 0, {{0, eit(0x50, 1024, 0, 2, kMonday + 600, "同じ日")}});
    ASSERT_TRUE(readDataFileBytes(store.get(), same.bytes.data(), same.bytes.size()));
    EXPECT_EQ(day1, slotBytes(store->services[1]->baselineAt(64)));

    // A file one day later: every service's baselines move one day.
    FileBuilder later;
    later.record(1024, 0, {{0, eit(0x50, 1024, 0, 2, kMonday + kDay, "翌日")},
                           {2 * 64, eit(0x50, 1024, 64, 2, kMonday + 2 * kDay, "翌々日")}});
    ASSERT_TRUE(readDataFileBytes(store.get(), later.bytes.data(), later.bytes.size()));
    for (int i = 0; i < 2; ++i) {
        const ServiceRecord& r = *store->services[i];
        EXPECT_NE(nullptr, r.baselineAt(0).data);
        EXPECT_NE(nullptr, r.baselineAt(64).data);
        EXPECT_EQ(nullptr, r.baselineAt(128).data);
        EXPECT_EQ(1, r.basicAt(0).updateCount);
    }
    EXPECT_EQ(day1, slotBytes(store->services[1]->baselineAt(0)));
    EXPECT_EQ(day2, slotBytes(store->services[1]->baselineAt(64)));
}

TEST(DataFileRead, FileAndMemoryReadAlike) {
    // Large enough for sections to straddle the reader's blocks.
    TempFolder folder;
    StorePtr original = newStore();
    const std::string title(200, 'x');
    for (uint16_t id = 1; id <= 6; ++id) {
        for (int seq = 0; seq < kSlotsPerTable; ++seq) {
            put(original.get(), eit(0x50, id, seq, 1, kMonday + seq * 1350, title.c_str()));
            put(original.get(), eit(0x58, id, seq, 1, kMonday + seq * 1350, title.c_str()));
        }
    }
    bc::Bytes file = saved(*original, folder);
    ASSERT_GT(file.size(), 1u << 20);
    StorePtr fromFile = newStore(), fromMemory = newStore();
    ASSERT_TRUE(readDataFile(fromFile.get(), folder.file("saved.dat").c_str()));
    ASSERT_TRUE(readDataFileBytes(fromMemory.get(), file.data(), file.size()));
    EXPECT_EQ(storeListing(*fromMemory), storeListing(*fromFile));
    expectFileMatchesStore(parseDataFile(file), *fromFile, false);
}

// --- The command-line tool ----------------------------------------------------------

namespace {

struct ToolRun {
    int status = -1;
    std::string output;
};

ToolRun runTool(const std::string& arguments, bool withStderr = false) {
    std::string command = std::string(CORVANE_TOOLS_DIR) + "/corvane-epg " + arguments + (withStderr ? " 2>&1" : "");
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

}  // namespace

TEST(CorvaneEpgTool, SavesAndListsARecording) {
    TempFolder folder;
    bc::SampleOptions options;
    options.year = 2026, options.month = 12, options.day = 7;
    options.days = 2;
    std::string error;
    const std::string ts = folder.file("sample.ts");
    ASSERT_TRUE(bc::writeSampleRecording(options, ts, error)) << error;
    const std::string dat = folder.file("sample.dat");

    ToolRun save = runTool("save '" + dat + "' '" + ts + "'", true);
    ASSERT_EQ(0, save.status) << save.output;

    // The file, read by offsets, holds what the recording gives the store.
    StorePtr store = newStore();
    readTransportStream(store.get(), ts.c_str(), nullptr);
    ASSERT_GT(store->serviceCount, 5);
    std::vector<FileRecord> records = parseDataFile(readWholeFile(dat));
    expectFileMatchesStore(records, *store);
    int sections = 0;
    for (const FileRecord& r : records) {
        for (const FileEntry& e : r.entries) {
            if (e.section.empty()) continue;
            ++sections;
            EXPECT_EQ(0u, bc::crc32Mpeg2(e.section));
        }
    }
    EXPECT_GT(sections, 100);

    // Listing the data file gives what listing the recording gives.
    ToolRun fromRecording = runTool("list '" + ts + "'");
    ToolRun fromFile = runTool("list '" + dat + "'");
    ASSERT_EQ(0, fromFile.status);
    EXPECT_EQ(fromRecording.output, fromFile.output);
    ASSERT_FALSE(fromFile.output.empty());
    const std::string firstLine = fromFile.output.substr(0, fromFile.output.find('\n'));
    EXPECT_EQ(0u, firstLine.find("1024\t0\t"));
    EXPECT_NE(std::string::npos, firstLine.find("\t2026-12-07 00:00\t"));
    size_t tabs = 0;
    for (char c : firstLine) tabs += c == '\t';
    EXPECT_EQ(10u, tabs);
    EXPECT_NE(std::string::npos, fromFile.output.find(utf8(u8"\tニュース")));

    // A save that fails says so and exits non-zero.
    ToolRun failed = runTool("save '" + folder.file("missing/x.dat") + "' '" + dat + "'", true);
    EXPECT_NE(0, failed.status);
    EXPECT_NE(std::string::npos, failed.output.find("cannot save"));
}

TEST(CorvaneEpgTool, ListEscapesControlCharacters) {
    TempFolder folder;
    StorePtr store = newStore();
    bc::EitEvent e;
    e.eventId = 77;
    e.start = kMonday + 3600;
    e.duration = 1800;
    // LS1 and MSZ: half-width letters; 0x09 is a control that shows nothing.
    e.descriptors = bc::shortEventDescriptor(bc::AribText::raw({0x0E, 0x89, 'A', 0x09, 'B', 0x0D, 'C'}), "一\n二");
    bc::Eit s;
    s.tableId = 0x50;
    s.serviceId = 1024;
    s.originalNetworkId = kTerrestrial;
    s.events = {e};
    put(store.get(), bc::eitSection(s));
    ASSERT_TRUE(writeDataFile(folder.file("one.dat").c_str(), *store));
    ToolRun list = runTool("list '" + folder.file("one.dat") + "'");
    ASSERT_EQ(0, list.status);
    EXPECT_EQ(utf8(u8"1024\t0\t77\t2026-12-07 01:00\t2026-12-07 01:30\t-1\t-1\t0\t0\tAB\\rC\t一\\r二\n"), list.output);
}
