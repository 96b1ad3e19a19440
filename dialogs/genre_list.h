// The genre list window's logic, free of any window: which programmes a
// genre tree item lists and in which order, how rows name their programmes,
// how they sort and are coloured, the texts of the detail pane and the two
// splitters that share the window between tree, list and details.
//
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/list_sort.h"
#include "guide/guide_event.h"
#include "reserve/reservations.h"
#include "store/epg_store.h"

namespace corvane {

// ---------------------------------------------------------------------------
// The filter of a tree item
// ---------------------------------------------------------------------------

// A root item lists its major genre with any sub-genre; a child lists its
// parent's major genre with its own sub-genre. No selection lists nothing.
struct GenreFilter {
    int major = -1;  // -1: nothing matches
    int sub = -1;    // -1: any sub-genre

    bool matches(int genre, int subGenre) const {
        return major >= 0 && genre == major && (sub < 0 || subGenre == sub);
    }
    bool operator==(const GenreFilter&) const = default;
};

// The filter of a tree item from its item value and, for a child, its
// parent's value.
inline GenreFilter genreFilterOf(int itemValue, std::optional<int> parentValue) {
    if (parentValue) return GenreFilter{*parentValue, itemValue};
    return GenreFilter{itemValue, -1};
}

// ---------------------------------------------------------------------------
// Row keys: service index + 1000 x event index
// ---------------------------------------------------------------------------

constexpr int kRowKeyServiceSpan = 1000;

struct ProgrammeRef {
    int service = -1;  // store service index, the channel list's index
    int event = -1;    // index in that service's event list
    bool operator==(const ProgrammeRef&) const = default;
};

inline int64_t genreRowKey(int service, int event) {
    return service + static_cast<int64_t>(kRowKeyServiceSpan) * event;
}

// The programme a key names, when its service index can be one of the
// store's (below 300) and its event index is not negative.
inline std::optional<ProgrammeRef> decodeRowKey(int64_t key) {
    if (key < 0) return std::nullopt;
    const int64_t event = key / kRowKeyServiceSpan;
    const int service = static_cast<int>(key % kRowKeyServiceSpan);
    if (service >= kMaxServices || event > INT32_MAX) return std::nullopt;
    return ProgrammeRef{service, static_cast<int>(event)};
}

// The event a key names in the event lists; null when it names none (the
// lists were rebuilt since the row was made).
const GuideEvent* eventOfRowKey(const GuideEventLists& lists, int64_t key);

// ---------------------------------------------------------------------------
// The rows of a genre
// ---------------------------------------------------------------------------

// The keys of the programmes that `filter` lists, in the list's order: by
// start, then end; programmes equal in both keep the order of the scan
// (services from index 0, each event list in its order). An event is left
// out when an earlier match of the same service had the same event id. The
// first `serviceCount` lists are scanned (the store's services).
//
// Event lists are sorted by (start, end), so every earlier match of a
// service stands above the place of a later one: this is the order that
// placing each match by a scan of the rows above it would give.
std::vector<int64_t> genreListRows(const GuideEventLists& lists, int serviceCount, const GenreFilter& filter);

// The rows whose programme's title holds every word of `query` (Shift_JIS,
// as the search box holds it), in their order; all of them for a query of
// blanks only.
std::vector<int64_t> rowsWithTitleWords(const GuideEventLists& lists, std::vector<int64_t> rows, std::string_view query);

// ---------------------------------------------------------------------------
// Sorting by a column
// ---------------------------------------------------------------------------

enum GenreListColumn { kGenreColumnChannel = 0, kGenreColumnDate = 1, kGenreColumnTitle = 2, kGenreColumnCount = 3 };

// A refill resets all three.
using GenreListSort = ColumnSortFlags<kGenreColumnCount>;


// Compares the programmes of two row keys by `column`: the services'
// network class, then service id; start, then end; the titles byte by byte.
// Ascending when `flag` is 1, descending otherwise; equal keys give 0. A key
// that names no programme goes after every one that does, in either
// direction, so the order stays consistent.
int compareGenreRows(const EpgStore& store, const GuideEventLists& lists, int column, int flag, int64_t key1,
                     int64_t key2);

// ---------------------------------------------------------------------------
// Row colours
// ---------------------------------------------------------------------------

constexpr uint32_t kGenreRowEven = 0xfff4f4;  // 0x00BBGGRR
constexpr uint32_t kGenreRowOdd = 0xffefef;
constexpr uint32_t kGenreRowEpgTimer = 0x00ff00;
constexpr uint32_t kGenreRowTvRock = 0xff0000;
constexpr uint32_t kGenreRowTunerec = 0x0099ff;
constexpr uint32_t kGenreRowTvRockText = 0xffffff;

struct GenreRowColors {
    uint32_t background = kGenreRowEven;
    std::optional<uint32_t> text;  // none: the list's own text colour
    bool operator==(const GenreRowColors&) const = default;
};

// What a row shows of its programme's service and time.
struct ListedProgramme {
    int serviceId = 0;
    int networkClass = 0;
    int64_t start = 0;
    int64_t end = 0;
};

// The colours of row `row` (from 0): the even or odd shade, unless a valid
// reservation of the programme's service covers it (starts at or before it
// and ends at or after it): green for EpgTimer, blue with white text for
// TvRock, orange for the capture tool; a later covering reservation wins.
// The reservations are in start order, so the walk ends at the first one of
// the service that starts at or after the programme's end without covering it.
GenreRowColors genreRowColors(int row, const ListedProgramme& programme, const ReservationList& reservations);

// ---------------------------------------------------------------------------
// Texts
// ---------------------------------------------------------------------------

// Column "日時": "%04d/%02d/%02d(%s) %02d:%02d" of the start in local time.
std::string genreListDateText(int64_t start);

// The header of the detail pane: "[channel]　－　major（sub）" and on the next
// line the date, "start～end" and the picture labels. The genre names are
// those of the filter (the tree selection); "（sub）" only for a child.
std::string genreListHeader(const std::string& columnName, const GenreFilter& filter, int64_t start, int64_t end,
                            uint8_t videoType);

// ---------------------------------------------------------------------------
// Splitters and layout
// ---------------------------------------------------------------------------

constexpr int kSplitterHalfBand = 2;   // the mouse is on a splitter within 2 pixels of it
constexpr int kSplitterMinimum = 2;
constexpr int kSplitterRightRoom = 302;  // the list and details keep this much width
constexpr int kSplitterBottomRoom = 40;  // and the details this much height
constexpr int kDefaultSplitter = 100;
constexpr int kPaneMinimum = 40;  // what a size change leaves each pane, where the window has room

// The vertical splitter is at x = SpX (the tree's right edge), the
// horizontal one at y = SpY right of it (the list's bottom edge).
enum class SplitterBand { none, vertical, horizontal };

SplitterBand splitterBandAt(int x, int y, int splitX, int splitY);

// Where a drag puts a splitter: its position at the start plus the mouse's
// movement, at least 2, and short of the room the other side keeps (the
// limit wins when the client is too small for both).
int draggedSplitterX(int startX, int pressX, int mouseX, int clientWidth);
int draggedSplitterY(int startY, int pressY, int mouseY, int clientHeight);

struct Splitters {
    int x = kDefaultSplitter, y = kDefaultSplitter;
    bool operator==(const Splitters&) const = default;
};

// The splitters once the client area is `width` x `height`, `oldHeight` high
// before (0: the window's first size, the stored splitters). The list and the
// details share the new height in the proportion they had; then both
// splitters are held inside, so that the tree and the list keep 40 pixels of
// width and the list and the details 40 of height. A client too small for
// both sides gives the list its width and the details their height first;
// no splitter ever goes below 2.
Splitters resizedSplitters(Splitters splitters, int oldHeight, int width, int height);

struct ControlBox {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const ControlBox&) const = default;
};

constexpr int kGenreSearchHeight = 22;  // the search box above the list

// Places of the controls for a client area of `width` x `height`; the two
// buttons keep their sizes (only their width is needed).
struct GenreListLayout {
    ControlBox tree, search, list, header, description;  // the search box above the list
    int registerX = 0, registerY = 0;  // "EPG登録"
    int showX = 0, showY = 0;          // "番組表"
};
GenreListLayout genreListLayout(int width, int height, int splitX, int splitY, int registerWidth, int showWidth);

// The smallest window the user can make: each pane its 40 pixels, wherever
// the splitters stand (a size change moves them, never the window's limits).
struct TrackSize {
    int width = 0, height = 0;
    bool operator==(const TrackSize&) const = default;
};
TrackSize genreListMinimumTrackSize(int frame, int caption);

}  // namespace corvane
