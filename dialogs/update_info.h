// The update information window's logic, free of any window: the four texts
// of a change's row (channel, date, the programme before and after), how
// rows sort by a column, which records "クリア" takes from the change list,
// and how each cell of a row is filled and drawn against the other version.
//
// The change record and its list belong to a floor above; the functions that
// read them are templates over their fields (`serviceId`, `networkClass`,
// `oldStart`, `oldEnd`, `oldName`/`oldNameLength`, `newStart`, `newEnd`,
// `newName`/`newNameLength` of a record; `size()`, `operator[]` and
// `removeFirst(n)` of the list).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// What the window reads of one change record.
struct ChangeFields {
    int networkClass = 0;
    int serviceId = 0;
    int64_t oldStart = 0, oldEnd = 0;
    std::string_view oldName;  // raw ARIB bytes
    int64_t newStart = 0, newEnd = 0;
    std::string_view newName;
};

template <class Record>
ChangeFields changeFieldsOf(const Record& record) {
    const auto bytes = [](const auto& name, size_t length) {
        return std::string_view(reinterpret_cast<const char*>(name), length < sizeof name ? length : sizeof name);
    };
    return ChangeFields{record.networkClass,
                        record.serviceId,
                        record.oldStart,
                        record.oldEnd,
                        bytes(record.oldName, record.oldNameLength),
                        record.newStart,
                        record.newEnd,
                        bytes(record.newName, record.newNameLength)};
}

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
    template <class NameOf>
    ChannelNameLookup(const EpgStore* store, NameOf&& nameOf) {
        if (!store) return;
        for (int i = 0; i < kMaxServices && i < store->serviceCount; ++i) {
            const ServiceRecord* record = store->services[i];
            if (!record) break;
            add(record->networkClass(), record->serviceId, nameOf(i));
        }
    }
    // Null when no service has the key.
    const std::string* find(int networkClass, int serviceId) const;

private:
    void add(int networkClass, int serviceId, std::string name);
    std::vector<std::pair<int64_t, std::string>> names_;  // sorted by key
};

// Column "CH" of a service the store does not hold: "BS%d" for network
// class 4, "CS%d" for 6 and 7, "%d" otherwise, with the service id.
std::string changeChannelLabel(int networkClass, int serviceId);

// The row of one change: column 0 the channel's name or label; column 1 the
// date "%04d/%02d/%02d(%s)" of the old start, else of the new one, else
// empty; columns 2 and 3 "%02d:%02d～%02d:%02d %s" of each version, empty
// when its start is 0.
UpdateRow updateRowOf(const ChangeFields& change, const ChannelNameLookup& channels);

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
constexpr uint32_t kUpdateNoOldBrush = 0x696969;  // "元情報" empty: an addition
constexpr uint32_t kUpdateNoNewBrush = 0xa9a9a9;  // "更新情報" empty: a removal
constexpr uint32_t kUpdateTextColor = 0x000000;
constexpr uint32_t kUpdateDifferenceColor = 0x0000ff;
constexpr uint32_t kUpdateSelectedDifferenceColor = 0xaaaaff;

// The system's colours of a selected row.
struct SelectionColors {
    uint32_t highlight = 0;
    uint32_t highlightText = 0;
};

// A run of a cell's text in one colour.
struct ColoredPiece {
    size_t offset = 0;
    size_t length = 0;
    uint32_t color = 0;
    bool operator==(const ColoredPiece&) const = default;
};

// One cell: the brush it is filled with and the pieces of its text drawn
// one after another (none: nothing is drawn).
struct CellPlan {
    uint32_t brush = 0;
    std::vector<ColoredPiece> pieces;
    bool operator==(const CellPlan&) const = default;
};

using UpdateRowPlan = std::array<CellPlan, kUpdateColumnCount>;

// How row `rowNumber` (from 0) draws `row`: a selected row in the system's
// colours throughout; others in one shade for odd rows and another for even
// ones. "元情報" is dark when empty, on grey and plain when "更新情報" is
// empty, else drawn with its differences to "更新情報" marked; "更新情報" has
// its differences to "元情報" marked when both are there.
UpdateRowPlan updateRowPlan(const UpdateRow& row, int rowNumber, bool selected, const SelectionColors& system);

// The window's rows: one per change record listed at the last refresh, the
// row value being the record's index in the change list then; their order
// on screen; and the four sort flags, 0 at first and never reset.
class UpdateInfoRows {
public:
    // Lists every record of `changes` in list order. When memory runs out
    // (std::bad_alloc) the rows are left as they were.
    template <class List, class NameOf>
    void refresh(const List& changes, const EpgStore* store, NameOf&& nameOf) {
        const ChannelNameLookup channels(store, nameOf);
        std::vector<UpdateRow> rows;
        std::vector<size_t> order(changes.size());
        rows.reserve(changes.size());
        for (size_t n = 0; n < changes.size(); ++n) {
            rows.push_back(updateRowOf(changeFieldsOf(changes[n]), channels));
            order[n] = n;
        }
        rows_.swap(rows);
        order_.swap(order);
    }

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
    int flag(int column) const { return column >= 0 && column < kUpdateColumnCount ? flags_[column] : 0; }

    // "クリア": the rows go, and with them as many records from the front of
    // the change list as there were rows. Records appended since the refresh
    // stay for the next one.
    template <class List>
    void clear(List& changes) {
        changes.removeFirst(order_.size());
        rows_.clear();
        order_.clear();
    }

private:
    std::vector<UpdateRow> rows_;  // by row value
    std::vector<size_t> order_;    // row values in the order shown
    int flags_[kUpdateColumnCount] = {};
};

}  // namespace corvane
