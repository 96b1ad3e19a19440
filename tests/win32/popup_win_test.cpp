// The popup as the user meets it: clicks on the guide, where it opens, when
// it goes away, and how it is moved. Its texts are built and tested without
// a window (guide_paint_test); here they only have to arrive.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>

#include "guide/popup_win.h"
#include "resources/resource.h"
#include "support/fake_guide_host.h"
#include "support/temp_ini.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

// Programmes of one service from 20:00: three half hours, then a long night.
// Painted (on a recording surface) at x 50 with HourHight 2: the titles of
// one line are hit at client y 20..36, 80..96 and 140..156.
constexpr int kX = 60, kFirstY = 25;

// The popup's host over a layout rig: a plain window stands in for the main window.
struct TestPopupHost : PopupHost, LayoutRig {
    TestPopupHost() : LayoutRig("popup_win") {}
    HWND main = nullptr;
    HWND mainWindow() override { return main; }
    GuideLayout& layout() override { return LayoutRig::layout; }
    const EpgStore* store() override { return LayoutRig::store.get(); }
    Settings& settings() override { return LayoutRig::settings; }
    void prepareRegistration(HWND, int, const GuideEvent&) override {}
};

class PopupWinTest : public testing::Test {
protected:
    void SetUp() override {
        host.main = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
        putSchedule(host.LayoutRig::store.get(), 1024, 0x7FE0, 0,
                    {{dayAt(20), 1800, "ニュース", "一行目\r二行目\r", -1, 0, 0xB3}, {dayAt(20, 30), 1800, "天気", "", -1, 0, 0x01},
                     {dayAt(21), 1800, "映画"}, {dayAt(21, 30), 37800, "深夜"}});
        host.LayoutRig::host.clock = localDayAt(20, 10);
        host.LayoutRig::layout.buildListLayout(host.LayoutRig::store.get());
        RecordingPaintSurface surface;
        host.paintOn(surface);  // the column's place and the title blocks
        ASSERT_EQ(17, host.LayoutRig::layout.events[0][2].titleHeight);
        placement = readPopupPlacement(host.settings(), 100, 100);
        ASSERT_NE(nullptr, popup = createPopupWindow(GetModuleHandleA(nullptr), host, placement));
    }
    void TearDown() override { DestroyWindow(host.main); }  // and the popup it owns

    void click(int x, int y) { clickGuide(host, popup, x, y); }
    std::string textOf(int id) { return windowText(GetDlgItem(popup, id)); }
    bool visible() { return IsWindowVisible(popup) != FALSE; }
    Selection selection() { return host.layout().view.selection; }
    // Hidden with nothing selected: the next click on a programme shows it again.
    bool closed() { return !visible() && selection() == Selection{}; }

    TestPopupHost host;
    DialogPlacement placement;
    HWND popup = nullptr;
};

// (Its registration button is pressed in RegistrationWinTest, main_window_win_test.)
TEST_F(PopupWinTest, ClicksOnTheGuideTheCloseButtonTheCornerTheTimeAwayAndTheDistanceShowAndHideIt) {
    click(kX, kFirstY);
    EXPECT_TRUE(visible() && selection() == (Selection{0, 0}));
    EXPECT_EQ("[" + host.layout().channels[0].columnName + "] - 2026/12/07(月)", textOf(IDC_POPUP_TITLE));
    EXPECT_EQ("【ニュース】\r\n\r\n一行目\r\n二行目\r\n\r\nEventID = 1\r\n", textOf(IDC_POPUP_TEXT));
    click(kX, kFirstY);  // the selected programme again
    EXPECT_TRUE(closed());
    click(kX, kFirstY);
    click(kX, kFirstY + 60);  // another programme while shown: refilled
    EXPECT_TRUE(visible() && selection() == (Selection{0, 1}));
    EXPECT_EQ(" 20:30～21:00 480i(4:3)", textOf(IDC_POPUP_TIME));
    click(kX, 50);  // below a title block there is no programme to hit
    EXPECT_TRUE(closed());

    click(kX, kFirstY);
    SendMessageA(popup, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);  // "×"
    EXPECT_TRUE(closed());
    click(kX, kFirstY);
    host.LayoutRig::host.clock = localDayAt(23);
    click(10, 10);
    EXPECT_EQ(180 * 2 - 60, host.layout().view.scrollY);  // 180 minutes in, 60 pixels below the header
    EXPECT_TRUE(closed());

    // Shown beside the pointer, it hides after five seconds away or at once beyond 150 pixels.
    click(kX, kFirstY);
    showPopup(popup, 200, 200);
    const RECT r = windowRect(popup);
    const POINT away{r.right + 100, r.top + 10};
    for (int i = 0; i < 49; ++i) popupTick(popup, away);
    EXPECT_TRUE(visible());
    popupTick(popup, away);  // the 50th tick: five seconds
    EXPECT_TRUE(closed());

    // The pointer on the popup, even on its very edge, starts the count again.
    click(kX, kFirstY);
    showPopup(popup, 200, 200);
    for (int i = 0; i < 40; ++i) popupTick(popup, away);
    popupTick(popup, POINT{r.right, r.bottom});
    for (int i = 0; i < 40; ++i) popupTick(popup, away);
    EXPECT_TRUE(visible());

    // Exactly 150 pixels beyond any side is still near; 151 hides at once.
    const POINT edges[] = {{r.right + 150, r.top}, {r.left - 150, r.bottom}, {r.left, r.top - 150}, {r.right, r.bottom + 150}};
    for (POINT p : edges) popupTick(popup, p);
    EXPECT_TRUE(visible());
    popupTick(popup, POINT{r.right + 151, r.top});
    EXPECT_TRUE(closed());

    // Near the right edge of the screen it opens to the left of the pointer.
    const RECT desktop = windowRect(GetDesktopWindow());
    showPopup(popup, desktop.right - 10, 120);
    EXPECT_EQ((RECT{desktop.right - 15 - (r.right - r.left), 125, desktop.right - 15, 125 + r.bottom - r.top}),
              windowRect(popup));
}

// Tests that move the one pointer of the display run alone (see CMakeLists.txt).
class PopupRealPointerTest : public PopupWinTest {};

// A real press on the channel line, a move and a release, as the user does it.
TEST_F(PopupRealPointerTest, DraggingTheHeaderMovesThePopupAndPopDialogKeepsItsPlace) {
    // Nothing stored: beside the main window's stored position, 320 x 200.
    EXPECT_EQ((RECT{122, 117, 122 + 320, 117 + 200}), windowRect(popup));
    click(kX, kFirstY);
    showPopup(popup, 100, 100);
    const RECT before = windowRect(popup);
    const RECT title = windowRect(GetDlgItem(popup, IDC_POPUP_TITLE));
    SetCursorPos(title.left + 20, (title.top + title.bottom) / 2);
    auto button = [](DWORD flags) {
        INPUT input{INPUT_MOUSE, {}};
        input.mi.dwFlags = flags;
        SendInput(1, &input, sizeof input);
        pumpMessages();
    };
    button(MOUSEEVENTF_LEFTDOWN);
    SetCursorPos(title.left + 20 + 70, (title.top + title.bottom) / 2 + 25);
    pumpMessages();
    button(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ((RECT{before.left + 70, before.top + 25, before.right + 70, before.bottom + 25}), windowRect(popup));
    EXPECT_NE(popup, GetCapture());
    EXPECT_TRUE(visible());  // the pointer stayed on it

    // Written to "PopDialog" when the popup goes away, read when it is made.
    SetWindowPos(popup, nullptr, 0, 0, 360, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT kept = windowRect(popup);
    DestroyWindow(popup);
    const DialogPlacement stored = readPopupPlacement(host.settings(), 100, 100);
    EXPECT_EQ(std::tuple(true, kept.left, 120), std::tuple(stored.stored, stored.x, stored.height));
    popup = createPopupWindow(GetModuleHandleA(nullptr), host, stored);
    EXPECT_EQ(kept, windowRect(popup));
}

}  // namespace
}  // namespace corvane
