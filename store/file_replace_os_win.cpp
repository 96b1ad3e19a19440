#include <windows.h>

#include "store/file_io.h"

namespace corvane {

// rename() refuses an existing target on Windows; MoveFileEx replaces it.
bool replaceFile(const char* source, const char* target) {
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace corvane
