// Time of the genre list window's refill and of its sort by "日時" for the
// largest genre of the dense guide (300 services, eight days), the window
// shown on the screen as the user has it, and a check that the rows stand in
// the order worked out in memory.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/service_settings.h"
#include "bench/dense_guide.h"
#include "bench/timing_win.h"
#include "dialogs/genre_list.h"
#include "dialogs/genre_list_win.h"
#include "guide/genre_table.h"
#include "guide/guide_layout.h"
#include "resources/resource.h"
#include "store/ini_settings.h"

using namespace corvane;
namespace bc = corvane::broadcast;

namespace {

struct BenchGenreListHost : GenreListHost {
    HWND main = nullptr;
    GuideLayout* guide = nullptr;
    const EpgStore* epg = nullptr;
    Settings* file = nullptr;
    ReservationList reservationList;
    HighlightedProgramme highlighted;
    HWND mainWindow() override { return main; }
    GuideLayout& layout() override { return *guide; }
    const EpgStore* store() override { return epg; }
    const ReservationList& reservations() override { return reservationList; }
    Settings& settings() override { return *file; }
    HighlightedProgramme& highlight() override { return highlighted; }
    void prepareRegistration(HWND, int, const GuideEvent&) override {}
    void executeRegistration(HWND) override {}
    void runRegistrationCommand(HWND, int) override {}
};

std::vector<int64_t> listedKeys(HWND list) {
    std::vector<int64_t> keys(ListView_GetItemCount(list));
    for (size_t i = 0; i < keys.size(); ++i) {
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        keys[i] = item.lParam;
    }
    return keys;
}

}  // namespace

int main() {
    InitCommonControls();
    size_t programmes = 0;
    EpgStore* store =
        bench::denseStore(bc::broadcastTime(2026, 12, 7), {3600, 1200, 1800, 1800, 1200, 2400}, programmes);
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string iniPath = std::string(folder) + "corvane_genre_list_bench.ini";
    DeleteFileA(iniPath.c_str());
    IniFileSettings settings(iniPath);
    SettingsServicePreferences preferences(settings);
    ViewSettings view;
    bench::BenchHost guideHost;
    guideHost.clock = localTimeOf(2026, 12, 10, 20, 5, 0);
    auto* layout = new GuideLayout(guideHost, preferences, view);
    layout->buildListLayout(store);

    // The largest major genre.
    int counts[GenreTable::majorCount] = {};
    for (const std::vector<GuideEvent>& list : layout->events)
        for (const GuideEvent& e : list)
            if (e.genre >= 0 && e.genre < GenreTable::majorCount) ++counts[e.genre];
    const int largest = static_cast<int>(std::max_element(counts, counts + GenreTable::majorCount) - counts);

    BenchGenreListHost host;
    host.main = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    host.guide = layout;
    host.epg = store;
    host.file = &settings;
    HWND window = createGenreListWindow(GetModuleHandleA(nullptr), host);
    if (!window) {
        std::printf("the genre list window could not be made\n");
        return 1;
    }
    SetWindowPos(window, nullptr, 0, 0, 1200, 900, SWP_NOZORDER);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    HWND tree = GetDlgItem(window, IDC_GENRE_TREE);
    HWND list = GetDlgItem(window, IDC_GENRE_EVENTS);
    HTREEITEM root = TreeView_GetRoot(tree);
    for (int i = 0; i < largest; ++i) root = TreeView_GetNextSibling(tree, root);
    TreeView_SelectItem(tree, root);

    std::vector<double> refills, sorts;
    for (int round = 0; round < 10; ++round) {
        double start = bench::milliseconds();
        refillGenreList(window);
        UpdateWindow(list);
        refills.push_back(bench::milliseconds() - start);
        // "日時": oldest first, then newest first.
        for (int click = 0; click < 2; ++click) {
            NMLISTVIEW notify{};
            notify.hdr = {list, IDC_GENRE_EVENTS, static_cast<UINT>(LVN_COLUMNCLICK)};
            notify.iItem = -1;
            notify.iSubItem = kGenreColumnDate;
            start = bench::milliseconds();
            SendMessageA(window, WM_NOTIFY, IDC_GENRE_EVENTS, reinterpret_cast<LPARAM>(&notify));
            UpdateWindow(list);
            sorts.push_back(bench::milliseconds() - start);
        }
    }
    refillGenreList(window);
    const std::vector<int64_t> expected = genreListRows(layout->events, store->serviceCount, GenreFilter{largest, -1});
    const bool same = listedKeys(list) == expected;

    std::printf("%zu programmes, largest genre %d: %zu rows\n", programmes, largest, expected.size());
    bench::reportTimes("refill (with its paint)", refills, 300);
    bench::reportTimes("sort by date (with its paint)", sorts, 200);
    std::printf("rows in the order worked out in memory: %s\n", same ? "yes" : "NO");
    DestroyWindow(host.main);
    DeleteFileA(iniPath.c_str());
    delete layout;
    destroyStore(store);
    return same ? 0 : 1;
}
