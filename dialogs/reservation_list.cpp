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

RowShades rowShadesOf(const ReservationRecord& reservation) {
    if (reservation.conflict != 0) return {0xe1e4ff, 0xcbc0ff};
    if (reservation.kind == kReservationEpgTimer) return {0xe0ffe0, 0xb7ffb7};
    if (reservation.isJob()) return {0xccffff, 0x66ffff};
    return {0xfff8f0, 0xfae6e6};  // TvRock and any other application
}

}  // namespace

std::string reservationDeviceText(int kind, const std::string* presetName) {
    if (kind == kReservationEpgTimer) return "EpgTimer";
    if (kind == kReservationTvRock) return "TvRock";
    if (kind < kReservationJobBase) return "Unknown";
    if (presetName) return *presetName;
    char text[24];
    std::snprintf(text, sizeof text, "ID%d", kind - kReservationJobBase);
    return text;
}

const GuideEvent* overlappingProgramme(const std::vector<GuideEvent>& events, int64_t start, int64_t end) {
    for (const GuideEvent& event : events) {
        if (event.start >= end) break;
        if (event.end > start) return &event;
    }
    return nullptr;
}

std::vector<ReservationRow> refreshReservationRows(ReservationList& records, const EpgStore* store,
                                                   const GuideEventLists& events,
                                                   const std::vector<TunerecPreset>& presets,
                                                   const std::function<std::string(int)>& columnNameOf) {
    std::vector<ReservationRow> rows;
    rows.reserve(records.size());
    for (ReservationRecord& record : records) {
        ReservationRow row;
        const int service = storeServiceIndex(store, record.networkKind, record.serviceId);
        row.texts[kReservationColumnChannel] =
            service >= 0 ? columnNameOf(service) : channelLabel(record.networkKind, record.serviceId);
        row.texts[kReservationColumnDate] = listDateText(record.start);
        row.texts[kReservationColumnReservation] = listTimesText(record.start, record.end, record.title);

        const std::string* presetName = nullptr;
        if (record.isJob()) {
            for (const TunerecPreset& preset : presets) {
                if (preset.id == record.kind - kReservationJobBase) {
                    presetName = &preset.name;
                    break;
                }
            }
        }
        row.texts[kReservationColumnDevice] = reservationDeviceText(record.kind, presetName);

        if (service >= 0) {
            if (const GuideEvent* programme = overlappingProgramme(events[service], record.start, record.end)) {
                row.texts[kReservationColumnGuide] = listTimesText(programme->start, programme->end, programme->title);
                record.guideTitle = programme->title;
            }
        }
        row.record = record;
        rows.push_back(std::move(row));
    }
    return rows;
}

void showReservationInGuide(GuideLayout& layout, const EpgStore* store, const ReservationRecord& reservation,
                            const Rect* covered) {
    layout.showProgramme(storeServiceIndex(store, reservation.networkKind, reservation.serviceId), reservation.start,
                         reservation.end, covered);
}

int compareReservationRows(const ReservationRow& rowA, const ReservationRow& rowB, int column, int flag) {
    const ReservationRecord& a = rowA.record;
    const ReservationRecord& b = rowB.record;
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
    const RowShades shades = rowShadesOf(row.record);
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
    const ReservationRecord& job = row.record;
    if (!job.isJob() || job.jobName.empty()) return false;
    deletion = JobDeletion{job.kind, job.title, job.jobName};
    return true;
}

std::string jobDeletionQuestion(const JobDeletion& deletion) {
    return "タスク「" + deletion.jobName + "」を削除しますか？";
}

}  // namespace corvane
