// What the list windows' sorting shares: comparisons that answer -1, 0 or 1
// without subtracting, so that 64-bit times and unsigned bytes never wrap.
#pragma once

#include <algorithm>
#include <iterator>
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

// One direction flag per column, 0 at first: a click flips it (0 becomes 1,
// anything else 0); 1 sorts ascending, 0 descending.
template <int Columns>
struct ColumnSortFlags {
    int flags[Columns] = {};

    void reset() { std::fill(std::begin(flags), std::end(flags), 0); }
    // Flips the column's flag and answers it; -1 for a column the list lacks.
    int flip(int column) {
        if (column < 0 || column >= Columns) return -1;
        flags[column] = flags[column] == 0 ? 1 : 0;
        return flags[column];
    }
};

}  // namespace corvane
