// The JSON document of `corvane-epg json`: an array of programme objects in
// the format of the Japanese recording servers, one object a line:
//   id          (ORIGINAL_NETWORK_ID * 100000 + SERVICE_ID) * 100000 + EVENT_ID
//   eventId, serviceId, networkId (the original network id)
//   startAt     milliseconds since 1970 (UTC)
//   duration    milliseconds; absent when the broadcast leaves it undefined
//   isFree      free_CA_mode is 0
//   name, description   the short event's name and text
//   extended    { item description: item text } in broadcast order
//   genres      [{ lv1, lv2, un1, un2 }] of the content descriptor ([] without one)
//   video       { type, resolution, streamContent, componentType } of the
//               component descriptor (absent without one; type and
//               resolution only when known)
//   audios      [{ componentType, samplingRate (Hz, when known), langs (ISO 639, when known) }]
#pragma once

#include "store/epg_store.h"
#include "tools/common/guide_export.h"

namespace corvane {

void writeProgrammeJson(const EpgStore& store, const ExportFilter& filter, ExportOutput& out);

// The `id` of a programme.
int64_t programmeJsonId(int originalNetworkId, int serviceId, int eventId);

}  // namespace corvane
