#include "dialogs/genre_dialog_win.h"

#include "resources/resource.h"
#include "store/dialog_state_win.h"

namespace corvane {

namespace {

static_assert(GENRE_MAJOR_COUNT == GenreTable::majorCount);

// What the dialog works on while it is open: copies of the colours with a
// brush each, so that a cancel leaves the settings untouched.
struct GenreDialogState {
    GenreSettings* genres = nullptr;
    GenreBrushes* brushes = nullptr;
    ColorChooser chooser = nullptr;
    uint32_t colors[GenreTable::majorCount] = {};
    HBRUSH workBrushes[GenreTable::majorCount] = {};
};

int swatchIndex(int controlId) {
    const int index = controlId - IDC_GENRE_SWATCH_FIRST;
    return index >= 0 && index < GenreTable::majorCount ? index : -1;
}

void initialize(HWND dialog, GenreDialogState& state) {
    const GenreSettings& genres = *state.genres;
    for (int i = 0; i < GenreTable::majorCount; ++i) {
        CheckDlgButton(dialog, IDC_GENRE_CHECK_FIRST + i,
                       genres.genreCheck[i] != 0 ? BST_CHECKED : BST_UNCHECKED);
        state.colors[i] = genres.genreColor[i] & 0x00FFFFFFu;
        state.workBrushes[i] = CreateSolidBrush(state.colors[i]);
    }
    CheckDlgButton(dialog, IDC_GENRE_NO_DISP, genres.genreNoDisp != 0 ? BST_CHECKED : BST_UNCHECKED);
}

void pickColor(HWND dialog, GenreDialogState& state, int index) {
    uint32_t chosen = 0;
    if (!state.chooser || !state.chooser(dialog, state.colors[index], state.genres->custColor, chosen))
        return;
    HBRUSH fresh = CreateSolidBrush(chosen & 0x00FFFFFFu);
    if (!fresh) return;
    state.colors[index] = chosen & 0x00FFFFFFu;
    if (state.workBrushes[index]) DeleteObject(state.workBrushes[index]);
    state.workBrushes[index] = fresh;
    InvalidateRect(dialog, nullptr, TRUE);
    // The swatch is a window of its own: make sure it repaints as well.
    InvalidateRect(GetDlgItem(dialog, IDC_GENRE_SWATCH_FIRST + index), nullptr, TRUE);
}

void accept(HWND dialog, GenreDialogState& state) {
    GenreSettings& genres = *state.genres;
    for (int i = 0; i < GenreTable::majorCount; ++i)
        genres.genreCheck[i] = IsDlgButtonChecked(dialog, IDC_GENRE_CHECK_FIRST + i) == BST_CHECKED;
    genres.genreNoDisp = IsDlgButtonChecked(dialog, IDC_GENRE_NO_DISP) == BST_CHECKED;
    for (int i = 0; i < GenreTable::majorCount; ++i) {
        genres.genreColor[i] = state.colors[i];
        state.brushes->rebuild(i, state.colors[i]);
    }
}

INT_PTR CALLBACK genreDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = dialogState<GenreDialogState>(dialog, message, lParam);
    switch (message) {
    case WM_INITDIALOG:
        initialize(dialog, *state);
        return TRUE;

    case WM_CTLCOLORBTN: {
        const int index = swatchIndex(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
        if (!state || index < 0) return FALSE;
        SetBkColor(reinterpret_cast<HDC>(wParam), state->colors[index]);
        return reinterpret_cast<INT_PTR>(state->workBrushes[index]);
    }

    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        const int index = item ? swatchIndex(static_cast<int>(item->CtlID)) : -1;
        if (!state || index < 0) return FALSE;
        drawColorSwatch(*item, state->workBrushes[index]);
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }

    case WM_COMMAND: {
        if (!state) return FALSE;
        const int id = LOWORD(wParam);
        const int index = swatchIndex(id);
        if (index >= 0) {
            if (HIWORD(wParam) == BN_CLICKED) pickColor(dialog, *state, index);
            return TRUE;
        }
        if (id == IDOK) {
            accept(dialog, *state);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (id == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }

    case WM_DESTROY:
        // The working brushes go with the dialog, whichever way it closed.
        if (state) {
            for (HBRUSH& brush : state->workBrushes) {
                if (brush) DeleteObject(brush);
                brush = nullptr;
            }
        }
        return FALSE;
    }
    return FALSE;
}

}  // namespace

int runGenreColorDialog(HWND owner, GenreSettings& genres, GenreBrushes& brushes,
                        ColorChooser chooser) {
    GenreDialogState state;
    state.genres = &genres;
    state.brushes = &brushes;
    state.chooser = chooser;
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_GENRE_COLOR), owner,
                        genreDialogProc, reinterpret_cast<LPARAM>(&state));
    return result == IDOK ? IDOK : IDCANCEL;
}

}  // namespace corvane
