// Builders for ISDB service-information sections (ARIB STD-B10, the DVB
// layouts of ETSI EN 300 468): descriptors and complete NIT, SDT, EIT and TOT
// sections with their CRC_32, for test fixtures, the sample recording and the
// benchmarks. Everything returns plain bytes, so a test can change any of them
// (a wrong CRC, an odd length) before packetizing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/broadcast/arib_encoder.h"

namespace corvane::broadcast {

using Bytes = std::vector<uint8_t>;

// CRC-32 of MPEG-2 (polynomial 0x04C11DB7, initial 0xFFFFFFFF, MSB first, no
// final inversion), bit by bit: deliberately not the reader's table-driven one.
uint32_t crc32Mpeg2(const uint8_t* data, size_t size);
inline uint32_t crc32Mpeg2(const Bytes& b) { return crc32Mpeg2(b.data(), b.size()); }

// Sets section_length (low 12 bits of bytes 1..2) to cover the bytes present
// plus a CRC_32, then appends the CRC. For hand-made sections.
Bytes finishSection(Bytes section);

// ---- Time: broadcast (JST) wall-clock time as seconds since 1970-01-01 00:00,
// free of any time zone, so fixtures are the same on every machine.
int64_t broadcastTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
struct CivilTime {
    int year, month, day, hour, minute, second;
};
CivilTime civilTime(int64_t t);
int modifiedJulianDate(int64_t t);
uint8_t bcd(int value);                          // 0..99
void appendStartTime(Bytes& out, int64_t t);     // MJD (16 bits) + hh mm ss in BCD
void appendDuration(Bytes& out, int seconds);    // hh mm ss in BCD

// ---- Text: ARIB-coded bytes, made from Shift_JIS text or given raw.
struct AribText {
    Bytes bytes;
    AribText() = default;
    AribText(const char* sjis) : bytes(shiftJisToArib(sjis)) {}
    AribText(const std::string& sjis, AribStyle style = AribStyle::DefaultSets) : bytes(shiftJisToArib(sjis, style)) {}
    static AribText raw(Bytes b) {
        AribText t;
        t.bytes = std::move(b);
        return t;
    }
};

// ---- Descriptors: each returns tag, length and data.
Bytes descriptor(uint8_t tag, const Bytes& data);  // data longer than 255 bytes is cut

Bytes shortEventDescriptor(const AribText& name, const AribText& text);  // 0x4D, "jpn"

struct ExtendedItem {
    AribText description;
    AribText text;
};
// Extended event descriptors (0x4E) numbered 0..last, concatenated. An item
// text too long for one descriptor continues in the next with an empty
// description. With packItems false every item starts a new descriptor.
// The numbers have four bits: texts needing more than 16 descriptors wrap.
Bytes extendedEventDescriptors(const std::vector<ExtendedItem>& items, bool packItems = false);

Bytes componentDescriptor(uint8_t streamContent, uint8_t componentType, uint8_t componentTag = 0x00,
                          const AribText& text = {});  // 0x50
Bytes audioComponentDescriptor(uint8_t componentType, uint8_t componentTag = 0x10, uint8_t samplingRate = 7,
                               const AribText& text = {});  // 0xC4, stream_content 2, 48 kHz

struct Genre {
    uint8_t level1 = 0;  // content_nibble_level_1 (0x0..0xF)
    uint8_t level2 = 0;
    uint8_t user = 0xFF;
};
Bytes contentDescriptor(const std::vector<Genre>& genres);  // 0x54

Bytes serviceDescriptor(uint8_t serviceType, const AribText& provider, const AribText& name);  // 0x48

struct ServiceListEntry {
    uint16_t serviceId = 0;
    uint8_t serviceType = 0x01;  // digital TV
};
Bytes serviceListDescriptor(const std::vector<ServiceListEntry>& services);  // 0x41

struct SatelliteDelivery {
    uint32_t frequency = 0;               // 8 BCD digits, GHz, point after digit 3: 0x01172748 = 11.72748
    uint16_t orbitalPosition = 0x1100;    // 4 BCD digits, 110.0 degrees
    bool east = true;
    uint8_t polarisation = 2;             // right-hand circular
    uint8_t modulation = 0x08;            // ISDB-S
    uint32_t symbolRate = 0x0288600;      // 7 BCD digits, Msymbol/s, point after digit 3
    uint8_t fecInner = 0x0F;
};
Bytes satelliteDeliveryDescriptor(const SatelliteDelivery& d);  // 0x43

struct TransmissionType {
    uint8_t info = 0x0F;
    std::vector<uint16_t> serviceIds;
};
struct TsInformation {
    uint8_t remoteControlKeyId = 0;
    AribText tsName;  // at most 63 bytes (6-bit length)
    std::vector<TransmissionType> transmissionTypes;  // at most 3
};
Bytes tsInformationDescriptor(const TsInformation& info);  // 0xCD

Bytes networkNameDescriptor(const AribText& name);  // 0x40
// 0x58 for "JPN": offset 0 (the TOT already carries JST), no change planned.
Bytes localTimeOffsetDescriptor();

// ---- Sections.
// A long-form section (syntax indicator 1) with the five-byte header after the
// length: table_id_extension, version/current_next, section_number,
// last_section_number; `body` follows, then the CRC_32.
Bytes longSection(uint8_t tableId, uint16_t tableIdExtension, uint8_t version, uint8_t sectionNumber,
                  uint8_t lastSectionNumber, const Bytes& body, bool currentNext = true);

struct NitTransportStream {
    uint16_t transportStreamId = 0;
    uint16_t originalNetworkId = 0;
    Bytes descriptors;  // concatenated, in broadcast order
};
struct Nit {
    uint8_t tableId = 0x40;
    uint16_t networkId = 0;
    uint8_t version = 0;
    uint8_t sectionNumber = 0, lastSectionNumber = 0;
    Bytes networkDescriptors;
    std::vector<NitTransportStream> transportStreams;
};
Bytes nitSection(const Nit& nit);

struct SdtService {
    uint16_t serviceId = 0;
    bool eitSchedule = true;
    bool eitPresentFollowing = true;
    uint8_t runningStatus = 4;  // running
    bool freeCaMode = false;
    Bytes descriptors;
};
struct Sdt {
    uint8_t tableId = 0x42;
    uint16_t transportStreamId = 0;
    uint16_t originalNetworkId = 0;
    uint8_t version = 0;
    uint8_t sectionNumber = 0, lastSectionNumber = 0;
    std::vector<SdtService> services;
};
Bytes sdtSection(const Sdt& sdt);

struct EitEvent {
    uint16_t eventId = 0;
    int64_t start = 0;      // broadcastTime
    int32_t duration = 0;   // seconds
    uint8_t runningStatus = 0;
    bool freeCaMode = false;
    Bytes descriptors;
};
struct Eit {
    uint8_t tableId = 0x4E;
    uint16_t serviceId = 0;
    uint16_t transportStreamId = 0;
    uint16_t originalNetworkId = 0;
    uint8_t version = 0;
    uint8_t sectionNumber = 0, lastSectionNumber = 0;
    uint8_t segmentLastSectionNumber = 0;
    uint8_t lastTableId = 0;
    std::vector<EitEvent> events;
};
Bytes eitSection(const Eit& eit);

// TOT (0x73): time as broadcast (JST) in the UTC_time field, then descriptors.
Bytes totSection(int64_t jst, const Bytes& descriptors = localTimeOffsetDescriptor());

struct EitService {
    uint16_t serviceId = 0;
    uint16_t transportStreamId = 0;
    uint16_t originalNetworkId = 0;
};

// EIT present/following (0x4E) sections 0 and 1; a missing event gives a
// section without events.
std::vector<Bytes> presentFollowingSections(const EitService& service, uint8_t version, const EitEvent* present,
                                            const EitEvent* following, uint8_t tableId = 0x4E);

// EIT schedule sections for `days` days from `firstDay` (00:00 of the first
// day): firstTableId is 0x50, 0x58, 0x60 or 0x68; four days per table id, one
// three-hour segment = eight section numbers (segment * 8 + n). Events go to
// the segment they start in, at most `eventsPerSection` to a section (more
// when a segment has more events than its eight sections hold); a segment
// without events gets one section without events. Events outside the days
// are left out.
std::vector<Bytes> scheduleSections(const EitService& service, uint8_t firstTableId, int64_t firstDay, int days,
                                    std::vector<EitEvent> events, uint8_t version, int eventsPerSection = 1);

}  // namespace corvane::broadcast
