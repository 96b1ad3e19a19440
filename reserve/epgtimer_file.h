// EpgTimer's reservation file: one tab-separated line per reservation, in
// the layout the registration writes ("2026/12/07\t21:00\t01:00\tTITLE\t
// STATION\tCHANNEL\tSERVICE_ID\tEVENT_ID\t..."), read back against the
// services of the store.
#pragma once

#include <cstddef>
#include <string_view>

#include "reserve/reservations.h"
#include "store/epg_store.h"

namespace corvane {

// The channel value decides the network: up to 65536 terrestrial, above it
// BS when its low 16 bits are 0x4000 or more, else CS.
enum class EpgTimerNetwork { terrestrial, bs, cs };
EpgTimerNetwork epgTimerNetworkOf(int64_t channelValue);

// The first of the store's services (table order, at most 300) with
// `serviceId` whose network class fits; -1 when none.
int findEpgTimerService(const EpgStore& store, int64_t serviceId, EpgTimerNetwork network);

// Appends one record (kind 0, valid 1) per line whose fields are all there
// up to the event id, whose times are local times and whose channel is in
// the store. A last line without LF (a file still being written) counts
// only when a TAB follows its event id.
void readEpgTimerReservations(std::string_view file, const EpgStore& store, ReservationList& out);

}  // namespace corvane
