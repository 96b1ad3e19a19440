#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "app/startup_win.h"
#include "resources/resource.h"

namespace corvane {
namespace {

HINSTANCE thisModule() { return GetModuleHandleA(nullptr); }

std::string menuText(HMENU menu, UINT position) {
    char text[128] = {};
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

TEST(Startup, MainWindowHasClassTitleAndMenuBar) {
    MainWindowClass windowClass;
    ASSERT_TRUE(registerMainWindowClass(thisModule(), windowClass));
    EXPECT_STREQ("Corvane", windowClass.title);
    EXPECT_STREQ("CORVANE", windowClass.className);
    // A second registration (another window of the same process) still works.
    EXPECT_TRUE(registerMainWindowClass(thisModule(), windowClass));

    HWND window = createMainWindow(thisModule(), windowClass, MainWindowPlacement{});
    ASSERT_NE(nullptr, window);
    char text[100] = {};
    GetClassNameA(window, text, sizeof text);
    EXPECT_STREQ("CORVANE", text);
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ("Corvane", text);
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    EXPECT_EQ(WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL,
              style & (WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_HSCROLL));
    EXPECT_FALSE(style & WS_VISIBLE);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(100, rect.left);
    EXPECT_EQ(100, rect.top);
    EXPECT_EQ(830, rect.right - rect.left);
    EXPECT_EQ(400, rect.bottom - rect.top);

    HMENU bar = GetMenu(window);
    ASSERT_NE(nullptr, bar);
    ASSERT_EQ(5, GetMenuItemCount(bar));
    EXPECT_EQ("ファイル(&F)", menuText(bar, MENU_POS_FILE));
    EXPECT_EQ("列表示(&C)", menuText(bar, MENU_POS_COLUMNS));
    EXPECT_EQ("日付(&D)", menuText(bar, MENU_POS_DATES));
    EXPECT_EQ("設定(&S)", menuText(bar, MENU_POS_SETTINGS));
    EXPECT_EQ("ヘルプ(&H)", menuText(bar, MENU_POS_HELP));

    // The data menus later rebuilt at run time are popups where the code expects them.
    HMENU file = GetSubMenu(bar, MENU_POS_FILE);
    EXPECT_EQ("チャンネル別表示(&C)", menuText(file, MENU_POS_FILE_CHANNEL_VIEW));
    EXPECT_NE(nullptr, GetSubMenu(file, MENU_POS_FILE_CHANNEL_VIEW));
    EXPECT_NE(nullptr, GetSubMenu(bar, MENU_POS_COLUMNS));
    EXPECT_NE(nullptr, GetSubMenu(bar, MENU_POS_DATES));
    EXPECT_EQ(static_cast<UINT>(IDM_VIEW_CH_NO),
              GetMenuItemID(GetSubMenu(bar, MENU_POS_SETTINGS), 5));

    DestroyWindow(window);
}

LRESULT CALLBACK recordCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        SetWindowLongPtrA(window, GWLP_USERDATA, LOWORD(wParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(Startup, AltSlashAndAltQuestionMarkOpenTheAboutBox) {
    HACCEL accelerators = loadMainAccelerators(thisModule());
    ASSERT_NE(nullptr, accelerators);

    WNDCLASSA wc{};
    wc.lpfnWndProc = recordCommand;
    wc.hInstance = thisModule();
    wc.lpszClassName = "CorvaneAcceleratorProbe";
    RegisterClassA(&wc);
    HWND probe = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, thisModule(), nullptr);
    ASSERT_NE(nullptr, probe);

    // The accelerators look at the thread's key state, so hold Alt there.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE altBefore = keys[VK_MENU];
    keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
    const LPARAM altContext = 0x20000001;
    for (char key : {'/', '?'}) {
        SetWindowLongPtrA(probe, GWLP_USERDATA, 0);
        MSG msg{probe, WM_SYSCHAR, static_cast<WPARAM>(key), altContext, 0, {}};
        EXPECT_TRUE(TranslateAcceleratorA(probe, accelerators, &msg)) << key;
        EXPECT_EQ(IDM_ABOUT, GetWindowLongPtrA(probe, GWLP_USERDATA)) << key;
    }
    keys[VK_MENU] = 0;
    SetKeyboardState(keys);
    // Without Alt the same character is ordinary typing.
    MSG plain{probe, WM_CHAR, '/', 1, 0, {}};
    EXPECT_FALSE(TranslateAcceleratorA(probe, accelerators, &plain));
    keys[VK_MENU] = altBefore;
    SetKeyboardState(keys);

    DestroyWindow(probe);
    UnregisterClassA(wc.lpszClassName, thisModule());
}

INT_PTR CALLBACK keepDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// Every template must load: a control class or style the system rejects
// would otherwise only show when that window first opens.
TEST(Startup, EveryDialogTemplateLoadsWithItsControls) {
    InitCommonControls();
    struct Expected {
        int dialog;
        int control;
        const char* caption;
    };
    const Expected templates[] = {
        {IDD_ABOUTBOX, IDOK, "バージョン情報"},
        {IDD_GENRE_COLOR, IDC_GENRE_SWATCH_FIRST + 11, "番組ジャンル色設定"},
        {IDD_PROGRESS, IDC_PROGRESS_BAR, "EPGデータファイルの読み込み"},
        {IDD_UPDATE_INFO, IDC_UPDATE_LIST, "更新情報"},
        {IDD_IEPG_SETUP, IDC_STATION_LIST, "iEPG設定"},
        {IDD_POPUP, IDC_POPUP_TEXT, ""},
        {IDD_GENRE_LIST, IDC_GENRE_TREE, "ジャンル別リスト"},
        {IDD_CHANNEL_ORDER, IDC_ORDER_LIST, "チャンネル順設定"},
        {IDD_VIEW_SETUP, IDC_VIEW_DETAIL_COLOR, "画面設定"},
        {IDD_RESERVATION_LIST, IDC_RESERVATION_LIST, "予約リスト"},
        {IDD_TASK_REGISTRATION, IDC_TASK_SATURDAY, "tunerecタスク登録"},
        {IDD_ACCOUNT, IDC_ACCOUNT_PASSWORD_CONFIRM, "アカウントの設定"},
    };
    for (const Expected& e : templates) {
        HWND dialog = CreateDialogParamA(thisModule(), MAKEINTRESOURCEA(e.dialog), nullptr,
                                         keepDialog, 0);
        ASSERT_NE(nullptr, dialog) << e.dialog;
        EXPECT_NE(nullptr, GetDlgItem(dialog, e.control)) << e.dialog;
        char caption[100] = {};
        GetWindowTextA(dialog, caption, sizeof caption);
        EXPECT_STREQ(e.caption, caption) << e.dialog;
        EXPECT_FALSE(IsWindowVisible(dialog)) << e.dialog;
        DestroyWindow(dialog);
    }

    // The genre check boxes carry the twelve major genre names in order.
    HWND genres = CreateDialogParamA(thisModule(), MAKEINTRESOURCEA(IDD_GENRE_COLOR), nullptr,
                                     keepDialog, 0);
    ASSERT_NE(nullptr, genres);
    char name[64] = {};
    GetDlgItemTextA(genres, IDC_GENRE_CHECK_FIRST, name, sizeof name);
    EXPECT_STREQ("ニュース／報道", name);
    GetDlgItemTextA(genres, IDC_GENRE_CHECK_FIRST + 8, name, sizeof name);
    EXPECT_STREQ("ドキュメンタリー／教養", name);
    GetDlgItemTextA(genres, IDC_GENRE_CHECK_FIRST + 11, name, sizeof name);
    EXPECT_STREQ("福祉", name);
    DestroyWindow(genres);
}

TEST(Startup, SdMarkIsThirteenPixelsSquareAndMonochrome) {
    HBITMAP mark = LoadBitmapA(thisModule(), IDR_SDBMP_NAME);
    ASSERT_NE(nullptr, mark);
    BITMAP info{};
    GetObjectA(mark, sizeof info, &info);
    EXPECT_EQ(13, info.bmWidth);
    EXPECT_EQ(13, info.bmHeight);
    EXPECT_EQ(1, info.bmBitsPixel);
    DeleteObject(mark);
}

}  // namespace
}  // namespace corvane
