// The ARIB text decoder, the event decoders and the SI handlers. Narrow
// literals here are Shift_JIS (the build's execution charset), so expected
// texts are written as the characters themselves.
#include "store/arib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "store/byte_reader.h"
#include "store/event_decode.h"
#include "store/si_tables.h"
#include "support/akita_sections.h"
#include "support/store_sections.h"
#include "tools/broadcast/arib_encoder.h"
#include "tools/common/shift_jis_utf8.h"

namespace corvane {
namespace {

using namespace std::literals;

// Decodes from an exactly sized heap copy into an exactly sized heap buffer,
// so that a read or write past either shows under AddressSanitizer.
std::string decode(std::string_view source, size_t outSize = 256) {
    const std::vector<uint8_t> copy(source.begin(), source.end());
    std::vector<char> out(outSize, 0x55);
    aribToShiftJis(copy.data(), copy.size(), out.data(), out.size());
    const auto end = std::find(out.begin(), out.end(), '\0');
    EXPECT_NE(end, out.end()) << "output not terminated";
    return std::string(out.begin(), end);
}

TEST(AribToShiftJis, MapsEachCharacterSet) {
    EXPECT_EQ(decode(""sv), "");
    EXPECT_EQ(decode("\x1B\x24\x39\x30\x21\x1B\x24\x3A\x30\x21"sv), "亜亜");      // JIS compatible planes
    // Through GR; codes off the 94 x 94 plane take both bytes and leave no stray lead byte.
    EXPECT_EQ(decode("\x1B\x24\x29\x42\x1B\x7E\xB0\xA1\xFF\xA1\xB0\xFF"sv), "亜");
    EXPECT_EQ(decode("\x0E!#(\"'\\`~"sv), "！＃（”’￥　￣");
    EXPECT_EQ(decode("\x0E\x89" "Az09!~`\\\x8A" "A"sv), "Az09!~ \\Ａ");
    // 0xFF through GR is a blank of the current width; DEL in GL is a control.
    EXPECT_EQ(decode("\x1B\x7E\xFF\x89\xFF\x0E\x7F"sv), "　 ");
    EXPECT_EQ(decode("\xA1\xF3\xF4\xF7\xF8\xF9\xFA\xFB\xFC\xFD\xFE\xFF\x1B\x7C\xA1\xDF\xE0\xF6\xF7\xF8\xFF"sv),
              "ぁん　ゝゞー。「」、・　ァミムヶヽヾ　");  // hiragana in GR, then katakana
    const std::pair<uint16_t, const char*> symbols[] = {
        {0x7A4F, ""}, {0x7A50, "[HV]"}, {0x7A74, "<ほか>"}, {0x7A75, ""}, {0x7D6D, ""}, {0x7D6E, "!!"}, {0x7D6F, "!?"},
        {0x7D70, ""}, {0x7E20, ""}, {0x7E21, "Ⅰ"}, {0x7E61, "①"}, {0x7E7D, "(31)"}, {0x7E7E, ""}, {0x2121, ""}};
    for (auto [index, text] : symbols)
        EXPECT_EQ(decode("\x1B\x24\x3B"s + char(index >> 8) + char(index & 0xFF)), text) << std::hex << index;
    EXPECT_EQ(decode("\x1B\x24\x2A\x3B\xFA\xD6\x1B\x24\x42\x30\x21"sv), "[字]亜");  // via GR, then Kanji again
}

TEST(AribToShiftJis, DesignationsAndShiftsSelectTheSets) {
    EXPECT_EQ(decode("\x1B\x28\x4A" "A\x1B\x29\x30\x0E\x22"sv), "Ａあ");    // one-byte sets to G0, G1
    EXPECT_EQ(decode("\x1B\x2A\x31\xA2\x1B\x2B\x42\x1D\x30\x21"sv), "ア亜");  // to G2 (GR), Kanji to G3
    // A DRCS set changes nothing; the one- and two-byte DRCS forms name sets too.
    EXPECT_EQ(decode("\x1B\x28\x20\x40\x30\x21\x1B\x28\x20\x4A" "A\x1B\x24\x28\x20\x42\x30\x21"sv), "亜Ａ亜");
    EXPECT_EQ(decode("\x1B\x28\x40\x30\x21\x1B\x40\x30\x21"sv), "亜亜");        // unknown final byte, unknown escape
    EXPECT_EQ(decode("\x1B\x24\x29\x42\x0E\x30\x21\x1B\x24\x2A\x3B\xFA\xD0"sv), "亜[HV]");  // two-byte sets to G1, G2
    // A DRCS set leaves G3 with katakana; a two-byte DRCS form puts Kanji there.
    EXPECT_EQ(decode("\x1B\x24\x2B\x20\x40\x1D\x22\x1B\x24\x2B\x20\x42\x1D\x30\x21"sv), "ア亜");
    // ESC $ ( without 0x20 is no designation: "(B" is text and G0 keeps hiragana.
    EXPECT_EQ(decode("\x1B\x28\x30\x0E\x1B\x24\x28\x42\x0F\x22"sv), "（Ｂあ");
    // Mosaic, proportional and JIS X 0201 sets take one byte each and show nothing.
    EXPECT_EQ(decode("\x1B\x28\x32" "A\x1B\x28\x36" "B\x1B\x28\x49" "C\x1B\x28\x42\x30\x21\x1B\x2A\x49\xB1"sv), "亜");
    EXPECT_EQ(decode("\x0E" "A\x0F\x30\x21\x1B\x6E\x22\x1B\x6F\x22"sv), "Ａ亜あア");  // LS1, LS0, LS2, LS3
    EXPECT_EQ(decode("\x1B\x7E\xC1\x1B\x7C\xA2\x1B\x7D\xA2"sv), "Ａアあ");    // LS1R, LS3R, LS2R
    // Single shifts last one character, a two-byte one too.
    EXPECT_EQ(decode("\x19\x22\x30\x21\x1D\x22\x30\x21\x0E\x1B\x24\x2A\x42\x19\x30\x21" "A"sv), "あ亜ア亜亜Ａ");
    // A byte that is no left-half code ends a single shift and is read as it stands.
    EXPECT_EQ(decode("\x1B\x7C\x19\xA2\x19\x0D\x1D\x19\x22"sv), "ア\rあ");
    // Other controls show nothing and keep their parameters; CR LF is one CR.
    EXPECT_EQ(decode("\x0E" "A\x20" "A\x7F" "A\x01" "A\x80" "A\xA0" "A\x0A" "A\x9B" "A\r\nB\rC\n\rD"sv),
              "ＡＡＡＡＡＡＡＡ\rＢ\rＣ\rＤ");
}

TEST(AribToShiftJis, DropsUnitsThatDoNotFit) {
    EXPECT_EQ(decode("\x0E\x89"s + std::string(30, 'A'), 20), std::string(18, 'A'));
    for (auto [size, text] : {std::pair{6, "亜亜"}, {5, "亜"}, {3, ""}, {1, ""}})
        EXPECT_EQ(decode("\x30\x21\x30\x21\x30\x21"sv, size), text) << size;
    // A dropped unit leaves room for a shorter one after it.
    EXPECT_EQ(decode("\x1B\x24\x3B\x7A\x50\x7A\x51\x0E\x89" "A"sv, 8), "[HV]A");
    EXPECT_EQ(decode("\x0E\x89" "AB\x8A" "C\x89" "D"sv, 5), "ABD");
    char out[8] = "xyz";
    aribToShiftJis(nullptr, 10, out, sizeof out);
    EXPECT_STREQ(out, "");
}

TEST(AribToShiftJis, StopsWhereASequenceIsCutShort) {
    for (std::string_view tail : {"\x1B"sv, "\x1B\x28"sv, "\x1B\x28\x20"sv, "\x1B\x24"sv, "\x1B\x24\x29"sv,
                                  "\x1B\x24\x29\x20"sv, "\x1B\x24\x28"sv, "\x1B\x24\x28\x20"sv, "\x19"sv, "\x1D"sv,
                                  "\x0F\x30"sv, "\x1B\x24\x2A\x42\x19\x30"sv, "\x0F\x1B\x24\x3B\x7A"sv,
                                  "\x1B\x24\x29\x42\x1B\x7E\xB0"sv}) {
        const std::string source = "\x0E" "A"s + std::string(tail);
        EXPECT_EQ(decode(source), "Ａ") << "tail of " << tail.size() << " bytes";
    }
}

// Every JIS X 0208 code of Shift_JIS rows 1..84 (code page 932's NEC row 13
// included) the broadcast builder encodes comes back unchanged, in both
// styles and in kana context, where symbols go to the kana sets.
TEST(AribToShiftJis, RoundTripsTheBroadcastBuildersTexts) {
    const auto roundTrip = [](const std::string& text, broadcast::AribStyle style) {
        const std::vector<uint8_t> arib = broadcast::shiftJisToArib(text, style);
        return decode(std::string_view(reinterpret_cast<const char*>(arib.data()), arib.size()), arib.size() * 2 + 80);
    };
    std::string all;
    for (int s1 = 0x81; s1 <= 0xEA; s1 = s1 == 0x9F ? 0xE0 : s1 + 1)
        for (int s2 = 0x40; s2 <= 0xFC; ++s2)
            if (s2 != 0x7F) all += {static_cast<char>(s1), static_cast<char>(s2)};
    for (auto style : {broadcast::AribStyle::DefaultSets, broadcast::AribStyle::DesignateIntoG0})
        for (const std::string text : {all.c_str(), "ひらがなとカタカナ、ゝゞヽヾ。ー「」・", "ABC123#!/:\r出演者：山田花子"})
            EXPECT_EQ(roundTrip(text, style), text) << text;
    EXPECT_EQ(roundTrip("ＡＢ　C D", broadcast::AribStyle::DefaultSets), "ＡＢ　CD");  // a half-width blank is SP, shown as nothing
}

// The texts of a descriptor loop, read by plain offsets: service and provider
// names, extended items, network and TS names.
void collectTexts(ByteReader loop, std::vector<std::string>& out) {
    auto text = [&out](ByteReader& r, size_t n) {
        const uint8_t* bytes = r.bytes(n);
        out.push_back(bytes ? aribToShiftJisString(bytes, n) : "<cut>");
    };
    while (loop.remaining() >= 2) {
        uint8_t tag = loop.u8();
        ByteReader d = loop.window(loop.u8());
        if (tag == 0x40) text(d, d.remaining());
        if (tag == 0xCD && d.skip(1)) text(d, d.u8() >> 2);
        if (tag == 0x48 && d.skip(1))
            for (int field = 0; field < 2; ++field) text(d, d.u8());
        if (tag == 0x4E && d.skip(4))
            for (ByteReader items = d.window(d.u8()); !items.atEnd() && !items.error();)
                text(items, items.u8());
    }
}

// Event names and descriptions come from the event decoder.
TEST(AribToShiftJis, DecodesTheTextsOfRealSectionsAsTheReferenceDoes) {
    std::vector<std::string> decoded;
    auto entries = [&decoded](ByteReader list, size_t prefix) {
        while (!list.atEnd() && !list.error() && list.skip(prefix)) collectTexts(list.window(list.u12()), decoded);
    };
    const bool present = forEachAkitaSection([&](const uint8_t* section, size_t size) {
        ByteReader body(section + 8, size - 12);  // after the long header, before the CRC
        if (section[0] == 0x42 && body.skip(3)) entries(body, 3);  // SDT
        for (EventCursor cursor(section, section[0] == 0x4E ? size : 0); EventView event = cursor.next();) {
            const EventSummary summary = readEventSummary(event);
            decoded.insert(decoded.end(), {summary.name, summary.text});
            collectTexts(ByteReader(event.descriptors(), event.descriptorsLength()), decoded);
        }
        if (section[0] == 0x40) {  // NIT
            collectTexts(body.window(body.u12()), decoded);
            entries(body.window(body.u12()), 4);
        }
    });
    std::vector<std::string> expected =
        akitaReferenceTexts({"Service:", "Event name:", "Description:", "\"", "Name:", "TS name:"});
    if (!present || expected.empty()) GTEST_SKIP() << "broadcast sections not available";
    EXPECT_EQ(std::count(decoded.begin(), decoded.end(), "ＮＨＫニュース７[二][字]"), 2);
    EXPECT_EQ(std::count(decoded.begin(), decoded.end(), "ＮＨＫ総合１・秋田"), 1);
    ShiftJisToUtf8 utf8;
    for (std::string& text : decoded) text = utf8.convert(text);
    std::erase(decoded, "");
    for (auto* texts : {&decoded, &expected}) std::sort(texts->begin(), texts->end());
    EXPECT_EQ(expected, decoded);
}

// The event decoders, and the NIT and SDT handlers fed with whole built
// sections as the reader hands them on after the CRC check.
namespace bc = corvane::broadcast;

namespace {

// A section with one event, 0x1234 at 19:00 on 2026-12-07 for 30 minutes.
bc::Bytes eventSection(const bc::Bytes& descriptors, uint8_t tableId = 0x50) {
    return eit(tableId, 1024, 0, 1, {event(0x1234, at(0, 19), 30, descriptors)});
}

// The event of a section held in an exactly sized copy (the builder's vectors
// have spare capacity), so that a read past the section shows under AddressSanitizer.
struct OneEvent {
    explicit OneEvent(const bc::Bytes& section) : bytes(section.begin(), section.end()) {}
    EventView view() const { return EventCursor(bytes.data(), bytes.size()).next(); }
    const bc::Bytes bytes;
};

EventSummary summary(const bc::Bytes& descriptors) {
    return readEventSummary(OneEvent(eventSection(descriptors)).view());
}

// name, text, componentType, audioComponentType, genreLevel1 and genreLevel2.
auto fieldsOf(const EventSummary& s) {
    return std::tuple(std::string(s.name), std::string(s.text), s.componentType, s.audioComponentType, s.genreLevel1,
                      s.genreLevel2);
}

// The pieces of an event's extended text; checks the NUL after each.
struct PieceSink : TextSink {
    explicit PieceSink(EventView event) { assembleExtendedText(event, *this); }
    void append(const char* text, size_t length) override {
        EXPECT_EQ('\0', text[length]);
        pieces.emplace_back(text, length);
        whole.append(text, length);
    }
    std::vector<std::string> pieces;
    std::string whole;
};

PieceSink extended(const bc::Bytes& descriptors) { return PieceSink(OneEvent(eventSection(descriptors, 0x58)).view()); }

void take(void (*handler)(EpgStore*, const uint8_t*, size_t), EpgStore* store, const bc::Bytes& section) {
    handler(store, section.data(), section.size());
}

bc::Bytes satelliteNit(uint8_t tableId = 0x40) {
    // A BS entry whose service list comes before its satellite descriptor,
    // then a TS information descriptor naming two services, one unknown.
    const bc::NitTransportStream bs{0x4010, 4, concat({bc::serviceListDescriptor({{101, 0x01}, {103, 0xC0}}),
                                                       bc::satelliteDeliveryDescriptor({.frequency = 0x01172748}),
                                                       bc::tsInformationDescriptor({7, "ＢＳ朝日", {{0x0F, {101, 999}}}})})};
    return bc::nitSection({.tableId = tableId, .networkId = 4, .networkDescriptors = {}, .transportStreams = {bs}});
}

bc::Bytes csSdt(uint8_t tableId = 0x42) {
    return bc::sdtSection({.tableId = tableId, .transportStreamId = 1, .originalNetworkId = 6, .services = {
        {.serviceId = 1, .descriptors = bc::serviceDescriptor(0x01, "スカパー", "映画")},
        {.serviceId = 2, .descriptors = bc::serviceDescriptor(0xC0, "スカパー", "データ")},
        {.serviceId = 3, .descriptors = bc::serviceDescriptor(0x01, bc::AribText::raw(bc::Bytes(60, 0x21)), "")},
        {.serviceId = 4, .descriptors = bc::serviceDescriptor(0x01, "", "")}}});
}

}  // namespace

TEST(EventSummary, ReadsHeaderTextsAndStreamFields) {
    EventSummary s = summary(bc::shortEventDescriptor("ニュース７", "今日の出来事"));
    const int64_t start = localTimeOf(2026, 12, 7, 19, 0, 0);
    EXPECT_EQ(std::tuple(0x1234, start, start + 1800), std::tuple(s.eventId, s.start, s.end));
    EXPECT_EQ(std::tuple("ニュース７", "今日の出来事", 0, 0, -1, -1), fieldsOf(s));
    // An empty name is skipped without being counted: the text becomes the name.
    EXPECT_EQ(std::tuple("天気予報", "", 0, 0, -1, -1), fieldsOf(summary(bc::shortEventDescriptor("", "天気予報"))));
    // The last component and audio component win; of a content descriptor only its first entry counts.
    s = summary(concat({bc::componentDescriptor(0x01, 0x01), bc::componentDescriptor(0x01, 0xB3),
                        bc::audioComponentDescriptor(0x02), bc::audioComponentDescriptor(0x03),
                        bc::descriptor(0x54, {0x50, 0xFF, 0x70, 0xFF})}));
    EXPECT_EQ(std::tuple("", "", 0xB3, 0x03, 5, 0), fieldsOf(s));
}

TEST(EventSummary, CutsNameAndTextOnCharacterBoundaries) {
    const std::string name = "n" + repeat("あ", 100), text = "t" + repeat("う", 200);
    EXPECT_EQ(name.substr(0, 159), summary(bc::shortEventDescriptor(name, "")).name);
    EXPECT_EQ(repeat("い", 79), summary(bc::shortEventDescriptor(repeat("い", 100), "")).name);  // not half of one
    EXPECT_EQ(std::tuple("え", text.substr(0, 339), 0, 0, -1, -1),
              fieldsOf(summary(bc::shortEventDescriptor("え", text))));
    EXPECT_EQ(repeat("お", 169), summary(bc::shortEventDescriptor("え", repeat("お", 240))).text);
}

TEST(EventRawName, CopiesTheFirstItemUndecodedEvenWhenEmpty) {
    const bc::AribText name("ドラマ");
    OneEvent event(eventSection(concat({bc::shortEventDescriptor(name, "あらすじ"), bc::componentDescriptor(0x01, 0xC4),
                                        bc::audioComponentDescriptor(0x02), bc::contentDescriptor({{0x3, 0x0}})})));
    // The component, audio and genre it also gives agree with the summary (a fuzz invariant).
    uint8_t buffer[64];
    ASSERT_EQ(name.bytes.size(), readEventRawName(event.view(), buffer, sizeof buffer));
    EXPECT_EQ(name.bytes, bc::Bytes(buffer, buffer + name.bytes.size()));
    EXPECT_EQ(2u, readEventRawName(event.view(), buffer, 2));  // cut to the capacity
    // An empty first item is the name even when a text follows.
    const OneEvent unnamed(eventSection(bc::shortEventDescriptor("", "天気予報")));
    EXPECT_EQ(0u, readEventRawName(unnamed.view(), buffer, sizeof buffer));
}

TEST(ExtendedText, JoinsItemsAcrossDescriptorsAndSendsLinesAndItems) {
    auto items = [](const bc::Bytes& descriptors) {
        std::vector<std::pair<std::string, std::string>> out;
        for (const ExtendedItemText& item : readExtendedItems(OneEvent(eventSection(descriptors, 0x58)).view()))
            out.emplace_back(item.description, item.text);
        return out;
    };
    using Items = std::vector<std::pair<std::string, std::string>>;
    // Kanji, then a run of alphanumerics invoked once with LS1: the builder
    // continues the text in a second descriptor (with an empty description)
    // inside the run, so decoding the parts apart would read letters as Kanji.
    const std::string text = repeat("漢", 100) + repeat("ＡＢ", 100);
    const bc::Bytes descriptors = bc::extendedEventDescriptors({{"番組内容", text}, {"出演者", "山田\n佐藤"}});
    ASSERT_GT(descriptors.size(), 2u + descriptors[1]) << "the text must span two descriptors";
    EXPECT_EQ("\r\n\r\n番組内容\r\n" + text + "\r\n\r\n出演者\r\n山田\r\n佐藤", extended(descriptors).whole);
    EXPECT_EQ((Items{{"番組内容", text}, {"出演者", "山田\r\n佐藤"}}), items(descriptors));
    // Items in descriptors of their own or packed into one keep their own
    // headings; text without a description before it comes under an empty one.
    for (bool packed : {false, true})
        EXPECT_EQ("\r\n\r\n出演者\r\n山田\r\n\r\n音楽\r\nＡＢ",
                  extended(bc::extendedEventDescriptors({{"出演者", "山田"}, {"音楽", "ＡＢ"}}, packed)).whole);
    EXPECT_EQ((Items{{"", "本文"}, {"出演者", "山田"}}),
              items(bc::extendedEventDescriptors({{"", "本文"}, {"出演者", "山田"}}, true)));
    // One piece per decoded CR, with no line break after the last.
    EXPECT_EQ((std::vector<std::string>{"\r\n\r\n内容\r\n", "一行目\r\n", "二行目\r\n", "\r\n", "四行目"}),
              extended(bc::extendedEventDescriptors({{"内容", "一行目\n二行目\n\n四行目\n"}})).pieces);
    // Headings are cut to 99 bytes, or 98 rather than half a character.
    for (auto [heading, kept] : {std::pair{"x" + repeat("見", 60), 99}, {repeat("出", 60), 98}})
        EXPECT_EQ("\r\n\r\n" + heading.substr(0, kept) + "\r\n本文",
                  extended(bc::extendedEventDescriptors({{heading, "本文"}})).whole);
}

TEST(EventComponents, ReadsEveryGenreAudioStreamAndTheVideo) {
    // Two content descriptors (the last wins, all its entries), two audio
    // components (dual mono with its second language, and a 44.1 kHz stereo
    // one whose language bytes are not letters), two components (the last wins).
    bc::Bytes badLanguage = bc::audioComponentDescriptor(0x03, 0x11, 6);
    std::copy_n("1@#", 3, badLanguage.begin() + 8);
    const OneEvent event(eventSection(concat({bc::contentDescriptor({{0x1, 0x2}}),
                                              bc::contentDescriptor({{0x6, 0x1, 0x3A}, {0xE, 0x0, 0xFF}}),
                                              bc::audioComponentDescriptor(0x02, 0x10, 7), badLanguage,
                                              bc::componentDescriptor(0x01, 0x01),
                                              bc::componentDescriptor(0x05, 0xB3)})));
    const EventComponents c = readEventComponents(event.view());
    EXPECT_EQ(std::tuple(true, 0x05, 0xB3), std::tuple(c.hasVideo, +c.streamContent, +c.componentType));
    ASSERT_EQ(2, c.contentCount);
    EXPECT_EQ(std::tuple(6, 1, 3, 0xA), std::tuple(+c.content[0].level1, +c.content[0].level2, +c.content[0].user1,
                                                   +c.content[0].user2));
    ASSERT_EQ(2, c.audioCount);
    auto audio = [](const AudioComponent& a) {
        return std::tuple(+a.componentType, +a.componentTag, samplingRateHz(a.samplingRate), a.mainComponent,
                          std::string(a.languages[0]), std::string(a.languages[1]));
    };
    EXPECT_EQ(std::tuple(0x02, 0x10, 48000, true, "jpn", "eng"), audio(c.audio[0]));
    EXPECT_EQ(std::tuple(0x03, 0x11, 44100, true, "", ""), audio(c.audio[1]));
    // A content entry cut after its genre byte still counts, as in the summary.
    EXPECT_EQ(1, readEventComponents(OneEvent(eventSection(bc::descriptor(0x54, {0x31}))).view()).contentCount);
}

TEST(SiTables, NetworkAndServiceDescriptionsDescribeTelevisionServicesOnly) {
    StorePtr store(createStore());
    take(handleNitSection, store.get(), satelliteNit(0x41));  // NIT other: nothing
    EXPECT_EQ(0, store->serviceCount);
    take(handleNitSection, store.get(), satelliteNit());
    ASSERT_EQ(1, store->serviceCount);  // 103 is no TV service, 999 is never created
    const ServiceRecord& bs = *store->services[0];
    EXPECT_EQ(std::tuple(101, 4, 0x4010, 4, 7), std::tuple(int{bs.serviceId}, bs.networkClass(), int{bs.transportStreamId},
                                                            int{bs.deliveryNetworkClass}, int{bs.remoteKeyId}));
    EXPECT_EQ(0, std::memcmp(bs.satelliteFrequency, "\x01\x17\x27\x48", 4));
    EXPECT_EQ(bc::AribText("ＢＳ朝日").bytes, bc::Bytes(bs.tsName, bs.tsName + bs.tsNameLength));

    // The SDT's names, within their fields.
    store.reset(createStore());
    take(handleSdtSection, store.get(), csSdt(0x46));  // SDT other: nothing
    EXPECT_EQ(0, store->serviceCount);
    take(handleSdtSection, store.get(), csSdt());
    ASSERT_EQ(2, store->serviceCount);  // the data service and the one without names get no record
    const ServiceRecord &film = *store->services[0], &wide = *store->services[1];
    EXPECT_EQ(std::tuple(1, 6), std::tuple(int{film.serviceId}, film.networkClass()));
    EXPECT_EQ(bc::AribText("映画").bytes, bc::Bytes(film.serviceName, film.serviceName + film.serviceNameLength));
    EXPECT_EQ(std::tuple(3, 50, 0), std::tuple(int{wide.serviceId}, int{wide.providerNameLength}, int{wide.serviceNameLength}));
}

}  // namespace
}  // namespace corvane
