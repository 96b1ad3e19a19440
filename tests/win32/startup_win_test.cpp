#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "app/startup_win.h"
#include "dialogs/genre_table.h"
#include "resources/resource.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

HINSTANCE thisModule() { return GetModuleHandleA(nullptr); }

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
    wc.lpfnWndProc = recordCommand, wc.hInstance = thisModule(), wc.lpszClassName = "CorvaneAcceleratorProbe";
    RegisterClassA(&wc);
    HWND probe = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, thisModule(), nullptr);
    ASSERT_NE(nullptr, probe);

    // The accelerators look at the thread's key state, so hold Alt there;
    // without Alt the same character is ordinary typing.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE altBefore = keys[VK_MENU];
    for (auto [alt, message, key] : {std::tuple{true, WM_SYSCHAR, '/'}, {true, WM_SYSCHAR, '?'}, {false, WM_CHAR, '/'}}) {
        keys[VK_MENU] = alt ? 0x80 : 0;
        SetKeyboardState(keys);
        SetWindowLongPtrA(probe, GWLP_USERDATA, 0);
        MSG msg{probe, static_cast<UINT>(message), static_cast<WPARAM>(key), alt ? 0x20000001 : 1, 0, {}};
        EXPECT_EQ(alt, TranslateAcceleratorA(probe, accelerators, &msg) != 0) << key;
        EXPECT_EQ(alt ? IDM_ABOUT : 0, GetWindowLongPtrA(probe, GWLP_USERDATA)) << key;
    }
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
        EXPECT_EQ(e.caption, windowText(dialog)) << e.dialog;
        EXPECT_FALSE(IsWindowVisible(dialog)) << e.dialog;
        DestroyWindow(dialog);
    }

    // The genre check boxes carry the twelve major genre names in order.
    HWND genres = CreateDialogParamA(thisModule(), MAKEINTRESOURCEA(IDD_GENRE_COLOR), nullptr, keepDialog, 0);
    ASSERT_NE(nullptr, genres);
    for (int major = 0; major < GenreTable::majorCount; ++major)
        EXPECT_EQ(GenreTable::majorName(major), windowText(GetDlgItem(genres, IDC_GENRE_CHECK_FIRST + major)));
    DestroyWindow(genres);
}

}  // namespace
}  // namespace corvane
