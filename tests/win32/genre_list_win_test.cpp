// The genre list window driven through its controls. Which rows a genre
// lists, their order, colours and texts are decided and tested without a
// window (genre_list_test); here they have to arrive in the real controls.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "dialogs/genre_list_win.h"
#include "resources/resource.h"
#include "support/fake_guide_host.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

// The window's host over a layout rig; a plain window stands in for the guide's.
struct TestGenreListHost : GenreListHost, LayoutRig {
    TestGenreListHost() : LayoutRig("genre_list_win") {}
    HWND main = nullptr;
    ReservationList reservationList;
    HighlightedProgramme highlighted;
    std::vector<std::string> registrations;  // "prepare <service> <title>", "execute", "<command>"

    HWND mainWindow() override { return main; }
    GuideLayout& layout() override { return LayoutRig::layout; }
    const EpgStore* store() override { return LayoutRig::store.get(); }
    const ReservationList& reservations() override { return reservationList; }
    Settings& settings() override { return LayoutRig::settings; }
    HighlightedProgramme& highlight() override { return highlighted; }
    void prepareRegistration(HWND, int service, const GuideEvent& e) override {
        registrations.push_back("prepare " + std::to_string(service) + " " + e.title);
    }
    void executeRegistration(HWND) override { registrations.push_back("execute"); }
    void runRegistrationCommand(HWND, int command) override { registrations.push_back(std::to_string(command)); }
};

class GenreListWinTest : public testing::Test {
protected:
    void SetUp() override {
        host.main = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        // Films at 20:30 and 21:00 on the first service, at 21:00 (shorter) and 22:00 on the second.
        putSchedule(store(), 1024, 0x7FE0, 0,
                    {{dayAt(20), 1800, "ニュース", "", 0, 0}, {dayAt(20, 30), 1800, "映画劇場", "一行目\r二行目\r", 6, 0, 0xB3},
                     {dayAt(21), 3600, "アニメ映画", "", 6, 2}});
        putSchedule(store(), 1025, 0x7FE0, 0, {{dayAt(21), 1800, "短編アニメ", "", 6, 2}, {dayAt(22), 3600, "洋画", "", 6, 0}});
        host.LayoutRig::host.clock = localDayAt(20);
        host.LayoutRig::layout.buildListLayout(store());
    }
    void TearDown() override { DestroyWindow(host.main); }  // and the window it owns

    EpgStore* store() { return host.LayoutRig::store.get(); }
    void create() { ASSERT_NE(nullptr, window = createGenreListWindow(GetModuleHandleA(nullptr), host)); }
    HWND control(int id) { return GetDlgItem(window, id); }
    std::string textOf(int id) { return windowText(control(id)); }
    // Selects the root of major genre `major`, or its child `sub`.
    void selectGenre(int major, int sub = -1) {
        HWND tree = control(IDC_GENRE_TREE);
        HTREEITEM item = TreeView_GetRoot(tree);
        for (int i = 0; i < major; ++i) item = TreeView_GetNextSibling(tree, item);
        if (sub >= 0) item = TreeView_GetChild(tree, item);
        for (int i = 0; i < sub; ++i) item = TreeView_GetNextSibling(tree, item);
        TreeView_SelectItem(tree, item);
    }
    std::vector<LPARAM> rowKeys() { return listViewParams(control(IDC_GENRE_EVENTS)); }
    std::string cell(int row, int column) { return listCell(control(IDC_GENRE_EVENTS), row, column); }
    void clickRow(int row) {
        HWND list = control(IDC_GENRE_EVENTS);
        RECT r{};
        ListView_GetItemRect(list, row, &r, LVIR_LABEL);
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 5, r.top + 2));
        SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(r.left + 5, r.top + 2));
    }
    void clickColumn(int column) { clickListColumn(control(IDC_GENRE_EVENTS), column); }
    void command(int id) { SendMessageA(window, WM_COMMAND, id, 0); }
    RECT placeOf(int id) {
        RECT r = windowRect(control(id));
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    TestGenreListHost host;
    HWND window = nullptr;
};

TEST_F(GenreListWinTest, TheTreeChoosesTheRowsAClickShowsOneADoubleClickItsPlaceInTheGuideColumnsSortBothWays) {
    // An active TvRock reservation over the second film row (the shorter one at 21:00).
    ReservationRecord tvRock;
    tvRock.kind = 1, tvRock.start = localDayAt(21), tvRock.end = localDayAt(21, 30), tvRock.serviceId = 1025;
    host.reservationList.push_back(tvRock);
    host.LayoutRig::host.height = 200;
    host.LayoutRig::settings.writeString("GenreList", "SpY", "124");  // four rows below the search box
    create();
    EXPECT_EQ(12u + 91u, TreeView_GetCount(control(IDC_GENRE_TREE)));
    // Without a stored "SpX" the tree shows every genre name whole.
    HWND tree = control(IDC_GENRE_TREE);
    for (HTREEITEM root = TreeView_GetRoot(tree); root; root = TreeView_GetNextSibling(tree, root))
        TreeView_Expand(tree, root, TVE_EXPAND);
    RECT inside{}, name{};
    GetClientRect(tree, &inside);
    for (HTREEITEM item = TreeView_GetRoot(tree); item; item = TreeView_GetNextVisible(tree, item))
        EXPECT_TRUE(TreeView_GetItemRect(tree, item, &name, TRUE) && name.right <= inside.right);
    // The first root ("ニュース／報道") is selected; its row's details are shown.
    EXPECT_EQ(std::vector<LPARAM>{0}, rowKeys());
    EXPECT_EQ(std::tuple("1024", "2026/12/07(月) 20:00", "ニュース"), std::tuple(cell(0, 0), cell(0, 1), cell(0, 2)));
    selectGenre(6);
    EXPECT_EQ((std::vector<LPARAM>{1000, 1, 2000, 1001}), rowKeys());
    EXPECT_EQ("[1024]　－　映画\r\n2026/12/07(月) 20:30～21:00 1080i(16:9)", textOf(IDC_GENRE_HEADER));
    EXPECT_EQ("【映画劇場】\r\n\r\n一行目\r\n二行目", textOf(IDC_GENRE_DESCRIPTION));

    // Drawn in the rows' colours: the reserved one in TvRock's blue with white text.
    HWND list = control(IDC_GENRE_EVENTS);
    RECT client;
    GetClientRect(list, &client);
    const MemoryCanvas canvas(client.right, client.bottom);
    SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc), PRF_CLIENT | PRF_ERASEBKGND);
    std::vector<COLORREF> rows;
    std::vector<int> white;
    for (int row = 0; row < 4; ++row) {
        RECT r{};
        ListView_GetItemRect(list, row, &r, LVIR_BOUNDS);
        rows.push_back(canvas.at(r.left + 115, (r.top + r.bottom) / 2));  // right in the "CH" column
        white.push_back(canvas.count(r.left, r.top, r.left + 110, r.bottom, [](uint32_t c) { return c == 0xffffff; }));
    }
    EXPECT_EQ((std::vector<COLORREF>{0xfff4f4, 0xff0000, 0xfff4f4, 0xffefef}), rows);
    EXPECT_GT(white[1], white[0] + 20);  // beyond the list's own white margin
    selectGenre(6, 2);
    EXPECT_EQ((std::vector<LPARAM>{1, 2000}), rowKeys());
    EXPECT_EQ("[1025]　－　映画（アニメ）\r\n2026/12/07(月) 21:00～21:30 480i(--)", textOf(IDC_GENRE_HEADER));
    EXPECT_EQ("prepare 1 短編アニメ", host.registrations.back());  // the programme shown is the one to register

    selectGenre(6);
    clickRow(2);
    EXPECT_EQ("【アニメ映画】\r\n\r\n", textOf(IDC_GENRE_DESCRIPTION));
    SendMessageA(control(IDC_GENRE_EVENTS), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(3, ListView_GetNextItem(control(IDC_GENRE_EVENTS), -1, LVNI_SELECTED));
    EXPECT_EQ("【アニメ映画】\r\n\r\n", textOf(IDC_GENRE_DESCRIPTION));

    // "番組表" (posted by a double click) highlights the programme shown and scrolls the guide to it.
    clickRow(3);
    SendMessageA(control(IDC_GENRE_EVENTS), WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    pumpMessages();
    const HighlightedProgramme& h = host.highlighted;
    EXPECT_EQ(std::tuple(HighlightOwner::genreList, 1025, 0, localDayAt(22), localDayAt(23), -1),
              std::tuple(h.owner, h.serviceId, h.networkClass, h.start, h.end, h.dayColumn));
    EXPECT_EQ(120 * 2 - 60, host.LayoutRig::layout.view.scrollY);

    // Registration: the button and the commands of its menu reach it; with
    // no programme in the pane (a genre without any) the button does nothing.
    host.registrations.clear();
    command(IDC_GENRE_REGISTER);
    command(IDM_GENRE_REGISTER_FILE_OR_WEB);
    command(IDM_GENRE_REGISTER_TUNEREC);
    selectGenre(11);
    command(IDC_GENRE_REGISTER);
    selectGenre(6);
    EXPECT_EQ((std::vector<std::string>{"execute", "12100", "12101", "prepare 0 映画劇場"}), host.registrations);

    clickColumn(1);  // oldest first; after a refill again oldest first, then newest first
    EXPECT_EQ((std::vector<LPARAM>{1000, 1, 2000, 1001}), rowKeys());
    refillGenreList();
    clickColumn(1);
    EXPECT_EQ((std::vector<LPARAM>{1000, 1, 2000, 1001}), rowKeys());
    clickColumn(1);
    EXPECT_EQ((std::vector<LPARAM>{1001, 2000, 1, 1000}), rowKeys());

    // A hidden column's programmes leave the list with the next rebuild.
    selectGenre(6, 2);
    host.LayoutRig::settings.writeString("ColumnDisp", "1025", "0");
    host.LayoutRig::layout.buildListLayout(store());
    refillGenreList();
    EXPECT_EQ(std::vector<LPARAM>{2000}, rowKeys());
}

// Splitters a drag never gives are held inside: the tree and the list keep 40 pixels of width, the
// list and the details 40 of height (on every size change; the sharing in genre_list_test).
TEST_F(GenreListWinTest, StoredSplittersAreHeldInsideADragMovesThemAndDestroyingWritesTheKeys) {
    for (auto [key, value] : {std::pair{"SpX", "-50"}, {"SpY", "100000"}, {"CHW", "80"}, {"WindowCX", "600"},
                              {"WindowCY", "400"}, {"WindowX", "30"}, {"WindowY", "40"}})
        host.LayoutRig::settings.writeString("GenreList", key, value);
    create();
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ((RECT{0, 0, 40, client.bottom}), placeOf(IDC_GENRE_TREE));
    EXPECT_EQ(client.bottom - 40 - 2, placeOf(IDC_GENRE_EVENTS).bottom);

    // Over the vertical splitter the size cursor shows and the mouse is captured;
    // pressed and moved 100 pixels right, the tree follows; released, all is back.
    const HCURSOR classCursor = reinterpret_cast<HCURSOR>(GetClassLongPtrA(window, GCLP_HCURSOR));
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(43, 50));
    EXPECT_TRUE(GetCapture() == window && GetClassLongPtrA(window, GCLP_HCURSOR) == 0);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(43, 50));
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(143, 60));
    EXPECT_EQ(140, placeOf(IDC_GENRE_TREE).right);
    EXPECT_EQ(144, placeOf(IDC_GENRE_EVENTS).left);
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(143, 60));
    EXPECT_TRUE(GetCapture() == nullptr &&
                reinterpret_cast<HCURSOR>(GetClassLongPtrA(window, GCLP_HCURSOR)) == classCursor);

    DestroyWindow(window);
    const auto stored = [&](const char* key) { return host.LayoutRig::settings.readString("GenreList", key, "", 100); };
    EXPECT_EQ(std::tuple("80", "300", "320", "142", std::to_string(client.bottom - 40), "30", "40", "600", "400"),
              std::tuple(stored("CHW"), stored("DATEW"), stored("NAMEW"), stored("SpX"), stored("SpY"),
                         stored("WindowX"), stored("WindowY"), stored("WindowCX"), stored("WindowCY")));
}

// Reads the screen and moves the one pointer, so it runs alone (see CMakeLists.txt).
class GenreListRealPointerTest : public GenreListWinTest {};

TEST_F(GenreListRealPointerTest, ButtonsStayDrawnAfterADragEveryPaneKeepsRoomAndTheSortedColumnShowsItsArrow) {
    auto screen = [](HWND shown) {  // its pixels as the screen shows them
        const RECT r = windowRect(shown);
        std::vector<COLORREF> pixels;
        HDC dc = GetDC(nullptr);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) pixels.push_back(GetPixel(dc, x, y));
        ReleaseDC(nullptr, dc);
        return pixels;
    };
    // The real pointer presses on the splitter below the list and lets go `dy` pixels lower.
    auto dragSplitter = [&](int dy) {
        POINT at{placeOf(IDC_GENRE_EVENTS).left + 60, placeOf(IDC_GENRE_EVENTS).bottom + 2};
        ClientToScreen(window, &at);
        INPUT button{INPUT_MOUSE, {}};
        for (int step = 0; step <= 6; ++step) {
            SetCursorPos(at.x, at.y + dy * std::clamp(step - 1, 0, 4) / 4);
            button.mi.dwFlags = step == 1 ? MOUSEEVENTF_LEFTDOWN : step == 6 ? MOUSEEVENTF_LEFTUP : 0;
            if (button.mi.dwFlags) SendInput(1, &button, sizeof button);
            pumpMessages(step == 6 ? 300 : 60);
        }
    };
    create();
    ShowWindow(window, SW_SHOWNORMAL);
    pumpMessages(300);
    auto buttons = [&] { return std::pair(screen(control(IDC_GENRE_REGISTER)), screen(control(IDC_GENRE_SHOW))); };
    const auto drawn = buttons();
    dragSplitter(150);  // the buttons go down with it and are drawn where they land as they were
    EXPECT_TRUE(drawn == buttons());

    // Maximised, the splitter dragged far down, restored: tree, list and details keep their room.
    ShowWindow(window, SW_MAXIMIZE);
    pumpMessages(300);
    dragSplitter(400);
    ShowWindow(window, SW_RESTORE);
    pumpMessages(300);
    RECT client{};
    GetClientRect(window, &client);
    const RECT tree = placeOf(IDC_GENRE_TREE), list = placeOf(IDC_GENRE_EVENTS);
    EXPECT_GE(std::min({tree.right, list.right - list.left, list.bottom}), 40);
    EXPECT_EQ(std::pair(40L, client.bottom), std::pair(client.bottom - list.bottom - 2, placeOf(IDC_GENRE_DESCRIPTION).bottom));

    // The system's arrow on the sorted column's header, up then down; none after a refill.
    HWND header = ListView_GetHeader(control(IDC_GENRE_EVENTS));
    const std::vector<COLORREF> plain = screen(header);
    clickColumn(1);
    pumpMessages(200);
    const std::vector<COLORREF> up = screen(header);
    clickColumn(1);
    pumpMessages(200);
    EXPECT_TRUE(plain != up && up != screen(header));
    refillGenreList();
    pumpMessages(200);
    EXPECT_TRUE(plain == screen(header));
}

}  // namespace
}  // namespace corvane
