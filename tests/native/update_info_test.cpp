#include "dialogs/update_info.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <new>
#include <string>
#include <tuple>
#include <vector>

#include "support/change_fixture.h"
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
    // A list whose third record cannot be had, as if memory ran out there.
    struct FailingList {
        const ChangeList& changes;
        size_t size() const { return changes.size(); }
        const ChangeRecord& operator[](size_t i) const {
            if (i == 2) throw std::bad_alloc();
            return changes[i];
        }
    };
    ListFixture f;
    f.changes.append(changeRecord(0, 1024, 0, 0, nullptr, localAt(0, 1), localAt(0, 2), "ａ"));
    f.refresh(f.rows);
    for (int i = 0; i < 3; ++i) f.changes.append(changeRecord(0, 1024, 0, 0, nullptr, localAt(0, 3), localAt(0, 4), "ｂ"));
    EXPECT_THROW(f.rows.refresh(FailingList{f.changes}, f.store.get(), [](int) { return std::string(); }),
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

}  // namespace
}  // namespace corvane
