// Time of detectEpgChanges over the dense guide (300 services, eight days,
// about 100,000 programmes):
//   - after a new version of every section that renames or shortens half the
//     programmes (about 50,000 records; goal < 50 ms median);
//   - after a new version of every section with the same programmes;
//   - after a data file of the guide was loaded a second time (goal < 10 ms).
//   change_detection_bench [--runs N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/dense_guide.h"
#include "reserve/change_detection.h"
#include "store/crc32.h"
#include "store/data_file.h"

using namespace corvane;
using Sections = std::vector<broadcast::Bytes>;

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Times one detection into an empty list; returns the records it made.
size_t timedDetection(EpgStore* store, std::vector<double>& times) {
    ChangeList changes;
    store->changed = 0;
    auto start = std::chrono::steady_clock::now();
    detectEpgChanges(store, changes);
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    return changes.size();
}

// Stores the sections under `version`, their CRCs made right again.
void storeAs(EpgStore* store, Sections& sections, int version) {
    for (broadcast::Bytes& s : sections) {
        s[5] = static_cast<uint8_t>((s[5] & 0xC1) | (version & 31) << 1);
        const uint32_t crc = crc32Mpeg(s.data(), s.size() - 4);
        for (int i = 0; i < 4; ++i) s[s.size() - 4 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        storeEitSection(store, s.data(), s.size());
    }
}

void report(const char* what, const std::vector<double>& times, size_t records, const char* goal) {
    std::printf("%-44s median %6.2f ms  best %6.2f ms  %6zu records  (goal %s)\n", what, median(times),
                *std::min_element(times.begin(), times.end()), records, goal);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 7;
    if (argc == 3 && std::string(argv[1]) == "--runs") runs = std::max(1, std::atoi(argv[2]));
    const int64_t firstDay = broadcast::broadcastTime(2026, 12, 7);
    const std::vector<int> durations = {3600, 1200, 1800, 1800, 1200, 2400};  // half an hour on average
    Sections original, revised;
    size_t programmes = 0;
    bench::denseSections(firstDay, durations, 1, false, [&](const broadcast::Bytes& s) { original.push_back(s); });
    bench::denseSections(firstDay, durations, 1, true, [&](const broadcast::Bytes& s) { revised.push_back(s); });
    StorePtr store(createStore());
    programmes = bench::denseSections(firstDay, durations, 1, false, [&](const broadcast::Bytes& s) {
        storeEitSection(store.get(), s.data(), s.size());
    });
    std::printf("services %d, programmes %zu, schedule sections %zu\n", store->serviceCount, programmes,
                original.size());
    std::vector<double> ignored;
    timedDetection(store.get(), ignored);  // the first versions are their own baselines

    // Each run sends the other edition under the next version.
    std::vector<double> changed, sameProgrammes, reloaded;
    size_t changedRecords = 0, sameRecords = 0, reloadedRecords = 0;
    int version = 2;
    for (int run = 0; run < runs; ++run) {
        storeAs(store.get(), run % 2 ? original : revised, version++);
        changedRecords = std::max(changedRecords, timedDetection(store.get(), changed));
    }
    if (runs % 2) storeAs(store.get(), original, version++), timedDetection(store.get(), ignored);
    for (int run = 0; run < runs; ++run) {
        storeAs(store.get(), original, version++);
        sameRecords += timedDetection(store.get(), sameProgrammes);
    }

    const std::string path = (std::filesystem::temp_directory_path() / "corvane_change_bench.dat").string();
    if (!writeDataFile(path.c_str(), *store)) {
        std::fprintf(stderr, "change_detection_bench: cannot save %s\n", path.c_str());
        return 1;
    }
    StorePtr loaded(createStore());
    readDataFile(loaded.get(), path.c_str());
    timedDetection(loaded.get(), ignored);
    for (int run = 0; run < runs; ++run) {
        readDataFile(loaded.get(), path.c_str());
        reloadedRecords += timedDetection(loaded.get(), reloaded);
    }
    std::remove(path.c_str());

    report("new version, half the programmes changed", changed, changedRecords, "< 50 ms");
    report("new version, the same programmes", sameProgrammes, sameRecords, "none");
    report("data file loaded again", reloaded, reloadedRecords, "< 10 ms");
    return 0;
}
