// What the list windows' sorting shares: comparisons that answer -1, 0 or 1
// without subtracting, so that 64-bit times and unsigned bytes never wrap.
#pragma once

#include <algorithm>
#include <string>

namespace corvane {

template <class T>
int threeWay(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Titles compare as unsigned bytes, as the C library's strcmp does.
inline int compareBytes(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return threeWay(a.size(), b.size());
}

}  // namespace corvane
