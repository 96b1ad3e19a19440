// What the collection needs to know about the guide's channels beyond the
// store: the iEPG station names TvRock entries may name, and the
// remote-control numbers capture-tool jobs name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "guide/service_preferences.h"
#include "store/epg_store.h"

namespace corvane {

// The channel values of the store's services, each kind read once for all
// services when first needed: one collection reads the settings at most
// twice per service, however many entries it matches.
class ChannelTable {
public:
    ChannelTable(const EpgStore& store, ServicePreferences& preferences) : store_(store), preferences_(preferences) {}
    // The first service (table order, at most 300) whose stored station name
    // equals `name` exactly; -1 when none does or `name` is empty.
    int findStation(std::string_view name);
    // The first service whose network class is `networkClass` (6 also takes
    // 7: both are CS) and whose remote-control number, as the guide shows it,
    // is `number`; -1 when none.
    int findRemoteNumber(int networkClass, int64_t number);

private:
    int serviceCount() const;

    const EpgStore& store_;
    ServicePreferences& preferences_;
    std::vector<std::string> stations_;
    std::vector<int> remoteNumbers_;
    bool stationsRead_ = false;
    bool remoteNumbersRead_ = false;
};

}  // namespace corvane
