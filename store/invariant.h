// Checks of the program's own bookkeeping. Never for faults of broadcast data
// or of files, which stay silent as they always are: only for states the code
// itself must never reach. A broken invariant is written to the standard
// error stream with where it was found and handed to the installed handler
// (tests make it a failure); the caller then still takes the safe way.
#pragma once

#include <source_location>

namespace corvane {

using InvariantHandler = void (*)(const char* what, const char* file, int line);

// Installs `handler` (null: only the message) and returns the one before.
InvariantHandler setInvariantHandler(InvariantHandler handler);

void invariantBroken(const char* what, const std::source_location& where);

// Returns `broken`, after reporting it when it is true.
inline bool reportIf(bool broken, const char* what,
                     const std::source_location& where = std::source_location::current()) {
    if (broken) invariantBroken(what, where);
    return broken;
}

}  // namespace corvane
