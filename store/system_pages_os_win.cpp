#include <windows.h>

#include "store/system_pages.h"

namespace corvane {

void* allocateSystemPages(size_t n) { return VirtualAlloc(nullptr, n ? n : 1, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE); }

void releaseSystemPages(void* p, size_t) {
    if (p) VirtualFree(p, 0, MEM_RELEASE);
}

}  // namespace corvane
