// Moving through the guide from the keyboard: which programme an arrow
// reaches, where the first arrow lands, the least scroll that shows a
// programme's title block, and the page and day steps. Functions of the
// layout and its geometry only; the main window applies what they answer.
#pragma once

#include <cstdint>
#include <optional>

#include "guide/guide_layout.h"

namespace corvane {

// A programme as the keyboard reaches it: the column of the current view it
// is in (an index into currentColumns()) and its index in the service's list.
// In the channel view a programme running past 04:00 shows in two day
// columns; the place says which one the keyboard is in.
struct GuidePlace {
    int column = -1;
    int event = -1;
    bool operator==(const GuidePlace&) const = default;
};

// The client area the guide is shown in.
struct ClientSize {
    int width = 0;
    int height = 0;
};

struct ScrollPosition {
    int x = 0;
    int y = 0;
    bool operator==(const ScrollPosition&) const = default;
};

// The place of a selection in the current view: in column `preferred` when
// that column shows it, else in the first column that shows it from its own
// day (the day its start lies in); none when no column shows it.
std::optional<GuidePlace> placeOfSelection(const GuideLayout& layout, Selection selection, int preferred = -1);

// Where the first arrow lands with nothing selected: in the leftmost column
// wholly in view (or the leftmost one partly in view when none is wholly),
// the programme under the line of the current time when that line is in
// view, else the programme at the top of the grid; where the column has no
// programme at that time, the nearest one. None without programmes.
std::optional<GuidePlace> firstPlace(const GuideLayout& layout, ClientSize client, int64_t now);

// The previous (direction < 0) or next programme of the place's column;
// the place itself at the first or last one.
GuidePlace stepInColumn(const GuideLayout& layout, GuidePlace place, int direction);

// The programme of the nearest column to the left (direction < 0) or right
// that has programmes and one covering the place's start time (in the
// channel view: the same time of day), or, without one at that time, the
// nearest one in time; the place itself at the first or last column.
GuidePlace stepAcross(const GuideLayout& layout, GuidePlace place, int direction);

// The scroll position nearest to the current one at which the place's title
// block is wholly in the grid (as much of it as the grid holds), held inside
// the content. `titleHeight` is the block's height when it was never
// painted; `coveredTop` rows at the top of the grid are covered (by the find
// bar) and do not count as shown.
ScrollPosition scrollShowing(const GuideLayout& layout, GuidePlace place, ClientSize client, int titleHeight,
                             int coveredTop = 0);

// The client rectangle of the place's title block at the current scroll
// position: the top of its visible part when the programme began above the
// grid, `titleHeight` high when it was never painted.
Rect titleBlockRect(const GuideLayout& layout, GuidePlace place, int titleHeight);

// The time at the top of the grid in the leftmost column shown (the guide's
// time in the list view); 0 without data.
int64_t viewTopTime(const GuideLayout& layout);

// One screen of columns: the whole columns the grid holds, at least one.
int columnPagePixels(const GuideGeometry& geometry, ClientSize client);

// The vertical scroll position that shows the previous (direction < 0) or
// next broadcast day (from 04:00) as the date jump shows a time, counted from
// the time the view shows there now (list view); none when that day lies
// outside the guide.
std::optional<int> dayStepScrollY(const GuideLayout& layout, int direction);

// The horizontal scroll position that puts the previous or next day column
// at the left of the grid (channel view); none at the first or last one.
std::optional<int> dayColumnStepScrollX(const GuideLayout& layout, int direction);

}  // namespace corvane
