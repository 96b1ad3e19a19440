// The view setup and channel order dialogs without their windows: typed
// numbers, the texts "OK" writes, the fonts handed to the platform, row
// moves, the channel order the rows and the layout take, and the guide at the
// largest geometry.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "dialogs/number_field.h"
#include "guide/channel_order_services.h"
#include "guide/guide_geometry.h"
#include "guide/view_settings.h"
#include "support/fake_guide_host.h"
#include "support/guide_fixture.h"
#include "support/store_sections.h"

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

}  // namespace
}  // namespace corvane
