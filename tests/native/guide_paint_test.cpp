// What the guide decides to draw, recorded without a window. Colours, pens
// and tooltip controls as they reach the screen are checked in the Win32 tests,
// as is the popup's time line with its picture labels; its other texts are here.
#include <gtest/gtest.h>

#include <tuple>

#include "store/ini_settings.h"
#include "guide/guide_paint.h"
#include "guide/popup_text.h"
#include "support/fake_guide_host.h"
#include "support/guide_fixture.h"
#include "support/recording_paint_surface.h"
#include "support/store_sections.h"
#include "support/temp_ini.h"

using namespace corvane;
namespace bc = corvane::broadcast;

namespace {

int64_t local(int day, int hour, int minute = 0) { return localOf(at(day, hour, minute)); }

// Of service 1; network class 0 is terrestrial.
ReservationFrame reservationOf(int64_t start, int64_t end, int networkClass = 0) {
    return {.serviceId = 1, .networkClass = networkClass, .start = start, .end = end};
}

// One extended-schedule section of service 1024 with one event at 20:00 on Monday.
void putExtended(EpgStore* store, const bc::Bytes& descriptors) {
    put(store, eit(0x58, 1024, 0, 1, {event(1, at(0, 20), 30, descriptors)}));
}

// Without a detail; the end plays no part in the texts.
GuideEvent eventAt(int64_t broadcastStart, const std::string& title) {
    return {.start = localOf(broadcastStart), .eventId = 4660, .title = title};
}

class GuidePaintTest : public testing::Test, protected LayoutRig {
protected:
    GuidePaintTest() : LayoutRig("paint") {}
    // Lays out the list view, then the channel view of `service` unless it is -1, and paints it.
    PaintResult show(int service = -1) {
        layout.view.viewService = -1;
        layout.buildListLayout(store.get());
        if ((layout.view.viewService = service) >= 0) layout.buildChannelLayout(store.get());
        return paint();
    }
    PaintResult paint() {  // on a fresh surface
        return paintOn(surface = RecordingPaintSurface{}, PaintInputs{&genres, &switches, &reservations});
    }
    std::vector<Rect> rectsOf(const std::vector<PaintCall>& calls) const {
        std::vector<Rect> rects;
        for (const PaintCall& c : calls) rects.push_back(c.rect);
        return rects;
    }
    // Client top of a time in a list-view column with scrollY 0.
    int topOf(int64_t t) const { return 20 + static_cast<int>((t - layout.view.guideBegin) / 60) * 2; }
    const PaintCall* fillAt(int left, int top) const { return surface.at(PaintCall::fillCall, left, top); }
    const PaintCall* tooltipAt(int left, int top) const { return surface.at(PaintCall::tooltipCall, left, top); }
    PaintCall tipAt(int left, int top) const { return tooltipAt(left, top) ? *tooltipAt(left, top) : PaintCall{}; }

    GenreSettings genres;
    ViewSwitches switches;
    ReservationFrames reservations;
    RecordingPaintSurface surface;
};

}  // namespace

TEST_F(GuidePaintTest, GenreNoDispEmptiesOtherGenresAndNeverShowsThemOnAir) {
    host.clock = local(0, 20, 10);
    genres.genreCheck[3] = genres.genreNoDisp = 1;
    const std::string longTitle = repeat("あ", 60);
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 20), 1200, longTitle, "詳細", 5, 0, 0x01}, {at(0, 20, 20), 1200, "無分類"}});
    putSchedule(store.get(), 2, 0x7FE0, 0, {{at(0, 20), 1200, longTitle, "詳細", 3, 0, 0x01}});
    EXPECT_EQ(0, show().earliestOnAirEnd);

    const int top = topOf(local(0, 20));
    EXPECT_EQ(std::pair(PaintBrush::cellEven, genreBrush(3)), std::pair(fillAt(50, top)->brush, fillAt(230, top)->brush));
    // Only the highlighted drama has a minute, a title, a tooltip and the SD mark.
    EXPECT_EQ(std::pair(size_t{1}, size_t{0}), std::pair(surface.texts(longTitle).size(), surface.texts("無分類").size()));
    ASSERT_EQ(1u, surface.texts("00").size());
    EXPECT_EQ(230, surface.texts("00")[0].rect.left);
    EXPECT_EQ(std::vector<Rect>{(Rect{234, top + 14, 247, top + 27})}, rectsOf(surface.of(PaintCall::sdMarkCall)));
    EXPECT_TRUE(!tooltipAt(72, top) && tooltipAt(252, top));
    EXPECT_EQ(16, layout.events[0][0].titleHeight);  // the empty cells keep a title block for clicks
}

TEST_F(GuidePaintTest, CutTextsGetATooltipWithTimeTitleAndDetail) {
    putSchedule(store.get(), 1, 0x7FE0, 0,
                {{at(0, 20), 600, "短い"}, {at(0, 20, 10), 600, "十分", "説明文"}, {at(0, 20, 20), 3600, "長い番組", "説明"}});
    show();
    const int top = topOf(local(0, 20));
    EXPECT_EQ("20:00 【短い】", tipAt(72, top).text);
    EXPECT_EQ((Rect{72, top, 229, top + 20}), tipAt(72, top).rect);
    EXPECT_EQ("20:10 【十分】\n\n説明文", tipAt(72, top + 20).text);
    EXPECT_TRUE(!tooltipAt(72, top + 40) && surface.texts("説明").size() == 1);  // 120 px: everything fits
}

TEST_F(GuidePaintTest, ChannelViewHeadersTimeColumnAndNowLine) {
    // Friday to Sunday, 12th and 13th are Saturday and Sunday.
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(4, 12), 3600, "金"}, {at(5, 12), 3600, "土"}, {at(6, 12), 3600, "日"}});
    show(0);
    host.clock = local(6, 12, 30);
    layout.view.scrollY = 900;
    paint();
    for (auto [date, color] : {std::pair{"12/11(金)", kTextBlack}, {"12/12(土)", kSaturdayColor}, {"12/13(日)", kSundayColor}})
        EXPECT_EQ(std::pair(size_t{1}, color), std::pair(surface.texts(date).size(), surface.texts(date).at(0).color));
    EXPECT_EQ(nullptr, tooltipAt(50, 0));  // no header tips in this view
    // The line of the current time, moved back to the view's day (12:30).
    const int y = 20 + (8 * 60 + 30) * 2 - 900;
    EXPECT_EQ((std::vector<Rect>{{53, y, 50 + 3 * 180 - 3, y}, {53, y + 1, 50 + 3 * 180 - 3, y + 1}}),
              surface.linesWith(PaintPen::now));
    ASSERT_EQ(std::vector<Rect>{(Rect{2, y, 46, y + 15})}, rectsOf(surface.texts("12:30")));
    EXPECT_EQ(kNowColor, surface.texts("12:30")[0].color);
    host.clock = 0;  // far from the guide: no line
    paint();
    EXPECT_TRUE(surface.linesWith(PaintPen::now).empty());
}

TEST_F(GuidePaintTest, ReservationFramesOfTheirDayAndNearTheClientArea) {
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 12), 3600, "月"}, {at(1, 12), 3600, "火"}});
    // 03:30-04:30 belongs to Monday's broadcast day and runs into Tuesday's;
    // 05:00-06:00 is Tuesday's only.
    reservations = {reservationOf(local(1, 3, 30), local(1, 4, 30)), reservationOf(local(1, 5), local(1, 6))};
    show(0);
    ASSERT_EQ(2u, surface.of(PaintCall::frameCall).size());
    EXPECT_EQ((Rect{232, -8 + 2, 409, 20 + 30 * 2 - 1}), surface.of(PaintCall::frameCall)[0].rect);
    layout.view.scrollY = 2500;  // Monday's column: 23.5 hours below its origin
    paint();
    EXPECT_EQ(std::vector<Rect>{(Rect{52, 20 + 1410 * 2 + 2 - 2500, 229, 20 + 1470 * 2 - 1 - 2500})},
              rectsOf(surface.of(PaintCall::frameCall)));

    // Times far outside the guide are cut to just outside the client area.
    // The first is of another network: no frame.
    reservations = {reservationOf(0, int64_t{1} << 40, 4), reservationOf(0, int64_t{1} << 40)};
    show();
    EXPECT_EQ(std::vector<Rect>{(Rect{52, -8 + 2, 229, host.height + 8 - 1})}, rectsOf(surface.of(PaintCall::frameCall)));
}

TEST_F(GuidePaintTest, FramesComeBeforeTheNoDataAfterTheLastProgramme) {
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 20), 3600, "一時間"}});
    putSchedule(store.get(), 2, 0x7FE0, 0, {{at(0, 20), 7200, "二時間"}});
    reservations = {reservationOf(local(0, 20, 30), local(0, 21, 30))};
    show();
    // Column 1 ends at 21:00 (y 140), the guide at 22:00 (y 260): its frame,
    // running past the programme, is drawn first and the dark area after
    // the programme over it.
    const auto position = [&](PaintCall::Kind kind, const Rect& rect) {
        const auto at = std::find_if(surface.calls.begin(), surface.calls.end(),
                                     [&](const PaintCall& c) { return c.kind == kind && c.rect == rect; });
        return at == surface.calls.end() ? -1 : static_cast<int>(at - surface.calls.begin());
    };
    const int frame = position(PaintCall::frameCall, Rect{52, 82, 229, 199});
    const int trailing = position(PaintCall::fillCall, Rect{50, 140, 230, 260});
    ASSERT_TRUE(frame >= 0 && trailing >= 0);
    EXPECT_LT(frame, trailing);
}

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

TEST(PopupText, DescriptionJoinsTitleDetailExtendedItemsAndEventIdWhateverTheirSize) {
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

    // The largest item text an event can carry: about 3,600 raw bytes over fifteen descriptors, nearly a full section:
    // all of it is joined and decoded once, nothing is cut or split.
    const std::string text = repeat("番組", 890);
    const bc::Bytes descriptors = bc::extendedEventDescriptors({{"番組内容", text}});
    ASSERT_GT(descriptors.size(), 3500u);
    putExtended(store.get(), descriptors);
    EXPECT_EQ("【長編】\r\n\r\n\r\n\r\n番組内容\r\n" + text + "\r\n\r\nEventID = 4660\r\n",
              programmeDescription(store.get(), 0, eventAt(at(0, 20), "長編")));
}

TEST_F(GuidePaintTest, AProgrammeBegunAboveTheViewWritesItsTitleAtTheTopOfWhatIsVisible) {
    putSchedule(store.get(), 1, 0x7FE0, 0, {{at(0, 20), 3600, "長い番組", "説明"}, {at(0, 21), 600, "次"}});
    host.height = 100;
    show();
    layout.scrollVertical(kScrollTo, 30 * 2);  // 20:30 at the top of the grid
    paint();
    // The minute and the title stand right below the header, clipped to the cell; the next programme is as ever.
    ASSERT_EQ(1u, surface.texts("長い番組").size());
    EXPECT_EQ(std::tuple(20 + 2, 20 + 2, topOf(local(0, 21)) - 60 - 1),
              std::tuple(surface.texts("00")[0].rect.top, surface.texts("長い番組")[0].rect.top,
                         surface.texts("長い番組")[0].rect.bottom));
    EXPECT_EQ(topOf(local(0, 21)) - 60 + 2, surface.texts("次")[0].rect.top);
    // A click hits the title block where it was drawn, not the edge above the view.
    EXPECT_EQ((Selection{0, 0}), layout.hitTest(100, 20 + 5));
    EXPECT_EQ(Selection{}, layout.hitTest(100, 20 + layout.events[0][0].titleHeight + 2));
}
