// The change listing printed by `corvane-epg changes`: one tab-separated line
// per change record, in list order:
//   SERVICE_ID CLASS OLD_START OLD_END OLD_VIDEO OLD_AUDIO OLD_GENRE OLD_NAME_HEX
//   NEW_START NEW_END NEW_VIDEO NEW_AUDIO NEW_GENRE NEW_NAME_HEX
// Times are local "YYYY-MM-DD HH:MM" or "-" for 0, numbers decimal, names the
// raw bytes in lower-case hex or "-" when empty.
#pragma once

#include <string>

#include "reserve/change_detection.h"

namespace corvane {

std::string changeListing(const ChangeList& changes);

}  // namespace corvane
