#include "dialogs/update_info.h"

#include <algorithm>
#include <cstdio>

#include "dialogs/difference_highlight.h"
#include "store/arib.h"
#include "store/broadcast_time.h"
#include "store/shift_jis.h"

namespace corvane {

namespace {

constexpr int kNetworkClassBs = 4;
constexpr int kNetworkClassCs1 = 6;
constexpr int kNetworkClassCs2 = 7;

int64_t keyOf(int networkClass, int serviceId) { return static_cast<int64_t>(networkClass) * 65536 + serviceId; }

template <class T>
int threeWay(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

std::string dateText(int64_t t) {
    const LocalTime local = toLocalTime(t);
    char text[48];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d(%s)", local.year, local.month, local.day,
                  weekdayName(local.weekday));
    return text;
}

std::string timesText(int64_t start, int64_t end, const std::string& name) {
    const LocalTime from = toLocalTime(start);
    const LocalTime to = toLocalTime(end);
    char times[64];
    std::snprintf(times, sizeof times, "%02d:%02d～%02d:%02d ", from.hour, from.minute, to.hour, to.minute);
    return times + name;
}

std::vector<ColoredPiece> plainPieces(const std::string& text, uint32_t color) {
    if (text.empty()) return {};
    return {ColoredPiece{0, text.size(), color}};
}

std::vector<ColoredPiece> differencePieces(const std::string& drawn, const std::string& compared, uint32_t normal,
                                           uint32_t difference) {
    std::vector<ColoredPiece> pieces;
    for (const TextPiece& piece : highlightDifferences(drawn, compared))
        pieces.push_back(ColoredPiece{piece.offset, piece.length, piece.differs ? difference : normal});
    return pieces;
}

}  // namespace

std::string decodeChangeName(const uint8_t* raw, size_t length) {
    const std::string whole = aribToShiftJisString(raw, length);
    return cutShiftJis(whole, kDecodedChangeNameBuffer - 1);
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

std::string changeChannelLabel(int networkClass, int serviceId) {
    const char* format = networkClass == kNetworkClassBs                                       ? "BS%d"
                         : networkClass == kNetworkClassCs1 || networkClass == kNetworkClassCs2 ? "CS%d"
                                                                                                : "%d";
    char text[24];
    std::snprintf(text, sizeof text, format, serviceId);
    return text;
}

UpdateRow updateRowOf(const ChangeFields& change, const ChannelNameLookup& channels) {
    UpdateRow row;
    row.networkClass = change.networkClass;
    row.serviceId = change.serviceId;
    row.oldStart = change.oldStart;
    row.oldEnd = change.oldEnd;
    row.newStart = change.newStart;
    row.newEnd = change.newEnd;
    row.oldName = decodeChangeName(reinterpret_cast<const uint8_t*>(change.oldName.data()), change.oldName.size());
    row.newName = decodeChangeName(reinterpret_cast<const uint8_t*>(change.newName.data()), change.newName.size());

    const std::string* name = channels.find(change.networkClass, change.serviceId);
    row.texts[kUpdateColumnChannel] = name ? *name : changeChannelLabel(change.networkClass, change.serviceId);
    const int64_t dated = change.oldStart != 0 ? change.oldStart : change.newStart;
    if (dated != 0) row.texts[kUpdateColumnDate] = dateText(dated);
    if (change.oldStart != 0) row.texts[kUpdateColumnOld] = timesText(change.oldStart, change.oldEnd, row.oldName);
    if (change.newStart != 0) row.texts[kUpdateColumnNew] = timesText(change.newStart, change.newEnd, row.newName);
    return row;
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
        // std::string compares as unsigned bytes (memcmp), a prefix first.
        case kUpdateColumnOld: r = threeWay(a.oldName.compare(b.oldName), 0); break;
        case kUpdateColumnNew: r = threeWay(a.newName.compare(b.newName), 0); break;
        default: break;
    }
    return flag == 1 ? r : -r;
}

UpdateRowPlan updateRowPlan(const UpdateRow& row, int rowNumber, bool selected, const SelectionColors& system) {
    const uint32_t rowBrush = selected ? system.highlight : rowNumber % 2 != 0 ? kUpdateOddRowBrush : kUpdateEvenRowBrush;
    const uint32_t text = selected ? system.highlightText : kUpdateTextColor;
    const uint32_t difference = selected ? kUpdateSelectedDifferenceColor : kUpdateDifferenceColor;
    const std::string& before = row.texts[kUpdateColumnOld];
    const std::string& after = row.texts[kUpdateColumnNew];

    UpdateRowPlan plan;
    plan.at(kUpdateColumnChannel) = {rowBrush, plainPieces(row.texts[kUpdateColumnChannel], text)};
    plan.at(kUpdateColumnDate) = {rowBrush, plainPieces(row.texts[kUpdateColumnDate], text)};
    if (before.empty())
        plan.at(kUpdateColumnOld) = {selected ? system.highlight : kUpdateNoOldBrush, {}};
    else if (after.empty())
        plan.at(kUpdateColumnOld) = {selected ? system.highlight : kUpdateNoNewBrush, plainPieces(before, text)};
    else
        plan.at(kUpdateColumnOld) = {rowBrush, differencePieces(before, after, text, difference)};
    plan.at(kUpdateColumnNew) = {rowBrush, !before.empty() && !after.empty()
                                               ? differencePieces(after, before, text, difference)
                                               : plainPieces(after, text)};
    return plan;
}

int64_t UpdateInfoRows::positionOf(int64_t value) const {
    for (size_t i = 0; i < order_.size(); ++i)
        if (static_cast<int64_t>(order_[i]) == value) return static_cast<int64_t>(i);
    return -1;
}

int UpdateInfoRows::sortBy(int column) {
    if (column < 0 || column >= kUpdateColumnCount) return -1;
    int& flag = flags_[column];
    flag = flag == 0 ? 1 : 0;
    const int direction = flag;
    std::stable_sort(order_.begin(), order_.end(), [&](size_t a, size_t b) {
        return compareUpdateRows(rows_[a], rows_[b], column, direction) < 0;
    });
    return flag;
}

}  // namespace corvane
