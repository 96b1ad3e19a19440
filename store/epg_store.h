// The EPG store: every service known so far with its raw EIT sections.
//
// Sections are kept exactly as broadcast (table_id through CRC_32) in fixed
// slot tables and decoded only when a view needs them. The capacities are the
// design: 300 services, 2 x 256 slots per schedule table, 8192 PIDs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "store/broadcast_time.h"

namespace corvane {

constexpr int kMaxServices = 300;     // findOrCreateService answers this when full
constexpr int kPidCount = 8192;
constexpr int kSlotsPerTable = 512;   // (table_id & 1) * 256 + section_number
constexpr int kSlotsPerDay = 64;      // eight sections per three-hour segment
constexpr int kNameCapacity = 50;     // provider, service and TS names

// Offsets inside a stored EIT section.
constexpr size_t kSectionHeaderSize = 14;  // events start here
constexpr size_t kCrcSize = 4;
constexpr size_t kEventHeaderSize = 12;

// The header of an EIT section, read where the section lies. Empty over
// fewer than kSectionHeaderSize bytes.
class SectionHeader {
public:
    SectionHeader(const uint8_t* section, size_t size) : p_(section && size >= kSectionHeaderSize ? section : nullptr) {}
    explicit operator bool() const { return p_ != nullptr; }
    int tableId() const { return p_[0]; }
    size_t sectionLength() const { return ((p_[1] & 0x0F) << 8) | p_[2]; }
    int serviceId() const { return (p_[3] << 8) | p_[4]; }
    int version() const { return (p_[5] >> 1) & 0x1F; }
    int sectionNumber() const { return p_[6]; }
    int originalNetworkId() const { return (p_[10] << 8) | p_[11]; }

private:
    const uint8_t* p_;
};

// Holds at most one raw section. The buffer grows and is never shrunk.
// 16 bytes: a full store has more than 300,000 slots, and a data file's load
// writes every one of them.
struct SectionSlot {
    uint8_t* data;        // null = empty slot
    uint16_t updateCount;
    uint16_t capacity;
    uint16_t length;      // section_length + 3
    uint8_t checked;      // the bytes passed the transport-stream reader's CRC check
    uint8_t lent;         // data lies in one of the store's section blocks: not freed on its own
};
static_assert(sizeof(SectionSlot) <= 16);

inline SectionHeader headerOf(const SectionSlot& slot) { return {slot.data, slot.data ? size_t{slot.length} : 0}; }

// Per-PID section assembly buffer of the transport-stream reader.
struct SectionBuffer {
    int32_t expectedContinuity;
    uint8_t* data;
    int32_t capacity;
    int32_t length;
};

struct ServiceRecord {
    uint16_t serviceId;
    uint16_t networkWord;  // bits 15..12 networkClass, bits 11..0 physicalChannel
    uint8_t providerName[kNameCapacity];
    uint16_t providerNameLength;
    uint8_t serviceName[kNameCapacity];
    uint16_t serviceNameLength;
    uint8_t remoteKeyId;
    uint8_t tsName[kNameCapacity];
    uint16_t tsNameLength;
    uint8_t satelliteFrequency[4];  // raw BCD, GHz with the point after digit 3
    uint16_t deliveryNetworkClass;
    uint16_t transportStreamId;
    SectionSlot basic[2][256];
    SectionSlot extended[2][256];
    SectionSlot presentFollowing[2];
    SectionSlot baseline[2][256];

    int networkClass() const { return networkWord >> 12; }
    int physicalChannel() const { return networkWord & 0x0FFF; }
    // A terrestrial service: no network class in its network word.
    bool isTerrestrial() const { return networkWord <= 0x0FFF; }
    // The service's identity: its network class and service id.
    bool identifiedBy(int networkClass_, int serviceId_) const {
        return serviceId == serviceId_ && networkClass() == networkClass_;
    }
    // The two 256-slot halves as one sequence of 512 (index = (tid & 1) * 256 + sec).
    SectionSlot& basicAt(int seq) { return basic[seq >> 8][seq & 255]; }
    SectionSlot& extendedAt(int seq) { return extended[seq >> 8][seq & 255]; }
    SectionSlot& baselineAt(int seq) { return baseline[seq >> 8][seq & 255]; }
    const SectionSlot& basicAt(int seq) const { return basic[seq >> 8][seq & 255]; }
    const SectionSlot& extendedAt(int seq) const { return extended[seq >> 8][seq & 255]; }
    const SectionSlot& baselineAt(int seq) const { return baseline[seq >> 8][seq & 255]; }
};

struct EpgStore;

// The bytes of a loaded data file, kept in one allocation so that its
// sections stay where they lie, lent to the slots that hold them. The store
// keeps its blocks until the next data file discards the loaded sections;
// that load may then reuse one, already in memory.
struct SectionBlock {
    SectionBlock* next;
    size_t size;
    uint8_t* bytes() { return reinterpret_cast<uint8_t*>(this + 1); }
};

// A block of at least n bytes for a load: a spare one of the store not much
// larger, else a new one (null when there is no memory). The other spare
// blocks are released.
SectionBlock* takeSectionBlock(EpgStore* store, size_t n);
void releaseSectionBlock(SectionBlock* block);

struct EpgStore {
    ServiceRecord* services[kMaxServices];  // packed prefix, sorted by (class, id)
    int32_t serviceCount;
    SectionBuffer* pidBuffers[kPidCount];
    int32_t totYear, totMonth, totDay, totHour, totMinute, totSecond;  // totYear 0 = no TOT yet
    int64_t totTime;
    int32_t fileVersion;
    int32_t changed;   // a stored version changed, or a data file was loaded
    int32_t closing;   // set just before destruction; readers stop at once
    SectionBlock* sectionBlocks;  // what lent slots point into
    SectionBlock* spareBlocks;    // no slot points into these any more
    // Room for all the records at once, taken from the system in large pages
    // (each record is made once and kept until the store goes); null when
    // it could not be had, and every record is then allocated on its own.
    ServiceRecord* recordRoom;
    int32_t recordsMade;
};

// networkClass of an original_network_id or network_id: 4..7 as they are, else 0.
inline int networkClassOf(int networkId) { return (networkId >= 4 && networkId <= 7) ? networkId : 0; }

EpgStore* createStore();                       // null when it cannot be allocated
void destroyStore(EpgStore* store);            // sets closing first; null is fine

struct StoreDeleter {
    void operator()(EpgStore* store) const { destroyStore(store); }
};
using StorePtr = std::unique_ptr<EpgStore, StoreDeleter>;

void clearSections(EpgStore* store);           // before a data file is merged

// Index 0..299 of the record (networkClass, serviceId), created if needed;
// kMaxServices when the table is full or the allocation failed.
int findOrCreateService(EpgStore* store, int networkClass, int serviceId);

// Files one complete, CRC-checked EIT section of `size` bytes (section_length + 3).
void storeEitSection(EpgStore* store, const uint8_t* section, size_t size);
// The same, answering the slot that now holds the section (null when it was
// not stored).
SectionSlot* fileEitSection(EpgStore* store, const uint8_t* section, size_t size);

// True when the slot that `section` would be filed into holds exactly these
// bytes, marked as having passed the reader's CRC check: the section's CRC
// is right and filing it again would change nothing.
bool holdsCheckedCopy(const EpgStore* store, const uint8_t* section, size_t size);

// Slot operations shared by the store, the day roll and the data file reader.
// All clear `checked`. A lent section is overwritten in place when the new
// one fits, as an owned buffer is.
bool storeSection(SectionSlot& slot, const uint8_t* bytes, size_t n);  // false: no memory
void emptySlot(SectionSlot& slot);     // releases data, keeps updateCount
// The slot holds the n bytes where they lie, in one of the store's section
// blocks; its capacity is n.
void lendSection(SectionSlot& slot, uint8_t* bytes, size_t n);

// Moves the schedule of one service one day (64 slots) earlier.
void dayRoll(ServiceRecord& record);

// original_network_id of the first EIT section stored for the service (basic,
// extended or present/following), -1 when it has none.
int originalNetworkIdOf(const ServiceRecord& record);

// An event inside a stored section, bounded by the end of the section's event
// loop (the CRC is not part of it). `size` >= 12 always holds for a valid view.
struct EventView {
    const uint8_t* data = nullptr;
    size_t size = 0;  // bytes from the event's first byte to the loop end
    explicit operator bool() const { return data != nullptr; }
    int eventId() const { return (data[0] << 8) | data[1]; }
    const uint8_t* startTime() const { return data + 2; }  // MJD, then hour, minute, second (BCD)
    int startMjd() const { return (data[2] << 8) | data[3]; }
    // descriptors_loop_length, cut to what the section really holds
    size_t descriptorsLength() const {
        size_t n = ((data[10] & 0x0F) << 8) | data[11];
        return n <= size - kEventHeaderSize ? n : size - kEventHeaderSize;
    }
    const uint8_t* descriptors() const { return data + kEventHeaderSize; }
    TimeRange timeRange() const { return eventTimeRange(startTime()); }
    // free_CA_mode: some stream of the event is scrambled.
    bool freeCaMode() const { return (data[10] & 0x10) != 0; }
    // Every bit of start_time (a following event not fixed yet) or of
    // duration (an open end) set: the broadcast leaves the value undefined.
    bool startUndefined() const { return allOnes(data + 2, 5); }
    bool durationUndefined() const { return allOnes(data + 7, 3); }
    int64_t broadcastStart() const { return broadcastClockOf(startTime()); }
    // Hours and minutes of the duration in seconds (its seconds byte ignored,
    // as in eventTimeRange); -1 when undefined.
    int64_t durationSeconds() const;

private:
    static bool allOnes(const uint8_t* bytes, size_t n) {
        for (size_t i = 0; i < n; ++i)
            if (bytes[i] != 0xFF) return false;
        return true;
    }
};

// Walks the events of a stored section in stored order. An event whose
// 12-byte header does not fit before the CRC ends the walk.
class EventCursor {
public:
    EventCursor(const uint8_t* section, size_t length);
    explicit EventCursor(const SectionSlot& slot) : EventCursor(slot.data, slot.data ? slot.length : 0) {}
    EventView next();  // empty view when there are no more events
private:
    const uint8_t* section_;
    size_t loopEnd_;
    size_t pos_;
};

// The extended-schedule event of service `serviceIndex` whose time range
// holds t, found by the schedule walk; when the schedule started after t, a
// following programme without its own extended descriptor is looked up in
// the present/following section [1].
EventView findExtendedEventAt(const EpgStore* store, int serviceIndex, int64_t t);

// findExtendedEventAt for many times of one service: its extended schedule
// read once in the order the walk takes it, each answer then found by
// halving. The answer is findExtendedEventAt's at every time; a time before
// the first event of the extended schedule, where the walk turns to the
// present/following sections, is handed to findExtendedEventAt itself. The
// store must not change while the lookup is used.
class ExtendedEventLookup {
public:
    ExtendedEventLookup(const EpgStore* store, int serviceIndex);
    EventView at(int64_t t) const;
    int service() const { return service_; }

private:
    struct Entry {
        EventView event;
        int64_t start;
        int64_t latestEnd;  // the latest end of this event and those before it
    };
    const EpgStore* store_;
    int service_;
    std::vector<Entry> entries_;
};

}  // namespace corvane
