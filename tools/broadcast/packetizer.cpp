#include "tools/broadcast/packetizer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace corvane::broadcast {
namespace {

constexpr size_t kPayloadSize = kPacketSize - 4;
constexpr size_t kFileBlock = 4 << 20;

const std::array<uint8_t, kPayloadSize>& fillerPayload() {
    static const std::array<uint8_t, kPayloadSize> payload = [] {
        std::array<uint8_t, kPayloadSize> p{};
        uint32_t x = 0x2545F491u;
        for (uint8_t& b : p) {
            x ^= x << 13, x ^= x >> 17, x ^= x << 5;
            b = static_cast<uint8_t>(x >> 24);
            if (b == 0x47) b = 0x46;
        }
        return p;
    }();
    return payload;
}

}  // namespace

Packet Packetizer::startPacket(uint16_t pid, bool payloadUnitStart) {
    pid &= 0x1FFF;
    Packet p;
    p.fill(0xFF);
    p[0] = 0x47;
    p[1] = static_cast<uint8_t>((payloadUnitStart ? 0x40 : 0) | (pid >> 8));
    p[2] = static_cast<uint8_t>(pid);
    p[3] = static_cast<uint8_t>(0x10 | continuity_[pid]);
    continuity_[pid] = (continuity_[pid] + 1) & 0x0F;
    return p;
}

std::vector<Packet> Packetizer::sectionPackets(uint16_t pid, const std::vector<Bytes>& sections, bool backToBack) {
    std::vector<Packet> out;
    if (!backToBack && sections.size() > 1) {
        for (const Bytes& s : sections) {
            std::vector<Packet> one = sectionPackets(pid, std::vector<Bytes>{s});
            out.insert(out.end(), one.begin(), one.end());
        }
        return out;
    }
    Bytes stream;
    std::vector<size_t> starts;
    for (const Bytes& s : sections) {
        starts.push_back(stream.size());
        stream.insert(stream.end(), s.begin(), s.end());
    }
    size_t pos = 0, nextStart = 0;
    while (pos < stream.size()) {
        while (nextStart < starts.size() && starts[nextStart] < pos) ++nextStart;
        size_t toStart = nextStart < starts.size() ? starts[nextStart] - pos : SIZE_MAX;
        if (toStart <= kPayloadSize - 2) {
            // A section starts here: pointer_field, the rest of the previous
            // section, then section data up to the end of the packet.
            Packet p = startPacket(pid, true);
            p[4] = static_cast<uint8_t>(toStart);
            size_t n = std::min(kPayloadSize - 1, stream.size() - pos);
            std::memcpy(&p[5], &stream[pos], n);
            pos += n;
            out.push_back(p);
        } else {
            // Continuation only; it must not run into the next section's start
            // (a start needs a packet with a pointer_field).
            Packet p = startPacket(pid, false);
            size_t n = std::min({kPayloadSize, stream.size() - pos, toStart});
            std::memcpy(&p[4], &stream[pos], n);
            pos += n;
            out.push_back(p);
        }
    }
    return out;
}

Packet Packetizer::fillerPacket(uint16_t pid) {
    Packet p = startPacket(pid, false);
    std::memcpy(&p[4], fillerPayload().data(), kPayloadSize);
    return p;
}

TsWriter::TsWriter(int unitSize) : unit_(validUnitSize(unitSize) ? unitSize : 188) {}

TsWriter::~TsWriter() {
    if (file_) std::fclose(file_);
}

bool TsWriter::openFile(const std::string& path) {
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) {
        failed_ = true;
        error_ = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    std::setvbuf(file_, nullptr, _IONBF, 0);  // whole blocks go straight to the system
    block_.resize(kFileBlock - kFileBlock % unit_);
    used_ = 0;
    return true;
}

void TsWriter::put(const Packet& packet) {
    uint8_t* unit;
    if (file_) {
        if (used_ + unit_ > block_.size()) flush();
        unit = block_.data() + used_;
        used_ += unit_;
    } else {
        memory_.resize(memory_.size() + unit_);
        unit = memory_.data() + memory_.size() - unit_;
    }
    if (unit_ == 192) {
        // Arrival time stamp: 27 MHz ticks at a nominal 24 Mbit/s. A byte with
        // the sync value would look like a packet start, so it is nudged.
        uint32_t ats = static_cast<uint32_t>(units_ * 1692) & 0x3FFFFFFF;
        for (int i = 0; i < 4; ++i) {
            uint8_t b = static_cast<uint8_t>(ats >> (24 - 8 * i));
            unit[i] = b == 0x47 ? 0x48 : b;
        }
        std::memcpy(unit + 4, packet.data(), kPacketSize);
    } else {
        std::memcpy(unit, packet.data(), kPacketSize);
        if (unit_ == 204) std::memset(unit + kPacketSize, 0, 16);  // parity bytes
    }
    ++units_;
}

void TsWriter::flush() {
    if (!file_ || used_ == 0) return;
    if (!failed_ && std::fwrite(block_.data(), 1, used_, file_) != used_) {
        failed_ = true;
        error_ = std::string("write failed: ") + std::strerror(errno);
    }
    used_ = 0;
}

bool TsWriter::finish() {
    if (file_) {
        flush();
        if (std::fclose(file_) != 0 && !failed_) {
            failed_ = true;
            error_ = std::string("close failed: ") + std::strerror(errno);
        }
        file_ = nullptr;
    }
    return !failed_;
}

}  // namespace corvane::broadcast
