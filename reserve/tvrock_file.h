// TvRock's schedule file: lines of "NUMBER KEY VALUE"; consecutive lines with
// the same number make one entry (START, END, TITLE, SERVICEID, EVENTID,
// STATION, VALIDATE), read back against the services of the store.
#pragma once

#include <string_view>

#include "reserve/reservation_channels.h"
#include "reserve/reservations.h"
#include "store/epg_store.h"

namespace corvane {

// Appends one record (kind 1) per entry that has a START, an END and a
// TITLE and whose service is known: from SERVICEID, or, when that is 0 or
// missing, from the service whose iEPG station name equals STATION.
void readTvRockReservations(std::string_view file, const EpgStore& store, ChannelTable& channels,
                            ReservationList& out);

}  // namespace corvane
