#include "dialogs/choosers_win.h"

#include <commdlg.h>
#include <shlobj.h>

#include "store/over_owner_win.h"
#include "store/shift_jis.h"
#include "store/window_text_win.h"

namespace corvane {

namespace {

constexpr char kScheduleFilter[] = "スケジュール(*.sch)\0*.sch\0すべてのファイル(*.*)\0*.*\0";
constexpr char kApplicationFilter[] = "アプリケーション(*.exe)\0*.exe\0すべてのファイル(*.*)\0*.*\0";

// GetOpenFileNameA for an existing file, starting from `path`.
bool chooseExistingFile(HWND owner, std::string& path, const char* title, const char* filter, const char* extension) {
    char buffer[MAX_PATH] = {};
    const std::string start = cutShiftJis(path, sizeof buffer - 1);
    start.copy(buffer, start.size());
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = filter;
    request.lpstrFile = buffer;
    request.nMaxFile = sizeof buffer;
    request.lpstrTitle = title;
    request.lpstrDefExt = extension;
    request.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (OpensOverOwner over(owner); !GetOpenFileNameA(&request)) return false;
    path = buffer;
    return true;
}

int CALLBACK folderBrowserEvent(HWND browser, UINT message, LPARAM, LPARAM start) {
    if (message == BFFM_INITIALIZED && start) SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, start);
    return 0;
}

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
    return chooseExistingFile(owner, path, "TvRockスケジュールファイルの指定", kScheduleFilter, "sch");
}

bool chooseIepgApplicationWithDialog(HWND owner, std::string& path) {
    return chooseExistingFile(owner, path, "iEPGアプリケーションを登録", kApplicationFilter, "exe");
}

bool chooseTunerecApplicationWithDialog(HWND owner, std::string& path) {
    return chooseExistingFile(owner, path, "tunerecアプリケーションを登録", kApplicationFilter, "exe");
}

bool chooseSaveFolderWithDialog(HWND owner, std::string& path) {
    // The browser selects the folder of the box; "C:\rec\" is given as "C:\rec".
    std::string start = path;
    if (start.size() > 3 && endsWithPathSeparator(start)) start.pop_back();
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    char display[MAX_PATH] = {};
    BROWSEINFOA request{};
    request.hwndOwner = owner;
    request.pszDisplayName = display;
    request.lpszTitle = "保存フォルダを指定して下さい。";
    request.ulFlags = BIF_RETURNONLYFSDIRS;
    request.lpfn = folderBrowserEvent;
    request.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    bool confirmed = false;
    LPITEMIDLIST folder = nullptr;
    {
        const OpensOverOwner over(owner);
        folder = SHBrowseForFolderA(&request);
    }
    if (folder) {
        char chosen[MAX_PATH] = {};
        confirmed = SHGetPathFromIDListA(folder, chosen) && chosen[0] != '\0';
        if (confirmed) path = chosen;
        IMalloc* allocator = nullptr;  // the item list belongs to the shell's allocator
        if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
            allocator->Free(folder);
            allocator->Release();
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return confirmed;
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
