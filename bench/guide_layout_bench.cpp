// Time of buildListLayout over 300 services with eight days of schedule each
// (about 100,000 programmes with Japanese titles and descriptions).
#include <chrono>
#include <cstdio>
#include <string>

#include "app/service_settings.h"
#include "store/ini_settings.h"
#include "bench/dense_guide.h"

using namespace corvane;

int main() {
    // Half an hour on average: about 100,000 programmes.
    size_t events = 0;
    EpgStore* store = bench::denseStore(broadcast::broadcastTime(2026, 12, 7), {3600, 1200, 1800, 1800, 1200, 2400}, events);

    IniFileSettings settings("/tmp/corvane_layout_bench.ini");
    SettingsServicePreferences preferences(settings);
    ViewSettings view;
    bench::BenchHost host;
    host.clock = localTimeOf(2026, 12, 7, 0, 30, 0);
    auto* layout = new GuideLayout(host, preferences, view);
    double best = 1e9;
    size_t listed = 0;
    for (int round = 0; round < 25; ++round) {
        auto start = std::chrono::steady_clock::now();
        layout->buildListLayout(store);
        auto end = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(end - start).count());
        listed = 0;
        for (const auto& list : layout->events) listed += list.size();
    }
    std::printf("services %d, programmes built %zu, listed %zu\n", store->serviceCount, events, listed);
    std::printf("buildListLayout %.1f ms (goal < 50 ms)\n", best);
    delete layout;
    destroyStore(store);
    return 0;
}
