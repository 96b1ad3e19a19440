#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "app/startup_win.h"
#include "resources/resource.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

HINSTANCE thisModule() { return GetModuleHandleA(nullptr); }

int lastCommand = 0;
INT_PTR CALLBACK keepDialog(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND) lastCommand = LOWORD(wParam);
    return message == WM_INITDIALOG || message == WM_COMMAND;
}

// Every template must load: a control class or style the system rejects
// would otherwise only show when that window first opens. Alt+/ and Alt+?
// open the about box.
TEST(Startup, EveryDialogTemplateLoadsWithItsControlsAndAltSlashOrAltQuestionMarkOpensTheAboutBox) {
    InitCommonControls();
    const struct {
        int dialog, control;
        const char* caption;
    } templates[] = {
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
    HWND probe = nullptr;  // the about box
    for (const auto& e : templates) {
        HWND dialog = CreateDialogParamA(thisModule(), MAKEINTRESOURCEA(e.dialog), nullptr, keepDialog, 0);
        ASSERT_NE(nullptr, dialog) << e.dialog;
        EXPECT_NE(nullptr, GetDlgItem(dialog, e.control)) << e.dialog;
        EXPECT_EQ(e.caption, windowText(dialog)) << e.dialog;
        EXPECT_FALSE(IsWindowVisible(dialog)) << e.dialog;
        if (e.dialog == IDD_ABOUTBOX) probe = dialog;
        else DestroyWindow(dialog);
    }

    HACCEL accelerators = loadMainAccelerators(thisModule());
    // The accelerators look at the thread's key state, so hold Alt there;
    // without Alt the same character is ordinary typing.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE altBefore = keys[VK_MENU];
    for (auto [alt, message, key] : {std::tuple{true, WM_SYSCHAR, '/'}, {true, WM_SYSCHAR, '?'}, {false, WM_CHAR, '/'}}) {
        keys[VK_MENU] = alt ? 0x80 : 0;
        SetKeyboardState(keys);
        lastCommand = 0;
        MSG msg{probe, static_cast<UINT>(message), static_cast<WPARAM>(key), alt ? 0x20000001 : 1, 0, {}};
        EXPECT_EQ(alt, TranslateAcceleratorA(probe, accelerators, &msg) != 0) << key;
        EXPECT_EQ(alt ? IDM_ABOUT : 0, lastCommand) << key;
    }
    keys[VK_MENU] = altBefore;
    SetKeyboardState(keys);
    DestroyWindow(probe);
}

}  // namespace
}  // namespace corvane
