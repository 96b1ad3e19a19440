// Checks of the program's own bookkeeping. Never for faults of broadcast data
// or of files, which stay silent as they always are: only for states the code
// itself must never reach. A broken invariant is written to the standard
// error stream with where it was found and handed to the installed handler
// (tests make it a failure); the caller then still takes the safe way.
#pragma once

namespace corvane {

using InvariantHandler = void (*)(const char* what, const char* file, int line);

// Installs `handler` (null: only the message) and returns the one before.
InvariantHandler setInvariantHandler(InvariantHandler handler);

void invariantBroken(const char* what, const char* file, int line);

// Returns `broken`, after reporting it when it is true. The place is the
// caller's (the builtins give the place of the call).
inline bool reportIf(bool broken, const char* what, const char* file = __builtin_FILE(),
                     int line = __builtin_LINE()) {
    if (broken) invariantBroken(what, file, line);
    return broken;
}

}  // namespace corvane
