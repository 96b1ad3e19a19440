// The view setup and channel order dialogs without their windows: typed
// numbers, the texts "OK" writes, the fonts handed to the platform, row
// moves, the channel order the rows and the layout take, and the guide at the
// largest geometry; then the guide's layout itself: event lists, columns,
// geometry, hits, dates, scrolling and the wheel.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "dialogs/channel_order.h"
#include "guide/number_field.h"
#include "guide/guide_geometry.h"
#include "guide/guide_layout.h"
#include "guide/view_settings.h"
#include "guide/window_placement.h"
#include "store/ini_settings.h"
#include "support/fake_guide_host.h"
#include "support/guide_fixture.h"
#include "support/store_sections.h"
#include "support/temp_ini.h"

namespace corvane {
namespace {

TEST(ViewSetup, TypedNumbersAreAbsoluteAndRefusedOutsideTheirRange) {
    const NumberField field{"時間(分)の高さ", 1, 20};
    // Only the first 99 characters count: the 9 after them is not read.
    for (auto [text, number] : {std::pair<std::string, int64_t>{"-3", 3}, {" 20px", 20}, {"abc", 0}, {"21", 21},
                                {"-2147483648", 2147483648LL}, {std::string(98, ' ') + "19", 1}}) {
        const NumberReading reading = readNumberField(text, field);
        EXPECT_EQ(std::tuple(number, number >= 1 && number <= 20, number <= 20 ? number : 0),
                  std::tuple(typedNumber(text), reading.accepted, int64_t{reading.value}))
            << text;
        EXPECT_EQ(reading.accepted ? "" : "時間(分)の高さは1から20までの数値を指定してください。", reading.refusal);
    }
}

TEST(ViewSetup, WritesEveryKeyByteForByteAndReadsGeometryBackWithinBounds) {
    ViewSettings view;
    view.hourHight = 3, view.contDisp = 0, view.tvRockDisp = 1;
    view.tvRockProgName = "C:\\予約\\tvrock.sch";
    view.nameFont = {"メイリオ", -14, 700, 1, 0, 1, 0x0080ff};
    using Texts = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ((Texts{{"HourHight", "3"},          {"ChannelWidth", "180"},      {"ContDisp", "0"},
                     {"NameFontName", "メイリオ"}, {"ContFontName", "ＭＳ 明朝"}, {"NameFontColor", "0080ff"},
                     {"ContFontColor", "505050"},  {"NameFontSize", "14"},       {"ContFontSize", "10"},
                     {"NameFontWeight", "700"},    {"ContFontWeight", "0"},      {"NameFontItalic", "1"},
                     {"ContFontItalic", "0"},      {"NameFontUnderline", "0"},   {"ContFontUnderline", "0"},
                     {"NameFontStrikeOut", "1"},   {"ContFontStrikeOut", "0"},   {"EpgTimerDisp", "000000"},
                     {"TvRockDisp", "000001"},     {"TunerecDisp", "000000"},    {"TvRockProgName", "C:\\予約\\tvrock.sch"}}),
              viewSetupTexts(view));
    TempIniFile file("view_setup");
    IniFileSettings settings(file.path());
    writeViewSetup(settings, view);
    const ViewSettings back = readViewSettings(settings);
    EXPECT_EQ(viewSetupTexts(back), viewSetupTexts(view));
    EXPECT_EQ(std::tuple(1, -14), std::tuple(back.tvRockDisp, back.nameFont.creationHeight()));

    // Stored out of bounds: the absolute value, held to the bounds; the file
    // stays. A font size of either sign gives the same height; a colour
    // without hex digits is black.
    for (auto [hour, width, expected] : {std::tuple{"-3", "-2147483648", std::pair{3, kHighestColumnWidth}},
                                         {"99999999", "0", std::pair{kHighestMinuteHeight, kLowestColumnWidth}}}) {
        file.write(std::string("[ViewSetup]\r\nHourHight=") + hour + "\r\nChannelWidth=" + width +
                   "\r\nNameFontSize=-14\r\nContFontSize=14\r\nContFontColor=zz\r\n");
        const ViewSettings stored = readViewSettings(settings);
        EXPECT_EQ(expected, std::pair(stored.hourHight, stored.channelWidth));
        EXPECT_EQ(std::tuple(-14, -14, 0u),
                  std::tuple(stored.nameFont.creationHeight(), stored.contFont.creationHeight(), stored.contFont.color));
    }
}

TEST(ViewSetup, FontsReachThePlatformRecordAndComeBackFromIt) {
    // 16 double-byte characters: the face field holds 31 bytes, so 15 of them.
    FontRecord record = fontRecordOf(FontSetting{repeat("字", 16), 12, 400, 5, 0, 0, 0x123456});
    EXPECT_EQ(std::tuple(-12, 1, repeat("字", 15)),
              std::tuple(record.height, int{record.italic}, std::string(record.faceName)));
    // What a chooser hands back: italic as 255, a face without room for its end.
    record.italic = 255;
    std::memset(record.faceName, 'A', sizeof record.faceName);
    const FontSetting back = fontSettingOf(record, 0xff00ff);
    EXPECT_EQ(std::tuple(std::string(31, 'A'), -12, 1, 0xff00ffu), std::tuple(back.faceName, back.size, back.italic, back.color));
}

TEST(ViewSetup, SelectedRowsMoveAsBlocksAndBlocksAtTheEdgeStay) {
    // Rows A to E; 'x' marks the selected ones, before and after the move.
    struct Case {
        const char *marks, *order, *marksAfter;
        RowMove move;
        int firstMoved;
    } cases[] = {
        {"xx...", "ABCDE", "xx...", RowMove::up, -1},  {".xx..", "BCADE", "xx...", RowMove::up, 0},
        {"xx.x.", "ABDCE", "xxx..", RowMove::up, 2},   {"...xx", "ABCDE", "...xx", RowMove::down, -1},
        {".x.x.", "ACBED", "..x.x", RowMove::down, 4}, {"x.xxx", "BACDE", ".xxxx", RowMove::down, 1},
    };
    for (const Case& c : cases) {
        std::vector<ChannelOrderRow> rows;
        for (int i = 0; i < 5; ++i) rows.push_back({std::string(1, char('A' + i)), i, 300, true, c.marks[i] == 'x'});
        EXPECT_EQ(c.firstMoved, moveSelectedRows(rows, c.move)) << c.marks;
        std::string order, marks;
        for (const ChannelOrderRow& row : rows) order += row.name, marks += row.selected ? 'x' : '.';
        EXPECT_EQ((std::pair<std::string, std::string>(c.order, c.marksAfter)), std::pair(order, marks)) << c.marks;
    }
}

class ChannelOrderLayoutTest : public testing::Test, protected LayoutRig {
protected:
    ChannelOrderLayoutTest() : LayoutRig("channel_order") { host.clock = localOf(at(0, 12)); }
};

TEST_F(ChannelOrderLayoutTest, RowsAndColumnsFollowTheStoredOrder) {
    // Services 1, 2, 3 and the BS service 5 have programmes; 4 has none.
    for (uint16_t id : {1, 2, 3, 4}) putSchedule(store.get(), id, 0x7FE0, 0, {{at(0, 20), 1800, id == 4 ? "" : "番組"}});
    putSchedule(store.get(), 5, 4, 0, {{at(0, 20), 1800, "BS"}});
    for (auto [section, key, value] : {std::tuple{"ColumnDisp", "3", "2"}, {"SetupDialog", "Sort3", "5"}, {"SetupDialog", "Sort5:4", "5"}})
        settings.writeString(section, key, value);
    layout.buildListLayout(store.get());

    // Sort values 5, 5 (store order), then 300; the untitled service absent;
    // "ColumnDisp" 2 hides the column, so it is not ticked.
    std::vector<ChannelOrderRow> rows = channelOrderRows(channelOrderServices(*store, layout.channels, preferences));
    std::vector<std::pair<int32_t, bool>> shown;
    for (const ChannelOrderRow& row : rows) shown.emplace_back(row.item, row.ticked);
    EXPECT_EQ((std::vector<std::pair<int32_t, bool>>{{3, false}, {4 * 65536 + 5, true}, {1, true}, {2, true}}), shown);
    // The layout takes the same order; what "OK" stores is checked on the dialog itself.
    std::vector<int> columns;
    for (const GuideColumn& column : layout.columnOrder) columns.push_back(column.service);
    EXPECT_EQ((std::vector<int>{2, 4, 0, 1}), columns);
}

// Programmes a hundred years apart, and the widest span of broadcast dates
// (MJD 0, 1858-11-17, to MJD 65535, 2038-04-22, 99 hours long), laid out and
// painted at the largest geometry in both views: every pixel fits 32 bits and
// shapes reach the platform in window-sized pieces.
TEST_F(ChannelOrderLayoutTest, ProgrammesDecadesApartFitTheLargestGeometry) {
    view.hourHight = kHighestMinuteHeight;
    view.channelWidth = kHighestColumnWidth;
    const int64_t first = broadcast::broadcastTime(1858, 11, 17, 0, 0), last = broadcast::broadcastTime(2038, 4, 22, 23, 0);
    putSchedule(store.get(), 1, 0x7FE0, 0,
                {{broadcast::broadcastTime(1930, 1, 1, 0, 0), 3600, "昔"}, {broadcast::broadcastTime(2030, 1, 1, 0, 0), 3600, "未来"}});
    putSchedule(store.get(), 2, 0x7FE0, 0, {{first, 99 * 3600, "最初"}, {last, 99 * 3600, "最後"}});
    for (int service : {-1, 0, 1}) {
        layout.view.viewService = -1;
        layout.buildListLayout(store.get());
        if (service < 0) {
            EXPECT_EQ(20 + (localOf(last) + 99 * 3600 - localOf(first)) / 60 * kHighestMinuteHeight, layout.view.contentHeight);
        }
        if ((layout.view.viewService = service) >= 0) layout.buildChannelLayout(store.get());
        for (int scroll : {0, 1 << 30, INT32_MAX}) {
            layout.scrollVertical(kScrollTo, scroll);
            layout.scrollHorizontal(kScrollTo, scroll);
            RecordingPaintSurface surface;
            ASSERT_TRUE(paintOn(surface).painted);
            for (const PaintCall& call : surface.calls)
                EXPECT_TRUE(call.rect.top > -300000 && call.rect.bottom < 300000) << call.kind << " " << call.rect.top;
        }
    }
}

TEST(GuideGeometryTest, PixelsAndTimesConvertBothWaysAtEveryScale) {
    const int64_t origin = 1'700'000'000;
    for (int hourHight : {1, 2, 7, 20, 200}) {
        const GuideGeometry geometry{hourHight, 180};
        for (int64_t seconds : {int64_t{0}, int64_t{59}, int64_t{60}, int64_t{3599}, int64_t{86400 * 8 + 61}}) {
            // A time goes to its minute's first pixel row and every row of that minute comes back to the minute.
            const int y = geometry.contentY(origin + seconds, origin);
            const int64_t minute = origin + seconds / 60 * 60;
            EXPECT_EQ(minute, geometry.timeAt(y, origin)) << hourHight << " " << seconds;
            EXPECT_EQ(minute, geometry.timeAt(y + hourHight - 1, origin)) << hourHight << " " << seconds;
        }
        // The same time stays at the top across a new minute height.
        const GuideGeometry before{7, 180};
        for (int scrollY : {0, 6, 7, 7 * 60 * 24 + 3, 7 * 60 * 24 * 365 + 5})
            EXPECT_EQ(before.topTime(scrollY, origin), geometry.topTime(geometry.rescaledY(scrollY, before), origin))
                << hourHight << " " << scrollY;
    }
    const GuideGeometry geometry{2, 180};
    EXPECT_EQ(std::tuple(-1, 0, 0, 1), std::tuple(geometry.columnAt(49), geometry.columnAt(50), geometry.columnAt(229),
                                                  geometry.columnAt(230)));
    EXPECT_EQ(360, geometry.rescaledX(180, GuideGeometry{2, 90}));
}

namespace bc = corvane::broadcast;

class GuideLayoutTest : public testing::Test, protected LayoutRig {
protected:
    GuideLayoutTest() : LayoutRig("layout") { host.clock = localOf(at(0, 12)); }
};

TEST_F(GuideLayoutTest, EventListsAreOrderedSkipUntitledOnesAndFillInPresentFollowing) {
    putSchedule(store.get(), 1024, 0x7FE0, 8, {{at(0, 21), 1800, "後"}, {at(0, 20), 3600, "長い"}});
    putSchedule(store.get(), 1024, 0x7FE0, 0, {{at(0, 20), 1800, "短い"}, {at(0, 20, 30), 600, ""}});
    putSchedule(store.get(), 1024, 0x7FE0, 1, {{at(0, 20), 3600, "同じ"}});
    layout.buildListLayout(store.get());
    // (start, end) order; equal ones in the order they were read.
    std::vector<std::string> titles;
    for (const GuideEvent& e : layout.events[0]) titles.push_back(e.title);
    EXPECT_EQ((std::vector<std::string>{"短い", "同じ", "長い", "後"}), titles);
    EXPECT_EQ(std::tuple(localOf(at(0, 20)), localOf(at(0, 21, 30)), 90 * 2 + 20),
              std::tuple(layout.view.guideBegin, layout.view.guideEnd, layout.view.contentHeight));

    // At 10:15 the schedule of 1 (now the first service) starts at 11:00;
    // present/following knows 09:00-10:00 (over) and 10:00-11:00 (running).
    // Service 2 has no present/following and lists its schedule as it is.
    host.clock = localOf(at(0, 10, 15));
    putPresentFollowing(store.get(), 1, 0x7FE0, 0, {{at(0, 9), 3600, "終わった"}, {at(0, 10), 3600, "放送中"}});
    for (uint16_t id : {1, 2}) putSchedule(store.get(), id, 0x7FE0, 0, {{at(0, 11), 3600, "次"}});
    layout.buildListLayout(store.get());
    ASSERT_EQ(2u, layout.events[0].size());
    EXPECT_EQ(std::tuple("放送中", "次", 1u),
              std::tuple(layout.events[0][0].title, layout.events[0][1].title, layout.events[1].size()));

    // Once the schedule has begun, present/following is not looked at.
    host.clock = localOf(at(0, 11, 30));
    layout.buildListLayout(store.get());
    ASSERT_EQ(1u, layout.events[0].size());
    EXPECT_EQ("次", layout.events[0][0].title);
}

TEST_F(GuideLayoutTest, AHiddenColumnKeepsItsMenuItemOnly) {
    for (uint16_t id : {1, 2, 3, 4}) putSchedule(store.get(), id, 0x7FE0, 0, {{at(0, 20), 1800, "番組"}});
    putSchedule(store.get(), 5, 4, 0, {{at(0, 18), 3600 * 5, "BS番組"}});  // BS: key "5:4"
    settings.writeString("SetupDialog", "Sort5:4", "1");
    settings.writeString("ColumnDisp", "5:4", "0");
    layout.buildListLayout(store.get());
    // The hidden BS service sorts first (the order has a test with the channel
    // order dialog's) and keeps its menu item, unchecked, but no column, no
    // events and no part in the time range.
    EXPECT_TRUE(layout.columnOrder[0].service == 4 && !layout.columnOrder[0].shown && layout.events[4].empty());
    EXPECT_EQ(std::tuple(localOf(at(0, 20)), localOf(at(0, 20, 30)), 50 + 4 * 180),
              std::tuple(layout.view.guideBegin, layout.view.guideEnd, layout.view.contentWidth));
    const std::vector<MenuItem>& columns = layout.menus.columns;
    ASSERT_EQ(5u, columns.size());
    EXPECT_EQ(std::tuple(kColumnCommandBase + 4, false, true, 4u),
              std::tuple(columns[0].command, columns[0].checked, columns[1].checked, layout.menus.channels.size()));
}

TEST_F(GuideLayoutTest, ChannelNamesNumbersAndKeys) {
    for (auto [id, network] : {std::pair<uint16_t, int>{1024, 0x7FE0}, {1025, 0x7FE0}, {101, 4}, {300, 7}})
        putSchedule(store.get(), id, network, 0, {{at(0, 20), 1800, "a"}});
    ServiceRecord &first = *store->services[0], &second = *store->services[1];
    // The same TS name: the second, whose id follows the first's, is named by its service name.
    for (ServiceRecord* r : {&first, &second}) setName(r->tsName, r->tsNameLength, "ＮＨＫ総合");
    setName(first.serviceName, first.serviceNameLength, "ＮＨＫ総合１");
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
    EXPECT_EQ(std::tuple("教育", 1, 9, 300),
              std::tuple(info[1].stationName, info[0].remoteNumber, info[2].remoteNumber, info[3].remoteNumber));
    EXPECT_EQ(std::tuple(std::string("27"), std::to_string((11728L << 16) | 0x4010), "300:7"),
              std::tuple(info[0].vurdaChNo, info[2].vurdaChNo, channelKey(*store->services[3])));

    // Names longer than a column label are cut to 49 bytes, never inside a character.
    setName(first.tsName, first.tsNameLength, "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめも");
    EXPECT_EQ(48u, columnNameOf(*store, 0).size());
}

TEST_F(GuideLayoutTest, ServicesTheNameRuleGivesOneNameAreShownApart) {
    // BS services of one transport stream carry its name; 102 and 103 also share their service name, 104 has none.
    for (uint16_t id : {101, 102, 103, 104, 200}) putSchedule(store.get(), id, 4, 0, {{at(0, 20), 1800, "a"}});
    const char* const serviceNames[] = {"ＢＳ朝日１", "ＢＳ朝日", "ＢＳ朝日", nullptr, "ＢＳ－ＴＢＳ"};
    for (int i = 0; i < 5; ++i) {
        ServiceRecord& r = *store->services[i];
        setName(r.tsName, r.tsNameLength, i < 4 ? "ＢＳ朝日" : "ＢＳ－ＴＢＳ");
        if (serviceNames[i]) setName(r.serviceName, r.serviceNameLength, serviceNames[i]);
    }
    settings.writeString("iEPGStationName", "101:4", "");
    layout.buildListLayout(store.get());
    std::vector<std::string> shown, menu;
    for (int i = 0; i < 5; ++i) shown.push_back(layout.channels[i].columnName);
    for (const MenuItem& item : layout.menus.columns) menu.push_back(item.text);
    EXPECT_EQ((std::vector<std::string>{"ＢＳ朝日１", "ＢＳ朝日", "ＢＳ朝日", "BS104", "ＢＳ－ＴＢＳ"}), shown);
    EXPECT_EQ(shown, menu);
    // What is handed to the recording applications keeps the rule's name.
    EXPECT_EQ(std::pair(std::string("ＢＳ朝日"), std::string("ＢＳ朝日")),
              std::pair(layout.channels[0].stationName, layout.channels[0].ruleName));
}

TEST_F(GuideLayoutTest, GeometryOfProgrammesAndWhatAClickHits) {
    putSchedule(store.get(), 1, 0x7FE0, 0,
                {{at(0, 4), 3600, "早朝"}, {at(0, 6, 30), 1800, "朝"}, {at(0, 20), 1800, "夜"}, {at(0, 20, 30), 59, "短い"}});
    layout.buildListLayout(store.get());
    const std::vector<GuideEvent>& list = layout.events[0];
    ASSERT_EQ(4u, list.size());
    EXPECT_EQ(localOf(at(0, 4)), layout.view.guideBegin);
    EXPECT_EQ(320, layout.contentY(list[1].start, layout.view.guideBegin));
    EXPECT_EQ(std::pair(60, 0), std::pair(layout.eventHeight(list[2]), layout.eventHeight(list[3])));  // 30 min, 59 s

    // Nothing is hit before a paint has measured the title blocks.
    layout.view.scrollY = 300;
    EXPECT_EQ(Selection{}, layout.hitTest(60, 20));
    // Painted with scrollY 300, 06:30 is drawn at 20 in the column at x 50;
    // its title block is one line of text and 4 pixels. Clicks on the title
    // block hit, clicks below it do not.
    RecordingPaintSurface surface;
    paintOn(surface);
    const int block = layout.events[0][1].titleHeight;
    ASSERT_EQ(RecordingPaintSurface::kLineHeight[0] + 4, block);
    EXPECT_EQ(std::pair(50, 0), std::pair(layout.columnOrder[0].x, layout.events[0][0].titleHeight));  // 04:00 was not drawn
    // Misses: below the title block, right of the column, the time column, the header.
    for (auto [x, y, hit] : {std::tuple{60, 20, true}, {229, 19 + block, true}, {60, 20 + block, false},
                             {230, 20, false}, {49, 20, false}, {60, 19, false}})
        EXPECT_EQ((hit ? Selection{0, 1} : Selection{}), layout.hitTest(x, y)) << x << ", " << y;
}

TEST_F(GuideLayoutTest, ChannelViewUsesBroadcastDays) {
    putSchedule(store.get(), 1, 0x7FE0, 0,
                {{at(0, 5), 3600, "月曜の朝"}, {at(0, 23), 16200, "深夜まで"}, {at(1, 3, 30), 1800, "深夜"},
                 {at(1, 4, 0), 3600, "火曜の朝"}, {at(2, 4, 0), 3600, "水曜の朝"}});
    layout.buildListLayout(store.get());
    layout.view.viewService = 0;
    ASSERT_EQ(0, layout.buildChannelLayout(store.get()));
    ASSERT_EQ(3u, layout.dayColumns.size());
    EXPECT_EQ(std::pair(localOf(at(0, 4)), localOf(at(1, 4))), std::pair(layout.view.guideBegin, layout.view.guideEnd));
    // 03:30 on Tuesday belongs to Monday's broadcast day, 23.5 hours down;
    // each day also takes the programme on either side of it.
    EXPECT_EQ(std::pair(0, 3), std::pair(layout.dayColumns[0].firstEvent, layout.dayColumns[0].lastEvent));
    EXPECT_EQ(20 + 23 * 60 * 2 + 60, layout.contentY(layout.events[0][2].start, layout.originOf(layout.dayColumns[0])));
    EXPECT_EQ(std::tuple(kSecondsPerDay, 2, 4),
              std::tuple(layout.dayColumns[1].offset, layout.dayColumns[1].firstEvent, layout.dayColumns[2].lastEvent));
    EXPECT_EQ(1440 * 2 + 20, layout.view.contentHeight);
}

TEST_F(GuideLayoutTest, DateMenuAndDateCommands) {
    // Eight days a service at most: two services spanning twelve days.
    for (int d = 0; d < 8; ++d) putSchedule(store.get(), 1, 0x7FE0, d * 64, {{at(d, 6), 3600 * 12, "毎日"}});
    for (int d = 4; d < 12; ++d) putSchedule(store.get(), 2, 0x7FE0, (d - 4) * 64, {{at(d, 6), 3600 * 12, "毎日"}});
    host.clock = localOf(at(4, 7));  // a schedule that starts later would be read for one day only
    layout.buildListLayout(store.get());
    ASSERT_EQ(12u, layout.menus.dates.size());
    EXPECT_EQ(std::pair(std::string("12/07(月)"), kDateCommandBase + 11),
              std::pair(layout.menus.dates[0].text, layout.menus.dates[11].command));

    host.height = 400;
    layout.dateCommand(2);  // midnight of the third day, 60 pixels below the header
    EXPECT_EQ(static_cast<int>((localOf(at(2, 0)) - layout.view.guideBegin) / 60) * 2 - 60, layout.view.scrollY);
    const int scrolled = layout.view.scrollY;
    for (int day : {10, 11}) layout.dateCommand(day);
    EXPECT_EQ(scrolled, layout.view.scrollY);
}

TEST_F(GuideLayoutTest, AProgrammeOfAListWindowIsBroughtIntoView) {
    // Six services; the fourth column is hidden.
    for (uint16_t id = 1; id <= 6; ++id)
        putSchedule(store.get(), id, 0x7FE0, 0, {{at(0, 5), 3600 * 20, "一"}, {at(1, 4), 7200, "二"}, {at(2, 4), 3600, "三"}});
    settings.writeString("ColumnDisp", "4", "0");
    layout.buildListLayout(store.get());
    host.width = 50 + 3 * 180;
    host.height = 400;
    const auto scroll = [&] { return std::pair(layout.view.scrollX, layout.view.scrollY); };
    // The sixth column lies at 4 x 180 among the drawn ones: as far as the content allows.
    EXPECT_EQ(-1, layout.showProgramme(5, localOf(at(1, 4)), localOf(at(1, 6))));
    EXPECT_EQ(std::pair(50 + 5 * 180 - host.width, 23 * 60 * 2 - 60), scroll());
    layout.showProgramme(2, localOf(at(1, 4)), localOf(at(1, 6)));  // wholly in view: stays
    layout.showProgramme(3, localOf(at(5, 0)), localOf(at(5, 1)));  // hidden, outside the guide
    EXPECT_EQ(std::pair(360, 23 * 60 * 2 - 60), scroll());
    layout.showProgramme(0, localOf(at(0, 4)), localOf(at(0, 6)));  // only its end lies in the guide
    EXPECT_EQ(std::pair(0, 60 * 2 - 60), scroll());

    // The list window that asked covers the grid's right part: the programme goes left of it, and
    // below a window over the grid's top; a window that leaves no room changes nothing.
    const Rect right{50 + 180, 0, 2000, 2000}, top{0, 0, 2000, 300}, everything{0, 0, 2000, 2000};
    layout.showProgramme(1, localOf(at(1, 4)), localOf(at(1, 6)), &right);
    EXPECT_EQ(std::pair(180, 23 * 60 * 2 - 60), scroll());
    layout.showProgramme(1, localOf(at(2, 4)), localOf(at(2, 5)), &top);
    EXPECT_EQ(std::pair(180, (24 + 23) * 60 * 2 + 20 - 300 - 25), scroll());
    layout.showProgramme(0, localOf(at(0, 5)), localOf(at(0, 6)), &everything);
    EXPECT_EQ(std::pair(0, 0), scroll());
}

TEST(WindowPlacementTest, AFirstStartFitsTheWorkAreaAndCascadesTheListWindows) {
    const WorkArea area{0, 0, 1920, 1040};
    const WindowRect main = firstMainWindowRect(area);
    EXPECT_EQ((WindowRect{192, 104, 1536, 832}), main);
    EXPECT_EQ((WindowRect{240, 152, 600, 400}), cascadedListWindowRect(area, main, 0, 600, 400));
    EXPECT_EQ((WindowRect{304, 216, 600, 400}), cascadedListWindowRect(area, main, 2, 600, 400));
    // Held inside a small work area, and never larger than it.
    EXPECT_EQ((WindowRect{1320, 640, 600, 400}), cascadedListWindowRect(area, WindowRect{1800, 1000, 100, 40}, 1, 600, 400));
    EXPECT_EQ((WindowRect{0, 0, 800, 600}), cascadedListWindowRect(WorkArea{0, 0, 800, 600}, main, 0, 1000, 700));
}

TEST_F(GuideLayoutTest, ScrollingClampsJumpsToNowAndAnchorsToTheData) {
    for (uint16_t id : {1, 2}) putSchedule(store.get(), id, 0x7FE0, 0, {{at(0, 6), 3600 * 10, "番組"}});
    layout.buildListLayout(store.get());
    // A page down (600 pixels high), another one clamped at the end, a position before the start.
    for (auto [code, position, scrollY] :
         {std::tuple{kScrollPageDown, 0, 600}, {kScrollPageDown, 0, 1220 - 600}, {kScrollTo, -40, 0}}) {
        layout.scrollVertical(code, position);
        EXPECT_EQ(scrollY, layout.view.scrollY);
    }

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

TEST_F(GuideLayoutTest, TheWheelScrollsByScreensHoursOrColumnsByWhereItTurns) {
    for (uint16_t id : {1, 2, 3, 4, 5, 6}) putSchedule(store.get(), id, 0x7FE0, 0, {{at(0, 6), 3600 * 10, "番組"}});
    layout.buildListLayout(store.get());
    host.width = 500, host.height = 300;
    // Over the time column, at the client's right edge and beyond it a
    // screen; over the grid an hour; over a header a column.
    for (auto [x, y, up, scrollX, scrollY] :
         {std::tuple{10, 100, false, 0, 300}, {500, 100, false, 0, 600}, {640, 100, true, 0, 300},
          {499, 100, false, 0, 420}, {200, 300, true, 0, 300}, {200, 10, false, 180, 300}, {200, 301, false, 360, 300}}) {
        layout.scrollByWheel(x, y, up);
        EXPECT_EQ(std::pair(scrollX, scrollY), std::pair(layout.view.scrollX, layout.view.scrollY)) << x << ", " << y;
    }
}

TEST_F(GuideLayoutTest, HidingTheLastColumnKeepsTheViewAtAnyHourHeight) {
    // 200 pixels a minute: the old time origin in pixels is far beyond an int.
    view.hourHight = 200;
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 6), 3600 * 10, "番組"}});
    layout.buildListLayout(store.get());
    layout.scrollVertical(kScrollTo, 50000);
    const ServiceRecord& only = *store->services[0];
    preferences.setColumnShown(only, 0);
    layout.buildListLayout(store.get());
    EXPECT_EQ(std::tuple(int64_t{0}, 50000, 50), std::tuple(layout.view.guideBegin, layout.view.scrollY, layout.view.contentWidth));
    // Shown again: there was no data to keep in view.
    preferences.setColumnShown(only, 1);
    layout.buildListLayout(store.get());
    EXPECT_EQ(std::pair(localOf(at(0, 6)), 50000), std::pair(layout.view.guideBegin, layout.view.scrollY));
}

}  // namespace
}  // namespace corvane
