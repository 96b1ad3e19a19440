// In the tests every broken internal invariant is a failure of the test that
// ran into it.
#include <gtest/gtest.h>

#include "store/invariant.h"

namespace {

const bool installed = (corvane::setInvariantHandler([](const char* what, const char* file, int line) {
                            ADD_FAILURE_AT(file, line) << "internal fault: " << what;
                        }),
                        true);

}  // namespace
