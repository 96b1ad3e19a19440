#include "tools/common/find_listing.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "guide/programme_search.h"
#include "store/text_match.h"
#include "tools/common/event_listing.h"

namespace corvane {

std::string findListing(const EpgStore& store, const FindRequest& request) {
    const TextQuery query(request.query);
    if (query.findsNothing()) return {};
    const ExportFilter& filter = request.filter;
    std::vector<FoldUnit> units;
    std::optional<ExtendedEventLookup> extended;
    return eventListing(store, [&](int service, const EventView& event, const EventSummary& summary) {
        const std::vector<int>& ids = filter.serviceIds;
        if (!ids.empty() && std::find(ids.begin(), ids.end(), store.services[service]->serviceId) == ids.end())
            return false;
        // As the exports take the window: a programme without a known end when it starts in it.
        if (summary.start >= filter.until ||
            (event.durationSeconds() > 0 ? summary.end <= filter.since : summary.start < filter.since))
            return false;
        units.clear();
        appendFolded(summary.name, units);
        if (request.descriptions) {
            units.push_back(kTextSeparator);
            if (!extended || extended->service() != service) extended.emplace(&store, service);
            appendFoldedDescriptions(summary.text, extended->at(summary.start), units);
        }
        return query.matches(units, request.kana);
    });
}

}  // namespace corvane
