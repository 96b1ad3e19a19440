#include "guide/genre_brushes_win.h"

namespace corvane {

void GenreBrushes::rebuildAll(const GenreSettings& genres) {
    for (int i = 0; i < GenreTable::majorCount; ++i) rebuild(i, genres.genreColor[i]);
}

void GenreBrushes::rebuild(int genre, uint32_t color) {
    if (genre < 0 || genre >= GenreTable::majorCount) return;
    HBRUSH fresh = CreateSolidBrush(static_cast<COLORREF>(color & 0x00FFFFFFu));
    if (!fresh) return;
    if (brushes_[genre]) DeleteObject(brushes_[genre]);
    brushes_[genre] = fresh;
}

void GenreBrushes::deleteAll() {
    for (HBRUSH& brush : brushes_) {
        if (brush) DeleteObject(brush);
        brush = nullptr;
    }
}

HBRUSH GenreBrushes::brush(int genre) const {
    return genre >= 0 && genre < GenreTable::majorCount ? brushes_[genre] : nullptr;
}

}  // namespace corvane
