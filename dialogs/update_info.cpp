#include "dialogs/update_info.h"

#include <algorithm>
#include <utility>

#include "store/arib.h"
#include "store/shift_jis.h"

namespace corvane {

namespace {

int64_t keyOf(int networkClass, int serviceId) { return static_cast<int64_t>(networkClass) * 65536 + serviceId; }

}  // namespace

std::string decodeChangeName(const uint8_t* raw, size_t length) {
    const std::string whole = aribToShiftJisString(raw, length);
    return cutShiftJis(whole, kDecodedChangeNameBuffer - 1);
}

ChannelNameLookup::ChannelNameLookup(const EpgStore* store, const std::function<std::string(int)>& nameOf) {
    if (!store) return;
    for (int i = 0; i < kMaxServices && i < store->serviceCount; ++i) {
        const ServiceRecord* record = store->services[i];
        if (!record) break;
        add(record->networkClass(), record->serviceId, nameOf(i));
    }
}

const std::string* ChannelNameLookup::find(int networkClass, int serviceId) const {
    const int64_t key = keyOf(networkClass, serviceId);
    const auto at = std::lower_bound(names_.begin(), names_.end(), key,
                                     [](const auto& entry, int64_t k) { return entry.first < k; });
    return at != names_.end() && at->first == key ? &at->second : nullptr;
}

void ChannelNameLookup::add(int networkClass, int serviceId, std::string name) {
    const int64_t key = keyOf(networkClass, serviceId);
    const auto at = std::lower_bound(names_.begin(), names_.end(), key,
                                     [](const auto& entry, int64_t k) { return entry.first < k; });
    if (at != names_.end() && at->first == key) return;
    names_.insert(at, {key, std::move(name)});
}

UpdateRow updateRowOf(const ChangeRecord& change, const ChannelNameLookup& channels) {
    const auto decoded = [](const uint8_t (&name)[kChangeNameCapacity], size_t length) {
        return decodeChangeName(name, std::min(length, sizeof name));
    };
    UpdateRow row;
    row.networkClass = change.networkClass;
    row.serviceId = change.serviceId;
    row.oldStart = change.oldStart;
    row.oldEnd = change.oldEnd;
    row.newStart = change.newStart;
    row.newEnd = change.newEnd;
    row.oldName = decoded(change.oldName, change.oldNameLength);
    row.newName = decoded(change.newName, change.newNameLength);

    const std::string* name = channels.find(change.networkClass, change.serviceId);
    row.texts[kUpdateColumnChannel] = name ? *name : channelLabel(change.networkClass, change.serviceId);
    const int64_t dated = change.oldStart != 0 ? change.oldStart : change.newStart;
    if (dated != 0) row.texts[kUpdateColumnDate] = listDateText(dated);
    if (change.oldStart != 0) row.texts[kUpdateColumnOld] = listTimesText(change.oldStart, change.oldEnd, row.oldName);
    if (change.newStart != 0) row.texts[kUpdateColumnNew] = listTimesText(change.newStart, change.newEnd, row.newName);
    return row;
}

void UpdateInfoRows::refresh(const ChangeList& changes, const EpgStore* store,
                             const std::function<std::string(int)>& nameOf) {
    const ChannelNameLookup channels(store, nameOf);
    std::vector<UpdateRow> rows;
    std::vector<size_t> order(changes.size());
    rows.reserve(changes.size());
    for (size_t n = 0; n < changes.size(); ++n) {
        rows.push_back(updateRowOf(changes[n], channels));
        order[n] = n;
    }
    rows_.swap(rows);
    order_.swap(order);
}

void UpdateInfoRows::clear(ChangeList& changes) {
    changes.removeFirst(order_.size());
    rows_.clear();
    order_.clear();
}

int compareUpdateRows(const UpdateRow& a, const UpdateRow& b, int column, int flag) {
    int r = 0;
    switch (column) {
        case kUpdateColumnChannel:
            r = threeWay(a.networkClass, b.networkClass);
            if (r == 0) r = threeWay(a.serviceId, b.serviceId);
            break;
        case kUpdateColumnDate:
            r = threeWay(a.oldStart != 0 ? a.oldStart : a.newStart, b.oldStart != 0 ? b.oldStart : b.newStart);
            break;
        case kUpdateColumnOld: r = compareBytes(a.oldName, b.oldName); break;
        case kUpdateColumnNew: r = compareBytes(a.newName, b.newName); break;
        default: break;
    }
    return flag == 1 ? r : -r;
}

UpdateRowPlan updateRowPlan(const UpdateRow& row, int rowNumber, bool selected, const SelectionColors& system) {
    const RowInk ink = rowInk(rowNumber % 2 != 0 ? kUpdateOddRowBrush : kUpdateEvenRowBrush, selected, system);
    ComparedCells compared = comparedCells(row.texts[kUpdateColumnOld], row.texts[kUpdateColumnNew], ink);
    return {plainCell(row.texts[kUpdateColumnChannel], ink), plainCell(row.texts[kUpdateColumnDate], ink),
            std::move(compared.first), std::move(compared.second)};
}

int64_t UpdateInfoRows::positionOf(int64_t value) const {
    for (size_t i = 0; i < order_.size(); ++i)
        if (static_cast<int64_t>(order_[i]) == value) return static_cast<int64_t>(i);
    return -1;
}

int UpdateInfoRows::sortBy(int column) {
    const int direction = flags_.flip(column);
    if (direction < 0) return -1;
    std::stable_sort(order_.begin(), order_.end(), [&](size_t a, size_t b) {
        return compareUpdateRows(rows_[a], rows_[b], column, direction) < 0;
    });
    return direction;
}

}  // namespace corvane
