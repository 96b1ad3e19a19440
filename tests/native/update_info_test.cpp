#include "dialogs/update_info.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <new>
#include <string>
#include <tuple>
#include <vector>

#include "dialogs/difference_highlight.h"
#include "dialogs/reservation_list.h"
#include "reserve/reservations.h"
#include "reserve/tunerec_preset.h"
#include "support/change_fixture.h"
#include "support/fake_guide_host.h"
#include "support/guide_fixture.h"
#include "support/store_sections.h"

namespace corvane {
namespace {

namespace bc = corvane::broadcast;

// Local time `day` days after Monday 2026-12-07.
int64_t localAt(int day, int hour, int minute = 0) { return localOf(at(day, hour, minute)); }

struct ListFixture {
    ListFixture() { findOrCreateService(store.get(), 0, 1024); }
    void refresh(UpdateInfoRows& rows) const {
        rows.refresh(changes, store.get(), [&](int i) { return "局" + std::to_string(store->services[i]->serviceId); });
    }
    StorePtr store{createStore()};
    ChangeList changes;
    UpdateInfoRows rows;
};

// A cell as "BRUSH" and its pieces, 'n' normal or 'd' difference colour (for
// the row's state) and the bytes, joined by '|'. (The texts and fills of every
// kind of change are also checked on the painted window.)
std::string described(const CellPlan& cell, const std::string& text, bool selected) {
    char brush[16];
    std::snprintf(brush, sizeof brush, "%06x", cell.brush);
    std::string out = brush;
    const uint32_t normal = selected ? 0xabcdef : kListTextColor;
    const uint32_t difference = selected ? kListSelectedDifferenceColor : kListDifferenceColor;
    for (const ColoredPiece& piece : cell.pieces) {
        out += out.size() == 6 ? " " : "|";
        out += piece.color == normal ? 'n' : piece.color == difference ? 'd' : '?';
        out += text.substr(piece.offset, piece.length);
    }
    return out;
}

TEST(UpdateInfo, CellsAreDrawnAgainstTheOtherVersionPieceByPiece) {
    const struct {
        ChangeRecord record;
        int rowNumber;
        bool selected;
        std::vector<std::string> cells;
    } cases[] = {
        // Moved: the date of the old start.
        {changeRecord(0, 1024, localAt(0, 21), localAt(0, 22), "ニュース", localAt(0, 21, 30), localAt(0, 22, 30), "ニュース"), 0, false,
         {"ffefef n局1024", "ffefef n2026/12/07(月)", "ffefef n21:|d0|n0～22:|d0|n0 ニュース",
          "ffefef n21:|d3|n0～22:|d3|n0 ニュース"}},
        // Differing within the last six bytes.
        {changeRecord(0, 1024, localAt(0, 9), localAt(0, 10), "ニュースＡ", localAt(0, 9), localAt(0, 10), "ニュースＢ"), 3, true,
         {"123456 n局1024", "123456 n2026/12/07(月)", "123456 n09:00～10:00 ニュース|dＡ",
          "123456 n09:00～10:00 ニュース|dＢ"}},
        {changeRecord(0, 1024, localAt(0, 9), localAt(0, 10), "ab", localAt(0, 9), localAt(0, 10), "abc"), 5, false,
         {"fff4f4 n局1024", "fff4f4 n2026/12/07(月)", "fff4f4 n09:00～10:00 ab",
          "fff4f4 n09:00～10:00 ab|dc"}},
    };
    ListFixture f;
    for (const auto& c : cases) f.changes.append(c.record);
    f.refresh(f.rows);
    ASSERT_EQ(std::size(cases), f.rows.size());
    for (size_t n = 0; n < f.rows.size(); ++n) {
        const UpdateRow& row = *f.rows.rowAt(n);
        const UpdateRowPlan plan = updateRowPlan(row, cases[n].rowNumber, cases[n].selected, {0x123456, 0xabcdef});
        std::vector<std::string> cells;
        for (int column = 0; column < kUpdateColumnCount; ++column)
            cells.push_back(described(plan[column], row.texts[column], cases[n].selected));
        EXPECT_EQ(cases[n].cells, cells) << n;
    }
}

TEST(UpdateInfo, NamesDecodedBeyondTheBufferAreCutOnACharacterBoundary) {
    bc::Bytes raw = {0x1B, 0x24, 0x3B, 0x7A, 0x67, 0x7A, 0x50};  // the additional symbols "_[HV]"
    for (int i = 0; i < 46; ++i) raw.push_back(0x7A), raw.push_back(0x74);  // "<ほか>", six bytes each
    ChangeRecord record = changeRecord(0, 1, localAt(0, 1), localAt(0, 2), "", localAt(0, 1), localAt(0, 2), "");
    setRawName(record.newName, record.newNameLength, raw);
    ListFixture f;
    f.changes.append(record);
    f.refresh(f.rows);
    // 199 bytes: the "ほ" that follows would end at 200.
    EXPECT_EQ("01:00～02:00 _[HV]" + repeat("<ほか>", 32) + "<", f.rows.rowAt(0)->texts[kUpdateColumnNew]);
}

TEST(UpdateInfo, ARefreshThatRunsOutOfMemoryLeavesTheRowsAsTheyWere) {
    ListFixture f;
    f.changes.append(changeRecord(0, 1024, 0, 0, nullptr, localAt(0, 1), localAt(0, 2), "ａ"));
    f.refresh(f.rows);
    for (int i = 0; i < 3; ++i) f.changes.append(changeRecord(0, 1024, 0, 0, nullptr, localAt(0, 3), localAt(0, 4), "ｂ"));
    // The service's name cannot be had, as if memory ran out there.
    EXPECT_THROW(f.rows.refresh(f.changes, f.store.get(), [](int) -> std::string { throw std::bad_alloc(); }),
                 std::bad_alloc);
    ASSERT_EQ(1u, f.rows.size());
    EXPECT_EQ("01:00～02:00 ａ", f.rows.rowAt(0)->texts[kUpdateColumnNew]);
}

TEST(UpdateInfo, ClearTakesAsManyRecordsAsThereWereRowsAndKeepsLaterOnes) {
    ListFixture f;
    for (int i = 0; i < 3; ++i) f.changes.append(changeRecord(0, 1024, 0, 0, nullptr, localAt(0, i), localAt(0, i + 1), "ａ"));
    f.refresh(f.rows);
    f.rows.sortBy(kUpdateColumnDate);
    EXPECT_EQ(0, f.rows.sortBy(kUpdateColumnDate));  // shown newest first: still the first three records go
    f.changes.append(changeRecord(0, 1024, 0, 0, nullptr, localAt(1, 0), localAt(1, 1), "後"));
    f.rows.clear(f.changes);
    ASSERT_EQ(std::tuple(size_t{0}, size_t{1}), std::tuple(f.rows.size(), f.changes.size()));
    EXPECT_EQ(localAt(1, 0), f.changes[0].newStart);
    f.rows.clear(f.changes);
    EXPECT_EQ(1u, f.changes.size()) << "no rows: nothing taken";
    EXPECT_TRUE(f.rows.rowAt(0) == nullptr && f.rows.valueAt(0) == -1) << "a stale position names no row";
}


std::string hex(std::string_view bytes) {
    std::string out;
    for (unsigned char c : bytes) out += "0123456789abcdef"[c >> 4], out += "0123456789abcdef"[c & 15];
    return out;
}

std::string toolOutput(const std::string& arguments) {
    FILE* out = popen((CORVANE_TOOLS_DIR "/corvane-epg diff " + arguments + " 2>/dev/null").c_str(), "r");
    std::string text;
    for (int c; (c = std::fgetc(out)) != EOF;) text += static_cast<char>(c);
    return text + "status " + std::to_string(WEXITSTATUS(pclose(out)));
}

// Short texts, texts against nothing or themselves and the shape of the
// pieces for any two texts are the fuzz target's invariants; these are the
// realignments it cannot predict.
TEST(DifferenceHighlight, MarksTheChangedCharactersAndTheToolListsThePieces) {
    // Drawn text, compared text, the pieces: 'n' (normal) or 'd' (differs) and the bytes.
    const struct { const char *drawn, *compared; std::vector<std::string> pieces; } cases[] = {
        {"21:00～22:00 ニュース７", "21:00～22:00 ニュース", {"n21:00～22:00 ニュース", "d７"}},
        {"21:00～22:00 ニュース", "22:00～23:00 ニュース", {"n2", "d1", "n:00～2", "d2", "n:00 ニュース"}},
        // Words inserted or removed: the texts fall back into step.
        {"12:00～13:00 ABCDEFGH", "12:00～13:00 XXABCDEFGH", {"n12:00～13:00 ABCDEFGH"}},
        {"12:00～13:00 XXABCDEFGH", "12:00～13:00 ABCDEFGH", {"n12:00～13:00 ", "dXX", "nABCDEFGH"}},
        // Only on character boundaries: the second byte of "ア" (83 41) is an "A".
        {"12ZアBCDEFGHIJ", "34ABCDEFGHIJ", {"d12Zア", "nBCDEFGHIJ"}},
        {"34ABCDEFGHIJ", "12ZアBCDEFGHIJ", {"d34A", "nBCDEFGHIJ"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> pieces;
        for (const TextPiece& piece : highlightDifferences(c.drawn, c.compared))
            pieces.push_back((piece.differs ? "d" : "n") + std::string(c.drawn + piece.offset, piece.length));
        EXPECT_EQ(c.pieces, pieces) << c.drawn << " / " << c.compared;
    }
    EXPECT_EQ("normal 32313a3030816032323a303020836a8385815b8358\ndiff 8256\nstatus 0",
              toolOutput("'" + hex(cases[0].drawn) + "' '" + hex(cases[0].compared) + "'"));
    for (const char* bad : {"6 61", "6g 61", "61 6", "61"}) EXPECT_EQ("status 2", toolOutput(bad)) << bad;
}

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
              std::tuple(records[0].guideTitle, records[1].guideTitle, records[2].guideTitle, rows[5].record.guideTitle));
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
    showReservationInGuide(layout, store.get(), record(0, at(-2, 22), at(-2, 23), 101, 4, ""));
    EXPECT_EQ(std::pair(180, 60 * 2 - 60), scroll());
    // A service the store lacks: the time alone.
    showReservationInGuide(layout, store.get(), record(0, at(0, 20), at(0, 21), 999, 4, ""));
    EXPECT_EQ(std::pair(180, static_cast<int>((localOf(at(0, 20)) - begin) / 60 * 2 - 60)), scroll());
    // The channel view moves only for its own service.
    layout.view.viewService = 0;
    layout.buildChannelLayout(store.get());
    const auto before = scroll();
    showReservationInGuide(layout, store.get(), record(0, at(0, 20), at(0, 21), 101, 4, ""));
    EXPECT_EQ(before, scroll());
    showReservationInGuide(layout, store.get(), record(0, at(0, 20), at(0, 21), 1024, 0, ""));
    EXPECT_EQ(std::pair(0, 16 * 60 * 2 - 60), scroll());
}

}  // namespace
}  // namespace corvane
