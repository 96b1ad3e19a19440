// The event listing printed by `corvane-epg list`: one tab-separated line per
// event of every non-empty basic schedule slot, in service order, then slot
// order, then the order of the section's events:
//   SERVICE_ID CLASS EVENT_ID START END GENRE1 GENRE2 COMPONENT_TYPE AUDIO_TYPE TITLE TEXT
// Times are local "YYYY-MM-DD HH:MM", absent genres -1, types decimal; title
// and text as the guide decodes them, in UTF-8, with tab, CR and LF written
// as \t, \r and \n.
#pragma once

#include <functional>
#include <string>

#include "store/epg_store.h"
#include "store/event_decode.h"

namespace corvane {

// Which events a listing keeps: the store index of the service, the event
// and what the guide takes from it. No choice keeps every event.
using EventChoice = std::function<bool(int service, const EventView& event, const EventSummary& summary)>;

std::string eventListing(const EpgStore& store, const EventChoice& keep = {});

}  // namespace corvane
