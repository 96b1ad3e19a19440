#include "app/load_flow.h"

#include <cstring>

#include "store/shift_jis.h"

namespace corvane {

std::vector<std::string> splitCommandLine(const char* commandLine) {
    std::vector<std::string> arguments;
    if (!commandLine) return arguments;
    const char* p = commandLine;
    while (*p) {
        while (*p == ' ') ++p;
        if (!*p) break;
        const char* start;
        const char* end;
        if (*p == '"') {
            start = ++p;
            end = std::strchr(start, '"');
            if (!end) end = start + std::strlen(start);
            p = *end ? end + 1 : end;
        } else {
            start = p;
            end = std::strchr(start, ' ');
            if (!end) end = start + std::strlen(start);
            p = end;
        }
        arguments.emplace_back(start, end);
    }
    return arguments;
}

std::vector<std::string> selectedPaths(const char* buffer, size_t size) {
    std::vector<std::string> paths;
    if (!buffer || size == 0) return paths;
    auto stringAt = [&](size_t at) {
        const void* nul = std::memchr(buffer + at, '\0', size - at);
        size_t length = nul ? static_cast<const char*>(nul) - (buffer + at) : size - at;
        return std::string(buffer + at, length);
    };
    const std::string first = stringAt(0);
    size_t at = first.size() + 1;
    if (at >= size || buffer[at] == '\0') {
        if (!first.empty()) paths.push_back(first);  // one file: its full path
        return paths;
    }
    while (at < size && buffer[at] != '\0') {
        std::string name = stringAt(at);
        at += name.size() + 1;
        paths.push_back(first + "\\" + name);
    }
    return paths;
}

std::string groupDigits(int64_t value) {
    const bool negative = value < 0;
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::string digits = std::to_string(magnitude);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return negative ? "-" + out : out;
}

std::string progressText(int64_t doneThousands, int64_t totalThousands) {
    return groupDigits(doneThousands / 1000) + "MB/" + groupDigits(totalThousands / 1000) + "MB";
}

int progressPercent(int64_t done, int64_t total) {
    if (total <= 0) return 100;
    if (done <= 0) return 0;
    if (done >= total) return 100;
    return static_cast<int>(done * 100 / total);
}

bool hasDataFileExtension(const std::string& path) {
    const std::string name = fileNameOf(path);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.size() - dot != 4) return false;
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(name[dot + 1]) == 'd' && lower(name[dot + 2]) == 'a' && lower(name[dot + 3]) == 't';
}

std::string fileNameOf(const std::string& path) {
    // A '\' can be the second byte of a Shift_JIS character: walk by characters.
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (isShiftJisLeadByte(c)) {
            ++i;
            continue;
        }
        if (c == '\\' || c == '/' || c == ':') start = i + 1;
    }
    return path.substr(start);
}

}  // namespace corvane
