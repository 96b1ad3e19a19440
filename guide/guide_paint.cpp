#include "guide/guide_paint.h"

#include <algorithm>
#include <cstdio>

#include "store/invariant.h"
#include "store/service_identity.h"

namespace corvane {

namespace {

constexpr int kLineInset = 8;       // horizontal cell lines stop short of the edges
constexpr int kHourLineInset = 2;
constexpr int kMinuteWidth = 20;
constexpr int kTitleIndent = 22;
constexpr int kDetailIndent = 24;
constexpr int kSdMarkLeft = 4;
constexpr int kSdMarkTop = 14;
constexpr int kNoTitleHeight = 16;
constexpr int kTimeLabelMinHeight = 40;   // hour cells up to this height carry no label
constexpr int kDayLabelMinTop = 12;
constexpr int kNowLineLeft = 53;
constexpr uint8_t kLastSdVideoType = 0xA4;
constexpr int kEmptyGuideHintWidth = 640;  // the hint wraps to lines at most this wide
constexpr int kEmptyGuideHintLift = 12;     // its first line stands this far above the middle
constexpr int kUnboundedLabel = 1000;     // size of the rectangles of labels drawn at a point
constexpr int kOffscreenMargin = 8;       // long shapes end this far outside the client area

const GenreSettings& noGenres() {
    static const GenreSettings none;
    return none;
}

const ViewSwitches& defaultSwitches() {
    static const ViewSwitches defaults;
    return defaults;
}

std::string formatted(const char* pattern, int a) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, a);
    return text;
}

std::string formatted(const char* pattern, int a, int b) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

class GuidePainter {
public:
    GuidePainter(const GuideLayout& layout, const EpgStore& store, const PaintInputs& inputs,
                 const PaintMoment& moment, PaintSurface& surface)
        : layout_(layout),
          surface_(surface),
          in_(inputs),
          now_(moment.now),
          highlightOwnerVisible_(moment.highlightOwnerVisible),
          store_(store),
          view_(layout.viewSettings()),
          geometry_(layout.geometry()),
          genres_(inputs.genres ? *inputs.genres : noGenres()),
          switches_(inputs.switches ? *inputs.switches : defaultSwitches()),
          width_(moment.clientWidth),
          height_(moment.clientHeight),
          scrollX_(layout.view.scrollX),
          scrollY_(layout.view.scrollY) {}

    PaintResult run() {
        HighlightedProgramme* highlight = in_.highlight;
        if (highlight && !highlightOwnerVisible_) highlight->clearTimes();
        PaintMeasurements& measured = result_.measured;
        measured.contentWidth = paintColumns();
        measured.contentHeight = paintTimeColumn();
        paintCornerButton();
        paintNowLine(measured.contentWidth);
        surface_.clipNone();
        result_.painted = true;
        result_.tooltipCount = nextToolId_;
        return std::move(result_);
    }

private:
    bool visibleRows(int top, int bottom) const { return bottom >= kHeaderHeight && top <= height_; }

    void addTooltip(const Rect& rect, const std::string& text) { surface_.addTooltip(nextToolId_++, rect, text); }

    // Columns of the current view; returns the content x after the last
    // drawn column.
    int paintColumns() {
        const Rect grid{kTimeColumnWidth, kHeaderHeight, width_, height_};
        const Rect headerRow{kTimeColumnWidth, 0, width_, kHeaderHeight};
        const std::vector<GuideColumn>& columns = layout_.currentColumns();
        int drawn = 0;
        for (int index = 0; index < static_cast<int>(columns.size()); ++index) {
            const GuideColumn& column = columns[index];
            if (reportIf(column.service < 0 || column.service >= kMaxServices, "a column without a service index"))
                break;
            if (!store_.services[column.service]) break;  // the store entry is gone
            if (layout_.events[column.service].empty()) continue;
            const int parity = drawn % 2;
            const int x = geometry_.columnX(drawn);
            result_.measured.columns.push_back({index, x});
            const int left = x - scrollX_;
            const int right = left + geometry_.channelWidth;
            if (right > kTimeColumnWidth && left < width_) {
                surface_.clipTo(grid);
                const int trailingTop = paintEvents(column, left, right, parity);
                paintReservationFrames(column, left, right);
                paintHighlightFrame(column, left, right);
                paintTrailingNoData(column, left, right, trailingTop);
                surface_.clipTo(headerRow);
                paintHeader(column, left, right, parity);
            }
            ++drawn;
        }
        return geometry_.columnX(drawn);
    }

    // Time without programme data: filled dark, edged like a cell. Such a
    // stretch may span decades: cut to just outside the client area, so the
    // platform only ever draws rectangles of screen size.
    void paintNoData(int left, int right, int top, int bottom) {
        if (!visibleRows(top, bottom)) return;
        top = std::max(top, -kOffscreenMargin);
        bottom = std::min(bottom, height_ + kOffscreenMargin);
        surface_.fill(Rect{left, top, right, bottom}, PaintBrush::noData);
        surface_.line(left, top, left, bottom, PaintPen::grid);
        surface_.line(right, top, right, bottom, PaintPen::grid);
        surface_.line(left, top, right, top, PaintPen::grid);
        surface_.line(left, bottom, right, bottom, PaintPen::grid);
    }

    // The column's programmes and the gaps between them; returns the client
    // y where its last programme ends.
    int paintEvents(const GuideColumn& column, int left, int right, int parity) {
        const std::vector<GuideEvent>& list = layout_.events[column.service];
        const int64_t origin = layout_.originOf(column);
        const int first = std::max(column.firstEvent, 0);
        const int last = std::min(column.lastEvent, static_cast<int>(list.size()) - 1);
        int previousBottom = kHeaderHeight - scrollY_;  // the column's time origin
        for (int i = first; i <= last; ++i) {
            const GuideEvent& event = list[i];
            const int top = geometry_.contentY(event.start, origin) - scrollY_;
            const int bottom = top + layout_.eventHeight(event);
            if (previousBottom < top) paintNoData(left, right, previousBottom, top);
            if (visibleRows(top, bottom)) {
                // A programme that began above the view writes its minute and
                // title at the top of what is visible of it.
                const int textTop = std::max(top, kHeaderHeight);
                const int titleHeight = paintCell(event, left, right, top, bottom, textTop, parity);
                result_.measured.titleBlocks.push_back({column.service, i, titleHeight, textTop - top});
            }
            previousBottom = bottom;
        }
        return previousBottom;
    }

    // After the column's last programme, up to the end of the guide: no data.
    void paintTrailingNoData(const GuideColumn& column, int left, int right, int lastBottom) {
        const std::vector<GuideEvent>& list = layout_.events[column.service];
        const int first = std::max(column.firstEvent, 0);
        const int last = std::min(column.lastEvent, static_cast<int>(list.size()) - 1);
        if (first > last) return;
        const int64_t columnEnd = layout_.view.guideEnd + column.offset;
        if (list[last].end < columnEnd)
            paintNoData(left, right, lastBottom, geometry_.contentY(columnEnd, layout_.originOf(column)) - scrollY_);
    }

    // Returns the height of the cell's title block, which starts at `textTop`.
    int paintCell(const GuideEvent& event, int left, int right, int top, int bottom, int textTop, int parity) {
        const int cellHeight = bottom - textTop;  // what the texts have
        const bool hasText = !isGenreTextHidden(genres_, event.genre);
        PaintBrush brush = cellBrush(parity);
        if (isGenreHighlighted(genres_, event.genre)) {
            brush = genreBrush(event.genre);
        } else if (hasText && event.start <= now_ && now_ < event.end) {
            brush = onAirBrush(parity);
            if (result_.earliestOnAirEnd == 0 || event.end < result_.earliestOnAirEnd)
                result_.earliestOnAirEnd = event.end;
        }
        surface_.fill(Rect{left, top, right, bottom}, brush);
        surface_.line(left, top, left, bottom, PaintPen::grid);
        surface_.line(right, top, right, bottom, PaintPen::grid);
        surface_.line(left + kLineInset, top, right - kLineInset, top, PaintPen::grid);
        surface_.line(left + kLineInset, bottom, right - kLineInset, bottom, PaintPen::grid);

        const LocalTime start = toLocalTime(event.start);
        if (start.minute == 0)
            surface_.line(left + kHourLineInset, top, right - kHourLineInset, top, PaintPen::hour);

        if (!hasText) return kNoTitleHeight;  // nothing written: the click area is the bare title block
        surface_.text(formatted("%02d", start.minute), Rect{left, textTop + 2, left + kMinuteWidth, bottom - 1},
                      PaintFont::title, kTextBlack, kTextCenter | kTextSingleLine);
        const int titleTextHeight = surface_.text(event.title, Rect{left + kTitleIndent, textTop + 2, right - 1, bottom - 1},
                                                  PaintFont::title, view_.nameFont.color, kTextWordBreak);
        const int titleHeight = titleTextHeight == 0 ? kNoTitleHeight : titleTextHeight + 4;
        bool cut = cellHeight < titleTextHeight + 2;
        if (titleHeight < cellHeight + 5 && view_.contDisp == 1) {
            const int detailHeight =
                surface_.text(event.detail, Rect{left + kDetailIndent, textTop + titleHeight + 3, right - 2, bottom - 1},
                              PaintFont::detail, view_.contFont.color, kTextWordBreak);
            if (cellHeight < titleHeight + detailHeight + 3) cut = true;
        }
        if (cut) {
            std::string tip = formatted("%02d:%02d", start.hour, start.minute) + " 【" + event.title + "】";
            if (!event.detail.empty()) tip += "\n\n" + event.detail;
            addTooltip(Rect{left + kTitleIndent, textTop, right - 1, bottom}, tip);
        }
        if (event.videoType != 0 && event.videoType <= kLastSdVideoType)
            surface_.sdMark(left + kSdMarkLeft, textTop + kSdMarkTop);
        return titleHeight;
    }

    // The outline of a programme's time range in a column. Reservation times
    // come from other programs and may lie anywhere: computed wide, and cut
    // to just outside the client area.
    void frameRange(const GuideColumn& column, int left, int right, int64_t start, int64_t end, PaintPen pen) {
        const int64_t top = geometry_.wideContentY(start, layout_.originOf(column)) - scrollY_;
        const int64_t bottom = top + geometry_.widePixels(end - start);
        if (bottom < kHeaderHeight || top > height_) return;
        const auto cut = [this](int64_t y) {
            return static_cast<int>(std::clamp<int64_t>(y, -kOffscreenMargin, height_ + kOffscreenMargin));
        };
        surface_.frame(Rect{left + 2, cut(top) + 2, right - 1, cut(bottom) - 1}, pen);
    }

    void paintReservationFrames(const GuideColumn& column, int left, int right) {
        if (!in_.reservations) return;
        const ServiceRecord& record = *store_.services[column.service];
        const int64_t dayStart = layout_.originOf(column);
        for (const ReservationFrame& reservation : *in_.reservations) {
            if (!record.identifiedBy(reservation.networkClass, reservation.serviceId)) continue;
            if (!layout_.listView() && (reservation.end < dayStart || reservation.start >= dayStart + kSecondsPerDay))
                continue;
            frameRange(column, left, right, reservation.start, reservation.end,
                       reservationPen(reservation.color, reservation.solid));
        }
    }

    void paintHighlightFrame(const GuideColumn& column, int left, int right) {
        const HighlightedProgramme* highlight = in_.highlight;
        if (!highlight || !highlightOwnerVisible_ || highlight->start == 0 || highlight->end == 0) return;
        // In the channel view the day column decides, but only for the
        // service that is shown: another service's programme is not framed.
        const ServiceRecord& record = *store_.services[column.service];
        if (!record.identifiedBy(highlight->networkClass, highlight->serviceId)) return;
        if (!layout_.listView() && column.sortValue != highlight->dayColumn) return;
        frameRange(column, left, right, highlight->start, highlight->end, PaintPen::highlight);
    }

    void paintHeader(const GuideColumn& column, int left, int right, int parity) {
        const Rect cell{left, 0, right, kHeaderHeight};
        surface_.box(cell, headerBrush(parity), PaintPen::grid);
        const unsigned centred = kTextCenter | kTextVCenter | kTextSingleLine;
        const ServiceRecord& record = *store_.services[column.service];
        const ChannelInfo& info = layout_.channels[column.service];
        if (layout_.listView()) {
            const std::string label =
                switches_.viewChNo == 1 ? channelNumberLabel(record, info.remoteNumber) : info.columnName;
            surface_.text(label, cell, PaintFont::header, kTextBlack, centred);
            addTooltip(cell, headerTooltipText(record, info.remoteNumber));
            return;
        }
        const LocalTime day = toLocalTime(layout_.originOf(column));
        char label[32];
        std::snprintf(label, sizeof label, "%02d/%02d(%s)", day.month, day.day, weekdayName(day.weekday));
        const uint32_t color = day.weekday == 0 ? kSundayColor : day.weekday == 6 ? kSaturdayColor : kTextBlack;
        surface_.text(label, cell, PaintFont::header, color, centred);
    }

    // Returns the content y at the end of the guide.
    int paintTimeColumn() {
        surface_.clipTo(Rect{0, kHeaderHeight, kTimeColumnWidth, height_});
        const int64_t begin = layout_.view.guideBegin;
        const int64_t end = layout_.view.guideEnd;
        int64_t t = begin;
        // The guide may span decades: the hours two hours and more above the
        // window are not walked. Cells start at every hour, wherever the walk
        // starts, so the cells drawn are the same.
        const int64_t twoHoursAbove = geometry_.topTime(scrollY_, begin) - 2 * 3600;
        if (twoHoursAbove > begin) t = std::min(end, twoHoursAbove);
        int lastLabelledDay = -1;
        while (t < end) {
            const LocalTime local = toLocalTime(t);
            const int64_t minutes = std::min<int64_t>(60 - local.minute, (end - t) / 60);
            if (minutes <= 0) break;  // less than a minute left: nothing more to draw
            const int cellHeight = geometry_.pixels(minutes * 60);
            const int top = geometry_.contentY(t, begin) - scrollY_;
            if (top > height_) break;  // this hour and every later one lie below the window
            if (visibleRows(top, top + cellHeight)) {
                surface_.box(Rect{0, top, kTimeColumnWidth, top + cellHeight}, hourBrush(local.hour), PaintPen::grid);
                if (cellHeight > kTimeLabelMinHeight) {
                    uint32_t color = kTextBlack;
                    if (layout_.listView()) {
                        if (local.weekday == 0) color = kSundayColor;
                        if (local.weekday == 6) color = kSaturdayColor;
                        if (top > kDayLabelMinTop && local.day != lastLabelledDay) {
                            char label[32];
                            std::snprintf(label, sizeof label, "%2d(%s)", local.day, weekdayName(local.weekday));
                            surface_.text(label, Rect{5, top + 2, 5 + kUnboundedLabel, top + 2 + kUnboundedLabel},
                                          PaintFont::header, color, kTextNoClip | kTextSingleLine);
                            lastLabelledDay = local.day;
                        }
                    }
                    const int labelTop = top + cellHeight / 2 - 6;
                    surface_.text(formatted("%2d", local.hour), Rect{26, labelTop, 26 + kUnboundedLabel, labelTop + kUnboundedLabel},
                                  PaintFont::header, color, kTextNoClip | kTextSingleLine);
                }
            }
            t += minutes * 60;
        }
        // The walk ends in the guide's last whole minute.
        return geometry_.contentY(std::max(end, begin), begin);
    }

    void paintCornerButton() {
        surface_.clipNone();
        const Rect corner{0, 0, kTimeColumnWidth, kHeaderHeight};
        surface_.box(corner, PaintBrush::noData, PaintPen::grid);
        surface_.text("現在へ", corner, PaintFont::header, kTextWhite, kTextCenter | kTextVCenter | kTextSingleLine);
    }

    void paintNowLine(int contentWidth) {
        if (switches_.nowTimeLine != 1) return;
        const int64_t y = layout_.nowLineY(now_) - scrollY_;
        if (y < 0 || y > height_) return;
        const int lineY = static_cast<int>(y);
        surface_.clipTo(Rect{0, kHeaderHeight, width_, height_});
        // Client x, on purpose: the line spans the window whatever the scroll.
        surface_.line(kNowLineLeft, lineY, contentWidth - 3, lineY, PaintPen::now);
        surface_.line(kNowLineLeft, lineY + 1, contentWidth - 3, lineY + 1, PaintPen::now);
        const LocalTime now = toLocalTime(now_);
        surface_.text(formatted("%02d:%02d", now.hour, now.minute), Rect{2, lineY, 46, lineY + 15}, PaintFont::title,
                      kNowColor, kTextRight | kTextSingleLine);
    }

    const GuideLayout& layout_;
    PaintSurface& surface_;
    const PaintInputs& in_;
    const int64_t now_;
    const bool highlightOwnerVisible_;
    const EpgStore& store_;
    const ViewSettings& view_;
    const GuideGeometry geometry_;
    const GenreSettings& genres_;
    const ViewSwitches& switches_;
    const int width_;
    const int height_;
    const int scrollX_;
    const int scrollY_;
    int nextToolId_ = 0;
    PaintResult result_;
};

}  // namespace

PaintBrush hourBrush(int hour) {
    if (hour <= 4) return PaintBrush::hourNight;
    if (hour <= 11) return PaintBrush::hourMorning;
    if (hour <= 17) return PaintBrush::hourAfternoon;
    return PaintBrush::hourEvening;
}

PenStyle penStyle(PaintPen pen) {
    static constexpr uint32_t frameColors[4] = {rgbColor(0, 255, 0), rgbColor(0, 0, 255), rgbColor(255, 153, 0),
                                                rgbColor(255, 51, 51)};
    const int index = static_cast<int>(pen);
    switch (pen) {
        case PaintPen::grid: return {rgbColor(169, 169, 169), 1, false};
        case PaintPen::hour: return {rgbColor(0, 0, 0), 2, false};
        case PaintPen::now: return {kNowColor, 1, true};
        case PaintPen::highlight: return {rgbColor(255, 56, 56), 2, false};
        default: break;
    }
    if (index >= static_cast<int>(PaintPen::reservationDotted))
        return {frameColors[(index - static_cast<int>(PaintPen::reservationDotted)) & 3], 1, true};
    return {frameColors[(index - static_cast<int>(PaintPen::reservationSolid)) & 3], 2, false};
}

uint32_t brushColor(PaintBrush brush, const GenreSettings& genres) {
    switch (brush) {
        case PaintBrush::cellEven: return rgbColor(244, 244, 255);
        case PaintBrush::cellOdd: return rgbColor(239, 239, 255);
        case PaintBrush::onAirEven: return rgbColor(255, 228, 225);
        case PaintBrush::onAirOdd: return rgbColor(255, 192, 203);
        case PaintBrush::noData: return rgbColor(105, 105, 105);
        case PaintBrush::headerEven: return rgbColor(224, 255, 224);
        case PaintBrush::headerOdd: return rgbColor(183, 255, 183);
        case PaintBrush::hourNight: return rgbColor(209, 163, 255);
        case PaintBrush::hourMorning: return rgbColor(173, 255, 173);
        case PaintBrush::hourAfternoon: return rgbColor(255, 214, 173);
        case PaintBrush::hourEvening: return rgbColor(168, 211, 255);
        default: break;
    }
    const int genre = static_cast<int>(brush) - static_cast<int>(PaintBrush::genreFirst);
    return genre >= 0 && genre < GenreTable::majorCount ? genres.genreColor[genre] & 0x00FFFFFFu : 0;
}

std::string channelNumberLabel(const ServiceRecord& record, int remoteNumber) {
    return serviceNumberLabel(record.networkClass(), remoteNumber, record.isTerrestrial());
}

std::string headerTooltipText(const ServiceRecord& record, int remoteNumber) {
    std::string text;
    if (record.providerNameLength != 0)
        text += "事業者名 ： " + decodedName(record.providerName, record.providerNameLength) + "\n";
    if (record.tsNameLength != 0) text += "チャンネル名 ： " + decodedName(record.tsName, record.tsNameLength) + "\n";
    if (record.serviceNameLength != 0)
        text += "サービス名 ： " + decodedName(record.serviceName, record.serviceNameLength) + "\n";
    text += "サービスID ： " + serviceNumberLabel(record.networkClass(), record.serviceId) + "\n";
    if (remoteNumber > 0) text += formatted("リモコンch ： %dch\n", remoteNumber);
    if (record.physicalChannel() != 0) text += formatted("物理ch ： %dch\n", record.physicalChannel());
    return text;
}

int64_t repaintDelay(int64_t earliestEnd, int64_t now) { return (earliestEnd - now) * 1000 + 100; }

PaintResult paintGuide(const GuideLayout& layout, const EpgStore* store, const PaintInputs& inputs,
                       const PaintMoment& moment, PaintSurface& surface) {
    if (!store || layout.view.guideBegin == 0) {
        // No service has a programme: say how to get some.
        if (layout.columnOrder.empty() && moment.clientWidth > 0 && moment.clientHeight > 0) {
            const int width = std::min(moment.clientWidth, kEmptyGuideHintWidth);
            const int left = (moment.clientWidth - width) / 2;
            const Rect area{left, moment.clientHeight / 2 - kEmptyGuideHintLift, left + width, moment.clientHeight};
            surface.text(kEmptyGuideHint, area, PaintFont::header, kEmptyGuideHintColor, kTextCenter | kTextWordBreak);
        }
        return {};
    }
    return GuidePainter(layout, *store, inputs, moment, surface).run();
}

PaintResult paintGuideView(GuideLayout& layout, const EpgStore* store, const PaintInputs& inputs,
                           const PaintMoment& moment, PaintSurface& surface) {
    PaintResult result = paintGuide(layout, store, inputs, moment, surface);
    if (result.painted) {
        layout.applyPaint(result.measured);
        layout.updateScrollBars();
    }
    return result;
}

}  // namespace corvane
