// The popup as the user meets it: clicks on the guide, the texts it shows,
// where it opens, when it goes away, and how it is moved.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "app/ini_settings.h"
#include "guide/popup_win.h"
#include "resources/resource.h"
#include "support/fake_guide_host.h"
#include "support/guide_fixture.h"
#include "support/temp_ini.h"
#include "tools/broadcast/si_builder.h"

inline bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
inline void PrintTo(const RECT& r, std::ostream* out) {
    *out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

namespace corvane {
namespace {

namespace bc = corvane::broadcast;

// Monday 2026-12-07, wall-clock times of the broadcast.
int64_t at(int hour, int minute = 0, int day = 7) { return bc::broadcastTime(2026, 12, day, hour, minute); }

class FixedClock : public Clock {
public:
    int64_t value = 0;
    int64_t now() override { return value; }
};

// The main window stands in as a plain window that remembers the last
// command posted to it.
LRESULT CALLBACK recordingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        SetWindowLongPtrA(window, GWLP_USERDATA, LOWORD(wParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

const char* mainWindowClass() {
    static const char* name = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = recordingWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = "CorvanePopupTestMain";
        RegisterClassA(&wc);
        return wc.lpszClassName;
    }();
    return name;
}

void pumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string textOf(HWND window) {
    char text[8192] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

RECT windowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

RECT clientRectOf(HWND control) {
    RECT r = windowRect(control);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Programmes of one service from 20:00: three half hours, then a long night.
// Painted at x 50 with title blocks of 16 pixels, HourHight 2: the titles are
// hit at client y 20..35, 80..95, 140..155 and 200..215.
constexpr int kColumnX = 60;
constexpr int kFirstTitleY = 25;
constexpr int kSecondTitleY = 85;
constexpr int kThirdTitleY = 145;

class PopupWinTest : public testing::Test {
protected:
    void SetUp() override {
        app.instance = GetModuleHandleA(nullptr);
        app.settings = std::make_unique<IniFileSettings>(ini.path());
        auto fixed = std::make_unique<FixedClock>();
        clock = fixed.get();
        app.clock = std::move(fixed);
        app.store = createStore();
        app.layout = std::make_unique<GuideLayout>(host, *app.settings, app.view);
        app.mainWindow = CreateWindowExA(0, mainWindowClass(), "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                         nullptr, nullptr, app.instance, nullptr);
        ASSERT_NE(nullptr, app.mainWindow);
        setAppState(&app);
    }

    void TearDown() override {
        if (app.popupWindow) DestroyWindow(app.popupWindow);
        app.popupWindow = nullptr;
        DestroyWindow(app.mainWindow);
        app.mainWindow = nullptr;
        pumpMessages();
        setAppState(nullptr);
    }

    void loadGuide(const bc::Bytes& firstExtended = {}) {
        Programme hd{at(20), 1800, "ニュース", "一行目\r二行目\r"};
        hd.componentType = 0xB3;
        Programme sd{at(20, 30), 1800, "天気"};
        sd.componentType = 0x01;
        Programme plain{at(21), 1800, "映画"};
        Programme night{at(21, 30), 10 * 3600 + 1800, "深夜"};
        putSchedule(app.store, 1024, 0x7FE0, 0, {hd, sd, plain, night});
        if (!firstExtended.empty()) {
            bc::EitEvent e;
            e.eventId = 1;
            e.start = at(20);
            e.duration = 1800;
            e.descriptors = firstExtended;
            bc::Eit eit;
            eit.tableId = 0x58;
            eit.serviceId = 1024;
            eit.originalNetworkId = 0x7FE0;
            eit.events = {e};
            bc::Bytes section = bc::eitSection(eit);
            storeEitSection(app.store, section.data(), section.size());
        }
        host.clock = localOf(at(20, 10));
        clock->value = host.clock;
        app.layout->buildListLayout(app.store);
        // Nothing is painted here: set what painting would have recorded.
        for (GuideColumn& column : app.layout->columnOrder) column.x = 50;
        for (GuideEvent& e : app.layout->events[0]) e.titleHeight = 16;
    }

    void openPopup() {
        app.popupWindow = createPopupWindow(app);
        ASSERT_NE(nullptr, app.popupWindow);
    }

    HWND item(int id) { return GetDlgItem(app.popupWindow, id); }
    bool visible() { return IsWindowVisible(app.popupWindow) != FALSE; }
    Selection selection() { return app.layout->view.selection; }

    TempIniFile ini{"popup_win"};
    FakeGuideHost host;
    FixedClock* clock = nullptr;
    AppState app;
};

TEST_F(PopupWinTest, ClickingTheSelectedProgrammeAgainHidesThePopupAndAThirdClickShowsIt) {
    loadGuide();
    openPopup();
    EXPECT_FALSE(visible());

    clickGuide(app, kColumnX, kFirstTitleY);
    EXPECT_EQ((Selection{0, 0}), selection());
    EXPECT_TRUE(visible());
    EXPECT_TRUE(popupShown(app));

    clickGuide(app, kColumnX, kFirstTitleY);
    EXPECT_EQ(Selection{}, selection());
    EXPECT_FALSE(visible());
    EXPECT_FALSE(popupShown(app));

    clickGuide(app, kColumnX, kFirstTitleY);
    EXPECT_EQ((Selection{0, 0}), selection());
    EXPECT_TRUE(visible());

    // Another programme while shown: refilled, still shown.
    clickGuide(app, kColumnX, kSecondTitleY);
    EXPECT_EQ((Selection{0, 1}), selection());
    EXPECT_TRUE(visible());
    EXPECT_EQ(" 20:30～21:00 480i(4:3)", textOf(item(IDC_POPUP_TIME)));

    // Headers and the time column below the corner do nothing.
    clickGuide(app, kColumnX, 10);
    clickGuide(app, 10, 100);
    EXPECT_EQ((Selection{0, 1}), selection());
    EXPECT_TRUE(visible());

    // Below a title block there is no programme to hit: deselect and hide.
    clickGuide(app, kColumnX, 50);
    EXPECT_EQ(Selection{}, selection());
    EXPECT_FALSE(visible());
}

TEST_F(PopupWinTest, ShowsChannelDateTimesPictureFormatAndDescription) {
    loadGuide(bc::extendedEventDescriptors({{"出演者", "山田"}, {"", "太郎"}}));
    openPopup();
    const std::string channel = app.layout->channels[0].columnName;
    ASSERT_FALSE(channel.empty());

    clickGuide(app, kColumnX, kFirstTitleY);
    EXPECT_EQ("[" + channel + "] - 2026/12/07(月)", textOf(item(IDC_POPUP_TITLE)));
    EXPECT_EQ(" 20:00～20:30 1080i(16:9)", textOf(item(IDC_POPUP_TIME)));
    // Detail lines joined by CR LF with nothing after the last; the item text
    // continued without a heading joins the item before it.
    EXPECT_EQ("【ニュース】\r\n\r\n一行目\r\n二行目\r\n\r\n出演者\r\n山田太郎\r\n\r\nEventID = 1\r\n",
              textOf(item(IDC_POPUP_TEXT)));
    EXPECT_TRUE(IsWindowVisible(item(IDC_POPUP_TEXT)));

    clickGuide(app, kColumnX, kSecondTitleY);
    EXPECT_EQ(" 20:30～21:00 480i(4:3)", textOf(item(IDC_POPUP_TIME)));
    EXPECT_EQ("【天気】\r\n\r\n\r\n\r\nEventID = 2\r\n", textOf(item(IDC_POPUP_TEXT)));

    // No component descriptor at all.
    clickGuide(app, kColumnX, kThirdTitleY);
    EXPECT_EQ(" 21:00～21:30 480i(--)", textOf(item(IDC_POPUP_TIME)));
}

TEST_F(PopupWinTest, NothingHappensWithoutData) {
    openPopup();
    clickGuide(app, kColumnX, kFirstTitleY);
    clickGuide(app, 10, 10);
    EXPECT_FALSE(visible());
    EXPECT_EQ(Selection{}, selection());
    EXPECT_TRUE(host.invalidated.empty());
}

TEST_F(PopupWinTest, TheCornerButtonJumpsToNowAndHidesThePopup) {
    loadGuide();
    openPopup();
    clickGuide(app, kColumnX, kFirstTitleY);
    ASSERT_TRUE(visible());

    host.clock = localOf(at(23));
    host.invalidated.clear();
    clickGuide(app, 10, 10);
    // 180 minutes after the start of the guide, drawn 60 pixels below the header.
    EXPECT_EQ(180 * 2 - 60, app.layout->view.scrollY);
    ASSERT_EQ(1u, host.invalidated.size());
    EXPECT_EQ(kHeaderHeight, host.invalidated[0].top);
    EXPECT_EQ(0, host.invalidated[0].left);
    EXPECT_FALSE(visible());
    // The selection goes with the popup, so the next click on it shows it again.
    EXPECT_EQ(Selection{}, selection());

    // Outside the guide's time range nothing scrolls; the popup still hides.
    app.layout->view.scrollY = 0;
    clickGuide(app, kColumnX, kFirstTitleY);
    ASSERT_TRUE(visible());
    host.clock = localOf(at(12, 0, 9));
    host.invalidated.clear();
    clickGuide(app, 10, 10);
    EXPECT_EQ(0, app.layout->view.scrollY);
    EXPECT_TRUE(host.invalidated.empty());
    EXPECT_FALSE(visible());
}

TEST_F(PopupWinTest, WithNothingToRegisterTheButtonIsHiddenWithoutText) {
    loadGuide();
    openPopup();
    EXPECT_EQ("EpgTimer登録", textOf(item(IDOK)));
    clickGuide(app, kColumnX, kFirstTitleY);
    EXPECT_FALSE(IsWindowVisible(item(IDOK)));
    EXPECT_EQ("", textOf(item(IDOK)));
    EXPECT_TRUE(IsWindowVisible(item(IDCANCEL)));
    // A resize lays the controls out again but does not bring the button back.
    SetWindowPos(app.popupWindow, nullptr, 0, 0, 500, 260, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_FALSE(IsWindowVisible(item(IDOK)));
    EXPECT_TRUE(IsWindowVisible(item(IDCANCEL)));
}

TEST_F(PopupWinTest, ButtonsRegisterOrClose) {
    loadGuide();
    openPopup();
    clickGuide(app, kColumnX, kFirstTitleY);

    SendMessageA(app.popupWindow, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    pumpMessages();
    EXPECT_EQ(IDM_POPUP_REGISTER, GetWindowLongPtrA(app.mainWindow, GWLP_USERDATA));
    EXPECT_TRUE(visible());

    SendMessageA(app.popupWindow, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(visible());
    EXPECT_EQ(Selection{}, selection());

    clickGuide(app, kColumnX, kSecondTitleY);
    ASSERT_TRUE(visible());
    SendMessageA(app.popupWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(visible());
    EXPECT_EQ(Selection{}, selection());
    EXPECT_TRUE(IsWindow(app.popupWindow));  // hidden, not destroyed
}

TEST_F(PopupWinTest, HidesAfterFiveSecondsAwayOrAtOnceBeyond150Pixels) {
    loadGuide();
    openPopup();
    clickGuide(app, kColumnX, kFirstTitleY);
    showPopup(app, 200, 200);
    const RECT r = windowRect(app.popupWindow);
    const POINT away{r.right + 100, r.top + 10};

    // 49 ticks (4.9 s) 100 pixels away: still there; the 50th hides it.
    for (int i = 0; i < 49; ++i) popupTick(app, away);
    EXPECT_TRUE(visible());
    popupTick(app, away);
    EXPECT_FALSE(visible());
    EXPECT_EQ(Selection{}, selection());

    // The pointer on the popup, even on its very edge, starts the count again.
    clickGuide(app, kColumnX, kFirstTitleY);
    showPopup(app, 200, 200);
    for (int i = 0; i < 40; ++i) popupTick(app, away);
    popupTick(app, POINT{r.right, r.bottom});
    for (int i = 0; i < 40; ++i) popupTick(app, away);
    EXPECT_TRUE(visible());
    // Showing again also restarts the count.
    showPopup(app, 200, 200);
    for (int i = 0; i < 49; ++i) popupTick(app, away);
    EXPECT_TRUE(visible());

    // Exactly 150 pixels beyond any side is still near; 151 hides at once.
    showPopup(app, 200, 200);
    popupTick(app, POINT{r.right + 150, r.top});
    popupTick(app, POINT{r.left - 150, r.bottom});
    popupTick(app, POINT{r.left, r.top - 150});
    popupTick(app, POINT{r.right, r.bottom + 150});
    EXPECT_TRUE(visible());
    popupTick(app, POINT{r.right + 151, r.top});
    EXPECT_FALSE(visible());
    EXPECT_EQ(Selection{}, selection());

    clickGuide(app, kColumnX, kFirstTitleY);
    showPopup(app, 200, 200);
    popupTick(app, POINT{r.left + 10, r.top - 151});
    EXPECT_FALSE(visible());

    // Hidden, it no longer counts.
    for (int i = 0; i < 60; ++i) popupTick(app, away);
    EXPECT_FALSE(visible());
}

TEST_F(PopupWinTest, OpensBesideThePointerAndFlipsAtTheDesktopEdges) {
    loadGuide();
    openPopup();
    clickGuide(app, kColumnX, kFirstTitleY);
    const RECT before = windowRect(app.popupWindow);
    const int width = before.right - before.left;
    const int height = before.bottom - before.top;
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);

    showPopup(app, 100, 120);
    RECT r = windowRect(app.popupWindow);
    EXPECT_EQ(105, r.left);
    EXPECT_EQ(125, r.top);
    EXPECT_EQ(width, r.right - r.left);
    EXPECT_EQ(height, r.bottom - r.top);

    // Near the right edge it opens to the left of the pointer.
    const int nearRight = desktop.right - 10;
    showPopup(app, nearRight, 120);
    r = windowRect(app.popupWindow);
    EXPECT_EQ(nearRight - width - 5, r.left);
    EXPECT_EQ(125, r.top);

    // Near the bottom it opens above; exactly fitting it stays below.
    const int nearBottom = desktop.bottom - 10;
    showPopup(app, 100, nearBottom);
    r = windowRect(app.popupWindow);
    EXPECT_EQ(105, r.left);
    EXPECT_EQ(nearBottom - height - 5, r.top);
    const int fits = desktop.bottom - height - 5;
    showPopup(app, 100, fits);
    EXPECT_EQ(fits + 5, windowRect(app.popupWindow).top);
    EXPECT_EQ(width, windowRect(app.popupWindow).right - windowRect(app.popupWindow).left);
}

TEST_F(PopupWinTest, TheDescriptionOpensAtItsTop) {
    std::string lines;
    for (int i = 0; i < 60; ++i) lines += "行\r";
    loadGuide(bc::extendedEventDescriptors({{"内容", lines}}));
    openPopup();
    clickGuide(app, kColumnX, kFirstTitleY);
    HWND description = item(IDC_POPUP_TEXT);
    SendMessageA(description, EM_LINESCROLL, 0, 30);
    ASSERT_GT(SendMessageA(description, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    showPopup(app, 100, 100);
    EXPECT_EQ(0, SendMessageA(description, EM_GETFIRSTVISIBLELINE, 0, 0));
}

TEST_F(PopupWinTest, IsABorderlessOwnedWindowLaidOutByItsSize) {
    openPopup();
    HWND popup = app.popupWindow;
    EXPECT_FALSE(visible());
    EXPECT_EQ(app.mainWindow, GetWindow(popup, GW_OWNER));
    const LONG_PTR style = GetWindowLongPtrA(popup, GWL_STYLE);
    EXPECT_EQ(0, style & WS_CAPTION);
    EXPECT_EQ(WS_THICKFRAME, style & WS_THICKFRAME);

    const RECT ok = windowRect(item(IDOK));
    const RECT cancel = windowRect(item(IDCANCEL));
    const int w1 = ok.right - ok.left;
    const int w2 = cancel.right - cancel.left;
    const int h2 = cancel.bottom - cancel.top;
    SetWindowPos(popup, nullptr, 0, 0, 520, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(popup, &client);
    const int W = client.right, H = client.bottom;

    EXPECT_EQ((RECT{W - w2 - 4, 4, W - 4, 4 + h2}), clientRectOf(item(IDCANCEL)));
    RECT r = clientRectOf(item(IDOK));
    EXPECT_EQ(W - w1 - w2 - 8, r.left);
    EXPECT_EQ(4, r.top);
    EXPECT_EQ(w1, r.right - r.left);
    const int line = (h2 + 8) / 2;
    EXPECT_EQ((RECT{4, 0, 4 + W - w1 - w2 - 12, line}), clientRectOf(item(IDC_POPUP_TITLE)));
    EXPECT_EQ((RECT{4, line, 4 + W - w1 - w2 - 12, 2 * line}), clientRectOf(item(IDC_POPUP_TIME)));
    EXPECT_EQ((RECT{0, h2 + 8, W, H}), clientRectOf(item(IDC_POPUP_TEXT)));

    MINMAXINFO limits{};
    SendMessageA(popup, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(320, limits.ptMinTrackSize.x);
    EXPECT_EQ(50, limits.ptMinTrackSize.y);

    // The dialog and its three texts share the pale yellow background.
    HDC dc = GetDC(popup);
    for (int id : {IDC_POPUP_TEXT, IDC_POPUP_TITLE, IDC_POPUP_TIME}) {
        SetBkColor(dc, RGB(0, 0, 0));
        HBRUSH brush = reinterpret_cast<HBRUSH>(
            SendMessageA(popup, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(item(id))));
        ASSERT_NE(nullptr, brush) << id;
        EXPECT_EQ(kPopupBackground, GetBkColor(dc)) << id;
        LOGBRUSH logical{};
        GetObjectA(brush, sizeof logical, &logical);
        EXPECT_EQ(kPopupBackground, logical.lbColor) << id;
    }
    HBRUSH dialogBrush = reinterpret_cast<HBRUSH>(SendMessageA(popup, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                                                               reinterpret_cast<LPARAM>(popup)));
    LOGBRUSH logical{};
    ASSERT_NE(nullptr, dialogBrush);
    GetObjectA(dialogBrush, sizeof logical, &logical);
    EXPECT_EQ(kPopupBackground, logical.lbColor);
    ReleaseDC(popup, dc);
}

TEST_F(PopupWinTest, PlacementComesFromPopDialogAndIsWrittenBackOnDestroy) {
    // Nothing stored: beside the main window's stored position, 320 x 200.
    openPopup();
    RECT r = windowRect(app.popupWindow);
    EXPECT_EQ((RECT{122, 117, 122 + 320, 117 + 200}), r);
    DestroyWindow(app.popupWindow);
    app.popupWindow = nullptr;
    EXPECT_EQ(122, app.settings->readInt("PopDialog", "WindowX", -1));
    EXPECT_EQ(117, app.settings->readInt("PopDialog", "WindowY", -1));
    EXPECT_EQ(320, app.settings->readInt("PopDialog", "WindowCX", -1));
    EXPECT_EQ(200, app.settings->readInt("PopDialog", "WindowCY", -1));

    writeDialogPlacement(*app.settings, "PopDialog", 40, 50, 400, 250);
    openPopup();
    EXPECT_EQ((RECT{40, 50, 440, 300}), windowRect(app.popupWindow));
    SetWindowPos(app.popupWindow, nullptr, 70, 80, 360, 120, SWP_NOZORDER | SWP_NOACTIVATE);
    DestroyWindow(app.popupWindow);
    app.popupWindow = nullptr;
    EXPECT_EQ(70, app.settings->readInt("PopDialog", "WindowX", -1));
    EXPECT_EQ(80, app.settings->readInt("PopDialog", "WindowY", -1));
    EXPECT_EQ(360, app.settings->readInt("PopDialog", "WindowCX", -1));
    EXPECT_EQ(120, app.settings->readInt("PopDialog", "WindowCY", -1));
}

// A real press on the channel line, a move and a release, as the user does it.
TEST_F(PopupWinTest, DraggingTheHeaderMovesThePopup) {
    loadGuide();
    openPopup();
    clickGuide(app, kColumnX, kFirstTitleY);
    showPopup(app, 100, 100);
    pumpMessages();
    const RECT before = windowRect(app.popupWindow);
    const RECT title = windowRect(item(IDC_POPUP_TITLE));
    const POINT press{title.left + 20, (title.top + title.bottom) / 2};

    SetCursorPos(press.x, press.y);
    pumpMessages();
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &input, sizeof input);
    pumpMessages();
    SetCursorPos(press.x + 40, press.y + 30);
    pumpMessages();
    SetCursorPos(press.x + 70, press.y + 25);
    pumpMessages();
    input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
    pumpMessages();

    const RECT after = windowRect(app.popupWindow);
    EXPECT_EQ(before.left + 70, after.left);
    EXPECT_EQ(before.top + 25, after.top);
    EXPECT_EQ(before.right - before.left, after.right - after.left);
    EXPECT_EQ(before.bottom - before.top, after.bottom - after.top);
    EXPECT_NE(app.popupWindow, GetCapture());
    EXPECT_TRUE(visible());  // the pointer stayed on it
}

TEST_F(PopupWinTest, HidingGivesTheKeyboardBackToTheMainWindow) {
    loadGuide();
    ShowWindow(app.mainWindow, SW_SHOW);
    openPopup();
    clickGuide(app, kColumnX, kFirstTitleY);
    SetFocus(item(IDCANCEL));
    ASSERT_EQ(item(IDCANCEL), GetFocus());
    hidePopup(app);
    EXPECT_EQ(app.mainWindow, GetFocus());

    // Also when the keyboard was somewhere else meanwhile.
    HWND other = CreateWindowExA(0, mainWindowClass(), "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                 nullptr, nullptr, app.instance, nullptr);
    ASSERT_NE(nullptr, other);
    clickGuide(app, kColumnX, kFirstTitleY);
    SetFocus(other);
    ASSERT_EQ(other, GetFocus());
    hidePopup(app);
    EXPECT_EQ(app.mainWindow, GetFocus());
    DestroyWindow(other);
}

}  // namespace
}  // namespace corvane
