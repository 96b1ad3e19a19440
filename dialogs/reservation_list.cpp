#include "dialogs/reservation_list.h"

#include <cstdio>
#include <utility>

#include "dialogs/list_sort.h"

namespace corvane {

namespace {

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

}  // namespace

std::string reservationDeviceText(int kind, const std::string* presetName) {
    if (kind == 0) return "EpgTimer";
    if (kind == 1) return "TvRock";
    if (kind < kReservationJobKindBase) return "Unknown";
    if (presetName) return *presetName;
    char text[24];
    std::snprintf(text, sizeof text, "ID%d", kind - kReservationJobKindBase);
    return text;
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
    const RowInk ink = rowInk(reservationRowBrush(row, rowNumber), selected, system);
    const std::string& date = row.texts[kReservationColumnDate];
    uint32_t dateColor = ink.text;
    if (date.size() >= kWeekdayOffset + 2) {
        const std::string_view weekday(date.data() + kWeekdayOffset, 2);
        if (weekday == "土") dateColor = kReservationSaturdayColor;
        if (weekday == "日") dateColor = kReservationSundayColor;
    }

    RowPlan plan;
    plan.cells[kReservationColumnChannel] = plainCell(row.texts[kReservationColumnChannel], ink);
    plan.cells[kReservationColumnDate] = {ink.brush, plainPieces(date, dateColor)};
    ComparedCells compared =
        comparedCells(row.texts[kReservationColumnReservation], row.texts[kReservationColumnGuide], ink);
    plan.cells[kReservationColumnReservation] = std::move(compared.first);
    plan.cells[kReservationColumnDevice] = plainCell(row.texts[kReservationColumnDevice], ink);
    plan.cells[kReservationColumnGuide] = std::move(compared.second);
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
