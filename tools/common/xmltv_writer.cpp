#include "tools/common/xmltv_writer.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "guide/genre_table.h"

namespace corvane {

namespace {

// Collects the document and hands it on in large pieces.
class XmlText {
public:
    explicit XmlText(ExportOutput& out) : out_(out) {}
    ~XmlText() { flush(); }
    XmlText& operator<<(std::string_view raw) {
        text_.append(raw);
        if (text_.size() >= (1u << 16)) flush();
        return *this;
    }
    // Character data or an attribute value: runs without markup characters
    // are copied whole.
    XmlText& escaped(std::string_view value) {
        size_t run = 0;  // start of the run not yet copied
        for (size_t i = 0; i < value.size(); ++i) {
            const char c = value[i];
            if (c != '&' && c != '<' && c != '>' && c != '"') continue;
            text_.append(value.data() + run, i - run);
            text_ += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : "&quot;";
            run = i + 1;
        }
        text_.append(value.data() + run, value.size() - run);
        return *this;
    }
    XmlText& element(std::string_view indent, std::string_view open, std::string_view name, std::string_view value) {
        *this << indent << "<" << open << ">";
        escaped(value);
        return *this << "</" << name << ">\n";
    }
    void flush() {
        if (!text_.empty()) out_.write(text_);
        text_.clear();
    }

private:
    ExportOutput& out_;
    std::string text_;
};

// Only blanks, line breaks and ideographic spaces: broadcasters send a lone
// U+3000 for "no text", which XMLTV readers take for an empty description.
bool isBlank(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 3) == "\xE3\x80\x80")
            i += 2;
        else if (text[i] != ' ' && text[i] != '\n' && text[i] != '\t')
            return false;
    }
    return true;
}

const char* aspectOf(uint8_t componentType) {
    switch (componentType & 0x0F) {
        case 1: return "4:3";
        case 2:  // with pan vectors
        case 3: return "16:9";
        default: return nullptr;  // wider than 16:9, or not given
    }
}

const char* qualityOf(uint8_t componentType) {
    const char* resolution = videoResolutionOf(componentType);
    if (!resolution) return nullptr;
    const std::string_view r(resolution);
    return r == "480i" || r == "480p" || r == "240p" || r == "180p" ? "SD" : "HD";
}

const char* stereoOf(uint8_t audioComponentType) {
    switch (audioComponentType) {
        case 0x01: return "mono";
        case 0x02: return "bilingual";  // dual mono
        case 0x03: return "stereo";
        case 0x04:
        case 0x05:
        case 0x06:
        case 0x07:
        case 0x08:
        case 0x09: return "surround";
        default: return nullptr;
    }
}

void writeChannel(XmlText& xml, const ExportChannel& channel) {
    xml << "  <channel id=\"" << xmltvChannelId(channel) << "\">\n";
    if (!channel.name.empty()) xml.element("    ", "display-name lang=\"ja\"", "display-name", channel.name);
    if (!channel.label.empty() && channel.label != channel.name)
        xml.element("    ", "display-name", "display-name", channel.label);
    if (channel.name.empty() && channel.label.empty())
        xml.element("    ", "display-name", "display-name", channel.columnName);
    xml << "  </channel>\n";
}

// The genre table's names in UTF-8, converted once per document.
struct GenreNames {
    explicit GenreNames(GuideExport& guide) {
        for (int major = 0; major < GenreTable::majorCount; ++major) {
            this->major[major] = guide.utf8(GenreTable::majorName(major));
            for (int sub = 0; sub < GenreTable::subGenreCount(major); ++sub)
                this->sub[major][sub] = guide.utf8(GenreTable::subGenreName(major, sub));
        }
    }
    std::string major[GenreTable::majorCount];
    std::string sub[GenreTable::majorCount][16];
};

// What every programme of a channel repeats.
struct ChannelTexts {
    explicit ChannelTexts(const ExportChannel& channel)
        : id(xmltvChannelId(channel)),
          eventPrefix(std::to_string(channel.originalNetworkId) + "." + std::to_string(channel.serviceId) + ".") {}
    std::string id;
    std::string eventPrefix;  // of the episode number
};

void writeProgramme(XmlText& xml, const GenreNames& genres, const ChannelTexts& channel, const ExportProgramme& p) {
    xml << "  <programme start=\"" << xmltvTime(p.start) << "\"";
    if (p.duration >= 0) xml << " stop=\"" << xmltvTime(p.start + p.duration) << "\"";
    xml << " channel=\"" << channel.id << "\">\n";
    xml.element("    ", "title lang=\"ja\"", "title", p.name);

    std::string desc = p.description;
    for (const ExtendedItemText& item : p.extended) {
        if (!desc.empty()) desc += "\n\n";
        desc += item.description;
        if (!item.description.empty() && !item.text.empty()) desc += '\n';
        desc += item.text;
    }
    if (!isBlank(desc)) xml.element("    ", "desc lang=\"ja\"", "desc", desc);

    // Every entry of the content descriptor: the Japanese names first (the
    // guide's genre leads), then the English major names; each once.
    const EventComponents& c = p.components;
    const std::string* said[3 * kMaxContentEntries];
    size_t saidCount = 0;
    auto category = [&](const char* open, const std::string& name) {
        if (name.empty() || std::find(said, said + saidCount, &name) != said + saidCount) return;
        said[saidCount++] = &name;
        xml.element("    ", open, "category", name);
    };
    for (int i = 0; i < c.contentCount; ++i) {
        const ContentEntry& genre = c.content[i];
        if (genre.level1 >= GenreTable::majorCount) continue;
        category("category lang=\"ja\"", genres.major[genre.level1]);
        category("category lang=\"ja\"", genres.sub[genre.level1][genre.level2]);
    }
    static const std::string english[GenreTable::majorCount] = {"News",        "Sports",  "Information", "Drama",
                                                                "Music",       "Variety", "Movie",       "Animation",
                                                                "Documentary", "Theatre", "Hobby",       "Welfare"};
    for (int i = 0; i < c.contentCount; ++i)
        if (c.content[i].level1 < GenreTable::majorCount)
            category("category lang=\"en\"", english[c.content[i].level1]);

    xml << "    <episode-num system=\"isdb_event\">" << channel.eventPrefix << std::to_string(p.eventId)
        << "</episode-num>\n";

    const char* aspect = c.hasVideo ? aspectOf(c.componentType) : nullptr;
    const char* quality = c.hasVideo ? qualityOf(c.componentType) : nullptr;
    if (aspect || quality) {
        xml << "    <video>";
        if (aspect) xml << "<aspect>" << aspect << "</aspect>";
        if (quality) xml << "<quality>" << quality << "</quality>";
        xml << "</video>\n";
    }
    if (const char* stereo = stereoOf(p.audioComponentType))
        xml << "    <audio><stereo>" << stereo << "</stereo></audio>\n";
    xml << "  </programme>\n";
}

}  // namespace

std::string xmltvChannelId(const ExportChannel& channel) {
    char id[48];
    std::snprintf(id, sizeof id, "%d.%d.isdb", channel.serviceId, channel.originalNetworkId);
    return id;
}

std::string xmltvTime(int64_t broadcastClock) {
    int64_t days = broadcastClock / 86400, seconds = broadcastClock % 86400;
    if (seconds < 0) seconds += 86400, --days;
    const Date date = mjdToDate(static_cast<int>(days + kMjdOf1970));
    // Written digit by digit: two of these for every programme.
    char text[] = "00000000000000 +0900";
    auto put = [&text](int at, int digits, int64_t value) {
        for (int i = at + digits - 1; i >= at; --i, value /= 10) text[i] = static_cast<char>('0' + value % 10);
    };
    put(0, 4, date.year < 0 ? 0 : date.year % 10000);
    put(4, 2, date.month);
    put(6, 2, date.day);
    put(8, 2, seconds / 3600);
    put(10, 2, seconds / 60 % 60);
    put(12, 2, seconds % 60);
    return text;
}

void writeXmltv(const EpgStore& store, const ExportFilter& filter, ExportOutput& out) {
    GuideExport guide(store, filter);
    XmlText xml(out);
    xml << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE tv SYSTEM \"xmltv.dtd\">\n"
           "<tv generator-info-name=\"corvane-epg\">\n";
    for (const ExportChannel& channel : guide.channels()) writeChannel(xml, channel);
    const GenreNames genres(guide);
    ExportProgramme programme;
    for (const ExportChannel& channel : guide.channels()) {
        const ChannelTexts texts(channel);
        for (const EventView& event : channel.events)
            if (guide.decode(channel, event, programme)) writeProgramme(xml, genres, texts, programme);
    }
    xml << "</tv>\n";
}

}  // namespace corvane
