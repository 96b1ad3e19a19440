// The guide painted through GDI into a memory bitmap, read back pixel by
// pixel, with the tools of a real tooltip control.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/ini_settings.h"
#include "guide/guide_paint_win.h"
#include "resources/resource.h"
#include "support/fake_guide_host.h"
#include "support/guide_fixture.h"
#include "support/temp_ini.h"

namespace corvane {
namespace {

namespace bc = corvane::broadcast;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr uint32_t kUntouched = rgbColor(1, 2, 3);

// Monday 2026-12-07, wall-clock times of the broadcast.
int64_t local(int day, int hour, int minute = 0) { return localOf(bc::broadcastTime(2026, 12, 7 + day, hour, minute)); }

// One hidden owner window and one set of drawing tools for the whole suite:
// creating and destroying windows is slow without a window manager.
HWND owner = nullptr;
PaintTools* tools = nullptr;

LRESULT CALLBACK ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// A 32-bit top-down bitmap selected into a memory surface.
class Canvas {
public:
    Canvas() {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t*>(bits);
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    void clear() {
        GdiFlush();
        for (int i = 0; i < kWidth * kHeight; ++i) bits_[i] = 0x010203;  // kUntouched as 0x00RRGGBB
    }
    // 0x00BBGGRR, like the colours of the painting.
    uint32_t at(int x, int y) const {
        GdiFlush();
        const uint32_t v = bits_[y * kWidth + x];
        return ((v >> 16) & 0xFF) | (v & 0xFF00) | ((v & 0xFF) << 16);
    }
    // Pixels of [left, right) x [top, bottom) that satisfy `test`.
    template <typename Test>
    int count(int left, int top, int right, int bottom, Test test) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (test(at(x, y))) ++n;
        return n;
    }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    uint32_t* bits_ = nullptr;
};

int red(uint32_t c) { return c & 0xFF; }
int green(uint32_t c) { return (c >> 8) & 0xFF; }
int blue(uint32_t c) { return (c >> 16) & 0xFF; }

struct Tool {
    int id;
    RECT rect;
    std::string text;  // Shift_JIS
};

std::vector<Tool> toolsOf(HWND tooltip) {
    std::vector<Tool> out;
    const int count = static_cast<int>(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        // The wide form: the narrow one hands back at most 80 bytes of text.
        wchar_t text[1024] = {};
        TTTOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.lpszText = text;
        if (!SendMessageW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&info))) continue;
        char sjis[2048] = {};
        WideCharToMultiByte(932, 0, text, -1, sjis, sizeof sjis, nullptr, nullptr);
        out.push_back({static_cast<int>(info.uId), info.rect, sjis});
    }
    return out;
}

const Tool* toolAt(const std::vector<Tool>& tools, int left, int top) {
    for (const Tool& t : tools)
        if (t.rect.left == left && t.rect.top == top) return &t;
    return nullptr;
}

class GuidePaintWinTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        InitCommonControls();
        WNDCLASSA wc{};
        wc.lpfnWndProc = ownerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "CorvanePaintTestOwner";
        RegisterClassA(&wc);
        owner = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr,
                                wc.hInstance, nullptr);
        tools = new PaintTools;
        tools->create(ViewSettings{}, GetModuleHandleA(nullptr), nullptr);
    }
    static void TearDownTestSuite() {
        tools->destroy();
        delete tools;
        tools = nullptr;
        DestroyWindow(owner);
        owner = nullptr;
    }

    GuidePaintWinTest() : ini("paintwin"), settings(ini.path()), store(createStore()) {
        host.width = kWidth;
        host.height = kHeight;
        host.clock = local(0, 12);
        layout = std::make_unique<GuideLayout>(host, settings, view);
        brushes.rebuildAll(genres);
        context.layout = layout.get();
        context.store = store.get();
        context.tools = tools;
        context.genreBrushes = &brushes;
        context.genres = &genres;
        context.switches = &switches;
        context.reservations = &reservations;
        context.highlight = &highlight;
    }
    ~GuidePaintWinTest() override { destroyGuideTooltip(context); }

    void build() {
        layout->view.viewService = -1;
        layout->buildListLayout(store.get());
    }
    PaintResult paint() {
        canvas.clear();
        return paintGuideOn(owner, canvas.dc(), kWidth, kHeight, host.clock, context);
    }
    int topOf(int64_t t) const { return 20 + static_cast<int>((t - layout->view.guideBegin) / 60) * 2; }

    TempIniFile ini;
    IniFileSettings settings;
    ViewSettings view;
    FakeGuideHost host;
    StorePtr store;
    std::unique_ptr<GuideLayout> layout;
    GenreSettings genres;
    GenreBrushes brushes;
    ViewSwitches switches;
    ReservationList reservations;
    HighlightedProgramme highlight;
    PaintContext context;
    Canvas canvas;
};

TEST_F(GuidePaintWinTest, ToolsAreMadeFromTheirTable) {
    ASSERT_NE(nullptr, owner);
    for (HPEN pen : tools->pens) EXPECT_NE(nullptr, pen);
    for (HBRUSH brush : tools->brushes) EXPECT_NE(nullptr, brush);
    EXPECT_NE(nullptr, tools->titleFont);
    EXPECT_NE(nullptr, tools->detailFont);
    ASSERT_NE(nullptr, tools->headerFont);
    LOGFONTA header{};
    GetObjectA(tools->headerFont, sizeof header, &header);
    EXPECT_EQ(12, header.lfHeight);
    EXPECT_EQ(700, header.lfWeight);
    EXPECT_EQ(SHIFTJIS_CHARSET, header.lfCharSet);
    LOGFONTA title{};
    GetObjectA(tools->titleFont, sizeof title, &title);
    EXPECT_EQ(-12, title.lfHeight);
    LOGPEN hour{};
    GetObjectA(tools->pens[static_cast<int>(PaintPen::hour)], sizeof hour, &hour);
    EXPECT_EQ(2, hour.lopnWidth.x);
    BITMAP mark{};
    ASSERT_NE(nullptr, tools->sdBitmap);
    GetObjectA(tools->sdBitmap, sizeof mark, &mark);
    EXPECT_EQ(13, mark.bmWidth);
    EXPECT_EQ(1, mark.bmBitsPixel);
}

TEST_F(GuidePaintWinTest, WithoutDataOnlyTheOldTooltipsGo) {
    putSchedule(store.get(), 1, 0x7FE0, 0, {{bc::broadcastTime(2026, 12, 7, 20), 600, "短い"}});
    build();
    paint();
    HWND first = context.tooltip;
    ASSERT_NE(nullptr, first);

    layout->reset();
    PaintResult result = paint();
    EXPECT_FALSE(result.painted);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(nullptr, context.tooltip);
    EXPECT_EQ(kWidth * kHeight, canvas.count(0, 0, kWidth, kHeight, [](uint32_t c) { return c == kUntouched; }));
}

TEST_F(GuidePaintWinTest, CellColoursAndTheRepaintTime) {
    host.clock = local(0, 20, 20);
    genres.genreCheck[3] = 1;
    putSchedule(store.get(), 1, 0x7FE0, 0,
                {{bc::broadcastTime(2026, 12, 7, 20), 1800, "ドラマ", "", 3}, {bc::broadcastTime(2026, 12, 7, 21), 3600, "次"}});
    putSchedule(store.get(), 2, 0x7FE0, 0, {{bc::broadcastTime(2026, 12, 7, 20), 3600, "九時まで"}});
    putSchedule(store.get(), 3, 0x7FE0, 0, {{bc::broadcastTime(2026, 12, 7, 20), 5400, "九時半まで"}});
    build();
    PaintResult result = paint();

    const int y = topOf(local(0, 20)) + 10;
    EXPECT_EQ(genres.genreColor[3], canvas.at(50 + 170, y));          // highlighted wins over on air
    EXPECT_EQ(rgbColor(244, 244, 255), canvas.at(50 + 170, topOf(local(0, 21)) + 10));
    EXPECT_EQ(rgbColor(255, 192, 203), canvas.at(230 + 170, y));      // on air, odd column
    EXPECT_EQ(rgbColor(255, 228, 225), canvas.at(410 + 170, y));      // on air, even column
    EXPECT_EQ(rgbColor(105, 105, 105), canvas.at(50 + 170, topOf(local(0, 20, 45))));  // gap
    EXPECT_EQ(rgbColor(169, 169, 169), canvas.at(230, y));            // column edge
    EXPECT_EQ(local(0, 21), result.earliestOnAirEnd);

    // The window entry arms timer 1000 to fire 100 ms after 21:00.
    host.clock = local(0, 21) - 1;
    static int64_t clockValue;
    clockValue = host.clock;
    context.clock = [] { return clockValue; };
    canvas.clear();
    const DWORD started = GetTickCount();
    paintGuideWindow(owner, canvas.dc(), context);
    MSG msg{};
    bool fired = false;
    while (!fired && GetTickCount() - started < 5000) {
        if (PeekMessageA(&msg, owner, WM_TIMER, WM_TIMER, PM_REMOVE))
            fired = msg.wParam == TIMER_GUIDE_REPAINT;
        else
            Sleep(10);
    }
    KillTimer(owner, TIMER_GUIDE_REPAINT);
    EXPECT_TRUE(fired);
    EXPECT_GE(GetTickCount() - started, 1000u);
}

TEST_F(GuidePaintWinTest, GenreNoDispLeavesOtherCellsEmptyAndPlain) {
    host.clock = local(0, 20, 10);
    switches.nowTimeLine = 0;
    genres.genreCheck[3] = 1;
    genres.genreNoDisp = 1;
    std::string longTitle;  // four lines: the detail is cut
    for (int i = 0; i < 40; ++i) longTitle += "あ";
    putSchedule(store.get(), 1, 0x7FE0, 0, {{bc::broadcastTime(2026, 12, 7, 20), 1800, longTitle, "説明", 0, 0, 0x01}});
    putSchedule(store.get(), 2, 0x7FE0, 0, {{bc::broadcastTime(2026, 12, 7, 20), 1800, longTitle, "説明", 3, 0, 0x01}});
    build();
    PaintResult result = paint();
    const int top = topOf(local(0, 20));
    // Not on air, and nothing written: the whole inside is the cell colour.
    const uint32_t plain = rgbColor(244, 244, 255);
    EXPECT_EQ(plain, canvas.at(50 + 170, top + 10));
    EXPECT_EQ(0, canvas.count(52, top + 2, 228, top + 58, [&](uint32_t c) { return c != plain; }));
    // The drama is written, with its SD mark (black border, untouched inside).
    EXPECT_EQ(0u, canvas.at(230 + 4, top + 26));
    EXPECT_EQ(genres.genreColor[3], canvas.at(230 + 5, top + 25));
    EXPECT_GT(canvas.count(230 + 22, top + 2, 400, top + 16, [](uint32_t c) { return c == 0; }), 10);
    EXPECT_EQ(0, result.earliestOnAirEnd);
    // Tools: two headers and the drama, whose detail cannot fit.
    const std::vector<Tool> tips = toolsOf(context.tooltip);
    EXPECT_EQ(3u, tips.size());
    EXPECT_EQ(nullptr, toolAt(tips, 72, top));
}

TEST_F(GuidePaintWinTest, HourLineAndCellLines) {
    putSchedule(store.get(), 1, 0x7FE0, 0,
                {{bc::broadcastTime(2026, 12, 7, 20, 30), 1800, "前"},
                 {bc::broadcastTime(2026, 12, 7, 21), 60 * 30, "正時"},
                 {bc::broadcastTime(2026, 12, 7, 21, 30), 60, "一分"},
                 {bc::broadcastTime(2026, 12, 7, 21, 31), 3600, "三十一分"}});
    build();
    paint();
    const auto black = [](uint32_t c) { return c == 0; };
    const int top21 = topOf(local(0, 21));
    const int top2131 = topOf(local(0, 21, 31));
    // The 2 px line on the hour, from 2 px inside the edges.
    EXPECT_EQ(2, canvas.count(150, top21 - 2, 151, top21 + 2, black));
    EXPECT_EQ(2, canvas.count(226, top21 - 2, 227, top21 + 2, black));
    EXPECT_EQ(0, canvas.count(150, top2131 - 2, 229, top2131 + 2, black));
    // Inset grid line at the top of the 21:31 cell, edges down its sides.
    const uint32_t grid = rgbColor(169, 169, 169);
    EXPECT_EQ(grid, canvas.at(58, top2131));
    EXPECT_NE(grid, canvas.at(56, top2131));
    EXPECT_EQ(grid, canvas.at(50, top2131 + 50));
    EXPECT_EQ(grid, canvas.at(230, top2131 + 50));
}

TEST_F(GuidePaintWinTest, TooltipsOfCutTextsAndHeaders) {
    putSchedule(store.get(), 1, 0x7FE0, 0,
                {{bc::broadcastTime(2026, 12, 7, 21), 600, "十分"},
                 {bc::broadcastTime(2026, 12, 7, 21, 10), 600, "十分番組", "説明の文"},
                 {bc::broadcastTime(2026, 12, 7, 21, 20), 3600, "一時間", "短い説明"}});
    build();
    paint();
    ASSERT_NE(nullptr, context.tooltip);
    EXPECT_EQ(kTooltipMaxWidth, SendMessageA(context.tooltip, TTM_GETMAXTIPWIDTH, 0, 0));
    EXPECT_TRUE(GetWindowLongPtrA(context.tooltip, GWL_STYLE) & TTS_ALWAYSTIP);
    EXPECT_EQ(owner, GetWindow(context.tooltip, GW_OWNER));
    char className[64] = {};
    GetClassNameA(context.tooltip, className, sizeof className);
    EXPECT_STREQ(TOOLTIPS_CLASSA, className);

    const std::vector<Tool> tips = toolsOf(context.tooltip);
    ASSERT_EQ(3u, tips.size());
    const int top = topOf(local(0, 21));
    const Tool* first = toolAt(tips, 72, top);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ("21:00 【十分】", first->text);
    EXPECT_EQ(229, first->rect.right);
    EXPECT_EQ(top + 20, first->rect.bottom);
    const Tool* second = toolAt(tips, 72, top + 20);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ("21:10 【十分番組】\n\n説明の文", second->text);
    const Tool* header = toolAt(tips, 50, 0);
    ASSERT_NE(nullptr, header);
    EXPECT_EQ("サービスID ： 1\n", header->text);
    // Ids count from 0 in painting order: cells first, then the header.
    EXPECT_EQ(0, first->id);
    EXPECT_EQ(1, second->id);
    EXPECT_EQ(2, header->id);

    // A new control on every paint.
    HWND previous = context.tooltip;
    paint();
    EXPECT_FALSE(IsWindow(previous));
    EXPECT_EQ(3, SendMessageA(context.tooltip, TTM_GETTOOLCOUNT, 0, 0));
    // The programme's click area follows its painted title.
    EXPECT_GT(layout->events[0][0].titleHeight, 4);
    EXPECT_LE(layout->events[0][0].titleHeight, 20);
}

TEST_F(GuidePaintWinTest, HeadersCornerAndTimeColumn) {
    // Saturday 12th from 20:40: a 40 px first hour cell.
    putSchedule(store.get(), 1, 0x7FE0, 0, {{bc::broadcastTime(2026, 12, 12, 20, 40), 6 * 3600, "a"}});
    putSchedule(store.get(), 2, 0x7FE0, 0, {{bc::broadcastTime(2026, 12, 12, 20, 40), 6 * 3600, "b"}});
    build();
    paint();
    EXPECT_EQ(rgbColor(224, 255, 224), canvas.at(53, 3));
    EXPECT_EQ(rgbColor(183, 255, 183), canvas.at(233, 3));
    EXPECT_EQ(rgbColor(169, 169, 169), canvas.at(50, 10));
    EXPECT_EQ(rgbColor(105, 105, 105), canvas.at(3, 3));
    EXPECT_GT(canvas.count(0, 0, 50, 20, [](uint32_t c) { return c == rgbColor(255, 255, 255); }), 10);
    // Dark header text in the middle of the header.
    const auto dark = [](uint32_t c) { return red(c) + green(c) + blue(c) < 450; };
    EXPECT_GT(canvas.count(120, 2, 160, 18, dark), 3);
    EXPECT_EQ(0, canvas.count(51, 2, 110, 18, dark));

    const uint32_t evening = rgbColor(168, 211, 255);
    const uint32_t night = rgbColor(209, 163, 255);
    EXPECT_EQ(evening, canvas.at(3, 30));
    EXPECT_EQ(rgbColor(169, 169, 169), canvas.at(0, 30));
    // Exactly 40 px: no label at all.
    EXPECT_EQ(0, canvas.count(1, 21, 49, 60, [&](uint32_t c) { return c != evening; }));
    // 21:00 (y 60 to 180): the day in Saturday blue and the hour.
    const auto saturdayBlue = [](uint32_t c) { return blue(c) > 150 && red(c) < 100 && green(c) < 100; };
    EXPECT_GT(canvas.count(5, 62, 49, 78, saturdayBlue), 5);
    EXPECT_GT(canvas.count(26, 114, 49, 128, saturdayBlue), 5);
    EXPECT_EQ(0, canvas.count(1, 130, 49, 179, [&](uint32_t c) { return c != evening; }));
    // Midnight, Sunday: night colour and a red day label.
    EXPECT_EQ(night, canvas.at(3, 20 + 200 * 2 + 3));
    const auto sundayRed = [](uint32_t c) { return red(c) > 150 && green(c) < 100 && blue(c) < 100; };
    EXPECT_GT(canvas.count(5, 422, 49, 438, sundayRed), 5);
}

TEST_F(GuidePaintWinTest, ReservationFramesAndTheHighlight) {
    putSchedule(store.get(), 1, 0x7FE0, 0, {{bc::broadcastTime(2026, 12, 7, 20), 4 * 3600, "長時間"}});
    auto reservation = [](int kind, int hour, int conflict, int valid) {
        ReservationRecord r;
        r.kind = kind;
        r.start = local(0, hour);
        r.end = local(0, hour, 30);
        r.serviceId = 1;
        r.conflict = conflict;
        r.valid = valid;
        return r;
    };
    reservations = {reservation(0, 20, 0, 1), reservation(1, 21, 0, 0), reservation(1000, 22, 0, 1),
                    reservation(0, 23, 1, 0)};
    build();
    // A window that counts as visible without being shown (and so without the
    // slow hide that a shown window needs).
    HWND genreList = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, owner, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(genreList, GWL_STYLE, GetWindowLongPtrA(genreList, GWL_STYLE) | WS_VISIBLE);
    ASSERT_TRUE(IsWindowVisible(genreList));
    context.genreListWindow = genreList;
    highlight.owner = HighlightOwner::genreList;
    highlight.serviceId = 1;
    highlight.start = local(0, 20, 40);
    highlight.end = local(0, 20, 50);
    paint();

    // Left side of each frame at x = 52, from top + 2 to bottom - 1.
    struct Expected {
        int hour;
        uint32_t color;
        bool solid;
    };
    const Expected expected[] = {{20, rgbColor(0, 255, 0), true},
                                 {21, rgbColor(0, 0, 255), false},
                                 {22, rgbColor(255, 153, 0), true},
                                 {23, rgbColor(255, 51, 51), false}};
    for (const Expected& e : expected) {
        const int top = topOf(local(0, e.hour));
        const int onSide = canvas.count(52, top + 6, 53, top + 54, [&](uint32_t c) { return c == e.color; });
        if (e.solid) {
            EXPECT_EQ(48, onSide) << e.hour;
        } else {
            EXPECT_GT(onSide, 10) << e.hour;
            EXPECT_LT(onSide, 40) << e.hour;
        }
        const int onTop = canvas.count(60, top + 2, 220, top + 3, [&](uint32_t c) { return c == e.color; });
        if (e.solid)
            EXPECT_EQ(160, onTop) << e.hour;
        else
            EXPECT_GT(onTop, 40) << e.hour;
    }
    const uint32_t highlightColor = rgbColor(255, 56, 56);
    const int highlightTop = topOf(local(0, 20, 40));
    EXPECT_EQ(highlightColor, canvas.at(120, highlightTop + 2));
    EXPECT_EQ(highlightColor, canvas.at(228, highlightTop + 10));

    // Hidden owner: no frame, and the highlight forgets its times.
    SetWindowLongPtrA(genreList, GWL_STYLE, GetWindowLongPtrA(genreList, GWL_STYLE) & ~WS_VISIBLE);
    paint();
    EXPECT_NE(highlightColor, canvas.at(120, highlightTop + 2));
    EXPECT_EQ(0, highlight.start);
    DestroyWindow(genreList);
}

TEST_F(GuidePaintWinTest, LineOfTheCurrentTime) {
    putSchedule(store.get(), 1, 0x7FE0, 0, {{bc::broadcastTime(2026, 12, 7, 20), 4 * 3600, "長時間"}});
    build();
    host.clock = local(0, 21, 5);
    paint();
    const int y = 20 + 65 * 2;
    const uint32_t nowColor = rgbColor(255, 56, 56);
    const int onLine = canvas.count(53, y, 227, y + 2, [&](uint32_t c) { return c == nowColor; });
    EXPECT_GT(onLine, 60);   // dotted: about half of 2 x 174 pixels
    EXPECT_LT(onLine, 300);
    EXPECT_EQ(0, canvas.count(53, y + 3, 227, y + 5, [&](uint32_t c) { return c == nowColor; }));
    EXPECT_GT(canvas.count(2, y, 46, y + 15,
                           [](uint32_t c) { return red(c) > 150 && green(c) < 120 && blue(c) < 120; }),
              10);

    switches.nowTimeLine = 0;
    paint();
    EXPECT_EQ(0, canvas.count(53, y, 227, y + 2, [&](uint32_t c) { return c == nowColor; }));
}

}  // namespace
}  // namespace corvane
