#include "guide/guide_paint.h"

#include <algorithm>
#include <cstdio>

#include "guide/local_time.h"
#include "store/arib.h"

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
constexpr int kUnboundedLabel = 1000;     // size of the rectangles of labels drawn at a point

const GenreSettings& noGenres() {
    static const GenreSettings none;
    return none;
}

// A name field of a service record, as stored (at most its 50 bytes).
std::string decodeName(const uint8_t* bytes, size_t length) {
    return aribToShiftJisString(bytes, std::min<size_t>(length, kNameCapacity));
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

bool sameService(const ServiceRecord& record, int serviceId, int networkClass) {
    return record.serviceId == serviceId && record.networkClass() == networkClass;
}

class GuidePainter {
public:
    GuidePainter(GuideLayout& layout, PaintSurface& surface, const PaintInputs& inputs)
        : layout_(layout),
          surface_(surface),
          in_(inputs),
          store_(*inputs.store),
          view_(layout.viewSettings()),
          genres_(inputs.genres ? *inputs.genres : noGenres()),
          width_(inputs.clientWidth),
          height_(inputs.clientHeight),
          scrollX_(layout.view.scrollX),
          scrollY_(layout.view.scrollY) {}

    PaintResult run() {
        HighlightedProgramme* highlight = in_.highlight;
        if (highlight && !in_.highlightOwnerVisible) highlight->clearTimes();
        const int contentWidth = paintColumns();
        layout_.view.contentWidth = contentWidth;
        layout_.view.contentHeight = paintTimeColumn();
        paintCornerButton();
        paintNowLine(contentWidth);
        surface_.clipNone();
        layout_.updateScrollBars();
        result_.painted = true;
        result_.tooltipCount = nextToolId_;
        return result_;
    }

private:
    bool visibleRows(int top, int bottom) const { return bottom >= kHeaderHeight && top <= height_; }

    void addTooltip(const Rect& rect, const std::string& text) { surface_.addTooltip(nextToolId_++, rect, text); }

    // Columns of the current view; returns the content x after the last
    // drawn column.
    int paintColumns() {
        const Rect grid{kTimeColumnWidth, kHeaderHeight, width_, height_};
        const Rect headerRow{kTimeColumnWidth, 0, width_, kHeaderHeight};
        int x = kTimeColumnWidth;
        int drawn = 0;
        for (GuideColumn& column : layout_.currentColumns()) {
            if (column.service < 0 || column.service >= kMaxServices || !store_.services[column.service]) break;
            if (layout_.events[column.service].empty()) continue;
            const int parity = drawn % 2;
            column.x = x;
            layout_.channels[column.service].columnX = x;
            const int left = x - scrollX_;
            const int right = left + view_.channelWidth;
            if (right > kTimeColumnWidth && left < width_) {
                surface_.clipTo(grid);
                paintEvents(column, left, right, parity);
                paintReservationFrames(column, left, right);
                paintHighlightFrame(column, left, right);
                surface_.clipTo(headerRow);
                paintHeader(column, left, right, parity);
            }
            x += view_.channelWidth;
            ++drawn;
        }
        return x;
    }

    // Time without programme data: filled dark, edged like a cell.
    void paintNoData(int left, int right, int top, int bottom) {
        if (!visibleRows(top, bottom)) return;
        surface_.fill(Rect{left, top, right, bottom}, PaintBrush::noData);
        surface_.line(left, top, left, bottom, PaintPen::grid);
        surface_.line(right, top, right, bottom, PaintPen::grid);
        surface_.line(left, top, right, top, PaintPen::grid);
        surface_.line(left, bottom, right, bottom, PaintPen::grid);
    }

    void paintEvents(const GuideColumn& column, int left, int right, int parity) {
        std::vector<GuideEvent>& list = layout_.events[column.service];
        const int64_t origin = layout_.originOf(column);
        const int first = std::max(column.firstEvent, 0);
        const int last = std::min(column.lastEvent, static_cast<int>(list.size()) - 1);
        int previousBottom = kHeaderHeight - scrollY_;  // the column's time origin
        for (int i = first; i <= last; ++i) {
            GuideEvent& event = list[i];
            const int top = layout_.contentY(event.start, origin) - scrollY_;
            const int bottom = top + layout_.eventHeight(event);
            if (previousBottom < top) paintNoData(left, right, previousBottom, top);
            if (visibleRows(top, bottom)) paintCell(event, left, right, top, bottom, parity);
            previousBottom = bottom;
        }
        if (first > last) return;
        const int64_t columnEnd = layout_.view.guideEnd + column.offset;
        if (list[last].end < columnEnd) {
            paintNoData(left, right, previousBottom, layout_.contentY(columnEnd, origin) - scrollY_);
        }
    }

    void paintCell(GuideEvent& event, int left, int right, int top, int bottom, int parity) {
        const int cellHeight = bottom - top;
        const bool hasText = !isGenreTextHidden(genres_, event.genre);
        PaintBrush brush = cellBrush(parity);
        if (isGenreHighlighted(genres_, event.genre)) {
            brush = genreBrush(event.genre);
        } else if (hasText && event.start <= in_.now && in_.now < event.end) {
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

        if (!hasText) {
            // Nothing is written in the cell: the click area is the bare title block.
            event.titleHeight = kNoTitleHeight;
            return;
        }
        surface_.text(formatted("%02d", start.minute), Rect{left, top + 2, left + kMinuteWidth, bottom - 1},
                      PaintFont::title, kTextBlack, kTextCenter | kTextSingleLine);
        const int titleTextHeight = surface_.text(event.title, Rect{left + kTitleIndent, top + 2, right - 1, bottom - 1},
                                                  PaintFont::title, view_.nameFont.color, kTextWordBreak);
        event.titleHeight = titleTextHeight == 0 ? kNoTitleHeight : titleTextHeight + 4;
        bool cut = cellHeight < titleTextHeight + 2;
        if (event.titleHeight < cellHeight + 5 && view_.contDisp == 1) {
            const int detailHeight =
                surface_.text(event.detail, Rect{left + kDetailIndent, top + event.titleHeight + 3, right - 2, bottom - 1},
                              PaintFont::detail, view_.contFont.color, kTextWordBreak);
            if (cellHeight < event.titleHeight + detailHeight + 3) cut = true;
        }
        if (cut) {
            std::string tip = formatted("%02d:%02d", start.hour, start.minute) + " 【" + event.title + "】";
            if (!event.detail.empty()) tip += "\n\n" + event.detail;
            addTooltip(Rect{left + kTitleIndent, top, right - 1, bottom}, tip);
        }
        if (event.videoType != 0 && event.videoType <= kLastSdVideoType)
            surface_.sdMark(left + kSdMarkLeft, top + kSdMarkTop);
    }

    // The outline of a programme's time range in a column. Reservation times
    // come from other programs and may lie anywhere: computed wide, and cut
    // to just outside the client area.
    void frameRange(const GuideColumn& column, int left, int right, int64_t start, int64_t end, PaintPen pen) {
        const int64_t top = kHeaderHeight + (start - layout_.originOf(column)) / 60 * view_.hourHight - scrollY_;
        const int64_t bottom = top + (end - start) / 60 * view_.hourHight;
        if (bottom < kHeaderHeight || top > height_) return;
        const auto cut = [this](int64_t y) { return static_cast<int>(std::clamp<int64_t>(y, -8, height_ + 8)); };
        surface_.frame(Rect{left + 2, cut(top) + 2, right - 1, cut(bottom) - 1}, pen);
    }

    void paintReservationFrames(const GuideColumn& column, int left, int right) {
        if (!in_.reservations) return;
        const ServiceRecord& record = *store_.services[column.service];
        const int64_t dayStart = layout_.originOf(column);
        for (const ReservationRecord& reservation : *in_.reservations) {
            if (!sameService(record, reservation.serviceId, reservation.networkKind)) continue;
            if (!layout_.listView() && (reservation.end < dayStart || reservation.start >= dayStart + kSecondsPerDay))
                continue;
            frameRange(column, left, right, reservation.start, reservation.end, reservationPen(reservation));
        }
    }

    void paintHighlightFrame(const GuideColumn& column, int left, int right) {
        const HighlightedProgramme* highlight = in_.highlight;
        if (!highlight || !in_.highlightOwnerVisible || highlight->start == 0 || highlight->end == 0) return;
        // In the channel view the day column decides, but only for the
        // service that is shown: another service's programme is not framed.
        const ServiceRecord& record = *store_.services[column.service];
        if (!sameService(record, highlight->serviceId, highlight->networkClass)) return;
        if (!layout_.listView() && column.sortValue != highlight->dayColumn) return;
        frameRange(column, left, right, highlight->start, highlight->end, PaintPen::highlight);
    }

    void paintHeader(const GuideColumn& column, int left, int right, int parity) {
        surface_.box(Rect{left, 0, right + 1, kHeaderHeight}, headerBrush(parity), PaintPen::grid);
        const Rect cell{left, 0, right, kHeaderHeight};
        const unsigned centred = kTextCenter | kTextVCenter | kTextSingleLine;
        const ServiceRecord& record = *store_.services[column.service];
        const ChannelInfo& info = layout_.channels[column.service];
        if (layout_.listView()) {
            const std::string label =
                in_.switches.viewChNo == 1 ? channelNumberLabel(record, info.remoteNumber) : info.columnName;
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
        const int64_t end = layout_.view.guideEnd;
        int64_t t = layout_.view.guideBegin;
        int y = kHeaderHeight;
        int lastLabelledDay = -1;
        while (t < end) {
            const LocalTime local = toLocalTime(t);
            const int64_t minutes = std::min<int64_t>(60 - local.minute, (end - t) / 60);
            if (minutes <= 0) break;  // less than a minute left: nothing more to draw
            const int cellHeight = static_cast<int>(minutes) * view_.hourHight;
            const int top = y - scrollY_;
            if (visibleRows(top, top + cellHeight)) {
                surface_.box(Rect{0, top, kTimeColumnWidth, top + cellHeight + 1}, hourBrush(local.hour), PaintPen::grid);
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
            y += cellHeight;
        }
        return y;
    }

    void paintCornerButton() {
        surface_.clipNone();
        const Rect corner{0, 0, kTimeColumnWidth, kHeaderHeight};
        surface_.box(corner, PaintBrush::noData, PaintPen::grid);
        surface_.text("現在へ", corner, PaintFont::header, kTextWhite, kTextCenter | kTextVCenter | kTextSingleLine);
    }

    void paintNowLine(int contentWidth) {
        if (in_.switches.nowTimeLine != 1) return;
        const int64_t t = layout_.viewTime(in_.now);
        const int64_t y = kHeaderHeight + (t - layout_.view.guideBegin) / 60 * view_.hourHight - scrollY_;
        if (y < 0 || y > height_) return;
        const int lineY = static_cast<int>(y);
        surface_.clipTo(Rect{0, kHeaderHeight, width_, height_});
        // Client x, on purpose: the line spans the window whatever the scroll.
        surface_.line(kNowLineLeft, lineY, contentWidth - 3, lineY, PaintPen::now);
        surface_.line(kNowLineLeft, lineY + 1, contentWidth - 3, lineY + 1, PaintPen::now);
        const LocalTime now = toLocalTime(in_.now);
        surface_.text(formatted("%02d:%02d", now.hour, now.minute), Rect{2, lineY, 46, lineY + 15}, PaintFont::title,
                      kNowColor, kTextRight | kTextSingleLine);
    }

    GuideLayout& layout_;
    PaintSurface& surface_;
    const PaintInputs& in_;
    const EpgStore& store_;
    const ViewSettings& view_;
    const GenreSettings& genres_;
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

PaintPen reservationPen(const ReservationRecord& reservation) {
    FrameColor color = FrameColor::orange;
    if (reservation.conflict != 0)
        color = FrameColor::red;
    else if (reservation.kind == kReservationEpgTimer)
        color = FrameColor::green;
    else if (reservation.kind < kReservationJobBase)
        color = FrameColor::blue;
    return reservationPen(color, reservation.valid == 1);
}

std::string channelNumberLabel(const ServiceRecord& record, int remoteNumber) {
    if (record.networkWord <= 4095) return formatted("%dch", remoteNumber);
    if (record.networkClass() == 4) return formatted("BS%d", remoteNumber);
    if (record.networkClass() == 6 || record.networkClass() == 7) return formatted("CS%d", remoteNumber);
    return formatted("%d", remoteNumber);
}

std::string headerTooltipText(const ServiceRecord& record, int remoteNumber) {
    std::string text;
    if (record.providerNameLength != 0)
        text += "事業者名 ： " + decodeName(record.providerName, record.providerNameLength) + "\n";
    if (record.tsNameLength != 0) text += "チャンネル名 ： " + decodeName(record.tsName, record.tsNameLength) + "\n";
    if (record.serviceNameLength != 0)
        text += "サービス名 ： " + decodeName(record.serviceName, record.serviceNameLength) + "\n";
    const int networkClass = record.networkClass();
    if (networkClass == 4)
        text += formatted("サービスID ： BS%d\n", record.serviceId);
    else if (networkClass == 6 || networkClass == 7)
        text += formatted("サービスID ： CS%d\n", record.serviceId);
    else
        text += formatted("サービスID ： %d\n", record.serviceId);
    if (remoteNumber > 0) text += formatted("リモコンch ： %dch\n", remoteNumber);
    if (record.physicalChannel() != 0) text += formatted("物理ch ： %dch\n", record.physicalChannel());
    return text;
}

int64_t repaintDelay(int64_t earliestEnd, int64_t now) { return (earliestEnd - now) * 1000 + 100; }

PaintResult paintGuide(GuideLayout& layout, PaintSurface& surface, const PaintInputs& inputs) {
    if (!inputs.store || layout.view.guideBegin == 0) return {};
    return GuidePainter(layout, surface, inputs).run();
}

}  // namespace corvane
