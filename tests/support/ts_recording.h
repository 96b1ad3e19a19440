// A transport stream built packet by packet for reader tests, laid out in
// units of 188, 192 or 204 bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/broadcast/packetizer.h"

namespace corvane {

struct TsRecording {
    broadcast::Packetizer packetizer;
    std::vector<broadcast::Packet> packets;

    // Fifty filler packets first, which make the unit detectable, then a TOT
    // of `time` unless it is 0.
    explicit TsRecording(int64_t time = 0) {
        filler(50);
        if (time) add(broadcast::kTotPid, {broadcast::totSection(time)});
    }
    void filler(int n) {
        for (int i = 0; i < n; ++i) packets.push_back(packetizer.fillerPacket());
    }
    void add(uint16_t pid, const std::vector<broadcast::Bytes>& sections, bool backToBack = true) {
        for (const broadcast::Packet& p : packetizer.sectionPackets(pid, sections, backToBack)) packets.push_back(p);
    }
    broadcast::Bytes bytes(int unit = 188) const {
        broadcast::TsWriter writer(unit);
        writer.put(packets);
        return writer.bytes();
    }
};

}  // namespace corvane
