// The section CRC alone, the table way against the folded way: over one
// 64 MB buffer and over the same bytes in pieces of the usual section sizes;
// medians of 7 runs, from the cache as far as it holds them.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "store/crc32.h"

using namespace corvane;
using Clock = std::chrono::steady_clock;

namespace {

using Way = uint32_t (*)(const uint8_t*, size_t, uint32_t);

double gigabytesPerSecond(Way way, const std::vector<uint8_t>& bytes, size_t piece, uint32_t& sink) {
    std::vector<double> runs;
    for (int run = 0; run < 7; ++run) {
        const auto start = Clock::now();
        for (size_t at = 0; at < bytes.size(); at += piece)
            sink ^= way(bytes.data() + at, std::min(piece, bytes.size() - at), 0xFFFFFFFFu);
        runs.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::sort(runs.begin(), runs.end());
    return bytes.size() / runs[runs.size() / 2] / 1e9;
}

}  // namespace

int main() {
    std::vector<uint8_t> bytes(64 << 20);
    std::mt19937 random(32);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    uint32_t sink = 0;
    std::printf("folding by carry-less multiplication: %s\n", crc32FoldingAvailable() ? "yes" : "no (the table way twice)");
    for (size_t piece : {bytes.size(), size_t{4096}, size_t{1024}, size_t{184}}) {
        const double table = gigabytesPerSecond(crc32MpegTable, bytes, piece, sink);
        const double folded = gigabytesPerSecond(crc32MpegFolded, bytes, piece, sink);
        std::printf("%8zu-byte pieces  table %6.2f GB/s  folded %6.2f GB/s  (x %.1f)\n", piece, table, folded,
                    folded / table);
    }
    return sink == 0x12345678 ? 1 : 0;  // keeps the sums from being optimised away
}
