#include "reserve/change_detection.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "store/data_file.h"
#include "support/store_sections.h"
#include "support/ts_recording.h"

using namespace corvane;
namespace bc = corvane::broadcast;

// While a test sets largeBlocksLeft, operator new gives that many more blocks
// of 4 KB or more, then fails: the change list meets the end of memory. (It
// allocates with malloc, which the compiler cannot see in an inlined delete.)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
static int largeBlocksLeft = -1;
static void* allocate(size_t n) {
    if (n >= 4096 && largeBlocksLeft >= 0 && largeBlocksLeft-- == 0) return nullptr;
    return std::malloc(n ? n : 1);
}
void* operator new(size_t n) {
    if (void* p = allocate(n)) return p;
    throw std::bad_alloc();
}
void* operator new(size_t n, const std::nothrow_t&) noexcept { return allocate(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

// A programme of day 0 with a raw ARIB name (null: no short event descriptor).
bc::EitEvent programme(uint16_t id, int hour, int minute, int minutes, const char* name, bc::Bytes more = {}) {
    bc::Bytes d = name ? bc::shortEventDescriptor(bc::AribText::raw(bc::Bytes(name, name + strlen(name))), "") : bc::Bytes();
    return event(id, at(0, hour, minute), minutes, concat({d, more}));
}

// "HHMM-HHMM name" of each side ("-" when absent), as "old > new".
std::vector<std::string> described(const ChangeList& changes, size_t from) {
    auto side = [](int64_t start, int64_t end, const uint8_t* name, size_t length) {
        auto hhmm = [](std::time_t t) { const std::tm* tm = std::localtime(&t); return tm->tm_hour * 100 + tm->tm_min; };
        char times[32];
        std::snprintf(times, sizeof times, "%04d-%04d ", hhmm(start), hhmm(end));
        return length ? times + std::string(name, name + length) : std::string("-");
    };
    std::vector<std::string> out;
    for (size_t i = from; i < changes.size(); ++i) {
        const ChangeRecord& c = changes[i];
        out.push_back(side(c.oldStart, c.oldEnd, c.oldName, c.oldNameLength) + " > " +
                      side(c.newStart, c.newEnd, c.newName, c.newNameLength));
    }
    return out;
}

// Detection after `section` arrived: its records. (Baselines and a second
// run that finds nothing are the fuzz targets' to check.)
std::vector<std::string> detectAfter(EpgStore* store, ChangeList& changes, const bc::Bytes& section) {
    const size_t before = changes.size();
    put(store, section);
    const bool appended = detectEpgChanges(store, changes);
    EXPECT_EQ(appended, changes.size() > before);
    return described(changes, before);
}

}  // namespace

// Moves, removals, additions at a section's end, new names and the output
// fields are in the tool's sequence below; record shapes in the fuzz targets;
// the baselines' day roll, which keeps each slot compared with its own day,
// in the store's tests.
TEST(ChangeDetection, RecordsOnlyRealDifferencesOfNamedProgrammes) {
    const std::string longName(120, 'L'), longer = "LL" + longName;
    struct Case {
        const char* what;
        std::vector<bc::EitEvent> before, after;
        std::vector<std::string> expected;
    } cases[] = {
        {"added between two", {programme(1, 20, 0, 60, "P"), programme(3, 22, 0, 60, "Q")},
         {programme(1, 20, 0, 60, "P"), programme(2, 21, 0, 60, "A"), programme(3, 22, 0, 60, "Q")},
         {"- > 2100-2200 A"}},
        {"shortened, then new", {programme(1, 21, 0, 60, "A")},
         {programme(1, 21, 0, 30, "A"), programme(2, 21, 30, 30, "N")}, {"2100-2200 A > 2100-2130 A", "- > 2130-2200 N"}},
        {"event id only", {programme(1, 21, 0, 60, "A")}, {programme(9, 21, 0, 60, "A")}, {}},
        {"empty names", {programme(1, 21, 0, 60, nullptr), programme(2, 22, 0, 60, "")},
         {programme(1, 21, 30, 60, "A"), programme(3, 23, 0, 60, "")}, {}},
        {"names compared as kept, 100 bytes", {programme(1, 21, 0, 60, longName.c_str())}, {programme(1, 21, 0, 60, longer.c_str())}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StorePtr store(createStore());
        ChangeList changes;
        EXPECT_TRUE(detectAfter(store.get(), changes, eit(0x50, 1024, 0, 1, c.before)).empty());  // its own baseline
        EXPECT_EQ(c.expected, detectAfter(store.get(), changes, eit(0x50, 1024, 0, 2, c.after)));
        put(store.get(), eit(0x50, 1024, 0, 2, c.before));  // the same version again is not compared
        EXPECT_FALSE(detectEpgChanges(store.get(), changes));
    }
}

TEST(ChangeDetection, RunningOutOfMemoryLeavesTheRestForALaterRun) {
    StorePtr store(createStore());
    ChangeList changes;
    // Three slots of 100 renamed programmes; the list's first block holds 256 records.
    for (uint8_t v : {1, 2}) {
        for (int slot : {0, 1, 2}) {
            std::vector<bc::EitEvent> events;
            for (int i = 0; i < 100; ++i) events.push_back(programme(i + 1, i / 6, i % 6 * 10, 10, v == 1 ? "old" : "new"));
            put(store.get(), eit(0x50, 1024, slot, v, events));
        }
        store->changed = 0;
        largeBlocksLeft = v == 2 ? 1 : -1;
        detectEpgChanges(store.get(), changes);
        largeBlocksLeft = -1;
    }
    // Slots 0 and 1 are done; slot 2's first 56 records are taken back and it waits.
    const ServiceRecord& r = *store->services[0];
    EXPECT_EQ(std::vector<int>({200, 1, 0, 1}), std::vector<int>({int(changes.size()), store->changed,
                                                                  r.basicAt(1).updateCount, r.basicAt(2).updateCount}));
    EXPECT_TRUE(detectEpgChanges(store.get(), changes));
    // "クリア" of the rows listed so far keeps what came later.
    changes.removeFirst(298);
    EXPECT_EQ(std::vector<std::string>({"1620-1630 old > 1620-1630 new", "1630-1640 old > 1630-1640 new"}),
              described(changes, 0));
    changes.removeFirst(9);
    EXPECT_TRUE(changes.empty());
}

TEST(ChangeDetection, ToolPrintsTheChangesOfAFileSequence) {
    const std::string dir = testing::TempDir() + "corvane_changes_" + std::to_string(getpid()) + "/";
    std::filesystem::create_directories(dir);
    const bc::Bytes tags = concat({bc::componentDescriptor(1, 0xB3), bc::audioComponentDescriptor(3),
                                   bc::contentDescriptor({{5, 0}})});
    auto sections = [&](uint8_t v, const char* news, int newsStart, bc::EitEvent last, const char* film) {
        return std::vector<bc::Bytes>{
            eit(0x50, 1024, 0, v, {programme(1, 21, newsStart, 60, news, tags), last}),
            bc::eitSection({.tableId = 0x50, .serviceId = 101, .originalNetworkId = 4, .version = v,
                            .events = {programme(1, 20, 0, 60, film)}})};
    };
    auto recording = [&](const char* file, const std::vector<bc::Bytes>& eits) {
        TsRecording r(at(0, 20));
        r.add(bc::kEitPid, eits);
        const bc::Bytes bytes = r.bytes();
        std::ofstream(dir + file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    };
    recording("first.ts", sections(1, "News", 0, programme(2, 22, 0, 60, "Drama"), "Film"));
    recording("second.ts", sections(2, "News", 30, programme(3, 23, 0, 30, "Late"), "Film2"));
    StorePtr saved(createStore());
    for (const bc::Bytes& s : sections(3, "News!", 30, programme(3, 23, 0, 30, "Late"), "Film2")) put(saved.get(), s);
    ASSERT_TRUE(writeDataFile((dir + "saved.dat").c_str(), *saved));

    // The data file twice: the second load brings nothing new.
    std::string output, command = CORVANE_TOOLS_DIR "/corvane-epg changes";
    for (const char* file : {"first.ts", "second.ts", "saved.dat", "saved.dat"}) command += " " + dir + file;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        for (int c; (c = std::fgetc(pipe)) != EOF;) output += static_cast<char>(c);
        EXPECT_EQ(0, pclose(pipe));
    }
    std::filesystem::remove_all(dir);
    EXPECT_EQ("1024\t0\t2026-12-07 21:00\t2026-12-07 22:00\t179\t3\t5\t4e657773\t"
              "2026-12-07 21:30\t2026-12-07 22:30\t179\t3\t5\t4e657773\n"
              "1024\t0\t2026-12-07 22:00\t2026-12-07 23:00\t0\t0\t0\t4472616d61\t-\t-\t0\t0\t0\t-\n"
              "1024\t0\t-\t-\t0\t0\t0\t-\t2026-12-07 23:00\t2026-12-07 23:30\t0\t0\t0\t4c617465\n"
              "101\t4\t2026-12-07 20:00\t2026-12-07 21:00\t0\t0\t0\t46696c6d\t"
              "2026-12-07 20:00\t2026-12-07 21:00\t0\t0\t0\t46696c6d32\n"
              "1024\t0\t2026-12-07 21:30\t2026-12-07 22:30\t179\t3\t5\t4e657773\t"
              "2026-12-07 21:30\t2026-12-07 22:30\t179\t3\t5\t4e65777321\n",
              output);
}
