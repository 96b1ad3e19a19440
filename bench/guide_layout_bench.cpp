// Time of buildListLayout over 300 services with eight days of schedule each
// (about 100,000 programmes with Japanese titles and descriptions).
#include <chrono>
#include <cstdio>
#include <string>

#include "app/ini_settings.h"
#include "guide/guide_layout.h"
#include "store/epg_store.h"
#include "tools/broadcast/si_builder.h"

using namespace corvane;
namespace bc = corvane::broadcast;

namespace {

class BenchHost : public GuideHost {
public:
    int64_t clock = 0;
    int64_t now() override { return clock; }
    int clientWidth() override { return 1920; }
    int clientHeight() override { return 1080; }
    void publishScrollBars(const ScrollBars&) override {}
    int verticalBarPosition(bool) override { return 0; }
    void invalidate(const Rect&, bool) override {}
    void setTitle(const std::string&) override {}
    void setGuideMenus(const GuideMenus&) override {}
    void resetReservationWatch() override {}
    void refreshGenreList() override {}
};

const char* const kTitles[] = {"ニュース７", "大河ドラマ「風の軌跡」第十二回", "きょうの料理　春野菜のスープ",
                               "プロ野球中継　巨人×阪神", "名曲アルバム", "ドキュメント７２時間「駅前食堂」",
                               "アニメ　星の旅人たち（５）", "天気予報"};
const char* const kTexts[] = {"国内外の最新ニュースをお伝えします。気象情報も。",
                              "家族の絆を描く感動の物語。主人公は故郷に戻り、思いがけない出来事に巻き込まれていく。",
                              "旬の食材を使った簡単な家庭料理を紹介します。"};

}  // namespace

int main() {
    EpgStore* store = createStore();
    const int64_t firstDay = bc::broadcastTime(2026, 12, 7);
    size_t events = 0;
    for (int s = 0; s < kMaxServices; ++s) {
        bc::EitService service{static_cast<uint16_t>(1000 + s), 1, static_cast<uint16_t>(s < 100 ? 0x7FE0 : 4)};
        std::vector<bc::EitEvent> programmes;
        int64_t t = firstDay;
        for (int i = 0; t < firstDay + 8 * 86400; ++i) {
            bc::EitEvent e;
            e.eventId = static_cast<uint16_t>(i + 1);
            e.start = t;
            e.duration = (i % 4 == 0) ? 3600 : 1200 + (i % 2) * 600;
            e.descriptors = bc::shortEventDescriptor(kTitles[i % 8], kTexts[i % 3]);
            bc::Bytes genre = bc::contentDescriptor({{static_cast<uint8_t>(i % 12), 0}});
            e.descriptors.insert(e.descriptors.end(), genre.begin(), genre.end());
            programmes.push_back(std::move(e));
            t += programmes.back().duration;
        }
        events += programmes.size();
        for (uint8_t table : {uint8_t{0x50}, uint8_t{0x51}})
            for (const bc::Bytes& section :
                 bc::scheduleSections(service, table, firstDay + (table & 1) * 4 * 86400, 4, programmes, 1, 4))
                storeEitSection(store, section.data(), section.size());
    }

    IniFileSettings settings("/tmp/corvane_layout_bench.ini");
    ViewSettings view;
    BenchHost host;
    host.clock = localTimeOf(2026, 12, 7, 0, 30, 0);
    auto* layout = new GuideLayout(host, settings, view);
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
