// Narrow literals are Shift_JIS (the build's execution charset). The time
// line with its picture labels is checked on the popup itself (popup_win_test).
#include "guide/popup_text.h"

#include <gtest/gtest.h>

#include <string>

#include "support/guide_fixture.h"

using namespace corvane;
namespace bc = corvane::broadcast;

namespace {

// Monday 2026-12-07, wall-clock times of the broadcast.
int64_t at(int hour, int minute = 0, int day = 7) { return bc::broadcastTime(2026, 12, day, hour, minute); }

// One extended-schedule section (table 0x58) of service 1024 with one event at 20:00.
void putExtended(EpgStore* store, const bc::Bytes& descriptors) {
    bc::EitEvent event;
    event.start = at(20);
    event.duration = 1800;
    event.descriptors = descriptors;
    bc::Eit eit;
    eit.tableId = 0x58;
    eit.serviceId = 1024;
    eit.originalNetworkId = 0x7FE0;
    eit.events = {event};
    const bc::Bytes section = bc::eitSection(eit);
    storeEitSection(store, section.data(), section.size());
}

// Without a detail; the end plays no part in the texts.
GuideEvent eventAt(int64_t broadcastStart, const std::string& title) {
    GuideEvent e;
    e.start = localOf(broadcastStart);
    e.title = title;
    e.eventId = 4660;
    return e;
}

}  // namespace

TEST(PopupText, TitleLineNamesTheChannelAndTheLocalCalendarDate) {
    EXPECT_EQ("[ＮＨＫ総合] - 2026/12/07(月)", popupTitleText("ＮＨＫ総合", localOf(at(20))));
    // 03:30 belongs to the calendar day, not to the broadcast day before it.
    EXPECT_EQ("[BS101] - 2026/12/13(日)", popupTitleText("BS101", localOf(at(3, 30, 13))));
}

TEST(PopupText, CarriageReturnsBecomeLineBreaksExceptOneAtTheEnd) {
    EXPECT_EQ("一行目\r\n二行目", crLinesToCrLf("一行目\r二行目\r"));
    // Only one CR at the very end is dropped; an empty line stays a line.
    EXPECT_EQ("a\r\n\r\nb\r\n", crLinesToCrLf("a\r\rb\r\r"));
    EXPECT_EQ("", crLinesToCrLf("\r"));
    // Shift_JIS trail bytes that look like ASCII are left alone ("ソ" is 0x83 0x5C).
    EXPECT_EQ("ソ\r\nソ", crLinesToCrLf("ソ\rソ\r"));
}

TEST(PopupText, DescriptionJoinsTitleDetailExtendedItemsAndEventId) {
    StorePtr store(createStore());
    // The second descriptor's first string is empty: no heading, and its text
    // continues the item of the first one.
    putExtended(store.get(), bc::extendedEventDescriptors({{"出演者", "山田"}, {"", "太郎\r花子"}, {"音楽", "ＡＢ\r"}}));
    const GuideEvent e = eventAt(at(20), "ニュース");
    EXPECT_EQ("【ニュース】\r\n\r\n\r\n\r\n出演者\r\n山田太郎\r\n花子\r\n\r\n音楽\r\nＡＢ\r\n\r\nEventID = 4660\r\n",
              programmeDescription(store.get(), 0, e));

    // Another service, a time without extended data, no store at all: the
    // extended part is simply absent.
    const std::string plain = "【ニュース】\r\n\r\n\r\n\r\nEventID = 4660\r\n";
    EXPECT_EQ(plain, programmeDescription(store.get(), 3, e));
    EXPECT_EQ(plain, programmeDescription(store.get(), 0, eventAt(at(21), "ニュース")));
    EXPECT_EQ(plain, programmeDescription(nullptr, 0, e));
}

TEST(PopupText, TheLargestItemTextAnEventCanCarryArrivesWhole) {
    StorePtr store(createStore());
    // About 3,600 raw bytes over fifteen descriptors, nearly a full section:
    // all of it is joined and decoded once, nothing is cut or split.
    std::string text;
    for (int i = 0; i < 890; ++i) text += "番組";
    const bc::Bytes descriptors = bc::extendedEventDescriptors({{"番組内容", text}});
    ASSERT_GT(descriptors.size(), 3500u);
    putExtended(store.get(), descriptors);
    EXPECT_EQ("【長編】\r\n\r\n\r\n\r\n番組内容\r\n" + text + "\r\n\r\nEventID = 4660\r\n",
              programmeDescription(store.get(), 0, eventAt(at(20), "長編")));
}
