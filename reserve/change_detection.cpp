#include "reserve/change_detection.h"

#include <cstring>
#include <new>
#include <type_traits>

#include "store/event_decode.h"

namespace corvane {

// A block is raw storage; each record is copied into it.
static_assert(std::is_trivially_copyable_v<ChangeRecord> && std::is_trivially_destructible_v<ChangeRecord>);

void ChangeList::BlockDeleter::operator()(ChangeRecord* block) const { ::operator delete(block); }

bool ChangeList::append(const ChangeRecord& record) {
    const size_t at = first_ + size_;
    if (at == blocks_.size() * kBlockRecords) {
        void* storage = ::operator new(sizeof(ChangeRecord) * kBlockRecords, std::nothrow);
        if (!storage) return false;
        std::unique_ptr<ChangeRecord, BlockDeleter> block(static_cast<ChangeRecord*>(storage));
        try {
            blocks_.push_back(std::move(block));
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    new (blocks_[at / kBlockRecords].get() + at % kBlockRecords) ChangeRecord(record);
    ++size_;
    return true;
}

void ChangeList::removeFirst(size_t count) {
    count = count < size_ ? count : size_;
    first_ += count;
    size_ -= count;
    const size_t emptied = size_ == 0 ? blocks_.size() : first_ / kBlockRecords;
    blocks_.erase(blocks_.begin(), blocks_.begin() + static_cast<ptrdiff_t>(emptied));
    first_ = size_ == 0 ? 0 : first_ - emptied * kBlockRecords;
}

namespace {

// What a record keeps of one version of a programme.
struct ProgrammeVersion {
    int64_t start = 0, end = 0;
    uint8_t video = 0, audio = 0, genre = 0;
    uint16_t nameLength = 0;
    uint8_t name[kChangeNameCapacity];

    ProgrammeVersion(const EventView& event, TimeRange range) : start(range.start), end(range.end) {
        int32_t genreLevel1 = -1;
        nameLength = static_cast<uint16_t>(readEventRawName(event, name, sizeof name, &video, &audio, &genreLevel1));
        genre = genreLevel1 < 0 ? 0 : static_cast<uint8_t>(genreLevel1);
    }
    bool sameName(const ProgrammeVersion& other) const {
        return nameLength == other.nameLength && std::memcmp(name, other.name, nameLength) == 0;
    }
};

// Compares the events of one section with those of its baseline, appending
// a record per difference. False when the list had no room for one.
class SectionComparison {
public:
    SectionComparison(const ServiceRecord& service, ChangeList& changes) : service_(service), changes_(changes) {}

    // A merge walk over the two event loops, both in time order. A side
    // without events left takes the other side's end as its start and end.
    bool run(const SectionSlot& section, const SectionSlot& baseline) {
        EventCursor newer(section), older(baseline);
        EventView n = newer.next(), o = older.next();
        while (n || o) {
            TimeRange newTimes = n ? n.timeRange() : TimeRange{};
            TimeRange oldTimes = o ? o.timeRange() : TimeRange{};
            if (!n) newTimes = {oldTimes.end, oldTimes.end};
            if (!o) oldTimes = {newTimes.end, newTimes.end};
            if (n && (!o || newTimes.end <= oldTimes.start)) {  // added
                ProgrammeVersion added(n, newTimes);
                if (added.nameLength > 0 && !append(nullptr, &added)) return false;
                n = newer.next();
            } else if (o && newTimes.start >= oldTimes.end) {  // removed
                ProgrammeVersion removed(o, oldTimes);
                if (removed.nameLength > 0 && !append(&removed, nullptr)) return false;
                o = older.next();
            } else {
                // Both sides have an event here (a missing side was taken
                // above): the same times with a new name, or new times. A
                // change of the event id alone is no change. Unchanged
                // descriptors hold the same name: most events of a new
                // version are the same programme again.
                const bool sameTimes = newTimes.start == oldTimes.start && newTimes.end == oldTimes.end;
                if (!sameTimes || !sameDescriptors(n, o)) {
                    ProgrammeVersion before(o, oldTimes), after(n, newTimes);
                    if (before.nameLength > 0 && after.nameLength > 0 && (!sameTimes || !before.sameName(after)) &&
                        !append(&before, &after))
                        return false;
                }
                n = newer.next();
                o = older.next();
            }
        }
        return true;
    }

private:
    static bool sameDescriptors(const EventView& a, const EventView& b) {
        return a.descriptorsLength() == b.descriptorsLength() &&
               std::memcmp(a.descriptors(), b.descriptors(), a.descriptorsLength()) == 0;
    }

    bool append(const ProgrammeVersion* before, const ProgrammeVersion* after) {
        ChangeRecord record;
        record.serviceId = service_.serviceId;
        record.networkClass = static_cast<uint8_t>(service_.networkClass());
        if (before) {
            record.oldStart = before->start, record.oldEnd = before->end;
            record.oldVideo = before->video, record.oldAudio = before->audio, record.oldGenre = before->genre;
            record.oldNameLength = before->nameLength;
            std::memcpy(record.oldName, before->name, before->nameLength);
        }
        if (after) {
            record.newStart = after->start, record.newEnd = after->end;
            record.newVideo = after->video, record.newAudio = after->audio, record.newGenre = after->genre;
            record.newNameLength = after->nameLength;
            std::memcpy(record.newName, after->name, after->nameLength);
        }
        return changes_.append(record);
    }

    const ServiceRecord& service_;
    ChangeList& changes_;
};

bool sameBytes(const SectionSlot& a, const SectionSlot& b) {
    return a.length == b.length && std::memcmp(a.data, b.data, a.length) == 0;
}

}  // namespace

bool detectEpgChanges(EpgStore* store, ChangeList& changes) {
    if (!store) return false;
    const size_t first = changes.size();
    for (int i = 0; i < kMaxServices && store->services[i]; ++i) {
        ServiceRecord& service = *store->services[i];
        SectionComparison comparison(service, changes);
        for (int k = 0; k < kSlotsPerTable; ++k) {
            SectionSlot& slot = service.basicAt(k);
            if (slot.updateCount == 0) continue;
            SectionSlot& baseline = service.baselineAt(k);
            // Equal bytes hold equal events: nothing to compare, nothing to copy.
            const bool same = slot.data && baseline.data && sameBytes(slot, baseline);
            if (slot.data && baseline.data && !same) {
                const size_t before = changes.size();
                if (!comparison.run(slot, baseline)) {
                    // No memory for a record: this slot and the later ones
                    // wait, untouched, for a later run.
                    changes.keepFirst(before);
                    store->changed = 1;
                    return changes.size() > first;
                }
            }
            slot.updateCount = 0;
            baseline.updateCount = 0;
            if (!slot.data) {
                emptySlot(baseline);
            } else if (!same) {
                storeSection(baseline, slot.data, slot.length);  // reuses the buffer; empty when out of memory
            }
        }
    }
    return changes.size() > first;
}

}  // namespace corvane
