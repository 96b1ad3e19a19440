#include "store/event_decode.h"

#include <cstring>

#include "store/arib.h"
#include "store/byte_reader.h"
#include "store/descriptor_walk.h"
#include "store/si_ids.h"

namespace corvane {

namespace {

// Decode buffers are twice the source plus a margin, as the lists size them.
constexpr size_t decodeBufferSize(size_t sourceLength) { return 2 * sourceLength + 80; }
constexpr size_t kMaxItemDecode = decodeBufferSize(255);

// The length-prefixed items of a short event descriptor body, in order
// (empty ones included); an item running past the body is cut at its end.
template <typename Visit>
void forEachShortEventItem(ByteReader body, Visit visit) {
    body.skip(3);  // ISO_639_language_code
    while (!body.atEnd()) {
        size_t length = body.u8();
        ByteReader item = body.window(length);
        if (!visit(item)) return;
    }
}

// Decodes an ARIB item into `out` (of `outSize` bytes, NUL-terminated) and
// cuts it to `limit` bytes on a character boundary; returns its length.
size_t decodeItem(ByteReader item, char* out, size_t outSize, size_t limit) {
    char decoded[kMaxItemDecode];
    size_t n = item.remaining();
    aribToShiftJis(item.current(), n, decoded, decodeBufferSize(n));
    size_t length = shiftJisPrefixLength(decoded, std::strlen(decoded), limit < outSize ? limit : outSize - 1);
    std::memcpy(out, decoded, length);
    out[length] = '\0';
    return length;
}

// The component, audio component and content fields every decoder shares.
struct StreamFields {
    uint8_t componentType = 0;
    uint8_t audioComponentType = 0;
    int32_t genreLevel1 = -1;
    int32_t genreLevel2 = -1;

    bool take(uint8_t tag, ByteReader body) {
        switch (tag) {
            case kTagComponent:
                if (body.remaining() >= 2) componentType = body.current()[1];
                return true;
            case kTagAudioComponent:
                if (body.remaining() >= 2) audioComponentType = body.current()[1];
                return true;
            case kTagContent:
                if (body.remaining() >= 1) {
                    uint8_t nibbles = body.current()[0];
                    genreLevel1 = nibbles >> 4;
                    genreLevel2 = nibbles & 0x0F;
                }
                return true;
            default:
                return false;
        }
    }
};

// Builds the detail text of one event and sends it to the sink.
class ExtendedTextAssembler {
public:
    explicit ExtendedTextAssembler(TextSink& sink) : sink_(sink) {}

    void descriptor(ByteReader body) {
        body.skip(4);  // descriptor_number/last_descriptor_number, ISO_639_language_code
        size_t itemsLength = body.u8();
        ByteReader items = body.window(itemsLength);
        // Within the item loop, descriptions and texts alternate; a
        // description starts a new heading, an empty one (an item continued
        // from the previous descriptor) does not.
        for (bool description = true; !items.atEnd(); description = !description) {
            ByteReader field = items.window(items.u8());
            if (field.remaining() == 0) continue;
            if (description) {
                heading(field);
            } else {
                accumulate(field);
            }
        }
        // The descriptor's own text after the items counts as item text.
        if (!body.atEnd()) {
            ByteReader text = body.window(body.u8());
            if (text.remaining() > 0) accumulate(text);
        }
    }

    void finish() { flush(); }

private:
    void heading(ByteReader field) {
        flush();
        char line[4 + kItemHeadingMax + 2 + 1] = "\r\n\r\n";
        size_t length = decodeItem(field, line + 4, kItemHeadingMax + 1, kItemHeadingMax);
        std::memcpy(line + 4 + length, "\r\n", 3);
        sink_.heading(line, 4 + length + 2);
    }

    void accumulate(ByteReader field) {
        size_t n = field.remaining();
        // Never reached by a real event (its whole descriptor loop fits); a
        // flush keeps every byte rather than dropping any.
        if (accumulated_ + n > sizeof accumulation_) flush();
        if (n > sizeof accumulation_) n = sizeof accumulation_;
        std::memcpy(accumulation_ + accumulated_, field.current(), n);
        accumulated_ += n;
    }

    // Decodes what has accumulated and sends it line by line: the pieces
    // between CRs, each followed by "\r\n" but the last; one trailing CR is
    // dropped first.
    void flush() {
        if (accumulated_ == 0) return;
        aribToShiftJis(accumulation_, accumulated_, decoded_, decodeBufferSize(accumulated_));
        accumulated_ = 0;
        size_t length = std::strlen(decoded_);
        if (length > 0 && decoded_[length - 1] == '\r') --length;
        size_t start = 0;
        for (;;) {
            // A CR is never the second byte of a Shift_JIS character.
            const void* cr = std::memchr(decoded_ + start, '\r', length - start);
            size_t end = cr ? static_cast<size_t>(static_cast<const char*>(cr) - decoded_) : length;
            size_t pieceLength = end - start;
            std::memcpy(line_, decoded_ + start, pieceLength);
            if (cr) {
                std::memcpy(line_ + pieceLength, "\r\n", 3);
                sink_.append(line_, pieceLength + 2);
                start = end + 1;
            } else {
                line_[pieceLength] = '\0';
                if (pieceLength > 0) sink_.append(line_, pieceLength);
                return;
            }
        }
    }

    TextSink& sink_;
    uint8_t accumulation_[kExtendedTextCapacity];
    size_t accumulated_ = 0;
    char decoded_[decodeBufferSize(kExtendedTextCapacity)];
    char line_[decodeBufferSize(kExtendedTextCapacity) + 2];  // a piece, "\r\n" and NUL
};

}  // namespace

EventSummary readEventSummary(const EventView& event) {
    // Every programme the guide lists passes here: the texts are terminated,
    // not cleared (500 bytes a programme).
    EventSummary summary;
    summary.eventId = 0;
    summary.start = summary.end = 0;
    summary.name[0] = summary.text[0] = '\0';
    summary.componentType = summary.audioComponentType = 0;
    summary.genreLevel1 = -1;
    summary.genreLevel2 = -1;
    if (!event || event.size < kEventHeaderSize) return summary;
    summary.eventId = event.eventId();
    TimeRange range = event.timeRange();
    summary.start = range.start;
    summary.end = range.end;

    StreamFields fields;
    forEachDescriptor(event, [&](uint8_t tag, ByteReader body) {
        if (fields.take(tag, body) || tag != kTagShortEvent) return;
        int counted = 0;
        forEachShortEventItem(body, [&](ByteReader item) {
            if (item.remaining() == 0) return true;  // skipped, not counted
            if (counted++ == 0) {
                decodeItem(item, summary.name, sizeof summary.name, kEventNameMax);
            } else {
                decodeItem(item, summary.text, sizeof summary.text, kEventTextMax);
            }
            return true;
        });
    });
    summary.componentType = fields.componentType;
    summary.audioComponentType = fields.audioComponentType;
    summary.genreLevel1 = fields.genreLevel1;
    summary.genreLevel2 = fields.genreLevel2;
    return summary;
}

size_t readEventRawName(const EventView& event, uint8_t* name, size_t capacity, uint8_t* componentType,
                        uint8_t* audioComponentType, int32_t* genreLevel1) {
    StreamFields fields;
    size_t placed = 0;
    if (event && event.size >= kEventHeaderSize) {
        forEachDescriptor(event, [&](uint8_t tag, ByteReader body) {
            if (fields.take(tag, body) || tag != kTagShortEvent) return;
            placed = 0;
            forEachShortEventItem(body, [&](ByteReader item) {
                size_t n = item.remaining();
                placed = n < capacity ? n : capacity;
                if (placed > 0 && name) std::memcpy(name, item.current(), placed);
                if (!name) placed = 0;
                return false;  // only the first item
            });
        });
    }
    if (componentType) *componentType = fields.componentType;
    if (audioComponentType) *audioComponentType = fields.audioComponentType;
    if (genreLevel1) *genreLevel1 = fields.genreLevel1;
    return placed;
}

void assembleExtendedText(const EventView& event, TextSink& sink) {
    if (!event || event.size < kEventHeaderSize) return;
    ExtendedTextAssembler assembler(sink);
    forEachDescriptor(event, [&](uint8_t tag, ByteReader body) {
        if (tag == kTagExtendedEvent) assembler.descriptor(body);
    });
    assembler.finish();
}

void readExtendedText(const EpgStore* store, int serviceIndex, int64_t start, TextSink& sink) {
    EventView event = findExtendedEventAt(store, serviceIndex, start);
    if (event) assembleExtendedText(event, sink);
}

void readExtendedText(const EpgStore* store, int serviceIndex, const EventView& chosen, TextSink& sink) {
    if (chosen && chosen.size >= kEventHeaderSize) readExtendedText(store, serviceIndex, chosen.timeRange().start, sink);
}

std::string describeProgramme(const EpgStore* store, int serviceIndex, int64_t start, const std::string& title,
                              const std::string& detail) {
    StringTextSink extended;
    if (store) readExtendedText(store, serviceIndex, start, extended);
    return "【" + title + "】\r\n\r\n" + crLinesToCrLf(detail) + extended.value;
}

std::vector<ExtendedItemText> readExtendedItems(const EventView& event) {
    class ItemSink : public TextSink {
    public:
        void heading(const char* framed, size_t length) override {
            items.push_back({std::string(framed + 4, length - 6), {}});  // without "\r\n\r\n" and "\r\n"
        }
        void append(const char* text, size_t length) override {
            if (items.empty()) items.emplace_back();
            items.back().text.append(text, length);
        }
        std::vector<ExtendedItemText> items;
    } sink;
    assembleExtendedText(event, sink);
    return std::move(sink.items);
}

EventComponents readEventComponents(const EventView& event) {
    EventComponents found{};
    if (!event || event.size < kEventHeaderSize) return found;
    auto language = [](ByteReader& body, char* out) {
        const uint8_t* code = body.bytes(3);
        out[0] = '\0';
        if (!code) return;
        for (int i = 0; i < 3; ++i)
            if (!((code[i] | 0x20) >= 'a' && (code[i] | 0x20) <= 'z')) return;
        std::memcpy(out, code, 3);
        out[3] = '\0';
    };
    forEachDescriptor(event, [&](uint8_t tag, ByteReader body) {
        if (tag == kTagComponent && body.remaining() >= 2) {
            found.hasVideo = true;
            found.streamContent = body.u8() & 0x0F;
            found.componentType = body.u8();
        } else if (tag == kTagContent && !body.atEnd()) {  // an empty one sets nothing, as in the summary
            found.contentCount = 0;
            // A last entry cut after its genre byte still counts, as in the summary.
            while (!body.atEnd() && found.contentCount < kMaxContentEntries) {
                const uint8_t nibbles = body.u8();
                const uint8_t user = body.atEnd() ? 0xFF : body.u8();
                found.content[found.contentCount++] = {
                    static_cast<uint8_t>(nibbles >> 4), static_cast<uint8_t>(nibbles & 0x0F),
                    static_cast<uint8_t>(user >> 4), static_cast<uint8_t>(user & 0x0F)};
            }
        } else if (tag == kTagAudioComponent && body.remaining() >= 9 &&
                   found.audioCount < kMaxAudioComponents) {
            AudioComponent& audio = found.audio[found.audioCount++];
            body.skip(1);  // stream_content
            audio.componentType = body.u8();
            audio.componentTag = body.u8();
            body.skip(2);  // stream_type, simulcast_group_tag
            const uint8_t flags = body.u8();
            audio.mainComponent = (flags & 0x40) != 0;
            audio.samplingRate = (flags >> 1) & 0x07;
            language(body, audio.languages[0]);
            audio.languages[1][0] = '\0';
            if (flags & 0x80) language(body, audio.languages[1]);  // ES_multi_lingual_flag
        }
    });
    return found;
}

int samplingRateHz(uint8_t code) {
    static const int rates[8] = {0, 16000, 22050, 24000, 0, 32000, 44100, 48000};
    return rates[code & 7];
}

const char* videoFormatLabel(uint8_t componentType) {
    switch (componentType >> 4) {
        case 0x0: return "480i";
        case 0xA: return "480p";
        case 0xB: return "1080i";
        default: return "--";
    }
}

const char* aspectLabel(uint8_t componentType) {
    switch (componentType & 0x0F) {
        case 1: return "(4:3)";
        case 3: return "(16:9)";
        case 4: return "(4:3pan)";
        default: return "(--)";
    }
}

}  // namespace corvane
