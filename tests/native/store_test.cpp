#include "store/data_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "store/epg_store.h"
#include "store/ts_reader.h"
#include "support/guide_fixture.h"
#include "support/store_sections.h"
#include "tools/broadcast/sample_recording.h"

using namespace corvane;
namespace bc = corvane::broadcast;
namespace fs = std::filesystem;

namespace {

// A schedule section for slot `seq` (table_id and section_number from it), or
// present/following section `seq`, with one event.
bc::Bytes sectionOf(uint8_t tableId, uint16_t serviceId, int seq, int64_t start, const bc::AribText& title) {
    return eit(tableId + (tableId == 0x4E ? 0 : seq / 256), serviceId, seq % 256, 1,
               {event(seq + 1, start, 30, tableId == 0x58 ? bc::extendedEventDescriptors({{"内容", title}})
                                                          : bc::shortEventDescriptor(title, "説明"))});
}

// The slot of a record's file entry e: basic k and extended k alternate, then
// presentFollowing [0] and [1].
const SectionSlot& entrySlot(const ServiceRecord& r, int e) {
    return e >= 1024 ? r.presentFollowing[e - 1024] : e % 2 ? r.extendedAt(e / 2) : r.basicAt(e / 2);
}

// The sections a store holds (baselines aside), each checked to be whole by its
// own section_length.
int storedSections(const EpgStore& store) {
    int n = 0;
    for (int i = 0; i < store.serviceCount; ++i)
        for (int e = 0; e < 1026; ++e) {
            const SectionSlot& slot = entrySlot(*store.services[i], e);
            n += slot.data != nullptr;
            EXPECT_TRUE(!slot.data || slot.length == ((slot.data[1] & 0x0F) << 8 | slot.data[2]) + 3) << e;
        }
    return n;
}

// A fresh folder, removed afterwards.
struct TempFolder {
    const fs::path path = fs::path(testing::TempDir()) / ("corvane_datafile_" + std::to_string(getpid()));
    TempFolder() { fs::create_directories(path); }
    ~TempFolder() { fs::remove_all(path); }
    std::string file(const char* name) const { return (path / name).string(); }
};

uint16_t le16(const bc::Bytes& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

// An independent reader of the layout, by plain offsets: "Epg01", then for each
// service of the store in table order 161 bytes of fields and 1026 slot entries.
// A store `loaded` from the file counts one update in each basic slot, none elsewhere.
void expectFileHolds(const bc::Bytes& file, const EpgStore& store, bool loaded = false) {
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
            EXPECT_EQ(loaded ? e < 1024 && e % 2 == 0 : le16(file, at), slot.updateCount)
                << "service " << i << " entry " << e;
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
    auto u16 = [&file](std::initializer_list<size_t> values) {
        for (size_t v : values) file.insert(file.end(), {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)});
    };
    for (const auto& [id, entries] : records) {
        u16({id, 0});
        for (int name = 0; name < (version == '0' ? 2 : 3); ++name) {
            if (name == 2) file.push_back(3);  // remoteKeyId, then the TS name
            file.insert(file.end(), 50, 'n');
            u16({7});
        }
        for (int e = 0; e < 1026; ++e) {
            const bc::Bytes section = entries.contains(e) ? entries.at(e) : bc::Bytes();
            u16({7, section.size()});
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

    // A recording saved by the tool holds what the recording gives the store.
    std::string error;
    ASSERT_TRUE(bc::writeSampleRecording(bc::SampleOptions(), ts, error)) << error;
    ASSERT_EQ(0, std::system((CORVANE_TOOLS_DIR "/corvane-epg save '" + dat + "' '" + ts + "'").c_str()));
    store.reset(createStore());
    readTransportStream(store.get(), ts.c_str(), nullptr);
    ASSERT_GT(storedSections(*store), 1000);
    expectFileHolds(readWholeFile(dat), *store);
    // With more sections, so that they straddle the reader's 1 MiB blocks, it
    // is saved and read again.
    for (int seq = 0; seq < 64; ++seq)
        put(store.get(), sectionOf(0x58, 999, seq, at(0, 0) + seq * 1350, std::string(700, 'x')));
    ASSERT_TRUE(writeDataFile(dat.c_str(), *store));
    const bc::Bytes file = readWholeFile(dat);
    ASSERT_GT(file.size(), 1u << 20);
    StorePtr loaded(createStore());
    ASSERT_TRUE(readDataFile(loaded.get(), dat.c_str()));
    EXPECT_EQ(std::tuple(1, 1), std::tuple(loaded->fileVersion, loaded->changed));
    expectFileHolds(file, *loaded, true);
    // Sections past the bytes kept in one block are copied, one of them across its end.
    loaded.reset(createStore());
    ASSERT_TRUE(readDataFileBytes(loaded.get(), file.data(), file.size(), file.size() / 2));
    expectFileHolds(file, *loaded, true);

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
    EXPECT_EQ(2, std::distance(fs::directory_iterator(folder.path), {}));  // sample.ts and sample.dat
}

TEST(DataFileRead, MergesIntoWhatARecordingLoaded) {
    // The recording: schedule of two days (baselines in slots 3 and 67),
    // extended schedule and present/following of 1024 and 1040.
    StorePtr store(createStore());
    for (uint16_t id : {1024, 1040})
        for (auto [table, seq] : {std::pair<uint8_t, int>{0x50, 3}, {0x50, 67}, {0x58, 3}, {0x4E, 0}, {0x4E, 1}})
            put(store.get(), sectionOf(table, id, seq, at(seq / 64, table == 0x4E ? 12 + seq : 1), "録画"));
    ServiceRecord &s1024 = *store->services[0], &s1040 = *store->services[1];
    s1024.tsNameLength = 1;
    s1024.remoteKeyId = 9;
    const bc::Bytes following1040 = slotBytes(s1040.presentFollowing[1]), day1 = slotBytes(s1040.baselineAt(67));
    ASSERT_EQ(10, storedSections(*store));

    // A file of the same days, without TS information: 1024 with another
    // section, 1032 new.
    const bc::Bytes fileSection = sectionOf(0x50, 1024, 5, at(0, 2), "ファイル");
    const Records records = {{1024, {{2 * 5, fileSection}}}, {1032, {{1024, sectionOf(0x4E, 1032, 0, at(0, 0), "今")}}}};
    ASSERT_TRUE(load(store.get(), dataFile(records, '0')));
    EXPECT_EQ(std::tuple(0, 3), std::tuple(store->fileVersion, store->serviceCount));
    EXPECT_EQ(std::tuple(7, 1, 9), std::tuple(s1024.serviceNameLength, s1024.tsNameLength, s1024.remoteKeyId));
    EXPECT_EQ(fileSection, slotBytes(s1024.basicAt(5)));
    // 1024 keeps the present/following [1] the file had not; 1032 has the file's [0].
    EXPECT_TRUE(s1024.presentFollowing[1].data && store->services[1]->presentFollowing[0].data);
    // 1040, not in the file, is kept with its present/following [1] and baselines.
    EXPECT_EQ(following1040, slotBytes(s1040.presentFollowing[1]));
    EXPECT_EQ(sectionOf(0x50, 1040, 3, at(0, 1), "録画"), slotBytes(s1040.baselineAt(3)));
    EXPECT_EQ(4, storedSections(*store));  // the recording's schedule and presentFollowing [0] are gone

    // A file one day later: every service's baselines move one day.
    ASSERT_TRUE(load(store.get(), dataFile({{1024, {{2 * 3, sectionOf(0x50, 1024, 3, at(1, 0, 10), "翌日")}}}})));
    EXPECT_EQ(day1, slotBytes(s1040.baselineAt(3)));
    for (const ServiceRecord* r : {&s1024, &s1040}) EXPECT_TRUE(r->baselineAt(3).data && !r->baselineAt(67).data);
}

TEST(DataFileRead, ASectionRolledOutOfTheLoadedScheduleOutlivesTheNextLoad) {
    // Present/following [1], which a load keeps, gets the last extended
    // section of the day that passes; the next file, as long as the first,
    // is read into the memory that held the first one.
    const bc::Bytes rolled = sectionOf(0x58, 1024, 3, at(0, 1), "前日");
    StorePtr store(createStore());
    ASSERT_TRUE(load(store.get(), dataFile({{1024, {{2 * 3 + 1, rolled}}}})));
    put(store.get(), sectionOf(0x58, 1024, 3, at(1, 1), "翌日"));
    const ServiceRecord& r = *store->services[0];
    ASSERT_EQ(rolled, slotBytes(r.presentFollowing[1]));
    const bc::Bytes next = sectionOf(0x58, 1024, 3, at(1, 1), "別日");
    for (int again = 0; again < 2; ++again) {
        ASSERT_TRUE(load(store.get(), dataFile({{1024, {{2 * 3 + 1, next}}}})));
        EXPECT_EQ(rolled, slotBytes(r.presentFollowing[1]));
        EXPECT_EQ(next, slotBytes(r.extendedAt(3)));
    }
}

TEST(DataFileRead, DamagedFilesKeepWhatCanBeRead) {
    const bc::Bytes good = sectionOf(0x50, 1024, 0, at(0, 0), "真"), late = sectionOf(0x50, 1032, 200, at(5, 0), "遅");
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
    // Entries that cannot be a stored section are skipped, the TS name is cut to its field.
    EXPECT_EQ(std::pair(5, 50), std::pair(storedSections(*store), int{store->services[0]->tsNameLength}));

    // Cut inside the late section: what came before is kept, and every basic slot is marked.
    const size_t lateAt = std::search(file.begin(), file.end(), late.begin(), late.end()) - file.begin();
    store.reset(createStore());
    ASSERT_TRUE(readDataFileBytes(store.get(), file.data(), lateAt + 10));
    EXPECT_EQ(std::pair(4, 1), std::pair(storedSections(*store), int{store->services[1]->basicAt(511).updateCount}));
}

namespace {

// The id of the first event of a stored section; -1 for an empty slot.
int firstEventId(const SectionSlot& slot) { return slot.data ? (slot.data[14] << 8) | slot.data[15] : -1; }

const int64_t kDay = 86400;
const int64_t kMonday = at(0, 0);

}  // namespace

TEST(EpgStore, ServicesAreKeptSortedUpToThreeHundred) {
    StorePtr store(createStore());
    // (network, service_id, index): BS with the same id is a second record.
    for (auto [network, id, index] : {std::tuple{0, 1032, 0}, {0, 1024, 0}, {4, 1024, 2}, {0, 1032, 1}})
        EXPECT_EQ(index, findOrCreateService(store.get(), network, id)) << id;
    EXPECT_EQ(std::tuple(3, 1024, 0x4000),
              std::tuple(store->serviceCount, store->services[0]->serviceId, store->services[2]->networkWord));

    store.reset(createStore());
    for (int id = 1; id <= kMaxServices; ++id) ASSERT_EQ(id - 1, findOrCreateService(store.get(), 0, id * 2));
    EXPECT_EQ(kMaxServices, findOrCreateService(store.get(), 0, 1));      // would sort first
    EXPECT_EQ(kMaxServices, findOrCreateService(store.get(), 6, 5));      // would sort last
    EXPECT_EQ(149, findOrCreateService(store.get(), 0, 300));             // existing ones still found
    // Sections for a service that has no room are dropped.
    put(store.get(), eit(0x50, 7, 0, 1, {event(1, kMonday, 30)}));
    EXPECT_EQ(0, store->changed);
}

TEST(EpgStore, SectionsGoToTheirSlotsOrAreDropped) {
    StorePtr store(createStore());
    // Present/following has two slots only, "other" present/following (0x4F) is
    // not kept, nor are tables beyond the first two of a kind (0x52, 0x5A).
    for (auto [table, section] : {std::pair<uint8_t, uint8_t>{0x4E, 0}, {0x4E, 1}, {0x4E, 2}, {0x4F, 0}, {0x50, 9},
                                  {0x51, 3}, {0x59, 4}, {0x52, 5}, {0x5A, 6}})
        put(store.get(), eit(table, 100, section, 0, {event(1, kMonday + 3600, 30)}));
    put(store.get(), eit(0x50, 100, 7, 0, {}));  // no event: section_length 15

    ASSERT_EQ(1, store->serviceCount);
    const ServiceRecord& r = *store->services[0];
    // Basic slots get their first copy as baseline, extended ones none.
    for (const SectionSlot* slot : {&r.presentFollowing[0], &r.presentFollowing[1], &r.basicAt(9), &r.basicAt(256 + 3),
                                    &r.extendedAt(256 + 4), &r.baselineAt(9)})
        EXPECT_NE(nullptr, slot->data);
    EXPECT_EQ(nullptr, r.baselineAt(256 + 4).data);
    int stored = 0;
    for (int k = 0; k < kSlotsPerTable; ++k)
        stored += (r.basicAt(k).data != nullptr) + (r.extendedAt(k).data != nullptr);
    EXPECT_EQ(3, stored);

    // Actual and other schedules of one service share a slot.
    put(store.get(), eit(0x60, 100, 9, 3, {event(2, kMonday + 3600, 60)}));
    EXPECT_EQ(0x60, r.basicAt(9).data[0]);
}

TEST(EpgStore, VersionsCountUpdatesAndSlotsKeepTheLatestCopy) {
    StorePtr store(createStore());
    bc::Bytes first = eit(0x50, 100, 0, 5, {event(1, kMonday + 3600, 30)});
    put(store.get(), first);
    const ServiceRecord& r = *store->services[0];
    EXPECT_EQ(std::tuple(1, 1), std::tuple(r.basicAt(0).updateCount, store->changed));
    store->changed = 0;
    bc::Bytes sameVersion = eit(0x50, 100, 0, 5, {event(1, kMonday + 3600, 45)});
    put(store.get(), sameVersion);
    EXPECT_EQ(std::tuple(1, 0), std::tuple(r.basicAt(0).updateCount, store->changed));
    EXPECT_EQ(sameVersion, slotBytes(r.basicAt(0)));

    put(store.get(), eit(0x50, 100, 0, 6, {event(1, kMonday + 3600, 60)}));
    EXPECT_EQ(std::tuple(2, 1), std::tuple(r.basicAt(0).updateCount, store->changed));
    EXPECT_EQ(first, slotBytes(r.baselineAt(0)));  // the baseline stays the first copy ever received
}

TEST(EpgStore, NewerDayRollsTheScheduleAndOlderDayIsDropped) {
    StorePtr store(createStore());
    // Day 0: slots 0 and 5; day 1: slot 64 (+ its extended twin); day 7: slot 448.
    put(store.get(), eit(0x50, 100, 0, 1, {event(10, kMonday + 3600, 30)}));
    put(store.get(), eit(0x50, 100, 5, 1, {event(15, kMonday + 5 * 3600, 30)}));
    put(store.get(), eit(0x58, 100, 3, 1, {event(13, kMonday + 3 * 3600, 30)}));
    put(store.get(), eit(0x50, 100, 64, 1, {event(64, kMonday + kDay + 3600, 30)}));
    put(store.get(), eit(0x51, 100, 192, 1, {event(99, kMonday + 7 * kDay + 3600, 30)}));
    const ServiceRecord& r = *store->services[0];
    ASSERT_EQ(99, firstEventId(r.basicAt(448)));

    // An older day in a slot that holds a newer one is dropped.
    put(store.get(), eit(0x50, 100, 64, 2, {event(1, kMonday + 3600, 30)}));
    EXPECT_EQ(64, firstEventId(r.basicAt(64)));

    // The next day's section for slot 0 moves everything one day earlier.
    put(store.get(), eit(0x50, 100, 0, 1, {event(70, kMonday + kDay + 3600, 30)}));
    EXPECT_EQ(70, firstEventId(r.basicAt(0)));  // new section, after the roll
    EXPECT_EQ(99, firstEventId(r.basicAt(384)));  // old 448
    for (int k = 448; k < kSlotsPerTable; ++k) EXPECT_EQ(nullptr, r.basicAt(k).data) << k;
    // The last programme section of the day that passed is kept as present/following.
    EXPECT_EQ(std::pair(15, 13), std::pair(firstEventId(r.presentFollowing[0]), firstEventId(r.presentFollowing[1])));
    EXPECT_TRUE(!r.basicAt(5).data && !r.extendedAt(3).data);
    // After the roll slot 0 held the old slot 64 of the same version: the
    // new copy replaced it without counting as an update.
    EXPECT_EQ(std::pair(1, 64), std::pair(int{r.basicAt(0).updateCount}, firstEventId(r.baselineAt(0))));
}

TEST(EpgStore, ExtendedEventIsFoundWithPresentFollowingFallbacks) {
    StorePtr store(createStore());
    // The id of the event found for service 0 at broadcast time t; -1 for none.
    auto idAt = [&](int64_t t) {
        EventView found = findExtendedEventAt(store.get(), 0, localOf(t));
        return found ? found.eventId() : -1;
    };
    bc::Bytes extended = bc::extendedEventDescriptors({{"内容", "詳しい説明"}});
    const int64_t nine = kMonday + 9 * 3600;
    // Extended schedule: 09:00-10:00 with a detail, 10:00-11:00 without one.
    put(store.get(), eit(0x58, 100, 0, 1, {event(1, nine, 60, extended), event(2, nine + 3600, 60)}));
    // After the last, before the first (no fallback); without detail and no fallback used: the event itself.
    EXPECT_EQ(std::tuple(1, -1, -1, 2),
              std::tuple(idAt(nine + 1800), idAt(nine + 3 * 3600), idAt(nine - 3600), idAt(nine + 3600 + 60)));

    // Before the first scheduled event the present/following section is asked.
    put(store.get(), eit(0x4E, 100, 0, 1, {event(7, nine - 3600, 60, extended)}));
    EXPECT_EQ(7, idAt(nine - 1800));

    // With the first fallback used, an event without detail continues into
    // present/following [1], which carries the extended twin of a rolled day.
    put(store.get(), eit(0x4E, 100, 0, 2, {event(8, nine - 3600, 60)}));
    put(store.get(), eit(0x4E, 100, 1, 1, {event(9, nine - 3600, 60, extended)}));
    EXPECT_EQ(9, idAt(nine - 3600 + 60));

    EXPECT_FALSE(findExtendedEventAt(nullptr, 0, localOf(nine)));
}

TEST(EpgStore, DatesAndEventHeadersOnTheBroadcastClock) {
    auto date = [](int mjd) { Date d = mjdToDate(mjd); return std::tuple(d.year, d.month, d.day); };
    EXPECT_EQ(std::tuple(1993, 10, 13), date(0xC079));
    EXPECT_EQ(std::tuple(2024, 2, 29), date(bc::modifiedJulianDate(bc::broadcastTime(2024, 2, 29))));
    bc::Bytes section = bc::eitSection({.tableId = 0x4E, .serviceId = 101, .transportStreamId = 0x40F1,
                                        .originalNetworkId = 4, .lastSectionNumber = 1,
                                        .events = {{.eventId = 7, .start = kMonday + 23 * 3600 + 45 * 60 + 59,
                                                    .duration = 5400 + 59, .freeCaMode = true, .descriptors = {}}}});
    const auto view = [&] { return EventCursor(section.data(), section.size()).next(); };
    // 23:45:59 for 1:30:59: seconds count neither in the start nor in the length, on the
    // broadcast's own clock whatever the machine's zone, nor in local time.
    EXPECT_EQ(std::tuple(kMonday + 23 * 3600 + 45 * 60, int64_t{5400}, true, false, false),
              std::tuple(view().broadcastStart(), view().durationSeconds(), view().freeCaMode(),
                         view().durationUndefined(), view().startUndefined()));
    EXPECT_EQ(std::pair(localOf(kMonday + 23 * 3600 + 45 * 60), localOf(kMonday + 25 * 3600 + 15 * 60)),
              std::pair(view().timeRange().start, view().timeRange().end));
    std::fill_n(section.begin() + kSectionHeaderSize + 2, 5, 0xFF);
    EXPECT_TRUE(view().startUndefined());
}
