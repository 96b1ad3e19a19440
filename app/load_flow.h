// The parts of opening files that need no window: splitting the command
// line, walking the open dialog's multiple selection, and the texts of the
// progress dialog.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

// Arguments of a command line: blanks between them are skipped; one that
// starts with a double quote runs to the next double quote (without the
// quotes), any other to the next blank.
std::vector<std::string> splitCommandLine(const char* commandLine);

// The paths chosen in an Explorer-style open dialog: a single path, or the
// folder followed by the names, each NUL-terminated, ending with an empty
// name; each then is "%s\%s" of folder and name. Never reads past `size`.
std::vector<std::string> selectedPaths(const char* buffer, size_t size);

// Decimal with a comma between groups of three digits: 12,345.
std::string groupDigits(int64_t value);

// "%sMB/%sMB" of thousands of bytes done and in all (millions of bytes).
std::string progressText(int64_t doneThousands, int64_t totalThousands);

// done * 100 / total; a file too small to count in thousands is complete.
int progressPercent(int64_t done, int64_t total);

// True when the file name's extension is ".dat" in any letter case.
bool hasDataFileExtension(const std::string& path);

// The file's name with its extension, without its folder.
std::string fileNameOf(const std::string& path);

}  // namespace corvane
