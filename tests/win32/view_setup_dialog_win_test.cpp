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
#include "store/window_text_win.h"
#include "support/fake_guide_host.h"
#include "support/recording_message_boxes.h"
#include "support/store_sections.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

// The scripted choosers: a colour (cancelled when `confirmColor` is off), a
// font with its colour, a schedule file.
bool confirmColor = true;
bool pickColor(HWND, uint32_t, uint32_t customColors[16], uint32_t& chosen) {
    customColors[3] = 0x333333;
    chosen = 0x0080ff;
    return confirmColor;
}
bool pickFont(HWND, LOGFONTA& font, uint32_t& color) {
    EXPECT_EQ(std::tuple(-12, std::string("ＭＳ ゴシック")), std::tuple(font.lfHeight, std::string(font.lfFaceName)));
    font.lfHeight = -14, font.lfWeight = 700, font.lfItalic = 255;
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
        reservations.assign({ReservationRecord{}});
    }
    ~ViewSetupDialogTest() override { tools.destroy(); }

    int run() {
        ViewSetupTarget target{.view = view, .customColors = customColors, .settings = settings, .paintTools = tools,
                               .reservations = reservations, .messages = &messages,
                               .chooseColor = pickColor, .chooseFont = pickFont, .chooseScheduleFile = pickFile};
        return runViewSetupDialog(nullptr, target);
    }

    TempIniFile ini{"view_dialog"};
    PrivateProfileSettings settings{ini.path()};
    ViewSettings view;
    uint32_t customColors[16] = {};
    PaintTools tools;
    ReservationBook reservations;
    RecordingMessageBoxes messages;
};

// Numbers out of range refused; then every control changed: numbers, detail
// off, the title font and colour, TvRock's marks and file; the detail
// colour's chooser cancelled.
TEST_F(ViewSetupDialogTest, OkWritesEveryKeyAndMakesTheFontsCancelChangesNothing) {
    const unsigned warning = message_box::ok | message_box::iconWarning;
    const std::vector<RecordingMessageBoxes::Box> refusals{
        {"時間(分)の高さは1から20までの数値を指定してください。", "画面設定", warning},
        {"チャンネルの幅は1から1000までの数値を指定してください。", "画面設定", warning}};
    for (const int close : {IDCANCEL, IDOK}) {
        const std::string before = ini.read();
        messages.shown.clear();
        DialogScript::start("画面設定", [this, close, before](HWND dialog) {
            EXPECT_EQ(std::tuple("20", "180", 0x000000u, 0x505050u),
                      std::tuple(dialogItemText(dialog, IDC_VIEW_HOUR_HEIGHT), dialogItemText(dialog, IDC_VIEW_CHANNEL_WIDTH),
                                 swatchColor(dialog, IDC_VIEW_NAME_COLOR), swatchColor(dialog, IDC_VIEW_DETAIL_COLOR)));
            EXPECT_TRUE(IsDlgButtonChecked(dialog, IDC_VIEW_DETAIL_ON) && IsDlgButtonChecked(dialog, IDC_VIEW_EPGTIMER) &&
                        !IsDlgButtonChecked(dialog, IDC_VIEW_TVROCK));
            for (auto [hour, width, refused] : {std::tuple{"99999999", "100", IDC_VIEW_HOUR_HEIGHT}, {"5", "0", IDC_VIEW_CHANNEL_WIDTH}}) {
                SetDlgItemTextA(dialog, IDC_VIEW_HOUR_HEIGHT, hour);
                SetDlgItemTextA(dialog, IDC_VIEW_CHANNEL_WIDTH, width);
                pressButton(dialog, IDOK);  // still open, the refused box focused, nothing written
                EXPECT_TRUE(IsWindowVisible(dialog) && GetFocus() == GetDlgItem(dialog, refused) && ini.read() == before);
            }
            SetDlgItemTextA(dialog, IDC_VIEW_HOUR_HEIGHT, "-3");
            SetDlgItemTextA(dialog, IDC_VIEW_CHANNEL_WIDTH, "240");
            for (int id : {IDC_VIEW_DETAIL_OFF, IDC_VIEW_NAME_COLOR, IDC_VIEW_TVROCK, IDC_VIEW_TVROCK_BROWSE}) pressButton(dialog, id);
            EXPECT_EQ(0x0080ffu, swatchColor(dialog, IDC_VIEW_NAME_COLOR));
            pressButton(dialog, IDC_VIEW_NAME_FONT);  // the font's colour replaces the swatch's
            confirmColor = false;
            pressButton(dialog, IDC_VIEW_DETAIL_COLOR);
            confirmColor = true;
            EXPECT_EQ(std::tuple(0x00ff00u, 0x505050u, "C:\\TvRock\\予約.sch"),
                      std::tuple(swatchColor(dialog, IDC_VIEW_NAME_COLOR), swatchColor(dialog, IDC_VIEW_DETAIL_COLOR),
                                 dialogItemText(dialog, IDC_VIEW_TVROCK_FILE)));
            pressButton(dialog, close);
        });
        ASSERT_EQ(close, run());
        EXPECT_EQ(refusals, messages.shown);
        EXPECT_EQ(0x333333u, customColors[3]);  // the chooser's custom colours stay either way
        if (close == IDCANCEL) {  // the next run finds the values it began with
            EXPECT_EQ(before, ini.read());
            continue;
        }
        EXPECT_EQ(std::tuple(3, 240, 0, 1, 1, "C:\\TvRock\\予約.sch"),
                  std::tuple(view.hourHight, view.channelWidth, view.contDisp, view.epgTimerDisp, view.tvRockDisp, view.tvRockProgName));
        EXPECT_EQ(std::tuple(0x00ff00u, 0x505050u), std::tuple(view.nameFont.color, view.contFont.color));
        for (const auto& [key, value] : viewSetupTexts(view))
            EXPECT_EQ(value, settings.readString("ViewSetup", key, "<none>", 300)) << key;
        LOGFONTA title{};
        GetObjectA(tools.titleFont, sizeof title, &title);
        EXPECT_EQ(std::tuple(-14, 700, 1, std::string("ＭＳ 明朝")),
                  std::tuple(title.lfHeight, title.lfWeight, int{title.lfItalic}, std::string(title.lfFaceName)));
        EXPECT_EQ(std::pair(size_t{1}, size_t{1}), std::pair(reservations.records().size(), reservations.frames().size()));  // EpgTimer's marks are still on
    }
}

class ChannelOrderDialogTest : public testing::Test, protected LayoutRig {
protected:
    ChannelOrderDialogTest() : LayoutRig("order_dialog") {
        host.clock = localOf(at(0, 12));
        // Service 4 has no programme, so no row; "ColumnDisp" 2 is not ticked.
        for (uint16_t id : {1, 2, 3, 4}) putSchedule(store.get(), id, 0x7FE0, 0, {{at(0, 20), 1800, id == 4 ? "" : "番組"}});
        putSchedule(store.get(), 5, 4, 0, {{at(0, 20), 1800, "BS"}});
        settings.writeString("ColumnDisp", "3", "2");
        layout.buildListLayout(store.get());
    }

    // Row items in list order, negative when unticked.
    static std::vector<int> rows(HWND list) {
        std::vector<int> items;
        for (LPARAM item : listViewParams(list))
            items.push_back(static_cast<int>(item) * (ListView_GetCheckState(list, items.size()) ? 1 : -1));
        return items;
    }
};

// Rows 2 and 3 up, then row 0 down; the BS service unticked.
TEST_F(ChannelOrderDialogTest, ButtonsMoveTheRowsAndOkWritesBothKeysOfEveryRow) {
    const int bs = 4 * 65536 + 5;
    DialogScript::start("チャンネル順設定", [bs](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_ORDER_LIST);
        EXPECT_EQ((std::vector<int>{1, 2, -3, bs}), rows(list));
        for (auto [selected, button] : {std::pair{std::vector<int>{2, 3}, IDC_ORDER_UP}, {{0}, IDC_ORDER_DOWN}}) {
            ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
            for (int i : selected) ListView_SetItemState(list, i, LVIS_SELECTED, LVIS_SELECTED);
            pressButton(dialog, button);
        }
        EXPECT_EQ((std::vector<int>{-3, 1, bs, 2}), rows(list));
        EXPECT_EQ(1, ListView_GetNextItem(list, -1, LVNI_SELECTED));  // the moved row, still selected
        ListView_SetCheckState(list, 2, FALSE);
        pressButton(dialog, IDOK);
    });
    ASSERT_EQ(IDOK, runChannelOrderDialog(nullptr, store.get(), layout, preferences));
    for (auto [key, sort, shown] : {std::tuple{"3", "0", "0"}, {"1", "1", "1"}, {"5:4", "2", "0"}, {"2", "3", "1"}, {"4", "", ""}})
        EXPECT_EQ((std::pair<std::string, std::string>(sort, shown)),
                  std::pair(settings.readString("SetupDialog", std::string("Sort") + key, "", 10),
                            settings.readString("ColumnDisp", key, "", 10)))
            << key;
}

}  // namespace
}  // namespace corvane
