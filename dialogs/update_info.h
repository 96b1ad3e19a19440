// The update information window's logic, free of any window: the four texts
// of a change's row (channel, date, the programme before and after), how
// rows sort by a column, which records "クリア" takes from the change list,
// and how each cell of a row is filled and drawn against the other version.

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/list_rows.h"
#include "dialogs/list_sort.h"
#include "reserve/change_detection.h"
#include "store/epg_store.h"

namespace corvane {

enum UpdateInfoColumn {
    kUpdateColumnChannel = 0,  // "CH"
    kUpdateColumnDate = 1,     // "日時"
    kUpdateColumnOld = 2,      // "元情報"
    kUpdateColumnNew = 3,      // "更新情報"
    kUpdateColumnCount = 4,
};

// A decoded name fills a buffer of this many bytes, its terminating NUL
// included.
constexpr size_t kDecodedChangeNameBuffer = 200;

// A raw ARIB name as Shift_JIS, cut to what the buffer holds without
// leaving half a double-byte character.
std::string decodeChangeName(const uint8_t* raw, size_t length);

// One row: what the window needs of its change after the refresh (a copy,
// so the list may grow meanwhile), the names decoded once for sorting, and
// the texts of the four columns.
struct UpdateRow {
    int networkClass = 0;
    int serviceId = 0;
    int64_t oldStart = 0, oldEnd = 0;
    int64_t newStart = 0, newEnd = 0;
    std::string oldName, newName;  // decoded
    std::array<std::string, kUpdateColumnCount> texts;
};

// The store's services under the key network class × 65536 + service id,
// named as the guide names their columns; the first service of a key counts.
class ChannelNameLookup {
public:
    // Services from index 0 up to the first empty entry; `nameOf(index)` names one.
    ChannelNameLookup(const EpgStore* store, const std::function<std::string(int)>& nameOf);
    // Null when no service has the key.
    const std::string* find(int networkClass, int serviceId) const;

private:
    void add(int networkClass, int serviceId, std::string name);
    std::vector<std::pair<int64_t, std::string>> names_;  // sorted by key
};

// The row of one change: column 0 the channel's name or its label
// (channelLabel); column 1 the date (listDateText) of the old start, else of
// the new one, else empty; columns 2 and 3 the times and name of each version
// (listTimesText), empty when its start is 0.
UpdateRow updateRowOf(const ChangeRecord& change, const ChannelNameLookup& channels);

// Compares two rows by `column`: network class, then service id; the date's
// time (old start, else new start); the decoded old names, the decoded new
// names, byte by byte as unsigned bytes. Ascending when `flag` is 1,
// descending otherwise; equal keys give 0.
int compareUpdateRows(const UpdateRow& a, const UpdateRow& b, int column, int flag);

// ---------------------------------------------------------------------------
// How a row is drawn
// ---------------------------------------------------------------------------

// Colours are 0x00BBGGRR.
constexpr uint32_t kUpdateOddRowBrush = 0xfff4f4;
constexpr uint32_t kUpdateEvenRowBrush = 0xffefef;

using UpdateRowPlan = std::array<CellPlan, kUpdateColumnCount>;

// How row `rowNumber` (from 0) draws `row`: a selected row in the system's
// colours throughout; others in one shade for odd rows and another for even
// ones. "元情報" and "更新情報" are drawn against each other (comparedCells):
// an addition's "元情報" is dark, a removal's on grey.
UpdateRowPlan updateRowPlan(const UpdateRow& row, int rowNumber, bool selected, const SelectionColors& system);

// The window's rows: one per change record listed at the last refresh, the
// row value being the record's index in the change list then; their order
// on screen; and the four sort flags, 0 at first and never reset.
class UpdateInfoRows {
public:
    // Lists every record of `changes` in list order. When memory runs out
    // (std::bad_alloc) the rows are left as they were.
    // Lists every record of `changes` in list order, each service named by
    // `nameOf(index)`. When memory runs out (std::bad_alloc) the rows are
    // left as they were.
    void refresh(const ChangeList& changes, const EpgStore* store, const std::function<std::string(int)>& nameOf);

    size_t size() const { return order_.size(); }
    // The row value (record index) shown at `position`; -1 when none is.
    int64_t valueAt(size_t position) const {
        return position < order_.size() ? static_cast<int64_t>(order_[position]) : -1;
    }
    const UpdateRow* rowAt(size_t position) const {
        return position < order_.size() ? &rows_[order_[position]] : nullptr;
    }
    // Where the row of record `value` stands; -1 when no row has it.
    int64_t positionOf(int64_t value) const;

    // Flips the column's flag (0 becomes 1, anything else 0) and puts the
    // rows in its order; rows with equal keys keep their order. Answers the
    // new flag, -1 for a column the list lacks.
    int sortBy(int column);

    // "クリア": the rows go, and with them as many records from the front of
    // the change list as there were rows. Records appended since the refresh
    // stay for the next one.
    void clear(ChangeList& changes);

private:
    std::vector<UpdateRow> rows_;  // by row value
    std::vector<size_t> order_;    // row values in the order shown
    ColumnSortFlags<kUpdateColumnCount> flags_;  // never reset
};

}  // namespace corvane
