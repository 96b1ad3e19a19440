// CRC-32 of MPEG-2 sections: polynomial 0x04C11DB7, initial 0xFFFFFFFF,
// most significant bit first, no reflection, no final inversion.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvane {

uint32_t crc32Mpeg(const uint8_t* data, size_t size, uint32_t crc = 0xFFFFFFFFu);

}  // namespace corvane
