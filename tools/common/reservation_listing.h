// The listing printed by `corvane-epg reservations`: one line per record of
// the reservation list, in its order:
//   KIND START END SERVICE_ID EVENT_ID CONFLICT VALID NETWORK_KIND TITLE_HEX
// Times in seconds since 1970, numbers decimal, the Shift_JIS title in
// lower-case hex ("-" when empty).
#pragma once

#include <string>

#include "reserve/reservations.h"

namespace corvane {

std::string reservationListing(const ReservationList& list);

}  // namespace corvane
