// What the user set for each service: the column order and visibility and
// the numbers and names handed to the recording applications. The layout
// reads them at every build through this interface; the shell answers from
// the settings file.
#pragma once

#include <string>

#include "store/epg_store.h"

namespace corvane {

class ServicePreferences {
public:
    virtual ~ServicePreferences() = default;
    // Columns are ordered by this value, ascending; 300 when none is set.
    virtual int sortValue(const ServiceRecord& service) = 0;
    virtual void setSortValue(const ServiceRecord& service, int sortValue) = 0;
    // 1 = the service has a column; anything else hides it. 1 when none is set.
    virtual int columnShown(const ServiceRecord& service) = 0;
    virtual void setColumnShown(const ServiceRecord& service, int shown) = 0;
    // The iEPG station name (up to 99 bytes); empty when none is set.
    virtual std::string stationName(const ServiceRecord& service) = 0;
    // The remote-control channel number; 0 when none is set.
    virtual int remoteNumber(const ServiceRecord& service) = 0;
    // The capture device's channel text (up to 99 bytes); empty when none is set.
    virtual std::string vurdaChNo(const ServiceRecord& service) = 0;
};

// "%d" with the service id for terrestrial services, "%d:%d" with the id and
// network class otherwise: the name of a service in the settings file.
std::string channelKey(const ServiceRecord& record);

}  // namespace corvane
