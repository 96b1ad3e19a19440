// Large blocks of memory straight from the system: zeroed, in huge pages
// where the system offers them, so that filling a block of many megabytes
// costs few page faults. (Builds with the address sanitizer take them from
// the heap, whose bounds it checks.)
#pragma once

#include <cstddef>

namespace corvane {

void* allocateSystemPages(size_t n);       // null when there is no memory
void releaseSystemPages(void* p, size_t n);  // n as allocated; null is fine

}  // namespace corvane
