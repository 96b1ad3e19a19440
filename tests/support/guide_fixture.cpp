#include "support/guide_fixture.h"

namespace corvane {

namespace bc = corvane::broadcast;

int64_t localOf(int64_t broadcast) {
    const bc::CivilTime c = bc::civilTime(broadcast);
    return localTimeOf(c.year, c.month, c.day, c.hour, c.minute, c.second);
}

static void put(EpgStore* store, uint8_t tableId, uint16_t serviceId, int networkId, int section,
                const std::vector<Programme>& programmes) {
    bc::Eit eit{.tableId = tableId, .serviceId = serviceId, .transportStreamId = 1,
                .originalNetworkId = static_cast<uint16_t>(networkId), .version = 1,
                .sectionNumber = static_cast<uint8_t>(section), .lastSectionNumber = 0xFF, .events = {}};
    for (const Programme& p : programmes) {
        const auto id = static_cast<uint16_t>(section * 100 + 1 + eit.events.size());
        bc::Bytes& d =
            eit.events.emplace_back(bc::EitEvent{.eventId = id, .start = p.start, .duration = p.seconds, .descriptors = {}})
                .descriptors;
        auto add = [&d](const bc::Bytes& more) { d.insert(d.end(), more.begin(), more.end()); };
        if (!p.title.empty() || !p.text.empty()) add(bc::shortEventDescriptor(p.title, p.text));
        if (p.componentType >= 0) add(bc::componentDescriptor(0x01, static_cast<uint8_t>(p.componentType)));
        if (p.genre >= 0) add(bc::contentDescriptor({{static_cast<uint8_t>(p.genre), static_cast<uint8_t>(p.subGenre)}}));
    }
    const bc::Bytes bytes = bc::eitSection(eit);
    storeEitSection(store, bytes.data(), bytes.size());
}

void putSchedule(EpgStore* store, uint16_t serviceId, int networkId, int sequence,
                 const std::vector<Programme>& programmes) {
    put(store, static_cast<uint8_t>(0x50 + sequence / 256), serviceId, networkId, sequence % 256, programmes);
}

void putPresentFollowing(EpgStore* store, uint16_t serviceId, int networkId, int section,
                         const std::vector<Programme>& programmes) {
    put(store, 0x4E, serviceId, networkId, section, programmes);
}

}  // namespace corvane
