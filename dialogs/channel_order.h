// The rows of the channel order dialog: which services get a guide column
// and in which order. The list starts in the guide's column order (sort value
// ascending, equal values in store order); "上へ" and "下へ" move the selected
// rows; "OK" numbers the rows 0, 1, 2 ... as the new sort values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "guide/guide_event.h"
#include "guide/service_preferences.h"
#include "store/epg_store.h"

namespace corvane {

// Sort value of a service that has none stored.
constexpr int kDefaultSortValue = 300;

// A row's item value: networkClass × 65536 + serviceId, enough to find the
// service again.
constexpr int32_t channelItemValue(int networkClass, int serviceId) {
    return networkClass * 65536 + (serviceId & 0xFFFF);
}
constexpr int networkClassOfItem(int32_t item) { return item >> 16; }
constexpr int serviceIdOfItem(int32_t item) { return item & 0xFFFF; }

// A service with programmes, as the dialog finds it (in store order).
struct ChannelOrderService {
    std::string name;  // its column name
    int networkClass = 0;
    int serviceId = 0;
    int columnDisp = 1;                  // as stored; the guide shows a column for 1 only
    int sortValue = kDefaultSortValue;   // as stored
};

struct ChannelOrderRow {
    std::string name;
    int32_t item = 0;
    int sortValue = kDefaultSortValue;
    bool ticked = false;    // the service gets a column
    bool selected = false;

    bool operator==(const ChannelOrderRow&) const = default;
};

// The rows in the order the dialog opens with: ascending sort value, equal
// values keeping the order given. Ticked where the guide shows a column.
std::vector<ChannelOrderRow> channelOrderRows(const std::vector<ChannelOrderService>& services);

enum class RowMove { up, down };

// Moves each selected row one place up (or down) when the row it would take
// is not selected, so a selected block moves as one and a block at the edge
// of the list stays. Rows keep their selection. Returns where the first row
// moved now stands (the topmost for up, the bottommost for down) for the list
// to scroll to, or -1 when nothing moved.
int moveSelectedRows(std::vector<ChannelOrderRow>& rows, RowMove move);

// What "OK" stores for each row, in list order: the column shown (1) or
// hidden (0), and the row number as its sort value.
struct ChannelOrderChoice {
    int networkClass = 0;
    int serviceId = 0;
    int shown = 0;
    int sortValue = 0;

    bool operator==(const ChannelOrderChoice&) const = default;
};

std::vector<ChannelOrderChoice> channelOrderChoices(const std::vector<ChannelOrderRow>& rows);

// The services of the dialog taken from the guide, stored back through the
// per-service preferences.

// In store order, the services with programmes in the last layout (`listed`),
// with their column names, and their visibility and sort value as stored now.
std::vector<ChannelOrderService> channelOrderServices(const EpgStore& store, const ChannelInfo (&channels)[kMaxServices],
                                                      ServicePreferences& preferences);

// Stores each choice of "OK" for the service of the store it names; a choice
// naming no service of the store is dropped.
void storeChannelOrder(const EpgStore& store, const std::vector<ChannelOrderChoice>& choices,
                       ServicePreferences& preferences);

}  // namespace corvane
