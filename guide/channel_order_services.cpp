#include "guide/channel_order_services.h"

namespace corvane {

std::vector<ChannelOrderService> channelOrderServices(const EpgStore& store, const ChannelInfo (&channels)[kMaxServices],
                                                      ServicePreferences& preferences) {
    std::vector<ChannelOrderService> services;
    for (int index = 0; index < kMaxServices && store.services[index]; ++index) {
        if (!channels[index].listed) continue;
        const ServiceRecord& record = *store.services[index];
        services.push_back({channels[index].columnName, record.networkClass(), record.serviceId,
                            preferences.columnShown(record), preferences.sortValue(record)});
    }
    return services;
}

void storeChannelOrder(const EpgStore& store, const std::vector<ChannelOrderChoice>& choices,
                       ServicePreferences& preferences) {
    for (const ChannelOrderChoice& choice : choices) {
        for (int index = 0; index < kMaxServices && store.services[index]; ++index) {
            const ServiceRecord& record = *store.services[index];
            if (!record.identifiedBy(choice.networkClass, choice.serviceId)) continue;
            preferences.setColumnShown(record, choice.shown);
            preferences.setSortValue(record, choice.sortValue);
            break;
        }
    }
}

}  // namespace corvane
