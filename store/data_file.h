// The EPG data file: a snapshot of the store's service records with every
// stored EIT section, raw.
//
// Layout (little-endian, no padding, no count, no terminator):
//   "Epg" + two version digits (written "01")
//   per service record: serviceId 2, networkWord 2, providerName 50 + length 2,
//   serviceName 50 + length 2, then (version 1 and later) remoteKeyId 1,
//   tsName 50 + length 2; then 1026 slot entries (updateCount 2, length 2,
//   length bytes): basic k and extended k for k = 0..511, then
//   presentFollowing [0] and [1].
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/epg_store.h"
#include "store/file_io.h"

namespace corvane {

constexpr size_t kDataFileHeaderSize = 5;
constexpr size_t kRecordFieldsSize = 161;         // version 1 and later
constexpr size_t kRecordFieldsSizeVersion0 = 108;  // without the TS information
constexpr int kSlotEntriesPerRecord = 2 * kSlotsPerTable + 2;

// Writes the store to `path` through a temporary file beside it, which
// replaces the target only when every write succeeded. False when anything
// failed; an existing file at `path` is then left as it was.
bool writeDataFile(const char* path, const EpgStore& store);

// The same into a file the caller opened; commits it (or abandons it on failure).
bool writeDataFile(AtomicOutputFile& out, const EpgStore& store);

// Merges a data file into the store: the loaded sections are discarded first
// (clearSections), the file's services are found or created and take the
// file's names, channel and sections. A truncated file keeps what was read.
// The file is read into one block that the store keeps, its sections lent
// to the slots where they lie (see readDataFileBytes).
// Slot entries that cannot be a stored section (shorter than 19 bytes, or
// not section_length + 3 bytes long) are skipped, leaving the slot empty.
// False, with the store untouched, when the file cannot be opened or does
// not start with "Epg".
bool readDataFile(EpgStore* store, const char* path);

// The same over bytes in memory, as if they were the file's contents. The
// loaded sections stay where they lie in one block of the file's bytes as
// far as the store can use them; `kept` bytes at most (0: that far) after the
// header, and the rest is copied section by section. The store comes out the
// same whatever it is.
bool readDataFileBytes(EpgStore* store, const uint8_t* data, size_t size, size_t kept = 0);

}  // namespace corvane
