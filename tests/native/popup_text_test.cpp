// Narrow literals are Shift_JIS (the build's execution charset). The time
// line with its picture labels is checked on the popup itself (popup_win_test).
#include "guide/popup_text.h"

#include <gtest/gtest.h>

#include <string>

#include "support/guide_fixture.h"
#include "support/store_sections.h"

using namespace corvane;
namespace bc = corvane::broadcast;

namespace {

// One extended-schedule section of service 1024 with one event at 20:00 on Monday.
void putExtended(EpgStore* store, const bc::Bytes& descriptors) {
    put(store, eit(0x58, 1024, 0, 1, {event(1, at(0, 20), 30, descriptors)}));
}

// Without a detail; the end plays no part in the texts.
GuideEvent eventAt(int64_t broadcastStart, const std::string& title) {
    return {.start = localOf(broadcastStart), .eventId = 4660, .title = title};
}

}  // namespace

TEST(PopupText, TitleLineAndLineBreaks) {
    EXPECT_EQ("[ＮＨＫ総合] - 2026/12/07(月)", popupTitleText("ＮＨＫ総合", localOf(at(0, 20))));
    // 03:30 belongs to the calendar day, not to the broadcast day before it.
    EXPECT_EQ("[BS101] - 2026/12/13(日)", popupTitleText("BS101", localOf(at(6, 3, 30))));
    // CRs become line breaks; only one CR at the very end is dropped; an empty line stays a line.
    // Shift_JIS trail bytes that look like ASCII are left alone ("ソ" is 0x83 0x5C).
    for (auto [text, lines] : {std::pair{"一行目\r二行目\r", "一行目\r\n二行目"}, {"a\r\rb\r\r", "a\r\n\r\nb\r\n"},
                               {"\r", ""}, {"ソ\rソ\r", "ソ\r\nソ"}})
        EXPECT_EQ(lines, crLinesToCrLf(text)) << text;
}

TEST(PopupText, DescriptionJoinsTitleDetailExtendedItemsAndEventId) {
    StorePtr store(createStore());
    // The second descriptor's first string is empty: no heading, and its text
    // continues the item of the first one.
    putExtended(store.get(), bc::extendedEventDescriptors({{"出演者", "山田"}, {"", "太郎\r花子"}, {"音楽", "ＡＢ\r"}}));
    const GuideEvent e = eventAt(at(0, 20), "ニュース");
    EXPECT_EQ("【ニュース】\r\n\r\n\r\n\r\n出演者\r\n山田太郎\r\n花子\r\n\r\n音楽\r\nＡＢ\r\n\r\nEventID = 4660\r\n",
              programmeDescription(store.get(), 0, e));

    // Another service, a time without extended data, no store at all: the
    // extended part is simply absent.
    const std::string plain = "【ニュース】\r\n\r\n\r\n\r\nEventID = 4660\r\n";
    EXPECT_EQ(plain, programmeDescription(store.get(), 3, e));
    EXPECT_EQ(plain, programmeDescription(store.get(), 0, eventAt(at(0, 21), "ニュース")));
    EXPECT_EQ(plain, programmeDescription(nullptr, 0, e));
}

TEST(PopupText, TheLargestItemTextAnEventCanCarryArrivesWhole) {
    StorePtr store(createStore());
    // About 3,600 raw bytes over fifteen descriptors, nearly a full section:
    // all of it is joined and decoded once, nothing is cut or split.
    const std::string text = repeat("番組", 890);
    const bc::Bytes descriptors = bc::extendedEventDescriptors({{"番組内容", text}});
    ASSERT_GT(descriptors.size(), 3500u);
    putExtended(store.get(), descriptors);
    EXPECT_EQ("【長編】\r\n\r\n\r\n\r\n番組内容\r\n" + text + "\r\n\r\nEventID = 4660\r\n",
              programmeDescription(store.get(), 0, eventAt(at(0, 20), "長編")));
}
