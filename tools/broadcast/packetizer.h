// MPEG-2 transport packets from sections, and the writer that lays them out
// in 188-, 192- or 204-byte units, in memory or straight into a file.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/broadcast/si_builder.h"

namespace corvane::broadcast {

constexpr size_t kPacketSize = 188;
using Packet = std::array<uint8_t, kPacketSize>;

constexpr uint16_t kNitPid = 0x0010, kSdtPid = 0x0011, kEitPid = 0x0012, kTotPid = 0x0014;
constexpr uint16_t kVideoPid = 0x0100;

// Splits sections into packets of one PID, keeping a continuity counter per
// PID across calls. Payload only (adaptation_field_control 01).
class Packetizer {
public:
    // With backToBack, a section starts right after the previous one, in the
    // same packet when it fits (the pointer_field names the first start in a
    // packet); otherwise every section starts a new packet. The tail of the
    // last packet, and a single byte that could not hold a pointer_field, are
    // 0xFF stuffing.
    std::vector<Packet> sectionPackets(uint16_t pid, const std::vector<Bytes>& sections, bool backToBack = true);
    std::vector<Packet> sectionPackets(uint16_t pid, const Bytes& section) {
        return sectionPackets(pid, std::vector<Bytes>{section});
    }

    // A "video" packet without a section: a fixed pseudo-random payload that
    // never holds the sync byte value, so unit detection stays clean.
    Packet fillerPacket(uint16_t pid = kVideoPid);

    // Header of a payload-only packet with the PID's next continuity counter.
    Packet startPacket(uint16_t pid, bool payloadUnitStart);

    uint8_t continuity(uint16_t pid) const { return continuity_[pid & 0x1FFF]; }  // next counter

private:
    uint8_t continuity_[8192] = {};
};

// Lays packets out in units: 188 bytes; 192 (a four-byte arrival time stamp
// before each packet); 204 (sixteen bytes after each packet). Collects the
// bytes in memory, or writes them to a file in large blocks.
class TsWriter {
public:
    explicit TsWriter(int unitSize = 188);
    ~TsWriter();
    TsWriter(const TsWriter&) = delete;
    TsWriter& operator=(const TsWriter&) = delete;

    static bool validUnitSize(int unitSize) { return unitSize == 188 || unitSize == 192 || unitSize == 204; }

    // Switches to file output; false (with error()) when the file cannot be created.
    bool openFile(const std::string& path);
    void put(const Packet& packet);
    void put(const std::vector<Packet>& packets) {
        for (const Packet& p : packets) put(p);
    }
    // Flushes and closes the file; false when any write failed.
    bool finish();

    int unitSize() const { return unit_; }
    uint64_t unitsWritten() const { return units_; }
    const Bytes& bytes() const { return memory_; }  // memory output
    bool failed() const { return failed_; }
    const std::string& error() const { return error_; }

private:
    void flush();

    int unit_;
    uint64_t units_ = 0;
    Bytes memory_;
    std::FILE* file_ = nullptr;
    std::vector<uint8_t> block_;
    size_t used_ = 0;
    bool failed_ = false;
    std::string error_;
};

}  // namespace corvane::broadcast
