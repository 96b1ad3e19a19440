// The service information tables that describe services and time, each
// handed one whole section (table_id through CRC_32) by the transport-stream
// reader, which has assembled it and checked its CRC (the time table, taken
// from a single packet, is not checked). They file what they find into the
// store; sections of other tables are ignored.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/epg_store.h"

namespace corvane {

// NIT actual (table 0x40): per television service its transport_stream_id,
// satellite frequency and delivering network; per service named by a TS
// information descriptor its remote control key id and TS name. Creates
// records only for the services of a service list.
void handleNitSection(EpgStore* store, const uint8_t* section, size_t size);

// SDT actual (table 0x42): provider and service names of digital television
// services, raw (ARIB-coded), cut to their 50-byte fields.
void handleSdtSection(EpgStore* store, const uint8_t* section, size_t size);

// TOT (table 0x73): the current date and time into the store's TOT fields.
void handleTotSection(EpgStore* store, const uint8_t* section, size_t size);

}  // namespace corvane
