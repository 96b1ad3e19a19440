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

#include "app/ini_settings.h"
#include "dialogs/genre_brushes_win.h"
#include "guide/guide_layout.h"
#include "guide/guide_paint_win.h"
#include "store/epg_store.h"
#include "tools/broadcast/si_builder.h"

using namespace corvane;
namespace bc = corvane::broadcast;

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

class BenchHost : public GuideHost {
public:
    int64_t clock = 0;
    int64_t now() override { return clock; }
    int clientWidth() override { return kWidth; }
    int clientHeight() override { return kHeight; }
    void publishScrollBars(const ScrollBars&) override {}
    int verticalBarPosition(bool) override { return 0; }
    void invalidate(const Rect&, bool) override {}
    void setTitle(const std::string&) override {}
    void setGuideMenus(const GuideMenus&) override {}
    void resetReservationWatch() override {}
    void refreshGenreList() override {}
};

const char* const kTitles[] = {"ニュース７", "大河ドラマ「風の軌跡」第十二回　家族の絆と旅立ちの朝", "きょうの料理　春野菜のスープ",
                               "プロ野球中継　巨人×阪神　～東京ドームから生中継～", "名曲アルバム",
                               "ドキュメント７２時間「駅前食堂」", "アニメ　星の旅人たち（５）", "天気予報"};
const char* const kTexts[] = {"国内外の最新ニュースをお伝えします。気象情報も。",
                              "家族の絆を描く感動の物語。主人公は故郷に戻り、思いがけない出来事に巻き込まれていく。",
                              "旬の食材を使った簡単な家庭料理を紹介します。"};

double milliseconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

EpgStore* denseStore(int64_t firstDay, size_t& programmes) {
    EpgStore* store = createStore();
    for (int s = 0; s < kMaxServices; ++s) {
        bc::EitService service{static_cast<uint16_t>(1000 + s), 1, static_cast<uint16_t>(s < 100 ? 0x7FE0 : 4)};
        std::vector<bc::EitEvent> events;
        int64_t t = firstDay;
        for (int i = 0; t < firstDay + 8 * 86400; ++i) {
            bc::EitEvent e;
            e.eventId = static_cast<uint16_t>(i + 1);
            e.start = t;
            // 10, 20, 30 and 60 minutes, offset per service so columns differ.
            static const int durations[] = {3600, 1200, 1800, 600, 1800, 1200};
            e.duration = durations[(i + s) % 6];
            e.descriptors = bc::shortEventDescriptor(kTitles[(i + s) % 8], kTexts[i % 3]);
            bc::Bytes genre = bc::contentDescriptor({{static_cast<uint8_t>((i + s) % 12), 0}});
            e.descriptors.insert(e.descriptors.end(), genre.begin(), genre.end());
            bc::Bytes component = bc::componentDescriptor(0x01, i % 3 == 0 ? 0x01 : 0xB3);
            e.descriptors.insert(e.descriptors.end(), component.begin(), component.end());
            events.push_back(std::move(e));
            t += events.back().duration;
        }
        programmes += events.size();
        for (uint8_t table : {uint8_t{0x50}, uint8_t{0x51}})
            for (const bc::Bytes& section :
                 bc::scheduleSections(service, table, firstDay + (table & 1) * 4 * 86400, 4, events, 1, 4))
                storeEitSection(store, section.data(), section.size());
    }
    return store;
}

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
    EpgStore* store = denseStore(firstDay, programmes);

    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    IniFileSettings settings(std::string(folder) + "corvane_paint_bench.ini");
    ViewSettings view;
    BenchHost host;
    host.clock = localTimeOf(2026, 12, 10, 20, 5, 0);  // day four, prime time
    auto* layout = new GuideLayout(host, settings, view);
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

    PaintContext context;
    context.layout = layout;
    context.store = store;
    context.tools = &tools;
    context.genreBrushes = &brushes;
    context.genres = &genres;
    context.switches = &switches;
    context.reservations = &reservations;
    context.highlight = &highlight;

    std::vector<double> times;
    PaintResult result;
    for (int round = 0; round < 30; ++round) {
        const double start = milliseconds();
        result = paintGuideOn(owner, dc, kWidth, kHeight, host.clock, context);
        GdiFlush();
        times.push_back(milliseconds() - start);
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
