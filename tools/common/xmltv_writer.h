// The XMLTV document of `corvane-epg xmltv` (UTF-8, the element order of the
// XMLTV DTD):
//   <channel id="SERVICE_ID.ORIGINAL_NETWORK_ID.isdb"> per service with
//   programmes: <display-name lang="ja"> the service name, <display-name> the
//   channel number label (the guide column name when there is neither);
//   <programme start stop channel> per programme, times "YYYYMMDDhhmmss +0900"
//   on the broadcast's clock (no stop when the duration is undefined), with
//   title, desc (the short text, then "description\ntext" paragraphs of the
//   extended items), categories (Japanese major and sub-genre names of the
//   genre table, English major names), <episode-num system="isdb_event">
//   "ORIGINAL_NETWORK_ID.SERVICE_ID.EVENT_ID", video aspect and quality (SD or
//   HD) from the component, audio stereo from the audio component.
#pragma once

#include <string>

#include "store/epg_store.h"
#include "tools/common/guide_export.h"

namespace corvane {

void writeXmltv(const EpgStore& store, const ExportFilter& filter, ExportOutput& out);

// "SERVICE_ID.ORIGINAL_NETWORK_ID.isdb", the id of a channel.
std::string xmltvChannelId(const ExportChannel& channel);

// "YYYYMMDDhhmmss +0900" of a time on the broadcast's clock.
std::string xmltvTime(int64_t broadcastClock);

}  // namespace corvane
