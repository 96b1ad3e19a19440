#include <cstdio>

#include "store/file_io.h"

namespace corvane {

bool replaceFile(const char* source, const char* target) { return std::rename(source, target) == 0; }

}  // namespace corvane
