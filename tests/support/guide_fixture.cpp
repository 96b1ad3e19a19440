#include "support/guide_fixture.h"

namespace corvane {

namespace bc = corvane::broadcast;

int64_t localOf(int64_t broadcast) {
    bc::CivilTime c = bc::civilTime(broadcast);
    return localTimeOf(c.year, c.month, c.day, c.hour, c.minute, c.second);
}

static std::vector<bc::EitEvent> eventsOf(const std::vector<Programme>& programmes, int firstId) {
    std::vector<bc::EitEvent> events;
    int id = firstId;
    for (const Programme& p : programmes) {
        bc::EitEvent e;
        e.eventId = p.eventId ? p.eventId : static_cast<uint16_t>(id);
        ++id;
        e.start = p.start;
        e.duration = p.seconds;
        if (!p.title.empty() || !p.text.empty()) {
            bc::Bytes d = bc::shortEventDescriptor(bc::AribText(p.title), bc::AribText(p.text));
            e.descriptors.insert(e.descriptors.end(), d.begin(), d.end());
        }
        if (p.componentType >= 0) {
            bc::Bytes d = bc::componentDescriptor(0x01, static_cast<uint8_t>(p.componentType));
            e.descriptors.insert(e.descriptors.end(), d.begin(), d.end());
        }
        if (p.genre >= 0) {
            bc::Bytes d = bc::contentDescriptor({{static_cast<uint8_t>(p.genre), static_cast<uint8_t>(p.subGenre)}});
            e.descriptors.insert(e.descriptors.end(), d.begin(), d.end());
        }
        events.push_back(std::move(e));
    }
    return events;
}

static void put(EpgStore* store, uint8_t tableId, uint16_t serviceId, int networkId, int section,
                const std::vector<Programme>& programmes, uint8_t version) {
    bc::Eit eit;
    eit.tableId = tableId;
    eit.serviceId = serviceId;
    eit.transportStreamId = 1;
    eit.originalNetworkId = static_cast<uint16_t>(networkId);
    eit.version = version;
    eit.sectionNumber = static_cast<uint8_t>(section);
    eit.lastSectionNumber = 0xFF;
    eit.events = eventsOf(programmes, section * 100 + 1);
    bc::Bytes bytes = bc::eitSection(eit);
    storeEitSection(store, bytes.data(), bytes.size());
}

void putSchedule(EpgStore* store, uint16_t serviceId, int networkId, int sequence,
                 const std::vector<Programme>& programmes, uint8_t version, uint8_t tableBase) {
    put(store, static_cast<uint8_t>(tableBase + sequence / 256), serviceId, networkId, sequence % 256, programmes,
        version);
}

void putPresentFollowing(EpgStore* store, uint16_t serviceId, int networkId, int section,
                         const std::vector<Programme>& programmes, uint8_t version) {
    put(store, 0x4E, serviceId, networkId, section, programmes, version);
}

}  // namespace corvane
