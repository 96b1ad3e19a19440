// Change detection: every updated schedule section of the store is compared
// with the copy the store kept from before (its baseline), and each programme
// added, removed, retitled or moved becomes a ChangeRecord at the end of the
// change list, which the update information window shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "store/epg_store.h"

namespace corvane {

constexpr size_t kChangeNameCapacity = 100;  // raw name bytes a record keeps

// One difference between two versions of a programme. The old side is all
// zero for an addition, the new side for a removal. Names are the raw ARIB
// bytes of the event_name, cut to 100 bytes; an absent descriptor gives 0.
struct ChangeRecord {
    uint16_t serviceId = 0;
    uint8_t networkClass = 0;
    int64_t oldStart = 0, oldEnd = 0;
    uint8_t oldVideo = 0, oldAudio = 0, oldGenre = 0;
    uint16_t oldNameLength = 0;
    uint8_t oldName[kChangeNameCapacity] = {};
    int64_t newStart = 0, newEnd = 0;
    uint8_t newVideo = 0, newAudio = 0, newGenre = 0;
    uint16_t newNameLength = 0;
    uint8_t newName[kChangeNameCapacity] = {};
};

// The changes found so far, in the order found. Detection appends to it; only
// the update information window's "クリア" shortens it, from the front (the
// records it listed, not those appended since). Records are kept in blocks,
// so a long list grows without being copied.
class ChangeList {
public:
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const ChangeRecord& operator[](size_t i) const {
        const size_t at = first_ + i;
        return blocks_[at / kBlockRecords].get()[at % kBlockRecords];
    }

    // False, with the list unchanged, when there is no memory for the record.
    bool append(const ChangeRecord& record);
    // Removes the first `count` records (all of them when there are fewer).
    void removeFirst(size_t count);

private:
    friend bool detectEpgChanges(EpgStore* store, ChangeList& changes);
    static constexpr size_t kBlockRecords = 256;
    struct BlockDeleter {
        void operator()(ChangeRecord* block) const;
    };
    void keepFirst(size_t count) { size_ = count < size_ ? count : size_; }

    std::vector<std::unique_ptr<ChangeRecord, BlockDeleter>> blocks_;
    size_t first_ = 0;  // index of the first record in blocks_[0]
    size_t size_ = 0;
};

// Compares every basic schedule slot whose updateCount is set with its
// baseline, in service and slot order, appending a record per difference;
// resets each such updateCount and makes the baseline a copy of the slot.
// True when at least one record was appended.
//
// When memory runs out the run appends nothing more: the records of the slot
// being compared are taken back, and that slot and every later one keep
// their updateCount and baseline, with the store's `changed` set again, so
// that a later run compares them and nothing is lost.
bool detectEpgChanges(EpgStore* store, ChangeList& changes);

}  // namespace corvane
