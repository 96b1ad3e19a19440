// Finding programmes by words: the folding rules of the matcher, the guide's
// index (guide order, shown columns, descriptions from the store, moving
// through the hits) and `corvane-epg find` against `list`.
#include "guide/programme_search.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/export_recording.h"
#include "support/fake_guide_host.h"
#include "support/guide_fixture.h"
#include "support/store_sections.h"

namespace corvane {
namespace {

namespace bc = corvane::broadcast;

// Each text lies in a buffer of exactly its size, so a byte read past it is caught.
bool found(const std::string& query, const std::string& text, bool kana) {
    std::unique_ptr<char[]> exact(new char[text.size()]);
    std::memcpy(exact.get(), text.data(), text.size());
    return TextQuery(query).matches(FoldedText({exact.get(), text.size()}).units(), kana);
}

TEST(TextMatch, FoldsWidthCaseAndBlanksButKanaOnlyWhenAsked) {
    const struct { const char *query, *text; bool plain, kana; } cases[] = {
        {"ＮＨＫ", "NHKニュース", true, true},
        {"NHK", "ＮＨＫニュース", true, true},
        {"ﾆｭｰｽ", "ニュース７", true, true},
        {"news", "ＮＥＷＳ　ＷＡＶＥ", true, true},
        {"ｶﾞｲﾄﾞ ﾊﾟﾝ ｳﾞｨ", "ガイドとパンとヴィ", true, true},
        {"ｶ", "ガイド", false, false},  // the voiced kana is one character
        {"にゅーす", "ニュース", false, true},
        {"ニュース", "にゅーすとゞ", false, true},
        {"ＮＨＫ　ニュース", "ニュース（NHK）", true, true},  // both words, either order
        {"ＮＨＫ 天気", "ＮＨＫニュース", false, false},
        {" 　\t", "ＮＨＫ", false, false},
        {"ニュース７ニュース７", "ニュース７", false, false},
        {"ニュース", "ニュ－スとニッスと全国ニュ・スの特集", false, false},  // ends alike, middles not
        // Broken Shift_JIS: a lead byte at the end, before a blank, a byte that is no character.
        {"ab", "ＡＢ\x83", true, true},
        {"news", "\x81 news", true, true},
        {"xy", "x\xFFy", false, false},
        {"\x83", "\x83", false, false},
        {"a", "\x83\x41", false, false},  // "ア": its trail byte is no "A"
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.plain, found(c.query, c.text, false)) << c.query << " in " << c.text;
        EXPECT_EQ(c.kana, found(c.query, c.text, true)) << c.query << " in " << c.text << " (kana)";
    }
}

struct ProgrammeSearchTest : testing::Test, LayoutRig {
    ProgrammeSearchTest() : LayoutRig("search") { host.clock = localOf(at(0, 12)); }
};

TEST_F(ProgrammeSearchTest, HitsGoByTimeThenShownColumnAndRoundAtTheEnds) {
    // Services 1, 2 and 3 (hidden); 2 sorts before 1.
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 20), 1800, "ニュース７"}, {at(0, 21), 1800, "天気"}});
    putSchedule(store.get(), 2, 0x7FE0, 0,
                {{at(0, 20), 1800, "ＮＥＷＳニュース"}, {at(0, 22), 600, "にゅーす", "全国の天気"}});
    putSchedule(store.get(), 3, 0x7FE0, 0, {{at(0, 20), 1800, "ニュース"}});
    put(store.get(), eit(0x58, 1, 0, 1, {event(1, at(0, 20), 30, bc::extendedEventDescriptors({{"出演", "山田"}}))}));
    settings.writeString("SetupDialog", "Sort2", "-1");
    settings.writeString("ColumnDisp", "3", "0");
    layout.buildListLayout(store.get());
    ProgrammeSearch search;
    search.rebuild(layout.events, store.get());
    const std::vector<int> services = searchedServices(layout);
    ASSERT_EQ((std::vector<int>{1, 0}), services);
    auto titles = [&](const char* query, SearchOptions options, std::vector<int> order) {
        std::string out;
        for (const SearchHit& hit : search.find(query, options, order))
            out += layout.events[hit.service][hit.event].title + "/";
        return out;
    };
    EXPECT_EQ("ＮＥＷＳニュース/ニュース７/", titles("ﾆｭｰｽ", {}, services));
    EXPECT_EQ("ニュース７/ＮＥＷＳニュース/", titles("ﾆｭｰｽ", {}, {0, 1, 2}));
    EXPECT_EQ("ＮＥＷＳニュース/ニュース７/にゅーす/", titles("ﾆｭｰｽ", {.kana = true}, services));
    EXPECT_EQ("ニュース７/", titles("ﾆｭｰｽ", {}, {0}));
    EXPECT_EQ("天気/にゅーす/", titles("天気", {.descriptions = true}, services));
    EXPECT_EQ("ニュース７/", titles("山田 ７", {.descriptions = true}, services));  // the extended text, from the store
    EXPECT_EQ("", titles("山田 出演", {.descriptions = true}, services));         // not the item heading
    EXPECT_EQ("", titles("　", {}, services));

    const std::vector<SearchHit> all = search.find("ﾆｭｰｽ", {.kana = true}, services);
    ASSERT_EQ(3u, all.size());
    EXPECT_EQ(std::tuple(0, 2, 2, 0, 1, 0, 2),
              std::tuple(firstHitFrom(all, localOf(at(0, 19))), firstHitFrom(all, localOf(at(0, 20, 1))),
                         firstHitFrom(all, localOf(at(0, 22))), firstHitFrom(all, localOf(at(0, 23))),
                         nextHit(all, 0), nextHit(all, 2), previousHit(all, 0)));
    EXPECT_EQ(-1, firstHitFrom({}, 0));
    EXPECT_GT(search.memoryBytes(), search.foldedDescriptions().size_bytes());
}

// Exit status of corvane-epg with `arguments`; its standard output in `out`.
int epg(const std::string& arguments, std::string& out) {
    FILE* pipe = popen(("'" CORVANE_TOOLS_DIR "/corvane-epg' " + arguments + " 2>/dev/null").c_str(), "r");
    out.clear();
    for (int c; (c = std::fgetc(pipe)) != EOF;) out += static_cast<char>(c);
    return WEXITSTATUS(pclose(pipe));
}

TEST(FindCommand, PrintsTheLinesOfListThatMatchInItsOrder) {
    const std::string recording = testing::TempDir() + "corvane_find.ts";
    const bc::Bytes bytes = exportRecording();
    std::ofstream(recording, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::string listing, out;
    ASSERT_EQ(0, epg("list '" + recording + "'", listing));
    auto listed = [&](std::vector<std::string> ids) {  // the lines of list of these event ids
        std::istringstream lines(listing);
        std::string expected, id;
        for (std::string line; std::getline(lines, line);)
            if (std::istringstream(line) >> id >> id >> id && std::find(ids.begin(), ids.end(), id) != ids.end())
                expected += line + "\n";
        return expected;
    };
    // 257: "漢字ひらがなカタカナとアＡＢ１２abc9!…" (short text 年越しの特集, extended
    // text 一行目 二行目 山田), 258: "<A&B>"C"" at 23:30, 513: "ＢＳニュース" 20:00-21:00.
    const struct { std::string arguments; int status; std::vector<std::string> ids; } cases[] = {
        {"'<a&b>'", 0, {"258"}},
        {"A", 0, {"257", "258"}},
        {utf8Of(u8"'ab12 ｶﾀｶﾅ'"), 0, {"257"}},
        {utf8Of(u8"ひらがなかたかな"), 1, {}},
        {utf8Of(u8"--kana ひらがなかたかな"), 0, {"257"}},
        {utf8Of(u8"山田"), 1, {}},
        {utf8Of(u8"--desc '山田 年越し 漢字'"), 0, {"257"}},  // in the extended, the short text and the title
        {utf8Of(u8"--service 103 ニュース"), 0, {"513"}},
        {utf8Of(u8"--service 1024 ニュース"), 1, {}},
        {utf8Of(u8"--until '2026-12-31 20:00' ニュース"), 1, {}},
        {utf8Of(u8"--since 2026-12-31T20:59 ニュース"), 0, {"513"}},
        {"--since 2026-12-31 '' ", 1, {}},
        {"-- -", 0, {"257"}},  // "－"
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.status, epg("find " + c.arguments + " '" + recording + "'", out)) << c.arguments;
        EXPECT_EQ(listed(c.ids), out) << c.arguments;
    }
    // A file that cannot be read, no file, a bad time, a query that is no UTF-8.
    const std::string file = " '" + recording + "'";
    for (const std::string& bad : {"x" + file + ".missing", std::string("x"), "--since 2026-13-01 x" + file,
                                   "\"$(printf '\\377')\"" + file})
        EXPECT_EQ(2, epg("find " + bad, out)) << bad;
    std::remove(recording.c_str());
}

}  // namespace
}  // namespace corvane
