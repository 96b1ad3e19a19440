// What every released executable carries: the manifest that selects the
// themed common controls 6 and keeps the system's code page (this test
// program is built with the same resources as corvane.exe), and the build's
// version in the version resource and the about box.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "corvane_version.h"
#include "resources/resource.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

INT_PTR CALLBACK keepDialog(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

BOOL CALLBACK listDialog(HMODULE, LPCSTR, LPSTR name, LONG_PTR dialogs) {
    reinterpret_cast<std::vector<LPSTR>*>(dialogs)->push_back(name);
    return TRUE;
}

// Whether a label's, button's or group box's text fits its control in the
// control's font: a wrapping label in its height, the others on one line,
// beside the box of a check or radio button, within the frame and margins of
// a push button or group box. `why` tells the sizes.
bool textFits(HWND control, std::string& why) {
    char className[32] = {}, text[256] = {};
    GetClassNameA(control, className, sizeof className);
    GetWindowTextA(control, text, sizeof text);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const bool button = lstrcmpiA(className, "Button") == 0, label = lstrcmpiA(className, "Static") == 0;
    const int kind = style & (button ? BS_TYPEMASK : SS_TYPEMASK);
    const bool wraps = label && kind <= SS_RIGHT;
    if (!*text || !(button || label) || (label && !wraps && kind != SS_SIMPLE && kind != SS_LEFTNOWORDWRAP)) return true;
    const bool box = button && kind >= BS_CHECKBOX && kind <= BS_AUTORADIOBUTTON && kind != BS_GROUPBOX;
    const int extra = !button ? 0 : box ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : kind == BS_GROUPBOX ? 16 : 8;
    RECT client{}, need{};
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    const UINT prefix = label && (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    need = RECT{0, 0, client.right, 0};
    DrawTextA(dc, text, -1, &need, DT_CALCRECT | prefix | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    why = std::string(text) + ": " + std::to_string(need.right + extra) + "x" + std::to_string(need.bottom) +
          " in " + std::to_string(client.right) + "x" + std::to_string(client.bottom);
    return need.right + extra <= client.right && need.bottom <= client.bottom;
}

BOOL CALLBACK checkText(HWND control, LPARAM dialog) {
    std::string why;
    EXPECT_TRUE(textFits(control, why)) << "dialog " << dialog << ", control " << GetDlgCtrlID(control) << ": " << why;
    return TRUE;
}

TEST(Release, TheManifestSelectsCommonControlsSixInCodePage932AndTheVersionIsTheBuilds) {
    // The side-by-side assembly, not the system folder's version 5.
    char comctl[MAX_PATH] = {};
    GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), comctl, sizeof comctl);
    EXPECT_NE(nullptr, StrStrIA(comctl, "\\winsxs\\amd64_microsoft.windows.common-controls_")) << comctl;
    HWND button = CreateWindowA("BUTTON", "登録", WS_POPUP | BS_PUSHBUTTON, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SIZE ideal{};
    EXPECT_TRUE(SendMessageA(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
    DestroyWindow(button);
    EXPECT_EQ(932u, GetACP());

    HMODULE exe = LoadLibraryExA(CORVANE_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(nullptr, exe);
    HRSRC found = FindResourceA(exe, CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    ASSERT_NE(nullptr, found);
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(exe, found))),
                               SizeofResource(exe, found));
    EXPECT_NE(std::string::npos, manifest.find("\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
    EXPECT_EQ(std::string::npos, manifest.find("activeCodePage"));
    FreeLibrary(exe);

    DWORD handle = 0;
    std::string info(GetFileVersionInfoSizeA(CORVANE_EXE, &handle), '\0');
    ASSERT_TRUE(GetFileVersionInfoA(CORVANE_EXE, 0, static_cast<DWORD>(info.size()), info.data()));
    char* fileVersion = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\041103a4\\FileVersion",
                               reinterpret_cast<void**>(&fileVersion), &length));
    EXPECT_STREQ(CORVANE_VERSION, fileVersion);
    HWND about = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), nullptr, keepDialog, 0);
    HWND text = FindWindowExA(about, nullptr, "Static", "Corvane Version " CORVANE_VERSION);
    EXPECT_NE(nullptr, text);
    DestroyWindow(about);
}

// Every label, button and box of every dialog shows its whole text in the
// dialog font (the IPA fonts here are wider than the Windows UI font).
TEST(Release, EveryDialogTextFitsItsControl) {
    std::vector<LPSTR> dialogs;
    EnumResourceNamesA(nullptr, RT_DIALOG, listDialog, reinterpret_cast<LONG_PTR>(&dialogs));
    ASSERT_GE(dialogs.size(), 12u);
    // The find bar is a child window: it needs a parent to be made.
    HWND parent = CreateWindowA("STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 900, 300, nullptr, nullptr, nullptr, nullptr);
    for (LPSTR id : dialogs) {
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), id, parent, keepDialog, 0);
        ASSERT_NE(nullptr, dialog);
        EnumChildWindows(dialog, checkText, reinterpret_cast<LPARAM>(id));
        DestroyWindow(dialog);
    }
    DestroyWindow(parent);
}

}  // namespace
}  // namespace corvane
