#include "dialogs/channel_order.h"

#include <algorithm>
#include <utility>

namespace corvane {

std::vector<ChannelOrderRow> channelOrderRows(const std::vector<ChannelOrderService>& services) {
    std::vector<ChannelOrderRow> rows;
    rows.reserve(services.size());
    for (const ChannelOrderService& service : services) {
        ChannelOrderRow row;
        row.name = service.name;
        row.item = channelItemValue(service.networkClass, service.serviceId);
        row.sortValue = service.sortValue;
        // Only 1 gives a column; any other stored value hides it.
        row.ticked = service.columnDisp == 1;
        rows.push_back(std::move(row));
    }
    // Each row goes before the first greater value: a stable sort.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const ChannelOrderRow& a, const ChannelOrderRow& b) { return a.sortValue < b.sortValue; });
    return rows;
}

int moveSelectedRows(std::vector<ChannelOrderRow>& rows, RowMove move) {
    const int count = static_cast<int>(rows.size());
    int firstMoved = -1;
    auto tryMove = [&](int from, int to) {
        if (!rows[from].selected || rows[to].selected) return;
        std::swap(rows[from], rows[to]);
        if (firstMoved < 0) firstMoved = to;
    };
    if (move == RowMove::up) {
        for (int k = 1; k < count; ++k) tryMove(k, k - 1);
    } else {
        for (int k = count - 2; k >= 0; --k) tryMove(k, k + 1);
    }
    return firstMoved;
}

std::vector<ChannelOrderChoice> channelOrderChoices(const std::vector<ChannelOrderRow>& rows) {
    std::vector<ChannelOrderChoice> choices;
    choices.reserve(rows.size());
    for (size_t r = 0; r < rows.size(); ++r)
        choices.push_back({networkClassOfItem(rows[r].item), serviceIdOfItem(rows[r].item), rows[r].ticked ? 1 : 0,
                           static_cast<int>(r)});
    return choices;
}


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
