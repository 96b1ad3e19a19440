// Change records made by hand, for the update information window's tests.
#pragma once

#include <algorithm>
#include <cstring>

#include "reserve/change_detection.h"
#include "tools/broadcast/si_builder.h"

namespace corvane {

inline void setRawName(uint8_t* field, uint16_t& length, const broadcast::Bytes& bytes) {
    length = static_cast<uint16_t>(std::min(bytes.size(), kChangeNameCapacity));
    std::memcpy(field, bytes.data(), length);
}

// A change on (networkClass, serviceId) with Shift_JIS names; a side with a
// null name is absent (all zero).
inline ChangeRecord changeRecord(int networkClass, int serviceId, int64_t oldStart, int64_t oldEnd,
                                 const char* oldName, int64_t newStart, int64_t newEnd, const char* newName) {
    ChangeRecord c;
    c.networkClass = static_cast<uint8_t>(networkClass);
    c.serviceId = static_cast<uint16_t>(serviceId);
    if (oldName) {
        c.oldStart = oldStart, c.oldEnd = oldEnd;
        setRawName(c.oldName, c.oldNameLength, broadcast::AribText(oldName).bytes);
    }
    if (newName) {
        c.newStart = newStart, c.newEnd = newEnd;
        setRawName(c.newName, c.newNameLength, broadcast::AribText(newName).bytes);
    }
    return c;
}

}  // namespace corvane
