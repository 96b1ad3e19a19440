// Narrow literals are Shift_JIS (the build's execution charset).
#include "dialogs/genre_list.h"

#include <gtest/gtest.h>

#include "guide/guide_layout.h"
#include "reserve/reservations.h"
#include "support/guide_fixture.h"
#include "support/store_sections.h"

using namespace corvane;

namespace {

using EventLists = std::vector<GuideEvent>[kMaxServices];

GuideEvent programme(int32_t id, int64_t start, int64_t end, int genre, int sub, const char* title = "番組") {
    return {.start = start, .end = end, .eventId = id, .genre = genre, .subGenre = sub, .title = title};
}

}  // namespace

TEST(GenreList, ARootListsItsMajorGenreAndAChildOnlyItsSubGenre) {
    static EventLists lists;
    // Service 0: a film, an animated film, an anime series, the animated film
    // again (same event id), a programme without content descriptor. Service 1:
    // a shorter film starting with the first, the same animated film at the same time.
    lists[0] = {programme(1, 100, 200, 6, 0), programme(2, 300, 400, 6, 2), programme(3, 300, 400, 7, 2),
                programme(2, 500, 600, 6, 2), programme(4, 700, 800, -1, -1)};
    lists[1] = {programme(8, 100, 150, 6, 1), programme(9, 300, 400, 6, 2)};
    const GenreFilter film = genreFilterOf(6, std::nullopt), animated = genreFilterOf(2, 6);
    // By start, then end; equal ones in the order of the scan.
    EXPECT_EQ((std::vector<int64_t>{1, 0, 1000, 1001}), genreListRows(lists, 2, film));
    EXPECT_EQ((std::vector<int64_t>{1000, 1001}), genreListRows(lists, 2, animated));
    EXPECT_EQ((std::vector<int64_t>{1000}), genreListRows(lists, 1, animated));  // only the store's services
    EXPECT_TRUE(genreListRows(lists, 2, GenreFilter{}).empty());                  // no tree selection
    for (int major = 0; major < 12; ++major) EXPECT_FALSE(genreFilterOf(major, std::nullopt).matches(-1, -1));
    // The search box keeps the rows whose titles hold its words, blind to width and case.
    lists[1][0].title = "ＮＥＷＳ 映画";
    EXPECT_EQ((std::vector<int64_t>{1}), rowsWithTitleWords(lists, genreListRows(lists, 2, film), "映画　news"));
    EXPECT_EQ((std::vector<int64_t>{1, 0, 1000, 1001}), rowsWithTitleWords(lists, genreListRows(lists, 2, film), " "));
}

TEST(GenreList, RowKeysNameOnlyEventsThatExist) {
    static EventLists lists;
    lists[299] = {programme(1, 0, 60, 0, 0)};
    EXPECT_EQ(std::optional(ProgrammeRef{299, 7}), decodeRowKey(genreRowKey(299, 7)));
    EXPECT_NE(nullptr, eventOfRowKey(lists, 299));
    for (int64_t key : {int64_t{-1}, int64_t{1299}, int64_t{300}, int64_t{-1000}, INT64_MAX})
        EXPECT_EQ(nullptr, eventOfRowKey(lists, key)) << key;
}

TEST(GenreList, ColumnClicksSortAscendingThenDescending) {
    StorePtr store(createStore());
    putSchedule(store.get(), 101, 4, 0, {{at(0, 20), 60, "b"}});       // BS: after the terrestrial one
    putSchedule(store.get(), 1024, 0x7FE0, 0, {{at(0, 20), 60, "b"}});  // index 0
    static EventLists lists;
    lists[0] = {programme(1, 100, 200, 0, 0, "\x82\xa0"), programme(2, 100, 300, 0, 0, "b")};
    lists[1] = {programme(3, 50, 400, 0, 0, "a")};
    const std::vector<int64_t> rows = {0, 1000, 1, 7};  // key 7 names no event
    GenreListSort sort;
    const auto sorted = [&](int column) {
        std::vector<int64_t> keys = rows;
        const int flag = sort.flip(column);
        std::stable_sort(keys.begin(), keys.end(), [&](int64_t a, int64_t b) {
            return compareGenreRows(*store, lists, column, flag, a, b) < 0;
        });
        return keys;
    };
    EXPECT_EQ((std::vector<int64_t>{1, 0, 1000, 7}), sorted(kGenreColumnDate));  // oldest first
    EXPECT_EQ((std::vector<int64_t>{1000, 0, 1, 7}), sorted(kGenreColumnDate));  // newest first
    EXPECT_EQ((std::vector<int64_t>{0, 1000, 1, 7}), sorted(kGenreColumnChannel));  // class 0 before BS
    EXPECT_EQ((std::vector<int64_t>{1, 1000, 0, 7}), sorted(kGenreColumnTitle));    // 0x82 after ASCII
    EXPECT_EQ(0, compareGenreRows(*store, lists, kGenreColumnChannel, 0, 0, 1000));
    EXPECT_EQ(-1, sort.flip(3));
}

TEST(GenreList, ReservationsCoveringAProgrammeColourItsRow) {
    const ListedProgramme p{1024, 0, 1000, 2000};
    const auto reservation = [](int kind, int64_t start, int64_t end, int valid = 1, int serviceId = 1024) {
        ReservationRecord r;
        r.kind = kind, r.start = start, r.end = end, r.valid = valid, r.serviceId = serviceId;
        return r;
    };
    const GenreRowColors even{kGenreRowEven, std::nullopt}, odd{kGenreRowOdd, std::nullopt};
    const GenreRowColors blue{kGenreRowTvRock, kGenreRowTvRockText}, green{kGenreRowEpgTimer, std::nullopt},
        orange{kGenreRowTunerec, std::nullopt};
    const struct {
        ReservationList reservations;
        GenreRowColors row0;
    } cases[] = {
        {{}, even},
        {{reservation(1, 1060, 2000)}, even},  // starts a minute late
        {{reservation(0, 900, 2100)}, green},
        {{reservation(1000, 1000, 2000)}, orange},
        {{reservation(1001, 1000, 2000), reservation(1, 1000, 2000)}, blue},  // the later one wins
        {{reservation(1, 1000, 2000, 0)}, even},                              // not valid
        {{reservation(1, 1000, 2000, 1, 1025)}, even},                        // another service
        // The walk ends at the service's first reservation that starts at
        // or after the end without covering; invalid ones do not end it.
        {{reservation(0, 2000, 2100), reservation(1, 1000, 2000)}, even},
        {{reservation(0, 2000, 2100, 0), reservation(1, 1000, 2000)}, blue},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].row0, genreRowColors(0, p, cases[i].reservations)) << i;
    EXPECT_EQ(odd, genreRowColors(3, p, ReservationList{}));
    ReservationList bs = {reservation(1, 1000, 2000)};
    bs[0].networkKind = 4;
    EXPECT_EQ(blue, genreRowColors(0, ListedProgramme{1024, 4, 1000, 2000}, bs));
    EXPECT_EQ(even, genreRowColors(0, p, bs));
}

TEST(GenreList, SplittersStayWhereADragCanReachThemAndTheControlsFollow) {
    // A 400-pixel client: the vertical splitter stops at 2 and at 98.
    EXPECT_EQ(2, draggedSplitterX(100, 200, 50, 400));
    EXPECT_EQ(98, draggedSplitterX(100, 200, 250, 400));
    EXPECT_EQ(60, draggedSplitterY(100, 300, 260, 300));
    EXPECT_EQ(260, draggedSplitterY(100, 300, 600, 300));
    // A size change: list and details share the new height as they did (148 of 296 pixels: 298 of
    // 596), then both splitters are held inside: the tree and list 40 wide, list and details 40 high.
    for (auto [before, oldHeight, width, height, after] :
         {std::tuple{Splitters{-50, 100000}, 0, 400, 300, Splitters{42, 260}}, {{INT32_MIN, 0}, 0, 400, 300, {42, 42}},
          {{100, 150}, 300, 400, 600, {100, 300}}, {{100, 150}, 300, 400, 100, {100, 50}},
          {{390, 150}, 300, 400, 300, {358, 150}}, {{100, 150}, 300, 60, 60, {18, 20}}})  // too small: list, details
        EXPECT_EQ(after, resizedSplitters(before, oldHeight, width, height)) << width << "x" << height;
    EXPECT_EQ((TrackSize{92, 110}), genreListMinimumTrackSize(4, 20));  // whatever the splitters

    EXPECT_EQ(SplitterBand::none, splitterBandAt(97, 150, 100, 150));  // left of the vertical one

    const GenreListLayout layout = genreListLayout(600, 400, 100, 150, 60, 50);
    EXPECT_EQ((ControlBox{102, 0, 498, 22}), layout.search);
    EXPECT_EQ((ControlBox{102, 24, 498, 124}), layout.list);
    EXPECT_EQ((ControlBox{102, 188, 498, 212}), layout.description);
    EXPECT_EQ((ControlBox{0, 0, 0, 10}), genreListLayout(50, 10, 2, 2, 60, 50).tree);  // never a negative size
}
