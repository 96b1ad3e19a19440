// The broadcast builder that every transport-stream fixture is made with:
// byte positions are checked against the published layouts, texts against the
// program's own ARIB decoder. Narrow literals are Shift_JIS.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "store/arib.h"
#include "tools/broadcast/arib_encoder.h"
#include "tools/broadcast/packetizer.h"
#include "tools/broadcast/si_builder.h"

namespace corvane {
namespace {

namespace bc = broadcast;
using bc::Bytes;

Bytes bytesOf(const char* text) { return Bytes(text, text + std::char_traits<char>::length(text)); }

Bytes slice(const Bytes& b, size_t from, size_t n) { return Bytes(b.begin() + from, b.begin() + from + n); }

size_t sectionLength(const Bytes& s) { return ((s[1] & 0x0F) << 8) | s[2]; }

std::string decode(const Bytes& arib) {
    std::vector<char> out(arib.size() * 2 + 80);
    aribToShiftJis(arib.data(), arib.size(), out.data(), out.size());
    return out.data();
}

TEST(BroadcastCrc, MatchesTheMpeg2CheckValueAndClosesSections) {
    EXPECT_EQ(bc::crc32Mpeg2(bytesOf("123456789")), 0x0376E6E7u);
    Bytes section = bc::finishSection({0x70, 0x70, 0x00, 0xC0, 0x79, 0x12, 0x45, 0x00});
    ASSERT_EQ(section.size(), 12u);
    EXPECT_EQ(sectionLength(section), 9u);
    EXPECT_EQ(section[1] & 0xF0, 0x70);  // flags kept
    EXPECT_EQ(bc::crc32Mpeg2(section), 0u);  // CRC_32 included, the remainder is zero
    section[5] ^= 0x01;
    EXPECT_NE(bc::crc32Mpeg2(section), 0u);
}

// ETSI EN 300 468 Annex C: 93/10/13 12:45:00 is 0xC079124500.
TEST(BroadcastSections, EitAndTotFieldsSitWhereTheLayoutPutsThem) {
    int64_t start = bc::broadcastTime(1993, 10, 13, 12, 45, 0);
    EXPECT_EQ(bc::modifiedJulianDate(start), 0xC079);
    bc::EitEvent event;
    event.eventId = 0x1234;
    event.start = start;
    event.duration = 1 * 3600 + 45 * 60 + 30;
    event.runningStatus = 4;
    event.descriptors = bc::shortEventDescriptor("亜", "あい");
    bc::Eit eit;
    eit.tableId = 0x51;
    eit.serviceId = 1024;
    eit.transportStreamId = 0x7FE0;
    eit.originalNetworkId = 0x7FE1;
    eit.version = 21;
    eit.sectionNumber = 0x48;
    eit.lastSectionNumber = 0xF8;
    eit.segmentLastSectionNumber = 0x49;
    eit.lastTableId = 0x51;
    eit.events = {event};
    Bytes s = bc::eitSection(eit);

    Bytes shortEvent = {0x4D, 9, 'j', 'p', 'n', 2, 0x30, 0x21, 2, 0xA2, 0xA4};  // Kanji in GL, hiragana in GR
    ASSERT_EQ(s.size(), 14u + 12u + shortEvent.size() + 4u);
    EXPECT_EQ(sectionLength(s), s.size() - 3);
    EXPECT_EQ(slice(s, 0, 14), (Bytes{0x51, 0xF0, static_cast<uint8_t>(s.size() - 3), 0x04, 0x00, 0xC0 | 21 << 1 | 1,
                                      0x48, 0xF8, 0x7F, 0xE0, 0x7F, 0xE1, 0x49, 0x51}));
    EXPECT_EQ(slice(s, 14, 12), (Bytes{0x12, 0x34, 0xC0, 0x79, 0x12, 0x45, 0x00, 0x01, 0x45, 0x30, 0x80,
                                       static_cast<uint8_t>(shortEvent.size())}));
    EXPECT_EQ(slice(s, 26, shortEvent.size()), shortEvent);
    EXPECT_EQ(bc::crc32Mpeg2(s), 0u);

    // The TOT carries JST in its UTC_time field; the reader takes it from fixed packet offsets.
    Bytes tot = bc::totSection(bc::broadcastTime(2024, 3, 1, 23, 59, 58));
    EXPECT_EQ(slice(tot, 0, 8), (Bytes{0x73, 0x70, static_cast<uint8_t>(tot.size() - 3), 0xEB, 0xD2, 0x23, 0x59, 0x58}));
    EXPECT_EQ(slice(tot, 8, 2), (Bytes{0xF0, 15}));        // descriptors_loop_length
    EXPECT_EQ(slice(tot, 10, 5), (Bytes{0x58, 13, 'J', 'P', 'N'}));
    EXPECT_EQ(bc::crc32Mpeg2(tot), 0u);
    bc::Packetizer packetizer;
    bc::Packet packet = packetizer.sectionPackets(bc::kTotPid, tot).at(0);
    EXPECT_EQ(packet[4], 0);  // pointer_field
    EXPECT_EQ(Bytes(packet.begin() + 5, packet.begin() + 13), slice(tot, 0, 8));
}

TEST(BroadcastSections, NitAndSdtDescriptorsFollowTheIsdbLayouts) {
    bc::SatelliteDelivery delivery;
    delivery.frequency = 0x01172748;  // 11.72748 GHz
    EXPECT_EQ(bc::satelliteDeliveryDescriptor(delivery),
              (Bytes{0x43, 11, 0x01, 0x17, 0x27, 0x48, 0x11, 0x00, 0xC8, 0x02, 0x88, 0x60, 0x0F}));

    bc::TsInformation info{12, bc::AribText::raw({0xA2, 0xA4, 0xA6}), {{0x0F, {1024, 1025}}, {0xAF, {1026}}}};
    EXPECT_EQ(bc::tsInformationDescriptor(info),
              (Bytes{0xCD, 15, 12, 3 << 2 | 2, 0xA2, 0xA4, 0xA6, 0x0F, 2, 0x04, 0x00, 0x04, 0x01, 0xAF, 1, 0x04, 0x02}));

    bc::Nit nit;
    nit.networkId = 4;
    nit.version = 3;
    nit.networkDescriptors = bc::networkNameDescriptor(bc::AribText::raw({0x0E, 0x42, 0x53}));
    bc::Bytes list = bc::serviceListDescriptor({{101, 0x01}, {200, 0xC0}});
    EXPECT_EQ(list, (Bytes{0x41, 6, 0x00, 101, 0x01, 0x00, 200, 0xC0}));
    nit.transportStreams = {{0x4010, 4, list}, {0x4011, 4, {}}};
    Bytes s = bc::nitSection(nit);
    EXPECT_EQ(slice(s, 0, 10), (Bytes{0x40, 0xF0, static_cast<uint8_t>(s.size() - 3), 0x00, 0x04, 0xC0 | 3 << 1 | 1,
                                      0, 0, 0xF0, 5}));
    size_t loop = 10 + 5;
    EXPECT_EQ(slice(s, loop, 8), (Bytes{0xF0, static_cast<uint8_t>(6 + list.size() + 6), 0x40, 0x10, 0x00, 0x04, 0xF0,
                                        static_cast<uint8_t>(list.size())}));
    EXPECT_EQ(slice(s, loop + 8 + list.size(), 6), (Bytes{0x40, 0x11, 0x00, 0x04, 0xF0, 0x00}));
    EXPECT_EQ(s.size(), loop + 2 + 12 + list.size() + 4);
    EXPECT_EQ(bc::crc32Mpeg2(s), 0u);

    bc::Sdt sdt;
    sdt.transportStreamId = 0x4010;
    sdt.originalNetworkId = 4;
    bc::SdtService service;
    service.serviceId = 101;
    service.descriptors = bc::serviceDescriptor(0x01, bc::AribText::raw({0xA2}), bc::AribText::raw({0x30, 0x21}));
    sdt.services = {service};
    s = bc::sdtSection(sdt);
    EXPECT_EQ(slice(s, 3, 8), (Bytes{0x40, 0x10, 0xC1, 0, 0, 0x00, 0x04, 0xFF}));
    EXPECT_EQ(slice(s, 11, 13), (Bytes{0x00, 101, 0xFF, 0x80, 8, 0x48, 6, 0x01, 1, 0xA2, 2, 0x30, 0x21}));
    EXPECT_EQ(bc::crc32Mpeg2(s), 0u);
}

TEST(BroadcastSections, ExtendedItemsAreNumberedAndContinuedAcrossDescriptors) {
    std::string longText;
    for (int i = 0; i < 130; ++i) longText += "亜";  // 260 ARIB bytes
    longText += "あいうえお";
    bc::AribText body(longText);
    ASSERT_EQ(body.bytes.size(), 265u);
    Bytes d = bc::extendedEventDescriptors({{"番組内容", body}, {"出演者", "山田"}, {"", "ＡＢ"}});

    // Walks the descriptors: (number, last) and the fields of each.
    std::vector<std::pair<int, int>> numbers;
    std::vector<std::vector<Bytes>> fields;
    for (size_t p = 0; p < d.size(); p += 2 + d[p + 1]) {
        ASSERT_EQ(d[p], 0x4E);
        ASSERT_LE(p + 2 + d[p + 1], d.size());
        numbers.push_back({d[p + 2] >> 4, d[p + 2] & 0x0F});
        EXPECT_EQ(slice(d, p + 3, 3), bytesOf("jpn"));
        size_t items = d[p + 6], q = p + 7;
        std::vector<Bytes> f;
        while (q < p + 7 + items) {
            f.push_back(slice(d, q + 1, d[q]));
            q += 1 + d[q];
        }
        EXPECT_EQ(q, p + 7 + items);
        EXPECT_EQ(d[q], 0);  // text_length
        EXPECT_EQ(q + 1, p + 2 + d[p + 1]);
        fields.push_back(f);
    }
    // An item loop holds 249 bytes: the long text continues in a second
    // descriptor with an empty description; each further item starts anew.
    ASSERT_EQ(numbers.size(), 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(numbers[i], std::make_pair(i, 3));
    ASSERT_EQ(fields[0].size(), 2u);
    EXPECT_EQ(fields[0][0], bc::AribText("番組内容").bytes);
    ASSERT_EQ(fields[1].size(), 2u);
    EXPECT_TRUE(fields[1][0].empty());
    Bytes joined = fields[0][1];
    joined.insert(joined.end(), fields[1][1].begin(), fields[1][1].end());
    EXPECT_EQ(joined, body.bytes);
    EXPECT_EQ(fields[2], (std::vector<Bytes>{bc::AribText("出演者").bytes, bc::AribText("山田").bytes}));
    EXPECT_EQ(fields[3], (std::vector<Bytes>{{}, {0x0E, 0x41, 0x42}}));

    // Packed, the two short items share one descriptor.
    Bytes packed = bc::extendedEventDescriptors({{"出演者", "山田"}, {"音楽", "ＡＢ"}}, true);
    EXPECT_EQ(packed[2], 0x00);
    EXPECT_EQ(packed.size(), 2u + packed[1]);
}

TEST(BroadcastSections, ScheduleSectionsFollowTheSegmentNumbering) {
    int64_t day0 = bc::broadcastTime(2024, 3, 1);
    auto at = [&](int day, int hour, int minute, uint16_t id) {
        bc::EitEvent e;
        e.eventId = id;
        e.start = day0 + day * 86400 + hour * 3600 + minute * 60;
        e.duration = 1800;
        return e;
    };
    std::vector<bc::EitEvent> events = {at(5, 7, 0, 3), at(0, 1, 30, 2), at(0, 1, 0, 1), at(8, 0, 0, 9), at(-1, 23, 0, 8)};
    for (int i = 0; i < 10; ++i) events.push_back(at(2, 21, i * 10, static_cast<uint16_t>(100 + i)));
    bc::EitService service{1024, 0x7FE0, 0x7FE0};
    std::vector<Bytes> sections = bc::scheduleSections(service, 0x58, day0, 8, events, 7);

    // (table, section) -> event ids; every segment appears, empty or not.
    std::map<std::pair<int, int>, std::vector<int>> ids;
    std::set<int> segments;
    for (const Bytes& s : sections) {
        ASSERT_EQ(bc::crc32Mpeg2(s), 0u);
        int table = s[0], number = s[6];
        EXPECT_TRUE(table == 0x58 || table == 0x59);
        EXPECT_EQ(s[7], 0xF8);   // last_section_number: first section of the last segment
        EXPECT_EQ(s[12] / 8, number / 8);  // segment_last_section_number in the same segment
        EXPECT_GE(s[12], number);
        EXPECT_EQ(s[13], 0x59);  // last_table_id
        EXPECT_EQ((s[5] >> 1) & 0x1F, 7);
        segments.insert((table & 1) * 32 + number / 8);
        std::vector<int>& list = ids[{table, number}];
        for (size_t p = 14; p + 12 <= s.size() - 4; p += 12 + (((s[p + 10] & 0x0F) << 8) | s[p + 11]))
            list.push_back((s[p] << 8) | s[p + 1]);
    }
    EXPECT_EQ(segments.size(), 64u);
    EXPECT_EQ(ids[std::make_pair(0x58, 0)], std::vector<int>{1});
    EXPECT_EQ(ids[std::make_pair(0x58, 1)], std::vector<int>{2});
    EXPECT_EQ(ids[std::make_pair(0x59, 80)], std::vector<int>{3});  // day 5 = day 1 of 0x59, segment 2
    // Ten events in the segment of day 2, 21:00: two to a section, five sections.
    int seg = 2 * 8 + 7;
    for (int n = 0; n < 5; ++n)
        EXPECT_EQ(ids[std::make_pair(0x58, seg * 8 + n)], (std::vector<int>{100 + 2 * n, 101 + 2 * n})) << n;
    EXPECT_EQ(ids.count(std::make_pair(0x58, seg * 8 + 5)), 0u);
    for (const Bytes& s : sections) {
        if (s[0] == 0x58 && s[6] / 8 == seg) {
            EXPECT_EQ(s[12], seg * 8 + 4);
        }
    }
    size_t eventCount = 0;
    for (auto& [key, list] : ids) eventCount += list.size();
    EXPECT_EQ(eventCount, 13u);  // the events before day 0 and on day 8 are left out
}

bool pusi(const bc::Packet& p) { return p[1] & 0x40; }

TEST(BroadcastPackets, PointerFieldsMarkTheFirstSectionStartOfEachPacket) {
    auto section = [](size_t size, uint8_t fill) {
        Bytes s(size, fill);
        s[0] = 0x50;
        return s;
    };
    Bytes a = section(300, 0xA1), b = section(50, 0xB2), c = section(20, 0xC3);
    bc::Packetizer packetizer;
    std::vector<bc::Packet> packets = packetizer.sectionPackets(0x0012, {a, b, c});
    ASSERT_EQ(packets.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(packets[i][0], 0x47);
        EXPECT_EQ(packets[i][1] & 0x1F, 0x00);
        EXPECT_EQ(packets[i][2], 0x12);
        EXPECT_EQ(packets[i][3], 0x10 | i);  // payload only, counter running
    }
    EXPECT_TRUE(pusi(packets[0]));
    EXPECT_EQ(packets[0][4], 0);
    EXPECT_TRUE(pusi(packets[1]));
    EXPECT_EQ(packets[1][4], 300 - 183);                     // the rest of a, then b
    EXPECT_EQ(packets[1][5 + 116], 0xA1);
    EXPECT_EQ(packets[1][5 + 117], 0x50);
    EXPECT_EQ(packets[1][5 + 167], 0x50);                    // c follows b in the same packet
    EXPECT_EQ(packets[1][187], 0xC3);
    EXPECT_FALSE(pusi(packets[2]));                          // only the tail of c
    EXPECT_EQ(packets[2][4 + 3], 0xC3);
    EXPECT_EQ(packets[2][4 + 4], 0xFF);                      // stuffing to the end
    EXPECT_EQ(packets[2][187], 0xFF);

    // A section ending one byte before a packet end leaves no room for a
    // pointer_field: one stuffing byte, and the next section opens a packet.
    std::vector<bc::Packet> tight = packetizer.sectionPackets(0x0012, {section(366, 0xA1), b});
    ASSERT_EQ(tight.size(), 3u);
    EXPECT_EQ(tight[0][3] & 0x0F, 3);  // the counter goes on from the last call
    EXPECT_FALSE(pusi(tight[1]));
    EXPECT_EQ(tight[1][186], 0xA1);
    EXPECT_EQ(tight[1][187], 0xFF);
    EXPECT_TRUE(pusi(tight[2]));
    EXPECT_EQ(tight[2][4], 0);

    // Not back to back: every section opens a packet of its own.
    std::vector<bc::Packet> separate = packetizer.sectionPackets(0x0011, {b, c}, false);
    ASSERT_EQ(separate.size(), 2u);
    EXPECT_TRUE(pusi(separate[0]) && pusi(separate[1]));
    EXPECT_EQ(separate[0][4 + 1 + 50], 0xFF);
    EXPECT_EQ(separate[1][3], 0x11);

    bc::Packet filler = packetizer.fillerPacket();
    EXPECT_EQ(filler[1], 0x01);
    EXPECT_EQ(filler[2], 0x00);
    EXPECT_EQ(filler[3], 0x10);
    EXPECT_EQ(std::count(filler.begin() + 1, filler.end(), 0x47), 0);
}

TEST(BroadcastPackets, WriterLaysOutUnitsInMemoryAndInFiles) {
    bc::Packetizer packetizer;
    std::vector<bc::Packet> packets;
    for (int i = 0; i < 300; ++i) packets.push_back(packetizer.fillerPacket(0x0100 + i % 2));
    for (int unit : {188, 192, 204}) {
        bc::TsWriter memory(unit);
        memory.put(packets);
        const Bytes& bytes = memory.bytes();
        ASSERT_EQ(bytes.size(), 300u * unit);
        size_t at = unit == 192 ? 4 : 0;
        for (size_t i = 0; i < 300; ++i) {
            const uint8_t* u = &bytes[i * unit];
            ASSERT_TRUE(std::equal(packets[i].begin(), packets[i].end(), u + at)) << unit << " " << i;
            // Outside the packet nothing may look like a sync byte.
            for (size_t k = 0; k < static_cast<size_t>(unit) - 188; ++k)
                ASSERT_NE(u[k < at ? k : 188 + k], 0x47) << unit << " " << i;
        }
        std::string path = ::testing::TempDir() + "broadcast_writer_" + std::to_string(unit) + ".ts";
        bc::TsWriter file(unit);
        ASSERT_TRUE(file.openFile(path));
        file.put(packets);
        ASSERT_TRUE(file.finish());
        std::ifstream in(path, std::ios::binary);
        EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), {}), bytes);
        std::remove(path.c_str());
    }
    bc::TsWriter nowhere(188);
    EXPECT_FALSE(nowhere.openFile(::testing::TempDir() + "no_such_dir/x.ts"));
    EXPECT_FALSE(nowhere.error().empty());
}

TEST(AribEncoder, ChoosesSetsShiftsAndSizesAsBroadcastersDo) {
    using bc::shiftJisToArib;
    EXPECT_EQ(shiftJisToArib("亜"), (Bytes{0x30, 0x21}));                       // Kanji: G0 in GL
    EXPECT_EQ(shiftJisToArib("あア"), (Bytes{0xA2, 0x1D, 0x22}));            // hiragana in GR, one katakana by SS3
    EXPECT_EQ(shiftJisToArib("アイあ"), (Bytes{0x1B, 0x7C, 0xA2, 0xA4, 0x1B, 0x7D, 0xA2}));  // LS3R, LS2R
    EXPECT_EQ(shiftJisToArib("カード"), (Bytes{0x1B, 0x7C, 0xAB, 0xF9, 0xC9}));  // ー from the katakana set
    EXPECT_EQ(shiftJisToArib("ゝ。"), (Bytes{0xF7, 0xFA}));                      // hiragana set's own symbols
    EXPECT_EQ(shiftJisToArib("。"), (Bytes{0x21, 0x23}));                        // no kana around: Kanji
    EXPECT_EQ(shiftJisToArib("Ａ1亜"), (Bytes{0x0E, 0x41, 0x89, 0x31, 0x8A, 0x0F, 0x30, 0x21}));  // LS1, MSZ, NSZ, LS0
    EXPECT_EQ(shiftJisToArib("！￥"), (Bytes{0x0E, 0x21, 0x5C}));
    EXPECT_EQ(shiftJisToArib("a b\r\nc\n"), (Bytes{0x89, 0x0E, 0x61, 0x20, 0x62, 0x0D, 0x63, 0x0D}));
    EXPECT_EQ(shiftJisToArib("ｶﾞﾊﾟｱ"), (Bytes{0x1B, 0x7C, 0xAC, 0xD1, 0xA2}));  // half-width kana made full-width
    EXPECT_EQ(shiftJisToArib("\xFA\x40\xF0\x40"), (Bytes{0x22, 0x2E, 0x22, 0x2E}));  // no ARIB code: 〓
    EXPECT_EQ(shiftJisToArib("\x81"), Bytes{});                                    // a lead byte alone is dropped
    EXPECT_EQ(shiftJisToArib("亜Ａあア", bc::AribStyle::DesignateIntoG0),
              (Bytes{0x30, 0x21, 0x1B, 0x28, 0x4A, 0x41, 0x1B, 0x28, 0x30, 0x22, 0x1B, 0x28, 0x31, 0x22}));
    EXPECT_EQ(shiftJisToArib("ア亜", bc::AribStyle::DesignateIntoG0),
              (Bytes{0x1B, 0x28, 0x31, 0x22, 0x1B, 0x24, 0x42, 0x30, 0x21}));
}

// Every JIS X 0208 code of Shift_JIS rows 1..84 (code page 932's NEC row 13
// included) comes back unchanged through the program's decoder, in both
// styles and in kana context, where symbols go to the kana sets.
TEST(AribEncoder, RoundTripsThroughTheProgramsDecoder) {
    std::string all;
    for (int s1 = 0x81; s1 <= 0xEA; ++s1) {
        if (s1 == 0xA0) s1 = 0xE0;
        for (int s2 = 0x40; s2 <= 0xFC; ++s2) {
            if (s2 == 0x7F) continue;
            all += static_cast<char>(s1);
            all += static_cast<char>(s2);
        }
    }
    for (bc::AribStyle style : {bc::AribStyle::DefaultSets, bc::AribStyle::DesignateIntoG0}) {
        EXPECT_EQ(decode(bc::shiftJisToArib(all, style)), all);
        const char* texts[] = {
            "ニュース・スポーツ「東京×大阪」、カード。",
            "ひらがなとカタカナ、ゝゞヽヾ。ー「」・",
            "第１２回　ＭＵＳＩＣ　ＷＡＶＥ！（再）＃１",
            "ABC123#!/:",
            "番組内容\r出演者：山田花子",
        };
        for (const char* text : texts) EXPECT_EQ(decode(bc::shiftJisToArib(text, style)), text) << text;
    }
    // Half-width blanks are SP, which the program shows as nothing.
    EXPECT_EQ(decode(bc::shiftJisToArib("ＡＢ　C D")), "ＡＢ　CD");
}

}  // namespace
}  // namespace corvane
