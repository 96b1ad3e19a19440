// The reservation list window's logic, free of any window: the five texts of
// a reservation's row (channel, date, the reservation, its recording
// application and the guide's programme at that time), how a row is coloured
// and which pieces of it are drawn in the difference colour, how rows sort,
// and which programme of the guide a row brings into view.

#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/list_rows.h"
#include "dialogs/list_sort.h"
#include "guide/guide_event.h"
#include "guide/guide_layout.h"
#include "reserve/reservations.h"
#include "reserve/tunerec_preset.h"
#include "store/epg_store.h"

namespace corvane {

enum ReservationListColumn {
    kReservationColumnChannel = 0,      // "CH"
    kReservationColumnDate = 1,         // "日時"
    kReservationColumnReservation = 2,  // "予約番組"
    kReservationColumnDevice = 3,       // "装置"
    kReservationColumnGuide = 4,        // "EPG番組"
    kReservationColumnCount = 5,
};

// What a row keeps of its reservation: a copy taken when the list was filled,
// so that drawing, sorting, clicking and deleting always see the reservation
// the row shows, whatever the collection did to its list since.
struct ReservationRow {
    ReservationRecord record;  // its guideTitle as of the fill
    std::array<std::string, kReservationColumnCount> texts;
};

// ---------------------------------------------------------------------------
// Texts
// ---------------------------------------------------------------------------

// Column "装置": "EpgTimer" (0), "TvRock" (1), "Unknown" (any other kind
// below 1000); for a capture-tool job the name of its preset, or "ID%d" with
// the tool instance id when no preset has that id (`presetName` null).
std::string reservationDeviceText(int kind, const std::string* presetName);

// The first programme of a service's time-ordered list that overlaps
// [start, end); the walk stops at the first programme starting at or after
// `end`. Null when none does.
const GuideEvent* overlappingProgramme(const std::vector<GuideEvent>& events, int64_t start, int64_t end);

// ---------------------------------------------------------------------------
// Rows
// ---------------------------------------------------------------------------

// The rows of `records`, in list order (row n for record n). A record whose
// service's programmes hold one overlapping it gets that programme's title
// as its `guideTitle`; others keep theirs. `events` are the guide's event
// lists by store index; `columnNameOf(index)` names a store service as the
// guide's columns do.
std::vector<ReservationRow> refreshReservationRows(ReservationList& records, const EpgStore* store,
                                                   const GuideEventLists& events,
                                                   const std::vector<TunerecPreset>& presets,
                                                   const std::function<std::string(int)>& columnNameOf);

// The row of a row value, or null when the value names none: rows carry
// their index, and a value from before the last fill may name nothing.
inline const ReservationRow* reservationRowAt(const std::vector<ReservationRow>& rows, int64_t index) {
    return index >= 0 && static_cast<uint64_t>(index) < rows.size() ? &rows[static_cast<size_t>(index)] : nullptr;
}

// ---------------------------------------------------------------------------
// Showing a reservation in the guide
// ---------------------------------------------------------------------------

// Brings the reservation's time and service into view as the list windows'
// "番組表" does (`showProgramme` of the guide), with the store service of the
// reservation's network class and service id. No programme is highlighted.
// `covered`: where the list window lies over the guide (GuideLayout::showProgramme).
void showReservationInGuide(GuideLayout& layout, const EpgStore* store, const ReservationRecord& reservation,
                            const Rect* covered = nullptr);

// ---------------------------------------------------------------------------
// Sorting by a column
// ---------------------------------------------------------------------------

// Never reset: kept from fill to fill.
using ReservationListSort = ColumnSortFlags<kReservationColumnCount>;

// Compares two rows by `column`: network class, then service id; start, then
// end; the titles byte by byte as unsigned bytes; the kind; the guide's
// titles. Ascending when `flag` is 1, descending otherwise; equal keys give 0.
int compareReservationRows(const ReservationRow& a, const ReservationRow& b, int column, int flag);

// The same for two row values: a value that names no row goes after every
// one that does, in either direction, so the order stays consistent.
int compareReservationRowValues(const std::vector<ReservationRow>& rows, int64_t a, int64_t b, int column, int flag);

// ---------------------------------------------------------------------------
// How a row is drawn
// ---------------------------------------------------------------------------

// Colours are 0x00BBGGRR.
constexpr uint32_t kReservationSaturdayColor = 0xff0000;
constexpr uint32_t kReservationSundayColor = 0x0000ff;

struct RowPlan {
    std::array<CellPlan, kReservationColumnCount> cells;
};

// The row brush of a reservation shown in row `rowNumber` (from 0): by its
// conflict, then its kind, one shade for odd rows and another for even ones.
uint32_t reservationRowBrush(const ReservationRow& row, int rowNumber);

// How row `rowNumber` draws `row`. The date is red on Sundays and blue on
// Saturdays, also when selected. The reservation and the guide's programme
// are drawn against each other (comparedCells): a reservation without a
// programme of the guide gets the grey brush.
RowPlan reservationRowPlan(const ReservationRow& row, int rowNumber, bool selected, const SelectionColors& system);

// ---------------------------------------------------------------------------
// Deleting a capture-tool job
// ---------------------------------------------------------------------------

// What a right click remembers of a row: the menu's modal loop lets the list
// be filled anew meanwhile, so the deletion works from this copy.
struct JobDeletion {
    int32_t kind = 0;
    std::string title;
    std::string jobName;  // as the scheduler lists it
};

// The job a row offers to delete: only capture-tool jobs that the collection
// named. None for other rows.
bool jobDeletionOf(const ReservationRow& row, JobDeletion& deletion);

// "タスク「%s」を削除しますか？" with the job's name, and its caption.
std::string jobDeletionQuestion(const JobDeletion& deletion);
inline constexpr const char* kJobDeletionCaption = "予約の削除";

}  // namespace corvane
