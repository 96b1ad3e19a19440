// The services of the channel order dialog taken from the guide and stored
// back through the per-service preferences.
#pragma once

#include <vector>

#include "dialogs/channel_order.h"
#include "guide/guide_layout.h"
#include "guide/service_preferences.h"
#include "store/epg_store.h"

namespace corvane {

// In store order, the services with programmes in the last layout (`listed`),
// with their column names, and their visibility and sort value as stored now.
std::vector<ChannelOrderService> channelOrderServices(const EpgStore& store, const ChannelInfo (&channels)[kMaxServices],
                                                      ServicePreferences& preferences);

// Stores each choice of "OK" for the service of the store it names; a choice
// naming no service of the store is dropped.
void storeChannelOrder(const EpgStore& store, const std::vector<ChannelOrderChoice>& choices,
                       ServicePreferences& preferences);

}  // namespace corvane
