// Drives the real genre colour dialog: a thread timer fires inside the
// dialog's modal loop, finds the dialog, works its controls like a user and
// closes it. The colour chooser is replaced by a scripted one.
#include <gtest/gtest.h>
#include <windows.h>

#include "dialogs/genre_dialog_win.h"
#include "resources/resource.h"

namespace corvane {
namespace {

// What the timer does with the open dialog.
void (*scriptSteps)(HWND dialog) = nullptr;
bool scriptRan = false;

BOOL CALLBACK findGenreDialog(HWND window, LPARAM result) {
    if (GetDlgItem(window, IDC_GENRE_NO_DISP) && GetDlgItem(window, IDC_GENRE_SWATCH_FIRST)) {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK runScript(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findGenreDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) {
        SetTimer(nullptr, 0, 50, runScript);  // not shown yet: look again
        return;
    }
    scriptRan = true;
    scriptSteps(dialog);
}

int runScripted(GenreSettings& genres, GenreBrushes& brushes, ColorChooser chooser,
                void (*steps)(HWND)) {
    scriptSteps = steps;
    scriptRan = false;
    SetTimer(nullptr, 0, 50, runScript);
    const int result = runGenreColorDialog(nullptr, genres, brushes, chooser);
    EXPECT_TRUE(scriptRan);
    return result;
}

// Scripted chooser: the first swatch press is cancelled, every later one
// picks pure red; each press also defines a custom colour.
int chooserCalls = 0;
bool scriptedChooser(HWND owner, uint32_t initial, uint32_t customColors[16], uint32_t& chosen) {
    EXPECT_NE(nullptr, owner);
    ++chooserCalls;
    customColors[chooserCalls % 16] = 0x112233 + chooserCalls;
    if (chooserCalls == 1) return false;
    EXPECT_EQ(builtInGenreColors[2], initial);
    chosen = 0x0000ff;
    return true;
}

uint32_t brushColor(HBRUSH brush) {
    LOGBRUSH description{};
    if (!brush || GetObjectA(brush, sizeof description, &description) != sizeof description)
        return 0xFFFFFFFFu;
    return static_cast<uint32_t>(description.lbColor);
}

// The colour the dialog hands out for swatch `index` (WM_CTLCOLORBTN).
uint32_t swatchColor(HWND dialog, int index) {
    HWND swatch = GetDlgItem(dialog, IDC_GENRE_SWATCH_FIRST + index);
    HDC dc = GetDC(swatch);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(dialog, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(swatch)));
    const uint32_t background = static_cast<uint32_t>(GetBkColor(dc));
    ReleaseDC(swatch, dc);
    EXPECT_EQ(background, brushColor(brush));
    return brushColor(brush);
}

void press(HWND dialog, int id) { SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0); }

// Toggles genres 0 and 1, sets "GenreNoDisp", presses swatch 5 (chooser
// cancelled) and swatch 2 (red), then leaves with `closeWith`.
void editEverything(HWND dialog, int closeWith) {
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_GENRE_CHECK_FIRST + 0));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_GENRE_CHECK_FIRST + 1));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(dialog, IDC_GENRE_NO_DISP));
    EXPECT_EQ(builtInGenreColors[2], swatchColor(dialog, 2));
    press(dialog, IDC_GENRE_CHECK_FIRST + 0);
    press(dialog, IDC_GENRE_CHECK_FIRST + 1);
    press(dialog, IDC_GENRE_NO_DISP);
    press(dialog, IDC_GENRE_SWATCH_FIRST + 5);
    EXPECT_EQ(builtInGenreColors[5], swatchColor(dialog, 5));
    press(dialog, IDC_GENRE_SWATCH_FIRST + 2);
    EXPECT_EQ(0x0000ffu, swatchColor(dialog, 2));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_GENRE_CHECK_FIRST + 1));
    press(dialog, closeWith);
}

GenreSettings startingSettings() {
    GenreSettings genres;
    genres.genreCheck[0] = 1;
    return genres;
}

TEST(GenreColorDialog, OkTakesChecksAndColoursCancelKeepsOnlyCustomColours) {
    for (const int closeWith : {IDOK, IDCANCEL}) {
        GenreSettings genres = startingSettings();
        GenreBrushes brushes;
        brushes.rebuildAll(genres);
        chooserCalls = 0;
        const bool ok = closeWith == IDOK;
        void (*steps)(HWND) = ok ? +[](HWND dialog) { editEverything(dialog, IDOK); }
                                 : +[](HWND dialog) { editEverything(dialog, IDCANCEL); };
        const int result = runScripted(genres, brushes, scriptedChooser, steps);
        EXPECT_EQ(closeWith, result);
        EXPECT_EQ(ok ? 0 : 1, genres.genreCheck[0]);
        EXPECT_EQ(ok ? 1 : 0, genres.genreCheck[1]);
        EXPECT_EQ(ok ? 1 : 0, genres.genreNoDisp);
        const uint32_t expected = ok ? 0x0000ffu : builtInGenreColors[2];
        EXPECT_EQ(expected, genres.genreColor[2]);
        EXPECT_EQ(expected, brushColor(brushes.brush(2)));
        EXPECT_EQ(builtInGenreColors[5], genres.genreColor[5]);  // its chooser was cancelled
        // Colours defined in the chooser stay, whatever became of the dialog.
        EXPECT_EQ(0x112234u, genres.custColor[1]);
        EXPECT_EQ(0x112235u, genres.custColor[2]);
    }
}

}  // namespace
}  // namespace corvane
