// Narrow literals are Shift_JIS (the build's execution charset).
#include "guide/popup_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/ini_settings.h"
#include "support/fake_guide_host.h"
#include "support/guide_fixture.h"
#include "support/temp_ini.h"

using namespace corvane;
namespace bc = corvane::broadcast;

namespace {

// Monday 2026-12-07, wall-clock times of the broadcast.
int64_t at(int hour, int minute = 0, int day = 7) { return bc::broadcastTime(2026, 12, day, hour, minute); }

// One extended-schedule section (table 0x58) of service 1024 with one event.
void putExtended(EpgStore* store, int64_t start, int seconds, const bc::Bytes& descriptors) {
    bc::EitEvent event;
    event.eventId = 7;
    event.start = start;
    event.duration = seconds;
    event.descriptors = descriptors;
    bc::Eit eit;
    eit.tableId = 0x58;
    eit.serviceId = 1024;
    eit.originalNetworkId = 0x7FE0;
    eit.events = {event};
    bc::Bytes section = bc::eitSection(eit);
    storeEitSection(store, section.data(), section.size());
}

GuideEvent eventAt(int64_t broadcastStart, int seconds, const std::string& title, const std::string& detail,
                   int32_t eventId) {
    GuideEvent e;
    e.start = localOf(broadcastStart);
    e.end = e.start + seconds;
    e.title = title;
    e.detail = detail;
    e.eventId = eventId;
    return e;
}

std::string repeat(const char* text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

}  // namespace

TEST(PopupText, TitleLineNamesTheChannelAndTheLocalDateWithItsWeekday) {
    EXPECT_EQ("[ＮＨＫ総合] - 2026/12/07(月)", popupTitleText("ＮＨＫ総合", localOf(at(20))));
    // 03:30 belongs to the calendar day, not to the broadcast day before it.
    EXPECT_EQ("[BS101] - 2026/12/13(日)", popupTitleText("BS101", localOf(at(3, 30, 13))));
    EXPECT_EQ("[] - 2027/01/02(土)", popupTitleText("", localOf(bc::broadcastTime(2027, 1, 2, 0, 0))));
}

TEST(PopupText, TimeLineCarriesPictureAndAspectOfTheDecodedProgramme) {
    TempIniFile ini("popup_text");
    IniFileSettings settings(ini.path());
    ViewSettings view;
    FakeGuideHost host;
    host.clock = localOf(at(12));
    StorePtr store(createStore());
    Programme hd{at(20), 1800, "ＨＤ"};
    hd.componentType = 0xB3;
    Programme sd{at(20, 30), 1800, "ＳＤ"};
    sd.componentType = 0x01;
    Programme none{at(23, 45), 1800, "記述子なし"};  // no component descriptor: type 0
    putSchedule(store.get(), 1024, 0x7FE0, 0, {hd, sd, none});
    GuideLayout layout(host, settings, view);
    layout.buildListLayout(store.get());
    ASSERT_EQ(3u, layout.events[0].size());

    EXPECT_EQ(" 20:00～20:30 1080i(16:9)", popupTimeText(layout.events[0][0]));
    EXPECT_EQ(" 20:30～21:00 480i(4:3)", popupTimeText(layout.events[0][1]));
    // Past midnight the end is on the clock of the next day.
    EXPECT_EQ(" 23:45～00:15 480i(--)", popupTimeText(layout.events[0][2]));
}

TEST(PopupText, CarriageReturnsBecomeLineBreaksExceptOneAtTheEnd) {
    EXPECT_EQ("一行目\r\n二行目", crLinesToCrLf("一行目\r二行目\r"));
    EXPECT_EQ("一行目\r\n二行目", crLinesToCrLf("一行目\r二行目"));
    // Only one CR at the very end is dropped; an empty line stays a line.
    EXPECT_EQ("a\r\n\r\nb\r\n", crLinesToCrLf("a\r\rb\r\r"));
    EXPECT_EQ("", crLinesToCrLf("\r"));
    EXPECT_EQ("", crLinesToCrLf(""));
    // Shift_JIS trail bytes that look like ASCII are left alone ("ソ" is 0x83 0x5C).
    EXPECT_EQ("ソ\r\nソ", crLinesToCrLf("ソ\rソ\r"));
}

TEST(PopupText, DescriptionJoinsTitleDetailExtendedItemsAndEventId) {
    StorePtr store(createStore());
    // The second descriptor's first string is empty: no heading, and its text
    // continues the item of the first one.
    putExtended(store.get(), at(20), 1800,
                bc::extendedEventDescriptors({{"出演者", "山田"}, {"", "太郎\r花子"}, {"音楽", "ＡＢ\r"}}));

    GuideEvent e = eventAt(at(20), 1800, "ニュース", "一行目\r二行目\r", 4660);
    EXPECT_EQ("【ニュース】\r\n\r\n"
              "一行目\r\n二行目"
              "\r\n\r\n出演者\r\n山田太郎\r\n花子"
              "\r\n\r\n音楽\r\nＡＢ"
              "\r\n\r\nEventID = 4660\r\n",
              programmeDescription(store.get(), 0, e));

    // Another service index, a time without extended data, no store at all:
    // the extended part is simply absent.
    const std::string plain = "【ニュース】\r\n\r\n一行目\r\n二行目\r\n\r\nEventID = 4660\r\n";
    EXPECT_EQ(plain, programmeDescription(store.get(), 3, e));
    EXPECT_EQ(plain, programmeDescription(nullptr, 0, e));
    GuideEvent later = eventAt(at(21), 1800, "ニュース", "一行目\r二行目\r", 4660);
    EXPECT_EQ(plain, programmeDescription(store.get(), 0, later));

    GuideEvent bare = eventAt(at(21), 60, "題", "", 0);
    EXPECT_EQ("【題】\r\n\r\n\r\n\r\nEventID = 0\r\n", programmeDescription(store.get(), 0, bare));
}

TEST(PopupText, TheLargestItemTextAnEventCanCarryArrivesWhole) {
    StorePtr store(createStore());
    // About 3,600 raw bytes over fifteen descriptors, nearly a full section:
    // all of it is joined and decoded once, nothing is cut or split.
    const std::string text = repeat("番組", 890);
    bc::Bytes descriptors = bc::extendedEventDescriptors({{"番組内容", text}});
    ASSERT_GT(descriptors.size(), 3500u);
    putExtended(store.get(), at(20), 1800, descriptors);
    ASSERT_EQ(1, store->serviceCount);

    GuideEvent e = eventAt(at(20), 1800, "長編", "", 9);
    EXPECT_EQ("【長編】\r\n\r\n\r\n\r\n番組内容\r\n" + text + "\r\n\r\nEventID = 9\r\n",
              programmeDescription(store.get(), 0, e));
}
