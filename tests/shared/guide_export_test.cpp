// The XMLTV and JSON exports of a builder-made recording, natively and on
// Windows (where the texts go through the code page functions instead of iconv).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "store/ts_reader.h"
#include "support/export_recording.h"
#include "tools/common/json_writer.h"
#include "tools/common/xmltv_writer.h"

namespace corvane {
namespace {

using Json = nlohmann::ordered_json;

StorePtr exportStore() {
    static const broadcast::Bytes bytes = exportRecording();
    StorePtr store(createStore());
    readTransportStreamBytes(store.get(), bytes.data(), bytes.size(), nullptr);
    return store;
}

std::string xmltvOf(const ExportFilter& filter = {}) {
    StringExportOutput out;
    writeXmltv(*exportStore(), filter, out);
    return out.text;
}

Json jsonOf(const ExportFilter& filter = {}) {
    StringExportOutput out;
    writeProgrammeJson(*exportStore(), filter, out);
    return Json::parse(out.text);
}

int64_t utcMilliseconds(int year, int month, int day, int hour, int minute) {
    return (broadcast::broadcastTime(year, month, day, hour, minute) - 9 * 3600) * 1000;
}

TEST(GuideExport, JsonGivesBackWhatTheBuilderPutIn) {
    const Json programmes = jsonOf();
    ASSERT_EQ(4u, programmes.size());
    const Json first = {
        {"id", (0x7FE0LL * 100000 + 1024) * 100000 + 257},
        {"eventId", 257},
        {"serviceId", 1024},
        {"networkId", 0x7FE0},
        {"startAt", utcMilliseconds(2026, 12, 30, 23, 45)},
        {"duration", 1800000},
        {"isFree", true},
        {"name", utf8Of(kAllClassesUtf8)},
        {"description", utf8Of(u8"年越しの特集")},
        {"extended", {{utf8Of(u8"番組内容"), utf8Of(u8"一行目\n二行目")}, {utf8Of(u8"出演者"), utf8Of(u8"山田")}}},
        {"genres",
         {{{"lv1", 0}, {"lv2", 1}, {"un1", 15}, {"un2", 15}}, {{"lv1", 5}, {"lv2", 4}, {"un1", 1}, {"un2", 2}}}},
        {"video", {{"type", "mpeg2"}, {"resolution", "1080i"}, {"streamContent", 1}, {"componentType", 0xB3}}},
        {"audios", Json::array({{{"componentType", 2}, {"samplingRate", 48000}, {"langs", {"jpn", "eng"}}}})}};
    EXPECT_EQ(first, programmes[0]);
    // Scrambled, without genre or components; no duration when it is undefined.
    EXPECT_EQ(std::tuple(false, Json::array(), false, false),
              std::tuple(programmes[1]["isFree"], programmes[1]["genres"], programmes[1].contains("video"),
                         programmes[2].contains("duration")));
    EXPECT_EQ(std::tuple((4LL * 100000 + 103) * 100000 + 513, 4),
              std::tuple(programmes[3]["id"], programmes[3]["networkId"]));
}

TEST(GuideExport, XmltvWritesChannelsThenProgrammesOnTheBroadcastClock) {
    const std::string xml = xmltvOf();
    for (const std::string& expected :
         {utf8Of(u8"  <channel id=\"1024.32736.isdb\">\n    <display-name lang=\"ja\">ひかり総合</display-name>\n"
                 u8"  </channel>\n  <channel id=\"103.4.isdb\">\n    <display-name>BS103</display-name>\n"),
          utf8Of(u8"start=\"20261230234500 +0900\" stop=\"20261231001500 +0900\" channel=\"1024.32736.isdb\">\n"
                 u8"    <title lang=\"ja\">") +
              utf8Of(kAllClassesUtf8) +
              utf8Of(
                  u8"</title>\n    <desc lang=\"ja\">年越しの特集\n\n番組内容\n一行目\n二行目\n\n出演者\n山田</desc>\n"
                  u8"    <category lang=\"ja\">ニュース／報道</category>\n    <category lang=\"ja\">天気</category>\n"
                  u8"    <category lang=\"ja\">バラエティー</category>\n    <category "
                  u8"lang=\"ja\">音楽バラエティ</category>\n"
                  u8"    <category lang=\"en\">News</category>\n    <category lang=\"en\">Variety</category>\n"
                  u8"    <episode-num system=\"isdb_event\">32736.1024.257</episode-num>\n"
                  u8"    <video><aspect>16:9</aspect><quality>HD</quality></video>\n"
                  u8"    <audio><stereo>bilingual</stereo></audio>\n  </programme>\n"),
          std::string("start=\"20261231233000 +0900\" stop=\"20270101003000 +0900\" channel=\"1024.32736.isdb\">\n"
                      "    <title lang=\"ja\">&lt;A&amp;B&gt;&quot;C&quot;</title>\n"
                      "    <episode-num system=\"isdb_event\">32736.1024.258</episode-num>\n  </programme>\n"),
          std::string("<programme start=\"20270101003000 +0900\" channel=\"1024.32736.isdb\">\n")})
        EXPECT_NE(std::string::npos, xml.find(expected)) << expected << "\nin\n" << xml;
    EXPECT_EQ(0u, xml.find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE tv SYSTEM \"xmltv.dtd\">\n<tv"));
}

TEST(GuideExport, FiltersByTimeWindowAndService) {
    auto ids = [](const ExportFilter& filter) {
        std::vector<int> found;
        for (const Json& p : jsonOf(filter)) found.push_back(p["eventId"]);
        return found;
    };
    const int64_t midnight = localTimeOf(2026, 12, 31, 0, 15, 0), newYear = localTimeOf(2027, 1, 1, 0, 30, 0);
    using Ids = std::vector<int>;
    EXPECT_EQ((Ids{257, 258, 259, 513}), ids({}));
    EXPECT_EQ((Ids{258, 259, 513}), ids({.since = midnight, .serviceIds = {}}));  // 257 ends as the window starts
    EXPECT_EQ((Ids{257, 258, 513}), ids({.until = newYear, .serviceIds = {}}));   // 259 starts as the window ends
    EXPECT_EQ((Ids{259}), ids({.since = newYear, .serviceIds = {}}));             // no end: taken for starting inside
    EXPECT_EQ((Ids{513}), ids({.serviceIds = {103, 999}}));
    EXPECT_EQ(Ids{}, ids({.serviceIds = {999}}));
    // Nothing to export: an empty document of either kind.
    EXPECT_EQ(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE tv SYSTEM \"xmltv.dtd\">\n"
        "<tv generator-info-name=\"corvane-epg\">\n</tv>\n",
        xmltvOf({.serviceIds = {999}}));

    int64_t t = 0;
    EXPECT_TRUE(parseLocalDateTime("2027-01-01 00:30", &t) && t == newYear);
    for (const char* bad : {"2027-02-29", "2027-1-01", "2027-01-01 24:00", "2027-01-01 00:30:", "+027-01-01", ""})
        EXPECT_FALSE(parseLocalDateTime(bad, &t)) << bad;
    EXPECT_TRUE(parseLocalDateTime("2028-02-29T23:59:59", &t));
}

TEST(GuideExport, ConverterReplacesEachBadCharacterOnceOnEveryPlatform) {
    // The Kanji rows the ARIB decoder can give that code page 932 lacks (lead
    // bytes 0x85, 0xEB) and a lead byte cut off at the end: one U+FFFD each.
    ShiftJisToUtf8 converter;
    EXPECT_EQ(utf8Of(u8"\uFFFDA\u2460\uFFFDあ\uFFFD"), converter.convert("\x85\x40"
                                                                         "A\x87\x40\xEB\x9F\x82\xA0\x82"));
    EXPECT_EQ("", converter.convert(""));
}

}  // namespace
}  // namespace corvane
