// Speed of saving and loading the EPG data file of a full store: 300
// services with eight days of basic and extended schedule each, every slot
// filled (programmes of 22 minutes 30 seconds, eight to a three-hour segment,
// one to a section). Loading is compared with plain reads of the same file,
// all from the page cache: in 1 MB blocks into one block already in memory,
// and whole into a new block of the file's size taken from the system as the
// load takes its block (the bound for a first load: the system gives the
// block its pages, zeroed, and the file's bytes are copied into them).
//   data_file_bench [--services N] [--days N] [--runs N] [--file PATH] [--keep]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "store/data_file.h"
#include "store/epg_store.h"
#include "store/file_io.h"
#include "store/system_pages.h"
#include "tools/broadcast/si_builder.h"

using namespace corvane;
namespace bc = corvane::broadcast;

namespace {

double seconds() {
    std::timespec ts{};
    std::timespec_get(&ts, TIME_UTC);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

const char* const kTitles[] = {"ニュース７", "大河ドラマ「風の軌跡」第十二回", "きょうの料理　春野菜のスープ",
                               "プロ野球中継　東京×大阪", "名曲アルバム", "ドキュメント「駅前食堂の七十二時間」",
                               "アニメ　星の旅人たち（５）", "天気予報"};
const char* const kTexts[] = {"国内外の最新ニュースをお伝えします。気象情報も。",
                              "家族の絆を描く感動の物語。主人公は故郷に戻り、思いがけない出来事に巻き込まれていく。",
                              "旬の食材を使った簡単な家庭料理を紹介します。"};
const char* const kDetails[] = {
    "スタジオには専門家を迎え、わかりやすく解説します。視聴者の皆さまからのおたよりも紹介します。"
    "番組の最後にはプレゼントのお知らせがあります。",
    "美しい映像とともにお楽しみください。ハイビジョンカメラがとらえた迫力の映像は必見です。"
    "現地の人々の声を丁寧に取材しました。"};

// Every service gets the same kind of day: a programme every 22.5 minutes
// with the descriptors a broadcaster sends, one event per section, so that
// every schedule slot is filled.
StorePtr buildStore(int services, int days, size_t* sectionCount) {
    StorePtr store(createStore());
    const int64_t firstDay = bc::broadcastTime(2026, 12, 7);
    // Encoded once: the ARIB encoding is not what is measured.
    std::vector<bc::Bytes> basicDescriptors, extendedDescriptors;
    for (int i = 0; i < 24; ++i) {
        bc::Bytes d = bc::shortEventDescriptor(kTitles[i % 8], kTexts[i % 3]);
        for (const bc::Bytes& more : {bc::componentDescriptor(0x01, i % 3 ? 0xB3 : 0x01),
                                      bc::audioComponentDescriptor(i % 2 ? 0x03 : 0x02),
                                      bc::contentDescriptor({{static_cast<uint8_t>(i % 12), 0}})})
            d.insert(d.end(), more.begin(), more.end());
        basicDescriptors.push_back(std::move(d));
        extendedDescriptors.push_back(
            bc::extendedEventDescriptors({{"番組内容", kDetails[i % 2]}, {"出演者", "山田花子，佐藤一郎"}}));
    }
    *sectionCount = 0;
    for (int s = 0; s < services; ++s) {
        bc::EitService service{static_cast<uint16_t>(1000 + s), 1, static_cast<uint16_t>(s < 100 ? 0x7FE0 : 4 + s % 4)};
        std::vector<bc::EitEvent> basic, extended;
        int64_t t = firstDay;
        for (int i = 0; t < firstDay + days * 86400; ++i) {
            bc::EitEvent e;
            e.eventId = static_cast<uint16_t>(i + 1);
            e.start = t;
            e.duration = 1350;
            e.descriptors = basicDescriptors[(i + s) % basicDescriptors.size()];
            basic.push_back(e);
            e.descriptors = extendedDescriptors[(i + s) % extendedDescriptors.size()];
            extended.push_back(std::move(e));
            t += basic.back().duration;
        }
        for (uint8_t table : {uint8_t{0x50}, uint8_t{0x58}}) {
            for (const bc::Bytes& section :
                 bc::scheduleSections(service, table, firstDay, days, table == 0x50 ? basic : extended, 1)) {
                storeEitSection(store.get(), section.data(), section.size());
                ++*sectionCount;
            }
        }
    }
    return store;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int services = kMaxServices, days = 8, runs = 5;
    bool keep = false;
    std::string path = (std::filesystem::temp_directory_path() / "corvane_data_file_bench.dat").string();
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--services" && i + 1 < argc) services = std::clamp(std::atoi(argv[++i]), 1, kMaxServices);
        else if (a == "--days" && i + 1 < argc) days = std::clamp(std::atoi(argv[++i]), 1, 8);
        else if (a == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--file" && i + 1 < argc) path = argv[++i];
        else if (a == "--keep") keep = true;
        else {
            std::fprintf(stderr, "usage: data_file_bench [--services N] [--days N] [--runs N] [--file PATH] [--keep]\n");
            return 2;
        }
    }

    double t0 = seconds();
    size_t sections = 0;
    StorePtr store = buildStore(services, days, &sections);
    size_t filled = 0;
    for (int i = 0; i < store->serviceCount; ++i)
        for (int k = 0; k < days * kSlotsPerDay; ++k)
            filled += (store->services[i]->basicAt(k).data != nullptr) + (store->services[i]->extendedAt(k).data != nullptr);
    std::printf("store: %d services x %d days, %zu sections, %zu of the %d schedule slots filled (built in %.1f s)\n",
                store->serviceCount, days, sections, filled, store->serviceCount * days * kSlotsPerDay * 2,
                seconds() - t0);

    std::vector<double> save, load, reload, plain, plainNew;
    int64_t fileSize = 0;
    for (int run = 0; run < runs; ++run) {
        t0 = seconds();
        if (!writeDataFile(path.c_str(), *store)) {
            std::fprintf(stderr, "data_file_bench: cannot save %s\n", path.c_str());
            return 1;
        }
        save.push_back(seconds() - t0);

        InputFile probe;
        probe.open(path.c_str());
        fileSize = probe.size();
        probe.close();

        // A plain read of the file in 1 MB blocks, into a block already in
        // memory: the bound for loading.
        static std::vector<uint8_t> block(1 << 20, 1);
        t0 = seconds();
        InputFile in;
        in.open(path.c_str());
        unsigned sum = 0;
        for (long got; (got = in.read(block.data(), block.size())) > 0;) sum += block[got - 1];
        in.close();
        plain.push_back(seconds() - t0);
        if (sum == 12345) std::puts("");  // keeps the read from being optimised away

        t0 = seconds();
        const size_t bytes = static_cast<size_t>(fileSize);
        auto* whole = static_cast<uint8_t*>(allocateSystemPages(bytes));
        in.open(path.c_str());
        const bool read = whole && in.readFully(whole, bytes) == bytes;
        in.close();
        plainNew.push_back(seconds() - t0);
        releaseSystemPages(whole, bytes);
        if (!read) {
            std::fprintf(stderr, "data_file_bench: cannot read %s whole\n", path.c_str());
            return 1;
        }

        // Into an empty store (start-up with a file), then over the loaded
        // data again (a second load: every section is discarded first).
        StorePtr fresh(createStore());
        t0 = seconds();
        readDataFile(fresh.get(), path.c_str());
        load.push_back(seconds() - t0);
        t0 = seconds();
        readDataFile(fresh.get(), path.c_str());
        reload.push_back(seconds() - t0);
        if (run == 0 && fresh->serviceCount != store->serviceCount) {
            std::fprintf(stderr, "data_file_bench: loaded %d services of %d\n", fresh->serviceCount,
                         store->serviceCount);
            return 1;
        }
    }

    const double mb = static_cast<double>(fileSize) / 1e6;
    auto line = [&](const char* what, const std::vector<double>& times) {
        double best = *std::min_element(times.begin(), times.end());
        std::printf("%-28s best %7.1f ms %6.2f GB/s   median %7.1f ms %6.2f GB/s\n", what, best * 1e3,
                    mb / best / 1e3, median(times) * 1e3, mb / median(times) / 1e3);
    };
    std::printf("file: %.1f MB (%lld bytes), %d runs\n", mb, static_cast<long long>(fileSize), runs);
    line("save (writeDataFile)", save);
    line("plain read, 1 MB blocks", plain);
    line("plain read into a new block", plainNew);
    line("load into an empty store", load);
    line("load over the same data", reload);
    std::printf("load into an empty store at %.2f x the speed of the plain read into a new block (medians)\n",
                median(plainNew) / median(load));
    std::printf("goal: load >= 4 GB/s\n");
    if (!keep) std::remove(path.c_str());
    return 0;
}
