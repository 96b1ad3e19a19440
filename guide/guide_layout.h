// The guide's model: decoded, time-ordered programmes per service, the
// channel list, the columns of the two views (all services, or one service
// by broadcast day), the time range, its geometry, scrolling and hit
// testing. Everything here is computed without a window: the layout reaches
// its window only through GuideHost (clock, client size, scroll bars,
// invalidation); the shell applies menus and titles after each rebuild.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "guide/guide_event.h"
#include "guide/guide_geometry.h"
#include "guide/service_preferences.h"
#include "guide/view_settings.h"
#include "store/epg_store.h"

namespace corvane {

// Commands of the three menus that follow the data.
constexpr int kColumnCommandBase = 10000;   // "列表示(&C)": toggle a service's column
constexpr int kChannelCommandBase = 11000;  // "チャンネル別表示(&C)": one service by day
constexpr int kDateCommandBase = 30000;     // "日付(&D)": jump to a day
constexpr int kDateCommandsHandled = 10;

struct GuideColumn {
    int sortValue = 0;   // list view: the service's sort value; channel view: running number
    int service = 0;     // store service index
    int shown = 1;       // list view: 1 = visible
    int64_t offset = 0;  // seconds from guideBegin to the column's time origin
    int firstEvent = 0;  // inclusive indexes into the service's event list
    int lastEvent = -1;
    int x = 0;           // content x as last painted
};

struct Selection {
    int service = -1;
    int event = -1;
    bool operator==(const Selection&) const = default;
};

struct ViewState {
    int64_t guideBegin = 0;
    int64_t guideEnd = 0;
    int viewService = -1;  // -1: all services; else the service shown by day
    int scrollX = 0;
    int scrollY = 0;
    int contentWidth = 0;
    int contentHeight = 0;
    Selection selection;
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Rect&) const = default;
};

struct ScrollBars {
    int horizontalMax = 0, horizontalPage = 0, horizontalPos = 0;
    int verticalMax = 0, verticalPage = 0, verticalPos = 0;
};

struct MenuItem {
    std::string text;
    int command = 0;
    bool checked = false;
};

// The three menus of the data: column visibility, channel view and dates.
struct GuideMenus {
    std::vector<MenuItem> columns;
    std::vector<MenuItem> channels;
    std::vector<MenuItem> dates;
};

// What one paint measured, for the layout to keep: the title blocks of the
// programmes drawn (clicks hit them), the x of the columns drawn and the
// size of the content as drawn.
struct PaintMeasurements {
    struct TitleBlock {
        int service;
        int event;
        int height;
        int offset = 0;  // below the programme's top edge: it began above the view
    };
    struct ColumnPlace {
        int column;  // index into the current view's columns
        int x;
    };
    std::vector<TitleBlock> titleBlocks;
    std::vector<ColumnPlace> columns;
    int contentWidth = 0;
    int contentHeight = 0;
};

// Scroll-bar request codes (the platform's SB_ values) and the internal one.
enum ScrollCode {
    kScrollLineUp = 0,
    kScrollLineDown = 1,
    kScrollPageUp = 2,
    kScrollPageDown = 3,
    kScrollThumbPosition = 4,
    kScrollThumbTrack = 5,
    kScrollTop = 6,
    kScrollBottom = 7,
    kScrollTo = 100,  // the given position
};

// What the layout needs from the window it lives in.
class GuideHost {
public:
    virtual ~GuideHost() = default;
    virtual int64_t now() = 0;
    virtual int clientWidth() = 0;
    virtual int clientHeight() = 0;
    virtual void publishScrollBars(const ScrollBars& bars) = 0;
    // The vertical bar's position, or its tracking position while dragged.
    virtual int verticalBarPosition(bool tracking) = 0;
    virtual void invalidate(const Rect& rect, bool erase) = 0;
};

class GuideLayout {
public:
    GuideLayout(GuideHost& host, ServicePreferences& preferences, const ViewSettings& view);

    std::vector<GuideEvent> events[kMaxServices];
    ChannelInfo channels[kMaxServices];
    std::vector<GuideColumn> columnOrder;  // list view, shown and hidden
    std::vector<GuideColumn> dayColumns;   // channel view
    ViewState view;
    GuideMenus menus;  // of the last list layout

    // The list view: event lists, channel list, columns, range, content size
    // and the menus of the data.
    void buildListLayout(const EpgStore* store);
    // The channel view of view.viewService; -1 when no service is chosen.
    int buildChannelLayout(const EpgStore* store);
    // Back to the state of an empty store ("クリア(&C)").
    void reset();
    // The station name, remote number and device channel of service `index`
    // read again from the preferences, with the same defaults as a layout
    // gives: after they were edited, what the registrations use at once.
    void reloadChannelValues(const EpgStore& store, int index);
    // "Corvane", or "Corvane - [name]" in the channel view.
    std::string windowTitle() const;

    // What a paint measured: title blocks, column x, content size.
    void applyPaint(const PaintMeasurements& measured);

    void updateScrollBars();
    // After the minute height or the column width changed from `before`:
    // the scroll position that shows the same time at the top of the grid and
    // the same column at its left edge (the part scrolled past scaled too).
    void keepPlaceAcross(const GuideGeometry& before);
    void scrollHorizontal(int code, int position);
    void scrollVertical(int code, int position);
    void scrollToTime(int64_t t);
    // One wheel step at client point (x, y): by screens over the time column
    // and right of the client area, by hours over the grid rows, by columns
    // over the headers.
    void scrollByWheel(int x, int y, bool up);
    // The current time in the view's own days: moved back by whole days in
    // the channel view while it lies at or after guideEnd.
    int64_t viewTime(int64_t t) const;
    // Scrolls to now when now lies in the guide; false when it does not.
    bool jumpToNow();
    void dateCommand(int index);
    Selection hitTest(int x, int y) const;

    // Brings the programme of store service `service` that runs from `start`
    // to `end` into view ("番組表" of the list windows, which match their own
    // records to a service first). The list view scrolls to its start, or to
    // its end when only the end lies in the guide, and to its column unless
    // that column is wholly in view. The channel view does so only when it
    // shows that service, with the day column that holds the start. Returns
    // that day column's running number (what the highlight frame matches in
    // the channel view); -1 in the list view or when no day column holds it.
    // A negative `service` (a reservation of a service the store lacks) moves
    // the list view to the time alone. `covered` (client coordinates) is the
    // window that asked, where it lies over the guide: the programme is put
    // beside, above or below it, in the largest part of the grid it leaves
    // free, when that part has room for it.
    int showProgramme(int service, int64_t start, int64_t end, const Rect* covered = nullptr);

    bool listView() const { return view.viewService < 0; }
    std::vector<GuideColumn>& currentColumns() { return listView() ? columnOrder : dayColumns; }
    const std::vector<GuideColumn>& currentColumns() const { return listView() ? columnOrder : dayColumns; }
    int64_t originOf(const GuideColumn& column) const { return view.guideBegin + column.offset; }

    // Geometry of the view, from the view settings.
    GuideGeometry geometry() const { return {view_.hourHight, view_.channelWidth}; }
    // Content y of time t in a column whose origin is `origin`.
    int contentY(int64_t t, int64_t origin) const { return geometry().contentY(t, origin); }
    int eventHeight(const GuideEvent& event) const { return geometry().pixels(event.end - event.start); }
    // Content y of the line of the current time (now moved into the view's days).
    int64_t nowLineY(int64_t now) const { return geometry().wideContentY(viewTime(now), view.guideBegin); }

    const GuideEvent* selectedEvent() const;
    const ViewSettings& viewSettings() const { return view_; }

private:
    void buildEventList(const EpgStore& store, int index, int64_t now);
    void fillChannelInfo(const ServiceRecord& record, ChannelInfo& info);
    void buildMenus();
    void clampScroll();
    // Scrolls the drawn column `index` to the left of the grid unless it is
    // wholly in view.
    void bringColumnIntoView(int index);
    // The part of the grid that `covered` leaves free and that can show a
    // programme, the largest one; none when the window covers nothing or
    // leaves no such part.
    std::optional<Rect> freePart(const Rect* covered) const;
    // Scrolls so that time t (when it lies in the guide; origin of its
    // column `origin`) and the drawn column `index` (when not negative) show
    // in `part` of the client area.
    void placeIn(const Rect& part, int index, int64_t t, int64_t origin);

    GuideHost& host_;
    ServicePreferences& preferences_;
    const ViewSettings& view_;
    std::vector<GuideEvent> spare_;  // programmes of the last layout, reused by the next
};

}  // namespace corvane
