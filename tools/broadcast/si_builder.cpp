#include "tools/broadcast/si_builder.h"

#include <algorithm>

namespace corvane::broadcast {
namespace {

void put16(Bytes& out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void put32(Bytes& out, uint32_t v) {
    put16(out, v >> 16);
    put16(out, v & 0xFFFF);
}

// reserved bits (all ones) in the top four bits, a 12-bit length below
void putLength12(Bytes& out, size_t n) { put16(out, 0xF000 | (n & 0x0FFF)); }

void append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

void appendLanguage(Bytes& out, const char* code) { out.insert(out.end(), code, code + 3); }

// A length-prefixed text field, cut to what one length byte can say.
void appendText8(Bytes& out, const AribText& text) {
    size_t n = std::min<size_t>(text.bytes.size(), 255);
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), text.bytes.begin(), text.bytes.begin() + n);
}

int64_t daysFromCivil(int y, int m, int d) {  // proleptic Gregorian, 1970-01-01 = 0
    y -= m <= 2;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

uint32_t crc32Mpeg2(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= static_cast<uint32_t>(data[i]) << 24;
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

Bytes finishSection(Bytes section) {
    if (section.size() < 3) section.resize(3, 0xFF);
    size_t length = section.size() - 3 + 4;
    section[1] = static_cast<uint8_t>((section[1] & 0xF0) | ((length >> 8) & 0x0F));
    section[2] = static_cast<uint8_t>(length);
    put32(section, crc32Mpeg2(section));
    return section;
}

int64_t broadcastTime(int year, int month, int day, int hour, int minute, int second) {
    return daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

CivilTime civilTime(int64_t t) {
    int64_t z = floorDiv(t, 86400);
    int64_t secs = t - z * 86400;
    z += 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    int year = static_cast<int>(yoe + era * 400 + (month <= 2));
    return {year, month, day, static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60),
            static_cast<int>(secs % 60)};
}

int modifiedJulianDate(int64_t t) { return static_cast<int>(floorDiv(t, 86400) + 40587); }

uint8_t bcd(int value) { return static_cast<uint8_t>(((value / 10 % 10) << 4) | (value % 10)); }

void appendStartTime(Bytes& out, int64_t t) {
    CivilTime c = civilTime(t);
    put16(out, static_cast<unsigned>(modifiedJulianDate(t)) & 0xFFFF);
    out.push_back(bcd(c.hour));
    out.push_back(bcd(c.minute));
    out.push_back(bcd(c.second));
}

void appendDuration(Bytes& out, int seconds) {
    out.push_back(bcd(seconds / 3600));
    out.push_back(bcd(seconds / 60 % 60));
    out.push_back(bcd(seconds % 60));
}

Bytes descriptor(uint8_t tag, const Bytes& data) {
    size_t n = std::min<size_t>(data.size(), 255);
    Bytes out(2 + n);
    out[0] = tag;
    out[1] = static_cast<uint8_t>(n);
    std::copy(data.begin(), data.begin() + n, out.begin() + 2);
    return out;
}

Bytes shortEventDescriptor(const AribText& name, const AribText& text) {
    Bytes d;
    appendLanguage(d, "jpn");
    appendText8(d, name);
    appendText8(d, text);
    return descriptor(0x4D, d);
}

Bytes extendedEventDescriptors(const std::vector<ExtendedItem>& items, bool packItems) {
    // Item region of one descriptor: 255 minus number, language, length_of_items, text_length.
    constexpr size_t kItemSpace = 255 - 6;
    std::vector<Bytes> regions;
    Bytes current;
    auto flush = [&] {
        if (!current.empty()) regions.push_back(std::move(current));
        current.clear();
    };
    for (const ExtendedItem& item : items) {
        if (!packItems) flush();
        const Bytes& description = item.description.bytes;
        size_t descriptionLength = std::min<size_t>(description.size(), kItemSpace - 2);
        const Bytes& text = item.text.bytes;
        size_t done = 0;
        bool first = true;
        do {
            size_t head = 2 + (first ? descriptionLength : 0);
            // keep at least one text byte with its description
            if (current.size() + head + (text.empty() ? 0 : 1) > kItemSpace) flush();
            size_t chunk = std::min(text.size() - done, kItemSpace - current.size() - head);
            current.push_back(static_cast<uint8_t>(first ? descriptionLength : 0));
            if (first) current.insert(current.end(), description.begin(), description.begin() + descriptionLength);
            current.push_back(static_cast<uint8_t>(chunk));
            current.insert(current.end(), text.begin() + done, text.begin() + done + chunk);
            done += chunk;
            first = false;
            if (done < text.size()) flush();
        } while (done < text.size());
    }
    flush();

    Bytes out;
    size_t last = regions.empty() ? 0 : regions.size() - 1;
    for (size_t i = 0; i < regions.size(); ++i) {
        Bytes d{static_cast<uint8_t>(((i & 0x0F) << 4) | (last & 0x0F))};
        appendLanguage(d, "jpn");
        d.push_back(static_cast<uint8_t>(regions[i].size()));
        append(d, regions[i]);
        d.push_back(0);  // text_length
        append(out, descriptor(0x4E, d));
    }
    return out;
}

Bytes componentDescriptor(uint8_t streamContent, uint8_t componentType, uint8_t componentTag, const AribText& text) {
    Bytes d{static_cast<uint8_t>(0xF0 | (streamContent & 0x0F)), componentType, componentTag};
    appendLanguage(d, "jpn");
    append(d, text.bytes);
    return descriptor(0x50, d);
}

Bytes audioComponentDescriptor(uint8_t componentType, uint8_t componentTag, uint8_t samplingRate,
                               const AribText& text) {
    bool bilingual = componentType == 0x02;  // dual mono: a second language
    Bytes d{0xF2, componentType, componentTag, 0x0F /* AAC */, 0xFF /* no simulcast group */};
    d.push_back(static_cast<uint8_t>((bilingual ? 0x80 : 0) | 0x40 /* main */ | 0x10 /* quality 1 */ |
                                     ((samplingRate & 7) << 1) | 1));
    appendLanguage(d, "jpn");
    if (bilingual) appendLanguage(d, "eng");
    append(d, text.bytes);
    return descriptor(0xC4, d);
}

Bytes contentDescriptor(const std::vector<Genre>& genres) {
    Bytes d;
    for (const Genre& g : genres) {
        d.push_back(static_cast<uint8_t>((g.level1 << 4) | (g.level2 & 0x0F)));
        d.push_back(g.user);
    }
    return descriptor(0x54, d);
}

Bytes serviceDescriptor(uint8_t serviceType, const AribText& provider, const AribText& name) {
    Bytes d{serviceType};
    appendText8(d, provider);
    appendText8(d, name);
    return descriptor(0x48, d);
}

Bytes serviceListDescriptor(const std::vector<ServiceListEntry>& services) {
    Bytes d;
    for (const ServiceListEntry& s : services) {
        put16(d, s.serviceId);
        d.push_back(s.serviceType);
    }
    return descriptor(0x41, d);
}

Bytes satelliteDeliveryDescriptor(const SatelliteDelivery& s) {
    Bytes d;
    put32(d, s.frequency);
    put16(d, s.orbitalPosition);
    d.push_back(static_cast<uint8_t>((s.east ? 0x80 : 0) | ((s.polarisation & 3) << 5) | (s.modulation & 0x1F)));
    put32(d, (s.symbolRate << 4) | (s.fecInner & 0x0F));
    return descriptor(0x43, d);
}

Bytes tsInformationDescriptor(const TsInformation& info) {
    size_t nameLength = std::min<size_t>(info.tsName.bytes.size(), 63);
    size_t types = std::min<size_t>(info.transmissionTypes.size(), 3);
    Bytes d{info.remoteControlKeyId, static_cast<uint8_t>((nameLength << 2) | types)};
    d.insert(d.end(), info.tsName.bytes.begin(), info.tsName.bytes.begin() + nameLength);
    for (size_t t = 0; t < types; ++t) {
        const TransmissionType& type = info.transmissionTypes[t];
        d.push_back(type.info);
        d.push_back(static_cast<uint8_t>(type.serviceIds.size()));
        for (uint16_t id : type.serviceIds) put16(d, id);
    }
    return descriptor(0xCD, d);
}

Bytes networkNameDescriptor(const AribText& name) { return descriptor(0x40, name.bytes); }

Bytes localTimeOffsetDescriptor() {
    Bytes d;
    appendLanguage(d, "JPN");
    d.push_back(0x02);             // country_region_id 0, reserved 1, polarity 0
    put16(d, 0x0000);              // local_time_offset
    d.insert(d.end(), 5, 0x00);    // time_of_change
    put16(d, 0x0000);              // next_time_offset
    return descriptor(0x58, d);
}

Bytes longSection(uint8_t tableId, uint16_t tableIdExtension, uint8_t version, uint8_t sectionNumber,
                  uint8_t lastSectionNumber, const Bytes& body, bool currentNext) {
    Bytes s{tableId, 0xF0, 0x00};  // syntax indicator, reserved bits; length set by finishSection
    put16(s, tableIdExtension);
    s.push_back(static_cast<uint8_t>(0xC0 | ((version & 0x1F) << 1) | (currentNext ? 1 : 0)));
    s.push_back(sectionNumber);
    s.push_back(lastSectionNumber);
    append(s, body);
    return finishSection(std::move(s));
}

Bytes nitSection(const Nit& nit) {
    Bytes body;
    putLength12(body, nit.networkDescriptors.size());
    append(body, nit.networkDescriptors);
    Bytes loop;
    for (const NitTransportStream& ts : nit.transportStreams) {
        put16(loop, ts.transportStreamId);
        put16(loop, ts.originalNetworkId);
        putLength12(loop, ts.descriptors.size());
        append(loop, ts.descriptors);
    }
    putLength12(body, loop.size());
    append(body, loop);
    return longSection(nit.tableId, nit.networkId, nit.version, nit.sectionNumber, nit.lastSectionNumber, body);
}

Bytes sdtSection(const Sdt& sdt) {
    Bytes body;
    put16(body, sdt.originalNetworkId);
    body.push_back(0xFF);
    for (const SdtService& s : sdt.services) {
        put16(body, s.serviceId);
        body.push_back(static_cast<uint8_t>(0xE0 | 0x1C | (s.eitSchedule ? 2 : 0) | (s.eitPresentFollowing ? 1 : 0)));
        put16(body, ((s.runningStatus & 7u) << 13) | (s.freeCaMode ? 0x1000u : 0u) | (s.descriptors.size() & 0x0FFF));
        append(body, s.descriptors);
    }
    return longSection(sdt.tableId, sdt.transportStreamId, sdt.version, sdt.sectionNumber, sdt.lastSectionNumber,
                       body);
}

Bytes eitSection(const Eit& eit) {
    Bytes body;
    put16(body, eit.transportStreamId);
    put16(body, eit.originalNetworkId);
    body.push_back(eit.segmentLastSectionNumber);
    body.push_back(eit.lastTableId);
    for (const EitEvent& e : eit.events) {
        put16(body, e.eventId);
        appendStartTime(body, e.start);
        appendDuration(body, e.duration);
        put16(body, ((e.runningStatus & 7u) << 13) | (e.freeCaMode ? 0x1000u : 0u) | (e.descriptors.size() & 0x0FFF));
        append(body, e.descriptors);
    }
    return longSection(eit.tableId, eit.serviceId, eit.version, eit.sectionNumber, eit.lastSectionNumber, body);
}

Bytes totSection(int64_t jst, const Bytes& descriptors) {
    Bytes s{0x73, 0x70, 0x00};  // no section syntax, yet a CRC_32 at the end
    appendStartTime(s, jst);
    putLength12(s, descriptors.size());
    append(s, descriptors);
    return finishSection(std::move(s));
}

std::vector<Bytes> presentFollowingSections(const EitService& service, uint8_t version, const EitEvent* present,
                                            const EitEvent* following, uint8_t tableId) {
    std::vector<Bytes> out;
    const EitEvent* events[2] = {present, following};
    for (uint8_t n = 0; n < 2; ++n) {
        Eit eit{tableId, service.serviceId, service.transportStreamId, service.originalNetworkId, version, n, 1, 1,
                tableId, {}};
        if (events[n]) eit.events.push_back(*events[n]);
        out.push_back(eitSection(eit));
    }
    return out;
}

std::vector<Bytes> scheduleSections(const EitService& service, uint8_t firstTableId, int64_t firstDay, int days,
                                    std::vector<EitEvent> events, uint8_t version, int eventsPerSection) {
    constexpr int64_t kSegment = 3 * 3600;
    constexpr int kSegmentsPerTable = 32;  // four days
    days = std::clamp(days, 1, 32);
    eventsPerSection = std::max(eventsPerSection, 1);
    int segments = days * 8;
    int tables = (segments + kSegmentsPerTable - 1) / kSegmentsPerTable;

    std::stable_sort(events.begin(), events.end(),
                     [](const EitEvent& a, const EitEvent& b) { return a.start < b.start; });
    std::vector<std::vector<EitEvent>> bySegment(segments);
    for (EitEvent& e : events) {
        if (e.start < firstDay) continue;
        int64_t segment = (e.start - firstDay) / kSegment;
        if (segment < segments) bySegment[segment].push_back(std::move(e));
    }

    // Split each segment into at most eight sections.
    std::vector<std::vector<std::vector<EitEvent>>> chunks(segments);
    for (int s = 0; s < segments; ++s) {
        std::vector<EitEvent>& list = bySegment[s];
        size_t per = std::max<size_t>(eventsPerSection, (list.size() + 7) / 8);
        if (list.empty()) chunks[s].emplace_back();
        for (size_t i = 0; i < list.size(); i += per)
            chunks[s].emplace_back(list.begin() + i, list.begin() + std::min(list.size(), i + per));
    }

    std::vector<Bytes> out;
    uint8_t lastTableId = static_cast<uint8_t>(firstTableId + tables - 1);
    for (int t = 0; t < tables; ++t) {
        int first = t * kSegmentsPerTable;
        int end = std::min(segments, first + kSegmentsPerTable);
        int lastSegment = end - 1 - first;
        uint8_t lastSection = static_cast<uint8_t>(lastSegment * 8 + chunks[end - 1].size() - 1);
        for (int s = first; s < end; ++s) {
            uint8_t base = static_cast<uint8_t>((s - first) * 8);
            uint8_t segmentLast = static_cast<uint8_t>(base + chunks[s].size() - 1);
            for (size_t n = 0; n < chunks[s].size(); ++n) {
                Eit eit{static_cast<uint8_t>(firstTableId + t), service.serviceId, service.transportStreamId,
                        service.originalNetworkId, version, static_cast<uint8_t>(base + n), lastSection,
                        segmentLast, lastTableId, std::move(chunks[s][n])};
                out.push_back(eitSection(eit));
            }
        }
    }
    return out;
}

}  // namespace corvane::broadcast
