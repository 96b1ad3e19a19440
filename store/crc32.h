// CRC-32 of MPEG-2 sections: polynomial 0x04C11DB7, initial 0xFFFFFFFF,
// most significant bit first, no reflection, no final inversion.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvane {

// The CRC by the fastest of the ways below that this processor offers,
// chosen once at the first call. `crc` continues a CRC over earlier bytes.
uint32_t crc32Mpeg(const uint8_t* data, size_t size, uint32_t crc = 0xFFFFFFFFu);

// Eight bytes at a time through lookup tables: every processor.
uint32_t crc32MpegTable(const uint8_t* data, size_t size, uint32_t crc = 0xFFFFFFFFu);

// Sixteen-byte blocks folded by carry-less multiplication; the same results.
// Only where crc32FoldingAvailable() (otherwise the tables answer).
uint32_t crc32MpegFolded(const uint8_t* data, size_t size, uint32_t crc = 0xFFFFFFFFu);
bool crc32FoldingAvailable();

}  // namespace corvane
