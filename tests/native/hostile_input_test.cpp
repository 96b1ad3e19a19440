// Regression tests for faults the fuzz targets (tests/fuzz) found in the
// readers of broadcast and file bytes.
#include <gtest/gtest.h>

#include "store/epg_store.h"
#include "store/ts_reader.h"
#include "tools/broadcast/packetizer.h"

using namespace corvane;
namespace bc = corvane::broadcast;

// Lost sync is regained only at the head of eight packets in a row. When the
// search reaches the end of a block without one, it goes on in the next block:
// a sync byte that happens to stand first there is no packet start by itself.
// (It used to be taken as a packet, so the store depended on the block size.)
TEST(HostileInput, ResynchronisingAcrossBlocksStillNeedsARunOfPackets) {
    bc::Packetizer packetizer;
    bc::TsWriter writer(188);
    writer.put(packetizer.sectionPackets(bc::kTotPid, bc::totSection(bc::broadcastTime(2024, 1, 1, 12))));
    while (writer.unitsWritten() < 50) writer.put(packetizer.fillerPacket());
    bc::Bytes recording = writer.bytes();  // 50 packets: bytes 0..9399

    // Noise without sync bytes, broken by one lone packet: a time table that
    // is not followed by packets. With blocks of 4096 the search for a run
    // ends exactly on it (8192 - 8 * 188 bytes into the second block).
    recording.resize(14772, 0x00);
    const bc::Packet lone =
        packetizer.sectionPackets(bc::kTotPid, bc::totSection(bc::broadcastTime(2030, 5, 5, 5, 5)))[0];
    recording.insert(recording.end(), lone.begin(), lone.end());
    recording.resize(17000, 0x00);
    for (int i = 0; i < 20; ++i) {
        const bc::Packet filler = packetizer.fillerPacket();
        recording.insert(recording.end(), filler.begin(), filler.end());
    }
    for (size_t blockSize : {0, 1, 4096, 5000, 8192}) {
        StorePtr store(createStore());
        readTransportStreamBytes(store.get(), recording.data(), recording.size(), nullptr, blockSize);
        EXPECT_EQ(localTimeOf(2024, 1, 1, 12, 0, 0), store->totTime) << "blocks of " << blockSize;
    }
}
