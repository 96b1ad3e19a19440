// What `corvane-epg xmltv` and `corvane-epg json` export: the scheduled
// programmes of the store per service (store order, then time order), decoded
// as the guide decodes them and converted to UTF-8 for other programs.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "store/epg_store.h"
#include "store/event_decode.h"
#include "tools/common/shift_jis_utf8.h"

namespace corvane {

// Which programmes are exported.
struct ExportFilter {
    // Instants (seconds since 1970, UTC): a programme is taken when it
    // overlaps [since, until); one without a known end when it starts in it.
    int64_t since = std::numeric_limits<int64_t>::min();
    int64_t until = std::numeric_limits<int64_t>::max();
    std::vector<int> serviceIds;  // empty: every service
};

// "YYYY-MM-DD", "YYYY-MM-DD HH:MM" or "YYYY-MM-DD HH:MM:SS" ('T' may stand
// for the blank) in the machine's local time, as an instant; false when the
// text is not such a date and time.
bool parseLocalDateTime(const char* text, int64_t* instant);

// Where the writers put the document, piece by piece.
class ExportOutput {
public:
    virtual ~ExportOutput() = default;
    virtual void write(std::string_view text) = 0;
};

class StringExportOutput : public ExportOutput {
public:
    void write(std::string_view piece) override { text.append(piece); }
    std::string text;
};

struct ExportChannel {
    int service = 0;  // index in the store
    int serviceId = 0;
    int originalNetworkId = 0;      // of the service's EIT sections
    std::string name;               // UTF-8 service name; empty when the service has none
    std::string label;              // UTF-8 channel number as the guide labels it ("3ch", "BS101"), or empty
    std::string columnName;         // UTF-8 guide column name, for a service with neither
    std::vector<EventView> events;  // in time order, inside the filter
};

struct ExportProgramme {
    int eventId = 0;
    int64_t start = 0;      // the broadcast's clock (JST), see broadcastClockOf
    int64_t duration = -1;  // seconds; -1 when the broadcast leaves it undefined
    bool freeCaMode = false;
    std::string name;                        // UTF-8, as the guide lists it
    std::string description;                 // the short event text
    std::vector<ExtendedItemText> extended;  // UTF-8 description and text of each item, in broadcast order
    uint8_t audioComponentType = 0;          // as the guide takes it (the last audio component)
    EventComponents components{};

    int64_t startUtc() const { return start - kBroadcastUtcOffset; }
};

// The channels and programmes of one export. Texts go through the system's
// Shift_JIS converter; line breaks become LF and other control characters
// are dropped, so the texts suit XML and JSON alike.
class GuideExport {
public:
    GuideExport(const EpgStore& store, const ExportFilter& filter);
    GuideExport(const GuideExport&) = delete;
    GuideExport& operator=(const GuideExport&) = delete;

    // The services with at least one programme to export.
    const std::vector<ExportChannel>& channels() const { return channels_; }

    // Decodes one event of a channel; false for an event without a name,
    // which the guide does not list either.
    bool decode(const ExportChannel& channel, const EventView& event, ExportProgramme& programme);

    std::string utf8(std::string_view shiftJis);

private:
    struct ExtendedEntry {
        int eventId;
        int64_t start;
        EventView event;
    };
    void indexExtendedEvents(int service);

    const EpgStore& store_;
    std::vector<ExportChannel> channels_;
    ShiftJisToUtf8 converter_;
    int indexedService_ = -1;
    std::vector<ExtendedEntry> extendedIndex_;  // by event id, then start
};

// The picture of a component_type (its high nibble): "480i", "1080i", ... or null.
const char* videoResolutionOf(uint8_t componentType);

}  // namespace corvane
