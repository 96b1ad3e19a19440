// Drives the real view setup and channel order dialogs: a thread timer fires
// inside the dialog's modal loop, works its controls like a user and closes
// it. The colour, font and file choosers are scripted.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "dialogs/channel_order_dialog_win.h"
#include "dialogs/view_setup_dialog_win.h"
#include "resources/resource.h"
#include "store/settings_win.h"
#include "support/fake_guide_host.h"
#include "support/recording_message_boxes.h"
#include "support/store_sections.h"
#include "support/temp_ini.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

std::string itemText(HWND dialog, int id) {
    char text[300] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// The scripted choosers: a colour, a font with its colour, a schedule file.
bool confirmChooser = true;
bool pickColor(HWND, uint32_t, uint32_t customColors[16], uint32_t& chosen) {
    customColors[3] = 0x333333;
    chosen = 0x0080ff;
    return confirmChooser;
}
bool pickFont(HWND, LOGFONTA& font, uint32_t& color) {
    EXPECT_EQ(std::tuple(-12, std::string("ＭＳ ゴシック"), 128), std::tuple(font.lfHeight, std::string(font.lfFaceName), int{font.lfCharSet}));
    font.lfHeight = -14;
    font.lfWeight = 700;
    font.lfItalic = 255;
    std::strcpy(font.lfFaceName, "ＭＳ 明朝");
    color = 0x00ff00;
    return true;
}
bool pickFile(HWND, std::string& path) {
    EXPECT_EQ("D:\\Vurda\\tvrock.sch", path);
    path = "C:\\TvRock\\予約.sch";
    return true;
}

class ViewSetupDialogTest : public testing::Test {
protected:
    ViewSetupDialogTest() {
        ini.write("[ViewSetup]\r\nHourHight=99999999\r\nEpgTimerDisp=1\r\n");
        view = readViewSettings(settings);
        tools.recreateFonts(view);
        reservations.push_back(ReservationRecord{});
        frames = reservationFrames(reservations);
    }
    ~ViewSetupDialogTest() override { tools.destroy(); }

    int run() {
        ViewSetupTarget target{.view = view, .customColors = customColors, .settings = settings,
                               .paintTools = tools, .reservations = reservations, .reservationFrames = frames,
                               .messages = &messages, .chooseColor = pickColor, .chooseFont = pickFont,
                               .chooseScheduleFile = pickFile};
        const int result = runViewSetupDialog(nullptr, target);
        EXPECT_TRUE(DialogScript::ran);
        return result;
    }

    // Every control changed: numbers, detail off, the title font and colour,
    // TvRock's marks and file; the detail colour's chooser is cancelled.
    static void changeEverything(HWND dialog) {
        EXPECT_EQ(std::tuple("20", "180", true, true, false), std::tuple(itemText(dialog, IDC_VIEW_HOUR_HEIGHT),
                  itemText(dialog, IDC_VIEW_CHANNEL_WIDTH), checked(dialog, IDC_VIEW_DETAIL_ON),
                  checked(dialog, IDC_VIEW_EPGTIMER), checked(dialog, IDC_VIEW_TVROCK)));
        EXPECT_EQ(std::pair(0x000000u, 0x505050u),
                  std::pair(swatchColor(dialog, IDC_VIEW_NAME_COLOR), swatchColor(dialog, IDC_VIEW_DETAIL_COLOR)));
        SetDlgItemTextA(dialog, IDC_VIEW_HOUR_HEIGHT, "-3");
        SetDlgItemTextA(dialog, IDC_VIEW_CHANNEL_WIDTH, "240");
        for (int id : {IDC_VIEW_DETAIL_OFF, IDC_VIEW_NAME_COLOR, IDC_VIEW_TVROCK, IDC_VIEW_TVROCK_BROWSE}) pressButton(dialog, id);
        EXPECT_EQ(0x0080ffu, swatchColor(dialog, IDC_VIEW_NAME_COLOR));
        pressButton(dialog, IDC_VIEW_NAME_FONT);  // the font's colour replaces the swatch's
        EXPECT_EQ(0x00ff00u, swatchColor(dialog, IDC_VIEW_NAME_COLOR));
        confirmChooser = false;
        pressButton(dialog, IDC_VIEW_DETAIL_COLOR);
        confirmChooser = true;
        EXPECT_EQ(0x505050u, swatchColor(dialog, IDC_VIEW_DETAIL_COLOR));
        EXPECT_EQ("C:\\TvRock\\予約.sch", itemText(dialog, IDC_VIEW_TVROCK_FILE));
    }

    TempIniFile ini{"view_dialog"};
    PrivateProfileSettings settings{ini.path()};
    ViewSettings view;
    uint32_t customColors[16] = {};
    PaintTools tools;
    ReservationList reservations;
    ReservationFrames frames;
    RecordingMessageBoxes messages;
};

LOGFONTA fontOf(HFONT font) {
    LOGFONTA record{};
    GetObjectA(font, sizeof record, &record);
    return record;
}

TEST_F(ViewSetupDialogTest, OkWritesEveryKeyAndChangesTheLiveFonts) {
    const HFONT detailFont = tools.detailFont;
    DialogScript::start("画面設定", [](HWND dialog) {
        changeEverything(dialog);
        pressButton(dialog, IDOK);
    });
    ASSERT_EQ(IDOK, run());
    EXPECT_EQ(std::tuple(3, 240, 0, 1, 1, "C:\\TvRock\\予約.sch"),
              std::tuple(view.hourHight, view.channelWidth, view.contDisp, view.epgTimerDisp, view.tvRockDisp,
                         view.tvRockProgName));
    EXPECT_EQ(std::tuple("ＭＳ 明朝", -14, 700, 1, 0x00ff00u, 0x505050u),
              std::tuple(view.nameFont.faceName, view.nameFont.size, view.nameFont.weight, view.nameFont.italic,
                         view.nameFont.color, view.contFont.color));
    for (const auto& [key, value] : viewSetupTexts(view))
        EXPECT_EQ(value, settings.readString("ViewSetup", key, "<none>", 300)) << key;
    EXPECT_EQ(std::tuple("3", "14", "00ff00", "000001", 1),
              std::tuple(settings.readString("ViewSetup", "HourHight", "", 10), settings.readString("ViewSetup", "NameFontSize", "", 10),
                         settings.readString("ViewSetup", "NameFontColor", "", 10),
                         settings.readString("ViewSetup", "TvRockDisp", "", 10), settings.readInt("ViewSetup", "TvRockDisp", 0)));
    // Both fonts made again; the title font is the chosen one.
    const LOGFONTA title = fontOf(tools.titleFont);
    EXPECT_EQ(std::tuple(-14, 700, 1, std::string("ＭＳ 明朝")),
              std::tuple(title.lfHeight, title.lfWeight, int{title.lfItalic}, std::string(title.lfFaceName)));
    EXPECT_NE(detailFont, tools.detailFont);
    EXPECT_EQ(1u, reservations.size());  // EpgTimer's marks are still on
    EXPECT_EQ(0x333333u, customColors[3]);
}

TEST_F(ViewSetupDialogTest, CancelChangesAndWritesNothing) {
    const std::string before = ini.read();
    const auto texts = viewSetupTexts(view);
    const HFONT titleFont = tools.titleFont;
    DialogScript::start("画面設定", [](HWND dialog) {
        changeEverything(dialog);
        pressButton(dialog, IDCANCEL);
    });
    ASSERT_EQ(IDCANCEL, run());
    EXPECT_EQ(before, ini.read());
    EXPECT_EQ(texts, viewSetupTexts(view));
    EXPECT_EQ(titleFont, tools.titleFont);
    EXPECT_EQ(0x333333u, customColors[3]);  // the chooser's custom colours stay
}

TEST_F(ViewSetupDialogTest, OutOfRangeNumbersAreRefusedAndNoMarksEmptyTheReservations) {
    const std::string before = ini.read();
    DialogScript::start("画面設定", [this, before](HWND dialog) {
        for (auto [hour, width] : {std::pair{"99999999", "100"}, {"5", "0"}}) {
            SetDlgItemTextA(dialog, IDC_VIEW_HOUR_HEIGHT, hour);
            SetDlgItemTextA(dialog, IDC_VIEW_CHANNEL_WIDTH, width);
            pressButton(dialog, IDOK);
            // Still open, the refused box focused, nothing written.
            EXPECT_TRUE(IsWindowVisible(dialog));
            EXPECT_EQ(GetDlgItem(dialog, *hour == '5' ? IDC_VIEW_CHANNEL_WIDTH : IDC_VIEW_HOUR_HEIGHT), GetFocus());
            EXPECT_EQ(before, ini.read());
        }
        SetDlgItemTextA(dialog, IDC_VIEW_CHANNEL_WIDTH, "1000");
        pressButton(dialog, IDC_VIEW_EPGTIMER);  // the last of the three marks goes off
        pressButton(dialog, IDOK);
    });
    ASSERT_EQ(IDOK, run());
    const unsigned warning = message_box::ok | message_box::iconWarning;
    EXPECT_EQ((std::vector<RecordingMessageBoxes::Box>{
                  {"時間(分)の高さは1から20までの数値を指定してください。", "画面設定", warning},
                  {"チャンネルの幅は1から1000までの数値を指定してください。", "画面設定", warning}}),
              messages.shown);
    EXPECT_EQ(std::tuple(5, 1000, 0), std::tuple(view.hourHight, view.channelWidth, view.epgTimerDisp));
    EXPECT_TRUE(reservations.empty() && frames.empty());
}

class ChannelOrderDialogTest : public testing::Test, protected LayoutRig {
protected:
    ChannelOrderDialogTest() : LayoutRig("order_dialog") {
        host.clock = localOf(at(0, 12));
        for (uint16_t id : {1, 2, 3}) putSchedule(store.get(), id, 0x7FE0, 0, {{at(0, 20), 1800, "番組"}});
        putSchedule(store.get(), 4, 0x7FE0, 0, {{at(0, 20), 1800, ""}});  // no programme: not listed
        putSchedule(store.get(), 5, 4, 0, {{at(0, 20), 1800, "BS"}});
        settings.writeString("ColumnDisp", "3", "2");
        layout.buildListLayout(store.get());
    }

    static HWND list(HWND dialog) { return GetDlgItem(dialog, IDC_ORDER_LIST); }
    // Row items in list order, negative when unticked.
    static std::vector<int> rows(HWND dialog) {
        std::vector<int> items;
        for (int i = 0; i < ListView_GetItemCount(list(dialog)); ++i) {
            LVITEMA item{};
            item.mask = LVIF_PARAM;
            item.iItem = i;
            SendMessageA(list(dialog), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            items.push_back(static_cast<int>(item.lParam) * (ListView_GetCheckState(list(dialog), i) ? 1 : -1));
        }
        return items;
    }
    static void select(HWND dialog, std::vector<int> selected) {
        ListView_SetItemState(list(dialog), -1, 0, LVIS_SELECTED);
        for (int i : selected) ListView_SetItemState(list(dialog), i, LVIS_SELECTED, LVIS_SELECTED);
    }
    // Rows 2 and 3 up, a block at the top stays, the bottom row stays, row 0
    // down; the BS service unticked.
    static void moveRows(HWND dialog) {
        const int bs = 4 * 65536 + 5;
        EXPECT_EQ((std::vector<int>{1, 2, -3, bs}), rows(dialog));
        EXPECT_EQ(std::pair(240, 0), std::pair(ListView_GetColumnWidth(list(dialog), 0), ListView_GetColumnWidth(list(dialog), 1)));
        const DWORD styles = ListView_GetExtendedListViewStyle(list(dialog));
        EXPECT_EQ(DWORD{LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT}, styles & (LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT));
        for (auto [selected, button] : {std::pair{std::vector<int>{2, 3}, IDC_ORDER_UP}, {{0, 1}, IDC_ORDER_UP},
                                        {{3}, IDC_ORDER_DOWN}, {{0}, IDC_ORDER_DOWN}}) {
            select(dialog, selected);
            pressButton(dialog, button);
        }
        EXPECT_EQ((std::vector<int>{-3, 1, bs, 2}), rows(dialog));
        // The moved row is still the one selected.
        EXPECT_EQ(1, ListView_GetNextItem(list(dialog), -1, LVNI_SELECTED));
        ListView_SetCheckState(list(dialog), 2, FALSE);
    }
};

TEST_F(ChannelOrderDialogTest, OkWritesBothKeysOfEveryRow) {
    DialogScript::start("チャンネル順設定", [](HWND dialog) {
        moveRows(dialog);
        pressButton(dialog, IDOK);
    });
    ASSERT_EQ(IDOK, runChannelOrderDialog(nullptr, store.get(), layout, preferences));
    EXPECT_TRUE(DialogScript::ran);
    for (auto [key, value] : {std::pair{"Sort3", "0"}, {"Sort1", "1"}, {"Sort5:4", "2"}, {"Sort2", "3"}, {"Sort4", ""}})
        EXPECT_EQ(value, settings.readString("SetupDialog", key, "", 10)) << key;
    for (auto [key, value] : {std::pair{"3", "0"}, {"1", "1"}, {"5:4", "0"}, {"2", "1"}, {"4", ""}})
        EXPECT_EQ(value, settings.readString("ColumnDisp", key, "", 10)) << key;
}

TEST_F(ChannelOrderDialogTest, CancelWritesNothing) {
    const std::string before = ini.read();
    DialogScript::start("チャンネル順設定", [](HWND dialog) {
        moveRows(dialog);
        pressButton(dialog, IDCANCEL);
    });
    ASSERT_EQ(IDCANCEL, runChannelOrderDialog(nullptr, store.get(), layout, preferences));
    EXPECT_TRUE(DialogScript::ran);
    EXPECT_EQ(before, ini.read());
}

}  // namespace
}  // namespace corvane
