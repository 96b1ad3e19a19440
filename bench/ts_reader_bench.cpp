// Throughput of readTransportStream against a plain sequential read of the
// same file in 1 MB blocks, both from the page cache.
//   ts_reader_bench [--size BYTES] [--file PATH] [--keep]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "store/epg_store.h"
#include "store/file_io.h"
#include "store/ts_reader.h"
#include "tools/broadcast/sample_recording.h"

using namespace corvane;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

double plainRead(const std::string& path, uint64_t& bytes) {
    InputFile file;
    if (!file.open(path.c_str())) return -1;
    std::unique_ptr<char[]> block(new char[1 << 20]);
    bytes = 0;
    uint64_t sum = 0;
    auto start = Clock::now();
    for (long got; (got = file.read(block.get(), 1 << 20)) > 0;) {
        bytes += got;
        sum += static_cast<unsigned char>(block[got - 1]);
    }
    auto end = Clock::now();
    if (sum == 1) std::puts("");  // keeps the loop from being optimised away
    return seconds(start, end);
}

double storeRead(const std::string& path, int& services, int& slots) {
    EpgStore* store = createStore();
    auto start = Clock::now();
    readTransportStream(store, path.c_str(), nullptr);
    auto end = Clock::now();
    services = store->serviceCount;
    slots = 0;
    for (int i = 0; i < store->serviceCount; ++i)
        for (int k = 0; k < kSlotsPerTable; ++k) slots += store->services[i]->basicAt(k).data != nullptr;
    destroyStore(store);
    return seconds(start, end);
}

}  // namespace

int main(int argc, char** argv) {
    uint64_t size = 1000ull * 1000 * 1000;
    std::string path;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--size") && i + 1 < argc) size = std::strtoull(argv[++i], nullptr, 10);
        else if (!std::strcmp(argv[i], "--file") && i + 1 < argc) path = argv[++i];
        else if (!std::strcmp(argv[i], "--keep")) keep = true;
        else {
            std::fprintf(stderr, "usage: ts_reader_bench [--size BYTES] [--file PATH] [--keep]\n");
            return 2;
        }
    }
    bool generated = false;
    if (path.empty()) {
        path = "/tmp/corvane_bench_" + std::to_string(size) + ".ts";
        InputFile existing;
        if (!existing.open(path.c_str()) || existing.size() != static_cast<int64_t>(size / 188 * 188)) {
            broadcast::SampleOptions options;
            options.size = size;
            std::string error;
            std::fprintf(stderr, "generating %s ...\n", path.c_str());
            if (!broadcast::writeSampleRecording(options, path, error)) {
                std::fprintf(stderr, "ts_reader_bench: %s\n", error.c_str());
                return 1;
            }
            generated = true;
        }
    }

    uint64_t bytes = 0;
    double plain = 1e9, reader = 1e9;
    int services = 0, slots = 0;
    for (int round = 0; round < 3; ++round) {  // the first round warms the page cache
        double p = plainRead(path, bytes);
        double r = storeRead(path, services, slots);
        if (p < 0) {
            std::fprintf(stderr, "ts_reader_bench: cannot read %s\n", path.c_str());
            return 1;
        }
        if (round > 0) {
            plain = std::min(plain, p);
            reader = std::min(reader, r);
        }
    }
    const double mb = bytes / 1e6;
    std::printf("file            %.0f MB, %d services, %d schedule sections stored\n", mb, services, slots);
    std::printf("plain 1 MB read %8.0f MB/s\n", mb / plain);
    std::printf("readTransportStream %4.0f MB/s\n", mb / reader);
    std::printf("ratio           %8.2f (goal >= 0.50)\n", plain / reader);
    if (generated && !keep) std::remove(path.c_str());
    return 0;
}
