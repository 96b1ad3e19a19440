// Where times and columns of the guide lie in pixels: the one place that
// turns minutes into pixels and column numbers into x. The layout owns the
// geometry of its view; painting, the main window and the tests ask it.
#pragma once

#include <algorithm>
#include <cstdint>

namespace corvane {

constexpr int kTimeColumnWidth = 50;  // the time column at the left
constexpr int kHeaderHeight = 20;     // the column header row at the top

// The minute heights and column widths the guide takes. Any guide the store
// can hold fits in 32-bit pixels with them: programme times lie within the
// 65536 days of the broadcast date (1858 to 2038) plus at most 2 x 165 BCD
// hours and minutes, 94.4 million minutes, so the content is at most
// 1.89 x 10^9 pixels high (2^31 is 2.15 x 10^9); the channel view has at most
// one column per day, 6.6 x 10^7 pixels wide.
constexpr int kLowestMinuteHeight = 1;
constexpr int kHighestMinuteHeight = 20;
constexpr int kLowestColumnWidth = 1;
constexpr int kHighestColumnWidth = 1000;

struct GuideGeometry {
    int hourHight = 2;       // "HourHight": pixels per minute
    int channelWidth = 180;  // "ChannelWidth": pixels per column

    // Pixels of a span of seconds, counted in whole minutes (truncating
    // toward zero). Computed in 64 bits: times handed in from elsewhere
    // (reservations, the clock) may lie anywhere.
    int64_t widePixels(int64_t seconds) const { return seconds / 60 * hourHight; }
    // The same held to the int range, for spans of the guide's own data.
    int pixels(int64_t seconds) const {
        const int64_t wide = widePixels(seconds);
        return wide > INT32_MAX ? INT32_MAX : wide < INT32_MIN ? INT32_MIN : static_cast<int>(wide);
    }
    // Content y of time t in a column whose time origin is `origin`.
    int contentY(int64_t t, int64_t origin) const { return kHeaderHeight + pixels(t - origin); }
    int64_t wideContentY(int64_t t, int64_t origin) const { return kHeaderHeight + widePixels(t - origin); }
    // Height of an hour: one line of vertical scrolling.
    int hourPixels() const { return 60 * hourHight; }
    // Content x of the drawn column `index` (0 = the first one drawn).
    int columnX(int index) const { return kTimeColumnWidth + index * channelWidth; }

    // And back from pixels: the whole minutes that `pixels` of height cover
    // (truncating toward zero).
    int64_t minutesIn(int64_t pixels) const { return hourHight > 0 ? pixels / hourHight : 0; }
    // The time at content y in a column whose time origin is `origin`: the
    // start of the minute that y falls in.
    int64_t timeAt(int64_t contentY, int64_t origin) const {
        return origin + minutesIn(contentY - kHeaderHeight) * 60;
    }
    // The time at the top of the grid when the view is scrolled down by `scrollY`.
    int64_t topTime(int scrollY, int64_t origin) const { return timeAt(int64_t{scrollY} + kHeaderHeight, origin); }
    // The drawn column at content x (0 = the first one drawn); -1 over the time column.
    int columnAt(int contentX) const {
        return contentX < kTimeColumnWidth || channelWidth <= 0 ? -1 : (contentX - kTimeColumnWidth) / channelWidth;
    }

    // A scroll position of the geometry `before` at this one's scale: the same
    // time stays at the top of the grid and the same column at its left edge
    // (the part scrolled past scaled too).
    int rescaledY(int scrollY, const GuideGeometry& before) const {
        return rescaled(scrollY, before.hourHight, hourHight);
    }
    int rescaledX(int scrollX, const GuideGeometry& before) const {
        return rescaled(scrollX, before.channelWidth, channelWidth);
    }

private:
    // `position` pixels at `from` pixels per unit, at `to` pixels per unit.
    static int rescaled(int position, int from, int to) {
        if (from <= 0) return position;
        const int64_t scaled = int64_t{position} / from * to + int64_t{position} % from * to / from;
        return static_cast<int>(std::clamp<int64_t>(scaled, INT32_MIN, INT32_MAX));
    }
};

}  // namespace corvane
