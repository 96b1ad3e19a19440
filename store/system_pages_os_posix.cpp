#include <sys/mman.h>

#include "store/system_pages.h"

namespace corvane {

void* allocateSystemPages(size_t n) {
    void* p = mmap(nullptr, n ? n : 1, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
#ifdef MADV_HUGEPAGE
    madvise(p, n, MADV_HUGEPAGE);  // a hint; refused where huge pages are off
#endif
    return p;
}

void releaseSystemPages(void* p, size_t n) {
    if (p) munmap(p, n ? n : 1);
}

}  // namespace corvane
