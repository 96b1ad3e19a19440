#include "dialogs/reservation_list.h"

#include <algorithm>
#include <cstdio>

#include "dialogs/list_sort.h"
#include "store/broadcast_time.h"

namespace corvane {

namespace {

constexpr int kNetworkClassBs = 4;
constexpr int kNetworkClassCs1 = 6;
constexpr int kNetworkClassCs2 = 7;

// The date text holds the weekday's two bytes right after "YYYY/MM/DD(".
constexpr size_t kWeekdayOffset = 11;

struct RowShades {
    uint32_t odd, even;
};

RowShades rowShadesOf(const ReservationRow& row) {
    if (row.conflict != 0) return {0xe1e4ff, 0xcbc0ff};
    if (row.kind == 0) return {0xe0ffe0, 0xb7ffb7};
    if (row.kind >= kReservationJobKindBase) return {0xccffff, 0x66ffff};
    return {0xfff8f0, 0xfae6e6};  // TvRock and any other application
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

std::string reservationChannelLabel(int networkKind, int serviceId) {
    const char* format = networkKind == kNetworkClassBs                                   ? "BS%d"
                         : networkKind == kNetworkClassCs1 || networkKind == kNetworkClassCs2 ? "CS%d"
                                                                                              : "%d";
    char text[24];
    std::snprintf(text, sizeof text, format, serviceId);
    return text;
}

std::string reservationDateText(int64_t start) {
    const LocalTime t = toLocalTime(start);
    char text[48];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d(%s)", t.year, t.month, t.day, weekdayName(t.weekday));
    return text;
}

std::string reservationTimesText(int64_t start, int64_t end, std::string_view title) {
    const LocalTime from = toLocalTime(start);
    const LocalTime to = toLocalTime(end);
    char times[64];
    std::snprintf(times, sizeof times, "%02d:%02d～%02d:%02d ", from.hour, from.minute, to.hour, to.minute);
    std::string text(times);
    text.append(title);
    return text;
}

std::string reservationDeviceText(int kind, const std::string* presetName) {
    if (kind == 0) return "EpgTimer";
    if (kind == 1) return "TvRock";
    if (kind < kReservationJobKindBase) return "Unknown";
    if (presetName) return *presetName;
    char text[24];
    std::snprintf(text, sizeof text, "ID%d", kind - kReservationJobKindBase);
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

int compareReservationRows(const ReservationRow& a, const ReservationRow& b, int column, int flag) {
    int r = 0;
    switch (column) {
        case kReservationColumnChannel:
            r = threeWay(a.networkKind, b.networkKind);
            if (r == 0) r = threeWay(a.serviceId, b.serviceId);
            break;
        case kReservationColumnDate:
            r = threeWay(a.start, b.start);
            if (r == 0) r = threeWay(a.end, b.end);
            break;
        case kReservationColumnReservation: r = compareBytes(a.title, b.title); break;
        case kReservationColumnDevice: r = threeWay(a.kind, b.kind); break;
        case kReservationColumnGuide: r = compareBytes(a.guideTitle, b.guideTitle); break;
        default: break;
    }
    return flag == 1 ? r : -r;
}

int compareReservationRowValues(const std::vector<ReservationRow>& rows, int64_t a, int64_t b, int column, int flag) {
    const ReservationRow* rowA = reservationRowAt(rows, a);
    const ReservationRow* rowB = reservationRowAt(rows, b);
    if (!rowA || !rowB) return threeWay(rowA == nullptr, rowB == nullptr);
    return compareReservationRows(*rowA, *rowB, column, flag);
}

uint32_t reservationRowBrush(const ReservationRow& row, int rowNumber) {
    const RowShades shades = rowShadesOf(row);
    return rowNumber % 2 != 0 ? shades.odd : shades.even;
}

RowPlan reservationRowPlan(const ReservationRow& row, int rowNumber, bool selected, const SelectionColors& system) {
    const uint32_t rowBrush = selected ? system.highlight : reservationRowBrush(row, rowNumber);
    const uint32_t text = selected ? system.highlightText : kReservationTextColor;
    const uint32_t difference = selected ? kReservationSelectedDifferenceColor : kReservationDifferenceColor;
    const uint32_t noMatchBrush = selected ? system.highlight : kReservationNoGuideMatchBrush;
    const uint32_t emptyBrush = selected ? system.highlight : kReservationEmptyBrush;

    const std::string& date = row.texts[kReservationColumnDate];
    const std::string& reservation = row.texts[kReservationColumnReservation];
    const std::string& guide = row.texts[kReservationColumnGuide];

    uint32_t dateColor = text;
    if (date.size() >= kWeekdayOffset + 2) {
        const std::string_view weekday(date.data() + kWeekdayOffset, 2);
        if (weekday == "土") dateColor = kReservationSaturdayColor;
        if (weekday == "日") dateColor = kReservationSundayColor;
    }

    RowPlan plan;
    plan.cells[kReservationColumnChannel] = {rowBrush, plainPieces(row.texts[kReservationColumnChannel], text)};
    plan.cells[kReservationColumnDate] = {rowBrush, plainPieces(date, dateColor)};
    if (reservation.empty())
        plan.cells[kReservationColumnReservation] = {emptyBrush, {}};
    else if (guide.empty())
        plan.cells[kReservationColumnReservation] = {noMatchBrush, plainPieces(reservation, text)};
    else
        plan.cells[kReservationColumnReservation] = {rowBrush, differencePieces(reservation, guide, text, difference)};
    plan.cells[kReservationColumnDevice] = {rowBrush, plainPieces(row.texts[kReservationColumnDevice], text)};
    plan.cells[kReservationColumnGuide] = {rowBrush, !reservation.empty() && !guide.empty()
                                                         ? differencePieces(guide, reservation, text, difference)
                                                         : plainPieces(guide, text)};
    return plan;
}

bool jobDeletionOf(const ReservationRow& row, JobDeletion& deletion) {
    if (row.kind < kReservationJobKindBase || row.jobName.empty()) return false;
    deletion = JobDeletion{row.kind, row.title, row.jobName};
    return true;
}

std::string jobDeletionQuestion(const JobDeletion& deletion) {
    return "タスク「" + deletion.jobName + "」を削除しますか？";
}

}  // namespace corvane
