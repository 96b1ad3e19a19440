#include "reserve/job_store.h"

#include <cstring>

#include "store/shift_jis.h"

namespace corvane {

namespace {

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool hasJobSuffix(const std::string& name) {
    const size_t n = std::strlen(kJobNameSuffix);
    if (name.size() <= n) return false;
    // The suffix must start on a character boundary: ".job" could otherwise
    // begin with a trail byte.
    size_t i = 0;
    while (i < name.size() - n) i += isShiftJisLeadByte(static_cast<unsigned char>(name[i])) ? 2 : 1;
    return i == name.size() - n && sameJobName(name.substr(i), kJobNameSuffix);
}

bool isTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

}  // namespace

std::string listedJobName(const std::string& name) { return hasJobSuffix(name) ? name : name + kJobNameSuffix; }

std::string jobBaseName(const std::string& name) {
    return hasJobSuffix(name) ? name.substr(0, name.size() - std::strlen(kJobNameSuffix)) : name;
}

bool sameJobName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (isShiftJisLeadByte(static_cast<unsigned char>(a[i]))) {
            if (a[i] != b[i] || (i + 1 < a.size() && a[i + 1] != b[i + 1])) return false;
            ++i;
        } else if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

bool isValidJobBaseName(const std::string& base) {
    if (base.empty() || !isWholeShiftJis(base)) return false;
    for (size_t i = 0; i < base.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(base[i]);
        if (isShiftJisLeadByte(c)) {
            ++i;
            continue;
        }
        if (c < 0x20 || c == 0x7F || std::strchr(".\\/:*?\"<>|", c)) return false;
    }
    return true;
}

bool isWholeShiftJis(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\0') return false;  // would end the text early
        if (!isShiftJisLeadByte(static_cast<unsigned char>(text[i]))) continue;
        if (i + 1 >= text.size() || !isTrailByte(static_cast<unsigned char>(text[i + 1]))) return false;
        ++i;
    }
    return true;
}

std::vector<std::string> allJobNames(const JobNameBatches& batches) {
    std::vector<std::string> names;
    for (const auto& batch : batches) names.insert(names.end(), batch.begin(), batch.end());
    return names;
}

}  // namespace corvane
