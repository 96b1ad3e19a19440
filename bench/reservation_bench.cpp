// Time of one rebuild of the reservation list: EpgTimer's file with 2,000
// lines and TvRock's file with 2,000 entries (half of them naming their
// channel by iEPG station name), matched against 300 services, both files
// read from disk through the platform's file seam. Also the idle tick, when
// neither file changed. With --settings-file the station names come from a
// settings file on disk, read as the program reads it, else from memory.
//   reservation_bench [--lines N] [--entries N] [--runs N] [--settings-file]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/service_settings.h"
#include "reserve/reservation_watch.h"
#include "store/broadcast_time.h"
#include "store/epg_store.h"
#include "store/ini_settings.h"

using namespace corvane;

namespace {

double seconds() {
    std::timespec ts{};
    std::timespec_get(&ts, TIME_UTC);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

// Station names held in memory, as a settings file read once would give them.
class StationNames : public ServicePreferences {
public:
    std::map<const ServiceRecord*, std::string> names;
    std::string stationName(const ServiceRecord& record) override { return names[&record]; }
    int remoteNumber(const ServiceRecord&) override { return 0; }
    int sortValue(const ServiceRecord&) override { return 300; }
    void setSortValue(const ServiceRecord&, int) override {}
    int columnShown(const ServiceRecord&) override { return 1; }
    void setColumnShown(const ServiceRecord&, int) override {}
    std::string vurdaChNo(const ServiceRecord&) override { return ""; }
};

const char* const kTitles[] = {"ニュース７", "大河ドラマ「風の軌跡」第十二回", "きょうの料理", "プロ野球中継",
                               "名曲アルバム", "ドキュメント「駅前食堂の七十二時間」", "アニメ　星の旅人たち", "天気予報"};

}  // namespace

int main(int argc, char** argv) {
    int lines = 2000, entries = 2000, runs = 20;
    bool settingsFile = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--lines" && i + 1 < argc) lines = std::max(0, std::atoi(argv[++i]));
        else if (a == "--entries" && i + 1 < argc) entries = std::max(0, std::atoi(argv[++i]));
        else if (a == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--settings-file") settingsFile = true;
        else {
            std::fprintf(stderr, "usage: reservation_bench [--lines N] [--entries N] [--runs N] [--settings-file]\n");
            return 2;
        }
    }

    // 100 terrestrial, 100 BS and 100 CS services.
    StorePtr store(createStore());
    StationNames stations;
    for (int i = 0; i < kMaxServices; ++i) {
        const int networkClass = i < 100 ? 0 : i < 200 ? 4 : 6;
        const int index = findOrCreateService(store.get(), networkClass, 100 + i % 100 * 7);
        stations.names[store->services[index]] = "局" + std::to_string(i);
    }
    const int64_t now = localTimeOf(2026, 12, 7, 12, 0, 0);

    // Reservations over ten days, 30 to 120 minutes long.
    std::string epgTimer, tvRock;
    for (int i = 0; i < lines; ++i) {
        const int64_t start = now + (i * 7919LL) % 864000 / 60 * 60;
        const std::time_t t = static_cast<std::time_t>(start);
        const std::tm tm = *std::localtime(&t);
        const int service = i % kMaxServices;
        const long channel = service < 100 ? 27 : service < 200 ? 11727L * 65536 + 0x4010 : 70000;
        char line[256];
        std::snprintf(line, sizeof line,
                      "%04d/%02d/%02d\t%02d:%02d\t%02d:%02d\t%s\tSTATION\t%ld\t%d\t%d\t3\t1\t0\t\r\n",
                      tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, (i % 4 + 1) / 2, i % 2 * 30,
                      kTitles[i % 8], channel, 100 + service % 100 * 7, i);
        epgTimer += line;
    }
    for (int i = 0; i < entries; ++i) {
        const int64_t start = now + (i * 6007LL) % 864000 / 60 * 60;
        const std::string n = std::to_string(i) + " ";
        tvRock += n + "START " + std::to_string(start) + "\r\n" + n + "END " + std::to_string(start + 3600) + "\r\n" +
                  n + "TITLE " + kTitles[i % 8] + "\r\n" + n + "EVENTID " + std::to_string(i) + "\r\n" +
                  (i % 2 ? n + "SERVICEID " + std::to_string(100 + i % 100 * 7)
                         : n + "STATION 局" + std::to_string(i % kMaxServices)) +
                  "\r\n" + n + "VALIDATE 1\r\n";
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const std::string epgTimerPath = (folder / "corvane_bench_Program.txt").string();
    const std::string tvRockPath = (folder / "corvane_bench_tvrock.sch").string();
    std::ofstream(epgTimerPath, std::ios::binary) << epgTimer;
    std::ofstream(tvRockPath, std::ios::binary) << tvRock;

    const ReservationSources sources{.epgTimer = true, .tvRock = true, .jobs = false,
                                     .epgTimerFile = epgTimerPath.c_str(), .tvRockFile = tvRockPath.c_str()};
    const std::string iniPath = (folder / "corvane_bench.ini").string();
    std::string ini = "[iEPGStationName]\r\n";
    for (int i = 0; i < kMaxServices; ++i)
        ini += channelKey(*store->services[i]) + "=" + stations.names[store->services[i]] + "\r\n";
    std::ofstream(iniPath, std::ios::binary) << ini;
    IniFileSettings settings(iniPath);
    SettingsServicePreferences fromFile(settings);
    ServicePreferences& preferences = settingsFile ? static_cast<ServicePreferences&>(fromFile) : stations;
    const ReservationInputs inputs{store.get(), systemReservationFiles(), preferences, nullptr, now};
    ReservationWatch watch;
    ReservationList list;
    std::vector<double> rebuilds, idles;
    int conflicts = 0;
    for (int run = 0; run < runs; ++run) {
        resetReservationWatch(watch);
        const double t0 = seconds();
        const int rebuilt = collectReservations(watch, sources, inputs, list);
        const double t1 = seconds();
        const int idle = collectReservations(watch, sources, inputs, list);
        const double t2 = seconds();
        if (!rebuilt || idle) std::fprintf(stderr, "reservation_bench: unexpected result %d %d\n", rebuilt, idle);
        rebuilds.push_back((t1 - t0) * 1e3);
        idles.push_back((t2 - t1) * 1e6);
    }
    for (const ReservationRecord& r : list) conflicts += r.conflict;
    std::filesystem::remove(epgTimerPath);
    std::filesystem::remove(tvRockPath);
    std::filesystem::remove(iniPath);
    std::sort(rebuilds.begin(), rebuilds.end());
    std::sort(idles.begin(), idles.end());
    std::printf("files: EpgTimer %d lines (%zu bytes), TvRock %d entries (%zu bytes), %d services, station names %s\n",
                lines, epgTimer.size(), entries, tvRock.size(), kMaxServices,
                settingsFile ? "from a settings file" : "in memory");
    std::printf("list: %zu records, %d in conflict\n", list.size(), conflicts);
    std::printf("rebuild: median %.2f ms, best %.2f ms, worst %.2f ms (%d runs; goal < 20 ms)\n",
                rebuilds[rebuilds.size() / 2], rebuilds.front(), rebuilds.back(), runs);
    std::printf("idle tick: median %.1f us\n", idles[idles.size() / 2]);
    return 0;
}
