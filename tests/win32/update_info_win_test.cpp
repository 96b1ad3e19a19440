// The update information window driven through its controls. Row texts,
// order and cell colours are decided and tested without a window
// (update_info_test); here they have to arrive in the real list.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "dialogs/update_info_win.h"
#include "resources/resource.h"
#include "support/change_fixture.h"
#include "support/fake_guide_host.h"
#include "support/store_sections.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

// The window's host over a layout rig; a plain window stands in for the guide's.
struct TestUpdateInfoHost : UpdateInfoHost, LayoutRig {
    TestUpdateInfoHost() : LayoutRig("update_info_win") {}
    HWND main = nullptr;
    ChangeList changeList;
    HighlightedProgramme highlighted;

    HWND mainWindow() override { return main; }
    Settings& settings() override { return LayoutRig::settings; }
    const EpgStore* store() override { return LayoutRig::store.get(); }
    GuideLayout& layout() override { return LayoutRig::layout; }
    ChangeList& changes() override { return changeList; }
    HighlightedProgramme& highlight() override { return highlighted; }
};

class UpdateInfoWinTest : public testing::Test {
protected:
    void SetUp() override {
        host.main = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        std::vector<Programme> today, tomorrow;
        for (int hour = 6; hour < 24; ++hour) {
            today.push_back({dayAt(hour), 3600, "番組"});
            tomorrow.push_back({dayAt(hour, 0, 8), 3600, "番組"});
        }
        putSchedule(store(), 1024, 0x7FE0, 0, today);
        putSchedule(store(), 1024, 0x7FE0, 64, tomorrow);
        setName(store()->services[0]->serviceName, store()->services[0]->serviceNameLength, "テスト放送");
        host.LayoutRig::host.clock = localDayAt(20);
        host.LayoutRig::layout.buildListLayout(store());
        ASSERT_NE(nullptr, window = createUpdateInfoWindow(GetModuleHandleA(nullptr), host));
    }
    void TearDown() override { DestroyWindow(host.main); }  // and the window it owns

    EpgStore* store() { return host.LayoutRig::store.get(); }
    HWND list() { return GetDlgItem(window, IDC_UPDATE_LIST); }
    void command(int id) { SendMessageA(window, WM_COMMAND, id, 0); }
    void append(const ChangeRecord& record) { host.changeList.append(record); }
    int rowCount() { return ListView_GetItemCount(list()); }
    std::vector<std::string> row(int position) {
        std::vector<std::string> texts;
        for (int column = 0; column < 4; ++column) {
            char text[512] = {};
            LVITEMA item{};
            item.iSubItem = column, item.pszText = text, item.cchTextMax = sizeof text;
            SendMessageA(list(), LVM_GETITEMTEXTA, position, reinterpret_cast<LPARAM>(&item));
            texts.push_back(text);
        }
        return texts;
    }
    std::vector<int64_t> values() {
        std::vector<int64_t> out;
        for (int i = 0; i < rowCount(); ++i) out.push_back(updateInfoRowValue(window, i));
        return out;
    }
    void clickColumn(int column) {
        NMLISTVIEW click{};
        click.hdr = {list(), IDC_UPDATE_LIST, static_cast<UINT>(LVN_COLUMNCLICK)};
        click.iItem = -1, click.iSubItem = column;
        SendMessageA(window, WM_NOTIFY, IDC_UPDATE_LIST, reinterpret_cast<LPARAM>(&click));
    }
    void clickRow(int position) {
        RECT r{};
        r.left = LVIR_BOUNDS;
        SendMessageA(list(), LVM_GETITEMRECT, position, reinterpret_cast<LPARAM>(&r));
        SendMessageA(list(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 5, r.top + 2));
        SendMessageA(list(), WM_LBUTTONUP, 0, MAKELPARAM(r.left + 5, r.top + 2));
    }
    RECT placeOf(HWND control) {
        RECT r = windowRect(control);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    TestUpdateInfoHost host;
    HWND window = nullptr;
};

TEST_F(UpdateInfoWinTest, RowsOfEveryKindReadBackAndTheLastIsVisible) {
    EXPECT_FALSE(IsWindowVisible(window));
    append(changeRecord(0, 1024, localDayAt(21), localDayAt(22), "映画", localDayAt(21, 30), localDayAt(22, 30), "映画"));
    append(changeRecord(0, 1024, localDayAt(20), localDayAt(21), "ニュース", localDayAt(20), localDayAt(21), "ニュース７"));
    append(changeRecord(7, 300, 0, 0, nullptr, localDayAt(5, 0, 12), localDayAt(6, 0, 12), "天気"));
    append(changeRecord(4, 211, localDayAt(9, 0, 13), localDayAt(10, 0, 13), "通販", 0, 0, nullptr));
    command(IDM_UPDATE_REFRESH);
    ASSERT_EQ(4, rowCount());
    EXPECT_EQ((std::vector<std::string>{"テスト放送", "2026/12/07(月)", "21:00～22:00 映画", "21:30～22:30 映画"}), row(0));
    EXPECT_EQ((std::vector<std::string>{"テスト放送", "2026/12/07(月)", "20:00～21:00 ニュース", "20:00～21:00 ニュース７"}),
              row(1));
    EXPECT_EQ((std::vector<std::string>{"CS300", "2026/12/12(土)", "", "05:00～06:00 天気"}), row(2));
    EXPECT_EQ((std::vector<std::string>{"BS211", "2026/12/13(日)", "09:00～10:00 通販", ""}), row(3));
    EXPECT_EQ((std::vector<int64_t>{0, 1, 2, 3}), values());

    // Enough rows for a scroll bar: the last one is scrolled into view.
    for (int i = 0; i < 60; ++i) append(changeRecord(0, 1024, 0, 0, nullptr, localDayAt(1), localDayAt(2), "深夜"));
    command(IDM_UPDATE_REFRESH);
    ASSERT_EQ(64, rowCount());
    const int top = ListView_GetTopIndex(list());
    EXPECT_GT(top, 0);
    EXPECT_GE(top + ListView_GetCountPerPage(list()), 64);
}

TEST_F(UpdateInfoWinTest, EachColumnSortsAscendingThenDescendingKeepingTheSelection) {
    for (const ChangeRecord& c : changesToSort([](int hour) { return localDayAt(hour); })) append(c);
    command(IDM_UPDATE_REFRESH);
    ListView_SetItemState(list(), 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    for (const ColumnOrders& c : kOrdersOfChangesToSort) {
        clickColumn(c.column);
        EXPECT_EQ(c.ascending, values()) << c.column;
        clickColumn(c.column);
        EXPECT_EQ(c.descending, values()) << c.column;
        // Record 2 stays selected and focused wherever it went.
        const int at = ListView_GetNextItem(list(), -1, LVNI_SELECTED);
        EXPECT_EQ(2, updateInfoRowValue(window, at));
        EXPECT_EQ(at, ListView_GetNextItem(list(), -1, LVNI_FOCUSED));
        EXPECT_EQ(-1, ListView_GetNextItem(list(), at, LVNI_SELECTED));
        const std::vector<int64_t> shown = values();
        const int record0 = static_cast<int>(std::find(shown.begin(), shown.end(), 0) - shown.begin());
        EXPECT_EQ("09:00～10:00 ｃ", row(record0)[3]) << "texts move with their rows";
    }
    // The flags outlive a refresh: the next click on "日時" sorts ascending again.
    command(IDM_UPDATE_REFRESH);
    clickColumn(1);
    EXPECT_EQ((std::vector<int64_t>{2, 1, 0, 3}), values());
}

TEST_F(UpdateInfoWinTest, ClickingARemovalFramesItsOldTimesAndClearKeepsLaterChanges) {
    append(changeRecord(0, 1024, localDayAt(21), localDayAt(22), "映画", localDayAt(21, 30), localDayAt(22, 30), "映画"));
    append(changeRecord(0, 1024, localDayAt(20), localDayAt(21), "ニュース", 0, 0, nullptr));
    command(IDM_UPDATE_REFRESH);
    ShowWindow(window, SW_SHOW);
    GuideLayout& guide = host.LayoutRig::layout;
    ASSERT_EQ(0, guide.view.scrollY);
    clickRow(1);
    const HighlightedProgramme& h = host.highlighted;
    EXPECT_EQ(std::tuple(HighlightOwner::updateInfo, 1024, 0, localDayAt(20), localDayAt(21), -1),
              std::tuple(h.owner, h.serviceId, h.networkClass, h.start, h.end, h.dayColumn));
    const int scrolledTo = guide.view.scrollY;
    EXPECT_GT(scrolledTo, 0) << "the guide scrolled to 20:00";
    clickRow(0);
    EXPECT_EQ(std::tuple(localDayAt(21, 30), localDayAt(22, 30)), std::tuple(h.start, h.end)) << "the new times";
    EXPECT_GT(guide.view.scrollY, scrolledTo);

    // The channel view of the service frames it in the day column that holds it.
    append(changeRecord(0, 1024, localDayAt(20, 0, 8), localDayAt(21, 0, 8), "番組", 0, 0, nullptr));
    command(IDM_UPDATE_REFRESH);
    guide.view.viewService = 0;
    guide.buildChannelLayout(store());
    ASSERT_GE(guide.dayColumns.size(), 2u);
    clickRow(2);
    EXPECT_EQ(std::tuple(localDayAt(20, 0, 8), guide.dayColumns[1].sortValue), std::tuple(h.start, h.dayColumn));
    guide.view.viewService = -1;
    guide.buildListLayout(store());
    command(IDM_UPDATE_REFRESH);
    append(changeRecord(7, 300, 0, 0, nullptr, localDayAt(5), localDayAt(6), "後から"));

    // A change found after the refresh survives "クリア"; the frame goes.
    command(IDC_UPDATE_CLEAR);
    EXPECT_EQ(0, rowCount());
    ASSERT_EQ(1u, host.changeList.size());
    EXPECT_EQ(localDayAt(5), host.changeList[0].newStart);
    EXPECT_FALSE(h.active());
    command(IDM_UPDATE_REFRESH);
    EXPECT_EQ((std::vector<std::string>{"CS300", "2026/12/07(月)", "", "05:00～06:00 後から"}), row(0));
}

TEST_F(UpdateInfoWinTest, PaintedRowsShowTheFillsAndTheDifferingCharactersInRed) {
    append(changeRecord(0, 1024, localDayAt(20), localDayAt(21), "ニュース", localDayAt(20), localDayAt(21), "ニュース７"));
    append(changeRecord(0, 1024, 0, 0, nullptr, localDayAt(21), localDayAt(22), "映画"));
    append(changeRecord(0, 1024, localDayAt(22), localDayAt(23), "天気", 0, 0, nullptr));
    append(changeRecord(0, 1024, localDayAt(20), localDayAt(21), "ニュース", localDayAt(21), localDayAt(22), "ニュース"));
    ListView_SetColumnWidth(list(), 0, 60), ListView_SetColumnWidth(list(), 1, 100);
    ListView_SetColumnWidth(list(), 2, 200), ListView_SetColumnWidth(list(), 3, 200);
    command(IDM_UPDATE_REFRESH);
    ListView_SetItemState(list(), 3, LVIS_SELECTED, LVIS_SELECTED);
    SetWindowPos(window, nullptr, 0, 0, 700, 300, SWP_NOZORDER | SWP_NOACTIVATE);

    RECT client{};
    GetClientRect(list(), &client);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(nullptr, screen);
    HGDIOBJ before = SelectObject(dc, bitmap);
    SendMessageA(list(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    // Per row: the colour at the right end of each cell, and how many pixels of each cell are red.
    const auto cells = [&](int position) {
        std::vector<std::tuple<COLORREF, int>> out;
        for (int column = 0; column < 4; ++column) {
            RECT r{};
            ListView_GetSubItemRect(list(), position, column, column == 0 ? LVIR_LABEL : LVIR_BOUNDS, &r);
            int red = 0;
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) red += GetPixel(dc, x, y) == RGB(255, 0, 0);
            out.emplace_back(GetPixel(dc, r.right - 2, (r.top + r.bottom) / 2), red);
        }
        return out;
    };
    const COLORREF even = 0xffefef, odd = 0xfff4f4, highlight = GetSysColor(COLOR_HIGHLIGHT);
    const auto row0 = cells(0), row1 = cells(1), row2 = cells(2), row3 = cells(3);
    SelectObject(dc, before);
    DeleteObject(bitmap);
    DeleteDC(dc);

    // One character appended: red in the new version only.
    EXPECT_EQ(std::tuple(even, even, even, even),
              std::tuple(std::get<0>(row0[0]), std::get<0>(row0[1]), std::get<0>(row0[2]), std::get<0>(row0[3])));
    EXPECT_EQ(0, std::get<1>(row0[2]));
    EXPECT_GT(std::get<1>(row0[3]), 0);
    // An addition: the old side dark; a removal: the old side grey and plain.
    EXPECT_EQ(std::tuple(odd, COLORREF{0x696969}, odd), std::tuple(std::get<0>(row1[0]), std::get<0>(row1[2]), std::get<0>(row1[3])));
    EXPECT_EQ(std::tuple(even, COLORREF{0xa9a9a9}, even), std::tuple(std::get<0>(row2[0]), std::get<0>(row2[2]), std::get<0>(row2[3])));
    EXPECT_EQ(0, std::get<1>(row1[3]) + std::get<1>(row2[2]));
    // Selected: the system's colour throughout; the moved hours are not pure red there.
    for (const auto& cell : row3) EXPECT_EQ(highlight, std::get<0>(cell));
    EXPECT_EQ(0, std::get<1>(row3[2]) + std::get<1>(row3[3]));
}

TEST_F(UpdateInfoWinTest, LayoutCloseAndTheSettingsWrittenAtDestruction) {
    SetWindowPos(window, nullptr, 30, 40, 600, 320, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(window, &client);
    HWND clear = GetDlgItem(window, IDC_UPDATE_CLEAR), close = GetDlgItem(window, IDCANCEL);
    const RECT closeRect = placeOf(close), clearRect = placeOf(clear);
    const int closeWidth = closeRect.right - closeRect.left, closeHeight = closeRect.bottom - closeRect.top;
    const int listHeight = client.bottom - closeHeight - 8;
    EXPECT_EQ((RECT{0, 0, client.right, listHeight}), placeOf(list()));
    EXPECT_EQ(std::tuple(8L, listHeight + 4L), std::tuple(clearRect.left, clearRect.top));
    EXPECT_EQ(std::tuple(client.right - closeWidth - 8L, listHeight + 4L), std::tuple(closeRect.left, closeRect.top));

    // Esc through the dialog keys hides the window and gives the focus back.
    ShowWindow(host.main, SW_SHOW);
    ShowWindow(window, SW_SHOW);
    SetFocus(list());
    MSG escape{list(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageA(window, &escape));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(host.main, GetFocus());
    ShowWindow(window, SW_SHOW);
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(window));

    ListView_SetColumnWidth(list(), 2, 250);
    DestroyWindow(window);
    Settings& ini = host.LayoutRig::settings;
    const auto key = [&](const char* name) { return ini.readString("UpdateDialog", name, "<none>", 100); };
    EXPECT_EQ((std::vector<std::string>{"120", "100", "250", "320", "30", "40", "600", "320"}),
              (std::vector<std::string>{key("CHW"), key("DATEW"), key("OLDW"), key("NEWW"), key("WindowX"),
                                        key("WindowY"), key("WindowCX"), key("WindowCY")}));
}

}  // namespace
}  // namespace corvane
