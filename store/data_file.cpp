#include "store/data_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "store/block_source.h"
#include "store/byte_reader.h"

namespace corvane {

namespace {

constexpr int kWrittenVersion = 1;

// The smallest section the store ever keeps: section_length > 15.
constexpr size_t kMinStoredSection = 16 + 3;

bool writeSlot(AtomicOutputFile& out, const SectionSlot& slot) {
    uint8_t entry[4];
    const uint16_t length = slot.data ? slot.length : 0;
    ByteWriter fields(entry, sizeof entry);
    fields.u16le(slot.updateCount);
    fields.u16le(length);
    return out.write(entry, sizeof entry) && (length == 0 || out.write(slot.data, length));
}

bool writeRecord(AtomicOutputFile& out, const ServiceRecord& r) {
    uint8_t bytes[kRecordFieldsSize];
    ByteWriter fields(bytes, sizeof bytes);
    fields.u16le(r.serviceId);
    fields.u16le(r.networkWord);
    fields.bytes(r.providerName, kNameCapacity);
    fields.u16le(r.providerNameLength);
    fields.bytes(r.serviceName, kNameCapacity);
    fields.u16le(r.serviceNameLength);
    fields.u8(r.remoteKeyId);
    fields.bytes(r.tsName, kNameCapacity);
    fields.u16le(r.tsNameLength);
    if (!out.write(bytes, sizeof bytes)) return false;
    for (int k = 0; k < kSlotsPerTable; ++k) {
        if (!writeSlot(out, r.basicAt(k)) || !writeSlot(out, r.extendedAt(k))) return false;
    }
    return writeSlot(out, r.presentFollowing[0]) && writeSlot(out, r.presentFollowing[1]);
}

// Bytes that the store could have kept: a whole section of a length the
// store accepts, as long as its own section_length says.
bool couldBeStoredSection(const uint8_t* p, size_t length) {
    return length >= kMinStoredSection && SectionHeader(p, length).sectionLength() + 3 == length;
}

// The largest file whose every byte a store could use: 300 records of
// 1026 slot entries, each with the longest section there is.
constexpr size_t kLargestSection = 0xFFF + 3;
constexpr uint64_t kLargestUsefulFile =
    kDataFileHeaderSize + uint64_t{kMaxServices} * (kRecordFieldsSize + kSlotEntriesPerRecord * (4 + kLargestSection));

// What a load reads from, after the header. The file's bytes go into one
// section block as far as the reading has come, so that its sections can be
// lent to their slots where they lie instead of each being copied into a
// buffer of its own. Without a block (no memory, the size unknown) and past
// its end (a file longer than any store can use, or one that grew) the bytes
// come block by block and sections are copied.
class LoadInput {
public:
    LoadInput(EpgStore* store, BlockSource& source, int64_t rest, uint64_t limit) : store_(store), source_(source) {
        const uint64_t kept = std::min<uint64_t>(rest, limit);
        if (rest > 0 && kept > 0) block_ = takeSectionBlock(store, static_cast<size_t>(kept));
        if (block_) {
            base_ = block_->bytes();
            capacity_ = static_cast<size_t>(kept);
        }
    }
    ~LoadInput() {
        if (used_) {
            block_->next = store_->sectionBlocks;
            store_->sectionBlocks = block_;
        } else {
            releaseSectionBlock(block_);
        }
        std::free(joined_);
    }
    LoadInput(const LoadInput&) = delete;
    LoadInput& operator=(const LoadInput&) = delete;

    // The next n bytes, valid until the next call; null when the input ends first.
    const uint8_t* take(size_t n) {
        // Once the input has gone past the block, pos_ stays at filled_.
        if (filled_ - pos_ >= n) {
            const uint8_t* bytes = base_ + pos_;
            pos_ += n;
            return bytes;
        }
        return takeFurther(n);
    }

    // Bytes just taken, as a place in the block that a slot may be lent
    // (see lend()); null when they lie elsewhere.
    uint8_t* placeOf(const uint8_t* bytes) const {
        if (!base_ || bytes < base_ || bytes >= base_ + filled_) return nullptr;
        return base_ + (bytes - base_);
    }
    // A place in the block is lent to a slot: the store keeps the block.
    void lend() { used_ = true; }

    // The bytes the block holds from here on, already read: `n` of them
    // (none without a block, or past it), at their place in the block.
    // skip() takes them as take() does.
    uint8_t* held(size_t& n) const {
        n = filled_ - pos_;
        return base_ + pos_;
    }
    void skip(size_t n) { pos_ += n; }

private:
    // take() when the block does not hold n more bytes already read.
    const uint8_t* takeFurther(size_t n) {
        if (!block_ || past_) return source_.take(n);
        while (filled_ - pos_ < n && filled_ < capacity_) {
            const long got = source_.read(block_->bytes() + filled_, std::min(kFill, capacity_ - filled_));
            if (got <= 0) break;
            filled_ += static_cast<size_t>(got);
        }
        const size_t held = filled_ - pos_;
        const uint8_t* bytes = block_->bytes() + pos_;
        pos_ += std::min(n, held);
        if (held >= n) return bytes;
        if (filled_ < capacity_) return nullptr;  // the input ended
        // The input goes on past the block: what the block holds, then the rest.
        past_ = true;
        if (held == 0) return source_.take(n);
        if (n > 0xFFFF || (!joined_ && !(joined_ = static_cast<uint8_t*>(std::malloc(0xFFFF))))) return nullptr;
        const uint8_t* rest = source_.take(n - held);
        if (!rest) return nullptr;
        std::memcpy(joined_, bytes, held);
        std::memcpy(joined_ + held, rest, n - held);
        return joined_;
    }

    // Read a little at a time, so that the bytes are still in the cache
    // when they are parsed.
    static constexpr size_t kFill = 256 << 10;

    EpgStore* store_;
    BlockSource& source_;
    SectionBlock* block_ = nullptr;
    uint8_t* base_ = nullptr;  // the block's bytes
    size_t capacity_ = 0, filled_ = 0, pos_ = 0;
    bool past_ = false, used_ = false;
    uint8_t* joined_ = nullptr;  // a take across the end of the block
};

// The `length` bytes of a slot entry (0..0xFFFF) into its slot; `place` is
// where they lie in the block, null when they lie elsewhere. The updateCount
// of the file is not kept; an entry that is not a section leaves the slot as
// it was. A section that fits a buffer the slot already has goes into it, as
// storeSection does; any other is lent where it lies when it can be.
void fileEntry(LoadInput& in, SectionSlot& slot, const uint8_t* section, uint8_t* place, size_t length) {
    slot.updateCount = 0;
    if (length == 0 || !couldBeStoredSection(section, length)) return;
    if (!place || (slot.data && slot.capacity >= length)) {
        storeSection(slot, section, length);
        return;
    }
    in.lend();
    if (!slot.data) {
        // The slot had nothing to release: the usual case, after clearSections.
        const auto n = static_cast<uint16_t>(length);
        slot = SectionSlot{.data = place, .updateCount = 0, .capacity = n, .length = n, .checked = 0, .lent = 1};
    } else {
        lendSection(slot, place, length);
    }
}

// One slot entry through take(); false on a short read.
bool readSlot(LoadInput& in, SectionSlot& slot) {
    const uint8_t* bytes = in.take(4);
    if (!bytes) return false;
    const size_t length = ByteReader(bytes + 2, 2).u16le();  // after the updateCount
    const uint8_t* section = length ? in.take(length) : bytes;
    if (!section) {
        slot.updateCount = 0;
        return false;
    }
    fileEntry(in, slot, section, in.placeOf(section), length);
    return true;
}

// The slot entries of a record: basic k and extended k for k = 0..511, then
// present/following [0] and [1]; false when the input ended inside them.
// Entries that lie whole in the bytes the block holds are filed where they
// lie, the others (across the end of what has been read) through take().
bool readSlots(LoadInput& in, ServiceRecord& r) {
    SectionSlot(*const tables[2])[256] = {r.basic, r.extended};
    constexpr int kScheduleEntries = 2 * kSlotsPerTable;
    int e = 0;
    while (e < kScheduleEntries) {
        size_t held;
        uint8_t* const start = in.held(held);
        uint8_t* p = start;
        for (; e < kScheduleEntries && held >= 4; ++e) {
            const size_t length = p[2] | p[3] << 8;
            if (held - 4 < length) break;
            fileEntry(in, tables[e & 1][e >> 9][(e >> 1) & 255], p + 4, p + 4, length);
            p += 4 + length;
            held -= 4 + length;
        }
        in.skip(static_cast<size_t>(p - start));
        if (e == kScheduleEntries) break;
        if (!readSlot(in, tables[e & 1][e >> 9][(e >> 1) & 255])) return false;
        ++e;
    }
    return readSlot(in, r.presentFollowing[0]) && readSlot(in, r.presentFollowing[1]);
}

bool readName(LoadInput& in, uint8_t (&name)[kNameCapacity], uint16_t& nameLength) {
    const uint8_t* bytes = in.take(kNameCapacity);
    if (!bytes) return false;
    std::memcpy(name, bytes, kNameCapacity);
    const uint8_t* length = in.take(2);
    if (!length) return false;
    // A longer length would make every reader of the name run past its field.
    const uint16_t n = ByteReader(length, 2).u16le();
    nameLength = n <= kNameCapacity ? n : static_cast<uint16_t>(kNameCapacity);
    return true;
}

// The fields after serviceId and networkWord, then the slot entries; false
// when the input ended inside the record.
bool readRecordBody(LoadInput& in, ServiceRecord& r, bool withTsInformation) {
    if (!readName(in, r.providerName, r.providerNameLength)) return false;
    if (!readName(in, r.serviceName, r.serviceNameLength)) return false;
    if (withTsInformation) {
        const uint8_t* key = in.take(1);
        if (!key) return false;
        r.remoteKeyId = key[0];
        if (!readName(in, r.tsName, r.tsNameLength)) return false;
    }
    return readSlots(in, r);
}

// Start date of a stored schedule section: the MJD where its first event's
// start_time lies, or -1 when the section ends before it.
int firstEventMjd(const SectionSlot& slot) {
    constexpr size_t kFirstStartMjd = kSectionHeaderSize + 2;  // after event_id
    if (!slot.data || slot.length < kFirstStartMjd + 2) return -1;
    return (slot.data[kFirstStartMjd] << 8) | slot.data[kFirstStartMjd + 1];
}

bool sameDate(int mjdA, int mjdB) {
    if (mjdA < 0 || mjdB < 0) return true;
    Date a = mjdToDate(mjdA), b = mjdToDate(mjdB);
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

// Moves the baselines of every service one day (64 slots) earlier.
void shiftBaselinesOneDay(EpgStore* store) {
    for (int i = 0; i < kMaxServices && store->services[i]; ++i) {
        ServiceRecord& r = *store->services[i];
        for (int k = 0; k < kSlotsPerDay; ++k) emptySlot(r.baselineAt(k));
        for (int k = 0; k < kSlotsPerTable - kSlotsPerDay; ++k) r.baselineAt(k) = r.baselineAt(k + kSlotsPerDay);
        for (int k = kSlotsPerTable - kSlotsPerDay; k < kSlotsPerTable; ++k) r.baselineAt(k) = SectionSlot{};
    }
}

// Keeps the baselines on the day grid of the loaded sections, and marks every
// basic slot for the change detection. Each shift empties a day of
// baselines, so this ends after at most eight shifts.
void alignBaselines(EpgStore* store) {
    int i = 0;
    while (i < kMaxServices && store->services[i]) {
        ServiceRecord& r = *store->services[i];
        int k = 0;
        while (k < kSlotsPerTable && !(r.basicAt(k).data && r.baselineAt(k).data)) ++k;
        if (k < kSlotsPerTable && !sameDate(firstEventMjd(r.basicAt(k)), firstEventMjd(r.baselineAt(k)))) {
            shiftBaselinesOneDay(store);
            i = 0;
            continue;
        }
        for (auto& half : r.basic)
            for (SectionSlot& slot : half) slot.updateCount = 1;
        ++i;
    }
}

// `size` is the input's whole size when known, else -1; at most `kept` bytes
// after the header go into a section block.
bool readFrom(EpgStore* store, BlockSource& source, int64_t size, uint64_t kept) {
    uint8_t header[kDataFileHeaderSize];
    if (source.readFully(header, sizeof header) != sizeof header || std::memcmp(header, "Epg", 3) != 0) return false;
    const char digits[3] = {static_cast<char>(header[3]), static_cast<char>(header[4]), '\0'};
    store->fileVersion = std::atoi(digits);
    const bool withTsInformation = store->fileVersion >= 1;

    clearSections(store);
    LoadInput in(store, source, size - static_cast<int64_t>(sizeof header), kept);
    for (int n = 0; n < kMaxServices; ++n) {
        const uint8_t* bytes = in.take(4);
        if (!bytes) break;
        ByteReader ids(bytes, 4);
        const uint16_t serviceId = ids.u16le();
        const uint16_t networkWord = ids.u16le();
        int index = findOrCreateService(store, networkWord >> 12, serviceId);
        if (index >= kMaxServices) break;
        ServiceRecord& r = *store->services[index];
        r.networkWord = networkWord;
        if (!readRecordBody(in, r, withTsInformation)) break;
    }
    alignBaselines(store);
    store->changed = 1;
    return true;
}

}  // namespace

bool writeDataFile(AtomicOutputFile& out, const EpgStore& store) {
    char header[16];
    std::snprintf(header, sizeof header, "Epg%02d", kWrittenVersion);
    bool ok = out.write(header, kDataFileHeaderSize);
    for (int i = 0; ok && i < kMaxServices; ++i) {
        if (store.services[i]) ok = writeRecord(out, *store.services[i]);
    }
    if (!ok) {
        out.abandon();
        return false;
    }
    return out.commit();
}

bool writeDataFile(const char* path, const EpgStore& store) {
    std::unique_ptr<AtomicOutputFile> out(new (std::nothrow) AtomicOutputFile);
    if (!out || !out->open(path)) return false;
    return writeDataFile(*out, store);
}

bool readDataFile(EpgStore* store, const char* path) {
    if (!store) return false;
    InputFile file;
    if (!file.open(path)) return false;
    const int64_t size = file.size();
    BlockSource source(file);
    if (!source.prepareTake()) return false;
    return readFrom(store, source, size, kLargestUsefulFile);
}

bool readDataFileBytes(EpgStore* store, const uint8_t* data, size_t size, size_t kept) {
    if (!store) return false;
    BlockSource source(data, size);
    return readFrom(store, source, data ? static_cast<int64_t>(size) : 0, kept ? kept : kLargestUsefulFile);
}

}  // namespace corvane
