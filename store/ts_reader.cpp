#include "store/ts_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "store/block_source.h"
#include "store/crc32.h"
#include "store/file_io.h"
#include "store/si_ids.h"
#include "store/si_tables.h"

namespace corvane {

namespace {

constexpr size_t kPacketSize = 188;
constexpr size_t kPayloadSize = kPacketSize - 4;
constexpr int kMinUnit = 188;
constexpr int kMaxUnit = 319;
constexpr int kRunLength = 8;              // sync bytes in a row that mark a packet run
constexpr size_t kDetectionSize = 8192;    // the unit is found on exactly the first 8192 bytes
constexpr size_t kBlockSize = BlockSource::kBlockSize;  // later reads
constexpr uint8_t kSync = 0x47;

constexpr int kPidNit = 0x0010;
constexpr int kPidSdt = 0x0011;
constexpr int kPidEit = 0x0012;
constexpr int kPidTot = 0x0014;

// Out of line, so that the copy of a piece known to be shorter than a
// packet is not expanded into a slow-starting string instruction.
[[gnu::noinline]] void copyPiece(uint8_t* to, const uint8_t* from, size_t n) { std::memcpy(to, from, n); }

class SectionCollector {
public:
    explicit SectionCollector(EpgStore* store) : store_(store) {}

    void handlePacket(const uint8_t* packet) {
        // Nearly every packet carries some other PID (video, audio, the
        // reserved 0x0002..0x000F among them): one comparison skips it.
        const int pid = ((packet[1] & 0x1F) << 8) | packet[2];
        if (pid < kPidNit || pid > kPidTot) return;
        if (store_->closing || packet[0] != kSync || (packet[1] & 0x80)) return;
        if ((packet[3] >> 6) == 1 || ((packet[3] >> 4) & 3) == 0) return;
        switch (pid) {
            case kPidEit:
                if (store_->totYear != 0) collect(pid, packet);
                break;
            case kPidNit:
            case kPidSdt:
                collect(pid, packet);
                break;
            case kPidTot:
                // The time table fits one packet: taken from it directly.
                if (packet[5] == kTableTot) handleTotSection(store_, packet + 5, kPacketSize - 5);
                break;
            default:
                break;
        }
    }

private:
    static bool append(SectionBuffer* buffer, const uint8_t* bytes, size_t n) {
        if (n == 0) return true;
        if (static_cast<size_t>(buffer->length) + n > static_cast<size_t>(buffer->capacity) || !buffer->data) {
            size_t capacity = buffer->length + n + 200;
            auto* grown = static_cast<uint8_t*>(std::malloc(capacity));
            if (!grown) return false;
            if (buffer->length) std::memcpy(grown, buffer->data, buffer->length);
            std::free(buffer->data);
            buffer->data = grown;
            buffer->capacity = static_cast<int32_t>(capacity);
        }
        // A whole payload, the common case, is copied as a block of known
        // size; the pieces at a section's start and end by the library.
        if (n == kPayloadSize) {
            std::memcpy(buffer->data + buffer->length, bytes, kPayloadSize);
        } else {
            copyPiece(buffer->data + buffer->length, bytes, n);
        }
        buffer->length += static_cast<int32_t>(n);
        return true;
    }

    void collect(int pid, const uint8_t* packet) {
        SectionBuffer*& buffer = store_->pidBuffers[pid];
        if (!buffer) {
            buffer = static_cast<SectionBuffer*>(std::calloc(1, sizeof(SectionBuffer)));
            if (!buffer) return;
        }
        const bool unitStart = (packet[1] & 0x40) != 0;
        const int continuity = packet[3] & 0x0F;
        const size_t pointer = packet[4];
        if (buffer->length > 0 && continuity == buffer->expectedContinuity) {
            // The rest of the section in progress.
            size_t from = unitStart ? 5 : 4;
            size_t to = unitStart ? std::min(5 + pointer, kPacketSize) : kPacketSize;
            if (append(buffer, packet + from, to - from)) completeSections(pid, buffer);
        }
        buffer->expectedContinuity = (continuity + 1) & 0x0F;
        if (unitStart) {
            buffer->length = 0;
            size_t from = 5 + pointer;
            if (from < kPacketSize && append(buffer, packet + from, kPacketSize - from))
                completeSections(pid, buffer);
        }
    }

    void completeSections(int pid, SectionBuffer* buffer) {
        while (buffer->length > 3) {
            const size_t size = (((buffer->data[1] & 0x0F) << 8) | buffer->data[2]) + 3;
            if (static_cast<size_t>(buffer->length) < size) return;
            // Most EIT sections repeat one the store holds byte for byte:
            // filing it again would change nothing, its CRC is known right.
            if (pid != kPidEit || !holdsCheckedCopy(store_, buffer->data, size)) {
                if (crc32Mpeg(buffer->data, size) != 0) {
                    buffer->length = 0;
                    return;
                }
                dispatch(pid, buffer->data, size);
            }
            const size_t rest = buffer->length - size;
            if (rest == 0 || buffer->data[size] == 0xFF) {
                buffer->length = 0;
                return;
            }
            std::memmove(buffer->data, buffer->data + size, rest);
            buffer->length = static_cast<int32_t>(rest);
        }
    }

    void dispatch(int pid, const uint8_t* section, size_t size) {
        switch (pid) {
            case kPidNit:
                handleNitSection(store_, section, size);
                break;
            case kPidSdt:
                handleSdtSection(store_, section, size);
                break;
            case kPidEit:
                if (SectionSlot* slot = fileEitSection(store_, section, size)) slot->checked = 1;
                break;
            default:
                break;
        }
    }

    EpgStore* store_;
};

// First q in [from, limit) with sync bytes at q, q + unit, ... q + 7 * unit.
// `limit` keeps the whole run inside the data.
size_t findPacketRun(const uint8_t* data, size_t from, size_t limit, size_t unit) {
    for (size_t q = from; q < limit; ++q) {
        const uint8_t* candidate = static_cast<const uint8_t*>(std::memchr(data + q, kSync, limit - q));
        if (!candidate) return SIZE_MAX;
        q = candidate - data;
        int run = 1;
        while (run < kRunLength && data[q + run * unit] == kSync) ++run;
        if (run == kRunLength) return q;
    }
    return SIZE_MAX;
}

void readStream(EpgStore* store, BlockSource& source, int64_t size, ProgressSink* progress, size_t blockSize) {
    const int64_t total = size / 1000;
    auto report = [&](int64_t done) { return progress ? progress->reportProgress(done, total) : true; };
    auto stopped = [&](int64_t done) { return !report(done) || store->closing; };

    if (stopped(0)) return;
    // Each block is read to the same page-aligned place; the bytes carried
    // over from the block before (less than a unit, or a run of units while
    // resynchronising) go just in front of it.
    constexpr size_t kCarryRoom = 4096;
    constexpr size_t kAlignment = 4096;
    static_assert(kCarryRoom >= kRunLength * kMaxUnit);
    const size_t block = std::max(blockSize, kDetectionSize);
    std::unique_ptr<uint8_t[]> storage(new (std::nothrow) uint8_t[kCarryRoom + block + kAlignment]);
    if (!storage) return;
    const uintptr_t room = reinterpret_cast<uintptr_t>(storage.get()) + kCarryRoom;
    uint8_t* const blockStart = storage.get() + kCarryRoom + ((kAlignment - room % kAlignment) % kAlignment);

    size_t end = source.readFully(blockStart, kDetectionSize);
    const int detected = select_unit_size(blockStart, blockStart + end);
    if (detected < kMinUnit) {
        std::fputs("error - failed on select_unit_size()\n", stderr);
        return;
    }
    const size_t unit = static_cast<size_t>(detected);
    int64_t readTotal = static_cast<int64_t>(end);
    if (stopped(readTotal / 1000)) return;

    SectionCollector collector(store);
    // The bytes at hand: data[0, end).
    uint8_t* data = blockStart;
    // A resynchronisation that reaches the end of the block goes on in the
    // next one: until a run is found, a sync byte is no packet start by itself.
    bool resyncing = false;
    // Finds the next run of packets from p; false (p moved past every
    // position already rejected) when it may start only in the next block.
    auto resynchronise = [&](size_t& p) {
        const size_t searchLimit = end > kRunLength * unit ? end - kRunLength * unit : 0;
        const size_t q = findPacketRun(data, p, searchLimit, unit);
        resyncing = q == SIZE_MAX;
        p = resyncing ? std::max(p, searchLimit) : q;
        return !resyncing;
    };
    for (;;) {
        size_t p = 0;
        if (!resyncing || resynchronise(p)) {
            while (p + unit <= end) {
                if (data[p] != kSync && !resynchronise(p)) break;
                collector.handlePacket(data + p);
                p += unit;
            }
        }

        const size_t kept = end - p;
        std::memmove(blockStart - kept, data + p, kept);
        data = blockStart - kept;
        const long got = source.read(blockStart, block);
        end = kept;
        if (got < 1) break;
        end += static_cast<size_t>(got);
        readTotal += got;
        if (stopped(readTotal / 1000)) return;
        if (end <= unit) break;
    }

    // Tail: the last bytes, resynchronised on every remaining unit.
    size_t p = 0;
    while (p + kPacketSize <= end && !store->closing) {
        if (data[p] != kSync || resyncing) {
            size_t q = p;
            for (; end - q > kPacketSize; ++q) {
                const size_t n = (end - q) / unit;
                size_t i = 0;
                while (i < n && data[q + i * unit] == kSync) ++i;
                if (i == n) break;
            }
            if (end - q <= kPacketSize) return;
            p = q;
            resyncing = false;
        }
        collector.handlePacket(data + p);
        p += unit;
    }
}

class FinalReport {
public:
    FinalReport(ProgressSink* progress, int64_t total) : progress_(progress), total_(total) {}
    ~FinalReport() {
        if (progress_) progress_->reportProgress(total_, total_);
    }
    void setTotal(int64_t total) { total_ = total; }

private:
    ProgressSink* progress_;
    int64_t total_;
};

}  // namespace

int select_unit_size(const uint8_t* start, const uint8_t* end) {
    if (!start || end <= start) return 0;
    const uint8_t* first = static_cast<const uint8_t*>(std::memchr(start, kSync, end - start));
    if (!first) return 0;
    int counts[kMaxUnit + 1] = {};
    const uint8_t* last = first;
    for (const uint8_t* p = first + 1; p < end; ++p) {
        if (*p != kSync) continue;
        const ptrdiff_t d = p - last;
        if (d < kMinUnit) {
            // The nearest earlier sync at least one packet back; one farther
            // than the largest unit cannot count, so the search stops there.
            if (p - start < kMinUnit) continue;
            const uint8_t* lowest = (p - start > kMaxUnit) ? p - kMaxUnit : start;
            for (const uint8_t* q = p - kMinUnit; q >= lowest; --q) {
                if (*q == kSync) {
                    ++counts[p - q];
                    last = p;
                    break;
                }
                if (q == start) break;
            }
        } else if (d <= kMaxUnit) {
            ++counts[d];
            last = p;
        } else {
            last = p;
        }
    }
    int unit = 0, count = 0;
    for (int d = kMinUnit; d <= kMaxUnit; ++d) {
        if (counts[d] > count) {
            count = counts[d];
            unit = d;
        }
    }
    const ptrdiff_t span = end - start;
    if (count < 8 || static_cast<ptrdiff_t>(unit) * count < span - (static_cast<ptrdiff_t>(unit) * count) / 8)
        return 0;
    return unit;
}

void readTransportStream(EpgStore* store, const char* path, ProgressSink* progress) {
    if (!store || store->closing) return;
    InputFile file;
    FinalReport final(progress, 0);
    if (!file.open(path)) {
        std::fprintf(stderr, "error - failed on open(%s) [src]\n", path ? path : "");
        return;
    }
    const int64_t size = std::max<int64_t>(file.size(), 0);
    final.setTotal(size / 1000);
    BlockSource source(file);
    readStream(store, source, size, progress, kBlockSize);
}

void readTransportStreamBytes(EpgStore* store, const uint8_t* data, size_t size, ProgressSink* progress,
                              size_t blockSize) {
    if (!store || store->closing) return;
    FinalReport final(progress, static_cast<int64_t>(size) / 1000);
    BlockSource source(data, data ? size : 0);
    readStream(store, source, static_cast<int64_t>(data ? size : 0), progress, blockSize ? blockSize : kBlockSize);
}

}  // namespace corvane
