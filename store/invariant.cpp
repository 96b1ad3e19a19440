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

void invariantBroken(const char* what, const std::source_location& where) {
    std::fprintf(stderr, "corvane: internal fault: %s (%s:%u)\n", what, where.file_name(),
                 static_cast<unsigned>(where.line()));
    if (installed) installed(what, where.file_name(), static_cast<int>(where.line()));
}

}  // namespace corvane
