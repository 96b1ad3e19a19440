// What every released executable carries: the manifest that selects the
// themed common controls 6 and keeps the system's code page (this test
// program is built with the same resources as corvane.exe), and the build's
// version in the version resource and the about box.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

#include "corvane_version.h"
#include "resources/resource.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

INT_PTR CALLBACK keepDialog(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

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

}  // namespace
}  // namespace corvane
