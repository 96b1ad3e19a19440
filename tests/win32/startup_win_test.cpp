#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "app/startup_win.h"
#include "dialogs/genre_table.h"
#include "resources/resource.h"

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
    HWND genres = CreateDialogParamA(thisModule(), MAKEINTRESOURCEA(IDD_GENRE_COLOR), nullptr, keepDialog, 0);
    ASSERT_NE(nullptr, genres);
    for (int major = 0; major < GenreTable::majorCount; ++major) {
        char name[64] = {};
        GetDlgItemTextA(genres, IDC_GENRE_CHECK_FIRST + major, name, sizeof name);
        EXPECT_STREQ(GenreTable::majorName(major), name);
    }
    DestroyWindow(genres);
}

}  // namespace
}  // namespace corvane
