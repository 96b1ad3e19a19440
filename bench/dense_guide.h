// A dense guide for the benchmarks: 300 services with eight days of
// programmes each, Japanese titles and descriptions, genres and picture types,
// and a host that answers like a 1920 x 1080 window.
#pragma once

#include <string>
#include <vector>

#include "guide/guide_layout.h"
#include "store/epg_store.h"
#include "tools/broadcast/si_builder.h"

namespace corvane::bench {

class BenchHost : public GuideHost {
public:
    int64_t clock = 0;
    int width = 1920, height = 1080;
    int64_t now() override { return clock; }
    int clientWidth() override { return width; }
    int clientHeight() override { return height; }
    void publishScrollBars(const ScrollBars&) override {}
    int verticalBarPosition(bool) override { return 0; }
    void invalidate(const Rect&, bool) override {}
};

// The schedule sections of the dense guide, handed to visit(section) one by
// one. Programmes follow each other with the given lengths (seconds), the
// cycle shifted per service so that columns differ. A revised edition renames
// every fourth programme and ends every fourth (two later) ten minutes early.
// With `extended`, every programme also has an extended text in the extended
// schedule (a synopsis and the cast, about 400 bytes).
template <typename Visit>
size_t denseSections(int64_t firstDay, const std::vector<int>& durations, uint8_t version, bool revised, Visit visit,
                     bool extended = false) {
    namespace bc = corvane::broadcast;
    static const char* const titles[] = {"ニュース７", "大河ドラマ「風の軌跡」第十二回　家族の絆と旅立ちの朝",
                                         "きょうの料理　春野菜のスープ", "プロ野球中継　巨人×阪神　～東京ドームから生中継～",
                                         "名曲アルバム", "ドキュメント７２時間「駅前食堂」", "アニメ　星の旅人たち（５）",
                                         "天気予報"};
    static const char* const texts[] = {"国内外の最新ニュースをお伝えします。気象情報も。",
                                        "家族の絆を描く感動の物語。主人公は故郷に戻り、思いがけない出来事に巻き込まれていく。",
                                        "旬の食材を使った簡単な家庭料理を紹介します。"};
    static const char* const synopses[] = {
        "今夜は全国各地の春の味覚を訪ねる旅。漁港の朝市で水揚げされたばかりの魚介を味わい、山里では旬の山菜を使った"
        "郷土料理を地元の人々と一緒に作ります。旅の終わりには、夕暮れの海辺で漁師さんから昔ながらの暮らしを伺います。",
        "第十二回「嵐の前夜」。主人公の彩は幼なじみの健太から思いがけない知らせを受け取る。町に迫る開発計画をめぐって"
        "住民たちの意見は二つに分かれ、家族の間にも溝が生まれていく。一方、東京で暮らす兄の誠は故郷へ戻る決意を固める。",
        "プロ野球セ・リーグ公式戦。首位を争う両チームの直接対決を東京ドームから生中継でお伝えします。先発は両エースが"
        "予想され、緊迫した投手戦が期待されます。試合終了まで放送時間を延長する場合があります。ＢＳでも放送。"};
    static const char* const casts[] = {"【案内役】山田太郎，佐藤花子　【語り】鈴木一郎",
                                        "高橋彩，中村健太，小林誠，渡辺真理子，伊藤浩二",
                                        "【解説】加藤昌平　【実況】吉田真一アナウンサー"};
    size_t programmes = 0;
    for (int s = 0; s < kMaxServices; ++s) {
        bc::EitService service{static_cast<uint16_t>(1000 + s), 1, static_cast<uint16_t>(s < 100 ? 0x7FE0 : 4)};
        std::vector<bc::EitEvent> events;
        for (int64_t t = firstDay, i = 0; t < firstDay + 8 * 86400; ++i) {
            bc::EitEvent e;
            e.eventId = static_cast<uint16_t>(i + 1);
            e.start = t;
            e.duration = durations[(i + s) % durations.size()];
            t += e.duration;
            if (revised && i % 4 == 2 && e.duration > 600) e.duration -= 600;
            e.descriptors = bc::shortEventDescriptor(titles[(i + s + (revised && i % 4 == 0)) % 8], texts[i % 3]);
            for (const bc::Bytes& d : {bc::contentDescriptor({{static_cast<uint8_t>((i + s) % 12), 0}}),
                                       bc::componentDescriptor(0x01, i % 3 == 0 ? 0x01 : 0xB3)})
                e.descriptors.insert(e.descriptors.end(), d.begin(), d.end());
            events.push_back(std::move(e));
        }
        programmes += events.size();
        for (uint8_t table : {uint8_t{0x50}, uint8_t{0x51}})
            for (const bc::Bytes& section :
                 bc::scheduleSections(service, table, firstDay + (table & 1) * 4 * 86400, 4, events, version, 4))
                visit(section);
        if (!extended) continue;
        for (size_t i = 0; i < events.size(); ++i)
            events[i].descriptors = bc::extendedEventDescriptors(
                {{"番組内容", synopses[(i + s) % 3]}, {"出演者", casts[(i + 2 * s) % 3]}});
        for (uint8_t table : {uint8_t{0x58}, uint8_t{0x59}})
            for (const bc::Bytes& section :
                 bc::scheduleSections(service, table, firstDay + (table & 1) * 4 * 86400, 4, events, version, 4))
                visit(section);
    }
    return programmes;
}

// The dense guide in a new store.
inline EpgStore* denseStore(int64_t firstDay, const std::vector<int>& durations, size_t& programmes,
                            bool extended = false) {
    EpgStore* store = createStore();
    programmes = denseSections(
        firstDay, durations, 1, false,
        [store](const broadcast::Bytes& section) { storeEitSection(store, section.data(), section.size()); }, extended);
    return store;
}

}  // namespace corvane::bench
