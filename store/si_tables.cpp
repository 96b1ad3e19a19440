#include "store/si_tables.h"

#include <algorithm>
#include <cstring>

#include "store/byte_reader.h"
#include "store/si_ids.h"

namespace corvane {

namespace {

constexpr uint8_t kDigitalTelevision = 0x01;

// The record of (networkClass, serviceId) when there is one; none is created.
ServiceRecord* existingService(EpgStore* store, int networkClass, int serviceId) {
    for (ServiceRecord* record : store->services) {
        if (!record) break;
        if (record->identifiedBy(networkClass, serviceId)) return record;
    }
    return nullptr;
}

void takeTsInformation(EpgStore* store, ByteReader data, int networkClass, const uint8_t* frequency,
                       bool frequencySeen) {
    const uint8_t remoteKeyId = data.u8();
    const uint8_t b = data.u8();
    const size_t nameLength = std::min<size_t>(b >> 2, data.remaining());
    const uint8_t* name = data.bytes(nameLength);
    const int transmissionTypes = b & 0x03;
    if (data.error()) return;
    for (int t = 0; t < transmissionTypes && !data.error(); ++t) {
        data.u8();  // transmission_type_info
        const int services = data.u8();
        for (int s = 0; s < services && data.remaining() >= 2; ++s) {
            ServiceRecord* record = existingService(store, networkClass, data.u16());
            if (!record) continue;
            record->remoteKeyId = remoteKeyId;
            const size_t kept = std::min<size_t>(nameLength, kNameCapacity);
            if (kept) std::memcpy(record->tsName, name, kept);
            record->tsNameLength = static_cast<uint16_t>(kept);
            // Without a satellite descriptor in this section there is no
            // frequency to give; the one the service had stays.
            if (frequencySeen) std::memcpy(record->satelliteFrequency, frequency, 4);
            record->deliveryNetworkClass = static_cast<uint16_t>(networkClass);
        }
    }
}

size_t copyName(uint8_t* field, ByteReader& data) {
    const size_t length = data.u8();
    const size_t available = std::min(length, data.remaining());
    const uint8_t* bytes = data.bytes(available);
    const size_t kept = std::min<size_t>(available, kNameCapacity);
    if (kept) std::memcpy(field, bytes, kept);
    return kept;
}

// The section without its CRC: what the table's loops may walk.
ByteReader sectionBody(const uint8_t* section, size_t size, uint8_t tableId) {
    if (!section || size < 3 + kCrcSize || section[0] != tableId) return {};
    return ByteReader(section, size - kCrcSize);
}

}  // namespace

void handleNitSection(EpgStore* store, const uint8_t* section, size_t size) {
    ByteReader reader = sectionBody(section, size, kTableNitActual);
    if (!store || reader.atEnd()) return;
    reader.skip(3);
    const int networkClass = networkClassOf(reader.u16());
    reader.skip(3);
    reader.skip(reader.u12());                         // network descriptors
    ByteReader streams = reader.window(reader.u12());  // transport-stream loop, cut at the CRC

    uint8_t lastFrequency[4] = {};
    bool frequencySeen = false;  // in this section
    while (!streams.atEnd()) {
        const uint16_t transportStreamId = streams.u16();
        streams.u16();  // original_network_id
        ByteReader descriptors = streams.window(streams.u12());

        // A service list can come before the satellite descriptor that
        // gives its frequency; its TV services wait for it here. One entry
        // cannot list more services than its 12-bit loop holds.
        uint16_t pending[4096 / 3];
        size_t pendingCount = 0;
        bool satelliteSeen = false;
        auto describe = [&](int serviceId) {
            int index = findOrCreateService(store, networkClass, serviceId);
            if (index >= kMaxServices) return;
            ServiceRecord* record = store->services[index];
            std::memcpy(record->satelliteFrequency, lastFrequency, 4);
            record->transportStreamId = transportStreamId;
            record->deliveryNetworkClass = static_cast<uint16_t>(networkClass);
        };

        while (descriptors.remaining() >= 2) {
            const uint8_t tag = descriptors.u8();
            ByteReader data = descriptors.window(descriptors.u8());
            if (tag == kTagServiceList) {
                while (data.remaining() >= 3) {
                    const uint16_t serviceId = data.u16();
                    if (data.u8() != kDigitalTelevision) continue;
                    if (satelliteSeen)
                        describe(serviceId);
                    else if (pendingCount < sizeof pending / sizeof pending[0])
                        pending[pendingCount++] = serviceId;
                }
            } else if (tag == kTagSatelliteDelivery) {
                if (data.remaining() < 4) continue;
                std::memcpy(lastFrequency, data.bytes(4), 4);
                frequencySeen = satelliteSeen = true;
                for (size_t i = 0; i < pendingCount; ++i) describe(pending[i]);
                pendingCount = 0;
            } else if (tag == kTagTsInformation) {
                takeTsInformation(store, data, networkClass, lastFrequency, frequencySeen);
                break;  // the rest of the entry is not examined
            }
        }
    }
}

void handleSdtSection(EpgStore* store, const uint8_t* section, size_t size) {
    ByteReader reader = sectionBody(section, size, kTableSdtActual);
    if (!store || reader.atEnd()) return;
    reader.skip(8);
    const int networkClass = networkClassOf(reader.u16());
    reader.skip(1);
    while (!reader.atEnd()) {
        const uint16_t serviceId = reader.u16();
        reader.u8();
        ByteReader descriptors = reader.window(reader.u12());
        if (reader.error() && descriptors.remaining() == 0) break;
        while (descriptors.remaining() >= 2) {
            const uint8_t tag = descriptors.u8();
            ByteReader data = descriptors.window(descriptors.u8());
            if (tag != kTagService || data.u8() != kDigitalTelevision) continue;
            uint8_t provider[kNameCapacity], name[kNameCapacity];
            const size_t providerLength = copyName(provider, data);
            const size_t nameLength = copyName(name, data);
            if (providerLength || nameLength) {
                int index = findOrCreateService(store, networkClass, serviceId);
                if (index < kMaxServices) {
                    ServiceRecord* record = store->services[index];
                    if (providerLength) {
                        record->providerNameLength = static_cast<uint16_t>(providerLength);
                        std::memcpy(record->providerName, provider, providerLength);
                    }
                    if (nameLength) {
                        record->serviceNameLength = static_cast<uint16_t>(nameLength);
                        std::memcpy(record->serviceName, name, nameLength);
                    }
                }
            }
            break;  // only the first TV service descriptor of an entry counts
        }
    }
}

void handleTotSection(EpgStore* store, const uint8_t* section, size_t size) {
    // JST_time: 16-bit MJD, then hour, minute and second in BCD.
    if (!store || !section || size < 8 || section[0] != kTableTot) return;
    const Date date = mjdToDate((section[3] << 8) | section[4]);
    store->totYear = date.year;
    store->totMonth = date.month;
    store->totDay = date.day;
    store->totHour = decodeBcd(section[5]);
    store->totMinute = decodeBcd(section[6]);
    store->totSecond = decodeBcd(section[7]);
    store->totTime =
        localTimeOf(date.year, date.month, date.day, store->totHour, store->totMinute, store->totSecond);
}

}  // namespace corvane
