#include "store/service_identity.h"

#include <algorithm>
#include <cstdio>

#include "store/arib.h"

namespace corvane {

std::string serviceNumberLabel(int networkClass, int number, bool channel) {
    const char* pattern = channel ? "%dch" : networkClass == 4 ? "BS%d" : (networkClass == 6 || networkClass == 7) ? "CS%d" : "%d";
    char text[32];
    std::snprintf(text, sizeof text, pattern, number);
    return text;
}

std::string decodedName(const uint8_t* field, size_t length) {
    return aribToShiftJisString(field, std::min<size_t>(length, kNameCapacity));
}

}  // namespace corvane
