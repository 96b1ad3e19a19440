// The transport-stream reader over structured damage to a valid recording.
// Random bytes rarely get a section past the CRC check, so this target takes
// the builder's one-day sample recording apart into sections and reads the
// input as edits to them. Edited sections get their section_length and CRC_32
// made right unless an edit says not, so damaged but accepted NIT, SDT and EIT
// sections reach the table handlers and the store; stream edits then damage
// the packet layer.
//
// Input (reads past its end give zeros):
//   config: bits 0-1 unit (188, 192, 204, 188), bit 2 sections back to back,
//     bits 3-5 a second block size to compare with, bit 6 the recording read
//     twice (as two files; the second time also with every repeated section
//     filed the full way, to compare), bit 7 a filler packet after every
//     table packet;
//   start and count of the run of EIT sections kept (1 to 48; bit 7 of the
//     count: the store goes through the data file at the end);
//   edits: op, which (2 bytes), where (2 bytes) and the op's operands. op % 8:
//     0 set a byte, 1 insert bytes, 2 erase bytes of section `which` at
//     `where`; 3 a section of the input's own bytes on PID kPids[op >> 5] at
//     position `where`; 4 remove section `which`, 5 copy it to `where`; 6 its
//     length and CRC stay as edited; 7 on the written stream (op >> 6): set
//     a byte of unit `which`, drop it, repeat it, or insert garbage before it.
#include "fuzz_support.h"
#include "tools/broadcast/si_builder.h"

using namespace corvane;
using namespace corvane::fuzz;

namespace {

// The fuzzer's input read front to back; past its end every read gives zero.
struct InputReader {
    const uint8_t* data;
    size_t size, pos = 0;
    bool atEnd() const { return pos >= size; }
    uint8_t u8() { return pos < size ? data[pos++] : 0; }
    uint16_t u16() { return static_cast<uint16_t>(u8() << 8 | u8()); }
    Bytes bytes(size_t n) {
        n = std::min(n, size - std::min(pos, size));
        pos += n;
        return Bytes(data + pos - n, data + pos);
    }
};

struct Section {
    uint16_t pid;
    Bytes bytes;
    bool asIs = false;  // length and CRC as edited
};

// With `recheck`, the second read finds no section marked as checked, so
// that every repeated one goes the full way.
StorePtr read(const Bytes& ts, size_t blockSize, bool twice, bool recheck = false) {
    StorePtr store = newStore();
    for (int n = twice ? 2 : 1; n > 0; --n) {
        CheckingProgress progress;
        readTransportStreamBytes(store.get(), ts.data(), ts.size(), &progress, blockSize);
        for (int i = 0; recheck && i < store->serviceCount; ++i) {
            ServiceRecord& r = *store->services[i];
            r.presentFollowing[0].checked = r.presentFollowing[1].checked = 0;
            for (int k = 0; k < kSlotsPerTable; ++k) r.basicAt(k).checked = r.extendedAt(k).checked = 0;
        }
    }
    checkStore(*store);
    return store;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const uint16_t kPids[] = {bc::kNitPid, bc::kSdtPid, bc::kEitPid, bc::kTotPid, 0x13, 0x00, 0x1FFF, 0x05};
    const auto& base = sampleSections();
    InputReader in{data, size};
    const uint8_t config = in.u8();
    const size_t from = in.u8() * 13u % base.size(), count = in.u8();
    std::vector<Section> sections;
    for (size_t i = 0; i < base.size(); ++i)
        if (base[i].first != bc::kEitPid || (i + base.size() - from) % base.size() <= (count & 0x7F) % 48)
            sections.push_back({base[i].first, base[i].second});

    struct StreamEdit {
        int kind;
        size_t unit, offset;
        Bytes bytes;
    };
    std::vector<StreamEdit> streamEdits;
    while (!in.atEnd()) {
        const uint8_t op = in.u8();
        const uint16_t which = in.u16(), where = in.u16();
        Section& s = sections[which % sections.size()];
        const size_t at = where % (s.bytes.size() + 1), to = where % (sections.size() + 1);
        switch (op % 8) {
            case 0: if (at < s.bytes.size()) s.bytes[at] = in.u8(); break;
            case 1: {
                const Bytes more = in.bytes(in.u8() % 64);
                s.bytes.insert(s.bytes.begin() + at, more.begin(), more.end());
                break;
            }
            case 2: {
                const size_t end = std::min(s.bytes.size(), at + in.u8());
                s.bytes.erase(s.bytes.begin() + at, s.bytes.begin() + end);
                break;
            }
            case 3: {  // a section of the input's own bytes on any PID, CRC_32 to come
                Bytes bytes = {in.u8(), 0xF0, 0x00};
                const Bytes body = in.bytes(in.u16() % 1024);
                bytes.insert(bytes.end(), body.begin(), body.end());
                bytes.resize(bytes.size() + 4);
                sections.insert(sections.begin() + to, Section{kPids[op >> 5], bytes});
                break;
            }
            case 4: if (sections.size() > 1) sections.erase(sections.begin() + which % sections.size()); break;
            case 5: { const Section copy = s; sections.insert(sections.begin() + to, copy); break; }
            case 6: s.asIs = true; break;
            default: {  // on the stream: a byte set, a unit dropped or repeated, garbage inserted
                const int kind = op >> 6;
                streamEdits.push_back({kind, which, where, in.bytes(kind == 3 ? in.u8() % 200 : kind == 0)});
                break;
            }
        }
    }

    bc::Packetizer packetizer;
    bc::TsWriter writer(config % 4 == 1 ? 192 : config % 4 == 2 ? 204 : 188);
    for (size_t i = 0, j; i < sections.size(); i = j) {
        std::vector<bc::Bytes> run;  // sections of one PID in a row
        for (j = i; j < sections.size() && sections[j].pid == sections[i].pid; ++j) {
            Bytes& b = sections[j].bytes;
            if (!sections[j].asIs && b.size() >= 7) b = bc::finishSection(Bytes(b.begin(), b.end() - 4));
            run.push_back(b);
        }
        for (const bc::Packet& p : packetizer.sectionPackets(sections[i].pid, run, config & 0x04)) {
            writer.put(p);
            if (config & 0x80) writer.put(packetizer.fillerPacket());
        }
    }
    Bytes ts = writer.bytes();
    const size_t unit = writer.unitSize();
    for (const StreamEdit& e : streamEdits) {
        const size_t units = ts.size() / unit;
        if (units == 0) break;
        const auto first = ts.begin() + e.unit % units * unit;
        const Bytes packet(first, first + unit);
        if (e.kind == 0 && !e.bytes.empty()) first[e.offset % unit] = e.bytes[0];
        if (e.kind == 1) ts.erase(first, first + unit);
        if (e.kind == 2) ts.insert(first, packet.begin(), packet.end());
        if (e.kind == 3) ts.insert(first, e.bytes.begin(), e.bytes.end());
    }

    static const size_t kBlockSizes[] = {0, 1, 188, 1000, 8191, 8192, 10000, 65536};
    StorePtr store = read(ts, 0, config & 0x40);
    if (const size_t blockSize = kBlockSizes[config >> 3 & 7])
        FUZZ_CHECK(sameStores(*store, *read(ts, blockSize, config & 0x40), true));
    if (config & 0x40) FUZZ_CHECK(sameStores(*store, *read(ts, 0, true, true), true));
    decodeEverything(*store);
    if (count & 0x80) checkDataFileRoundTrip(*store);
    return 0;
}
