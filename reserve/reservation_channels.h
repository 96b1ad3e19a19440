// What the collection needs to know about the guide's channels beyond the
// store: the iEPG station names TvRock entries may name, and the
// remote-control numbers capture-tool jobs name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/epg_store.h"

namespace corvane {

class ReservationChannelSettings {
public:
    virtual ~ReservationChannelSettings() = default;
    // The service's stored iEPG station name; empty when none is stored.
    virtual std::string iepgStationName(const ServiceRecord& record) = 0;
    // The remote-control channel number the guide shows for the service.
    virtual int remoteNumber(const ServiceRecord& record) = 0;
};

// The station names of the store's services, read once, when first needed.
class StationNameTable {
public:
    StationNameTable(const EpgStore& store, ReservationChannelSettings& settings)
        : store_(store), settings_(settings) {}
    // The first service (table order, at most 300) whose stored name equals
    // `name` exactly; -1 when none does or `name` is empty.
    int find(std::string_view name);

private:
    const EpgStore& store_;
    ReservationChannelSettings& settings_;
    std::vector<std::string> names_;
    bool loaded_ = false;
};

}  // namespace corvane
