// Time of the update information window's refresh and of its sort by "元情報"
// with about 50,000 changes (the dense guide, 300 services and eight days,
// after a new version of every section renamed or shortened half of its
// programmes), the window shown on the screen as the user has it; and a check
// that the rows stand in the order of the column.
//   update_info_bench_win [--rounds N]
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/dense_guide.h"
#include "bench/timing_win.h"
#include "dialogs/update_info.h"
#include "dialogs/update_info_win.h"
#include "guide/guide_layout.h"
#include "app/service_settings.h"
#include "reserve/change_detection.h"
#include "resources/resource.h"
#include "store/ini_settings.h"

using namespace corvane;
namespace bc = corvane::broadcast;

namespace {

struct BenchUpdateInfoHost : UpdateInfoHost {
    HWND main = nullptr;
    GuideLayout* guide = nullptr;
    const EpgStore* epg = nullptr;
    Settings* file = nullptr;
    ChangeList changeList;
    HighlightedProgramme highlighted;
    HWND mainWindow() override { return main; }
    Settings& settings() override { return *file; }
    const EpgStore* store() override { return epg; }
    GuideLayout& layout() override { return *guide; }
    ChangeList& changes() override { return changeList; }
    HighlightedProgramme& highlight() override { return highlighted; }
};

}  // namespace

int main(int argc, char** argv) {
    int rounds = 10;
    if (argc == 3 && std::string(argv[1]) == "--rounds") rounds = std::max(1, std::atoi(argv[2]));
    InitCommonControls();
    const int64_t firstDay = bc::broadcastTime(2026, 12, 7);
    const std::vector<int> durations = {3600, 1200, 1800, 1800, 1200, 2400};
    StorePtr store(createStore());
    BenchUpdateInfoHost host;
    const auto storeAll = [&](uint8_t version, bool revised) {
        return bench::denseSections(firstDay, durations, version, revised, [&](const bc::Bytes& s) {
            storeEitSection(store.get(), s.data(), s.size());
        });
    };
    const size_t programmes = storeAll(1, false);
    detectEpgChanges(store.get(), host.changeList);  // the first versions are their own baselines
    storeAll(2, true);
    detectEpgChanges(store.get(), host.changeList);

    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string iniPath = std::string(folder) + "corvane_update_info_bench.ini";
    DeleteFileA(iniPath.c_str());
    IniFileSettings settings(iniPath);
    SettingsServicePreferences preferences(settings);
    ViewSettings view;
    bench::BenchHost guideHost;
    auto* layout = new GuideLayout(guideHost, preferences, view);
    layout->buildListLayout(store.get());

    host.main = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    host.guide = layout;
    host.epg = store.get();
    host.file = &settings;
    HWND window = createUpdateInfoWindow(GetModuleHandleA(nullptr), host);
    if (!window) {
        std::printf("the update information window could not be made\n");
        return 1;
    }
    SetWindowPos(window, nullptr, 0, 0, 1200, 900, SWP_NOZORDER);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    HWND list = GetDlgItem(window, IDC_UPDATE_LIST);

    std::vector<double> refreshes, sorts;
    for (int round = 0; round < rounds; ++round) {
        double start = bench::milliseconds();
        SendMessageA(window, WM_COMMAND, IDM_UPDATE_REFRESH, 0);
        UpdateWindow(list);
        refreshes.push_back(bench::milliseconds() - start);
        // "元情報": ascending, then descending.
        for (int click = 0; click < 2; ++click) {
            NMLISTVIEW notify{};
            notify.hdr = {list, IDC_UPDATE_LIST, static_cast<UINT>(LVN_COLUMNCLICK)};
            notify.iItem = -1;
            notify.iSubItem = kUpdateColumnOld;
            start = bench::milliseconds();
            SendMessageA(window, WM_NOTIFY, IDC_UPDATE_LIST, reinterpret_cast<LPARAM>(&notify));
            UpdateWindow(list);
            sorts.push_back(bench::milliseconds() - start);
        }
    }

    // After an even number of clicks the rows stand in descending order of
    // the old names: check against the rows worked out in memory.
    UpdateInfoRows rows;
    rows.refresh(host.changeList, store.get(), [&](int service) { return columnNameOf(*store, service); });
    const int count = ListView_GetItemCount(list);
    bool ordered = count == static_cast<int>(host.changeList.size());
    for (int i = 1; ordered && i < count; ++i) {
        const int64_t a = updateInfoRowValue(window, i - 1), b = updateInfoRowValue(window, i);
        ordered = a >= 0 && b >= 0 && compareUpdateRows(*rows.rowAt(a), *rows.rowAt(b), kUpdateColumnOld, 0) <= 0;
    }

    std::printf("%zu programmes, %zu changes, %d rows\n", programmes, host.changeList.size(), count);
    bench::reportTimes("refresh (with its paint)", refreshes, 1000);
    bench::reportTimes("sort by the old version, both ways (with its paint)", sorts, 1000);
    std::printf("rows in the order of the column: %s\n", ordered ? "yes" : "NO");
    DestroyWindow(host.main);
    DeleteFileA(iniPath.c_str());
    delete layout;
    return ordered ? 0 : 1;
}
