// Drives the real genre colour dialog: a dialog script works its controls
// like a user and closes it. The colour chooser is replaced by a scripted one.
#include <gtest/gtest.h>
#include <windows.h>

#include <tuple>

#include "dialogs/genre_dialog_win.h"
#include "guide/genre_table.h"
#include "resources/resource.h"
#include "support/win_test_support.h"

namespace corvane {
namespace {

int closeWith = IDOK;  // the button the scripted user leaves with
int chooserCalls = 0;

// Scripted chooser: the first swatch press is cancelled, every later one
// picks pure red; each press also defines a custom colour.
bool scriptedChooser(HWND owner, uint32_t initial, uint32_t customColors[16], uint32_t& chosen) {
    EXPECT_NE(nullptr, owner);
    ++chooserCalls;
    customColors[chooserCalls % 16] = 0x112233 + chooserCalls;
    if (chooserCalls == 1) return false;
    EXPECT_EQ(builtInGenreColors[2], initial);
    chosen = 0x0000ff;
    return true;
}

// Once the dialog is shown: toggles genres 0 and 1, sets "GenreNoDisp",
// presses swatch 5 (chooser cancelled) and swatch 2 (red), then leaves.
void runScript(HWND dialog) {
    auto checked = [dialog](int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; };
    EXPECT_TRUE(checked(IDC_GENRE_CHECK_FIRST) && !checked(IDC_GENRE_CHECK_FIRST + 1) && !checked(IDC_GENRE_NO_DISP));
    EXPECT_EQ(builtInGenreColors[2], swatchColor(dialog, IDC_GENRE_SWATCH_FIRST + 2));
    for (int id : {IDC_GENRE_CHECK_FIRST + 0, IDC_GENRE_CHECK_FIRST + 1, IDC_GENRE_NO_DISP, IDC_GENRE_SWATCH_FIRST + 5})
        pressButton(dialog, id);
    EXPECT_EQ(builtInGenreColors[5], swatchColor(dialog, IDC_GENRE_SWATCH_FIRST + 5));
    pressButton(dialog, IDC_GENRE_SWATCH_FIRST + 2);
    EXPECT_EQ(0x0000ffu, swatchColor(dialog, IDC_GENRE_SWATCH_FIRST + 2));
    EXPECT_TRUE(checked(IDC_GENRE_CHECK_FIRST + 1));
    pressButton(dialog, closeWith);
}

TEST(GenreColorDialog, OkTakesChecksAndColoursCancelKeepsOnlyCustomColours) {
    for (const int close : {IDOK, IDCANCEL}) {
        GenreSettings genres;
        genres.genreCheck[0] = 1;
        GenreBrushes brushes;
        brushes.rebuildAll(genres);
        closeWith = close, chooserCalls = 0;
        DialogScript::start("番組ジャンル色設定", runScript);
        EXPECT_EQ(close, runGenreColorDialog(nullptr, genres, brushes, scriptedChooser));
        const int ok = close == IDOK;
        EXPECT_EQ(std::tuple(1 - ok, ok, ok), std::tuple(genres.genreCheck[0], genres.genreCheck[1], genres.genreNoDisp));
        const uint32_t expected = ok ? 0x0000ffu : builtInGenreColors[2];
        EXPECT_EQ(expected, genres.genreColor[2]);
        EXPECT_EQ(expected, brushColor(brushes.brush(2)));
        EXPECT_EQ(builtInGenreColors[5], genres.genreColor[5]);  // its chooser was cancelled
        // Colours defined in the chooser stay, whatever became of the dialog.
        EXPECT_EQ(std::pair(0x112234u, 0x112235u), std::pair(genres.custColor[1], genres.custColor[2]));
    }
}

}  // namespace
}  // namespace corvane
