// The table ids and descriptor tags of the service information this program
// reads, named in one place.
#pragma once

#include <cstdint>

namespace corvane {

// Table ids.
inline constexpr uint8_t kTableNitActual = 0x40;
inline constexpr uint8_t kTableSdtActual = 0x42;
inline constexpr uint8_t kTableEitPresentFollowing = 0x4E;  // actual; "other" (0x4F) is not read
// Schedule tables: the store keeps the first two of each group of eight
// (0x50/0x51, 0x58/0x59, 0x60/0x61, 0x68/0x69), basic information in the
// lower half of a group of sixteen, extended information in the upper half.
inline constexpr uint8_t kTableEitScheduleBasic = 0x50;
inline constexpr uint8_t kTableEitScheduleExtended = 0x58;
inline constexpr uint8_t kTableEitScheduleBasicOther = 0x60;
inline constexpr uint8_t kTableEitScheduleExtendedOther = 0x68;
inline constexpr uint8_t kTableTot = 0x73;

// Descriptor tags.
inline constexpr uint8_t kTagServiceList = 0x41;
inline constexpr uint8_t kTagSatelliteDelivery = 0x43;
inline constexpr uint8_t kTagService = 0x48;
inline constexpr uint8_t kTagShortEvent = 0x4D;
inline constexpr uint8_t kTagExtendedEvent = 0x4E;
inline constexpr uint8_t kTagComponent = 0x50;
inline constexpr uint8_t kTagContent = 0x54;
inline constexpr uint8_t kTagAudioComponent = 0xC4;
inline constexpr uint8_t kTagTsInformation = 0xCD;

}  // namespace corvane
