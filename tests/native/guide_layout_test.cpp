#include <gtest/gtest.h>

#include <cstring>

#include "app/ini_settings.h"
#include "guide/guide_layout.h"
#include "support/fake_guide_host.h"
#include "support/guide_fixture.h"
#include "support/temp_ini.h"

using namespace corvane;
namespace bc = corvane::broadcast;

namespace {

// Monday 2026-12-07, wall-clock times of the broadcast.
int64_t at(int day, int hour, int minute = 0) { return bc::broadcastTime(2026, 12, 7 + day, hour, minute); }

class GuideLayoutTest : public testing::Test {
protected:
    GuideLayoutTest() { host.clock = localOf(at(0, 12)); }

    TempIniFile ini{"layout"};
    IniFileSettings settings{ini.path()};
    ViewSettings view;
    FakeGuideHost host;
    StorePtr store{createStore()};
    GuideLayout layout{host, settings, view};
};

}  // namespace

TEST_F(GuideLayoutTest, EventListsAreOrderedAndSkipUntitledProgrammes) {
    putSchedule(store.get(), 1024, 0x7FE0, 8, {{at(0, 21), 1800, "後"}, {at(0, 20), 3600, "長い"}});
    putSchedule(store.get(), 1024, 0x7FE0, 0, {{at(0, 20), 1800, "短い"}, {at(0, 20, 30), 600, ""}});
    putSchedule(store.get(), 1024, 0x7FE0, 1, {{at(0, 20), 3600, "同じ"}});
    layout.buildListLayout(store.get());
    // (start, end) order; equal ones in the order they were read.
    std::vector<std::string> titles;
    for (const GuideEvent& e : layout.events[0]) titles.push_back(e.title);
    EXPECT_EQ((std::vector<std::string>{"短い", "同じ", "長い", "後"}), titles);
    EXPECT_EQ(localOf(at(0, 20)), layout.view.guideBegin);
    EXPECT_EQ(localOf(at(0, 21, 30)), layout.view.guideEnd);
    EXPECT_EQ(90 * 2 + 20, layout.view.contentHeight);
}

TEST_F(GuideLayoutTest, PresentFollowingFillsTheTimeBeforeAFutureSchedule) {
    host.clock = localOf(at(0, 10, 15));
    // The schedule starts at 11:00; present/following knows 09:00-10:00 (over)
    // and 10:00-11:00 (running).
    putPresentFollowing(store.get(), 1, 0x7FE0, 0, {{at(0, 9), 3600, "終わった"}, {at(0, 10), 3600, "放送中"}});
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 11), 3600, "次"}});
    // A second service without present/following lists its schedule as it is.
    putSchedule(store.get(), 2, 0x7FE0, 0, {{at(0, 11), 3600, "予定"}});
    layout.buildListLayout(store.get());
    ASSERT_EQ(2u, layout.events[0].size());
    EXPECT_EQ("放送中", layout.events[0][0].title);
    EXPECT_EQ("次", layout.events[0][1].title);
    EXPECT_EQ(1u, layout.events[1].size());

    // Once the schedule has begun, present/following is not looked at.
    host.clock = localOf(at(0, 11, 30));
    layout.buildListLayout(store.get());
    ASSERT_EQ(1u, layout.events[0].size());
    EXPECT_EQ("次", layout.events[0][0].title);
}

TEST_F(GuideLayoutTest, ColumnsFollowSortValuesAndVisibility) {
    for (uint16_t id : {1, 2, 3, 4}) putSchedule(store.get(), id, 0x7FE0, 0, {{at(0, 20), 1800, "番組"}});
    putSchedule(store.get(), 5, 4, 0, {{at(0, 18), 3600 * 5, "BS番組"}});  // BS: key "5:4"
    settings.writeString("SetupDialog", "Sort1", "299");
    settings.writeString("SetupDialog", "Sort2", "5");
    settings.writeString("SetupDialog", "Sort4", "5");
    settings.writeString("SetupDialog", "Sort5:4", "1");
    settings.writeString("ColumnDisp", "5:4", "0");
    layout.buildListLayout(store.get());

    std::vector<int> order;
    for (const GuideColumn& c : layout.columnOrder) order.push_back(c.service);
    EXPECT_EQ((std::vector<int>{4, 1, 3, 0, 2}), order);  // 1, 5, 5, 299 and 300 for the missing key
    // The hidden BS service keeps its menu item, unchecked, but no column,
    // no events and no part in the time range.
    EXPECT_EQ(0, layout.columnOrder[0].shown);
    EXPECT_TRUE(layout.events[4].empty());
    EXPECT_EQ(localOf(at(0, 20)), layout.view.guideBegin);
    EXPECT_EQ(localOf(at(0, 20, 30)), layout.view.guideEnd);
    EXPECT_EQ(50 + 4 * 180, layout.view.contentWidth);
    ASSERT_EQ(5u, host.menus.columns.size());
    EXPECT_EQ(kColumnCommandBase + 4, host.menus.columns[0].command);
    EXPECT_FALSE(host.menus.columns[0].checked);
    EXPECT_TRUE(host.menus.columns[1].checked);
    EXPECT_EQ(4u, host.menus.channels.size());
}

TEST_F(GuideLayoutTest, ChannelNamesNumbersAndKeys) {
    putSchedule(store.get(), 1024, 0x7FE0, 0, {{at(0, 20), 1800, "a"}});
    putSchedule(store.get(), 1025, 0x7FE0, 0, {{at(0, 20), 1800, "a"}});
    putSchedule(store.get(), 101, 4, 0, {{at(0, 20), 1800, "a"}});
    putSchedule(store.get(), 300, 7, 0, {{at(0, 20), 1800, "a"}});
    ServiceRecord& first = *store->services[0];
    ServiceRecord& second = *store->services[1];
    auto setName = [](uint8_t* field, uint16_t& length, const char* sjis) {
        bc::Bytes b = bc::AribText(sjis).bytes;
        length = static_cast<uint16_t>(std::min<size_t>(b.size(), kNameCapacity));
        std::memcpy(field, b.data(), length);
    };
    setName(first.tsName, first.tsNameLength, "ＮＨＫ総合");
    setName(first.serviceName, first.serviceNameLength, "ＮＨＫ総合１");
    setName(second.tsName, second.tsNameLength, "ＮＨＫ総合");  // id follows the previous: service name
    setName(second.serviceName, second.serviceNameLength, "ＮＨＫ総合２");
    first.networkWord |= 27;  // physical channel 27
    first.remoteKeyId = 1;
    std::memcpy(store->services[2]->satelliteFrequency, "\x01\x17\x27\x58", 4);  // 11.727 58 GHz: rounds up
    store->services[2]->transportStreamId = 0x4010;
    settings.writeString("iEPGStationName", "1025", "教育");
    settings.writeString("RemoconChNo", "101:4", "9");
    layout.buildListLayout(store.get());

    const ChannelInfo* info = layout.channels;
    EXPECT_EQ((std::vector<std::string>{"ＮＨＫ総合", "ＮＨＫ総合２", "BS101", "CS300"}),
              (std::vector<std::string>{info[0].columnName, info[1].columnName, info[2].columnName, info[3].columnName}));
    EXPECT_EQ("教育", info[1].stationName);
    EXPECT_EQ((std::vector<int>{1, 9, 300}), (std::vector<int>{info[0].remoteNumber, info[2].remoteNumber, info[3].remoteNumber}));
    EXPECT_EQ("27", info[0].vurdaChNo);
    EXPECT_EQ(std::to_string((11728L << 16) | 0x4010), info[2].vurdaChNo);
    EXPECT_EQ("300:7", channelKey(*store->services[3]));

    // Names longer than a column label are cut to 49 bytes, never inside a character.
    setName(first.tsName, first.tsNameLength, "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめも");
    EXPECT_EQ(48u, columnNameOf(*store, 0).size());
}

TEST_F(GuideLayoutTest, GeometryOfProgrammes) {
    putSchedule(store.get(), 1, 0x7FE0, 0,
                {{at(0, 4), 3600, "早朝"}, {at(0, 6, 30), 1800, "朝"}, {at(0, 20), 1800, "夜"}, {at(0, 20, 30), 59, "短い"}});
    layout.buildListLayout(store.get());
    const std::vector<GuideEvent>& list = layout.events[0];
    ASSERT_EQ(4u, list.size());
    EXPECT_EQ(localOf(at(0, 4)), layout.view.guideBegin);
    EXPECT_EQ(320, layout.contentY(list[1].start, layout.view.guideBegin));
    EXPECT_EQ(60, layout.eventHeight(list[2]));
    EXPECT_EQ(0, layout.eventHeight(list[3]));

    // Painted at x 50 with a title block of 16 pixels: clicks on the title
    // block hit, clicks below it do not; 06:30 is drawn at 20 with scrollY 300.
    layout.columnOrder[0].x = 50;
    for (GuideEvent& e : layout.events[0]) e.titleHeight = 16;
    layout.view.scrollY = 300;
    EXPECT_EQ((Selection{0, 1}), layout.hitTest(60, 20));
    EXPECT_EQ((Selection{0, 1}), layout.hitTest(229, 35));
    EXPECT_EQ(Selection{}, layout.hitTest(60, 36));   // below the title block
    EXPECT_EQ(Selection{}, layout.hitTest(230, 20));  // right of the column
    EXPECT_EQ(Selection{}, layout.hitTest(49, 20));   // time column
    EXPECT_EQ(Selection{}, layout.hitTest(60, 19));   // header
}

TEST_F(GuideLayoutTest, ChannelViewUsesBroadcastDays) {
    putSchedule(store.get(), 1, 0x7FE0, 0,
                {{at(0, 5), 3600, "月曜の朝"}, {at(0, 23), 16200, "深夜まで"}, {at(1, 3, 30), 1800, "深夜"},
                 {at(1, 4, 0), 3600, "火曜の朝"}, {at(2, 4, 0), 3600, "水曜の朝"}});
    layout.buildListLayout(store.get());
    layout.view.viewService = 0;
    ASSERT_EQ(0, layout.buildChannelLayout(store.get()));
    EXPECT_EQ("Corvane - [1]", host.title);
    ASSERT_EQ(3u, layout.dayColumns.size());
    const GuideColumn& monday = layout.dayColumns[0];
    EXPECT_EQ(localOf(at(0, 4)), layout.view.guideBegin);
    EXPECT_EQ(layout.view.guideBegin + kSecondsPerDay, layout.view.guideEnd);
    // 03:30 on Tuesday belongs to Monday's broadcast day, 23.5 hours down;
    // each day also takes the programme on either side of it.
    EXPECT_EQ(0, monday.firstEvent);
    EXPECT_EQ(3, monday.lastEvent);
    EXPECT_EQ(20 + 23 * 60 * 2 + 60, layout.contentY(layout.events[0][2].start, layout.originOf(monday)));
    EXPECT_EQ(kSecondsPerDay, layout.dayColumns[1].offset);
    EXPECT_EQ(2, layout.dayColumns[1].firstEvent);
    EXPECT_EQ(4, layout.dayColumns[2].lastEvent);
    EXPECT_EQ(1440 * 2 + 20, layout.view.contentHeight);
    // The current time is moved back into the first day.
    EXPECT_EQ(localOf(at(0, 12)), layout.viewTime(localOf(at(2, 12))));
}

TEST_F(GuideLayoutTest, DateMenuAndDateCommands) {
    // Eight days a service at most: two services spanning twelve days.
    for (int d = 0; d < 8; ++d) putSchedule(store.get(), 1, 0x7FE0, d * 64, {{at(d, 6), 3600 * 12, "毎日"}});
    for (int d = 4; d < 12; ++d) putSchedule(store.get(), 2, 0x7FE0, (d - 4) * 64, {{at(d, 6), 3600 * 12, "毎日"}});
    host.clock = localOf(at(4, 7));  // a schedule that starts later would be read for one day only
    layout.buildListLayout(store.get());
    ASSERT_EQ(12u, host.menus.dates.size());
    EXPECT_EQ("12/07(月)", host.menus.dates[0].text);
    EXPECT_EQ(kDateCommandBase + 11, host.menus.dates[11].command);

    host.height = 400;
    layout.dateCommand(2);  // midnight of the third day, 60 pixels below the header
    EXPECT_EQ(static_cast<int>((localOf(at(2, 0)) - layout.view.guideBegin) / 60) * 2 - 60, layout.view.scrollY);
    const int scrolled = layout.view.scrollY;
    layout.dateCommand(10);
    layout.dateCommand(11);
    EXPECT_EQ(scrolled, layout.view.scrollY);

    // In the channel view the day's column is scrolled into view.
    layout.view.viewService = 0;
    layout.buildChannelLayout(store.get());
    host.width = 50 + 2 * 180;
    layout.dateCommand(1);
    EXPECT_EQ(0, layout.view.scrollX);  // already visible
    layout.dateCommand(5);
    EXPECT_EQ(5 * 180, layout.view.scrollX);
}

TEST_F(GuideLayoutTest, ScrollingClampsJumpsToNowAndAnchorsToTheData) {
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 6), 3600 * 10, "番組"}});
    putSchedule(store.get(), 2, 0x7FE0, 0, {{at(0, 6), 3600 * 10, "番組"}});
    layout.buildListLayout(store.get());
    host.width = 300;
    host.height = 500;
    layout.scrollVertical(kScrollPageDown, 0);
    EXPECT_EQ(500, layout.view.scrollY);
    layout.scrollVertical(kScrollPageDown, 0);
    EXPECT_EQ(1220 - 500, layout.view.scrollY);  // clamped at the end
    layout.scrollVertical(kScrollTo, -40);
    EXPECT_EQ(0, layout.view.scrollY);
    layout.scrollHorizontal(kScrollLineDown, 0);
    EXPECT_EQ(110, host.bars.horizontalPos);  // at most contentWidth - width
    EXPECT_EQ((Rect{50, 0, 410, 1220}), host.invalidated.back());

    // New data one hour earlier keeps the same programmes in view.
    layout.scrollVertical(kScrollTo, 200);
    putSchedule(store.get(), 3, 0x7FE0, 0, {{at(0, 5), 3600, "早い"}});
    layout.buildListLayout(store.get());
    EXPECT_EQ(200 + 120, layout.view.scrollY);

    host.clock = localOf(at(0, 10));
    EXPECT_TRUE(layout.jumpToNow());
    EXPECT_EQ(5 * 60 * 2 - 60, layout.view.scrollY);
    host.clock = localOf(at(0, 16));  // the guide ends at 16:00
    EXPECT_FALSE(layout.jumpToNow());
}

TEST_F(GuideLayoutTest, ZeroSizesStaySound) {
    view.hourHight = 0;
    view.channelWidth = 0;
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 6), 3600, "番組"}});
    layout.buildListLayout(store.get());
    layout.updateScrollBars();
    layout.scrollVertical(kScrollLineDown, 0);
    layout.scrollHorizontal(kScrollPageDown, 0);
    layout.dateCommand(0);
    EXPECT_EQ(Selection{}, layout.hitTest(60, 30));
    layout.view.viewService = 0;
    EXPECT_EQ(0, layout.buildChannelLayout(store.get()));
    layout.dateCommand(0);
    EXPECT_EQ(0, layout.view.scrollX);
}
