// Moving through built guides from the keyboard: arrows over gaps, hidden
// columns, zero-length and overlapping programmes and the ends of the data;
// the first landing; the least scroll at the smallest and largest minute
// heights; page and day steps; and a random walk that never lands where a
// click could not.
#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <vector>

#include "guide/guide_navigation.h"
#include "guide/window_placement.h"
#include "store/broadcast_time.h"
#include "support/fake_guide_host.h"

namespace corvane {
namespace {

// Minutes from the guide's start.
struct Span {
    int from, to;
};

// A list view built straight from columns of programmes (no store): a column
// of no programmes stands for a hidden one, as the layout clears those.
struct NavigationRig : LayoutRig {
    NavigationRig(std::vector<std::vector<Span>> columns, int minuteHeight = 2) : LayoutRig("navigation") {
        view.hourHight = minuteHeight;
        view.channelWidth = 100;
        host.width = 350, host.height = 420;  // three columns and 400 pixels of grid
        layout.view.guideBegin = begin;
        int64_t end = begin;
        int drawnColumns = 0;
        for (int s = 0; s < static_cast<int>(columns.size()); ++s) {
            for (const Span& span : columns[s]) {
                GuideEvent event;
                event.start = at(span.from), event.end = at(span.to);
                layout.events[s].push_back(event);
                end = std::max(end, at(span.to));
            }
            const int last = static_cast<int>(columns[s].size()) - 1;
            layout.columnOrder.push_back(GuideColumn{.sortValue = s, .service = s, .shown = last >= 0, .lastEvent = last});
            drawnColumns += last >= 0;
        }
        layout.view.guideEnd = end;
        layout.view.contentWidth = layout.geometry().columnX(drawnColumns);
        layout.view.contentHeight = layout.contentY(end, begin);
    }
    int64_t at(int minute) const { return begin + minute * 60; }
    ClientSize client() const { return {host.width, host.height}; }

    const int64_t begin = broadcastDayStart(localTimeOf(2026, 12, 7, 12, 0, 0));
};

using Place = GuidePlace;

TEST(GuideNavigation, ArrowsSkipZeroLengthProgrammesGapsAndHiddenColumnsAndStopAtTheEnds) {
    NavigationRig rig({
        {{0, 60}, {60, 60}, {60, 120}, {180, 240}, {200, 230}},  // zero-length, a gap, an overlap
        {},                                                        // hidden
        {{0, 30}, {150, 300}},                                     // a gap where column 0 has its third
        {{0, 300}},
    });
    const GuideLayout& layout = rig.layout;
    // Down over the zero-length programme and the gap, through the overlap; Up; Right from 01:00 past the
    // hidden column into the gap: the nearer programme (00:30 is 31 minutes away, 02:30 90), from 03:20
    // the covering one; the first and last stay put.
    using Step = std::tuple<Place, int, bool, Place>;  // from, direction, across, to
    for (auto [from, direction, across, to] :
         {Step{{0, 0}, 1, false, {0, 2}}, {{0, 2}, 1, false, {0, 3}}, {{0, 3}, 1, false, {0, 4}}, {{0, 4}, 1, false, {0, 4}},
          {{0, 0}, -1, false, {0, 0}}, {{0, 4}, -1, false, {0, 3}}, {{0, 2}, 1, true, {2, 0}}, {{0, 4}, 1, true, {2, 1}},
          {{2, 1}, 1, true, {3, 0}}, {{3, 0}, 1, true, {3, 0}}, {{2, 0}, -1, true, {0, 0}}, {{0, 0}, -1, true, {0, 0}}})
        EXPECT_EQ(to, across ? stepAcross(layout, from, direction) : stepInColumn(layout, from, direction))
            << from.column << "/" << from.event << " " << direction << across;
    // The selection's own column, whatever column is asked for; nothing for a hidden, unknown or
    // zero-length (never drawn) one.
    EXPECT_EQ((std::optional<Place>{{2, 1}}), placeOfSelection(layout, {2, 1}, 0));
    for (Selection none : {Selection{1, 0}, {0, 9}, {0, 1}}) EXPECT_EQ(std::nullopt, placeOfSelection(layout, none));
}

TEST(GuideNavigation, TheFirstArrowLandsAtTheTopOrTheNowLineOfTheLeftmostWhollyVisibleColumn) {
    NavigationRig rig({{{0, 100}, {100, 400}}, {{0, 50}, {60, 400}}, {{0, 400}}, {{0, 400}}});
    const int offScreen = 390;
    // Column 0 cut, 1 whole: at 00:55 the nearer one, or under the time line; then column 0, then with
    // no column whole the one partly shown.
    for (auto [width, scrollX, scrollY, now, place] :
         {std::tuple{350, 30, 110, offScreen, Place{1, 1}}, {350, 30, 110, 120, Place{1, 1}}, {350, 30, 0, offScreen, Place{1, 0}},
          {350, 0, 0, 150, Place{0, 1}}, {120, 20, 0, offScreen, Place{0, 0}}}) {
        rig.host.width = width, rig.layout.view.scrollX = scrollX, rig.layout.view.scrollY = scrollY;
        EXPECT_EQ(std::optional<Place>{place}, firstPlace(rig.layout, rig.client(), rig.at(now))) << scrollX << " " << now;
    }
    NavigationRig empty(std::vector<std::vector<Span>>(2));
    EXPECT_EQ(std::nullopt, firstPlace(empty.layout, empty.client(), empty.at(0)));
}

TEST(GuideNavigation, TheLeastScrollShowsTheTitleBlockWholeAtTheSmallestAndLargestMinuteHeights) {
    for (const int m : {1, 200}) {
        NavigationRig rig({{{0, 60}, {60, 180}, {180, 2000}}, {{0, 2000}}, {{0, 2000}}, {{0, 2000}}, {{0, 2000}}}, m);
        GuideLayout& layout = rig.layout;
        layout.events[0][1].titleHeight = 30;
        const int content = layout.view.contentHeight, most = content - rig.host.height;
        // In view; below the grid (its block ends at the grid's bottom); above with its last rows cut
        // (the block at the top of them); begun far above and running (drawn at the top); past the content.
        for (auto [scrollY, event, expected] :
             {std::tuple{60 * m, 1, 60 * m}, {0, 1, std::max(0, 60 * m + 30 - 400)}, {180 * m - 10, 1, 180 * m - 30},
              {600 * m, 2, 600 * m}, {content, 2, most}}) {
            layout.view.scrollY = scrollY;
            EXPECT_EQ((ScrollPosition{0, expected}), scrollShowing(layout, {0, event}, rig.client(), 30)) << m << " " << scrollY;
        }
        // Across: right of the grid its right edge at the client's, left of it its left edge at the grid's.
        layout.view.scrollY = 0;
        for (auto [scrollX, column, expected] : {std::tuple{0, 4, 200}, {200, 2, 200}, {200, 1, 100}}) {
            layout.view.scrollX = scrollX;
            EXPECT_EQ((ScrollPosition{expected, 0}), scrollShowing(layout, {column, 0}, rig.client(), 30)) << m;
        }
        EXPECT_EQ((Rect{50, 20, 150, 50}), titleBlockRect(layout, {2, 0}, 30)) << m;
    }
    // The popup beside a block: right of it, else left of it; held inside the work area.
    EXPECT_EQ((WindowRect{285, 200, 320, 200}), popupBesideBlock({100, 200, 180, 30}, 320, 200, {0, 0, 1000, 700}, 5));
    EXPECT_EQ((WindowRect{275, 500, 320, 200}), popupBesideBlock({600, 650, 180, 30}, 320, 200, {0, 0, 1000, 700}, 5));
}

TEST(GuideNavigation, PagesOfWholeColumnsAndBroadcastDaysInBothViews) {
    NavigationRig rig({{{0, 3 * 1440}}, {{0, 3 * 1440}}});
    GuideLayout& layout = rig.layout;
    EXPECT_EQ(300, columnPagePixels(layout.geometry(), rig.client()));
    EXPECT_EQ(100, columnPagePixels(layout.geometry(), {60, 400}));
    // Days from 04:00 (the guide starts at one): from the first day's noon the next day and back to the
    // first day's start, whose position is held at the top.
    layout.view.scrollY = 2 * 8 * 60;
    const std::optional<int> next = dayStepScrollY(layout, 1);
    ASSERT_TRUE(next);
    EXPECT_EQ(2 * 1440 - 60, *next);
    layout.view.scrollY = *next;
    EXPECT_EQ(std::optional<int>(2 * 2880 - 60), dayStepScrollY(layout, 1));
    EXPECT_EQ(std::optional<int>(-60), dayStepScrollY(layout, -1));  // held at 0 when applied
    layout.view.scrollY = 2 * 2880;
    EXPECT_EQ(std::nullopt, dayStepScrollY(layout, 1));  // the fourth day lies past the guide

    // The channel view: a programme running past 04:00 shows at the top of the next day column too; the
    // keyboard stays in the column it is in, and Right keeps the time of day.
    NavigationRig channel({{{0, 600}, {600, 1500}, {1500, 1700}, {1700, 2880}}});
    GuideLayout& days = channel.layout;
    days.view.viewService = 0;
    days.dayColumns = {GuideColumn{.service = 0, .offset = 0, .firstEvent = 0, .lastEvent = 2},
                       GuideColumn{.sortValue = 1, .service = 0, .offset = kSecondsPerDay, .firstEvent = 1, .lastEvent = 3}};
    days.view.guideEnd = channel.begin + kSecondsPerDay;
    days.view.contentWidth = days.geometry().columnX(2);
    days.view.contentHeight = days.geometry().contentY(kSecondsPerDay, 0);
    EXPECT_EQ((std::optional<Place>{{0, 1}}), placeOfSelection(days, {0, 1}));
    EXPECT_EQ((std::optional<Place>{{1, 1}}), placeOfSelection(days, {0, 1}, 1));
    EXPECT_EQ((Place{1, 2}), stepInColumn(days, {1, 1}, 1));
    EXPECT_EQ((Place{0, 1}), stepInColumn(days, {0, 1}, 1));  // the next day's programme is not in this column
    EXPECT_EQ((Place{1, 1}), stepAcross(days, {0, 0}, 1));     // 04:00 the next day: the programme carried over
    EXPECT_EQ(std::optional<int>(100), dayColumnStepScrollX(days, 1));
    days.view.scrollX = 100;
    EXPECT_EQ(std::nullopt, dayColumnStepScrollX(days, 1));
    EXPECT_EQ(std::optional<int>(0), dayColumnStepScrollX(days, -1));
    EXPECT_EQ(std::nullopt, dayStepScrollY(days, 1));
}

// Random guides, random keys: every landing is a programme a click could hit, in a drawn column, and
// the least scroll shows its block inside the grid without leaving the content.
TEST(GuideNavigation, RandomWalksLandOnlyOnDrawnProgrammesAndShowThemInsideTheContent) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::vector<Span>> columns(1 + random() % 6);
        for (auto& column : columns) {
            if (random() % 4 == 0) continue;  // hidden
            for (int t = static_cast<int>(random() % 30); t < 1500;) {
                const int length = static_cast<int>(random() % 4 == 0 ? 0 : random() % 200);
                column.push_back({t, t + length});
                t += random() % 3 == 0 ? length - static_cast<int>(random() % 20) : length + static_cast<int>(random() % 40);
                t = std::max(t, column.back().from + 1);
            }
        }
        NavigationRig rig(columns, random() % 2 ? 1 : 1 + static_cast<int>(random() % 20));
        GuideLayout& layout = rig.layout;
        std::optional<Place> place = firstPlace(layout, rig.client(), rig.at(random() % 1500));
        for (int key = 0; place && key < 40; ++key) {
            const int direction = random() % 2 ? 1 : -1;
            *place = random() % 2 ? stepInColumn(layout, *place, direction) : stepAcross(layout, *place, direction);
            const GuideColumn& column = layout.columnOrder[place->column];
            ASSERT_FALSE(layout.events[column.service].empty());
            const GuideEvent& event = layout.events[column.service][place->event];
            ASSERT_GT(layout.eventHeight(event), 0);
            const ScrollPosition scroll = scrollShowing(layout, *place, rig.client(), 25);
            ASSERT_GE(scroll.x, 0);
            ASSERT_GE(scroll.y, 0);
            ASSERT_LE(scroll.y, std::max(0, layout.view.contentHeight - rig.host.height));
            layout.view.scrollX = scroll.x, layout.view.scrollY = scroll.y;
            const Rect block = titleBlockRect(layout, *place, 25);
            ASSERT_GE(block.top, kHeaderHeight);
            if (layout.view.contentHeight >= rig.host.height) {
                ASSERT_LE(block.bottom, rig.host.height);
            }
            ASSERT_GE(block.left, kTimeColumnWidth);
            ASSERT_EQ(*place, placeOfSelection(layout, {column.service, place->event}, place->column));
        }
    }
}

}  // namespace
}  // namespace corvane
