#include "guide/guide_layout.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "store/event_decode.h"
#include "store/invariant.h"
#include "store/schedule_walk.h"
#include "store/service_identity.h"
#include "store/shift_jis.h"

namespace corvane {

namespace {

constexpr size_t kColumnNameLimit = 49;
// A part of the grid beside a list window shows a programme when it is at
// least a column wide and this high.
constexpr int kFreePartMinimumHeight = 80;

}  // namespace

std::string columnNameOf(const EpgStore& store, int index) {
    const ServiceRecord& record = *store.services[index];
    const int previousId = index > 0 ? store.services[index - 1]->serviceId : -1;
    std::string name;
    if (record.tsNameLength != 0 && (record.serviceId != previousId + 1 || record.networkWord > 0x4FFF)) {
        name = decodedName(record.tsName, record.tsNameLength);
    } else if (record.serviceNameLength != 0) {
        name = decodedName(record.serviceName, record.serviceNameLength);
    } else if (record.physicalChannel() != 0) {
        name = serviceNumberLabel(record.networkClass(), record.physicalChannel(), true);
    } else {
        name = serviceNumberLabel(record.networkClass(), record.serviceId);
    }
    return cutShiftJis(name, kColumnNameLimit);
}

std::vector<std::string> shownColumnNames(const EpgStore& store) {
    std::vector<std::string> names;
    for (int index = 0; index < kMaxServices && store.services[index]; ++index)
        names.push_back(columnNameOf(store, index));
    return shownColumnNames(store, std::move(names));
}

std::vector<std::string> shownColumnNames(const EpgStore& store, std::vector<std::string> names) {
    std::vector<std::string> own(names.size());
    std::vector<bool> shared(names.size(), false);
    for (size_t a = 0; a < names.size(); ++a) {
        for (size_t b = a + 1; b < names.size(); ++b) {
            if (names[a] != names[b]) continue;
            shared[a] = shared[b] = true;
        }
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (!shared[i]) continue;
        const ServiceRecord& record = *store.services[i];
        own[i] = record.serviceNameLength != 0 ? decodedName(record.serviceName, record.serviceNameLength)
                                               : serviceNumberLabel(record.networkClass(), record.serviceId);
        own[i] = cutShiftJis(own[i], kColumnNameLimit);
    }
    std::vector<std::string> shown = names;
    for (size_t i = 0; i < names.size(); ++i) {
        if (!shared[i]) continue;
        bool distinct = true;
        for (size_t j = 0; j < names.size() && distinct; ++j)
            distinct = j == i || !shared[j] || names[j] != names[i] || own[j] != own[i];
        if (distinct) shown[i] = own[i];
    }
    return shown;
}

int defaultRemoteNumber(const ServiceRecord& record) {
    return record.isTerrestrial() ? record.remoteKeyId : record.serviceId;
}

std::string derivedVurdaChNo(const ServiceRecord& record) {
    long value;
    if (!record.isTerrestrial()) {
        long megahertz = 0;
        for (int digit = 0; digit < 6; ++digit) megahertz = megahertz * 10 + bcdDigit(record.satelliteFrequency, digit);
        if (bcdDigit(record.satelliteFrequency, 6) >= 5) ++megahertz;
        value = megahertz << 16;
        if (record.networkClass() == 4) value |= record.transportStreamId;
    } else {
        value = record.physicalChannel();
    }
    if (value == 0) return std::string();
    char text[32];
    std::snprintf(text, sizeof text, "%ld", value);
    return text;
}

GuideLayout::GuideLayout(GuideHost& host, ServicePreferences& preferences, const ViewSettings& view)
    : host_(host), preferences_(preferences), view_(view) {}

const GuideEvent* GuideLayout::selectedEvent() const {
    const Selection& s = view.selection;
    if (s.service < 0 || s.service >= kMaxServices || s.event < 0) return nullptr;
    const std::vector<GuideEvent>& list = events[s.service];
    return s.event < static_cast<int>(list.size()) ? &list[s.event] : nullptr;
}

void GuideLayout::buildEventList(const EpgStore& store, int index, int64_t now) {
    std::vector<GuideEvent>& list = events[index];
    // The old programmes lend their text buffers to the new ones: a rebuild
    // then allocates almost nothing.
    for (GuideEvent& old : list) spare_.push_back(std::move(old));
    list.clear();

    walkSchedule(*store.services[index], ScheduleTable::basic, now, [&](const EventView& view, const TimeRange&, bool) {
        EventSummary summary = readEventSummary(view);
        if (summary.name[0] == '\0') return WalkStep::next;
        GuideEvent event;
        if (!spare_.empty()) {
            event = std::move(spare_.back());
            spare_.pop_back();
        }
        event.titleHeight = 0;
        event.titleOffset = 0;
        event.start = summary.start;
        event.end = summary.end;
        event.eventId = summary.eventId;
        event.genre = summary.genreLevel1;
        event.subGenre = summary.genreLevel2;
        event.videoType = summary.componentType;
        event.audioType = summary.audioComponentType;
        event.title.assign(summary.name);
        event.detail.assign(summary.text);
        // After every event that does not start later, or starts at the
        // same time and does not end later.
        auto at = std::upper_bound(list.begin(), list.end(), event, [](const GuideEvent& a, const GuideEvent& b) {
            return a.start < b.start || (a.start == b.start && a.end < b.end);
        });
        list.insert(at, std::move(event));
        return WalkStep::next;
    });
}

void GuideLayout::fillChannelInfo(const ServiceRecord& record, ChannelInfo& info) {
    info.stationName = preferences_.stationName(record);
    if (info.stationName.empty()) info.stationName = info.ruleName;
    info.remoteNumber = preferences_.remoteNumber(record);
    if (info.remoteNumber == 0) info.remoteNumber = defaultRemoteNumber(record);
    info.vurdaChNo = preferences_.vurdaChNo(record);
    if (info.vurdaChNo.empty()) info.vurdaChNo = derivedVurdaChNo(record);
}

void GuideLayout::reloadChannelValues(const EpgStore& store, int index) {
    if (index < 0 || index >= kMaxServices || !store.services[index]) return;
    fillChannelInfo(*store.services[index], channels[index]);
}

void GuideLayout::buildListLayout(const EpgStore* store) {
    const int64_t oldBegin = view.guideBegin;
    view.guideBegin = view.guideEnd = 0;
    columnOrder.clear();
    int contentWidth = kTimeColumnWidth;
    const int64_t now = host_.now();

    std::vector<std::string> ruleNames;
    for (int index = 0; store && index < kMaxServices && store->services[index]; ++index)
        ruleNames.push_back(columnNameOf(*store, index));
    const std::vector<std::string> shownNames = store ? shownColumnNames(*store, ruleNames) : ruleNames;
    for (int index = 0; store && index < kMaxServices && store->services[index]; ++index) {
        const ServiceRecord& record = *store->services[index];
        ChannelInfo& info = channels[index];
        info.ruleName = std::move(ruleNames[index]);
        info.columnName = shownNames[index];
        info.stationName.clear();
        info.vurdaChNo.clear();
        buildEventList(*store, index, now);
        std::vector<GuideEvent>& list = events[index];
        if (list.empty()) {
            info.listed = 0;
            continue;
        }
        info.listed = 1;

        GuideColumn column;
        column.service = index;
        column.sortValue = preferences_.sortValue(record);
        column.shown = preferences_.columnShown(record);
        column.firstEvent = 0;
        column.lastEvent = column.shown == 1 ? static_cast<int>(list.size()) - 1 : -1;
        auto at = std::upper_bound(columnOrder.begin(), columnOrder.end(), column.sortValue,
                                   [](int value, const GuideColumn& c) { return value < c.sortValue; });
        columnOrder.insert(at, column);

        if (column.shown == 1) {
            contentWidth += geometry().channelWidth;
            if (view.guideBegin == 0 || view.guideBegin > list.front().start) view.guideBegin = list.front().start;
            if (view.guideEnd == 0 || view.guideEnd < list.back().end) view.guideEnd = list.back().end;
        } else {
            list.clear();  // a hidden column takes no room and draws nothing
        }
        fillChannelInfo(record, info);
    }
    buildMenus();
    view.contentWidth = contentWidth;
    view.contentHeight = geometry().contentY(view.guideEnd, view.guideBegin);
    // The same programmes stay in view when the data now starts earlier or
    // later; without data there is nothing to keep in view.
    if (oldBegin != 0 && view.guideBegin != 0 && oldBegin != view.guideBegin) {
        const int64_t anchored = view.scrollY + geometry().widePixels(oldBegin - view.guideBegin);
        view.scrollY = static_cast<int>(std::clamp<int64_t>(anchored, INT32_MIN, INT32_MAX));
    }
}

void GuideLayout::buildMenus() {
    menus = GuideMenus{};
    for (const GuideColumn& column : columnOrder) {
        const std::string& name = channels[column.service].columnName;
        menus.columns.push_back({name, kColumnCommandBase + column.service, column.shown == 1});
        if (column.shown == 1)
            menus.channels.push_back({name, kChannelCommandBase + column.service, column.service == view.viewService});
    }
    for (int i = 0; view.guideBegin + i * kSecondsPerDay < view.guideEnd; ++i) {
        LocalTime day = toLocalTime(view.guideBegin + i * kSecondsPerDay);
        char text[32];
        std::snprintf(text, sizeof text, "%02d/%02d(%s)", day.month, day.day, weekdayName(day.weekday));
        menus.dates.push_back({text, kDateCommandBase + i, false});
    }
}

int GuideLayout::buildChannelLayout(const EpgStore* store) {
    if (view.viewService < 0 || view.viewService >= kMaxServices) return -1;
    const int service = view.viewService;
    dayColumns.clear();
    view.guideBegin = 0;

    const std::vector<GuideEvent>& list = events[service];
    int64_t dayStart = 0;
    for (int i = 0; i < static_cast<int>(list.size()); ++i) {
        if (!dayColumns.empty() && list[i].start < dayStart + kSecondsPerDay) {
            dayColumns.back().lastEvent = i;
            continue;
        }
        dayStart = broadcastDayStart(list[i].start);
        if (dayColumns.empty()) view.guideBegin = dayStart;
        GuideColumn column;
        column.sortValue = static_cast<int>(dayColumns.size());
        column.service = service;
        column.offset = dayStart - view.guideBegin;
        column.firstEvent = i;
        column.lastEvent = i;
        dayColumns.push_back(column);
    }
    const int last = static_cast<int>(list.size()) - 1;
    for (GuideColumn& column : dayColumns) {
        // The previous day's last programme may run past 04:00: draw it too.
        if (column.firstEvent > 0) --column.firstEvent;
        if (column.lastEvent < last) ++column.lastEvent;
    }
    view.guideEnd = view.guideBegin + kSecondsPerDay;
    view.contentWidth = geometry().columnX(static_cast<int>(dayColumns.size()));
    view.contentHeight = geometry().contentY(kSecondsPerDay, 0);
    (void)store;
    return 0;
}

void GuideLayout::reset() {
    for (auto& list : events) list.clear();
    std::vector<GuideEvent>().swap(spare_);
    for (auto& info : channels) info = ChannelInfo{};
    columnOrder.clear();
    dayColumns.clear();
    view = ViewState{};
    menus = GuideMenus{};
}

std::string GuideLayout::windowTitle() const {
    if (listView() || view.viewService >= kMaxServices) return "Corvane";
    return "Corvane - [" + channels[view.viewService].columnName + "]";
}

void GuideLayout::applyPaint(const PaintMeasurements& measured) {
    std::vector<GuideColumn>& columns = currentColumns();
    for (const PaintMeasurements::ColumnPlace& place : measured.columns) {
        if (reportIf(place.column < 0 || place.column >= static_cast<int>(columns.size()),
                     "a painted column the layout does not have"))
            continue;
        GuideColumn& column = columns[place.column];
        column.x = place.x;
        channels[column.service].columnX = place.x;
    }
    for (const PaintMeasurements::TitleBlock& block : measured.titleBlocks) {
        if (reportIf(block.service < 0 || block.service >= kMaxServices || block.event < 0 ||
                         block.event >= static_cast<int>(events[block.service].size()),
                     "a painted programme the layout does not have"))
            continue;
        GuideEvent& event = events[block.service][block.event];
        event.titleHeight = block.height;
        event.titleOffset = block.offset;
    }
    view.contentWidth = measured.contentWidth;
    view.contentHeight = measured.contentHeight;
}

void GuideLayout::clampScroll() {
    view.scrollX = std::max(0, std::min(view.scrollX, view.contentWidth - host_.clientWidth()));
    view.scrollY = std::max(0, std::min(view.scrollY, view.contentHeight - host_.clientHeight()));
}

void GuideLayout::keepPlaceAcross(const GuideGeometry& before) {
    const GuideGeometry after = geometry();
    view.scrollY = after.rescaledY(view.scrollY, before);
    view.scrollX = after.rescaledX(view.scrollX, before);
}

void GuideLayout::updateScrollBars() {
    clampScroll();
    ScrollBars bars;
    bars.horizontalMax = view.contentWidth;
    bars.horizontalPage = host_.clientWidth();
    bars.horizontalPos = view.scrollX;
    bars.verticalMax = view.contentHeight;
    bars.verticalPage = host_.clientHeight();
    bars.verticalPos = view.scrollY;
    host_.publishScrollBars(bars);
}

void GuideLayout::scrollHorizontal(int code, int position) {
    const int width = host_.clientWidth();
    switch (code) {
        case kScrollLineUp: view.scrollX -= geometry().channelWidth; break;
        case kScrollLineDown: view.scrollX += geometry().channelWidth; break;
        case kScrollPageUp: view.scrollX -= width; break;
        case kScrollPageDown: view.scrollX += width; break;
        case kScrollThumbPosition:
        case kScrollThumbTrack:
        case kScrollTo: view.scrollX = position; break;
        case kScrollTop: view.scrollX = 0; break;
        case kScrollBottom: view.scrollX = view.contentWidth - width; break;
        default: return;
    }
    updateScrollBars();
    host_.invalidate(Rect{kTimeColumnWidth, 0, view.contentWidth, view.contentHeight}, false);
}

void GuideLayout::scrollVertical(int code, int position) {
    const int height = host_.clientHeight();
    switch (code) {
        case kScrollLineUp: view.scrollY -= geometry().hourPixels(); break;
        case kScrollLineDown: view.scrollY += geometry().hourPixels(); break;
        case kScrollPageUp: view.scrollY -= height; break;
        case kScrollPageDown: view.scrollY += height; break;
        case kScrollThumbPosition: view.scrollY = host_.verticalBarPosition(false); break;
        case kScrollThumbTrack: view.scrollY = host_.verticalBarPosition(true); break;
        case kScrollTo: view.scrollY = position; break;
        case kScrollTop: view.scrollY = 0; break;
        case kScrollBottom: view.scrollY = view.contentHeight - height; break;
        default: return;
    }
    updateScrollBars();
    host_.invalidate(Rect{0, kHeaderHeight, view.contentWidth, view.contentHeight}, false);
}

void GuideLayout::scrollToTime(int64_t t) {
    // t shown 60 pixels below the header.
    view.scrollY = geometry().pixels(t - view.guideBegin) - 60;
    updateScrollBars();
}

void GuideLayout::scrollByWheel(int x, int y, bool up) {
    const int width = host_.clientWidth();
    const int height = host_.clientHeight();
    if (x < kTimeColumnWidth || x >= width) {
        view.scrollY += up ? -height : height;
        updateScrollBars();
        host_.invalidate(Rect{0, kHeaderHeight, view.contentWidth, view.contentHeight}, false);
    } else if (y >= kHeaderHeight && y <= height) {
        scrollVertical(up ? kScrollLineUp : kScrollLineDown, 0);
    } else {
        view.scrollX += up ? -geometry().channelWidth : geometry().channelWidth;
        updateScrollBars();
        host_.invalidate(Rect{kTimeColumnWidth, 0, view.contentWidth, view.contentHeight}, false);
    }
}

int64_t GuideLayout::viewTime(int64_t t) const {
    if (!listView() && view.guideEnd > 0 && t >= view.guideEnd) {
        // Whole days back, in one step rather than one day at a time.
        int64_t days = (t - view.guideEnd) / kSecondsPerDay + 1;
        t -= days * kSecondsPerDay;
    }
    return t;
}

bool GuideLayout::jumpToNow() {
    const int64_t now = viewTime(host_.now());
    if (view.guideBegin == 0 || now < view.guideBegin || now >= view.guideEnd) return false;
    scrollToTime(now);
    host_.invalidate(Rect{0, kHeaderHeight, view.contentWidth, view.contentHeight}, false);
    return true;
}

void GuideLayout::dateCommand(int index) {
    if (index < 0 || index >= kDateCommandsHandled || view.guideBegin == 0) return;
    if (listView()) {
        LocalTime day = toLocalTime(view.guideBegin + index * kSecondsPerDay);
        scrollToTime(localTimeOf(day.year, day.month, day.day, 0, 0, 0));
        host_.invalidate(Rect{0, kHeaderHeight, view.contentWidth, view.contentHeight}, false);
        return;
    }
    for (int i = 0; i < static_cast<int>(dayColumns.size()); ++i) {
        const GuideColumn& column = dayColumns[i];
        if (column.offset == index * kSecondsPerDay) {
            const int x = geometry().columnX(i) - kTimeColumnWidth;
            const int visibleWidth = host_.clientWidth() - kTimeColumnWidth;
            if (x >= view.scrollX && x < view.scrollX + visibleWidth) return;
            view.scrollX = x;
            updateScrollBars();
            host_.invalidate(Rect{kTimeColumnWidth, 0, view.contentWidth, view.contentHeight}, false);
            return;
        }
    }
}

int GuideLayout::showProgramme(int service, int64_t start, int64_t end, const Rect* covered) {
    if (view.guideBegin == 0 || service >= kMaxServices) return -1;
    const auto inGuide = [this](int64_t t) { return view.guideBegin <= t && t < view.guideEnd; };
    const Rect belowHeader{0, kHeaderHeight, view.contentWidth, view.contentHeight};
    const std::optional<Rect> part = freePart(covered);
    if (listView()) {
        // Only drawn columns (those with programmes) take room.
        int index = -1, drawn = 0;
        for (const GuideColumn& column : columnOrder) {
            if (events[column.service].empty()) continue;
            if (column.service == service) {
                index = drawn;
                break;
            }
            ++drawn;
        }
        const int64_t t = inGuide(start) ? start : end;
        if (part) {
            placeIn(*part, index, inGuide(t) ? t : 0, view.guideBegin);
            return -1;
        }
        if (inGuide(t)) {
            scrollToTime(t);
            host_.invalidate(belowHeader, false);
        }
        if (index >= 0) bringColumnIntoView(index);
        return -1;
    }
    if (view.viewService != service) return -1;
    for (size_t i = 0; i < dayColumns.size(); ++i) {
        const GuideColumn& column = dayColumns[i];
        if (originOf(column) + kSecondsPerDay <= start) continue;
        const bool shown = inGuide(start - column.offset);
        if (part) {
            placeIn(*part, static_cast<int>(i), shown ? start : 0, originOf(column));
            return column.sortValue;
        }
        if (shown) {
            scrollToTime(start - column.offset);
            host_.invalidate(belowHeader, false);
        }
        bringColumnIntoView(static_cast<int>(i));
        return column.sortValue;
    }
    return -1;
}

std::optional<Rect> GuideLayout::freePart(const Rect* covered) const {
    const Rect grid{kTimeColumnWidth, kHeaderHeight, host_.clientWidth(), host_.clientHeight()};
    if (!covered || covered->right <= grid.left || covered->left >= grid.right || covered->bottom <= grid.top ||
        covered->top >= grid.bottom)
        return std::nullopt;
    const int columnWidth = std::min(geometry().channelWidth, grid.right - grid.left);
    const Rect parts[] = {
        {grid.left, grid.top, std::max(grid.left, covered->left), grid.bottom},    // left of the window
        {std::min(grid.right, covered->right), grid.top, grid.right, grid.bottom},  // right of it
        {grid.left, grid.top, grid.right, std::max(grid.top, covered->top)},        // above it
        {grid.left, std::min(grid.bottom, covered->bottom), grid.right, grid.bottom},  // below it
    };
    std::optional<Rect> best;
    int64_t bestArea = 0;
    for (const Rect& part : parts) {
        const int width = part.right - part.left, height = part.bottom - part.top;
        if (width < columnWidth || height < kFreePartMinimumHeight) continue;
        const int64_t area = int64_t{width} * height;
        if (area > bestArea) best = part, bestArea = area;
    }
    return best;
}

void GuideLayout::placeIn(const Rect& part, int index, int64_t t, int64_t origin) {
    if (t != 0) {
        // A little below the part's top, as the whole grid shows it 60 pixels down.
        const int below = std::min(60, (part.bottom - part.top) / 4);
        const int64_t scroll = geometry().wideContentY(t, origin) - (part.top + below);
        view.scrollY = static_cast<int>(std::clamp<int64_t>(scroll, INT32_MIN, INT32_MAX));
    }
    if (index >= 0) {
        const int x = geometry().columnX(index);
        const bool wholly = x - view.scrollX >= part.left && x - view.scrollX + geometry().channelWidth <= part.right;
        if (!wholly) view.scrollX = x - part.left;
    }
    updateScrollBars();
    host_.invalidate(Rect{0, 0, view.contentWidth, view.contentHeight}, false);
}

void GuideLayout::bringColumnIntoView(int index) {
    const GuideGeometry grid = geometry();
    const int x = grid.columnX(index) - kTimeColumnWidth;
    const int gridWidth = host_.clientWidth() - kTimeColumnWidth;
    if (x >= view.scrollX && x + grid.channelWidth <= view.scrollX + gridWidth) return;
    scrollHorizontal(kScrollTo, x);
}

Selection GuideLayout::hitTest(int x, int y) const {
    if (x < kTimeColumnWidth || y < kHeaderHeight) return {};
    for (const GuideColumn& column : currentColumns()) {
        const std::vector<GuideEvent>& list = events[column.service];
        if (list.empty()) continue;
        if (column.x - view.scrollX > x || x >= column.x + geometry().channelWidth - view.scrollX) continue;
        const int64_t origin = originOf(column);
        const int last = std::min(column.lastEvent, static_cast<int>(list.size()) - 1);
        for (int i = std::max(column.firstEvent, 0); i <= last; ++i) {
            const GuideEvent& event = list[i];
            // The title block as drawn: at the top of what was visible of a
            // programme that began above the view.
            const int top = contentY(event.start, origin) + event.titleOffset;
            const int clickable = std::min(eventHeight(event) - event.titleOffset, static_cast<int>(event.titleHeight));
            if (top <= y + view.scrollY && y + view.scrollY < top + clickable) return Selection{column.service, i};
        }
        return {};
    }
    return {};
}

}  // namespace corvane
