// Resource, control, command and timer ids of corvane.exe. Plain #defines so
// that both windres (corvane.rc) and the C++ sources read the same numbers.
#ifndef CORVANE_RESOURCES_RESOURCE_H
#define CORVANE_RESOURCES_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// ---------------------------------------------------------------------------
// Application resources
// ---------------------------------------------------------------------------
#define IDS_APP_TITLE               103   // "Corvane": main window title
#define IDS_WINDOW_CLASS            109   // "CORVANE": main window class name
#define IDI_CORVANE                 107   // large icon
#define IDI_SMALL                   108   // small icon
#define IDR_MAIN_MENU               109   // menu bar of the main window
#define IDR_MAIN_ACCELERATORS       109   // Alt+"?" and Alt+"/" give IDM_ABOUT; Ctrl+O, S, G, R, U, F the menu commands
// The manifest of the version 6 common controls the list windows are made with
// (a manifest resource, type 24; not 1, which would hold for every window).
// The SD mark is a named resource (not numbered): load it by this name.
#define IDR_SDBMP_NAME              "IDR_SDBMP"

// ---------------------------------------------------------------------------
// Dialog templates
// ---------------------------------------------------------------------------
#define IDD_ABOUTBOX                103   // version information
#define IDD_GENRE_COLOR             121   // genre colours (modal)
#define IDD_PROGRESS                123   // transport-stream load progress (modal)
#define IDD_UPDATE_INFO             129   // update information window (modeless)
#define IDD_IEPG_SETUP              130   // registration setup (modal)
#define IDD_POPUP                   131   // quick-registration popup (modeless)
#define IDD_GENRE_LIST              134   // genre list window (modeless)
#define IDD_CHANNEL_ORDER           135   // channel order (modal)
#define IDD_VIEW_SETUP              136   // view setup (modal)
#define IDD_RESERVATION_LIST        137   // reservation list window (modeless)
#define IDD_TASK_REGISTRATION       138   // tunerec task registration (modal)
#define IDD_ACCOUNT                 413   // account of a tunerec task (modal)
#define IDD_FIND_BAR                414   // find bar over the guide (child of the main window)

// ---------------------------------------------------------------------------
// Menu bar commands (menu IDR_MAIN_MENU)
// ---------------------------------------------------------------------------
// "ファイル(&F)"
#define IDM_OPEN_FILE               32773 // "ファイルの読み込み(&R)"
#define IDM_CLEAR                   32775 // "クリア(&C)"
#define IDM_UPDATE_INFO             127   // "更新情報の表示(&U)"
#define IDM_GENRE_LIST              32783 // "ジャンル別表示(&G)"
#define IDM_RESERVATION_LIST        32796 // "予約リストの表示"
#define IDM_RESERVATION_UPDATE      32801 // "予約リストの更新" (also in the reservation list's system menu)
#define IDM_FIND                    32803 // "番組の検索(&S)": the find bar
#define IDM_SAVE_AS                 32797 // "名前を付けて保存(&A)"
#define IDM_EXIT                    105   // "アプリケーションの終了(&X)"
// "列表示(&C)" and "日付(&D)" before the first layout: plain items without effect
#define IDM_COLUMN_PLACEHOLDER      32787
#define IDM_DATE_PLACEHOLDER        32788
// "設定(&S)"
#define IDM_NOW_LINE                122   // "現在の時刻に線を描画(&N)"
#define IDM_GENRE_COLOR             120   // "番組ジャンル色設定(&G)"
#define IDM_IEPG_SETUP              32779 // "iEPG設定(&I)"
#define IDM_CHANNEL_ORDER           32785 // "チャンネル順設定(&C)"
#define IDM_VIEW_SETUP              32789 // "画面設定(&V)"
#define IDM_VIEW_CH_NO              32798 // "チャンネル番号を表示する(&N)"
// "ヘルプ(&H)"
#define IDM_ABOUT                   104   // "バージョン情報(&A)..."

// Top-level positions of the menu bar and of the channel view popup.
#define MENU_POS_FILE               0
#define MENU_POS_COLUMNS            1
#define MENU_POS_DATES              2
#define MENU_POS_SETTINGS           3
#define MENU_POS_HELP               4
#define MENU_POS_FILE_CHANNEL_VIEW  4     // "チャンネル別表示(&C)" inside "ファイル(&F)"

// Commands of the data menus rebuilt with every layout.
#define IDM_COLUMN_FIRST            10000 // + service index (< 300): toggle a column
#define IDM_CHANNEL_VIEW_FIRST      11000 // + service index (< 300): channel view
#define IDM_DATE_FIRST              30000 // + day (<= 9): date jump
#define IDM_SERVICE_LIMIT           300

// Registration commands (second step of a registration).
#define IDM_REGISTER_FILE_OR_WEB    12000 // from the popup, handled by the main window
#define IDM_REGISTER_TUNEREC        12001
#define IDM_GENRE_REGISTER_FILE_OR_WEB 12100 // from the genre list, handled there
#define IDM_GENRE_REGISTER_TUNEREC  12101

// Commands posted between windows.
#define IDM_POPUP_REGISTER          32780 // popup -> main window: register the selection
#define IDM_OPEN_COMMAND_LINE       32790 // main window -> itself at start-up
#define IDM_RESERVATION_REFRESH     32791 // -> reservation list window: refresh
#define IDM_UPDATE_REFRESH          1020  // -> update information window: refresh
#define IDM_RESERVATION_DELETE      32802 // reservation list popup menu: "予約の削除"

// ---------------------------------------------------------------------------
// Timers
// ---------------------------------------------------------------------------
#define TIMER_GUIDE_REPAINT         1000  // main window: one shot after an on-air programme ends
#define TIMER_HOUSEKEEPING          1001  // main window: every 1000 ms
#define TIMER_PROGRESS_START        2000  // progress dialog: one shot, 500 ms
#define TIMER_POPUP_WATCH           2001  // popup: every 100 ms

// ---------------------------------------------------------------------------
// Controls, by dialog. Button ids 1 (IDOK) and 2 (IDCANCEL) are Windows' own.
// ---------------------------------------------------------------------------
// Genre colours (IDD_GENRE_COLOR): twelve check boxes and swatches, index = major genre
#define IDC_GENRE_CHECK_FIRST       300   // 300..311
#define IDC_GENRE_SWATCH_FIRST      400   // 400..411, owner-drawn
#define IDC_GENRE_NO_DISP           412   // "選択されたジャンル以外を表示しない"
#define GENRE_MAJOR_COUNT           12

// Progress (IDD_PROGRESS); IDCANCEL is "中断"
#define IDC_PROGRESS_FILE           124   // file name, centred
#define IDC_PROGRESS_BAR            125
#define IDC_PROGRESS_SIZE           126   // "%sMB/%sMB", right-aligned

// Update information window (IDD_UPDATE_INFO); IDCANCEL is "閉じる"
#define IDC_UPDATE_LIST             1019
#define IDC_UPDATE_CLEAR            130   // "クリア"

// Registration setup (IDD_IEPG_SETUP)
#define IDC_IEPG_ENABLE             1000  // "iEPG機能を使用する(Vurda)"
#define IDC_IEPG_APP_PATH           1001  // "iEPG対応アプリ"
#define IDC_IEPG_APP_BROWSE         1002
#define IDC_TUNEREC_ENABLE          1003  // "iEPG機能を使用する(tunerec)"
#define IDC_PRESET_ACCOUNT          1005  // "アカウント名"
#define IDC_PRESET_APP_PATH         1006  // "tunerecアプリ"
#define IDC_PRESET_APP_BROWSE       1007
#define IDC_PRESET_FOLDER           1008  // "保存フォルダ"
#define IDC_PRESET_FOLDER_BROWSE    1009
#define IDC_PRESET_PASSWORD         1010
#define IDC_PRESET_PASSWORD_CONFIRM 1013
#define IDC_STATION_LIST            1018
#define IDC_TARGET_IEPG             1041
#define IDC_TARGET_EPGTIMER         1042
#define IDC_TARGET_TVROCK           1043
#define IDC_TVROCK_HOST             1044
#define IDC_PRESET_POWER_OFF        1045
#define IDC_PRESET_B25              1046
#define IDC_PRESET_BCS              1047
#define IDC_PRESET_POWER_ON         1048
#define IDC_PRESET_SEL              1050
#define IDC_PRESET_ID               1051
#define IDC_PRESET_OTHER            1060  // "他"
#define IDC_PRESET_LOGON            1061  // "ログオンしている場合のみ実行する"
#define IDC_PRESET_UDP              1062
#define IDC_PRESET_UDP_HOST         1063
#define IDC_PRESET_LIST             1065
#define IDC_PRESET_NAME             1066  // "名前"

// Quick-registration popup (IDD_POPUP); IDOK registers, IDCANCEL is "×"
#define IDC_POPUP_TEXT              1005  // description, read-only
#define IDC_POPUP_TITLE             1022  // "[channel] - date", notifies clicks
#define IDC_POPUP_TIME              1023  // times and picture format, notifies clicks

// Genre list window (IDD_GENRE_LIST)
#define IDC_GENRE_TREE              1027
#define IDC_GENRE_EVENTS            1028
#define IDC_GENRE_DESCRIPTION       1029
#define IDC_GENRE_REGISTER          1030  // "EPG登録"
#define IDC_GENRE_SHOW              1031  // "番組表"
#define IDC_GENRE_HEADER            1032
#define IDC_GENRE_SEARCH            1033  // the words the rows' titles must hold

// Find bar (IDD_FIND_BAR); IDOK is "次へ", IDCANCEL is "×"
#define IDC_FIND_QUERY              1080
#define IDC_FIND_PREVIOUS           1081  // "前へ"
#define IDC_FIND_DESCRIPTIONS       1082  // "説明も検索"
#define IDC_FIND_KANA               1083  // "ひらがな・カタカナを区別しない"
#define IDC_FIND_COUNT              1084  // "n 件"

// Channel order (IDD_CHANNEL_ORDER)
#define IDC_ORDER_LIST              1018
#define IDC_ORDER_UP                1024  // "上へ"
#define IDC_ORDER_DOWN              1025  // "下へ"

// View setup (IDD_VIEW_SETUP)
#define IDC_VIEW_NAME_COLOR         1031  // owner-drawn swatch
#define IDC_VIEW_DETAIL_COLOR       1032  // owner-drawn swatch
#define IDC_VIEW_HOUR_HEIGHT        1035  // "時間(分)の高さ"
#define IDC_VIEW_CHANNEL_WIDTH      1036  // "チャンネルの幅"
#define IDC_VIEW_DETAIL_ON          1037  // "する"
#define IDC_VIEW_DETAIL_OFF         1038  // "しない"
#define IDC_VIEW_NAME_FONT          1039
#define IDC_VIEW_DETAIL_FONT        1040
#define IDC_VIEW_EPGTIMER           1045
#define IDC_VIEW_TVROCK             1046
#define IDC_VIEW_TVROCK_FILE        1047
#define IDC_VIEW_TVROCK_BROWSE      1048
#define IDC_VIEW_TUNEREC            1049

// Reservation list window (IDD_RESERVATION_LIST)
#define IDC_RESERVATION_LIST        1019

// Task registration (IDD_TASK_REGISTRATION); IDOK is "登録"
#define IDC_TASK_CHANNEL            1005  // channel name, read-only
#define IDC_TASK_CHANNEL_NO         1006  // "@%d", "@b%03d", "@c%03d", read-only
#define IDC_TASK_FILE               1007  // output file
#define IDC_TASK_FILE_BROWSE        1008
#define IDC_TASK_DATE               1009  // "%04d/%02d/%02d(%s)", read-only
#define IDC_TASK_TIME               1010  // "%02d:%02d-%02d:%02d", read-only
#define IDC_TASK_POWER_ON           1040
#define IDC_TASK_POWER_OFF          1041
#define IDC_TASK_B25                1042
#define IDC_TASK_BCS                1043
#define IDC_TASK_SEL                1049
#define IDC_TASK_SCHEDULE           1052  // "一回のみ", "毎日", "週単位"
#define IDC_TASK_SUNDAY             1053  // 1053..1059: Sunday..Saturday
#define IDC_TASK_MONDAY             1054
#define IDC_TASK_TUESDAY            1055
#define IDC_TASK_WEDNESDAY          1056
#define IDC_TASK_THURSDAY           1057
#define IDC_TASK_FRIDAY             1058
#define IDC_TASK_SATURDAY           1059
#define IDC_TASK_CONFLICTS          1060  // overlapping tunerec jobs, read-only
#define IDC_TASK_LOGON              1061
#define IDC_TASK_UDP                1062
#define IDC_TASK_PRESET             1065
#define IDC_TASK_OTHER              1068  // extra options
#define IDC_TASK_START_PICKER       1069  // not in the template: unused time pickers
#define IDC_TASK_END_PICKER         1070

// Account of a task (IDD_ACCOUNT)
#define IDC_ACCOUNT_NAME            1005
#define IDC_ACCOUNT_PASSWORD        1010
#define IDC_ACCOUNT_PASSWORD_CONFIRM 1013

#endif
