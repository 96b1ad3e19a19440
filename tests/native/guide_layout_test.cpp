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

const int64_t kDay = 86400;
// Monday 2026-12-07, wall-clock times of the broadcast.
int64_t at(int day, int hour, int minute = 0) { return bc::broadcastTime(2026, 12, 7 + day, hour, minute); }

class GuideLayoutTest : public testing::Test {
protected:
    GuideLayoutTest() : ini("layout"), settings(ini.path()), store(createStore()) {
        layout = std::make_unique<GuideLayout>(host, settings, view);
        host.clock = localOf(at(0, 12));
    }

    void build() {
        layout->view.viewService = -1;
        layout->buildListLayout(store.get());
    }

    TempIniFile ini;
    IniFileSettings settings;
    ViewSettings view;
    FakeGuideHost host;
    StorePtr store;
    std::unique_ptr<GuideLayout> layout;
};

}  // namespace

TEST_F(GuideLayoutTest, EventListsAreOrderedAndSkipUntitledProgrammes) {
    putSchedule(store.get(), 1024, 0x7FE0, 8, {{at(0, 21), 1800, "後"}, {at(0, 20), 3600, "長い"}});
    putSchedule(store.get(), 1024, 0x7FE0, 0, {{at(0, 20), 1800, "短い"}, {at(0, 20, 30), 600, ""}});
    putSchedule(store.get(), 1024, 0x7FE0, 1, {{at(0, 20), 3600, "同じ"}});
    build();
    const std::vector<GuideEvent>& list = layout->events[0];
    ASSERT_EQ(4u, list.size());
    // (start, end) order; equal ones in the order they were read.
    EXPECT_EQ("短い", list[0].title);
    EXPECT_EQ("同じ", list[1].title);
    EXPECT_EQ("長い", list[2].title);
    EXPECT_EQ("後", list[3].title);
    EXPECT_EQ(localOf(at(0, 20)), layout->view.guideBegin);
    EXPECT_EQ(localOf(at(0, 21, 30)), layout->view.guideEnd);
    EXPECT_EQ(50 + 180, layout->view.contentWidth);
    EXPECT_EQ(90 * 2 + 20, layout->view.contentHeight);
    EXPECT_EQ(1, host.watchResets);
    EXPECT_EQ(1, host.genreRefreshes);
}

TEST_F(GuideLayoutTest, PresentFollowingFillsTheTimeBeforeAFutureSchedule) {
    host.clock = localOf(at(0, 10, 15));
    // The schedule starts at 11:00; present/following knows 09:00-10:00 (over)
    // and 10:00-11:00 (running).
    putPresentFollowing(store.get(), 1, 0x7FE0, 0, {{at(0, 9), 3600, "終わった"}, {at(0, 10), 3600, "放送中"}});
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 11), 3600, "次"}});
    // A second service without present/following lists its schedule as it is.
    putSchedule(store.get(), 2, 0x7FE0, 0, {{at(0, 11), 3600, "予定"}});
    build();
    ASSERT_EQ(2u, layout->events[0].size());
    EXPECT_EQ("放送中", layout->events[0][0].title);
    EXPECT_EQ("次", layout->events[0][1].title);
    ASSERT_EQ(1u, layout->events[1].size());

    // Once the schedule has begun, present/following is not looked at.
    host.clock = localOf(at(0, 11, 30));
    build();
    ASSERT_EQ(1u, layout->events[0].size());
    EXPECT_EQ("次", layout->events[0][0].title);
}

TEST_F(GuideLayoutTest, ColumnsFollowSortValuesAndVisibility) {
    for (uint16_t id : {1, 2, 3, 4}) putSchedule(store.get(), id, 0x7FE0, 0, {{at(0, 20), 1800, "番組"}});
    putSchedule(store.get(), 5, 4, 0, {{at(0, 18), 3600 * 5, "BS番組"}});  // BS: key "5:4"
    settings.writeString("SetupDialog", "Sort2", "5");
    settings.writeString("SetupDialog", "Sort4", "5");
    settings.writeString("SetupDialog", "Sort5:4", "1");
    settings.writeString("SetupDialog", "Sort1", "301");
    settings.writeString("ColumnDisp", "5:4", "0");
    build();

    ASSERT_EQ(5u, layout->columnOrder.size());
    std::vector<int> order;
    for (const GuideColumn& c : layout->columnOrder) order.push_back(c.service);
    EXPECT_EQ((std::vector<int>{4, 1, 3, 2, 0}), order);  // 1, 5, 5, 300, 301

    // The hidden BS service keeps its menu item, unchecked, but no column,
    // no events and no part in the time range.
    EXPECT_EQ(0, layout->columnOrder[0].shown);
    EXPECT_TRUE(layout->events[4].empty());
    EXPECT_EQ(localOf(at(0, 20)), layout->view.guideBegin);
    EXPECT_EQ(localOf(at(0, 20, 30)), layout->view.guideEnd);
    EXPECT_EQ(50 + 4 * 180, layout->view.contentWidth);
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
    ServiceRecord& bs = *store->services[2];
    ServiceRecord& cs = *store->services[3];
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
    std::memcpy(bs.satelliteFrequency, "\x01\x17\x27\x58", 4);  // 11.727 58 GHz: rounds up
    bs.transportStreamId = 0x4010;
    std::memcpy(cs.satelliteFrequency, "\x01\x25\x23\x00", 4);
    settings.writeString("iEPGStationName", "1025", "教育");
    settings.writeString("RemoconChNo", "101:4", "9");
    build();

    EXPECT_EQ("ＮＨＫ総合", layout->channels[0].columnName);
    EXPECT_EQ("ＮＨＫ総合２", layout->channels[1].columnName);
    EXPECT_EQ("BS101", layout->channels[2].columnName);
    EXPECT_EQ("CS300", layout->channels[3].columnName);
    EXPECT_EQ("ＮＨＫ総合", layout->channels[0].stationName);
    EXPECT_EQ("教育", layout->channels[1].stationName);
    EXPECT_EQ(1, layout->channels[0].remoteNumber);
    EXPECT_EQ(9, layout->channels[2].remoteNumber);
    EXPECT_EQ(300, layout->channels[3].remoteNumber);
    EXPECT_EQ("27", layout->channels[0].vurdaChNo);
    EXPECT_EQ("", layout->channels[1].vurdaChNo);
    EXPECT_EQ(std::to_string((11728L << 16) | 0x4010), layout->channels[2].vurdaChNo);
    EXPECT_EQ(std::to_string(12523L << 16), layout->channels[3].vurdaChNo);
    EXPECT_EQ("1024", channelKey(first));
    EXPECT_EQ("300:7", channelKey(cs));

    // Names longer than a column label are cut to 49 bytes, never inside a character.
    setName(first.tsName, first.tsNameLength, "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめも");
    std::string cut = columnNameOf(*store, 0);
    EXPECT_EQ(48u, cut.size());
}

TEST_F(GuideLayoutTest, GeometryOfProgrammes) {
    putSchedule(store.get(), 1, 0x7FE0, 0,
                {{at(0, 4), 3600, "早朝"}, {at(0, 6, 30), 1800, "朝"}, {at(0, 20), 1800, "夜"},
                 {at(0, 20, 30), 59, "短い"}});
    build();
    const std::vector<GuideEvent>& list = layout->events[0];
    ASSERT_EQ(4u, list.size());
    EXPECT_EQ(localOf(at(0, 4)), layout->view.guideBegin);
    EXPECT_EQ(320, layout->contentY(list[1].start, layout->view.guideBegin));
    EXPECT_EQ(60, layout->eventHeight(list[2]));
    EXPECT_EQ(0, layout->eventHeight(list[3]));

    // Painted at x 50 with a title block of 16 pixels: clicks on the title
    // block hit, clicks below it do not; 06:30 is drawn at 20 with scrollY 300.
    host.height = 300;
    layout->columnOrder[0].x = 50;
    for (GuideEvent& e : layout->events[0]) e.titleHeight = 16;
    layout->view.scrollY = 300;
    EXPECT_EQ((Selection{0, 1}), layout->hitTest(60, 20));
    EXPECT_EQ((Selection{0, 1}), layout->hitTest(229, 35));
    EXPECT_EQ(Selection{}, layout->hitTest(60, 36));   // below the title block
    EXPECT_EQ(Selection{}, layout->hitTest(230, 20));  // right of the column
    EXPECT_EQ(Selection{}, layout->hitTest(49, 20));   // time column
    EXPECT_EQ(Selection{}, layout->hitTest(60, 19));   // header
}

TEST_F(GuideLayoutTest, ChannelViewUsesBroadcastDays) {
    putSchedule(store.get(), 1, 0x7FE0, 0,
                {{at(0, 5), 3600, "月曜の朝"}, {at(0, 23), 16200, "深夜まで"}, {at(1, 3, 30), 1800, "深夜"},
                 {at(1, 4, 0), 3600, "火曜の朝"}, {at(2, 4, 0), 3600, "水曜の朝"}});
    build();
    layout->view.viewService = 0;
    ASSERT_EQ(0, layout->buildChannelLayout(store.get()));
    EXPECT_EQ("Corvane - [1]", host.title);
    ASSERT_EQ(3u, layout->dayColumns.size());
    const GuideColumn& monday = layout->dayColumns[0];
    EXPECT_EQ(localOf(at(0, 4)), layout->view.guideBegin);
    EXPECT_EQ(layout->view.guideBegin + kDay, layout->view.guideEnd);
    // 03:30 on Tuesday belongs to Monday's broadcast day, 23.5 hours down.
    EXPECT_EQ(0, monday.firstEvent);
    EXPECT_EQ(3, monday.lastEvent);  // one past the day: the next day's first programme
    EXPECT_EQ(20 + 23 * 60 * 2 + 60, layout->contentY(layout->events[0][2].start, layout->originOf(monday)));
    const GuideColumn& tuesday = layout->dayColumns[1];
    EXPECT_EQ(kDay, tuesday.offset);
    EXPECT_EQ(2, tuesday.firstEvent);  // Monday's last programme runs into it
    EXPECT_EQ(4, tuesday.lastEvent);
    EXPECT_EQ(4, layout->dayColumns[2].lastEvent);  // the service's last programme
    EXPECT_EQ(50 + 3 * 180, layout->view.contentWidth);
    EXPECT_EQ(1440 * 2 + 20, layout->view.contentHeight);

    // The current time is moved back into the first day.
    EXPECT_EQ(localOf(at(0, 12)), layout->viewTime(localOf(at(2, 12))));

    layout->view.viewService = -1;
    EXPECT_EQ(-1, layout->buildChannelLayout(store.get()));
}

TEST_F(GuideLayoutTest, DateMenuAndDateCommands) {
    // Eight days a service at most: two services spanning twelve days.
    for (int d = 0; d < 8; ++d) putSchedule(store.get(), 1, 0x7FE0, d * 64, {{at(d, 6), 3600 * 12, "毎日"}});
    for (int d = 4; d < 12; ++d) putSchedule(store.get(), 2, 0x7FE0, (d - 4) * 64, {{at(d, 6), 3600 * 12, "毎日"}});
    host.clock = localOf(at(4, 7));  // a schedule that starts later would be read for one day only
    build();
    ASSERT_EQ(12u, host.menus.dates.size());
    EXPECT_EQ("12/07(月)", host.menus.dates[0].text);
    EXPECT_EQ("12/13(日)", host.menus.dates[6].text);
    EXPECT_EQ(kDateCommandBase + 11, host.menus.dates[11].command);

    host.height = 400;
    layout->updateScrollBars();
    layout->dateCommand(2);  // midnight of the third day, 60 pixels below the header
    EXPECT_EQ(static_cast<int>((localOf(at(2, 0)) - layout->view.guideBegin) / 60) * 2 - 60, layout->view.scrollY);
    const int scrolled = layout->view.scrollY;
    layout->dateCommand(10);
    layout->dateCommand(11);
    EXPECT_EQ(scrolled, layout->view.scrollY);

    // In the channel view the day's column is scrolled into view.
    layout->view.viewService = 0;
    layout->buildChannelLayout(store.get());
    host.width = 50 + 2 * 180;
    layout->view.scrollX = 0;
    layout->dateCommand(1);
    EXPECT_EQ(0, layout->view.scrollX);  // already visible
    layout->dateCommand(5);
    EXPECT_EQ(5 * 180, layout->view.scrollX);
}

TEST_F(GuideLayoutTest, ScrollingClampsAndAnchorsToTheData) {
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 6), 3600 * 10, "番組"}});
    putSchedule(store.get(), 2, 0x7FE0, 0, {{at(0, 6), 3600 * 10, "番組"}});
    build();
    host.width = 300;
    host.height = 500;
    layout->updateScrollBars();
    EXPECT_EQ(410, host.bars.horizontalMax);
    EXPECT_EQ(300, host.bars.horizontalPage);
    layout->scrollVertical(kScrollLineDown, 0);
    EXPECT_EQ(120, layout->view.scrollY);
    layout->scrollVertical(kScrollPageDown, 0);
    EXPECT_EQ(620, layout->view.scrollY);
    layout->scrollVertical(kScrollBottom, 0);
    EXPECT_EQ(1220 - 500, layout->view.scrollY);
    layout->scrollVertical(kScrollPageDown, 0);
    EXPECT_EQ(720, layout->view.scrollY);  // clamped at the end
    host.trackPosition = 33;
    layout->scrollVertical(kScrollThumbTrack, 999);
    EXPECT_EQ(33, layout->view.scrollY);
    layout->scrollVertical(kScrollTo, -40);
    EXPECT_EQ(0, layout->view.scrollY);
    layout->scrollHorizontal(kScrollLineDown, 0);
    EXPECT_EQ(110, layout->view.scrollX);  // at most contentWidth - width
    layout->scrollHorizontal(kScrollThumbPosition, 50);
    EXPECT_EQ(50, host.bars.horizontalPos);
    ASSERT_FALSE(host.invalidated.empty());
    EXPECT_EQ((Rect{50, 0, 410, 1220}), host.invalidated.back());

    // New data one hour earlier keeps the same programmes in view.
    layout->scrollVertical(kScrollTo, 200);
    putSchedule(store.get(), 3, 0x7FE0, 0, {{at(0, 5), 3600, "早い"}});
    build();
    EXPECT_EQ(200 + 120, layout->view.scrollY);
}

TEST_F(GuideLayoutTest, ZeroSizesStaySound) {
    view.hourHight = 0;
    view.channelWidth = 0;
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 6), 3600, "番組"}});
    build();
    layout->updateScrollBars();
    layout->scrollVertical(kScrollLineDown, 0);
    layout->scrollHorizontal(kScrollPageDown, 0);
    layout->dateCommand(0);
    EXPECT_EQ(Selection{}, layout->hitTest(60, 30));
    layout->view.viewService = 0;
    EXPECT_EQ(0, layout->buildChannelLayout(store.get()));
    layout->dateCommand(0);
    EXPECT_EQ(0, layout->view.scrollX);
}

TEST_F(GuideLayoutTest, JumpToNowOnlyInsideTheGuide) {
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 6), 3600 * 10, "番組"}});
    build();
    host.height = 300;
    host.clock = localOf(at(0, 10));
    EXPECT_TRUE(layout->jumpToNow());
    EXPECT_EQ(4 * 60 * 2 - 60, layout->view.scrollY);
    host.clock = localOf(at(0, 16));  // the guide ends at 16:00
    EXPECT_FALSE(layout->jumpToNow());
    layout->reset();
    EXPECT_FALSE(layout->jumpToNow());
}
