#include "tools/common/json_writer.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace corvane {

namespace {

using Json = nlohmann::json;

const char* videoTypeOf(uint8_t streamContent) {
    switch (streamContent) {
        case 0x01: return "mpeg2";
        case 0x05: return "h.264";
        case 0x09: return "h.265";
        default: return nullptr;
    }
}

// One programme object a line, its members in a fixed order: the keys are
// constants, every value is written by the library's serializer (the one
// behind basic_json::dump), kept for the whole document. Building a document
// tree per programme instead took twice the time of the whole export.
class ProgrammeWriter {
public:
    explicit ProgrammeWriter(std::string& text)
        : text_(text), serializer_(nlohmann::detail::output_adapter<char>(text), ' ', Json::error_handler_t::replace) {}

    void write(const ExportChannel& channel, const ExportProgramme& p) {
        text_ += "{\"id\":";
        number(programmeJsonId(channel.originalNetworkId, channel.serviceId, p.eventId));
        field("eventId", p.eventId);
        field("serviceId", channel.serviceId);
        field("networkId", channel.originalNetworkId);
        field("startAt", p.startUtc() * 1000);
        if (p.duration >= 0) field("duration", p.duration * 1000);
        text_ += p.freeCaMode ? ",\"isFree\":false" : ",\"isFree\":true";
        field("name", p.name);
        field("description", p.description);

        text_ += ",\"extended\":{";
        // An item description given twice keeps both texts, one after the other.
        std::vector<std::pair<const std::string*, std::string>> items;
        for (const ExtendedItemText& item : p.extended) {
            auto same =
                std::find_if(items.begin(), items.end(), [&](const auto& i) { return *i.first == item.description; });
            if (same == items.end())
                items.emplace_back(&item.description, item.text);
            else
                same->second += "\n" + item.text;
        }
        for (size_t i = 0; i < items.size(); ++i) {
            if (i > 0) text_ += ',';
            string(*items[i].first);
            text_ += ':';
            string(items[i].second);
        }
        text_ += "},\"genres\":[";
        const EventComponents& c = p.components;
        for (int i = 0; i < c.contentCount; ++i) {
            const ContentEntry& g = c.content[i];
            text_ += i > 0 ? ",{\"lv1\":" : "{\"lv1\":";
            number(g.level1);
            field("lv2", g.level2);
            field("un1", g.user1);
            field("un2", g.user2);
            text_ += '}';
        }
        text_ += ']';
        if (c.hasVideo) {
            text_ += ",\"video\":{";
            if (const char* type = videoTypeOf(c.streamContent)) {
                text_ += "\"type\":";
                string(type);
                text_ += ',';
            }
            if (const char* resolution = videoResolutionOf(c.componentType)) {
                text_ += "\"resolution\":";
                string(resolution);
                text_ += ',';
            }
            text_ += "\"streamContent\":";
            number(c.streamContent);
            field("componentType", c.componentType);
            text_ += '}';
        }
        text_ += ",\"audios\":[";
        for (int i = 0; i < c.audioCount; ++i) {
            const AudioComponent& a = c.audio[i];
            text_ += i > 0 ? ",{\"componentType\":" : "{\"componentType\":";
            number(a.componentType);
            if (const int rate = samplingRateHz(a.samplingRate)) field("samplingRate", rate);
            if (a.languages[0][0]) {
                text_ += ",\"langs\":[";
                string(a.languages[0]);
                if (a.languages[1][0]) text_ += ',', string(a.languages[1]);
                text_ += ']';
            }
            text_ += '}';
        }
        text_ += "]}";
    }

private:
    void number(int64_t value) { serializer_.dump(Json(value), false, false, 0); }
    void string(const std::string& value) {
        scratch_.get_ref<std::string&>() = value;  // the buffer is reused
        serializer_.dump(scratch_, false, false, 0);
    }
    // ,"key": and the value; keys are plain ASCII.
    void key(const char* name) {
        text_ += ",\"";
        text_ += name;
        text_ += "\":";
    }
    void field(const char* name, int64_t value) { key(name), number(value); }
    void field(const char* name, const std::string& value) { key(name), string(value); }

    std::string& text_;
    nlohmann::detail::serializer<Json> serializer_;
    Json scratch_ = std::string();
};

}  // namespace

int64_t programmeJsonId(int originalNetworkId, int serviceId, int eventId) {
    return (static_cast<int64_t>(originalNetworkId) * 100000 + serviceId) * 100000 + eventId;
}

void writeProgrammeJson(const EpgStore& store, const ExportFilter& filter, ExportOutput& out) {
    GuideExport guide(store, filter);
    std::string text = "[";
    ProgrammeWriter writer(text);
    bool first = true;
    ExportProgramme programme;
    for (const ExportChannel& channel : guide.channels()) {
        for (const EventView& event : channel.events) {
            if (!guide.decode(channel, event, programme)) continue;
            text += first ? "\n" : ",\n";
            first = false;
            writer.write(channel, programme);
            if (text.size() >= (1u << 16)) {
                out.write(text);
                text.clear();
            }
        }
    }
    text += first ? "]\n" : "\n]\n";
    out.write(text);
}

}  // namespace corvane
