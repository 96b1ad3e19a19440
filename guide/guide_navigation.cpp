#include "guide/guide_navigation.h"

#include <algorithm>
#include <limits>

#include "store/broadcast_time.h"

namespace corvane {

namespace {

// The distance from the place where the view shows a jumped-to time to the
// top of the grid (as the date menu and the jump to now show it).
constexpr int kJumpedTimeBelowHeader = 60;

const std::vector<GuideColumn>& columnsOf(const GuideLayout& layout) { return layout.currentColumns(); }

bool validColumn(const GuideLayout& layout, int column) {
    return column >= 0 && column < static_cast<int>(columnsOf(layout).size());
}

// A column draws only when its service has programmes: hidden columns of the
// list view hold none.
bool drawn(const GuideLayout& layout, int column) {
    const GuideColumn& c = columnsOf(layout)[column];
    return c.service >= 0 && c.service < kMaxServices && !layout.events[c.service].empty();
}

// The column's place among the drawn ones (what its x follows from).
int drawnIndex(const GuideLayout& layout, int column) {
    int index = 0;
    for (int i = 0; i < column; ++i)
        if (drawn(layout, i)) ++index;
    return index;
}

struct TimeSpan {
    int64_t begin, end;
};

// The time a column shows: the whole guide in the list view, its broadcast
// day in the channel view.
TimeSpan spanOf(const GuideLayout& layout, const GuideColumn& column) {
    if (layout.listView()) return {layout.view.guideBegin, layout.view.guideEnd};
    const int64_t origin = layout.originOf(column);
    return {origin, origin + kSecondsPerDay};
}

// The programme list indexes a column draws.
struct EventRange {
    int first, last;
};

EventRange rangeOf(const GuideLayout& layout, const GuideColumn& column) {
    const int size = static_cast<int>(layout.events[column.service].size());
    return {std::max(column.firstEvent, 0), std::min(column.lastEvent, size - 1)};
}

// A programme the keyboard may land on: drawn in the column with a height of
// at least one pixel (what a click can hit too).
bool reachable(const GuideLayout& layout, const GuideColumn& column, int index) {
    const EventRange range = rangeOf(layout, column);
    if (index < range.first || index > range.last) return false;
    const GuideEvent& event = layout.events[column.service][index];
    const TimeSpan span = spanOf(layout, column);
    if (event.end <= span.begin || event.start >= span.end) return false;
    return layout.eventHeight(event) > 0;
}

// The reachable programme of `column` that covers time t, or else the
// nearest one in time (the earlier one of two as near); -1 when it has none.
int programmeAt(const GuideLayout& layout, int column, int64_t t) {
    const GuideColumn& c = columnsOf(layout)[column];
    const EventRange range = rangeOf(layout, c);
    int best = -1;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (int i = range.first; i <= range.last; ++i) {
        if (!reachable(layout, c, i)) continue;
        const GuideEvent& event = layout.events[c.service][i];
        const int64_t distance = t < event.start ? event.start - t : t >= event.end ? t - event.end + 1 : 0;
        if (distance < bestDistance) best = i, bestDistance = distance;
        if (distance == 0) break;
    }
    return best;
}

bool showsFromItsOwnDay(const GuideLayout& layout, const GuideColumn& column, const GuideEvent& event) {
    const TimeSpan span = spanOf(layout, column);
    return event.start >= span.begin && event.start < span.end;
}

// The content rows of the place's programme within its column's content,
// and the height of its title block.
struct Rows {
    int64_t top, bottom, block;
};

Rows rowsOf(const GuideLayout& layout, GuidePlace place, int titleHeight) {
    const GuideColumn& column = columnsOf(layout)[place.column];
    const GuideEvent& event = layout.events[column.service][place.event];
    const GuideGeometry geometry = layout.geometry();
    const int64_t origin = layout.originOf(column);
    const int64_t top = std::max<int64_t>(geometry.wideContentY(event.start, origin), kHeaderHeight);
    const int64_t bottom = std::min<int64_t>(geometry.wideContentY(event.start, origin) + layout.eventHeight(event),
                                             std::max(layout.view.contentHeight, kHeaderHeight));
    const int height = event.titleHeight > 0 ? event.titleHeight : titleHeight;
    return {top, std::max(top, bottom), std::clamp<int64_t>(height, 1, std::max<int64_t>(bottom - top, 1))};
}

int clampedScroll(int64_t position, int content, int client) {
    return static_cast<int>(std::clamp<int64_t>(position, 0, std::max(0, content - client)));
}

}  // namespace

std::optional<GuidePlace> placeOfSelection(const GuideLayout& layout, Selection selection, int preferred) {
    if (selection.service < 0 || selection.service >= kMaxServices || selection.event < 0 ||
        selection.event >= static_cast<int>(layout.events[selection.service].size()))
        return std::nullopt;
    const std::vector<GuideColumn>& columns = columnsOf(layout);
    if (validColumn(layout, preferred) && columns[preferred].service == selection.service &&
        reachable(layout, columns[preferred], selection.event))
        return GuidePlace{preferred, selection.event};
    const GuideEvent& event = layout.events[selection.service][selection.event];
    std::optional<GuidePlace> shown;
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        if (columns[i].service != selection.service || !reachable(layout, columns[i], selection.event)) continue;
        if (showsFromItsOwnDay(layout, columns[i], event)) return GuidePlace{i, selection.event};
        if (!shown) shown = GuidePlace{i, selection.event};
    }
    return shown;
}

std::optional<GuidePlace> firstPlace(const GuideLayout& layout, ClientSize client, int64_t now) {
    const GuideGeometry geometry = layout.geometry();
    const ViewState& view = layout.view;
    const int left = view.scrollX + kTimeColumnWidth, right = view.scrollX + client.width;
    int wholly = -1, partly = -1;
    const std::vector<GuideColumn>& columns = columnsOf(layout);
    for (int i = 0; i < static_cast<int>(columns.size()) && wholly < 0; ++i) {
        if (!drawn(layout, i)) continue;
        const int x = geometry.columnX(drawnIndex(layout, i));
        if (x >= left && x + geometry.channelWidth <= right) wholly = i;
        else if (partly < 0 && x + geometry.channelWidth > left && x < right) partly = i;
    }
    const int column = wholly >= 0 ? wholly : partly;
    if (column < 0 || view.guideBegin == 0) return std::nullopt;

    const int64_t origin = layout.originOf(columns[column]);
    const int64_t nowY = layout.nowLineY(now);
    const bool nowInView = nowY >= int64_t{view.scrollY} + kHeaderHeight && nowY < int64_t{view.scrollY} + client.height;
    const int64_t t = nowInView ? layout.viewTime(now) - view.guideBegin + origin : geometry.topTime(view.scrollY, origin);
    const int event = programmeAt(layout, column, t);
    if (event < 0) return std::nullopt;
    return GuidePlace{column, event};
}

GuidePlace stepInColumn(const GuideLayout& layout, GuidePlace place, int direction) {
    if (!validColumn(layout, place.column) || direction == 0) return place;
    const GuideColumn& column = columnsOf(layout)[place.column];
    const EventRange range = rangeOf(layout, column);
    const int step = direction < 0 ? -1 : 1;
    for (int i = place.event + step; i >= range.first && i <= range.last; i += step)
        if (reachable(layout, column, i)) return GuidePlace{place.column, i};
    return place;
}

GuidePlace stepAcross(const GuideLayout& layout, GuidePlace place, int direction) {
    if (!validColumn(layout, place.column) || direction == 0) return place;
    const std::vector<GuideColumn>& columns = columnsOf(layout);
    const GuideColumn& from = columns[place.column];
    if (place.event < 0 || place.event >= static_cast<int>(layout.events[from.service].size())) return place;
    // The same time of day in the channel view's columns: from's offset off.
    const int64_t sinceOrigin = layout.events[from.service][place.event].start - layout.originOf(from);
    const int step = direction < 0 ? -1 : 1;
    for (int i = place.column + step; i >= 0 && i < static_cast<int>(columns.size()); i += step) {
        if (!drawn(layout, i)) continue;
        const int event = programmeAt(layout, i, layout.originOf(columns[i]) + sinceOrigin);
        if (event >= 0) return GuidePlace{i, event};
    }
    return place;
}

ScrollPosition scrollShowing(const GuideLayout& layout, GuidePlace place, ClientSize client, int titleHeight,
                             int coveredTop) {
    const ViewState& view = layout.view;
    ScrollPosition position{view.scrollX, view.scrollY};
    if (!validColumn(layout, place.column) || !reachable(layout, columnsOf(layout)[place.column], place.event))
        return position;
    const GuideGeometry geometry = layout.geometry();

    // Across: the column wholly in the grid, or its left edge at the grid's.
    const int64_t x = geometry.columnX(drawnIndex(layout, place.column));
    const int gridWidth = std::max(0, client.width - kTimeColumnWidth);
    int64_t scrollX = view.scrollX;
    if (x < int64_t{scrollX} + kTimeColumnWidth || geometry.channelWidth > gridWidth) {
        scrollX = x - kTimeColumnWidth;
    } else if (x + geometry.channelWidth > int64_t{scrollX} + client.width) {
        scrollX = x + geometry.channelWidth - client.width;
    }

    // Down: a block that begins above the grid is drawn at its top, so it
    // shows whole once enough of the programme does.
    const int covered = std::clamp(coveredTop, 0, std::max(0, client.height - kHeaderHeight - 1));
    const int gridHeight = std::max(1, client.height - kHeaderHeight - covered);
    Rows rows = rowsOf(layout, place, titleHeight);
    rows.block = std::min<int64_t>(rows.block, gridHeight);
    int64_t top = int64_t{view.scrollY} + kHeaderHeight + covered;  // of what shows
    if (rows.top + rows.block > top + gridHeight) {
        top = rows.top + rows.block - gridHeight;  // below the grid, or cut by its bottom
    } else if (covered > 0 && rows.top < top) {
        top = rows.top;  // begun above: its block would be drawn under the cover
    } else if (rows.bottom - rows.block < top) {
        top = rows.bottom - rows.block;  // above: the block at the top of its last rows
    }
    position.x = clampedScroll(scrollX, view.contentWidth, client.width);
    position.y = clampedScroll(top - kHeaderHeight - covered, view.contentHeight, client.height);
    return position;
}

Rect titleBlockRect(const GuideLayout& layout, GuidePlace place, int titleHeight) {
    if (!validColumn(layout, place.column) || !reachable(layout, columnsOf(layout)[place.column], place.event))
        return {};
    const GuideGeometry geometry = layout.geometry();
    const ViewState& view = layout.view;
    const Rows rows = rowsOf(layout, place, titleHeight);
    const int64_t top = std::max<int64_t>(rows.top, int64_t{view.scrollY} + kHeaderHeight);
    const int64_t bottom = std::min(top + rows.block, rows.bottom);
    const int x = geometry.columnX(drawnIndex(layout, place.column)) - view.scrollX;
    const auto clientY = [&](int64_t y) {
        return static_cast<int>(std::clamp<int64_t>(y - view.scrollY, INT32_MIN / 2, INT32_MAX / 2));
    };
    return Rect{x, clientY(top), x + geometry.channelWidth, clientY(std::max(top, bottom))};
}

int64_t viewTopTime(const GuideLayout& layout) {
    const std::vector<GuideColumn>& columns = columnsOf(layout);
    if (layout.view.guideBegin == 0) return 0;
    const GuideGeometry geometry = layout.geometry();
    int64_t origin = layout.view.guideBegin;
    if (!layout.listView()) {
        const int leftmost = geometry.columnAt(layout.view.scrollX + kTimeColumnWidth);
        if (leftmost >= 0 && leftmost < static_cast<int>(columns.size())) origin = layout.originOf(columns[leftmost]);
    }
    return geometry.topTime(layout.view.scrollY, origin);
}

int columnPagePixels(const GuideGeometry& geometry, ClientSize client) {
    const int width = std::max(1, geometry.channelWidth);
    return std::max(1, (client.width - kTimeColumnWidth) / width) * width;
}

std::optional<int> dayStepScrollY(const GuideLayout& layout, int direction) {
    const ViewState& view = layout.view;
    if (!layout.listView() || view.guideBegin == 0 || direction == 0) return std::nullopt;
    const GuideGeometry geometry = layout.geometry();
    const int64_t shown = geometry.timeAt(int64_t{view.scrollY} + kHeaderHeight + kJumpedTimeBelowHeader, view.guideBegin);
    const int64_t day = broadcastDayStart(shown);
    // Days of 23 to 25 hours: 30 hours on lies in the next one.
    const int64_t target = direction > 0 ? broadcastDayStart(day + 30 * 3600) : shown > day ? day : broadcastDayStart(day - 1);
    if (target >= view.guideEnd || broadcastDayStart(target + 30 * 3600) <= view.guideBegin) return std::nullopt;
    return static_cast<int>(std::clamp<int64_t>(geometry.widePixels(target - view.guideBegin) - kJumpedTimeBelowHeader,
                                                INT32_MIN, INT32_MAX));
}

std::optional<int> dayColumnStepScrollX(const GuideLayout& layout, int direction) {
    if (layout.listView() || direction == 0) return std::nullopt;
    const GuideGeometry geometry = layout.geometry();
    const int columns = static_cast<int>(layout.dayColumns.size());
    const int leftmost = geometry.columnAt(layout.view.scrollX + kTimeColumnWidth);
    if (leftmost < 0 || columns == 0) return std::nullopt;
    const bool aligned = geometry.columnX(leftmost) == layout.view.scrollX + kTimeColumnWidth;
    const int target = direction > 0 ? leftmost + 1 : aligned ? leftmost - 1 : leftmost;
    if (target < 0 || target >= columns) return std::nullopt;
    return geometry.columnX(target) - kTimeColumnWidth;
}

}  // namespace corvane
