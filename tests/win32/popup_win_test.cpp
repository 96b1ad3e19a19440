// The popup as the user meets it: clicks on the guide, where it opens, when
// it goes away, and how it is moved. Its texts are built and tested without
// a window (popup_text_test); here they only have to arrive.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/ini_settings.h"
#include "guide/popup_win.h"
#include "resources/resource.h"
#include "support/fake_guide_host.h"
#include "support/temp_ini.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

// Programmes of one service from 20:00: three half hours, then a long night.
// Painted at x 50 with title blocks of 16 pixels, HourHight 2: the titles are
// hit at client y 20..35, 80..95 and 140..155.
constexpr int kX = 60, kFirstY = 25;

class PopupWinTest : public testing::Test {
protected:
    void SetUp() override {
        // A plain window stands in for the main window: commands posted to it stay in the queue.
        app.instance = GetModuleHandleA(nullptr);
        app.mainWindow = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                         app.instance, nullptr);
        app.settings = std::make_unique<IniFileSettings>(ini.path());
        app.store = createStore();
        app.layout = std::make_unique<GuideLayout>(host, *app.settings, app.view);
        putSchedule(app.store, 1024, 0x7FE0, 0,
                    {{dayAt(20), 1800, "ニュース", "一行目\r二行目\r", -1, 0, 0xB3}, {dayAt(20, 30), 1800, "天気", "", -1, 0, 0x01},
                     {dayAt(21), 1800, "映画"}, {dayAt(21, 30), 37800, "深夜"}});
        host.clock = localDayAt(20, 10);
        app.layout->buildListLayout(app.store);
        // Nothing is painted here: set what painting would have recorded.
        app.layout->columnOrder[0].x = 50;
        for (GuideEvent& e : app.layout->events[0]) e.titleHeight = 16;
        ASSERT_NE(nullptr, app.popupWindow = createPopupWindow(app));
    }
    void TearDown() override { DestroyWindow(app.mainWindow); }  // and the popup it owns

    std::string textOf(int id) { return windowText(GetDlgItem(app.popupWindow, id)); }
    bool visible() { return IsWindowVisible(app.popupWindow) != FALSE; }
    Selection selection() { return app.layout->view.selection; }
    // Hidden with nothing selected: the next click on a programme shows it again.
    bool closed() { return !visible() && selection() == Selection{}; }

    TempIniFile ini{"popup_win"};
    FakeGuideHost host;
    AppState app;
};

TEST_F(PopupWinTest, ClickingTheSelectedProgrammeAgainHidesThePopupAndAThirdClickShowsIt) {
    clickGuide(app, kX, kFirstY);
    EXPECT_TRUE(visible() && selection() == (Selection{0, 0}));
    EXPECT_EQ("[" + app.layout->channels[0].columnName + "] - 2026/12/07(月)", textOf(IDC_POPUP_TITLE));
    EXPECT_EQ(" 20:00～20:30 1080i(16:9)", textOf(IDC_POPUP_TIME));
    EXPECT_EQ("【ニュース】\r\n\r\n一行目\r\n二行目\r\n\r\nEventID = 1\r\n", textOf(IDC_POPUP_TEXT));

    clickGuide(app, kX, kFirstY);
    EXPECT_TRUE(closed());
    clickGuide(app, kX, kFirstY);
    EXPECT_TRUE(visible() && selection() == (Selection{0, 0}));

    // Another programme while shown: refilled. The third has no component
    // descriptor at all.
    clickGuide(app, kX, kFirstY + 60);
    EXPECT_EQ(" 20:30～21:00 480i(4:3)", textOf(IDC_POPUP_TIME));
    clickGuide(app, kX, kFirstY + 120);
    EXPECT_EQ(" 21:00～21:30 480i(--)", textOf(IDC_POPUP_TIME));

    // Below a title block there is no programme to hit: deselect and hide.
    clickGuide(app, kX, 50);
    EXPECT_TRUE(closed());
}

TEST_F(PopupWinTest, TheButtonsRegisterOrCloseAndTheCornerButtonJumpsToNow) {
    clickGuide(app, kX, kFirstY);
    SendMessageA(app.popupWindow, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    MSG posted{};
    EXPECT_TRUE(PeekMessageA(&posted, app.mainWindow, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(IDM_POPUP_REGISTER, LOWORD(posted.wParam));
    EXPECT_TRUE(visible());
    SendMessageA(app.popupWindow, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);  // "×"
    EXPECT_TRUE(closed());

    clickGuide(app, kX, kFirstY);
    ASSERT_TRUE(visible());
    host.clock = localDayAt(23);
    clickGuide(app, 10, 10);
    EXPECT_EQ(180 * 2 - 60, app.layout->view.scrollY);  // 180 minutes in, 60 pixels below the header
    EXPECT_TRUE(closed());
}

TEST_F(PopupWinTest, OpensBesideThePointerAndHidesAfterFiveSecondsAwayOrAtOnceBeyond150Pixels) {
    clickGuide(app, kX, kFirstY);
    showPopup(app, 200, 200);
    const RECT r = windowRect(app.popupWindow);
    const POINT away{r.right + 100, r.top + 10};
    for (int i = 0; i < 49; ++i) popupTick(app, away);
    EXPECT_TRUE(visible());
    popupTick(app, away);  // the 50th tick: five seconds
    EXPECT_TRUE(closed());

    // The pointer on the popup, even on its very edge, starts the count again.
    clickGuide(app, kX, kFirstY);
    showPopup(app, 200, 200);
    for (int i = 0; i < 40; ++i) popupTick(app, away);
    popupTick(app, POINT{r.right, r.bottom});
    for (int i = 0; i < 40; ++i) popupTick(app, away);
    EXPECT_TRUE(visible());

    // Exactly 150 pixels beyond any side is still near; 151 hides at once.
    const POINT edges[] = {{r.right + 150, r.top}, {r.left - 150, r.bottom}, {r.left, r.top - 150}, {r.right, r.bottom + 150}};
    for (POINT p : edges) popupTick(app, p);
    EXPECT_TRUE(visible());
    popupTick(app, POINT{r.right + 151, r.top});
    EXPECT_TRUE(closed());

    // Near the right edge of the screen it opens to the left of the pointer.
    const RECT desktop = windowRect(GetDesktopWindow());
    showPopup(app, desktop.right - 10, 120);
    EXPECT_EQ((RECT{desktop.right - 15 - (r.right - r.left), 125, desktop.right - 15, 125 + r.bottom - r.top}),
              windowRect(app.popupWindow));
}

// Tests that move the one pointer of the display run alone (see CMakeLists.txt).
class PopupRealPointerTest : public PopupWinTest {};

// A real press on the channel line, a move and a release, as the user does it.
TEST_F(PopupRealPointerTest, DraggingTheHeaderMovesThePopupAndPopDialogKeepsItsPlace) {
    // Nothing stored: beside the main window's stored position, 320 x 200.
    EXPECT_EQ((RECT{122, 117, 122 + 320, 117 + 200}), windowRect(app.popupWindow));
    clickGuide(app, kX, kFirstY);
    showPopup(app, 100, 100);
    const RECT before = windowRect(app.popupWindow);
    const RECT title = windowRect(GetDlgItem(app.popupWindow, IDC_POPUP_TITLE));
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
    EXPECT_EQ((RECT{before.left + 70, before.top + 25, before.right + 70, before.bottom + 25}), windowRect(app.popupWindow));
    EXPECT_NE(app.popupWindow, GetCapture());
    EXPECT_TRUE(visible());  // the pointer stayed on it

    // Written to "PopDialog" when the popup goes away, read when it is made.
    SetWindowPos(app.popupWindow, nullptr, 0, 0, 360, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT kept = windowRect(app.popupWindow);
    DestroyWindow(app.popupWindow);
    EXPECT_EQ(kept.left, app.settings->readInt("PopDialog", "WindowX", -1));
    EXPECT_EQ(120, app.settings->readInt("PopDialog", "WindowCY", -1));
    app.popupWindow = createPopupWindow(app);
    EXPECT_EQ(kept, windowRect(app.popupWindow));
}

}  // namespace
}  // namespace corvane
