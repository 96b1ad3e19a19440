#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <tuple>

#include "dialogs/reservation_list.h"
#include "reserve/reservations.h"
#include "reserve/tunerec_preset.h"
#include "support/fake_guide_host.h"
#include "support/guide_fixture.h"
#include "support/store_sections.h"

namespace corvane {
namespace {

constexpr int kTerrestrial = 0x7FE0;

class ReservationListTest : public testing::Test, protected LayoutRig {
protected:
    ReservationListTest() : LayoutRig("reservation-list") {
        host.clock = localOf(at(0, 12));
        putSchedule(store.get(), 1024, kTerrestrial, 0, {{at(0, 20), 3600, "ニュース７"}, {at(0, 21), 3600, "ドラマ"}});
        putSchedule(store.get(), 101, 4, 0, {{at(-2, 21), 7200, "映画"}});
        layout.buildListLayout(store.get());
        presets[1].id = 2, presets[1].name = "録画Ａ";
    }
    std::vector<ReservationRow> refresh() {
        return refreshReservationRows(records, store.get(), layout.events, presets,
                                      [this](int service) { return columnNameOf(*store, service); });
    }
    ReservationRecord record(int kind, int64_t start, int64_t end, int serviceId, int networkKind, const char* title) {
        ReservationRecord r;
        r.kind = kind, r.start = localOf(start), r.end = localOf(end), r.serviceId = serviceId;
        r.networkKind = static_cast<uint8_t>(networkKind), r.title = title;
        return r;
    }

    std::vector<TunerecPreset> presets{3};
    ReservationList records;
};

TEST_F(ReservationListTest, RowsShowChannelDateTimesApplicationAndTheGuidesProgrammeInTheirColours) {
    records = {record(0, at(0, 20), at(0, 21), 1024, 0, "ニュース"), record(1, at(-2, 21, 30), at(-2, 22), 101, 4, "映画"),
               record(1002, at(-1, 23, 50), at(0, 0, 10), 211, 4, "深夜"), record(1009, at(0, 9), at(0, 10), 55, 6, ""),
               record(2, at(0, 9), at(0, 10), 9, 0, "他"), record(1, at(0, 22), at(0, 23), 1024, 0, "後")};
    records[5].guideTitle = "前回の番組";
    records[2].jobName = "録画 深夜.job";
    records[5].conflict = 1;
    const std::vector<ReservationRow> rows = refresh();
    const std::string terrestrialName = columnNameOf(*store, 0), bsName = columnNameOf(*store, 1);
    const std::vector<std::array<std::string, 5>> expected = {
        {terrestrialName, "2026/12/07(月)", "20:00～21:00 ニュース", "EpgTimer", "20:00～21:00 ニュース７"},
        {bsName, "2026/12/05(土)", "21:30～22:00 映画", "TvRock", "21:00～23:00 映画"},
        {"BS211", "2026/12/06(日)", "23:50～00:10 深夜", "録画Ａ", ""},
        {"CS55", "2026/12/07(月)", "09:00～10:00 ", "ID9", ""},
        {"9", "2026/12/07(月)", "09:00～10:00 他", "Unknown", ""},
        {terrestrialName, "2026/12/07(月)", "22:00～23:00 後", "TvRock", ""}};
    ASSERT_EQ(expected.size(), rows.size());
    for (size_t n = 0; n < rows.size(); ++n) EXPECT_EQ(expected[n], rows[n].texts) << "row " << n;
    // The guide's title is written into the record; without a programme the
    // record keeps the one it had.
    EXPECT_EQ(std::tuple("ニュース７", "映画", "", "前回の番組"),
              std::tuple(records[0].guideTitle, records[1].guideTitle, records[2].guideTitle, rows[5].guideTitle));
    // Only a capture-tool job the collection named offers its deletion, under that name.
    JobDeletion deletion;
    EXPECT_FALSE(jobDeletionOf(rows[0], deletion) || jobDeletionOf(rows[3], deletion));
    ASSERT_TRUE(jobDeletionOf(rows[2], deletion));
    EXPECT_EQ(std::tuple(1002, "深夜", "タスク「録画 深夜.job」を削除しますか？"),
              std::tuple(deletion.kind, deletion.title, jobDeletionQuestion(deletion)));

    // Odd rows take the first shade, even rows the second; a conflict comes
    // before the kind, a reservation without the guide's programme before both.
    const auto plan = [&](int row, int number, bool selected = false) {
        return reservationRowPlan(rows[row], number, selected, SelectionColors{0x123456, 0xfefefe}).cells;
    };
    EXPECT_EQ(std::tuple(0xb7ffb7u, 0xe0ffe0u, 0xfae6e6u, 0x66ffffu, 0xccffffu, 0xcbc0ffu, 0xa9a9a9u),
              std::tuple(plan(0, 0)[1].brush, plan(0, 1)[1].brush, plan(1, 2)[3].brush, plan(2, 0)[0].brush,
                         plan(2, 1)[4].brush, plan(5, 0)[3].brush, plan(5, 0)[2].brush));
    // Saturday's date stays blue when selected, the system's colours elsewhere;
    // the start moved against the guide's: the changed digit, pale red. (The
    // red of an unselected row is checked on the painted window.)
    const auto film = plan(1, 1, true);
    EXPECT_EQ(std::tuple(0x123456u, 0xff0000u, 0xfefefeu, 0xfefefeu, 0xaaaaffu),
              std::tuple(film[1].brush, film[1].pieces[0].color, film[0].pieces[0].color, film[2].pieces[0].color,
                         film[2].pieces[1].color));
}

TEST_F(ReservationListTest, SortingFlipsPerColumnAndNamesNoRowLast) {
    records = {record(1000, at(0, 9), at(0, 10), 9, 0, "b"), record(0, at(0, 9), at(0, 10), 9, 0, "\x81\x40"),
               record(1, at(0, 9), at(0, 10), 9, 0, "a"), record(1001, at(0, 9), at(0, 10), 9, 0, "B"),
               record(0, at(0, 9), at(0, 10), 9, 0, "")};
    records[0].start = INT64_MIN + 1, records[1].start = INT64_MAX;  // no subtraction may overflow
    const std::vector<ReservationRow> rows = refresh();
    ReservationListSort sort;
    const auto sorted = [&](int column, int64_t extra) {
        const int flag = sort.flip(column);
        std::vector<int64_t> values{0, 1, 2, 3, 4, extra};
        std::stable_sort(values.begin(), values.end(), [&](int64_t a, int64_t b) {
            return compareReservationRowValues(rows, a, b, column, flag) < 0;
        });
        return values;
    };
    EXPECT_EQ((std::vector<int64_t>{1, 4, 2, 0, 3, 99}), sorted(kReservationColumnDevice, 99));
    EXPECT_EQ((std::vector<int64_t>{3, 0, 2, 1, 4, -1}), sorted(kReservationColumnDevice, -1));
    EXPECT_EQ((std::vector<int64_t>{4, 3, 2, 0, 1, 7}), sorted(kReservationColumnReservation, 7));
    EXPECT_EQ((std::vector<int64_t>{0, 2, 3, 4, 1, 5}), sorted(kReservationColumnDate, 5));
    EXPECT_EQ((std::vector<int64_t>{1, 2, 3, 4, 0, 5}), sorted(kReservationColumnDate, 5));
    EXPECT_EQ(-1, sort.flip(kReservationColumnCount));
}

TEST_F(ReservationListTest, ShowingInTheGuideFindsTheReservationsServiceInBothViews) {
    host.width = 50 + 180, host.height = 100;
    const auto scroll = [&] { return std::pair(layout.view.scrollX, layout.view.scrollY); };
    const int64_t begin = layout.view.guideBegin;  // Saturday 21:00, the BS film
    // Service 101 of the BS is the second column.
    showReservationInGuide(layout, store.get(), 4, 101, localOf(at(-2, 22)), localOf(at(-2, 23)));
    EXPECT_EQ(std::pair(180, 60 * 2 - 60), scroll());
    // A service the store lacks: the time alone.
    showReservationInGuide(layout, store.get(), 4, 999, localOf(at(0, 20)), localOf(at(0, 21)));
    EXPECT_EQ(std::pair(180, static_cast<int>((localOf(at(0, 20)) - begin) / 60 * 2 - 60)), scroll());
    // The channel view moves only for its own service.
    layout.view.viewService = 0;
    layout.buildChannelLayout(store.get());
    const auto before = scroll();
    showReservationInGuide(layout, store.get(), 4, 101, localOf(at(0, 20)), localOf(at(0, 21)));
    EXPECT_EQ(before, scroll());
    showReservationInGuide(layout, store.get(), 0, 1024, localOf(at(0, 20)), localOf(at(0, 21)));
    EXPECT_EQ(std::pair(0, 16 * 60 * 2 - 60), scroll());
}

}  // namespace
}  // namespace corvane
