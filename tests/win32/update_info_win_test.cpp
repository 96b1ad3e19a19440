// The update information window of the running program, driven through its
// controls. Row texts, order and cell colours are decided and tested without
// a window (update_info_test); here they have to arrive in the real list.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "dialogs/update_info.h"
#include "dialogs/update_info_win.h"
#include "resources/resource.h"
#include "support/change_fixture.h"
#include "support/main_window_rig_win.h"
#include "support/store_sections.h"

namespace corvane {
namespace {

class UpdateInfoWinTest : public MainWindowRig {
protected:
    void SetUp() override {
        start();
        KillTimer(app.mainWindow, TIMER_HOUSEKEEPING);  // the test ticks itself
        std::vector<Programme> today;
        for (int hour = 6; hour < 24; ++hour) today.push_back({dayAt(hour), 3600, "番組"});
        putSchedule(app.store.get(), 1024, 0x7FE0, 0, today);
        afterLoad(app);
        window = app.updateWindow;
    }

    HWND list() { return GetDlgItem(window, IDC_UPDATE_LIST); }
    void tell(int id) { SendMessageA(window, WM_COMMAND, id, 0); }
    void append(const ChangeRecord& record) { app.changes.append(record); }
    int rowCount() { return ListView_GetItemCount(list()); }
    std::vector<int64_t> values() {
        std::vector<int64_t> out;
        for (int i = 0; i < rowCount(); ++i) out.push_back(updateInfoRowValue(window, i));
        return out;
    }

    HWND window = nullptr;
};

TEST_F(UpdateInfoWinTest, TheTickFillsTheShownWindowWhoseLastRowIsVisibleAndSortingKeepsTheSelection) {
    const auto version = [&](uint8_t number, int newsMinute) {
        put(app.store.get(),
            eit(0x50, 1040, 0, number, {event(1, dayAt(20, newsMinute), 60, broadcast::shortEventDescriptor("ニ", ""))}));
        SendMessageA(app.mainWindow, WM_TIMER, TIMER_HOUSEKEEPING, 0);
        pump(20);
    };
    version(1, 0);  // a first version is its own baseline
    version(2, 30);
    EXPECT_EQ(std::tuple(false, size_t{1}, 0), std::tuple(IsWindowVisible(window) != FALSE, app.changes.size(), rowCount()))
        << "hidden: left alone";
    command(IDM_UPDATE_INFO);
    pump(20);
    EXPECT_EQ(1, rowCount());
    append(changeRecord(0, 1024, localDayAt(20), localDayAt(21), "ニュース", localDayAt(20), localDayAt(21), "ニュース７"));
    for (int i = 0; i < 60; ++i) append(changeRecord(0, 1024, 0, 0, nullptr, localDayAt(1), localDayAt(2), "深夜"));
    version(3, 10);
    ASSERT_EQ(63, rowCount());
    // Enough rows for a scroll bar: the last one is scrolled into view.
    const int top = ListView_GetTopIndex(list());
    EXPECT_TRUE(top > 0 && top + ListView_GetCountPerPage(list()) >= 63);

    app.changes.removeFirst(app.changes.size());
    for (const ChangeRecord& c : changesToSort([](int hour) { return localDayAt(hour); })) append(c);
    tell(IDM_UPDATE_REFRESH);
    ListView_SetItemState(list(), 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    for (const ColumnOrders& c : kOrdersOfChangesToSort) {
        clickListColumn(list(), c.column);
        EXPECT_EQ(std::pair(c.ascending, HDF_SORTUP), std::pair(values(), sortArrow(list(), c.column))) << c.column;
        clickListColumn(list(), c.column);
        EXPECT_EQ(std::pair(c.descending, HDF_SORTDOWN), std::pair(values(), sortArrow(list(), c.column))) << c.column;
        // Record 2 stays selected and focused wherever it went.
        const int at = ListView_GetNextItem(list(), -1, LVNI_SELECTED);
        EXPECT_EQ(std::tuple(2, at, -1),
                  std::tuple(updateInfoRowValue(window, at), ListView_GetNextItem(list(), -1, LVNI_FOCUSED),
                             ListView_GetNextItem(list(), at, LVNI_SELECTED)));
    }
    tell(IDM_UPDATE_REFRESH);  // the rows in the change list's order again: no arrow
    EXPECT_EQ(0, sortArrow(list(), std::end(kOrdersOfChangesToSort)[-1].column));
}

// The painted rows: the differing characters in red, the selection in the system colour.
TEST_F(UpdateInfoWinTest, PaintedInColourClickingARemovalFramesItsOldTimesClearTakesTheFrameAndDestroyingWritesTheSettings) {
    append(changeRecord(0, 1024, localDayAt(21), localDayAt(22), "映画", localDayAt(21, 30), localDayAt(22, 30), "映画"));
    append(changeRecord(0, 1024, localDayAt(20), localDayAt(21), "ニュース", 0, 0, nullptr));
    append(changeRecord(0, 1024, localDayAt(22), localDayAt(23), "ニュース", localDayAt(22), localDayAt(23), "ニュース７"));
    command(IDM_UPDATE_INFO);
    pump(20);
    SetWindowPos(window, nullptr, 0, 0, 1000, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    ListView_SetItemState(list(), 1, LVIS_SELECTED, LVIS_SELECTED);
    RECT client{};
    GetClientRect(list(), &client);
    {
        const MemoryCanvas canvas(client.right, client.bottom);
        SendMessageA(list(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT | PRF_ERASEBKGND);
        // A cell: the colour at its right end, and how many of its pixels are red.
        const auto cell = [&](int position, int column) {
            RECT r{};
            ListView_GetSubItemRect(list(), position, column, column == 0 ? LVIR_LABEL : LVIR_BOUNDS, &r);
            return std::tuple(canvas.at(r.right - 2, (r.top + r.bottom) / 2),
                              canvas.count(r.left, r.top, r.right, r.bottom, [](uint32_t c) { return c == RGB(255, 0, 0); }));
        };
        EXPECT_EQ(std::tuple(kUpdateEvenRowBrush, 0), cell(2, 2));  // one character appended: red in the new title only
        EXPECT_GT(std::get<1>(cell(2, 3)), 0);
        EXPECT_EQ(std::tuple(uint32_t{GetSysColor(COLOR_HIGHLIGHT)}, 0), cell(1, 0));
    }
    const int before = app.layout->view.scrollY;
    click(list(), rowPoint(list(), 1));
    const HighlightedProgramme& h = app.highlight;
    EXPECT_EQ(std::tuple(HighlightOwner::updateInfo, 1024, localDayAt(20), localDayAt(21)),
              std::tuple(h.owner, h.serviceId, h.start, h.end));
    EXPECT_GT(app.layout->view.scrollY, before) << "the guide scrolled to 20:00";
    click(list(), rowPoint(list(), 0));
    EXPECT_EQ(std::tuple(localDayAt(21, 30), localDayAt(22, 30)), std::tuple(h.start, h.end)) << "the new times";
    append(changeRecord(7, 300, 0, 0, nullptr, localDayAt(5), localDayAt(6), "後から"));
    tell(IDC_UPDATE_CLEAR);
    EXPECT_EQ(std::tuple(0, size_t{1}, false), std::tuple(rowCount(), app.changes.size(), h.active()));

    SetWindowPos(window, nullptr, 30, 40, 600, 320, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT closeRect = windowRect(GetDlgItem(window, IDCANCEL)), listRect = windowRect(list());
    GetClientRect(window, &client);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&listRect), 2);
    EXPECT_EQ((RECT{0, 0, client.right, client.bottom - (closeRect.bottom - closeRect.top) - 8}), listRect);
    // Esc through the dialog keys hides the window and gives the focus back.
    SetFocus(list());
    MSG escape{list(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageA(window, &escape));
    EXPECT_TRUE(!IsWindowVisible(window) && GetFocus() == app.mainWindow);
    ListView_SetColumnWidth(list(), 2, 250);
    DestroyWindow(window);
    app.updateWindow = nullptr;
    expectIni("UpdateDialog", {{"CHW", "120"}, {"OLDW", "250"}, {"WindowX", "30"}, {"WindowCX", "600"}, {"WindowCY", "320"}});
}

}  // namespace
}  // namespace corvane
