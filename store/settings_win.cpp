#include "store/settings_win.h"

#include <windows.h>

#include <vector>

namespace corvane {

int PrivateProfileSettings::readInt(const std::string& section, const std::string& key,
                                    int defaultValue) {
    return static_cast<int>(
        GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, path_.c_str()));
}

// GetPrivateProfileStringA is asked with a buffer large enough to hold the
// whole value and the cut is made here: at the edge of a short buffer the
// call may leave a stray byte where a double-byte character did not fit, or
// drop one character too many of a quoted value.
std::string PrivateProfileSettings::readString(const std::string& section,
                                               const std::string& key,
                                               const std::string& defaultValue, int capacity) {
    if (capacity <= 0) return std::string();
    DWORD size = static_cast<DWORD>(capacity) + 16;
    if (size < 256) size = 256;
    constexpr DWORD maximumSize = 1u << 22;
    std::vector<char> buffer;
    for (;;) {
        buffer.assign(size, '\0');
        GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                 buffer.data(), size, path_.c_str());
        buffer[size - 1] = '\0';
        const size_t length = std::string(buffer.data()).size();
        // Shorter than size - 2 bytes: certainly the whole value.
        if (length + 2 < size || size >= maximumSize) break;
        size *= 2;
    }
    return cutToCapacity(std::string(buffer.data()), capacity);
}

bool PrivateProfileSettings::writeString(const std::string& section, const std::string& key,
                                         const std::string& value) {
    // A line break inside the value would start a new key in the file.
    std::string oneLine = value.substr(0, value.find_first_of("\r\n"));
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), oneLine.c_str(),
                                      path_.c_str()) != FALSE;
}

}  // namespace corvane
