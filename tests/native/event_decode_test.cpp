// Narrow literals are Shift_JIS (the build's execution charset), so expected
// texts are written as the characters themselves.
#include "store/event_decode.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "store/arib.h"
#include "store/epg_store.h"
#include "tools/broadcast/si_builder.h"

using namespace corvane;
namespace bc = corvane::broadcast;

namespace {

struct StoreDeleter {
    void operator()(EpgStore* s) const { destroyStore(s); }
};
using StorePtr = std::unique_ptr<EpgStore, StoreDeleter>;

const int64_t kEvening = bc::broadcastTime(2026, 12, 7, 19, 0);

int64_t local(int64_t broadcast) {
    bc::CivilTime c = bc::civilTime(broadcast);
    return localTimeOf(c.year, c.month, c.day, c.hour, c.minute, c.second);
}

bc::Bytes concat(std::initializer_list<bc::Bytes> parts) {
    bc::Bytes out;
    for (const bc::Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::string repeat(const char* text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

// One event in a section of its own, held in an exactly sized heap copy so
// that a read past the section shows under AddressSanitizer.
class OneEvent {
public:
    explicit OneEvent(bc::Bytes descriptors, uint8_t tableId = 0x50, int64_t start = kEvening) {
        bc::EitEvent e;
        e.eventId = 0x1234;
        e.start = start;
        e.duration = 30 * 60;
        e.descriptors = std::move(descriptors);
        bc::Eit eit;
        eit.tableId = tableId;
        eit.serviceId = 1024;
        eit.originalNetworkId = 0x7FE0;
        eit.events = {e};
        setBytes(bc::eitSection(eit));
    }
    void setBytes(const bc::Bytes& section) {
        size_ = section.size();
        bytes_.reset(new uint8_t[size_]);
        std::memcpy(bytes_.get(), section.data(), size_);
    }
    EventView view() const { return EventCursor(bytes_.get(), size_).next(); }
    bc::Bytes bytes() const { return bc::Bytes(bytes_.get(), bytes_.get() + size_); }

private:
    std::unique_ptr<uint8_t[]> bytes_;
    size_t size_ = 0;
};

// Records every piece and checks the NUL after it.
class PieceSink : public TextSink {
public:
    void append(const char* text, size_t length) override {
        EXPECT_EQ('\0', text[length]);
        pieces.emplace_back(text, length);
        whole.append(text, length);
    }
    std::vector<std::string> pieces;
    std::string whole;
};

std::string extendedText(const bc::Bytes& descriptors) {
    OneEvent event(descriptors, 0x58);
    PieceSink sink;
    assembleExtendedText(event.view(), sink);
    return sink.whole;
}

}  // namespace

// --- Summary ------------------------------------------------------------------

TEST(EventSummary, ReadsHeaderNameTextAndDefaults) {
    OneEvent plain(bc::shortEventDescriptor("ニュース７", "今日の出来事"));
    EventSummary s = readEventSummary(plain.view());
    EXPECT_EQ(0x1234, s.eventId);
    EXPECT_EQ(local(kEvening), s.start);
    EXPECT_EQ(local(kEvening) + 1800, s.end);
    EXPECT_STREQ("ニュース７", s.name);
    EXPECT_STREQ("今日の出来事", s.text);
    EXPECT_EQ(0, s.componentType);
    EXPECT_EQ(0, s.audioComponentType);
    EXPECT_EQ(-1, s.genreLevel1);
    EXPECT_EQ(-1, s.genreLevel2);

    // An empty name is skipped without being counted: the text becomes the name.
    OneEvent unnamed(bc::shortEventDescriptor("", "天気予報"));
    s = readEventSummary(unnamed.view());
    EXPECT_STREQ("天気予報", s.name);
    EXPECT_STREQ("", s.text);

    OneEvent nothing(bc::componentDescriptor(0x01, 0xB3));
    s = readEventSummary(nothing.view());
    EXPECT_STREQ("", s.name);
    EXPECT_EQ(0xB3, s.componentType);
}

TEST(EventSummary, CutsNameAndTextOnCharacterBoundaries) {
    // "n" + 100 hiragana decode to 201 bytes: the first 159 are kept.
    const std::string name = "n" + repeat("あ", 100);
    EventSummary s = readEventSummary(OneEvent(bc::shortEventDescriptor(name, "")).view());
    EXPECT_EQ(name.substr(0, 159), s.name);

    // A cut that would split a character ends before it.
    s = readEventSummary(OneEvent(bc::shortEventDescriptor(repeat("い", 100), "")).view());
    EXPECT_EQ(repeat("い", 79), s.name);

    const std::string text = "t" + repeat("う", 200);
    s = readEventSummary(OneEvent(bc::shortEventDescriptor("え", text)).view());
    EXPECT_STREQ("え", s.name);
    EXPECT_EQ(text.substr(0, 339), s.text);

    s = readEventSummary(OneEvent(bc::shortEventDescriptor("え", repeat("お", 240))).view());
    EXPECT_EQ(repeat("お", 169), s.text);
}

TEST(EventSummary, TakesTheLastStreamDescriptorsAndTheFirstGenre) {
    bc::Bytes descriptors = concat({
        bc::componentDescriptor(0x01, 0x01),
        bc::componentDescriptor(0x01, 0xB3),  // a later one overwrites
        bc::audioComponentDescriptor(0x02),
        bc::audioComponentDescriptor(0x03),
        bc::descriptor(0x54, {0x50, 0xFF, 0x70, 0xFF}),  // only the first entry counts
        bc::shortEventDescriptor("番組", ""),
    });
    EventSummary s = readEventSummary(OneEvent(descriptors).view());
    EXPECT_EQ(0xB3, s.componentType);
    EXPECT_EQ(0x03, s.audioComponentType);
    EXPECT_EQ(5, s.genreLevel1);
    EXPECT_EQ(0, s.genreLevel2);
    EXPECT_STREQ("番組", s.name);

    s = readEventSummary(OneEvent(bc::contentDescriptor({{0x0, 0x1}, {0x8, 0x2}})).view());
    EXPECT_EQ(0, s.genreLevel1);
    EXPECT_EQ(1, s.genreLevel2);
    // A content descriptor without entries sets nothing.
    s = readEventSummary(OneEvent(bc::descriptor(0x54, {})).view());
    EXPECT_EQ(-1, s.genreLevel1);
}

TEST(EventSummary, ComponentLabels) {
    EXPECT_STREQ("1080i", videoFormatLabel(0xB3));
    EXPECT_STREQ("(16:9)", aspectLabel(0xB3));
    EXPECT_STREQ("480i", videoFormatLabel(0x01));
    EXPECT_STREQ("(4:3)", aspectLabel(0x01));
    EXPECT_STREQ("--", videoFormatLabel(0xC3));
    EXPECT_STREQ("(16:9)", aspectLabel(0xC3));
    EXPECT_STREQ("480p", videoFormatLabel(0xA4));
    EXPECT_STREQ("(4:3pan)", aspectLabel(0xA4));
    EXPECT_STREQ("(--)", aspectLabel(0xB2));
    EXPECT_STREQ("(--)", aspectLabel(0x00));
}

TEST(EventRawName, CopiesTheFirstItemUndecoded) {
    const bc::AribText name("ドラマ");
    bc::Bytes descriptors = concat({bc::shortEventDescriptor(name, "あらすじ"), bc::componentDescriptor(0x01, 0xC4),
                                    bc::audioComponentDescriptor(0x02), bc::contentDescriptor({{0x3, 0x0}})});
    OneEvent event(descriptors);
    uint8_t buffer[64];
    uint8_t component = 0, audio = 0;
    int32_t genre = 0;
    ASSERT_EQ(name.bytes.size(), readEventRawName(event.view(), buffer, sizeof buffer, &component, &audio, &genre));
    EXPECT_EQ(0, std::memcmp(name.bytes.data(), buffer, name.bytes.size()));
    EXPECT_EQ(0xC4, component);
    EXPECT_EQ(0x02, audio);
    EXPECT_EQ(3, genre);

    // Cut to the capacity; outputs are optional.
    EXPECT_EQ(2u, readEventRawName(event.view(), buffer, 2));
    EXPECT_EQ(0u, readEventRawName(event.view(), nullptr, 0));

    // An empty first item is the name, even when a text follows.
    OneEvent unnamed(bc::shortEventDescriptor("", "天気予報"));
    component = audio = 9;
    genre = 9;
    EXPECT_EQ(0u, readEventRawName(unnamed.view(), buffer, sizeof buffer, &component, &audio, &genre));
    EXPECT_EQ(0, component);
    EXPECT_EQ(0, audio);
    EXPECT_EQ(-1, genre);
}

// --- Extended text --------------------------------------------------------------

TEST(ExtendedText, JoinsItemTextAcrossDescriptorsBeforeDecoding) {
    // Kanji, then a run of alphanumerics invoked once with LS1: the builder's
    // split into a second descriptor falls inside the run, so decoding the
    // parts one by one would read the letters as Kanji.
    const std::string text = repeat("漢", 100) + repeat("ＡＢ", 100);
    bc::Bytes descriptors = bc::extendedEventDescriptors({{"番組内容", text}});
    ASSERT_GT(descriptors.size(), 257u) << "the text must span two descriptors";
    EXPECT_EQ(0x4E, descriptors[0]);
    EXPECT_EQ(0x4E, descriptors[2 + descriptors[1]]);
    EXPECT_EQ("\r\n\r\n番組内容\r\n" + text, extendedText(descriptors));

    // Items each in their own descriptor.
    descriptors = bc::extendedEventDescriptors({{"出演者", "山田"}, {"音楽", "ＡＢ"}});
    EXPECT_EQ("\r\n\r\n出演者\r\n山田\r\n\r\n音楽\r\nＡＢ", extendedText(descriptors));

    // Two items packed into one descriptor keep their own headings.
    descriptors = bc::extendedEventDescriptors({{"出演者", "山田"}, {"音楽", "ＡＢ"}}, true);
    ASSERT_EQ(descriptors.size(), 2u + descriptors[1]) << "one descriptor";
    EXPECT_EQ("\r\n\r\n出演者\r\n山田\r\n\r\n音楽\r\nＡＢ", extendedText(descriptors));

    EXPECT_EQ("", extendedText(bc::shortEventDescriptor("名前", "")));
}

TEST(ExtendedText, SplitsDecodedLinesWithoutABreakAfterTheLast) {
    OneEvent event(bc::extendedEventDescriptors({{"内容", "一行目\n二行目\n\n四行目\n"}}), 0x58);
    PieceSink sink;
    assembleExtendedText(event.view(), sink);
    std::vector<std::string> expected = {"\r\n\r\n内容\r\n", "一行目\r\n", "二行目\r\n", "\r\n", "四行目"};
    EXPECT_EQ(expected, sink.pieces);
}

TEST(ExtendedText, HeadingsAreCutTo99Bytes) {
    const std::string odd = "x" + repeat("見", 60);
    EXPECT_EQ("\r\n\r\n" + odd.substr(0, 99) + "\r\n本文", extendedText(bc::extendedEventDescriptors({{odd, "本文"}})));
    // 98 bytes rather than half a character.
    EXPECT_EQ("\r\n\r\n" + repeat("出", 49) + "\r\n本文",
              extendedText(bc::extendedEventDescriptors({{repeat("出", 60), "本文"}})));
}

TEST(ExtendedText, IsFoundInTheExtendedScheduleByStartTime) {
    StorePtr store(createStore());
    bc::EitEvent first, second;
    first.eventId = 1;
    first.start = kEvening;
    first.duration = 3600;
    first.descriptors = bc::extendedEventDescriptors({{"番組内容", "一時間目"}});
    second.eventId = 2;
    second.start = kEvening + 3600;
    second.duration = 3600;
    second.descriptors = bc::extendedEventDescriptors({{"番組内容", "二時間目"}});
    bc::Eit eit;
    eit.tableId = 0x58;
    eit.serviceId = 1024;
    eit.originalNetworkId = 0x7FE0;
    eit.events = {first, second};
    bc::Bytes section = bc::eitSection(eit);
    storeEitSection(store.get(), section.data(), section.size());
    ASSERT_EQ(1, store->serviceCount);

    StringTextSink sink;
    readExtendedText(store.get(), 0, local(kEvening + 3600), sink);
    EXPECT_EQ("\r\n\r\n番組内容\r\n二時間目", sink.value);
    sink.value.clear();
    readExtendedText(store.get(), 0, local(kEvening + 3 * 3600), sink);
    EXPECT_EQ("", sink.value);
    readExtendedText(store.get(), 5, local(kEvening), sink);  // no such service
    EXPECT_EQ("", sink.value);
}

// --- Damaged descriptors ----------------------------------------------------------

TEST(EventDecoding, StaysInsideTheSectionWhateverTheLengthsSay) {
    // A short event descriptor claiming more than the loop holds is cut at
    // the loop end: what is there is still read.
    bc::Bytes truncated = bc::shortEventDescriptor("名前", "長い説明文");
    truncated[1] = 200;
    EventSummary s = readEventSummary(OneEvent(truncated).view());
    EXPECT_STREQ("名前", s.name);
    EXPECT_STREQ("長い説明文", s.text);

    // A tag without its length byte ends the walk.
    s = readEventSummary(OneEvent(concat({bc::componentDescriptor(0x01, 0xB3), {0x50}})).view());
    EXPECT_EQ(0xB3, s.componentType);

    // descriptors_loop_length larger than the section: the loop ends before the CRC.
    OneEvent event(bc::shortEventDescriptor("名前", ""));
    bc::Bytes bytes = event.bytes();
    bytes[14 + 10] |= 0x0F;
    bytes[14 + 11] = 0xFF;
    event.setBytes(bytes);
    EXPECT_STREQ("名前", readEventSummary(event.view()).name);

    // Random descriptor loops: every decoder stays inside the exactly sized
    // copy (AddressSanitizer) and within its limits.
    std::mt19937 rng(20261207);
    const uint8_t tags[] = {0x4D, 0x4E, 0x50, 0x54, 0xC4, 0x00, 0xFF};
    for (int iteration = 0; iteration < 3000; ++iteration) {
        bc::Bytes loop;
        int count = 1 + static_cast<int>(rng() % 6);
        for (int d = 0; d < count; ++d) {
            loop.push_back(tags[rng() % std::size(tags)]);
            size_t length = rng() % 256;
            loop.push_back(static_cast<uint8_t>(length));
            size_t present = rng() % 4 == 0 ? rng() % (length + 1) : length;  // sometimes cut short
            for (size_t i = 0; i < present; ++i) loop.push_back(static_cast<uint8_t>(rng() % 8 == 0 ? rng() % 4 : rng()));
        }
        if (loop.size() > 4000) loop.resize(4000);
        OneEvent random(loop, 0x58);
        EventView view = random.view();
        ASSERT_TRUE(view);
        EventSummary summary = readEventSummary(view);
        EXPECT_LE(std::strlen(summary.name), kEventNameMax);
        EXPECT_LE(std::strlen(summary.text), kEventTextMax);
        uint8_t raw[16];
        EXPECT_LE(readEventRawName(view, raw, sizeof raw), sizeof raw);
        PieceSink sink;
        assembleExtendedText(view, sink);
        // Every heading is framed and cut.
        for (const std::string& piece : sink.pieces) {
            if (piece.rfind("\r\n\r\n", 0) == 0 && piece.size() >= 6) {
                EXPECT_LE(piece.size(), 4 + 99 + 2u);
            }
        }
    }
}

// --- Real broadcast sections ----------------------------------------------------

namespace {

using Bytes = std::vector<uint8_t>;

Bytes readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void putUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The reference rendering in our terms: its half-width letters and digits
// are full-width in ours (the broadcast sends them full-width), its squared
// ideographs are our bracketed symbol texts; then code page 932 by iconv.
std::string referenceToShiftJis(const std::string& utf8) {
    std::string adjusted;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            bool alnum = std::isalnum(c) != 0;
            putUtf8(adjusted, alnum ? char32_t(0xFF00 + c - 0x20) : char32_t(c));
            ++i;
        } else if (c >= 0xF0) {
            uint32_t code = (uint32_t(c & 0x07) << 18) | (uint32_t(utf8[i + 1] & 0x3F) << 12) |
                            (uint32_t(utf8[i + 2] & 0x3F) << 6) | uint32_t(utf8[i + 3] & 0x3F);
            const char32_t* symbol = code == 0x1F211 ? U"[字]" : code == 0x1F214 ? U"[二]" : code == 0x1F216 ? U"[解]" : U"?";
            for (; *symbol; ++symbol) putUtf8(adjusted, *symbol);
            i += 4;
        } else {
            size_t n = c >= 0xE0 ? 3 : 2;
            adjusted.append(utf8, i, n);
            i += n;
        }
    }
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "<no CP932 converter>";
    std::string out(adjusted.size() * 2 + 8, '\0');
    char* in = adjusted.data();
    size_t inLeft = adjusted.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

struct ReferenceEvent {
    int eventId = -1;
    std::string name, text, extended;
    int componentType = 0, audioComponentType = 0, genre1 = -1, genre2 = -1;
};

std::string quotedText(const std::string& line, size_t from = 0) {
    size_t open = line.find('"', from);
    size_t close = line.find('"', open + 1);
    return line.substr(open + 1, close - open - 1);
}

// The EIT events of the reference rendering, in file order, with their
// detail text assembled the way the views show it.
std::vector<ReferenceEvent> referenceEvents(const std::string& rendering) {
    std::vector<ReferenceEvent> events;
    std::string pendingText;  // item text of the current heading, UTF-8
    bool inAudio = false, genreSeen = false;
    auto finishText = [&] {
        if (!events.empty() && !pendingText.empty()) events.back().extended += referenceToShiftJis(pendingText);
        pendingText.clear();
    };
    size_t start = 0;
    while (start < rendering.size()) {
        size_t end = rendering.find('\n', start);
        if (end == std::string::npos) end = rendering.size();
        std::string line = rendering.substr(start, end - start);
        start = end + 1;
        line.erase(0, line.find_first_not_of(' '));
        if (line.rfind("* ", 0) == 0) finishText();
        if (line.rfind("- Event Id: ", 0) == 0) {
            finishText();
            events.emplace_back();
            events.back().eventId = std::stoi(line.substr(line.find('(') + 1));
            inAudio = genreSeen = false;
            continue;
        }
        if (events.empty()) continue;
        ReferenceEvent& e = events.back();
        if (line.rfind("- Descriptor", 0) == 0) inAudio = line.find("Audio Component") != std::string::npos;
        if (line.rfind("Event name: \"", 0) == 0) e.name = referenceToShiftJis(quotedText(line));
        if (line.rfind("Description: \"", 0) == 0) e.text = referenceToShiftJis(quotedText(line));
        if (line.rfind("Content/type: 0x", 0) == 0) e.componentType = std::stoi(line.substr(16, 4), nullptr, 16) & 0xFF;
        if (inAudio && line.rfind("Component type: 0x", 0) == 0)
            e.audioComponentType = std::stoi(line.substr(16, 4), nullptr, 16);
        if (line.rfind("Content: 0x", 0) == 0 && !genreSeen) {
            int nibbles = std::stoi(line.substr(9, 4), nullptr, 16);
            e.genre1 = nibbles >> 4;
            e.genre2 = nibbles & 15;
            genreSeen = true;
        }
        if (line.rfind("\"", 0) == 0 && line.find("\" : \"") != std::string::npos) {
            std::string description = quotedText(line);
            if (!description.empty()) {
                finishText();
                e.extended += "\r\n\r\n" + referenceToShiftJis(description) + "\r\n";
            }
            pendingText += quotedText(line, line.find("\" : \"") + 3);
        }
    }
    finishText();
    return events;
}

}  // namespace

TEST(EventDecoding, AgreesWithTheReferenceRenderingOfRealSections) {
    const std::string dir = CORVANE_SHARED_DATA;
    Bytes sections = readWholeFile(dir + "/isdbt-akita-sections.bin");
    Bytes rendering = readWholeFile(dir + "/isdbt-akita-sections.decoded.txt");
    if (sections.empty() || rendering.empty()) GTEST_SKIP() << "broadcast sections not available";

    // The present/following sections as they are, and a copy of each filed
    // as extended schedule, where the detail text is looked up.
    StorePtr store(createStore());
    for (size_t pos = 0; pos + 3 <= sections.size();) {
        size_t size = 3 + (((sections[pos + 1] & 0x0F) << 8) | sections[pos + 2]);
        ASSERT_LE(pos + size, sections.size());
        if (sections[pos] == 0x4E) {
            Bytes section(sections.begin() + pos, sections.begin() + pos + size);
            storeEitSection(store.get(), section.data(), section.size());
            section[0] = 0x58;
            storeEitSection(store.get(), section.data(), section.size());
        }
        pos += size;
    }
    std::vector<ReferenceEvent> expected = referenceEvents(std::string(rendering.begin(), rendering.end()));
    ASSERT_EQ(4u, expected.size());
    // The one item continued over two descriptors: the broadcaster cut it
    // after a katakana run invoked by a locking shift. The reference decodes
    // the continuation on its own and loses the shift ("タジタじ"); joined
    // into one string, as broadcast, it reads "タジタジ".
    const std::string cutApart = "みんなタジタじ。", joined = "みんなタジタジ。";
    size_t at = expected[1].extended.find(cutApart);
    ASSERT_NE(std::string::npos, at);
    expected[1].extended.replace(at, cutApart.size(), joined);

    size_t n = 0;
    for (int i = 0; i < store->serviceCount; ++i) {
        for (const SectionSlot& slot : store->services[i]->presentFollowing) {
            EventCursor cursor(slot);
            while (EventView event = cursor.next()) {
                ASSERT_LT(n, expected.size());
                const ReferenceEvent& ref = expected[n++];
                EventSummary s = readEventSummary(event);
                SCOPED_TRACE("event " + std::to_string(ref.eventId));
                EXPECT_EQ(ref.eventId, s.eventId);
                EXPECT_EQ(ref.name, s.name);
                EXPECT_EQ(ref.text.substr(0, shiftJisPrefixLength(ref.text.data(), ref.text.size(), 339)), s.text);
                EXPECT_EQ(ref.componentType, s.componentType);
                EXPECT_EQ(ref.audioComponentType, s.audioComponentType);
                EXPECT_EQ(ref.genre1, s.genreLevel1);
                EXPECT_EQ(ref.genre2, s.genreLevel2);
                EXPECT_EQ(localTimeOf(2020, 4, 5, 19, 0, 0) + 1800 * (ref.eventId - 3805), s.start);
                StringTextSink sink;
                readExtendedText(store.get(), i, event, sink);
                EXPECT_EQ(ref.extended, sink.value);
            }
        }
    }
    EXPECT_EQ(expected.size(), n);
    // Independent of the rendering: the news and its symbols, the joined item.
    EXPECT_STREQ("ＮＨＫニュース７[二][字]", readEventSummary(EventCursor(store->services[0]->presentFollowing[0]).next()).name);
    StringTextSink sink;
    readExtendedText(store.get(), 0, localTimeOf(2020, 4, 5, 19, 30, 0), sink);
    EXPECT_NE(std::string::npos, sink.value.find("実践形式の授業にみんなタジタジ。さらに"));
}
