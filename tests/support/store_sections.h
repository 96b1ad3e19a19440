// Helpers shared by the store, reader and guide tests: broadcast times of the
// test week, EIT sections put straight into a store, and bytes read back.
#pragma once

#include <algorithm>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "store/epg_store.h"
#include "tools/broadcast/si_builder.h"

namespace corvane {

// Wall-clock broadcast time `day` days after Monday 2026-12-07.
inline int64_t at(int day, int hour, int minute = 0) {
    return broadcast::broadcastTime(2026, 12, 7 + day, hour, minute);
}

inline broadcast::EitEvent event(uint16_t id, int64_t start, int minutes, broadcast::Bytes descriptors = {}) {
    return {.eventId = id, .start = start, .duration = minutes * 60, .descriptors = std::move(descriptors)};
}

// Section `section` of table `tableId` of a terrestrial service.
inline broadcast::Bytes eit(uint8_t tableId, uint16_t serviceId, uint8_t section, uint8_t version,
                            std::vector<broadcast::EitEvent> events) {
    return broadcast::eitSection({.tableId = tableId, .serviceId = serviceId, .transportStreamId = 0x7FE0,
                                  .originalNetworkId = 0x7FE0, .version = version, .sectionNumber = section,
                                  .lastSectionNumber = 0xFF, .events = std::move(events)});
}

inline void put(EpgStore* store, const broadcast::Bytes& section) {
    storeEitSection(store, section.data(), section.size());
}

inline broadcast::Bytes slotBytes(const SectionSlot& s) {
    return s.data ? broadcast::Bytes(s.data, s.data + s.length) : broadcast::Bytes();
}

inline broadcast::Bytes concat(std::initializer_list<broadcast::Bytes> parts) {
    broadcast::Bytes out;
    for (const broadcast::Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline std::string repeat(const char* text, int times) { return times > 0 ? text + repeat(text, times - 1) : ""; }

// How often `part` stands in `text`.
inline size_t occurrences(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

inline broadcast::Bytes readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return broadcast::Bytes(std::istreambuf_iterator<char>(in), {});
}

// Sets a name field of a service record to Shift_JIS `text` as ARIB bytes, cut to the field.
inline void setName(uint8_t* field, uint16_t& length, const char* text) {
    const broadcast::Bytes bytes = broadcast::AribText(text).bytes;
    length = static_cast<uint16_t>(std::min<size_t>(bytes.size(), kNameCapacity));
    std::memcpy(field, bytes.data(), length);
}

}  // namespace corvane
