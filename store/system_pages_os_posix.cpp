#include <sys/mman.h>

#include <cstdlib>

#include "store/system_pages.h"

#if defined(__SANITIZE_ADDRESS__)
#define CORVANE_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORVANE_ADDRESS_SANITIZER 1
#endif
#endif

namespace corvane {

#ifdef CORVANE_ADDRESS_SANITIZER

// Under the address sanitizer the heap's exact bounds, which it watches, are
// worth more than large pages.
void* allocateSystemPages(size_t n) { return std::calloc(1, n ? n : 1); }
void releaseSystemPages(void* p, size_t) { std::free(p); }

#else

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

#endif

}  // namespace corvane
