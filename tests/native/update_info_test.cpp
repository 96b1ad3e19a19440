#include "dialogs/update_info.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
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
    ListFixture() {
        findOrCreateService(store.get(), 0, 1024);
        findOrCreateService(store.get(), 4, 101);
    }
    void refresh(UpdateInfoRows& rows) const {
        rows.refresh(changes, store.get(), [&](int i) { return "局" + std::to_string(store->services[i]->serviceId); });
    }
    StorePtr store{createStore()};
    ChangeList changes;
};

std::vector<std::string> texts(const UpdateRow& row) { return {row.texts.begin(), row.texts.end()}; }

TEST(UpdateInfo, RowTextsOfEveryKindOfChange) {
    const struct {
        ChangeRecord record;
        std::vector<std::string> texts;
    } cases[] = {
        // Moved: both versions, the date of the old start.
        {changeRecord(0, 1024, localAt(0, 21), localAt(0, 22), "ニュース", localAt(0, 21, 30), localAt(0, 22, 30), "ニュース"),
         {"局1024", "2026/12/07(月)", "21:00～22:00 ニュース", "21:30～22:30 ニュース"}},
        // Added after midnight on a service the store lacks: the date of the new start.
        {changeRecord(7, 300, 0, 0, nullptr, localAt(5, 0, 5), localAt(5, 1), "天気"),
         {"CS300", "2026/12/12(土)", "", "00:05～01:00 天気"}},
        {changeRecord(6, 55, localAt(6, 23), localAt(7, 0), "映画", 0, 0, nullptr), {"CS55", "2026/12/13(日)", "23:00～00:00 映画", ""}},
        {changeRecord(4, 211, localAt(1, 9), localAt(1, 10), "Ａ", localAt(1, 9), localAt(1, 10), "Ｂ"),
         {"BS211", "2026/12/08(火)", "09:00～10:00 Ａ", "09:00～10:00 Ｂ"}},
        {changeRecord(4, 101, localAt(1, 9), localAt(1, 10), "Ａ", 0, 0, nullptr), {"局101", "2026/12/08(火)", "09:00～10:00 Ａ", ""}},
        {changeRecord(0, 2048, 0, 0, nullptr, 0, 0, nullptr), {"2048", "", "", ""}},
    };
    ListFixture f;
    for (const auto& c : cases) f.changes.append(c.record);
    UpdateInfoRows rows;
    f.refresh(rows);
    ASSERT_EQ(std::size(cases), rows.size());
    for (size_t n = 0; n < rows.size(); ++n) {
        EXPECT_EQ(static_cast<int64_t>(n), rows.valueAt(n));
        EXPECT_EQ(cases[n].texts, texts(*rows.rowAt(n))) << n;
    }
    EXPECT_EQ(nullptr, rows.rowAt(rows.size()));
    EXPECT_EQ(-1, rows.valueAt(rows.size()));
}

TEST(UpdateInfo, NamesDecodedBeyondTheBufferAreCutOnACharacterBoundary) {
    const auto symbols = [](std::initializer_list<uint16_t> lead, int others) {
        bc::Bytes raw = {0x1B, 0x24, 0x3B};  // the additional symbols
        for (uint16_t code : lead) raw.push_back(code >> 8), raw.push_back(code & 0xFF);
        for (int i = 0; i < others; ++i) raw.push_back(0x7A), raw.push_back(0x74);  // "<ほか>", six bytes
        return raw;
    };
    const struct {
        bc::Bytes raw;
        std::string decoded;
    } cases[] = {
        {symbols({}, 48), repeat("<ほか>", 33) + "<"},                         // 199 bytes
        {symbols({0x7A67, 0x7A50}, 46), "_[HV]" + repeat("<ほか>", 32) + "<"},  // "ほ" would end at 200
        {symbols({}, 2), "<ほか><ほか>"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.decoded, decodeChangeName(c.raw.data(), c.raw.size()));
        ChangeRecord record = changeRecord(0, 1, localAt(0, 1), localAt(0, 2), "", localAt(0, 1), localAt(0, 2), "");
        setRawName(record.newName, record.newNameLength, c.raw);
        ListFixture f;
        f.changes.append(record);
        UpdateInfoRows rows;
        f.refresh(rows);
        EXPECT_EQ("01:00～02:00 " + c.decoded, rows.rowAt(0)->texts[kUpdateColumnNew]);
    }
}

TEST(UpdateInfo, EachColumnSortsAscendingThenDescendingAndTheFlagsOutliveRefreshes) {
    ListFixture f;
    for (const ChangeRecord& c : changesToSort([](int hour) { return localAt(0, hour); })) f.changes.append(c);
    UpdateInfoRows rows;
    f.refresh(rows);
    const auto order = [&] {
        std::vector<int64_t> values;
        for (size_t i = 0; i < rows.size(); ++i) values.push_back(rows.valueAt(i));
        return values;
    };
    for (const ColumnOrders& c : kOrdersOfChangesToSort) {
        EXPECT_EQ(1, rows.sortBy(c.column));
        EXPECT_EQ(c.ascending, order()) << c.column;
        EXPECT_EQ(0, rows.sortBy(c.column));
        EXPECT_EQ(c.descending, order()) << c.column;
        const UpdateRow &a = *rows.rowAt(0), &b = *rows.rowAt(1);
        EXPECT_EQ(-compareUpdateRows(a, b, c.column, 1), compareUpdateRows(a, b, c.column, 0));
        EXPECT_EQ(0, compareUpdateRows(a, a, c.column, 0));
    }
    EXPECT_EQ(-1, rows.sortBy(kUpdateColumnCount));
    rows.sortBy(kUpdateColumnDate);
    f.refresh(rows);
    EXPECT_EQ((std::vector<int64_t>{0, 1, 2, 3}), order()) << "a refresh lists in record order";
    EXPECT_EQ(0, rows.sortBy(kUpdateColumnDate)) << "the flag was kept";
    EXPECT_EQ(3, rows.positionOf(2));
    EXPECT_EQ(-1, rows.positionOf(4));
}

// A cell as "BRUSH" and its pieces, 'n' normal or 'd' difference colour (for
// the row's state) and the bytes, joined by '|'.
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

TEST(UpdateInfo, EachCellIsFilledAndDrawnAgainstTheOtherVersion) {
    const struct {
        ChangeRecord record;
        int rowNumber;
        bool selected;
        std::vector<std::string> cells;
    } cases[] = {
        {changeRecord(0, 1024, localAt(0, 21), localAt(0, 22), "ニュース", localAt(0, 21, 30), localAt(0, 22, 30), "ニュース"), 0, false,
         {"ffefef n局1024", "ffefef n2026/12/07(月)", "ffefef n21:|d0|n0～22:|d0|n0 ニュース",
          "ffefef n21:|d3|n0～22:|d3|n0 ニュース"}},
        {changeRecord(0, 1024, 0, 0, nullptr, localAt(0, 5), localAt(0, 6), "天気"), 1, false,
         {"fff4f4 n局1024", "fff4f4 n2026/12/07(月)", "696969", "fff4f4 n05:00～06:00 天気"}},
        {changeRecord(0, 1024, localAt(0, 5), localAt(0, 6), "天気", 0, 0, nullptr), 4, false,
         {"ffefef n局1024", "ffefef n2026/12/07(月)", "a9a9a9 n05:00～06:00 天気", "ffefef"}},
        {changeRecord(0, 1024, localAt(0, 5), localAt(0, 6), "天気", 0, 0, nullptr), 2, true,
         {"123456 n局1024", "123456 n2026/12/07(月)", "123456 n05:00～06:00 天気", "123456"}},
        {changeRecord(0, 1024, 0, 0, nullptr, localAt(0, 5), localAt(0, 6), "天気"), 3, true,
         {"123456 n局1024", "123456 n2026/12/07(月)", "123456", "123456 n05:00～06:00 天気"}},
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
    UpdateInfoRows rows;
    f.refresh(rows);
    for (size_t n = 0; n < rows.size(); ++n) {
        const UpdateRow& row = *rows.rowAt(n);
        const UpdateRowPlan plan = updateRowPlan(row, cases[n].rowNumber, cases[n].selected, {0x123456, 0xabcdef});
        std::vector<std::string> cells;
        for (int column = 0; column < kUpdateColumnCount; ++column)
            cells.push_back(described(plan[column], row.texts[column], cases[n].selected));
        EXPECT_EQ(cases[n].cells, cells) << n;
    }
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
    UpdateInfoRows rows;
    f.refresh(rows);
    for (int i = 0; i < 3; ++i) f.changes.append(changeRecord(0, 1024, 0, 0, nullptr, localAt(0, 3), localAt(0, 4), "ｂ"));
    EXPECT_THROW(rows.refresh(FailingList{f.changes}, f.store.get(), [](int) { return std::string(); }),
                 std::bad_alloc);
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ("01:00～02:00 ａ", rows.rowAt(0)->texts[kUpdateColumnNew]);
}

TEST(UpdateInfo, ClearTakesAsManyRecordsAsThereWereRowsAndKeepsLaterOnes) {
    ListFixture f;
    for (int i = 0; i < 3; ++i) f.changes.append(changeRecord(0, 1024, 0, 0, nullptr, localAt(0, i), localAt(0, i + 1), "ａ"));
    UpdateInfoRows rows;
    f.refresh(rows);
    rows.sortBy(kUpdateColumnDate);
    rows.sortBy(kUpdateColumnDate);  // shown newest first: still the first three records go
    f.changes.append(changeRecord(0, 1024, 0, 0, nullptr, localAt(1, 0), localAt(1, 1), "後"));
    rows.clear(f.changes);
    EXPECT_EQ(0u, rows.size());
    ASSERT_EQ(1u, f.changes.size());
    EXPECT_EQ(localAt(1, 0), f.changes[0].newStart);
    rows.clear(f.changes);
    EXPECT_EQ(1u, f.changes.size()) << "no rows: nothing taken";
    f.refresh(rows);
    rows.clear(f.changes);
    EXPECT_TRUE(f.changes.empty());
}

}  // namespace
}  // namespace corvane
