#include "store/invariant.h"

#include <cstdio>

namespace corvane {

namespace {
InvariantHandler installed = nullptr;
}

InvariantHandler setInvariantHandler(InvariantHandler handler) {
    const InvariantHandler before = installed;
    installed = handler;
    return before;
}

void invariantBroken(const char* what, const char* file, int line) {
    std::fprintf(stderr, "corvane: internal fault: %s (%s:%d)\n", what, file, line);
    if (installed) installed(what, file, line);
}

}  // namespace corvane
