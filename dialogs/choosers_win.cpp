#include "dialogs/choosers_win.h"

#include <commdlg.h>

#include "store/shift_jis.h"
#include "store/window_text_win.h"

namespace corvane {

namespace {

constexpr char kScheduleFilter[] = "スケジュール(*.sch)\0*.sch\0すべてのファイル(*.*)\0*.*\0";

}  // namespace

bool chooseColorWithDialog(HWND owner, uint32_t initial, uint32_t customColors[16], uint32_t& chosen) {
    COLORREF custom[16];
    for (int i = 0; i < 16; ++i) custom[i] = customColors[i];
    CHOOSECOLORA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.rgbResult = initial;
    request.lpCustColors = custom;
    request.Flags = CC_RGBINIT | CC_FULLOPEN;
    const BOOL confirmed = ChooseColorA(&request);
    for (int i = 0; i < 16; ++i) customColors[i] = static_cast<uint32_t>(custom[i]) & 0x00FFFFFFu;
    if (!confirmed) return false;
    chosen = static_cast<uint32_t>(request.rgbResult) & 0x00FFFFFFu;
    return true;
}

bool chooseFontWithDialog(HWND owner, LOGFONTA& font, uint32_t& color) {
    LOGFONTA edited = font;
    CHOOSEFONTA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpLogFont = &edited;
    request.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    request.rgbColors = color;
    request.nFontType = SCREEN_FONTTYPE;
    if (!ChooseFontA(&request)) return false;
    font = edited;
    color = static_cast<uint32_t>(request.rgbColors) & 0x00FFFFFFu;
    return true;
}

bool chooseScheduleFileWithDialog(HWND owner, std::string& path) {
    char buffer[MAX_PATH] = {};
    const std::string start = cutShiftJis(path, sizeof buffer - 1);
    start.copy(buffer, start.size());
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = kScheduleFilter;
    request.lpstrFile = buffer;
    request.nMaxFile = sizeof buffer;
    request.lpstrTitle = "TvRockスケジュールファイルの指定";
    request.lpstrDefExt = "sch";
    request.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&request)) return false;
    path = buffer;
    return true;
}

void drawColorSwatch(const DRAWITEMSTRUCT& item, HBRUSH brush) {
    RECT rect = item.rcItem;
    if (brush) FillRect(item.hDC, &rect, brush);
    DrawEdge(item.hDC, &rect, (item.itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&rect, -3, -3);
        DrawFocusRect(item.hDC, &rect);
    }
}

std::string dialogItemText(HWND dialog, int id, size_t limit) { return cutShiftJis(dialogItemText(dialog, id), limit); }

}  // namespace corvane
