#include "store/epg_store.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "store/descriptor_walk.h"
#include "store/invariant.h"
#include "store/schedule_walk.h"
#include "store/si_ids.h"
#include "store/system_pages.h"

namespace corvane {

EpgStore* createStore() {
    auto* store = static_cast<EpgStore*>(std::calloc(1, sizeof(EpgStore)));
    if (store) store->recordRoom = static_cast<ServiceRecord*>(allocateSystemPages(sizeof(ServiceRecord) * kMaxServices));
    return store;
}

void releaseSectionBlock(SectionBlock* block) {
    if (block) releaseSystemPages(block, sizeof(SectionBlock) + block->size);
}

static void releaseSectionBlocks(SectionBlock*& chain) {
    while (SectionBlock* block = chain) {
        chain = block->next;
        releaseSectionBlock(block);
    }
}

SectionBlock* takeSectionBlock(EpgStore* store, size_t n) {
    SectionBlock* taken = nullptr;
    for (SectionBlock** link = &store->spareBlocks; *link; link = &(*link)->next) {
        if ((*link)->size >= n && (*link)->size / 2 <= n) {
            taken = *link;
            *link = taken->next;
            taken->next = nullptr;
            break;
        }
    }
    releaseSectionBlocks(store->spareBlocks);
    if (taken || n > SIZE_MAX - sizeof(SectionBlock)) return taken;
    auto* block = static_cast<SectionBlock*>(allocateSystemPages(sizeof(SectionBlock) + n));
    if (block) *block = SectionBlock{nullptr, n};
    return block;
}

void emptySlot(SectionSlot& slot) {
    if (!slot.lent) std::free(slot.data);
    slot.data = nullptr;
    slot.capacity = 0;
    slot.length = 0;
    slot.checked = 0;
    slot.lent = 0;
}

bool storeSection(SectionSlot& slot, const uint8_t* bytes, size_t n) {
    slot.checked = 0;
    if (n > 0xFFFF) return false;
    if (slot.capacity < n || !slot.data) {
        if (!slot.lent) std::free(slot.data);
        slot.lent = 0;
        slot.data = static_cast<uint8_t*>(std::malloc(n ? n : 1));
        if (!slot.data) {
            slot.capacity = 0;
            slot.length = 0;
            return false;
        }
        slot.capacity = static_cast<uint16_t>(n);
    }
    std::memcpy(slot.data, bytes, n);
    slot.length = static_cast<uint16_t>(n);
    return true;
}

void lendSection(SectionSlot& slot, uint8_t* bytes, size_t n) {
    emptySlot(slot);
    slot.data = bytes;
    slot.capacity = slot.length = static_cast<uint16_t>(n);
    slot.lent = 1;
}

// A lent section copied into a buffer of the slot's own.
static bool ownSection(SectionSlot& slot) {
    if (!slot.lent) return true;
    auto* own = static_cast<uint8_t*>(std::malloc(slot.capacity ? slot.capacity : 1));
    if (!own) return false;
    std::memcpy(own, slot.data, slot.length);
    slot.data = own;
    slot.lent = 0;
    return true;
}

static void releaseService(EpgStore* store, ServiceRecord* record) {
    if (!record) return;
    for (auto& half : record->basic)
        for (auto& slot : half) emptySlot(slot);
    for (auto& half : record->extended)
        for (auto& slot : half) emptySlot(slot);
    for (auto& half : record->baseline)
        for (auto& slot : half) emptySlot(slot);
    for (auto& slot : record->presentFollowing) emptySlot(slot);
    const bool inRoom = store->recordRoom && record >= store->recordRoom && record < store->recordRoom + kMaxServices;
    if (!inRoom) std::free(record);
}

static void releasePidBuffers(EpgStore* store) {
    for (auto& buffer : store->pidBuffers) {
        if (buffer) {
            std::free(buffer->data);
            std::free(buffer);
            buffer = nullptr;
        }
    }
}

void destroyStore(EpgStore* store) {
    if (!store) return;
    store->closing = 1;
    for (auto& record : store->services) {
        releaseService(store, record);
        record = nullptr;
    }
    releasePidBuffers(store);
    releaseSectionBlocks(store->sectionBlocks);
    releaseSectionBlocks(store->spareBlocks);
    releaseSystemPages(store->recordRoom, sizeof(ServiceRecord) * kMaxServices);
    std::free(store);
}

void clearSections(EpgStore* store) {
    // Of the sections only present/following [1] and the baselines stay,
    // and baselines are never lent: once [1] owns its bytes no slot points
    // into a section block any more.
    bool blocksInUse = false;
    for (ServiceRecord* record : store->services) {
        if (!record) continue;
        for (auto& half : record->basic)
            for (auto& slot : half) emptySlot(slot);
        for (auto& half : record->extended)
            for (auto& slot : half) emptySlot(slot);
        emptySlot(record->presentFollowing[0]);
        blocksInUse |= !ownSection(record->presentFollowing[1]);
    }
    if (!blocksInUse) {
        while (SectionBlock* block = store->sectionBlocks) {
            store->sectionBlocks = block->next;
            block->next = store->spareBlocks;
            store->spareBlocks = block;
        }
    }
    releasePidBuffers(store);
}

// A zeroed record: the next of the store's room (never used before, so
// still as the system gave it), or one of its own.
static ServiceRecord* newRecord(EpgStore* store, int networkClass, int serviceId) {
    auto* record = store->recordRoom && store->recordsMade < kMaxServices
                       ? &store->recordRoom[store->recordsMade++]
                       : static_cast<ServiceRecord*>(std::calloc(1, sizeof(ServiceRecord)));
    if (record) {
        record->serviceId = static_cast<uint16_t>(serviceId);
        record->networkWord = static_cast<uint16_t>((networkClass & 0x0F) << 12);
    }
    return record;
}

// Index of the record (networkClass, serviceId), -1 when findOrCreateService
// would have to create it.
static int findService(const EpgStore* store, int networkClass, int serviceId) {
    for (int i = 0; i < kMaxServices; ++i) {
        const ServiceRecord* record = store->services[i];
        if (!record) return -1;
        if (record->identifiedBy(networkClass, serviceId)) return i;
        bool sortsAfter = record->networkClass() > networkClass ||
                          (record->networkClass() == networkClass && record->serviceId > serviceId);
        if (store->serviceCount < kMaxServices && sortsAfter) return -1;
    }
    return -1;
}

int findOrCreateService(EpgStore* store, int networkClass, int serviceId) {
    // After the last record in the order (a data file lists its services in
    // that order): the next place, as the walk below would find it.
    const int count = store->serviceCount;
    if (count > 0 && count < kMaxServices && store->services[count - 1] && !store->services[count]) {
        const ServiceRecord& last = *store->services[count - 1];
        if (last.networkClass() < networkClass || (last.networkClass() == networkClass && last.serviceId < serviceId)) {
            ServiceRecord* record = newRecord(store, networkClass, serviceId);
            if (!record) return kMaxServices;
            store->services[count] = record;
            ++store->serviceCount;
            return count;
        }
    }
    for (int i = 0; i < kMaxServices; ++i) {
        ServiceRecord* record = store->services[i];
        if (!record) {
            record = newRecord(store, networkClass, serviceId);
            if (!record) return kMaxServices;
            store->services[i] = record;
            ++store->serviceCount;
            return i;
        }
        if (record->identifiedBy(networkClass, serviceId)) return i;
        bool sortsAfter = record->networkClass() > networkClass ||
                          (record->networkClass() == networkClass && record->serviceId > serviceId);
        if (store->serviceCount < kMaxServices && sortsAfter) {
            if (reportIf(store->serviceCount <= i, "the service count is behind the service table")) return kMaxServices;
            ServiceRecord* inserted = newRecord(store, networkClass, serviceId);
            if (!inserted) return kMaxServices;
            std::memmove(&store->services[i + 1], &store->services[i],
                         sizeof(store->services[0]) * (store->serviceCount - i));
            store->services[i] = inserted;
            ++store->serviceCount;
            return i;
        }
    }
    return kMaxServices;
}

int64_t EventView::durationSeconds() const {
    if (durationUndefined()) return -1;
    return decodeBcd(data[7]) * 3600 + decodeBcd(data[8]) * 60;
}

int originalNetworkIdOf(const ServiceRecord& record) {
    auto fromSlot = [](const SectionSlot& slot) {
        const SectionHeader header = headerOf(slot);
        return header ? header.originalNetworkId() : -1;
    };
    for (int k = 0; k < kSlotsPerTable; ++k)
        for (const SectionSlot* slot : {&record.basicAt(k), &record.extendedAt(k)})
            if (int id = fromSlot(*slot); id >= 0) return id;
    for (const SectionSlot& slot : record.presentFollowing)
        if (int id = fromSlot(slot); id >= 0) return id;
    return -1;
}

EventCursor::EventCursor(const uint8_t* section, size_t length)
    : section_(section), loopEnd_(section && length > kCrcSize ? length - kCrcSize : 0),
      pos_(kSectionHeaderSize) {}

EventView EventCursor::next() {
    if (pos_ + kEventHeaderSize > loopEnd_) return {};
    EventView event{section_ + pos_, loopEnd_ - pos_};
    pos_ += kEventHeaderSize + event.descriptorsLength();
    return event;
}


void dayRoll(ServiceRecord& record) {
    int n = -1;
    for (int k = kSlotsPerDay - 1; k >= 0; --k)
        if (record.basicAt(k).data) { n = k; break; }
    if (n >= 0) {
        emptySlot(record.presentFollowing[0]);
        record.presentFollowing[0] = record.basicAt(n);
    }
    int m = -1;
    for (int k = kSlotsPerDay - 1; k >= 0; --k)
        if (record.extendedAt(k).data) { m = k; break; }
    if (m >= 0) {
        emptySlot(record.presentFollowing[1]);
        record.presentFollowing[1] = record.extendedAt(m);
    }
    for (int k = 0; k < kSlotsPerDay; ++k) {
        SectionSlot& basic = record.basicAt(k);
        if (k == n) {
            const uint16_t count = basic.updateCount;
            basic = SectionSlot{};
            basic.updateCount = count;
        } else {
            emptySlot(basic);
        }
        SectionSlot& extended = record.extendedAt(k);
        if (k == m) {
            const uint16_t count = extended.updateCount;
            extended = SectionSlot{};
            extended.updateCount = count;
        } else {
            emptySlot(extended);
        }
        emptySlot(record.baselineAt(k));
    }
    for (int k = 0; k < kSlotsPerTable - kSlotsPerDay; ++k) {
        record.basicAt(k) = record.basicAt(k + kSlotsPerDay);
        record.extendedAt(k) = record.extendedAt(k + kSlotsPerDay);
        record.baselineAt(k) = record.baselineAt(k + kSlotsPerDay);
    }
    for (int k = kSlotsPerTable - kSlotsPerDay; k < kSlotsPerTable; ++k) {
        record.basicAt(k) = SectionSlot{};
        record.extendedAt(k) = SectionSlot{};
        record.baselineAt(k) = SectionSlot{};
    }
}

static bool isStoredTable(int tid) {
    switch (tid) {
        case kTableEitPresentFollowing:
        case kTableEitScheduleBasic: case kTableEitScheduleBasic + 1:
        case kTableEitScheduleExtended: case kTableEitScheduleExtended + 1:
        case kTableEitScheduleBasicOther: case kTableEitScheduleBasicOther + 1:
        case kTableEitScheduleExtendedOther: case kTableEitScheduleExtendedOther + 1:
            return true;
        default:
            return false;
    }
}

bool holdsCheckedCopy(const EpgStore* store, const uint8_t* section, size_t size) {
    const SectionHeader header(section, size);
    if (!store || !header || !isStoredTable(header.tableId()) || header.sectionLength() + 3 != size) return false;
    const int index = findService(store, networkClassOf(header.originalNetworkId()), header.serviceId());
    if (index < 0) return false;
    const ServiceRecord& record = *store->services[index];
    const int sectionNumber = header.sectionNumber();
    const SectionSlot* slot;
    if (header.tableId() == kTableEitPresentFollowing) {
        if (sectionNumber > 1) return false;
        slot = &record.presentFollowing[sectionNumber];
    } else {
        const int seq = (header.tableId() & 1) * 256 + sectionNumber;
        slot = (header.tableId() & 0x0F) < 8 ? &record.basicAt(seq) : &record.extendedAt(seq);
    }
    return slot->checked && slot->data && slot->length == size && std::memcmp(slot->data, section, size) == 0;
}

void storeEitSection(EpgStore* store, const uint8_t* section, size_t size) { fileEitSection(store, section, size); }

SectionSlot* fileEitSection(EpgStore* store, const uint8_t* section, size_t size) {
    const SectionHeader header(section, size);
    if (!store || !header) return nullptr;
    const int tid = header.tableId();
    if (!isStoredTable(tid)) return nullptr;
    const size_t sectionLength = header.sectionLength();
    if (sectionLength + 3 > size) return nullptr;
    const int serviceId = header.serviceId();
    const int version = header.version();
    const int sectionNumber = header.sectionNumber();
    const int networkClass = networkClassOf(header.originalNetworkId());

    int index = findOrCreateService(store, networkClass, serviceId);
    if (index >= kMaxServices) return nullptr;
    if (sectionLength <= 15) return nullptr;
    if (tid == kTableEitPresentFollowing && sectionNumber > 1) return nullptr;
    ServiceRecord& record = *store->services[index];
    const size_t length = sectionLength + 3;
    const int seq = (tid & 1) * 256 + sectionNumber;

    SectionSlot* slot;
    SectionSlot* baseline = nullptr;
    for (;;) {
        if (tid == kTableEitPresentFollowing) {
            slot = &record.presentFollowing[sectionNumber];
            break;
        }
        bool basicTable = (tid & 0x0F) < 8;  // basic information in the lower half of each group
        slot = basicTable ? &record.basicAt(seq) : &record.extendedAt(seq);
        if (basicTable) baseline = &record.baselineAt(seq);

        // A schedule slot holding another day's section: roll the schedule
        // forward when the new section is the newer day, else drop it.
        const SectionHeader stored = headerOf(*slot);
        if (!stored || stored.serviceId() == 0) break;
        const EventView newFirst = EventCursor(section, length).next();
        const EventView oldFirst = EventCursor(*slot).next();
        if (!newFirst || !oldFirst) break;
        if (newFirst.startMjd() == oldFirst.startMjd()) break;  // the same start date
        if (oldFirst.timeRange().start > newFirst.timeRange().start) return nullptr;
        dayRoll(record);
    }

    record.serviceId = static_cast<uint16_t>(serviceId);
    const SectionHeader stored = headerOf(*slot);
    const int oldVersion = stored ? stored.version() : -1;
    if (oldVersion != version) {
        ++slot->updateCount;
        store->changed = 1;
        if (baseline && !slot->data) storeSection(*baseline, section, length);
    }
    return storeSection(*slot, section, length) ? slot : nullptr;
}

EventView findExtendedEventAt(const EpgStore* store, int serviceIndex, int64_t t) {
    if (!store || serviceIndex < 0 || serviceIndex >= kMaxServices) return {};
    const ServiceRecord* record = store->services[serviceIndex];
    if (!record) return {};
    EventView found;
    bool followingUsed = false;
    walkSchedule(*record, ScheduleTable::extended, t, [&](const EventView& event, const TimeRange& range, bool startedLater) {
        if (range.start > t) {
            found = {};
            return WalkStep::stop;
        }
        if (range.end <= t) return WalkStep::next;
        found = event;
        if (hasDescriptor(event, kTagExtendedEvent) || !startedLater || followingUsed) return WalkStep::stop;
        followingUsed = true;
        return WalkStep::following;
    });
    return found;
}

ExtendedEventLookup::ExtendedEventLookup(const EpgStore* store, int serviceIndex)
    : store_(store), service_(serviceIndex) {
    if (!store || serviceIndex < 0 || serviceIndex >= kMaxServices || !store->services[serviceIndex]) return;
    const ServiceRecord& record = *store->services[serviceIndex];
    for (int seq = 0; seq < kSlotsPerTable; ++seq) {
        for (EventCursor cursor(record.extendedAt(seq)); EventView event = cursor.next();) {
            const TimeRange range = event.timeRange();
            const int64_t latest = entries_.empty() ? range.end : std::max(entries_.back().latestEnd, range.end);
            entries_.push_back({event, range.start, latest});
        }
    }
}

EventView ExtendedEventLookup::at(int64_t t) const {
    if (entries_.empty()) return {};
    if (t < entries_.front().start) return findExtendedEventAt(store_, service_, t);
    // Past the first event the walk lists every slot and stops at the first
    // event that ends after t (one starting after t ends after it too): the
    // answer when it has begun by t, else none.
    const auto first = std::upper_bound(entries_.begin(), entries_.end(), t,
                                         [](int64_t time, const Entry& e) { return time < e.latestEnd; });
    return first != entries_.end() && first->start <= t ? first->event : EventView{};
}

}  // namespace corvane
