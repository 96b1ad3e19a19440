// What the fuzz targets share: the checks run on every store a target makes
// (invariants, every decoder over every event, the change detection, the data
// file round trip, comparison of two stores), a checking progress sink and the sections of a
// builder-made recording.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "reserve/change_detection.h"
#include "store/data_file.h"
#include "store/epg_store.h"
#include "store/event_decode.h"
#include "store/ts_reader.h"
#include "tools/broadcast/packetizer.h"
#include "tools/broadcast/sample_recording.h"
#include "../support/ts_sections.h"

namespace corvane::fuzz {

using Bytes = std::vector<uint8_t>;
namespace bc = corvane::broadcast;

// Broadcast times are local: every target runs in the broadcast's zone.
inline const bool inBroadcastZone = (setenv("TZ", "Asia/Tokyo", 1), tzset(), true);

// A broken expectation aborts, which libFuzzer records as a crash.
#define FUZZ_CHECK(c) \
    ((c) ? void(0) : (std::fprintf(stderr, "%s:%d: expectation failed: %s\n", __FILE__, __LINE__, #c), std::abort()))

inline StorePtr newStore() { StorePtr store(createStore()); FUZZ_CHECK(store != nullptr); return store; }

// Calls visit(kind, slot...) with the same section slot of each record, for
// every slot: present/following, then by sequence extended, basic and
// baseline. The first two kinds hold what findExtendedEventAt answers from.
enum class Slot { presentFollowing, extended, basic, baseline };
template <typename Visit, typename... Records>
void forEachSlot(Visit visit, const Records&... r) {
    for (int k = 0; k < 2; ++k) visit(Slot::presentFollowing, r.presentFollowing[k]...);
    for (int k = 0; k < kSlotsPerTable; ++k)
        visit(Slot::extended, r.extendedAt(k)...), visit(Slot::basic, r.basicAt(k)...),
            visit(Slot::baseline, r.baselineAt(k)...);
}

// The packed, sorted service table and its count, name lengths within their
// fields, slots and section buffers within their capacities.
inline void checkStore(const EpgStore& store) {
    const int count = std::find(store.services, store.services + kMaxServices, nullptr) - store.services;
    FUZZ_CHECK(store.serviceCount == count &&
               std::count(store.services + count, store.services + kMaxServices, nullptr) == kMaxServices - count);
    for (int i = 0; i < count; ++i) {
        const ServiceRecord& r = *store.services[i];
        FUZZ_CHECK(i == 0 || std::pair(store.services[i - 1]->networkClass(), store.services[i - 1]->serviceId) <
                                 std::pair(r.networkClass(), r.serviceId));
        FUZZ_CHECK(std::max({r.providerNameLength, r.serviceNameLength, r.tsNameLength}) <= kNameCapacity);
        forEachSlot([](Slot, const SectionSlot& s) {
            FUZZ_CHECK(s.data ? s.length <= s.capacity : s.length == 0 && s.capacity == 0);
        }, r);
    }
    for (const SectionBuffer* b : store.pidBuffers)
        FUZZ_CHECK(!b || (b->length >= 0 && b->length <= b->capacity && b->expectedContinuity >= 0 &&
                          b->expectedContinuity < 16));
}

// Every piece of detail text is NUL-terminated at its length, with no NUL inside.
struct CheckingSink : TextSink {
    void append(const char* text, size_t length) override {
        FUZZ_CHECK(text[length] == '\0' && std::memchr(text, 0, length) == nullptr);
        total += length;
    }
    size_t total = 0;
};

// The event lies in `slot`'s event loop and ends with it.
inline bool inside(const EventView& event, const SectionSlot& slot) {
    if (!slot.data || slot.length < kSectionHeaderSize + kEventHeaderSize + kCrcSize) return false;
    const uint8_t* loopEnd = slot.data + slot.length - kCrcSize;
    return event.data >= slot.data + kSectionHeaderSize && event.data < loopEnd && event.data + event.size == loopEnd;
}

inline void decodeEvent(const EventView& event) {
    FUZZ_CHECK(event.size >= kEventHeaderSize && event.descriptorsLength() <= event.size - kEventHeaderSize);
    const EventSummary summary = readEventSummary(event);
    FUZZ_CHECK(std::memchr(summary.name, 0, sizeof summary.name) && std::memchr(summary.text, 0, sizeof summary.text));
    FUZZ_CHECK(summary.genreLevel1 >= -1 && summary.genreLevel1 <= 15 && summary.genreLevel2 >= -1 &&
               summary.genreLevel2 <= 15 && (summary.genreLevel1 < 0) == (summary.genreLevel2 < 0));
    // Raw names into buffers of exactly the capacity, so a byte too many is seen.
    for (size_t capacity : {0, 1, 20, 255}) {
        std::unique_ptr<uint8_t[]> name(new uint8_t[capacity]);
        uint8_t component = 0xEE, audio = 0xEE;
        int32_t genre = 99;
        FUZZ_CHECK(readEventRawName(event, name.get(), capacity, &component, &audio, &genre) <= capacity);
        FUZZ_CHECK(component == summary.componentType && audio == summary.audioComponentType &&
                   genre == summary.genreLevel1);
    }
    FUZZ_CHECK(readEventRawName(event, nullptr, 255) == 0);
    CheckingSink sink;
    assembleExtendedText(event, sink);
    // The export's fields agree with the summary: its genre is the first content entry.
    const EventComponents c = readEventComponents(event);
    FUZZ_CHECK(c.contentCount >= 0 && c.contentCount <= kMaxContentEntries && c.audioCount >= 0 &&
               c.audioCount <= kMaxAudioComponents && (c.contentCount > 0) == (summary.genreLevel1 >= 0));
    FUZZ_CHECK(c.contentCount == 0 ||
               (c.content[0].level1 == summary.genreLevel1 && c.content[0].level2 == summary.genreLevel2));
    FUZZ_CHECK(c.componentType == summary.componentType && (c.hasVideo || c.componentType == 0));
    for (int i = 0; i < c.audioCount; ++i)
        for (const char* lang : c.audio[i].languages) FUZZ_CHECK(std::strlen(lang) == 0 || std::strlen(lang) == 3);
    size_t itemBytes = 0;
    for (const ExtendedItemText& item : readExtendedItems(event))
        itemBytes += item.description.size() + item.text.size();
    FUZZ_CHECK(itemBytes <= sink.total);
}

// Every event of every stored section through every decoder; readExtendedText
// for up to `budget` basic events (each walks the schedule), and
// findExtendedEventAt / readExtendedText at times around the extended and
// present/following events and at basic events' starts: an answer lies in
// the service's own extended or present/following sections, contains the
// time and is ExtendedEventLookup's answer too.
inline void decodeEverything(const EpgStore& store, int budget = 32) {
    for (int i = 0; i < kMaxServices && store.services[i]; ++i) {
        std::vector<int64_t> probes = {INT64_MIN, -1, 0, INT64_MAX};
        forEachSlot([&](Slot kind, const SectionSlot& slot) {
            EventCursor cursor(slot);
            while (EventView event = cursor.next()) {
                FUZZ_CHECK(inside(event, slot));
                decodeEvent(event);
                CheckingSink sink;
                if (kind == Slot::basic && budget-- > 0) readExtendedText(&store, i, event, sink);
                const TimeRange t = event.timeRange();
                if (kind < Slot::basic && probes.size() < 16)
                    probes.insert(probes.end(), {t.start - 1, t.start, t.end - 1, t.end});
                if (kind == Slot::basic && probes.size() < 24) probes.push_back(t.start);
            }
        }, *store.services[i]);
        const ExtendedEventLookup lookup(&store, i);
        for (int64_t t : probes) {
            CheckingSink sink;
            readExtendedText(&store, i, t, sink);
            const EventView found = findExtendedEventAt(&store, i, t);
            FUZZ_CHECK(lookup.at(t).data == found.data && lookup.at(t).size == found.size);
            if (!found) continue;
            bool known = false;
            forEachSlot([&](Slot kind, const SectionSlot& s) { known |= kind < Slot::basic && inside(found, s); },
                        *store.services[i]);
            FUZZ_CHECK(known && found.timeRange().start <= t && t < found.timeRange().end);
        }
    }
    for (int index : {-1, store.serviceCount, kMaxServices, INT_MAX})
        FUZZ_CHECK(!findExtendedEventAt(&store, index, 0));
}

// The same services, names and sections; `exact` also compares what the data
// file does not keep: update counts, capacities, baselines, the other service
// fields, the time, the flags and the section buffers. (Records are zeroed
// when made, padding included.) Both stores passed checkStore.
inline bool sameStores(const EpgStore& a, const EpgStore& b, bool exact) {
    const size_t fields = exact ? offsetof(ServiceRecord, basic) : offsetof(ServiceRecord, satelliteFrequency);
    bool same = a.serviceCount == b.serviceCount;
    for (int i = 0; same && i < a.serviceCount; ++i) {
        same = std::memcmp(a.services[i], b.services[i], fields) == 0;
        forEachSlot([&](Slot kind, const SectionSlot& x, const SectionSlot& y) {
            if (kind == Slot::baseline && !exact) return;
            same = same && x.length == y.length && !x.data == !y.data &&
                   (!x.data || !std::memcmp(x.data, y.data, x.length)) &&
                   (!exact || (x.updateCount == y.updateCount && x.capacity == y.capacity));
        }, *a.services[i], *b.services[i]);
    }
    auto sameBuffer = [](const SectionBuffer* x, const SectionBuffer* y) {
        return !x == !y && (!x || (x->expectedContinuity == y->expectedContinuity && x->length == y->length &&
                                   (x->length == 0 || !std::memcmp(x->data, y->data, x->length))));
    };
    const size_t timeAndFlags = offsetof(EpgStore, closing) - offsetof(EpgStore, totYear);
    return same && (!exact || (!std::memcmp(&a.totYear, &b.totYear, timeAndFlags) &&
                               std::equal(a.pidBuffers, a.pidBuffers + kPidCount, b.pidBuffers, sameBuffer)));
}

// Change detection over every basic slot and whatever its baseline holds:
// at most one record per event compared, each with a name and an absent side
// all zero; afterwards every baseline is its slot's copy, so a second run
// finds nothing.
inline void checkChangeDetection(EpgStore& store) {
    size_t events = 0;
    for (int i = 0; i < store.serviceCount; ++i)
        for (int k = 0; k < kSlotsPerTable; ++k) {
            store.services[i]->basicAt(k).updateCount = 1;
            for (const SectionSlot* slot : {&store.services[i]->basicAt(k), &store.services[i]->baselineAt(k)})
                for (EventCursor cursor(*slot); cursor.next();) ++events;
        }
    ChangeList changes;
    FUZZ_CHECK(detectEpgChanges(&store, changes) == !changes.empty() && changes.size() <= events);
    for (size_t i = 0; i < changes.size(); ++i) {
        const ChangeRecord& c = changes[i];
        FUZZ_CHECK(std::max(c.oldNameLength, c.newNameLength) <= kChangeNameCapacity &&
                   (c.oldNameLength > 0 || c.newNameLength > 0));
        FUZZ_CHECK(c.oldNameLength > 0 || (c.oldStart == 0 && c.oldEnd == 0 && c.oldVideo + c.oldAudio + c.oldGenre == 0));
        FUZZ_CHECK(c.newNameLength > 0 || (c.newStart == 0 && c.newEnd == 0 && c.newVideo + c.newAudio + c.newGenre == 0));
    }
    for (int i = 0; i < store.serviceCount; ++i)
        for (int k = 0; k < kSlotsPerTable; ++k) {
            SectionSlot &slot = store.services[i]->basicAt(k), &baseline = store.services[i]->baselineAt(k);
            FUZZ_CHECK(slot.updateCount == 0 && slot.length == baseline.length && !slot.data == !baseline.data &&
                       (!slot.data || !std::memcmp(slot.data, baseline.data, slot.length)));
            slot.updateCount = 1;
        }
    FUZZ_CHECK(!detectEpgChanges(&store, changes));
}

// Saving the store and loading the file into a new store gives the same
// services, names and sections.
inline void checkDataFileRoundTrip(const EpgStore& store) {
    static const std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                    "/corvane-fuzz-" + std::to_string(getpid()) + ".dat";
    FUZZ_CHECK(writeDataFile(path.c_str(), store));
    StorePtr loaded = newStore();
    FUZZ_CHECK(readDataFile(loaded.get(), path.c_str()));
    std::remove(path.c_str());
    checkStore(*loaded);
    FUZZ_CHECK(sameStores(store, *loaded, false));
}

// Reports never go backwards nor beyond the total; once the reader was asked
// to stop only the final report (done == total) may follow; every read ends
// with one, checked when the sink goes. Answers false from report `stopAt`
// on (0: never).
struct CheckingProgress : ProgressSink {
    explicit CheckingProgress(int stopAt = 0) : stopAt(stopAt) {}
    ~CheckingProgress() override { FUZZ_CHECK(reports > 0 && lastDone == lastTotal); }
    bool reportProgress(int64_t done, int64_t total) override {
        FUZZ_CHECK(done >= lastDone && done <= total && (reports == 0 || total == lastTotal));
        FUZZ_CHECK(stopAt == 0 || reports < stopAt || done == total);
        lastDone = done, lastTotal = total;
        return ++reports < stopAt || stopAt == 0;
    }
    int stopAt, reports = 0;
    int64_t lastDone = 0, lastTotal = 0;
};

// The sections (with their PID) of the builder's one-day sample recording in
// the order they are completed: TOT, SDT and NIT, then EIT.
inline const std::vector<std::pair<uint16_t, Bytes>>& sampleSections() {
    static const TsSections sample = demux(bc::sampleRecordingBytes({.days = 1}));
    FUZZ_CHECK(sample.faults.empty() && sample.sections.size() > 3 && sample.sections[0].first == bc::kTotPid);
    return sample.sections;
}

}  // namespace corvane::fuzz
