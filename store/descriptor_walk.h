// The one walk over an event's descriptor loop: tag and body of each
// descriptor in order, every body bounded by the loop.
#pragma once

#include <cstdint>

#include "store/byte_reader.h"
#include "store/epg_store.h"

namespace corvane {

// Calls visit(tag, body) for each descriptor of the event, in order. A
// descriptor that claims more bytes than the loop holds is cut at the loop
// end and is the last one visited.
template <typename Visit>
void forEachDescriptor(const EventView& event, Visit visit) {
    ByteReader loop(event.descriptors(), event.descriptorsLength());
    while (loop.remaining() >= 2) {
        const uint8_t tag = loop.u8();
        ByteReader body = loop.window(loop.u8());
        visit(tag, body);
    }
}

// True when the event carries a descriptor with this tag.
inline bool hasDescriptor(const EventView& event, uint8_t tag) {
    bool found = false;
    forEachDescriptor(event, [&](uint8_t t, const ByteReader&) { found = found || t == tag; });
    return found;
}

}  // namespace corvane
