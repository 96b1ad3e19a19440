// Change records made by hand, for the update information window's tests.
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

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

// Four changes of one day (`hour(h)`: the local time of hour h) that sort
// apart by every column of the update information window, and the order of
// their records after a first click on each column (ascending) and a second
// (descending). Equal keys keep their order; an empty name is the smallest.
template <class Hour>
std::vector<ChangeRecord> changesToSort(Hour hour) {
    return {changeRecord(4, 101, hour(9), hour(10), "ｂ", hour(9), hour(10), "ｃ"),
            changeRecord(0, 1024, 0, 0, nullptr, hour(8), hour(9), "ａ"),
            changeRecord(0, 1024, hour(7), hour(8), "漢", 0, 0, nullptr),
            changeRecord(0, 1032, hour(9), hour(11), "ｂ", hour(10), hour(11), "ａ")};
}
struct ColumnOrders {
    int column;
    std::vector<int64_t> ascending, descending;
};
inline const ColumnOrders kOrdersOfChangesToSort[] = {
    {0, {1, 2, 3, 0}, {0, 3, 1, 2}},
    {1, {2, 1, 0, 3}, {0, 3, 1, 2}},
    {2, {1, 0, 3, 2}, {2, 0, 3, 1}},
    {3, {2, 3, 1, 0}, {0, 3, 1, 2}},
};

}  // namespace corvane
