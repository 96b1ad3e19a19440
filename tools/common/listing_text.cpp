#include "tools/common/listing_text.h"

#include <cstdio>
#include <ctime>

namespace corvane {

void appendLocalMinute(std::string& out, int64_t t) {
    std::time_t value = static_cast<std::time_t>(t);
    const std::tm* tm = std::localtime(&value);
    if (!tm) {
        out += '-';
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday,
                  tm->tm_hour, tm->tm_min);
    out += text;
}

std::string hexBytes(const uint8_t* bytes, size_t n) {
    if (n == 0) return "-";
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * n);
    for (size_t i = 0; i < n; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

}  // namespace corvane
