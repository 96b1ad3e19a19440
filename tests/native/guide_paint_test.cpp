#include <gtest/gtest.h>

#include <cstring>

#include "app/ini_settings.h"
#include "guide/guide_paint.h"
#include "support/fake_guide_host.h"
#include "support/guide_fixture.h"
#include "support/recording_paint_surface.h"
#include "support/temp_ini.h"

using namespace corvane;
namespace bc = corvane::broadcast;

namespace {

// Monday 2026-12-07, wall-clock times of the broadcast.
int64_t at(int day, int hour, int minute = 0) { return bc::broadcastTime(2026, 12, 7 + day, hour, minute); }
int64_t local(int day, int hour, int minute = 0) { return localOf(at(day, hour, minute)); }

std::string fiftyCharacters() {
    std::string text;
    for (int i = 0; i < 50; ++i) text += "番";
    return text;
}

class GuidePaintTest : public testing::Test {
protected:
    GuidePaintTest() : ini("paint"), settings(ini.path()), store(createStore()) {
        layout = std::make_unique<GuideLayout>(host, settings, view);
        host.clock = local(0, 12);
        host.width = 800;
        host.height = 600;
    }

    void build() {
        layout->view.viewService = -1;
        layout->buildListLayout(store.get());
    }
    void buildChannel(int service) {
        layout->view.viewService = service;
        layout->buildChannelLayout(store.get());
    }

    PaintResult paint() {
        surface = RecordingPaintSurface{};
        PaintInputs in;
        in.store = store.get();
        in.now = host.clock;
        in.clientWidth = host.width;
        in.clientHeight = host.height;
        in.genres = &genres;
        in.switches = switches;
        in.reservations = &reservations;
        in.highlight = &highlight;
        in.highlightOwnerVisible = ownerVisible;
        return paintGuide(*layout, surface, in);
    }

    // Client top of a time in a list-view column with scrollY 0.
    int topOf(int64_t t) const { return 20 + static_cast<int>((t - layout->view.guideBegin) / 60) * view.hourHight; }

    TempIniFile ini;
    IniFileSettings settings;
    ViewSettings view;
    FakeGuideHost host;
    StorePtr store;
    std::unique_ptr<GuideLayout> layout;
    GenreSettings genres;
    ViewSwitches switches;
    ReservationList reservations;
    HighlightedProgramme highlight;
    bool ownerVisible = false;
    RecordingPaintSurface surface;
};

}  // namespace

TEST_F(GuidePaintTest, WithoutDataOrStoreNothingIsDrawn) {
    PaintResult result = paint();
    EXPECT_FALSE(result.painted);
    EXPECT_TRUE(surface.calls.empty());

    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 20), 3600, "番組"}});
    build();
    PaintInputs in;  // no store
    in.clientWidth = 800;
    in.clientHeight = 600;
    EXPECT_FALSE(paintGuide(*layout, surface, in).painted);
    EXPECT_TRUE(surface.calls.empty());
}

TEST_F(GuidePaintTest, CellColourPrecedenceAndTheEarliestOnAirEnd) {
    host.clock = local(0, 20, 20);
    genres.genreCheck[3] = 1;
    // Column 0 (even): a highlighted drama on air, ending first, then a plain programme.
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 20), 1800 * 1, "ドラマ", "", 3}, {at(0, 21), 3600, "次", "", 5}});
    // Column 1 (odd): on air until 21:30.
    putSchedule(store.get(), 2, 0x7FE0, 0, {{at(0, 20), 5400, "ニュース", "", 0}});
    // Column 2 (even): on air until 22:00.
    putSchedule(store.get(), 3, 0x7FE0, 0, {{at(0, 20), 7200, "映画", "", 6}});
    build();
    PaintResult result = paint();
    ASSERT_TRUE(result.painted);

    const int top = topOf(local(0, 20));
    ASSERT_NE(nullptr, surface.fillAt(50, top));
    EXPECT_EQ(genreBrush(3), surface.fillAt(50, top)->brush);
    EXPECT_EQ(PaintBrush::cellEven, surface.fillAt(50, topOf(local(0, 21)))->brush);
    EXPECT_EQ(PaintBrush::onAirOdd, surface.fillAt(230, top)->brush);
    EXPECT_EQ(PaintBrush::onAirEven, surface.fillAt(410, top)->brush);
    // The highlighted drama ends at 20:30 but does not arm the repaint.
    EXPECT_EQ(local(0, 21, 30), result.earliestOnAirEnd);
    EXPECT_EQ((local(0, 21, 30) - local(0, 20, 20)) * 1000 + 100, repaintDelay(result.earliestOnAirEnd, host.clock));
}

TEST_F(GuidePaintTest, GenreNoDispEmptiesOtherGenresAndNeverShowsThemOnAir) {
    host.clock = local(0, 20, 10);
    genres.genreCheck[3] = 1;
    genres.genreNoDisp = 1;
    std::string longTitle;
    for (int i = 0; i < 60; ++i) longTitle += "あ";
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 20), 1200, longTitle, "詳細", 5, 0, 0x01}, {at(0, 20, 20), 1200, "無分類"}});
    putSchedule(store.get(), 2, 0x7FE0, 0, {{at(0, 20), 1200, longTitle, "詳細", 3, 0, 0x01}});
    build();
    PaintResult result = paint();

    const int top = topOf(local(0, 20));
    EXPECT_EQ(PaintBrush::cellEven, surface.fillAt(50, top)->brush);
    EXPECT_EQ(PaintBrush::cellEven, surface.fillAt(50, topOf(local(0, 20, 20)))->brush);
    EXPECT_EQ(genreBrush(3), surface.fillAt(230, top)->brush);
    EXPECT_EQ(0, result.earliestOnAirEnd);

    // Only the highlighted drama has a minute, a title, a tooltip and the SD mark.
    EXPECT_EQ(1u, surface.texts(longTitle).size());
    EXPECT_TRUE(surface.texts("無分類").empty());
    ASSERT_EQ(1u, surface.texts("00").size());
    EXPECT_EQ(230, surface.texts("00")[0].rect.left);
    ASSERT_EQ(1u, surface.of(PaintCall::sdMarkCall).size());
    EXPECT_EQ((Rect{234, top + 14, 247, top + 27}), surface.of(PaintCall::sdMarkCall)[0].rect);
    EXPECT_EQ(nullptr, surface.tooltipAt(72, top));
    EXPECT_NE(nullptr, surface.tooltipAt(252, top));
    // The empty cells keep a title block for clicks.
    EXPECT_EQ(16, layout->events[0][0].titleHeight);
}

TEST_F(GuidePaintTest, FullHoursGetTheHourLine) {
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 20, 59), 60, "前"}, {at(0, 21), 60, "正時"}, {at(0, 21, 1), 3600, "一分"}});
    build();
    paint();
    const std::vector<Rect> hourLines = surface.linesWith(PaintPen::hour);
    ASSERT_EQ(1u, hourLines.size());
    const int top = topOf(local(0, 21));
    EXPECT_EQ((Rect{52, top, 228, top}), hourLines[0]);
    // Edges and inset lines of the 21:01 cell.
    const std::vector<Rect> grid = surface.linesWith(PaintPen::grid);
    const int top1 = topOf(local(0, 21, 1));
    EXPECT_NE(grid.end(), std::find(grid.begin(), grid.end(), Rect{58, top1, 222, top1}));
    EXPECT_NE(grid.end(), std::find(grid.begin(), grid.end(), Rect{50, top1, 50, top1 + 120}));
    EXPECT_NE(grid.end(), std::find(grid.begin(), grid.end(), Rect{230, top1, 230, top1 + 120}));
}

TEST_F(GuidePaintTest, TitlesDetailsAndTooltipsOfCutTexts) {
    putSchedule(store.get(), 1, 0x7FE0, 0,
                {{at(0, 20), 600, "短い"},                       // 20 px: the detail line never fits
                 {at(0, 20, 10), 600, "十分", "説明文"},
                 {at(0, 20, 20), 3600, "長い番組", "説明"},       // 120 px: everything fits
                 {at(0, 21, 20), 1800, fiftyCharacters()}});      // 60 px: a four-line title
    build();
    paint();

    const int top0 = topOf(local(0, 20));
    const PaintCall* tip = surface.tooltipAt(72, top0);
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ("20:00 【短い】", tip->text);
    EXPECT_EQ((Rect{72, top0, 229, top0 + 20}), tip->rect);
    EXPECT_EQ(17, layout->events[0][0].titleHeight);  // one 13 px line + 4

    const PaintCall* tip1 = surface.tooltipAt(72, topOf(local(0, 20, 10)));
    ASSERT_NE(nullptr, tip1);
    EXPECT_EQ("20:10 【十分】\n\n説明文", tip1->text);

    EXPECT_EQ(nullptr, surface.tooltipAt(72, topOf(local(0, 20, 20))));
    const std::vector<PaintCall> detail = surface.texts("説明");
    ASSERT_EQ(1u, detail.size());
    const int top2 = topOf(local(0, 20, 20));
    EXPECT_EQ((Rect{74, top2 + 17 + 3, 228, top2 + 119}), detail[0].rect);
    EXPECT_EQ(PaintFont::detail, detail[0].font);
    EXPECT_EQ(view.contFont.color, detail[0].color);

    // The long title wraps to 4 lines (52 px) and the cell is 60 px: it is
    // not cut, but the detail then starts below the cell.
    EXPECT_EQ(56, layout->events[0][3].titleHeight);
    EXPECT_NE(nullptr, surface.tooltipAt(72, topOf(local(0, 21, 20))));
    std::vector<Rect> minutes;
    for (const PaintCall& c : surface.texts("20"))
        if (c.font == PaintFont::title) minutes.push_back(c.rect);
    const int top3 = topOf(local(0, 21, 20));
    EXPECT_NE(minutes.end(), std::find(minutes.begin(), minutes.end(), Rect{50, top3 + 2, 70, top3 + 59}));

    // Without details only cut titles get a tip.
    view.contDisp = 0;
    paint();
    EXPECT_EQ(nullptr, surface.tooltipAt(72, top0));
    EXPECT_TRUE(surface.texts("説明").empty());
    EXPECT_EQ(nullptr, surface.tooltipAt(72, topOf(local(0, 21, 20))));
}

TEST_F(GuidePaintTest, GapsAndTheEndOfAColumnShowNoData) {
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 20, 30), 1800, "a"}, {at(0, 22), 3600, "b"}});
    putSchedule(store.get(), 2, 0x7FE0, 0, {{at(0, 20), 4 * 3600, "c"}});
    build();
    paint();
    std::vector<Rect> noData;
    for (const PaintCall& c : surface.of(PaintCall::fillCall))
        if (c.brush == PaintBrush::noData) noData.push_back(c.rect);
    EXPECT_EQ((std::vector<Rect>{{50, topOf(local(0, 20)), 230, topOf(local(0, 20, 30))},
                                 {50, topOf(local(0, 21)), 230, topOf(local(0, 22))},
                                 {50, topOf(local(0, 23)), 230, topOf(local(1, 0))}}),
              noData);
}

TEST_F(GuidePaintTest, OnlyColumnsAndCellsInTheClientAreaAreDrawn) {
    host.width = 500;  // room for three columns
    host.height = 150;
    for (uint16_t id = 1; id <= 8; ++id)
        putSchedule(store.get(), id, 0x7FE0, 0, {{at(0, 20), 3600, "一"}, {at(0, 21), 3600, "二"}, {at(0, 22), 3600, "三"}});
    settings.writeString("ColumnDisp", "2", "0");  // hidden: takes no column and no parity
    build();
    layout->view.scrollX = 200;
    layout->view.scrollY = 100;
    paint();

    std::vector<int> filledLefts;
    for (const PaintCall& c : surface.of(PaintCall::fillCall))
        if (std::find(filledLefts.begin(), filledLefts.end(), c.rect.left) == filledLefts.end())
            filledLefts.push_back(c.rect.left);
    // Drawn columns sit at content x 50, 230, 410, ...; with scrollX 200 the
    // first one ends at client x 30 and is not drawn.
    EXPECT_EQ((std::vector<int>{30, 210, 390}), filledLefts);
    // Rows: 20:00 ends at client y 20 + 120 - 100 = 40, 21:00 runs to 160 and
    // 22:00, below the client area, is not drawn.
    EXPECT_EQ(2u * 3u, surface.of(PaintCall::fillCall).size());
    EXPECT_EQ(PaintBrush::cellOdd, surface.fillAt(30, 40)->brush);   // second drawn column (service 3)
    EXPECT_EQ(PaintBrush::cellEven, surface.fillAt(210, 40)->brush);

    EXPECT_EQ(50, layout->columnOrder[0].x);
    EXPECT_EQ(230, layout->columnOrder[2].x);
    EXPECT_EQ(50 + 6 * 180, layout->channels[7].columnX);
    EXPECT_EQ(50 + 7 * 180, layout->view.contentWidth);
    EXPECT_EQ(20 + 180 * 2, layout->view.contentHeight);
    // Published at the end of the paint, clamped to the new content.
    EXPECT_EQ(50 + 7 * 180, host.bars.horizontalMax);
    EXPECT_EQ(100, host.bars.verticalPos);
    EXPECT_EQ(0, layout->events[0][0].titleHeight);  // scrolled away: never painted
}

TEST_F(GuidePaintTest, HeadersOfTheListView) {
    putSchedule(store.get(), 1024, 0x7FE0, 0, {{at(0, 20), 3600, "a"}});
    putSchedule(store.get(), 101, 4, 0, {{at(0, 20), 3600, "b"}});
    ServiceRecord& terrestrial = *store->services[0];
    const bc::Bytes name = bc::AribText("ＮＨＫ総合").bytes;
    std::memcpy(terrestrial.serviceName, name.data(), name.size());
    terrestrial.serviceNameLength = static_cast<uint16_t>(name.size());
    terrestrial.networkWord |= 27;
    terrestrial.remoteKeyId = 1;
    build();
    paint();

    const std::vector<PaintCall> boxes = surface.of(PaintCall::boxCall);
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_EQ((Rect{50, 0, 231, 20}), boxes[0].rect);
    EXPECT_EQ(PaintBrush::headerEven, boxes[0].brush);
    EXPECT_EQ(PaintBrush::headerOdd, boxes[1].brush);
    ASSERT_EQ(1u, surface.texts("ＮＨＫ総合").size());
    EXPECT_EQ(PaintFont::header, surface.texts("ＮＨＫ総合")[0].font);
    EXPECT_EQ((Rect{50, 0, kTimeColumnWidth + 750, 20}), surface.texts("ＮＨＫ総合")[0].clip);

    const PaintCall* tip = surface.tooltipAt(50, 0);
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ("サービス名 ： ＮＨＫ総合\nサービスID ： 1024\nリモコンch ： 1ch\n物理ch ： 27ch\n", tip->text);
    ASSERT_NE(nullptr, surface.tooltipAt(230, 0));
    EXPECT_EQ("サービスID ： BS101\nリモコンch ： 101ch\n", surface.tooltipAt(230, 0)->text);

    switches.viewChNo = 1;
    paint();
    EXPECT_EQ(1u, surface.texts("1ch").size());
    EXPECT_EQ(1u, surface.texts("BS101").size());
    // Tool ids count from 0 in every paint.
    EXPECT_EQ(0, surface.tooltipAt(50, 0)->id);
    EXPECT_EQ(1, surface.tooltipAt(230, 0)->id);
}

TEST_F(GuidePaintTest, HeadersAndTimeColumnOfTheChannelView) {
    // Friday to Sunday, 12th and 13th are Saturday and Sunday.
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(4, 12), 3600, "金"}, {at(5, 12), 3600, "土"}, {at(6, 12), 3600, "日"}});
    build();
    buildChannel(0);
    host.clock = local(6, 12, 30);
    layout->view.scrollY = 900;
    paint();
    ASSERT_EQ(1u, surface.texts("12/11(金)").size());
    EXPECT_EQ(kTextBlack, surface.texts("12/11(金)")[0].color);
    EXPECT_EQ(kSaturdayColor, surface.texts("12/12(土)")[0].color);
    EXPECT_EQ(kSundayColor, surface.texts("12/13(日)")[0].color);
    EXPECT_EQ(nullptr, surface.tooltipAt(50, 0));  // no header tips in this view
    // Hours without day labels.
    EXPECT_EQ(1u, surface.texts("12").size());
    for (const PaintCall& c : surface.of(PaintCall::textCall)) EXPECT_NE(5, c.rect.left) << c.text;
    // The line of the current time, moved back to the view's day (12:30).
    const int y = 20 + (8 * 60 + 30) * 2 - layout->view.scrollY;
    const std::vector<Rect> nowLines = surface.linesWith(PaintPen::now);
    ASSERT_EQ(2u, nowLines.size());
    EXPECT_EQ((Rect{53, y, 50 + 3 * 180 - 3, y}), nowLines[0]);
    EXPECT_EQ((Rect{53, y + 1, 50 + 3 * 180 - 3, y + 1}), nowLines[1]);
    ASSERT_EQ(1u, surface.texts("12:30").size());
    EXPECT_EQ((Rect{2, y, 46, y + 15}), surface.texts("12:30")[0].rect);
    EXPECT_EQ(kNowColor, surface.texts("12:30")[0].color);
    EXPECT_EQ(1440 * 2 + 20, layout->view.contentHeight);
}

TEST_F(GuidePaintTest, TimeColumnCellsAndLabels) {
    // The guide starts at 20:40 on Saturday: a 40 px first hour cell.
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(5, 20, 40), 3600 * 6, "a"}});
    build();
    paint();
    std::vector<PaintCall> hours;
    for (const PaintCall& c : surface.of(PaintCall::boxCall))
        if (c.rect.left == 0 && c.rect.top >= 20) hours.push_back(c);
    ASSERT_GE(hours.size(), 4u);
    EXPECT_EQ((Rect{0, 20, 50, 61}), hours[0].rect);
    EXPECT_EQ(PaintBrush::hourEvening, hours[0].brush);
    EXPECT_EQ((Rect{0, 60, 50, 181}), hours[1].rect);
    EXPECT_EQ(PaintBrush::hourNight, hours[4].brush);  // 00:00 Sunday
    EXPECT_TRUE(surface.texts("20").empty());            // exactly 40 px: no label
    ASSERT_EQ(1u, surface.texts("21").size());
    EXPECT_EQ((Rect{26, 60 + 60 - 6, 1026, 60 + 60 - 6 + 1000}), surface.texts("21")[0].rect);
    EXPECT_EQ(kSaturdayColor, surface.texts("21")[0].color);
    // One day label per day, on the first labelled cell.
    ASSERT_EQ(1u, surface.texts("12(土)").size());
    EXPECT_EQ((Rect{5, 62, 1005, 1062}), surface.texts("12(土)")[0].rect);
    ASSERT_EQ(1u, surface.texts("13(日)").size());
    EXPECT_EQ(kSundayColor, surface.texts("13(日)")[0].color);
    EXPECT_EQ(1u, surface.texts(" 0").size());
    EXPECT_EQ(20 + 360 * 2, layout->view.contentHeight);

    // A day label needs the cell's top more than 12 px below the client top.
    layout->view.scrollY = 49;  // the 21:00 cell starts at client y 11: the label moves down
    paint();
    ASSERT_EQ(1u, surface.texts("12(土)").size());
    EXPECT_EQ(180 - 49 + 2, surface.texts("12(土)")[0].rect.top);
    EXPECT_EQ(1u, surface.texts("13(日)").size());

    // The corner button.
    ASSERT_EQ(1u, surface.texts("現在へ").size());
    EXPECT_EQ(kTextWhite, surface.texts("現在へ")[0].color);
}

TEST_F(GuidePaintTest, ReservationFramesByKindConflictAndValidity) {
    putSchedule(store.get(), 1024, 0x7FE0, 0, {{at(0, 20), 3 * 3600, "a"}});
    putSchedule(store.get(), 101, 4, 0, {{at(0, 20), 3 * 3600, "b"}});
    auto reservation = [](int kind, int hour, int conflict, int valid, int serviceId, int networkKind) {
        ReservationRecord r;
        r.kind = kind;
        r.start = local(0, hour);
        r.end = local(0, hour, 30);
        r.serviceId = serviceId;
        r.conflict = conflict;
        r.valid = valid;
        r.networkKind = static_cast<uint8_t>(networkKind);
        return r;
    };
    reservations = {reservation(0, 20, 0, 1, 1024, 0),    reservation(1, 21, 0, 0, 1024, 0),
                    reservation(1001, 22, 0, 1, 101, 4),  reservation(0, 22, 1, 1, 1024, 0),
                    reservation(1, 20, 0, 1, 101, 0)};  // wrong network: no frame
    build();
    paint();
    const std::vector<PaintCall> frames = surface.of(PaintCall::frameCall);
    ASSERT_EQ(4u, frames.size());
    const int top = topOf(local(0, 20));
    EXPECT_EQ((Rect{52, top + 2, 229, top + 60 - 1}), frames[0].rect);
    EXPECT_EQ(reservationPen(FrameColor::green, true), frames[0].pen);
    EXPECT_EQ(reservationPen(FrameColor::blue, false), frames[1].pen);
    EXPECT_EQ(reservationPen(FrameColor::red, true), frames[2].pen);
    EXPECT_EQ(reservationPen(FrameColor::orange, true), frames[3].pen);
    EXPECT_EQ(232, frames[3].rect.left);
    EXPECT_EQ((PenStyle{rgbColor(255, 153, 0), 2, false}), penStyle(frames[3].pen));
    EXPECT_EQ((PenStyle{rgbColor(0, 0, 255), 1, true}), penStyle(frames[1].pen));

    // Times far outside the guide still give a frame over the whole column.
    ReservationRecord wild = reservation(0, 20, 0, 1, 1024, 0);
    wild.start = 0;
    wild.end = int64_t{1} << 40;
    reservations = {wild};
    paint();
    ASSERT_EQ(1u, surface.of(PaintCall::frameCall).size());
    EXPECT_LT(surface.of(PaintCall::frameCall)[0].rect.top, 20);
    EXPECT_GT(surface.of(PaintCall::frameCall)[0].rect.bottom, host.height);
}

TEST_F(GuidePaintTest, ChannelViewFramesReservationsOfTheirDay) {
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 12), 3600, "月"}, {at(1, 12), 3600, "火"}});
    build();
    buildChannel(0);
    ReservationRecord r;
    r.start = local(1, 3, 30);  // belongs to Monday's broadcast day, ends in Tuesday's
    r.end = local(1, 4, 30);
    r.serviceId = 1;
    ReservationRecord later = r;  // Tuesday's day only
    later.start = local(1, 5);
    later.end = local(1, 6);
    reservations = {r, later};
    // Tuesday's column: half an hour above its 04:00 origin.
    layout->view.scrollY = 0;
    paint();
    std::vector<PaintCall> frames = surface.of(PaintCall::frameCall);
    ASSERT_EQ(2u, frames.size());
    EXPECT_EQ(232, frames[0].rect.left);
    EXPECT_LT(frames[0].rect.top, 20);  // its top edge is hidden by the header
    EXPECT_EQ(20 + 30 * 2 - 1, frames[0].rect.bottom);
    EXPECT_EQ(232, frames[1].rect.left);
    // Monday's column: 23.5 hours below its origin.
    layout->view.scrollY = 2500;
    paint();
    frames = surface.of(PaintCall::frameCall);
    ASSERT_EQ(1u, frames.size());
    EXPECT_EQ((Rect{52, 20 + 1410 * 2 + 2 - 2500, 229, 20 + 1470 * 2 - 1 - 2500}), frames[0].rect);
}

TEST_F(GuidePaintTest, TheHighlightIsFramedWhileItsWindowIsVisible) {
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 20), 3600, "a"}, {at(1, 20), 3600, "b"}});
    putSchedule(store.get(), 2, 0x7FE0, 0, {{at(0, 20), 3600, "c"}});
    build();
    highlight.owner = HighlightOwner::genreList;
    highlight.serviceId = 2;
    highlight.start = local(0, 20);
    highlight.end = local(0, 21);
    ownerVisible = true;
    paint();
    ASSERT_EQ(1u, surface.of(PaintCall::frameCall).size());
    EXPECT_EQ(PaintPen::highlight, surface.of(PaintCall::frameCall)[0].pen);
    EXPECT_EQ(232, surface.of(PaintCall::frameCall)[0].rect.left);

    // Channel view of service 0: the day column decides, for its own service only.
    buildChannel(0);
    paint();
    EXPECT_TRUE(surface.of(PaintCall::frameCall).empty());
    highlight.serviceId = 1;
    highlight.start = local(1, 20);
    highlight.end = local(1, 21);
    highlight.dayColumn = 1;
    layout->view.scrollY = 1700;
    paint();
    ASSERT_EQ(1u, surface.of(PaintCall::frameCall).size());
    EXPECT_EQ(232, surface.of(PaintCall::frameCall)[0].rect.left);

    ownerVisible = false;
    paint();
    EXPECT_TRUE(surface.of(PaintCall::frameCall).empty());
    EXPECT_EQ(0, highlight.start);
    EXPECT_EQ(0, highlight.end);
    EXPECT_EQ(HighlightOwner::genreList, highlight.owner);
}

TEST_F(GuidePaintTest, NowLineFollowsItsSwitchAndTheVisibleRows) {
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 20), 3 * 3600, "a"}});
    build();
    host.clock = local(0, 21, 5);
    paint();
    EXPECT_EQ(2u, surface.linesWith(PaintPen::now).size());
    EXPECT_EQ(1u, surface.texts("21:05").size());
    EXPECT_EQ(PaintFont::title, surface.texts("21:05")[0].font);

    switches.nowTimeLine = 0;
    paint();
    EXPECT_TRUE(surface.linesWith(PaintPen::now).empty());

    switches.nowTimeLine = 1;
    host.clock = local(0, 12);  // above the guide
    paint();
    EXPECT_TRUE(surface.linesWith(PaintPen::now).empty());
    host.clock = 0;             // far away: no overflow into the client area
    paint();
    EXPECT_TRUE(surface.linesWith(PaintPen::now).empty());
}
