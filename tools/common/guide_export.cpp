#include "tools/common/guide_export.h"

#include <algorithm>

#include "guide/guide_layout.h"
#include "guide/guide_paint.h"
#include "store/arib.h"

namespace corvane {

namespace {

bool wanted(const ExportFilter& filter, const EventView& event) {
    const int64_t start = event.broadcastStart() - kBroadcastUtcOffset;
    const int64_t duration = event.durationSeconds();
    if (start >= filter.until) return false;
    return duration > 0 ? start + duration > filter.since : start >= filter.since;
}

bool earlier(const EventView& a, const EventView& b) {
    const int64_t startA = a.broadcastStart(), startB = b.broadcastStart();
    if (startA != startB) return startA < startB;
    const int64_t durationA = a.durationSeconds(), durationB = b.durationSeconds();
    if (durationA != durationB) return durationA < durationB;
    return a.eventId() < b.eventId();
}

// The schedule of one service: every event of its basic schedule, an event of
// the present/following section standing in for the scheduled one of the same
// id (or added when the schedule lacks it), in time order, once each.
std::vector<EventView> scheduledEvents(const ServiceRecord& record, const ExportFilter& filter) {
    std::vector<EventView> events;
    for (int k = 0; k < kSlotsPerTable; ++k)
        for (EventCursor cursor(record.basicAt(k)); EventView event = cursor.next();)
            if (!event.startUndefined()) events.push_back(event);
    for (const SectionSlot& slot : record.presentFollowing) {
        for (EventCursor cursor(slot); EventView event = cursor.next();) {
            if (event.startUndefined()) continue;
            auto same = std::find_if(events.begin(), events.end(),
                                     [&](const EventView& e) { return e.eventId() == event.eventId(); });
            if (same != events.end())
                *same = event;
            else
                events.push_back(event);
        }
    }
    std::erase_if(events, [&](const EventView& e) { return !wanted(filter, e); });
    std::sort(events.begin(), events.end(), earlier);
    events.erase(std::unique(events.begin(), events.end(),
                             [](const EventView& a, const EventView& b) { return !earlier(a, b) && !earlier(b, a); }),
                 events.end());
    return events;
}

bool hasName(const EventView& event) { return readEventSummary(event).name[0] != '\0'; }

// Line breaks as LF; other control characters (none is allowed in XML 1.0
// but tab) dropped.
std::string cleanText(std::string text) {
    if (std::none_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        return text;  // the usual case
    size_t kept = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') continue;  // CR LF: the LF stays
            text[kept++] = '\n';
        } else if (c >= 0x20 ? c != 0x7F : (c == '\n' || c == '\t')) {
            text[kept++] = static_cast<char>(c);
        }
    }
    text.resize(kept);
    return text;
}

}  // namespace

bool parseLocalDateTime(const char* text, int64_t* instant) {
    // Fixed places: "YYYY-MM-DD", then " HH:MM" (or "THH:MM"), then ":SS".
    const std::string_view s(text);
    if (s.size() != 10 && s.size() != 16 && s.size() != 19) return false;
    bool ok = true;
    auto number = [&](size_t at, size_t digits) {
        int value = 0;
        for (size_t i = at; i < at + digits; ++i) {
            ok = ok && s[i] >= '0' && s[i] <= '9';
            value = value * 10 + (s[i] - '0');
        }
        return value;
    };
    auto mark = [&](size_t at, const char* allowed) {
        ok = ok && std::string_view(allowed).find(s[at]) != std::string_view::npos;
    };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    mark(4, "-");
    mark(7, "-");
    int hour = 0, minute = 0, second = 0;
    if (s.size() > 10) {
        mark(10, " T");
        hour = number(11, 2);
        mark(13, ":");
        minute = number(14, 2);
    }
    if (s.size() > 16) {
        mark(16, ":");
        second = number(17, 2);
    }
    static const int monthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (!ok || month < 1 || month > 12 || day < 1 || day > monthDays[month - 1] || (month == 2 && day == 29 && !leap) ||
        hour > 23 || minute > 59 || second > 59)
        return false;
    const int64_t t = localTimeOf(year, month, day, hour, minute, second);
    if (t == -1) return false;
    *instant = t;
    return true;
}

GuideExport::GuideExport(const EpgStore& store, const ExportFilter& filter) : store_(store) {
    for (int index = 0; index < kMaxServices && store.services[index]; ++index) {
        const ServiceRecord& record = *store.services[index];
        if (!filter.serviceIds.empty() &&
            std::find(filter.serviceIds.begin(), filter.serviceIds.end(), record.serviceId) == filter.serviceIds.end())
            continue;
        ExportChannel channel;
        channel.events = scheduledEvents(record, filter);
        // A service whose events all lack a name has nothing to show.
        if (std::none_of(channel.events.begin(), channel.events.end(), hasName)) continue;
        channel.service = index;
        channel.serviceId = record.serviceId;
        channel.originalNetworkId = originalNetworkIdOf(record);
        if (record.serviceNameLength != 0)
            channel.name = utf8(
                aribToShiftJisString(record.serviceName, std::min<size_t>(record.serviceNameLength, kNameCapacity)));
        if (const int remote = defaultRemoteNumber(record); remote > 0)
            channel.label = utf8(channelNumberLabel(record, remote));
        channel.columnName = utf8(columnNameOf(store, index));
        channels_.push_back(std::move(channel));
    }
}

std::string GuideExport::utf8(std::string_view shiftJis) { return cleanText(converter_.convert(shiftJis)); }

void GuideExport::indexExtendedEvents(int service) {
    indexedService_ = service;
    extendedIndex_.clear();
    const ServiceRecord& record = *store_.services[service];
    auto add = [this](const SectionSlot& slot) {
        for (EventCursor cursor(slot); EventView event = cursor.next();)
            extendedIndex_.push_back({event.eventId(), event.broadcastStart(), event});
    };
    for (int k = 0; k < kSlotsPerTable; ++k) add(record.extendedAt(k));
    for (const SectionSlot& slot : record.presentFollowing) add(slot);
    std::stable_sort(extendedIndex_.begin(), extendedIndex_.end(), [](const ExtendedEntry& a, const ExtendedEntry& b) {
        return a.eventId != b.eventId ? a.eventId < b.eventId : a.start < b.start;
    });
}

bool GuideExport::decode(const ExportChannel& channel, const EventView& event, ExportProgramme& programme) {
    const EventSummary summary = readEventSummary(event);
    if (summary.name[0] == '\0') return false;
    programme.eventId = summary.eventId;
    programme.start = event.broadcastStart();
    programme.duration = event.durationSeconds();
    programme.freeCaMode = event.freeCaMode();
    programme.name = utf8(summary.name);
    programme.description = utf8(summary.text);
    programme.audioComponentType = summary.audioComponentType;
    programme.components = readEventComponents(event);

    // The detail text travels in the extended schedule (or in the event
    // itself, as in present/following sections) under the same event id.
    std::vector<ExtendedItemText> items = readExtendedItems(event);
    if (items.empty()) {
        if (indexedService_ != channel.service) indexExtendedEvents(channel.service);
        auto first = std::lower_bound(extendedIndex_.begin(), extendedIndex_.end(), summary.eventId,
                                      [](const ExtendedEntry& e, int id) { return e.eventId < id; });
        const ExtendedEntry* match = nullptr;
        for (auto it = first; it != extendedIndex_.end() && it->eventId == summary.eventId; ++it) {
            if (!match || it->start == programme.start) match = &*it;
            if (it->start == programme.start) break;
        }
        if (match) items = readExtendedItems(match->event);
    }
    programme.extended.clear();
    for (ExtendedItemText& item : items) programme.extended.push_back({utf8(item.description), utf8(item.text)});
    return true;
}

const char* videoResolutionOf(uint8_t componentType) {
    switch (componentType >> 4) {
        case 0x0: return "480i";
        case 0x8: return "4320p";
        case 0x9: return "2160p";
        case 0xA: return "480p";
        case 0xB: return "1080i";
        case 0xC: return "720p";
        case 0xD: return "240p";
        case 0xE: return "1080p";
        case 0xF: return "180p";
        default: return nullptr;
    }
}

}  // namespace corvane
