// The clock and the summary line of the benchmarks that run under Wine.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace corvane::bench {

inline double milliseconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// "WHAT: best, median, worst (goal)" of the times measured.
inline void reportTimes(const char* what, std::vector<double> times, double goal) {
    std::sort(times.begin(), times.end());
    std::printf("%s: best %.1f ms, median %.1f ms, worst %.1f ms (goal < %.0f ms)\n", what, times.front(),
                times[times.size() / 2], times.back(), goal);
}

}  // namespace corvane::bench
