#include "reserve/reservation_channels.h"

#include "guide/guide_event.h"

namespace corvane {

int ChannelTable::serviceCount() const {
    int count = 0;
    while (count < kMaxServices && store_.services[count]) ++count;
    return count;
}

int ChannelTable::findStation(std::string_view name) {
    if (name.empty()) return -1;
    if (!stationsRead_) {
        stationsRead_ = true;
        for (int i = 0; i < serviceCount(); ++i) stations_.push_back(preferences_.stationName(*store_.services[i]));
    }
    for (size_t i = 0; i < stations_.size(); ++i)
        if (stations_[i] == name) return static_cast<int>(i);
    return -1;
}

int ChannelTable::findRemoteNumber(int networkClass, int64_t number) {
    if (!remoteNumbersRead_) {
        remoteNumbersRead_ = true;
        for (int i = 0; i < serviceCount(); ++i) {
            const ServiceRecord& record = *store_.services[i];
            const int stored = preferences_.remoteNumber(record);
            remoteNumbers_.push_back(stored != 0 ? stored : defaultRemoteNumber(record));
        }
    }
    for (size_t i = 0; i < remoteNumbers_.size(); ++i) {
        const int serviceClass = store_.services[i]->networkClass();
        const bool fits = serviceClass == networkClass || (networkClass == 6 && serviceClass == 7);
        if (fits && remoteNumbers_[i] == number) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace corvane
