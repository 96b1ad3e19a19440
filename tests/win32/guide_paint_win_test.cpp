// The guide painted through GDI into a memory bitmap and read back pixel by
// pixel, with a real tooltip control and the repaint timer. What is drawn
// where is decided and tested without a window (guide_paint_test).
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "guide/guide_paint_win.h"
#include "reserve/reservations.h"
#include "resources/resource.h"
#include "support/fake_guide_host.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

constexpr int kWidth = 800, kHeight = 600;

// One hidden owner window and one set of tools for the whole suite: windows
// are slow to make without a window manager.
HWND owner = nullptr;
PaintTools tools;

class GuidePaintWinTest : public testing::Test, protected LayoutRig {
protected:
    static void SetUpTestSuite() {
        InitCommonControls();
        owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr, nullptr, nullptr);
        tools.create(ViewSettings{}, GetModuleHandleA(nullptr), nullptr);
    }
    static void TearDownTestSuite() { tools.destroy(); DestroyWindow(owner); }

    GuidePaintWinTest() : LayoutRig("paintwin") { brushes.rebuildAll(genres); }
    ~GuidePaintWinTest() override { destroyGuideTooltip(context); }

    PaintResult paint() {
        canvas.fill(0x010203);
        frames = reservationFrames(reservations);
        return paintGuideOn(owner, canvas.dc, kWidth, kHeight, host.clock, layout, store.get(), inputs, context);
    }

    GenreSettings genres;
    GenreBrushes brushes;
    ReservationList reservations;
    ReservationFrames frames;
    HighlightedProgramme highlight;
    const PaintInputs inputs{&genres, nullptr, &frames, &highlight};
    PaintContext context{&tools, &brushes, nullptr, nullptr, nullptr};
    MemoryCanvas canvas{kWidth, kHeight};
};

TEST_F(GuidePaintWinTest, CutTextsGetTooltipsAndWithoutDataOnlyTheHintIsDrawnAndNoTooltipStays) {
    // Ten minutes at 2 px a minute are too short for a title and a detail line
    // in any font: a tip even without a detail. The hour has room for all.
    putSchedule(store.get(), 1, 0x7FE0, 0, {{dayAt(20), 600, "十分"}, {dayAt(20, 10), 3600, "一時間", "短い説明"}});
    layout.buildListLayout(store.get());
    paint();
    const HWND first = context.tooltip;
    EXPECT_EQ(2, SendMessageA(first, TTM_GETTOOLCOUNT, 0, 0));  // the ten minutes and the header

    // Every column hidden: nothing is drawn, and no tip stays.
    settings.writeString("ColumnDisp", "1", "0");
    layout.buildListLayout(store.get());
    EXPECT_FALSE(paint().painted);
    EXPECT_FALSE(IsWindow(first));
    const auto drawn = [](uint32_t c) { return c != rgbColor(1, 2, 3); };
    EXPECT_EQ(0, canvas.count(0, 0, kWidth, kHeight, drawn));
    // Nothing loaded: the hint of what to do, centred below the middle, in grey.
    layout.reset();
    EXPECT_FALSE(paint().painted);
    const auto grey = [](uint32_t c) { return (c & 0xFF) == ((c >> 8) & 0xFF) && (c & 0xFF) == (c >> 16) && (c & 0xFF) < 200; };
    EXPECT_GT(canvas.count(kWidth / 2 - 320, kHeight / 2 - 12, kWidth / 2 + 320, kHeight / 2 + 40, grey), 100);
    EXPECT_EQ(0, canvas.count(0, 0, kWidth, kHeight / 2 - 12, drawn) + canvas.count(0, kHeight / 2 + 60, kWidth, kHeight, drawn));
    EXPECT_EQ(nullptr, context.tooltip);
}

TEST_F(GuidePaintWinTest, AfterJumpingToNowTheProgrammesOnAirShowTheirTitlesBelowTheHeader) {
    host.clock = localDayAt(21, 30);
    host.height = kHeight;
    putSchedule(store.get(), 1, 0x7FE0, 0, {{dayAt(18), 4 * 3600, "四時間の番組"}, {dayAt(22), 3600, "次"}});
    putSchedule(store.get(), 2, 0x7FE0, 0, {{dayAt(18), 3600, "前"}, {dayAt(19), 3 * 3600, "三時間の番組"}});
    layout.buildListLayout(store.get());
    ASSERT_TRUE(layout.jumpToNow());
    ASSERT_GT(layout.view.scrollY, 0);
    paint();
    // Black title pixels in the first text line of each column, right of the minute.
    const auto black = [](uint32_t c) { return c == 0; };
    for (int left : {50, 230}) EXPECT_GT(canvas.count(left + 22, 22, left + 179, 36, black), 10) << left;
}

TEST_F(GuidePaintWinTest, ColoursAtTheirPlacesTheHourLineAndTheRepaintTimer) {
    // Saturday from 20:40: a first hour cell of exactly 40 px. Column 0: a
    // highlighted drama, no data, 21:00 for one minute, 21:01; columns 1 and 2
    // on air until 21:00 and 21:30.
    host.clock = localDayAt(20, 45, 12);
    genres.genreCheck[3] = 1;
    putSchedule(store.get(), 1, 0x7FE0, 0,
                {{dayAt(20, 40, 12), 600, "ドラマ", "", 3}, {dayAt(21, 0, 12), 60, "正時"}, {dayAt(21, 1, 12), 3600, "一分"}});
    putSchedule(store.get(), 2, 0x7FE0, 0, {{dayAt(20, 40, 12), 1200, "九時まで"}});
    putSchedule(store.get(), 3, 0x7FE0, 0, {{dayAt(20, 40, 12), 3000, "九時半まで"}});
    layout.buildListLayout(store.get());
    // The highlighted drama ends first but does not arm the repaint.
    EXPECT_EQ(localDayAt(21, 0, 12), paint().earliestOnAirEnd);

    // y 25: above the line of the current time (20:45, y 30). A highlighted
    // genre wins over on air; no data; plain; on air in an odd and an even
    // column; the headers.
    for (auto [x, y, color] : {std::tuple{220, 25, genres.genreColor[3] & 0xFFFFFF}, {220, 50, rgbColor(105, 105, 105)},
                               {220, 100, rgbColor(244, 244, 255)}, {400, 25, rgbColor(255, 192, 203)},
                               {580, 25, rgbColor(255, 228, 225)}, {53, 3, rgbColor(224, 255, 224)},
                               {233, 3, rgbColor(183, 255, 183)}})
        EXPECT_EQ(color, canvas.at(x, y)) << x << ", " << y;

    // The window entry arms timer 1000 to fire 100 ms after 21:00.
    struct OneSecondBefore : Clock {
        int64_t now() override { return localDayAt(21, 0, 12) - 1; }
    } clock;
    const DWORD started = GetTickCount();
    paintGuideWindow(owner, canvas.dc, clock, layout, store.get(), inputs, context);
    MSG msg{};
    while (!PeekMessageA(&msg, owner, WM_TIMER, WM_TIMER, PM_REMOVE) && GetTickCount() - started < 5000) Sleep(10);
    KillTimer(owner, TIMER_GUIDE_REPAINT);
    EXPECT_EQ(TIMER_GUIDE_REPAINT, msg.wParam);
    EXPECT_GE(GetTickCount() - started, 1000u);

    // On the guide as repainted at 20:59:59 (the current time at y 58, 59):
    // hour cells 18-23 in their colour, the 40 px one without a label, the
    // 21:00 one (y 60 to 180) labelled in Saturday blue.
    EXPECT_EQ(0, canvas.count(1, 21, 49, 58, [](uint32_t c) { return c != rgbColor(168, 211, 255); }));
    const auto saturdayBlue = [](uint32_t c) { return (c >> 16) > 150 && (c & 0xFF) < 100 && ((c >> 8) & 0xFF) < 100; };
    EXPECT_GT(canvas.count(26, 114, 49, 128, saturdayBlue), 5);
    // The black 2 px line on 21:00 from 2 px inside the cell's edges; none on 21:01 (y 62).
    const auto black = [](uint32_t c) { return c == 0; };
    EXPECT_EQ(2, canvas.count(52, 56, 53, 62, black));
    EXPECT_EQ(0, canvas.count(52, 62, 229, 64, black));
}

TEST_F(GuidePaintWinTest, ReservationFramesAndTheHighlight) {
    putSchedule(store.get(), 1, 0x7FE0, 0, {{dayAt(20), 4 * 3600, "長時間"}});
    // EpgTimer, TvRock, a capture-tool job and a conflict, by the hour from 20:00.
    const int kinds[] = {0, 1, 1000, 0}, conflicts[] = {0, 0, 0, 1}, valid[] = {1, 0, 1, 0};
    const uint32_t colors[] = {rgbColor(0, 255, 0), rgbColor(0, 0, 255), rgbColor(255, 153, 0), rgbColor(255, 51, 51)};
    for (int i = 0; i < 4; ++i)
        reservations.push_back({.kind = kinds[i], .start = localDayAt(20 + i), .end = localDayAt(20 + i, 30), .serviceId = 1,
                                .conflict = conflicts[i], .valid = valid[i], .title = {}, .guideTitle = {},
                                .jobName = {}});
    // A window that counts as visible without being shown.
    HWND genreList = context.genreListWindow =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, owner, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(genreList, GWL_STYLE, GetWindowLongPtrA(genreList, GWL_STYLE) | WS_VISIBLE);
    highlight = {HighlightOwner::genreList, 1, 0, localDayAt(20, 40), localDayAt(20, 50), 0};
    layout.buildListLayout(store.get());
    paint();
    // Programme tops: 2 px a minute from 20:00 below the 20 px header.
    for (int i = 0; i < 4; ++i) {  // solid when valid, else dotted
        const int top = 20 + 60 * 2 * i;
        const auto framed = [&](uint32_t c) { return c == colors[i]; };
        const int side = canvas.count(52, top + 6, 53, top + 54, framed);
        const int edge = canvas.count(60, top + 2, 220, top + 3, framed);
        EXPECT_TRUE(valid[i] ? side == 48 && edge == 160 : side > 10 && side < 40 && edge > 40 && edge < 160)
            << i << ": " << side << ", " << edge;
    }
    const int highlightTop = 20 + 40 * 2;  // 20:40
    EXPECT_EQ(rgbColor(255, 56, 56), canvas.at(120, highlightTop + 2));

    // Its window hidden: no frame, and the highlight forgets its times.
    SetWindowLongPtrA(genreList, GWL_STYLE, GetWindowLongPtrA(genreList, GWL_STYLE) & ~WS_VISIBLE);
    paint();
    EXPECT_NE(rgbColor(255, 56, 56), canvas.at(120, highlightTop + 2));
    EXPECT_EQ(0, highlight.start);
    DestroyWindow(genreList);
}

}  // namespace
}  // namespace corvane
