// Programme search over the dense guide (300 services, eight days, about
// 115,000 programmes, each with a short text and an extended text): the
// rebuild of the index, its memory, and the median time of whole searches
// over the titles and over titles and descriptions, each beside a memchr
// scan of the same folded bytes.
//
// Unlike the other benchmarks this one keeps the code page 932 literals: it
// searches the guide's Japanese texts as the program holds them, so it times
// with the C clock rather than <chrono>.
#include <sys/time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/service_settings.h"
#include "bench/dense_guide.h"
#include "guide/programme_search.h"
#include "store/ini_settings.h"
#include "tools/common/shift_jis_utf8.h"

using namespace corvane;

namespace {

double nowMs() {
    timeval t;
    gettimeofday(&t, nullptr);
    return t.tv_sec * 1e3 + t.tv_usec / 1e3;
}

template <typename Work>
double medianMs(int rounds, Work work) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const double start = nowMs();
        work();
        times.push_back(nowMs() - start);
    }
    std::nth_element(times.begin(), times.begin() + rounds / 2, times.end());
    return times[rounds / 2];
}

// A scan of the bytes at memchr's speed: how often their rarest byte occurs.
double memchrMs(std::span<const FoldUnit> units) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(units.data());
    const size_t size = units.size_bytes();
    size_t counts[256] = {};
    for (size_t i = 0; i < size; ++i) ++counts[bytes[i]];
    const int rarest = static_cast<int>(std::min_element(counts, counts + 256) - counts);
    size_t found = 0;
    const double ms = medianMs(31, [&] {
        found = 0;
        const unsigned char* const end = bytes + size;
        for (const unsigned char* p = bytes; (p = static_cast<const unsigned char*>(std::memchr(p, rarest, end - p)));
             ++p)
            ++found;
    });
    if (found != counts[rarest]) std::printf("memchr miscounted\n");
    return ms;
}

}  // namespace

int main() {
    size_t programmes = 0;
    const int64_t firstDay = broadcast::broadcastTime(2026, 12, 7);
    EpgStore* store = bench::denseStore(firstDay, {3600, 1200, 1800, 1800, 1200, 2400}, programmes, true);
    IniFileSettings settings("/tmp/corvane_search_bench.ini");
    SettingsServicePreferences preferences(settings);
    ViewSettings view;
    bench::BenchHost host;
    host.clock = localTimeOf(2026, 12, 7, 0, 30, 0);
    auto* layout = new GuideLayout(host, preferences, view);
    layout->buildListLayout(store);
    const std::vector<int> services = searchedServices(*layout);

    ProgrammeSearch search;
    const double withoutStore = medianMs(5, [&] { search.rebuild(layout->events, nullptr); });
    const double rebuild = medianMs(5, [&] { search.rebuild(layout->events, store); });
    std::printf("services %d, programmes %zu, indexed %zu\n", store->serviceCount, programmes, search.programmes());
    std::printf("rebuild %.1f ms (titles and short texts alone %.1f ms; the guide's layout %.1f ms)\n", rebuild,
                withoutStore, medianMs(5, [&] { layout->buildListLayout(store); }));
    std::printf("index memory %.1f MB: folded titles %.1f MB, folded descriptions %.1f MB\n",
                search.memoryBytes() / 1e6, search.foldedTitles().size_bytes() / 1e6,
                search.foldedDescriptions().size_bytes() / 1e6);

    ShiftJisToUtf8 utf8;
    const double titleScan = memchrMs(search.foldedTitles());
    const double bothScan = titleScan + memchrMs(search.foldedDescriptions());
    const struct { const char* query; SearchOptions options; } searches[] = {
        {"ニュース", {}},
        {"にゅーす", {.kana = true}},
        {"ﾄﾞﾗﾏ 絆", {}},
        {"天気", {}},
        {"存在しない番組", {}},
        {"山田太郎", {.descriptions = true}},
        {"東京ドーム ＢＳ", {.descriptions = true}},
        {"の", {.descriptions = true}},
        {"存在しない番組", {.descriptions = true}},
    };
    for (const auto& s : searches) {
        std::string label = utf8.convert(s.query);
        label.insert(label.begin(), '\'');
        label.push_back('\'');
        const bool both = s.options.descriptions;
        const size_t bytes = search.foldedTitles().size_bytes() + (both ? search.foldedDescriptions().size_bytes() : 0);
        size_t hits = 0;
        const double ms = medianMs(31, [&] { hits = search.find(s.query, s.options, services).size(); });
        std::printf("%-26s %-17s %6zu hits %6.2f ms | memchr over the same %5.1f MB %5.2f ms (goal < %d ms)\n",
                    label.c_str(), both ? "titles and texts" : s.options.kana ? "titles, kana" : "titles", hits, ms,
                    bytes / 1e6, both ? bothScan : titleScan, both ? 30 : 5);
    }
    delete layout;
    destroyStore(store);
    return 0;
}
