// Throughput of readTransportStream against a plain sequential read of the
// same file in 1 MB blocks, both from the page cache, in alternating runs
// (medians), on two files:
// - a realistic recording: the sample recording, about 3 % of it tables;
// - a stream of tables only: the DVB-T capture of the shared data repeated
//   when it is there, otherwise the sample recording without filler. Here a
//   reference reader runs too: the straightforward way, every section of the
//   table PIDs assembled and checked with the table CRC, nothing stored.
//   ts_reader_bench [--size BYTES] [--runs N] [--keep]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "store/crc32.h"
#include "store/epg_store.h"
#include "store/file_io.h"
#include "store/ts_reader.h"
#include "tools/broadcast/sample_recording.h"

using namespace corvane;
using Clock = std::chrono::steady_clock;

namespace {

constexpr size_t kBlock = 1 << 20;

double seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The plain read's one block, in memory before the first read.
char* plainBlock() {
    static std::vector<char> block(kBlock, 1);
    return block.data();
}

double plainRead(const std::string& path, uint64_t& bytes) {
    InputFile file;
    if (!file.open(path.c_str())) return -1;
    char* block = plainBlock();
    bytes = 0;
    uint64_t sum = 0;
    auto start = Clock::now();
    for (long got; (got = file.read(block, kBlock)) > 0;) {
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

// The straightforward reader of 188-byte packets: each section of the NIT,
// SDT, EIT and TOT PIDs assembled and its CRC checked byte table by byte
// table; the count of good sections is all it keeps.
double referenceRead(const std::string& path, uint64_t& goodSections) {
    InputFile file;
    if (!file.open(path.c_str())) return -1;
    std::vector<uint8_t> block(kBlock + 188);
    struct Assembly {
        std::vector<uint8_t> bytes;
    } pids[0x15];
    goodSections = 0;
    auto complete = [&](std::vector<uint8_t>& s) {
        while (s.size() > 3) {
            const size_t size = (((s[1] & 0x0F) << 8) | s[2]) + 3;
            if (s.size() < size) return;
            if (crc32MpegTable(s.data(), size) == 0) ++goodSections;
            if (s.size() == size || s[size] == 0xFF) return s.clear();
            s.erase(s.begin(), s.begin() + static_cast<ptrdiff_t>(size));
        }
    };
    auto start = Clock::now();
    size_t kept = 0;
    for (long got; (got = file.read(block.data() + kept, kBlock)) > 0;) {
        const size_t end = kept + static_cast<size_t>(got);
        size_t p = 0;
        for (; p + 188 <= end; p += 188) {
            const uint8_t* packet = block.data() + p;
            const int pid = ((packet[1] & 0x1F) << 8) | packet[2];
            if (packet[0] != 0x47 || pid < 0x10 || pid > 0x14 || pid == 0x13) continue;
            std::vector<uint8_t>& s = pids[pid].bytes;
            if (packet[1] & 0x40) {
                const size_t pointer = packet[4];
                if (!s.empty()) s.insert(s.end(), packet + 5, packet + std::min<size_t>(5 + pointer, 188)), complete(s);
                s.clear();
                if (5 + pointer < 188) s.insert(s.end(), packet + 5 + pointer, packet + 188), complete(s);
            } else if (!s.empty()) {
                s.insert(s.end(), packet + 4, packet + 188), complete(s);
            }
        }
        kept = end - p;
        std::memmove(block.data(), block.data() + p, kept);
    }
    return seconds(start, Clock::now());
}

bool sizedFile(const std::string& path, uint64_t size) {
    InputFile existing;
    return existing.open(path.c_str()) && static_cast<uint64_t>(existing.size()) == size;
}

// The recording to measure, made unless a file of its size is there.
bool makeSample(const std::string& path, uint64_t size, int tablePercent) {
    broadcast::SampleOptions options;
    options.size = size;
    options.tablePercent = tablePercent;
    if (sizedFile(path, size / 188 * 188)) return true;
    std::fprintf(stderr, "generating %s ...\n", path.c_str());
    std::string error;
    if (!broadcast::writeSampleRecording(options, path, error)) {
        std::fprintf(stderr, "ts_reader_bench: %s\n", error.c_str());
        return false;
    }
    return true;
}

// The capture repeated up to `size` bytes.
bool makeRepeated(const std::string& path, const std::string& capture, uint64_t size) {
    InputFile in;
    if (!in.open(capture.c_str())) return false;
    std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(in.size(), 0)));
    if (bytes.empty() || in.readFully(bytes.data(), bytes.size()) != bytes.size()) return false;
    const uint64_t copies = std::max<uint64_t>(1, size / bytes.size());
    if (sizedFile(path, copies * bytes.size())) return true;
    std::fprintf(stderr, "generating %s ...\n", path.c_str());
    std::FILE* out = std::fopen(path.c_str(), "wb");
    bool ok = out != nullptr;
    for (uint64_t i = 0; ok && i < copies; ++i) ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return out && std::fclose(out) == 0 && ok;
}

void measure(const char* title, const std::string& path, int runs, bool withReference) {
    uint64_t bytes = 0, sections = 0;
    std::vector<double> plain, reader, reference;
    int services = 0, slots = 0;
    for (int round = 0; round <= runs; ++round) {  // round 0 warms the page cache
        const double p = plainRead(path, bytes);
        const double r = storeRead(path, services, slots);
        const double c = withReference ? referenceRead(path, sections) : 0;
        if (round == 0) continue;
        plain.push_back(p), reader.push_back(r), reference.push_back(c);
    }
    const double mb = bytes / 1e6;
    std::printf("%s: %.0f MB, %d services, %d schedule sections stored\n", title, mb, services, slots);
    std::printf("  plain 1 MB read      %8.0f MB/s\n", mb / median(plain));
    if (withReference)
        std::printf("  reference reader     %8.0f MB/s  (table CRC, nothing stored; %llu sections)\n",
                    mb / median(reference), static_cast<unsigned long long>(sections));
    std::printf("  readTransportStream  %8.0f MB/s  ratio to the plain read %.2f", mb / median(reader),
                median(plain) / median(reader));
    if (withReference) std::printf(", to the reference %.2f", median(reference) / median(reader));
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    uint64_t size = 1000ull * 1000 * 1000;
    int runs = 5;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--size") && i + 1 < argc) size = std::strtoull(argv[++i], nullptr, 10);
        else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--keep")) keep = true;
        else {
            std::fprintf(stderr, "usage: ts_reader_bench [--size BYTES] [--runs N] [--keep]\n");
            return 2;
        }
    }
    const std::string folder = std::filesystem::temp_directory_path().string();
    const std::string realistic = folder + "/corvane_bench_" + std::to_string(size) + ".ts";
    const std::string tables = folder + "/corvane_bench_tables_" + std::to_string(size) + ".ts";
    const std::string capture = std::string(CORVANE_SHARED_DATA) + "/dvbt-full-si.ts";
    const bool fromCapture = std::filesystem::exists(capture);
    if (!makeSample(realistic, size, 3) ||
        !(fromCapture ? makeRepeated(tables, capture, size) : makeSample(tables, size, 100))) {
        std::fprintf(stderr, "ts_reader_bench: cannot write the files to measure\n");
        return 1;
    }
    std::printf("medians of %d alternating runs, page cache warm\n", runs);
    measure("realistic recording (sample, 3 % tables)", realistic, runs, false);
    std::printf("  goal: ratio >= 0.85\n");
    measure(fromCapture ? "tables only (dvbt-full-si.ts repeated)" : "tables only (sample without filler)", tables, runs,
            true);
    std::printf("  goal: >= 3500 MB/s, >= 1.75 x the reference\n");
    if (!keep) std::remove(realistic.c_str()), std::remove(tables.c_str());
    return 0;
}
