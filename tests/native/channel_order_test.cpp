#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/channel_order.h"

namespace corvane {
namespace {

// Rows named by letters; `marks` has 'x' under each selected row.
std::vector<ChannelOrderRow> rowsOf(const std::string& names, const std::string& marks) {
    std::vector<ChannelOrderRow> rows;
    for (size_t i = 0; i < names.size(); ++i)
        rows.push_back({std::string(1, names[i]), static_cast<int32_t>(i), 300, true, marks[i] == 'x'});
    return rows;
}

std::string namesOf(const std::vector<ChannelOrderRow>& rows) {
    std::string names;
    for (const ChannelOrderRow& row : rows) names += row.name[0];
    return names;
}

TEST(ChannelOrder, SelectedRowsMoveAsBlocksAndBlocksAtTheEdgeStay) {
    struct Case {
        const char* marks;
        RowMove move;
        const char* order;
        int firstMoved;
    } cases[] = {
        {"xx...", RowMove::up, "ABCDE", -1},   {".xx..", RowMove::up, "BCADE", 0},
        {".x.x.", RowMove::up, "BADCE", 0},    {"xx.x.", RowMove::up, "ABDCE", 2},
        {"...xx", RowMove::down, "ABCDE", -1}, {"..xx.", RowMove::down, "ABECD", 4},
        {".x.x.", RowMove::down, "ACBED", 4},  {".....", RowMove::down, "ABCDE", -1},
        {"x.xxx", RowMove::down, "BACDE", 1},
    };
    for (const Case& c : cases) {
        std::vector<ChannelOrderRow> rows = rowsOf("ABCDE", c.marks);
        EXPECT_EQ(c.firstMoved, moveSelectedRows(rows, c.move)) << c.marks;
        EXPECT_EQ(c.order, namesOf(rows)) << c.marks;
        // The moved rows stay selected: the same letters carry the marks.
        std::string selectedAfter;
        for (const ChannelOrderRow& row : rows)
            if (row.selected) selectedAfter += row.name;
        std::string selectedBefore;
        for (char name : std::string(c.order))
            if (c.marks[name - 'A'] == 'x') selectedBefore += name;
        EXPECT_EQ(selectedBefore, selectedAfter) << c.marks;
    }
}

TEST(ChannelOrder, OpensBySortValueWithTiesInStoreOrderAndTicksOnlyShownColumns) {
    const std::vector<ChannelOrderService> services = {
        {"NHK", 0, 1024, 1, 300}, {"BS1", 4, 101, 0, 5}, {"CS", 6, 55, 2, 300}, {"E", 0, 1032, 1, 5}};
    const std::vector<ChannelOrderRow> rows = channelOrderRows(services);
    ASSERT_EQ(4u, rows.size());
    EXPECT_EQ((std::vector<ChannelOrderRow>{{"BS1", 4 * 65536 + 101, 5, false, false},
                                            {"E", 1032, 5, true, false},
                                            {"NHK", 1024, 300, true, false},
                                            {"CS", 6 * 65536 + 55, 300, false, false}}),
              rows);
    // "OK": row numbers in list order, each service found again from its item.
    EXPECT_EQ((std::vector<ChannelOrderChoice>{{4, 101, 0, 0}, {0, 1032, 1, 1}, {0, 1024, 1, 2}, {6, 55, 0, 3}}),
              channelOrderChoices(rows));
    // With no sort values stored the rows keep store order.
    std::vector<ChannelOrderService> unsorted = services;
    for (ChannelOrderService& service : unsorted) service.sortValue = kDefaultSortValue;
    EXPECT_EQ("NBCE", namesOf(channelOrderRows(unsorted)));
}

}  // namespace
}  // namespace corvane
