#include "reserve/reservation_channels.h"

namespace corvane {

int StationNameTable::find(std::string_view name) {
    if (name.empty()) return -1;
    if (!loaded_) {
        loaded_ = true;
        for (int i = 0; i < kMaxServices && store_.services[i]; ++i)
            names_.push_back(settings_.iepgStationName(*store_.services[i]));
    }
    for (size_t i = 0; i < names_.size(); ++i)
        if (names_[i] == name) return static_cast<int>(i);
    return -1;
}

}  // namespace corvane
