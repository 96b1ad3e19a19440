#include "dialogs/list_rows.h"

#include <algorithm>
#include <cstdio>

#include "dialogs/difference_highlight.h"
#include "store/broadcast_time.h"

namespace corvane {

namespace {

constexpr int kNetworkClassBs = 4;
constexpr int kNetworkClassCs1 = 6;
constexpr int kNetworkClassCs2 = 7;

}  // namespace

std::string channelLabel(int networkClass, int serviceId) {
    const char* format = networkClass == kNetworkClassBs                                       ? "BS%d"
                         : networkClass == kNetworkClassCs1 || networkClass == kNetworkClassCs2 ? "CS%d"
                                                                                                : "%d";
    char text[24];
    std::snprintf(text, sizeof text, format, serviceId);
    return text;
}

std::string listDateText(int64_t start) {
    const LocalTime t = toLocalTime(start);
    char text[48];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d(%s)", t.year, t.month, t.day, weekdayName(t.weekday));
    return text;
}

std::string listTimesText(int64_t start, int64_t end, std::string_view title) {
    const LocalTime from = toLocalTime(start);
    const LocalTime to = toLocalTime(end);
    char times[64];
    std::snprintf(times, sizeof times, "%02d:%02d～%02d:%02d ", from.hour, from.minute, to.hour, to.minute);
    std::string text(times);
    text.append(title);
    return text;
}

int storeServiceIndex(const EpgStore* store, int networkClass, int serviceId) {
    if (!store) return -1;
    const int count = std::clamp<int>(store->serviceCount, 0, kMaxServices);
    for (int i = 0; i < count; ++i) {
        const ServiceRecord* record = store->services[i];
        if (!record) break;
        if (record->identifiedBy(networkClass, serviceId)) return i;
    }
    return -1;
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

RowInk rowInk(uint32_t rowBrush, bool selected, const SelectionColors& system) {
    if (selected)
        return {system.highlight, system.highlightText, kListSelectedDifferenceColor, system.highlight, system.highlight};
    return {rowBrush, kListTextColor, kListDifferenceColor, kListEmptyBrush, kListUnmatchedBrush};
}

CellPlan plainCell(const std::string& text, const RowInk& ink) { return {ink.brush, plainPieces(text, ink.text)}; }

ComparedCells comparedCells(const std::string& first, const std::string& second, const RowInk& ink) {
    if (first.empty()) return {{ink.emptyBrush, {}}, plainCell(second, ink)};
    if (second.empty()) return {{ink.unmatchedBrush, plainPieces(first, ink.text)}, plainCell(second, ink)};
    return {{ink.brush, differencePieces(first, second, ink.text, ink.difference)},
            {ink.brush, differencePieces(second, first, ink.text, ink.difference)}};
}

}  // namespace corvane
