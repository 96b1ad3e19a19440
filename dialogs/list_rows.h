// What the two owner-drawn list windows (the reservation list and the update
// information window) share: the texts of a channel, a date and a programme's
// times, the store service of a (network class, service id), and a cell as
// they draw it: its fill and the coloured pieces of its text, a text drawn
// against another with the differing characters in their own colour.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/epg_store.h"

namespace corvane {

// Column "CH" of a service the store does not hold: "BS%d" for network
// class 4, "CS%d" for 6 and 7, "%d" otherwise, with the service id.
std::string channelLabel(int networkClass, int serviceId);

// Column "日時": "%04d/%02d/%02d(%s)" of `start` in local time.
std::string listDateText(int64_t start);

// A programme: "%02d:%02d～%02d:%02d %s" with the start and end clock times
// and the title, whole however long it is.
std::string listTimesText(int64_t start, int64_t end, std::string_view title);

// The store index of the service (network class, service id); -1 when the
// store holds none.
int storeServiceIndex(const EpgStore* store, int networkClass, int serviceId);

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

// Colours are 0x00BBGGRR.
constexpr uint32_t kListTextColor = 0x000000;
constexpr uint32_t kListDifferenceColor = 0x0000ff;
constexpr uint32_t kListSelectedDifferenceColor = 0xaaaaff;
constexpr uint32_t kListEmptyBrush = 0x696969;      // the first of two compared texts is empty
constexpr uint32_t kListUnmatchedBrush = 0xa9a9a9;  // only the first is there

// What a row's cells are drawn in: a selected row in the system's colours
// throughout, its differences in the pale difference colour.
struct RowInk {
    uint32_t brush = 0;
    uint32_t text = 0;
    uint32_t difference = 0;
    uint32_t emptyBrush = 0;
    uint32_t unmatchedBrush = 0;
};
RowInk rowInk(uint32_t rowBrush, bool selected, const SelectionColors& system);

// The whole text in one colour; nothing for an empty text.
std::vector<ColoredPiece> plainPieces(const std::string& text, uint32_t color);

// `drawn` against `compared` (highlightDifferences): the characters that
// differ in `difference`, the others in `normal`.
std::vector<ColoredPiece> differencePieces(const std::string& drawn, const std::string& compared, uint32_t normal,
                                           uint32_t difference);

// A cell of the row's brush with its text plain.
CellPlan plainCell(const std::string& text, const RowInk& ink);

// Two versions of a programme side by side (a reservation and the guide's
// programme; a programme before and after a change). The first cell is dark
// and empty when its text is, on grey and plain when the second text is
// empty, else drawn with its differences to the second marked; the second
// has its differences to the first marked when both are there.
struct ComparedCells {
    CellPlan first, second;
};
ComparedCells comparedCells(const std::string& first, const std::string& second, const RowInk& ink);

}  // namespace corvane
