// A programme as the guide holds it, decoded from the store, and what the
// guide knows of a service's column: the two things the registrations and
// the list windows read of the guide without its layout.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/epg_store.h"

namespace corvane {

struct GuideEvent {
    int64_t start = 0;
    int64_t end = 0;
    int32_t eventId = 0;
    int32_t titleHeight = 0;  // title block height as last painted; 0 until painted
    int32_t titleOffset = 0;  // and how far below the programme's top edge it was drawn
    int32_t genre = -1;       // content_nibble_level_1, -1 when none
    int32_t subGenre = -1;
    uint8_t videoType = 0;
    uint8_t audioType = 0;
    std::string title;   // Shift_JIS, at most 159 bytes
    std::string detail;  // at most 339 bytes
};

// The guide's programmes of each store service, in time order.
using GuideEventLists = std::vector<GuideEvent>[kMaxServices];

struct ChannelInfo {
    std::string columnName;   // as the columns, menus, lists and popup show it, at most 49 bytes
    std::string ruleName;     // the name rule's own result (columnNameOf): what the station name
                              // and the capture tool's file names default to
    std::string stationName;  // iEPG station name
    int remoteNumber = 0;
    std::string vurdaChNo;    // the capture device's channel text
    int listed = 0;           // has events after the last layout
    int columnX = 0;          // content x as last painted
};

// Column name of a service: its TS name, service name or a label.
std::string columnNameOf(const EpgStore& store, int index);

// The names the guide shows for every service of the store, by store index:
// columnNameOf, except where it gives two services one name. Those take their
// own service name, or without one their number label, where that tells them
// apart from the others of that name; the rest keep the rule's name.
std::vector<std::string> shownColumnNames(const EpgStore& store);
// The same from the rule's names of the store's services, in store order.
std::vector<std::string> shownColumnNames(const EpgStore& store, std::vector<std::string> ruleNames);

// The shown name of store service `index` from such a list; empty for an
// index outside it.
inline std::string shownNameAt(const std::vector<std::string>& names, int index) {
    return index >= 0 && static_cast<size_t>(index) < names.size() ? names[index] : std::string();
}

// The remote-control number of a service when no "RemoconChNo" is stored:
// the service id on satellites, the remote control key id on the ground.
int defaultRemoteNumber(const ServiceRecord& record);

// The device channel text of a service when no "VurdaChNo" is stored.
std::string derivedVurdaChNo(const ServiceRecord& record);

}  // namespace corvane
