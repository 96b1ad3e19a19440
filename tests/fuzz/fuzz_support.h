// What the fuzz targets share: the checks run on every store a target makes
// (invariants, every decoder over every event, the data file round trip,
// comparison of two stores), a checking progress sink, the sections of a
// builder-made recording and a bounded reader of the fuzzer's input.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "store/data_file.h"
#include "store/epg_store.h"
#include "store/event_decode.h"
#include "store/ts_reader.h"
#include "tools/broadcast/packetizer.h"
#include "tools/broadcast/sample_recording.h"

namespace corvane::fuzz {

using Bytes = std::vector<uint8_t>;
namespace bc = corvane::broadcast;

// Broadcast times are local: every target runs in the broadcast's zone.
inline const bool inBroadcastZone = (setenv("TZ", "Asia/Tokyo", 1), tzset(), true);

// A broken expectation aborts, which libFuzzer records as a crash.
[[noreturn]] inline void fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: expectation failed: %s\n", file, line, what);
    std::abort();
}
#define FUZZ_CHECK(condition) ((condition) ? void(0) : ::corvane::fuzz::fail(#condition, __FILE__, __LINE__))

inline StorePtr newStore() {
    StorePtr store(createStore());
    FUZZ_CHECK(store != nullptr);
    return store;
}

// The packed, sorted service table and its count, name lengths within their
// fields, slots and section buffers within their capacities.
inline void checkStore(const EpgStore& store) {
    int count = 0;
    while (count < kMaxServices && store.services[count]) ++count;
    FUZZ_CHECK(store.serviceCount == count);
    for (int i = count; i < kMaxServices; ++i) FUZZ_CHECK(store.services[i] == nullptr);
    for (int i = 0; i < count; ++i) {
        const ServiceRecord& r = *store.services[i];
        if (i > 0) {
            const ServiceRecord& p = *store.services[i - 1];
            FUZZ_CHECK(p.networkClass() < r.networkClass() ||
                       (p.networkClass() == r.networkClass() && p.serviceId < r.serviceId));
        }
        FUZZ_CHECK(r.providerNameLength <= kNameCapacity && r.serviceNameLength <= kNameCapacity &&
                   r.tsNameLength <= kNameCapacity);
        auto check = [](const SectionSlot& s) {
            FUZZ_CHECK(s.data ? s.length <= s.capacity : s.length == 0 && s.capacity == 0);
        };
        for (int k = 0; k < kSlotsPerTable; ++k) check(r.basicAt(k)), check(r.extendedAt(k)), check(r.baselineAt(k));
        check(r.presentFollowing[0]), check(r.presentFollowing[1]);
    }
    for (const SectionBuffer* b : store.pidBuffers)
        FUZZ_CHECK(!b || (b->length >= 0 && b->length <= b->capacity && b->expectedContinuity >= 0 &&
                          b->expectedContinuity < 16));
}

// Every piece of detail text is NUL-terminated at its length, with no NUL inside.
struct CheckingSink : TextSink {
    void append(const char* text, size_t length) override {
        FUZZ_CHECK(text[length] == '\0' && std::memchr(text, 0, length) == nullptr);
    }
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
}

// Every event of every stored section through every decoder; readExtendedText
// for up to `budget` basic events (each walks the schedule), and
// findExtendedEventAt / readExtendedText at times around the extended and
// present/following events: an answer lies in the service's own extended or
// present/following sections and contains the time.
inline void decodeEverything(const EpgStore& store, int budget = 32) {
    for (int i = 0; i < kMaxServices && store.services[i]; ++i) {
        const ServiceRecord& r = *store.services[i];
        std::vector<int64_t> probes = {INT64_MIN, -1, 0, INT64_MAX};
        auto walk = [&](const SectionSlot& slot, bool basic, bool probe) {
            EventCursor cursor(slot);
            while (EventView event = cursor.next()) {
                FUZZ_CHECK(inside(event, slot));
                decodeEvent(event);
                CheckingSink sink;
                if (basic && budget-- > 0) readExtendedText(&store, i, event, sink);
                const TimeRange t = event.timeRange();
                if (probe && probes.size() < 16) probes.insert(probes.end(), {t.start - 1, t.start, t.end - 1, t.end});
            }
        };
        for (const SectionSlot& s : r.presentFollowing) walk(s, false, true);
        for (int k = 0; k < kSlotsPerTable; ++k)
            walk(r.extendedAt(k), false, true), walk(r.basicAt(k), true, false), walk(r.baselineAt(k), false, false);
        for (int64_t t : probes) {
            CheckingSink sink;
            readExtendedText(&store, i, t, sink);
            const EventView found = findExtendedEventAt(&store, i, t);
            if (!found) continue;
            bool known = inside(found, r.presentFollowing[0]) || inside(found, r.presentFollowing[1]);
            for (int k = 0; !known && k < kSlotsPerTable; ++k) known = inside(found, r.extendedAt(k));
            FUZZ_CHECK(known && found.timeRange().start <= t && t < found.timeRange().end);
        }
    }
    for (int index : {-1, store.serviceCount, kMaxServices, INT_MAX})
        FUZZ_CHECK(!findExtendedEventAt(&store, index, 0));
}

inline bool sameSlot(const SectionSlot& a, const SectionSlot& b, bool exact) {
    if (exact && (a.updateCount != b.updateCount || a.capacity != b.capacity)) return false;
    return a.length == b.length && !a.data == !b.data && (!a.data || std::memcmp(a.data, b.data, a.length) == 0);
}

// The same services, names and sections; `exact` also compares what the data
// file does not keep: update counts, capacities, baselines, the other service
// fields, the time, the flags and the section buffers. (Records are zeroed
// when made, padding included.)
inline bool sameStores(const EpgStore& a, const EpgStore& b, bool exact) {
    const size_t fields = exact ? offsetof(ServiceRecord, basic) : offsetof(ServiceRecord, satelliteFrequency);
    for (int i = 0; i < kMaxServices; ++i) {
        const ServiceRecord *x = a.services[i], *y = b.services[i];
        if (!x != !y || (x && std::memcmp(x, y, fields))) return false;
        for (int k = 0; x && k < kSlotsPerTable; ++k)
            if (!sameSlot(x->basicAt(k), y->basicAt(k), exact) ||
                !sameSlot(x->extendedAt(k), y->extendedAt(k), exact) ||
                (exact && !sameSlot(x->baselineAt(k), y->baselineAt(k), exact)))
                return false;
        if (x && (!sameSlot(x->presentFollowing[0], y->presentFollowing[0], exact) ||
                  !sameSlot(x->presentFollowing[1], y->presentFollowing[1], exact)))
            return false;
    }
    if (a.serviceCount != b.serviceCount) return false;
    if (!exact) return true;
    if (std::memcmp(&a.totYear, &b.totYear, offsetof(EpgStore, closing) - offsetof(EpgStore, totYear))) return false;
    for (int pid = 0; pid < kPidCount; ++pid) {
        const SectionBuffer *x = a.pidBuffers[pid], *y = b.pidBuffers[pid];
        if (!x != !y || (x && (x->expectedContinuity != y->expectedContinuity || x->length != y->length ||
                               (x->length > 0 && std::memcmp(x->data, y->data, x->length)))))
            return false;
    }
    return true;
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
// with one. Answers false from report `stopAt` on (0: never).
struct CheckingProgress : ProgressSink {
    explicit CheckingProgress(int stopAt = 0) : stopAt(stopAt) {}
    bool reportProgress(int64_t done, int64_t total) override {
        FUZZ_CHECK(done >= lastDone && done <= total && (reports == 0 || total == lastTotal));
        FUZZ_CHECK(stopAt == 0 || reports < stopAt || done == total);
        lastDone = done, lastTotal = total;
        return ++reports < stopAt || stopAt == 0;
    }
    void checkFinished() const { FUZZ_CHECK(reports > 0 && lastDone == lastTotal); }
    int stopAt, reports = 0;
    int64_t lastDone = 0, lastTotal = 0;
};

// The sections (with their PID) of the builder's one-day sample recording in
// the order they are completed: TOT, SDT and NIT, then EIT. Relies on every
// section being whole and every packet in order, as the builder makes them.
inline const std::vector<std::pair<uint16_t, Bytes>>& sampleSections() {
    static const auto sections = [] {
        bc::SampleOptions options;
        options.days = 1;
        const Bytes ts = bc::sampleRecordingBytes(options);
        std::vector<std::pair<uint16_t, Bytes>> out;
        std::map<uint16_t, Bytes> pending;  // per PID, the section in progress
        auto complete = [&](uint16_t pid, Bytes& data) {
            while (data.size() >= 3 && data[0] != 0xFF && data.size() >= ((data[1] & 0x0Fu) << 8 | data[2]) + 3u) {
                const size_t size = ((data[1] & 0x0Fu) << 8 | data[2]) + 3u;
                out.emplace_back(pid, Bytes(data.begin(), data.begin() + size));
                data.erase(data.begin(), data.begin() + size);
            }
        };
        for (size_t at = 0; at + bc::kPacketSize <= ts.size(); at += bc::kPacketSize) {
            const uint8_t* p = &ts[at];
            const uint16_t pid = (p[1] & 0x1F) << 8 | p[2];
            if (pid < bc::kNitPid || pid > bc::kTotPid) continue;
            Bytes& data = pending[pid];
            const uint8_t* start = p[1] & 0x40 ? std::min(p + 5 + p[4], p + bc::kPacketSize) : p + 4;
            data.insert(data.end(), p + 4 + (p[1] & 0x40 ? 1 : 0), start);  // the end of the section before
            complete(pid, data);
            if (p[1] & 0x40) data.clear();
            data.insert(data.end(), start, p + bc::kPacketSize);
            complete(pid, data);
        }
        FUZZ_CHECK(out.size() > 3 && out[0].first == bc::kTotPid);
        return out;
    }();
    return sections;
}

// The fuzzer's input read front to back; past its end every read gives zero.
struct InputReader {
    const uint8_t* data;
    size_t size, pos = 0;
    bool atEnd() const { return pos >= size; }
    uint8_t u8() { return pos < size ? data[pos++] : 0; }
    uint16_t u16() { return static_cast<uint16_t>(u8() << 8 | u8()); }
    Bytes bytes(size_t n) {
        n = std::min(n, size - std::min(pos, size));
        pos += n;
        return Bytes(data + pos - n, data + pos);
    }
};

}  // namespace corvane::fuzz
