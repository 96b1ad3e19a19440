// The view setup and channel order dialogs without their windows: the texts
// "OK" writes, the fonts handed to the platform, the channel order stored
// and read back by the layout, and the guide at the largest geometry.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "guide/channel_order_services.h"
#include "guide/guide_geometry.h"
#include "guide/view_settings.h"
#include "support/fake_guide_host.h"
#include "support/guide_fixture.h"
#include "support/store_sections.h"

namespace corvane {
namespace {

TEST(ViewSetup, WritesEveryKeyByteForByteAndReadsItBack) {
    ViewSettings view;
    view.hourHight = 3;
    view.contDisp = 0;
    view.tvRockDisp = 1;
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
    EXPECT_EQ(std::tuple(1, -14, 14), std::tuple(back.tvRockDisp, back.nameFont.creationHeight(), back.nameFont.size));
}

TEST(ViewSetup, StoredGeometryOutsideTheGuidesBoundsIsHeldToThem) {
    TempIniFile file("view_bounds");
    IniFileSettings settings(file.path());
    for (auto [hour, width, expected] : {std::tuple{"-3", "-2147483648", std::pair{3, kHighestColumnWidth}},
                                         {"99999999", "0", std::pair{kHighestMinuteHeight, kLowestColumnWidth}},
                                         {"abc", "1000", std::pair{kLowestMinuteHeight, 1000}}}) {
        file.write(std::string("[ViewSetup]\r\nHourHight=") + hour + "\r\nChannelWidth=" + width + "\r\n");
        const ViewSettings view = readViewSettings(settings);
        EXPECT_EQ(expected, std::pair(view.hourHight, view.channelWidth)) << hour << " " << width;
    }
}

TEST(ViewSetup, FontsReachThePlatformRecordAndComeBackFromIt) {
    // 16 double-byte characters: the face field holds 31 bytes, so 15 of them.
    FontSetting setting{std::string(16 * 2, '\0'), 12, 400, 5, 0, 0, 0x123456};
    for (int i = 0; i < 16; ++i) setting.faceName.replace(i * 2, 2, "字");
    const FontRecord record = fontRecordOf(setting);
    EXPECT_EQ(std::tuple(-12, 400, 1, 0, 128, 30u),
              std::tuple(record.height, record.weight, int{record.italic}, int{record.underline}, int{record.charSet},
                         static_cast<unsigned>(std::strlen(record.faceName))));
    // What a chooser hands back: italic as 255, a face without room for its end.
    FontRecord chosen = record;
    chosen.italic = 255;
    chosen.height = -20;
    std::memset(chosen.faceName, 'A', sizeof chosen.faceName);
    const FontSetting back = fontSettingOf(chosen, 0xff00ff);
    EXPECT_EQ(std::tuple(std::string(31, 'A'), -20, 1, 0xff00ffu),
              std::tuple(back.faceName, back.size, back.italic, back.color));
}

class ChannelOrderLayoutTest : public testing::Test, protected LayoutRig {
protected:
    ChannelOrderLayoutTest() : LayoutRig("channel_order") { host.clock = localOf(at(0, 12)); }

    std::vector<int> columnServices() const {
        std::vector<int> services;
        for (const GuideColumn& column : layout.columnOrder) services.push_back(column.service * (column.shown == 1 ? 1 : -1));
        return services;
    }
};

TEST_F(ChannelOrderLayoutTest, OkStoresTheRowsAndTheNextLayoutShowsThem) {
    // Services 1, 2, 3 and the BS service 5 have programmes; 4 has none.
    for (uint16_t id : {1, 2, 3}) putSchedule(store.get(), id, 0x7FE0, 0, {{at(0, 20), 1800, "番組"}});
    putSchedule(store.get(), 4, 0x7FE0, 0, {{at(0, 20), 1800, ""}});
    putSchedule(store.get(), 5, 4, 0, {{at(0, 20), 1800, "BS"}});
    settings.writeString("ColumnDisp", "3", "2");  // hand-edited: hidden, so not ticked
    layout.buildListLayout(store.get());

    // No sort keys: store order, the untitled service absent.
    std::vector<ChannelOrderRow> rows = channelOrderRows(channelOrderServices(*store, layout.channels, preferences));
    std::vector<std::pair<int32_t, bool>> shown;
    for (const ChannelOrderRow& row : rows) shown.emplace_back(row.item, row.ticked);
    EXPECT_EQ((std::vector<std::pair<int32_t, bool>>{{1, true}, {2, true}, {3, false}, {4 * 65536 + 5, true}}), shown);

    // The BS service moved to the top, service 2 unticked.
    rows[3].selected = true;
    for (int i = 0; i < 3; ++i) moveSelectedRows(rows, RowMove::up);
    rows[2].ticked = false;
    storeChannelOrder(*store, channelOrderChoices(rows), preferences);
    const std::string file = ini.read();
    for (const char* line : {"Sort5:4=0", "Sort1=1", "Sort2=2", "Sort3=3", "5:4=1", "1=1", "2=0", "3=0"})
        EXPECT_NE(std::string::npos, file.find(line)) << line;
    EXPECT_EQ(std::string::npos, file.find("Sort4"));  // without programmes, left untouched

    layout.buildListLayout(store.get());
    EXPECT_EQ((std::vector<int>{4, 0, -1, -2}), columnServices());
    EXPECT_EQ(50 + 2 * 180, layout.view.contentWidth);
}

TEST_F(ChannelOrderLayoutTest, ANewGeometryKeepsTheTimeAtTheTopAndTheFirstColumn) {
    for (uint16_t id : {1, 2, 3, 4, 5, 6, 7, 8})
        putSchedule(store.get(), id, 0x7FE0, 0, {{at(0, 4), 3600 * 20, "番組"}});
    host.width = 300;
    layout.buildListLayout(store.get());
    layout.scrollVertical(kScrollTo, 2 * 600 + 1);   // 10:00 and a pixel
    layout.scrollHorizontal(kScrollTo, 3 * 180 + 90);  // half of the fourth column past
    const GuideGeometry before = layout.geometry();
    view.hourHight = 5;
    view.channelWidth = 100;
    layout.buildListLayout(store.get());
    layout.keepPlaceAcross(before);
    layout.updateScrollBars();
    EXPECT_EQ(std::pair(5 * 600 + 2, 3 * 100 + 50), std::pair(layout.view.scrollY, layout.view.scrollX));
}

// Two programmes a hundred years apart, and the whole range of broadcast
// dates, laid out and painted at the largest minute height and column width
// in both views: every pixel stays within 32 bits.
TEST_F(ChannelOrderLayoutTest, ProgrammesDecadesApartFitTheLargestGeometry) {
    view.hourHight = kHighestMinuteHeight;
    view.channelWidth = kHighestColumnWidth;
    const int64_t early = broadcast::broadcastTime(1930, 1, 1, 0, 0), late = broadcast::broadcastTime(2030, 1, 1, 0, 0);
    putSchedule(store.get(), 1, 0x7FE0, 0, {{early, 3600, "昔"}, {late, 3600, "未来"}});
    // MJD 0 (1858-11-17) and 65535 (2038-04-22), 99 hours long: the widest span broadcasts can give.
    putSchedule(store.get(), 2, 0x7FE0, 0,
                {{broadcast::broadcastTime(1858, 11, 17, 0, 0), 99 * 3600, "最初"},
                 {broadcast::broadcastTime(2038, 4, 22, 23, 0), 99 * 3600, "最後"}});
    const int64_t first = localOf(broadcast::broadcastTime(1858, 11, 17, 0, 0));
    const int64_t last = localOf(broadcast::broadcastTime(2038, 4, 22, 23, 0)) + 99 * 3600;
    for (int service : {-1, 0, 1}) {
        layout.view.viewService = -1;
        layout.buildListLayout(store.get());
        if (service < 0) {
            EXPECT_EQ(20 + (last - first) / 60 * kHighestMinuteHeight, layout.view.contentHeight);
        }
        if ((layout.view.viewService = service) >= 0) layout.buildChannelLayout(store.get());
        for (int scroll : {0, 1 << 30, INT32_MAX}) {
            layout.scrollVertical(kScrollTo, scroll);
            layout.scrollHorizontal(kScrollTo, scroll);
            RecordingPaintSurface surface;
            ASSERT_TRUE(paintOn(surface).painted);
            // Shapes reach the platform in screen-sized pieces.
            for (const PaintCall& call : surface.calls)
                EXPECT_TRUE(call.rect.top > -300000 && call.rect.bottom < 300000) << call.kind << " " << call.rect.top;
        }
    }
}

}  // namespace
}  // namespace corvane
