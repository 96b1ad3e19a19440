#include "tools/common/store_listing.h"

#include <cstdio>
#include <ctime>

#include "tools/common/listing_text.h"

namespace corvane {

namespace {

void appendf(std::string& out, const char* format, auto... args) {
    char line[256];
    int n = std::snprintf(line, sizeof line, format, args...);
    if (n > 0) out.append(line, static_cast<size_t>(n) < sizeof line ? n : sizeof line - 1);
}

void appendSlot(std::string& out, int index, const char* kind, int seq, const SectionSlot& slot) {
    if (!slot.data) return;
    uint32_t crc = 0;
    if (slot.length >= 4) {
        const uint8_t* p = slot.data + slot.length - 4;
        crc = (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
    }
    appendf(out, "slot %d %s %d %u %u %08x\n", index, kind, seq, unsigned(slot.length), unsigned(slot.updateCount),
            unsigned(crc));
}

}  // namespace

std::string storeListing(const EpgStore& store) {
    std::string out;
    if (store.totYear != 0) {
        std::time_t t = static_cast<std::time_t>(store.totTime);
        if (const std::tm* tm = std::localtime(&t))
            appendf(out, "tot %04d-%02d-%02d %02d:%02d:%02d\n", tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday,
                    tm->tm_hour, tm->tm_min, tm->tm_sec);
    }
    for (int i = 0; i < kMaxServices && store.services[i]; ++i) {
        const ServiceRecord& r = *store.services[i];
        appendf(out, "service %d %d %u %d %u %u ", i, r.networkClass(), unsigned(r.serviceId), r.physicalChannel(),
                unsigned(r.transportStreamId), unsigned(r.remoteKeyId));
        out += hexBytes(r.satelliteFrequency, 4) + ' ' + hexBytes(r.providerName, r.providerNameLength) + ' ' +
               hexBytes(r.serviceName, r.serviceNameLength) + ' ' + hexBytes(r.tsName, r.tsNameLength) + '\n';
        for (int k = 0; k < kSlotsPerTable; ++k) appendSlot(out, i, "basic", k, r.basicAt(k));
        for (int k = 0; k < kSlotsPerTable; ++k) appendSlot(out, i, "extended", k, r.extendedAt(k));
        for (int k = 0; k < 2; ++k) appendSlot(out, i, "pf", k, r.presentFollowing[k]);
        for (int k = 0; k < kSlotsPerTable; ++k) appendSlot(out, i, "baseline", k, r.baselineAt(k));
    }
    return out;
}

}  // namespace corvane
