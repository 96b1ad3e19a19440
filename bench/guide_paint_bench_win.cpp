// Time of one full paint of the guide into a 1920 x 1080 client area: 300
// services with eight days of programmes each, Japanese titles and
// descriptions, some genres highlighted, reservations framed, the line of the
// current time, and the tooltip control rebuilt as on every paint.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/service_settings.h"
#include "store/ini_settings.h"
#include "guide/genre_brushes_win.h"
#include "guide/guide_layout.h"
#include "guide/guide_paint_win.h"
#include "reserve/reservations.h"
#include "store/epg_store.h"
#include "bench/dense_guide.h"
#include "bench/timing_win.h"

using namespace corvane;
namespace bc = corvane::broadcast;

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// The SD mark as its resource draws it, for a build without the resource.
void ensureSdMark(PaintTools& tools) {
    if (tools.sdBitmap || !tools.sdSurface) return;
    static const WORD rows[13] = {0x0000, 0xF07F, 0xF07F, 0x3062, 0xD05E, 0xD05E, 0xD066,
                                  0xD07A, 0xD07A, 0x3046, 0xF07F, 0xF07F, 0x0000};
    tools.sdBitmap = CreateBitmap(13, 13, 1, 1, rows);
    tools.sdSurfaceBitmap = SelectObject(tools.sdSurface, tools.sdBitmap);
}

}  // namespace

int main() {
    const int64_t firstDay = bc::broadcastTime(2026, 12, 7);
    size_t programmes = 0;
    // 10, 20, 30 and 60 minutes.
    EpgStore* store = bench::denseStore(firstDay, {3600, 1200, 1800, 600, 1800, 1200}, programmes);

    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    IniFileSettings settings(std::string(folder) + "corvane_paint_bench.ini");
    SettingsServicePreferences preferences(settings);
    ViewSettings view;
    bench::BenchHost host;
    host.clock = localTimeOf(2026, 12, 10, 20, 5, 0);  // day four, prime time
    auto* layout = new GuideLayout(host, preferences, view);
    layout->buildListLayout(store);
    layout->scrollToTime(host.clock);
    layout->view.scrollX = 40 * view.channelWidth;

    GenreSettings genres;
    genres.genreCheck[3] = 1;
    genres.genreCheck[6] = 1;
    GenreBrushes brushes;
    brushes.rebuildAll(genres);
    ViewSwitches switches;
    ReservationList reservations;
    for (int i = 0; i < 60; ++i) {
        ReservationRecord r;
        r.kind = i % 3 == 0 ? 0 : i % 3 == 1 ? 1 : 1001;
        r.start = host.clock - 3600 + (i % 12) * 1800;
        r.end = r.start + 1800;
        r.serviceId = 1000 + 40 + (i % 12);
        r.valid = i % 4 != 0;
        r.conflict = i % 7 == 0;
        reservations.push_back(r);
    }
    HighlightedProgramme highlight;

    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "CorvanePaintBench";
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(dc, bitmap);

    PaintTools tools;
    tools.create(view, GetModuleHandleA(nullptr), dc);
    ensureSdMark(tools);

    const ReservationFrames frames = reservationFrames(reservations);
    const PaintInputs inputs{&genres, &switches, &frames, &highlight};
    PaintContext context;
    context.tools = &tools;
    context.genreBrushes = &brushes;

    std::vector<double> times;
    PaintResult result;
    for (int round = 0; round < 30; ++round) {
        const double start = bench::milliseconds();
        result = paintGuideOn(owner, dc, kWidth, kHeight, host.clock, *layout, store, inputs, context);
        GdiFlush();
        times.push_back(bench::milliseconds() - start);
    }
    std::sort(times.begin(), times.end());
    const int tooltips = context.tooltip ? static_cast<int>(SendMessageA(context.tooltip, TTM_GETTOOLCOUNT, 0, 0)) : 0;
    std::printf("services %d, programmes %zu, client %d x %d, tooltips %d, on-air end %s\n", store->serviceCount,
                programmes, kWidth, kHeight, tooltips, result.earliestOnAirEnd ? "set" : "none");
    std::printf("paintGuide best %.1f ms, median %.1f ms, worst %.1f ms (goal < 30 ms)\n", times.front(),
                times[times.size() / 2], times.back());

    destroyGuideTooltip(context);
    tools.destroy();
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DestroyWindow(owner);
    delete layout;
    destroyStore(store);
    return 0;
}
