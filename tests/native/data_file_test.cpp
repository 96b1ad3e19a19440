#include "store/data_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "store/ts_reader.h"
#include "tools/broadcast/sample_recording.h"
#include "tools/broadcast/si_builder.h"

using namespace corvane;
namespace bc = corvane::broadcast;
namespace fs = std::filesystem;

namespace {

const int64_t kDay = 86400;
const int64_t kMonday = bc::broadcastTime(2026, 12, 7);

// A schedule section for slot `seq` (table_id and section_number from it), or
// present/following section `seq`, with one event.
bc::Bytes eit(uint8_t tableId, uint16_t serviceId, int seq, int64_t start, const bc::AribText& title) {
    const bc::Bytes descriptors =
        tableId == 0x58 ? bc::extendedEventDescriptors({{"内容", title}}) : bc::shortEventDescriptor(title, "説明");
    return bc::eitSection({.tableId = static_cast<uint8_t>(tableId + (tableId == 0x4E ? 0 : seq / 256)),
                           .serviceId = serviceId, .originalNetworkId = 0x7FE0, .version = 1,
                           .sectionNumber = static_cast<uint8_t>(seq % 256), .lastSectionNumber = 0xFF,
                           .events = {{.eventId = static_cast<uint16_t>(seq + 1), .start = start, .duration = 1800,
                                       .descriptors = descriptors}}});
}

void put(EpgStore* store, const bc::Bytes& section) { storeEitSection(store, section.data(), section.size()); }

bc::Bytes slotBytes(const SectionSlot& s) { return s.data ? bc::Bytes(s.data, s.data + s.length) : bc::Bytes(); }

// The slot of a record's file entry e: basic k and extended k alternate, then
// presentFollowing [0] and [1].
const SectionSlot& entrySlot(const ServiceRecord& r, int e) {
    return e >= 1024 ? r.presentFollowing[e - 1024] : e % 2 ? r.extendedAt(e / 2) : r.basicAt(e / 2);
}

// The sections a store holds (baselines aside), each checked to be whole by its
// own section_length.
int storedSections(const EpgStore& store) {
    int n = 0;
    for (int i = 0; i < store.serviceCount; ++i) {
        for (int e = 0; e < 1026; ++e) {
            const SectionSlot& slot = entrySlot(*store.services[i], e);
            n += slot.data != nullptr;
            EXPECT_TRUE(!slot.data || slot.length == ((slot.data[1] & 0x0F) << 8 | slot.data[2]) + 3) << e;
        }
    }
    return n;
}

bc::Bytes readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return bc::Bytes(std::istreambuf_iterator<char>(in), {});
}

// A fresh folder per test, removed afterwards.
struct TempFolder {
    const fs::path path = fs::path(testing::TempDir()) /
                          ("corvane_datafile_" + std::to_string(getpid()) + "_" +
                           testing::UnitTest::GetInstance()->current_test_info()->name());
    TempFolder() { fs::create_directories(path); }
    ~TempFolder() { fs::remove_all(path); }
    std::string file(const char* name) const { return (path / name).string(); }
    // Runs corvane-epg, which must succeed, and answers its standard output.
    std::string run(const std::string& arguments) const {
        EXPECT_EQ(0, std::system((CORVANE_TOOLS_DIR "/corvane-epg " + arguments + " >'" + file("out") + "'").c_str()));
        const bc::Bytes output = readWholeFile(file("out"));
        return std::string(output.begin(), output.end());
    }
};

uint16_t le16(const bc::Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

// An independent reader of the layout, by plain offsets: "Epg01", then for each
// service of the store in table order 161 bytes of fields and 1026 slot entries.
void expectFileHolds(const bc::Bytes& file, const EpgStore& store, bool updateCounts = true) {
    auto bytes = [&file](size_t at, size_t n) {  // cut at the end of the file
        return bc::Bytes(file.begin() + std::min(at, file.size()), file.begin() + std::min(at + n, file.size()));
    };
    EXPECT_EQ(bc::Bytes({'E', 'p', 'g', '0', '1'}), bytes(0, 5));
    size_t at = 5;
    for (int i = 0; i < store.serviceCount; ++i) {
        const ServiceRecord& r = *store.services[i];
        ASSERT_LE(at + 161, file.size());
        EXPECT_EQ(std::tuple(r.serviceId, r.networkWord, r.providerNameLength, r.serviceNameLength, r.remoteKeyId,
                             r.tsNameLength),
                  std::tuple(le16(file, at), le16(file, at + 2), le16(file, at + 54), le16(file, at + 106),
                             file[at + 108], le16(file, at + 159))) << "service " << i;
        for (auto [name, offset] : {std::pair{r.providerName, 4}, {r.serviceName, 56}, {r.tsName, 109}})
            EXPECT_EQ(bc::Bytes(name, name + 50), bytes(at + offset, 50)) << "service " << i << " at " << offset;
        at += 161;
        for (int e = 0; e < 1026; at += 4 + le16(file, at + 2), ++e) {
            ASSERT_LE(at + 4, file.size());
            const SectionSlot& slot = entrySlot(r, e);
            EXPECT_TRUE(!updateCounts || slot.updateCount == le16(file, at)) << "service " << i << " entry " << e;
            EXPECT_EQ(slotBytes(slot), bytes(at + 4, le16(file, at + 2))) << "service " << i << " entry " << e;
        }
    }
    EXPECT_EQ(file.size(), at);
}

// A hand-made data file of version '0' or '1': per record its service_id,
// networkWord 0, names of seven bytes and the given slot entries (others empty).
using Records = std::vector<std::pair<uint16_t, std::map<int, bc::Bytes>>>;
bc::Bytes dataFile(const Records& records, char version = '1') {
    bc::Bytes file = {'E', 'p', 'g', '0', static_cast<uint8_t>(version)};
    auto u16 = [&file](size_t v) { file.insert(file.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)}); };
    for (const auto& [id, entries] : records) {
        u16(id);
        u16(0);
        for (int name = 0; name < (version == '0' ? 2 : 3); ++name) {
            if (name == 2) file.push_back(3);  // remoteKeyId, then the TS name
            file.insert(file.end(), 50, 'n');
            u16(7);
        }
        for (int e = 0; e < 1026; ++e) {
            const bc::Bytes section = entries.contains(e) ? entries.at(e) : bc::Bytes();
            u16(7);
            u16(section.size());
            file.insert(file.end(), section.begin(), section.end());
        }
    }
    return file;
}

bool load(EpgStore* store, const bc::Bytes& file) { return readDataFileBytes(store, file.data(), file.size()); }

}  // namespace

TEST(DataFile, SavesWholeFilesAndReadsThemBack) {
    TempFolder folder;
    const std::string ts = folder.file("sample.ts"), dat = folder.file("sample.dat");
    StorePtr store(createStore());
    EXPECT_FALSE(writeDataFile(folder.file("missing/epg.dat").c_str(), *store));
    ASSERT_TRUE(writeDataFile(dat.c_str(), *store));
    EXPECT_EQ(bc::Bytes({'E', 'p', 'g', '0', '1'}), readWholeFile(dat));
    findOrCreateService(store.get(), 4, 101);
    ASSERT_TRUE(writeDataFile(dat.c_str(), *store));
    EXPECT_EQ(5u + 161 + 1026 * 4, readWholeFile(dat).size());
    expectFileHolds(readWholeFile(dat), *store);

    // A recording saved by the tool holds what the recording gives the store.
    std::string error;
    ASSERT_TRUE(bc::writeSampleRecording(bc::SampleOptions(), ts, error)) << error;
    folder.run("save '" + dat + "' '" + ts + "'");
    store.reset(createStore());
    readTransportStream(store.get(), ts.c_str(), nullptr);
    ASSERT_GT(storedSections(*store), 1000);
    expectFileHolds(readWholeFile(dat), *store);
    // With more sections, so that they straddle the reader's 1 MiB blocks, it
    // is saved and read again.
    for (int seq = 0; seq < 64; ++seq)
        put(store.get(), eit(0x58, 999, seq, kMonday + seq * 1350, std::string(700, 'x')));
    ASSERT_TRUE(writeDataFile(dat.c_str(), *store));
    const bc::Bytes file = readWholeFile(dat);
    ASSERT_GT(file.size(), 1u << 20);
    StorePtr loaded(createStore());
    ASSERT_TRUE(readDataFile(loaded.get(), dat.c_str()));
    EXPECT_EQ(std::tuple(1, 1), std::tuple(loaded->fileVersion, loaded->changed));
    expectFileHolds(file, *loaded, false);
    for (int i = 0; i < loaded->serviceCount; ++i) {
        for (int e = 0; e < 1026; ++e)
            EXPECT_EQ(int(e < 1024 && e % 2 == 0), entrySlot(*loaded->services[i], e).updateCount) << e;
    }

    // The disk fills up in the middle of a save (a file size limit makes the
    // writes fail): the old file stays, and no temporary file is left.
    rlimit limit;
    ASSERT_EQ(0, getrlimit(RLIMIT_FSIZE, &limit));
    signal(SIGXFSZ, SIG_IGN);  // a failed write rather than the end of the process
    const rlimit small = {16384, limit.rlim_max};
    ASSERT_EQ(0, setrlimit(RLIMIT_FSIZE, &small));
    EXPECT_FALSE(writeDataFile(dat.c_str(), *loaded));
    setrlimit(RLIMIT_FSIZE, &limit);
    EXPECT_EQ(file, readWholeFile(dat));
    EXPECT_EQ(3, std::distance(fs::directory_iterator(folder.path), {}));  // sample.ts, sample.dat, out

    // The listing has one line per event: LS1 and MSZ give half-width letters,
    // 0x09 is a control that shows nothing, a CR shows as "\r".
    store.reset(createStore());
    put(store.get(), eit(0x50, 1024, 76, kMonday + 3600, bc::AribText::raw({0x0E, 0x89, 'A', 0x09, 'B', 0x0D, 'C'})));
    ASSERT_TRUE(writeDataFile(dat.c_str(), *store));
    EXPECT_EQ(reinterpret_cast<const char*>(
                  u8"1024\t0\t77\t2026-12-07 01:00\t2026-12-07 01:30\t-1\t-1\t0\t0\tAB\\rC\t説明\n"),
              folder.run("list '" + dat + "'"));
}

TEST(DataFileRead, MergesIntoWhatARecordingLoaded) {
    // The recording: schedule of two days (baselines in slots 3 and 67),
    // extended schedule and present/following of 1024 and 1040.
    StorePtr store(createStore());
    for (uint16_t id : {1024, 1040}) {
        for (int seq : {3, 67}) put(store.get(), eit(0x50, id, seq, kMonday + seq / 64 * kDay + 3600, "録画"));
        put(store.get(), eit(0x58, id, 3, kMonday + 3600, "録画"));
        put(store.get(), eit(0x4E, id, 0, kMonday + 12 * 3600, "今"));
        put(store.get(), eit(0x4E, id, 1, kMonday + 13 * 3600, "次"));
    }
    ServiceRecord &s1024 = *store->services[0], &s1040 = *store->services[1];
    s1024.tsNameLength = 1;
    s1024.remoteKeyId = 9;
    const bc::Bytes following1040 = slotBytes(s1040.presentFollowing[1]), day1 = slotBytes(s1040.baselineAt(67));
    const bc::Bytes day0 = slotBytes(s1040.baselineAt(3));
    ASSERT_EQ(10, storedSections(*store));

    // A file of the same days, without TS information: 1024 with another
    // section, 1032 new.
    const bc::Bytes fileSection = eit(0x50, 1024, 5, kMonday + 7200, "ファイル");
    const Records records = {{1024, {{2 * 5, fileSection}}}, {1032, {{1024, eit(0x4E, 1032, 0, kMonday, "今")}}}};
    ASSERT_TRUE(load(store.get(), dataFile(records, '0')));
    EXPECT_EQ(std::tuple(0, 3), std::tuple(store->fileVersion, store->serviceCount));
    EXPECT_EQ(std::tuple(7, 1, 9), std::tuple(s1024.serviceNameLength, s1024.tsNameLength, s1024.remoteKeyId));
    EXPECT_EQ(fileSection, slotBytes(s1024.basicAt(5)));
    EXPECT_NE(nullptr, s1024.presentFollowing[1].data);  // the file had none there
    EXPECT_NE(nullptr, store->services[1]->presentFollowing[0].data);
    // 1040, not in the file, is kept with its present/following [1] and baselines.
    EXPECT_EQ(following1040, slotBytes(s1040.presentFollowing[1]));
    EXPECT_EQ(day0, slotBytes(s1040.baselineAt(3)));
    EXPECT_EQ(4, storedSections(*store));  // the recording's schedule and presentFollowing [0] are gone
    for (int i = 0; i < 3; ++i) EXPECT_EQ(1, store->services[i]->basicAt(100).updateCount);

    // A file one day later: every service's baselines move one day.
    ASSERT_TRUE(load(store.get(), dataFile({{1024, {{2 * 3, eit(0x50, 1024, 3, kMonday + kDay + 600, "翌日")}}}})));
    EXPECT_EQ(day1, slotBytes(s1040.baselineAt(3)));
    for (const ServiceRecord* r : {&s1024, &s1040}) EXPECT_TRUE(r->baselineAt(3).data && !r->baselineAt(67).data);
}

TEST(DataFileRead, DamagedFilesKeepWhatCanBeRead) {
    const bc::Bytes good = eit(0x50, 1024, 0, kMonday, "本物");
    const bc::Bytes late = eit(0x50, 1032, 200, kMonday + 5 * kDay, "遅い");
    // A whole section too short for an event, and one longer than its section_length says.
    const bc::Bytes tooShort = bc::finishSection(bc::Bytes(good.begin(), good.begin() + 14));
    bc::Bytes wrongLength = good;
    wrongLength[2] ^= 0x01;
    const Records records = {{1024, {{0, good}, {2, bc::Bytes(5, 0x50)}, {4, tooShort}, {6, wrongLength}, {8, good},
                                     {9, bc::Bytes(1000, 0xEE)}, {1025, good}}},
                             {1032, {{2, good}, {400, late}}}};
    bc::Bytes file = dataFile(records);
    file[5 + 159] = 51;  // the first TS name's length
    StorePtr store(createStore());
    ASSERT_TRUE(load(store.get(), file));
    EXPECT_EQ(5, storedSections(*store));  // entries that cannot be a stored section are skipped
    EXPECT_EQ(50, store->services[0]->tsNameLength);  // cut to its field

    // Cut inside the late section: what came before is kept, and every basic slot is marked.
    const size_t lateAt = std::search(file.begin(), file.end(), late.begin(), late.end()) - file.begin();
    store.reset(createStore());
    ASSERT_TRUE(readDataFileBytes(store.get(), file.data(), lateAt + 10));
    EXPECT_EQ(4, storedSections(*store));
    EXPECT_EQ(1, store->services[1]->basicAt(511).updateCount);
    // Cut at many offsets: nothing is read past the end of an exactly sized
    // copy, and what is kept only grows.
    int previous = 0;
    for (size_t n = 0; n <= file.size(); n += (n < 600 || file.size() - n < 600) ? 1 : 7) {
        store.reset(createStore());
        EXPECT_EQ(n >= 5, load(store.get(), bc::Bytes(file.begin(), file.begin() + n)));
        EXPECT_GE(storedSections(*store), previous) << "at " << n;
        previous = storedSections(*store);
    }
    EXPECT_EQ(5, previous);

    // Damaged at random (lengths, names, entries), read as either version and cut anywhere.
    std::mt19937 rng(1207);
    for (int iteration = 0; iteration < 300; ++iteration) {
        file = dataFile(records, iteration % 3 ? '1' : '0');
        for (int d = 0; d < 8; ++d) file[rng() % file.size()] = static_cast<uint8_t>(rng());
        store.reset(createStore());
        load(store.get(), bc::Bytes(file.begin(), file.begin() + (rng() % 2 ? rng() % file.size() : file.size())));
        storedSections(*store);
    }
}
