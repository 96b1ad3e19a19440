// The event decoders, and the NIT and SDT handlers fed with whole built
// sections as the reader hands them on after the CRC check. Narrow literals
// are Shift_JIS (the build's execution charset).
#include "store/event_decode.h"
#include "store/si_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "support/store_sections.h"

using namespace corvane;
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
