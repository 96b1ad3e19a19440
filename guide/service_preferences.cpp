#include "guide/service_preferences.h"

#include <cstdio>

namespace corvane {

std::string channelKey(const ServiceRecord& record) {
    char key[32];
    if (record.isTerrestrial())
        std::snprintf(key, sizeof key, "%d", record.serviceId);
    else
        std::snprintf(key, sizeof key, "%d:%d", record.serviceId, record.networkClass());
    return key;
}

}  // namespace corvane
