// Decoding of one event of a stored EIT section: the event header, the short
// event descriptor (name and text), the extended event descriptors (detail
// items), the component, audio component and content descriptors.
//
// Every decoder takes an EventView, which is bounded by the section the event
// lives in, and reads nothing outside it: a descriptor or item that claims
// more bytes than are there is cut where the event's descriptor loop ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/epg_store.h"
#include "store/shift_jis.h"

namespace corvane {

constexpr size_t kEventNameMax = 159;    // bytes of a decoded name the lists keep
constexpr size_t kEventTextMax = 339;    // bytes of a decoded text
constexpr size_t kItemHeadingMax = 99;   // bytes of a decoded extended-item description

// Raw item text of one event, joined across its extended event descriptors
// before it is decoded. A descriptor loop holds at most 4095 bytes, so this
// holds every item text an event can carry.
constexpr size_t kExtendedTextCapacity = 4096;

// What the guide's event lists take from one event. Texts are Shift_JIS,
// NUL-terminated, cut on a character boundary.
struct EventSummary {
    int32_t eventId;
    int64_t start, end;
    char name[kEventNameMax + 1];   // empty: the event is not listed
    char text[kEventTextMax + 1];
    uint8_t componentType;          // 0 when absent
    uint8_t audioComponentType;     // 0 when absent
    int32_t genreLevel1;            // content_nibble_level_1 of the first entry, -1 when absent
    int32_t genreLevel2;            // -1 when absent
};

// Name = the first non-empty item of the short event descriptor, text = any
// later non-empty item; empty items are skipped, so an event with an empty
// name is listed under its text. The last component, audio component and
// content descriptor wins; of a content descriptor only the first entry counts.
EventSummary readEventSummary(const EventView& event);

// The undecoded event_name (the first item, counted even when empty): copies
// at most `capacity` bytes into `name` and returns how many it placed (0
// without a short event descriptor). Each optional output is written when it
// is given, with 0, 0 and -1 when its descriptor is absent.
size_t readEventRawName(const EventView& event, uint8_t* name, size_t capacity,
                        uint8_t* componentType = nullptr, uint8_t* audioComponentType = nullptr,
                        int32_t* genreLevel1 = nullptr);

// Receives the pieces of the detail text in order. `text` is NUL-terminated
// at `length`.
class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void append(const char* text, size_t length) = 0;
    // An item description framed as "\r\n\r\n%s\r\n"; a sink that keeps
    // descriptions apart from the item texts overrides it.
    virtual void heading(const char* framed, size_t length) { append(framed, length); }
};

// Collects the pieces into one string.
class StringTextSink : public TextSink {
public:
    void append(const char* text, size_t length) override { value.append(text, length); }
    std::string value;
};

// The detail text of the event that service `serviceIndex` broadcasts at
// `start` (the start time of the chosen event), looked up in the extended
// schedule with findExtendedEventAt. Nothing is sent when there is none.
void readExtendedText(const EpgStore* store, int serviceIndex, int64_t start, TextSink& sink);
// The same for the chosen event itself (a basic or present/following event).
void readExtendedText(const EpgStore* store, int serviceIndex, const EventView& chosen, TextSink& sink);

// The description the detail panes show: "【title】" and a blank line, the
// detail as lines (crLinesToCrLf), then the extended text of the event that
// service `serviceIndex` broadcasts at `start` (nothing without a store or
// extended data).
std::string describeProgramme(const EpgStore* store, int serviceIndex, int64_t start, const std::string& title,
                              const std::string& detail);

// The same for an event already found. Each item description becomes a
// heading "\r\n\r\n%s\r\n" (cut to 99 bytes); item text continued over several
// descriptors is joined and decoded once, then sent line by line: the pieces
// between the decoded CRs, each followed by "\r\n" except the last.
void assembleExtendedText(const EventView& event, TextSink& sink);

// The detail text as items: each description (cut to 99 bytes, Shift_JIS)
// with its text, lines joined by "\r\n". Text before the first description
// comes as an item with an empty description.
struct ExtendedItemText {
    std::string description;
    std::string text;
};
std::vector<ExtendedItemText> readExtendedItems(const EventView& event);

// The stream and genre fields the guide's summary leaves out, for exports:
// the last component descriptor, every audio component descriptor in order
// and every entry of the last content descriptor (kept up to the capacities;
// broadcasters send far fewer).
constexpr int kMaxContentEntries = 8;
constexpr int kMaxAudioComponents = 4;

struct ContentEntry {
    uint8_t level1, level2;  // content_nibble_level_1 and _2
    uint8_t user1, user2;    // the two user nibbles
};

struct AudioComponent {
    uint8_t componentType;
    uint8_t componentTag;
    uint8_t samplingRate;  // the 3-bit code; samplingRateHz gives the rate
    bool mainComponent;
    // ISO 639 codes (three letters, NUL-terminated); the second only for a
    // multi-lingual stream. Empty when the bytes are not letters.
    char languages[2][4];
};

struct EventComponents {
    bool hasVideo;
    uint8_t streamContent;  // of the component descriptor (1 MPEG-2, 5 H.264, 9 H.265)
    uint8_t componentType;
    int contentCount;
    ContentEntry content[kMaxContentEntries];
    int audioCount;
    AudioComponent audio[kMaxAudioComponents];
};
EventComponents readEventComponents(const EventView& event);

// 16000, 22050, 24000, 32000, 44100 or 48000 Hz; 0 for a reserved code.
int samplingRateHz(uint8_t code);

// Labels of the video format (high nibble) and aspect (low nibble) of a
// component_type: "480i" "480p" "1080i" or "--"; "(4:3)" "(16:9)" "(4:3pan)" or "(--)".
const char* videoFormatLabel(uint8_t componentType);
const char* aspectLabel(uint8_t componentType);

}  // namespace corvane
