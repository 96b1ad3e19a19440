// The pens, brushes, fonts and SD mark the guide is painted with, created
// once at start-up and deleted at exit. The genre brushes are kept apart
// (GenreBrushes) because the genre colour dialog rebuilds them.
#pragma once

#include <windows.h>

#include "guide/view_settings.h"
#include "guide/guide_paint.h"

namespace corvane {

struct PaintTools {
    HPEN pens[kPaintPenCount] = {};
    HBRUSH brushes[kFixedBrushCount] = {};  // every PaintBrush below genreFirst
    HFONT titleFont = nullptr;
    HFONT detailFont = nullptr;
    HFONT headerFont = nullptr;
    HBITMAP sdBitmap = nullptr;        // resource "IDR_SDBMP", 13 x 13 monochrome
    HDC sdSurface = nullptr;           // memory surface that holds the SD mark selected
    HGDIOBJ sdSurfaceBitmap = nullptr; // what the memory surface held before

    // `instance` holds the SD mark; `reference` is the drawing surface the
    // memory surface is made compatible with (null: the screen). False when a
    // tool could not be made; what was made stays until destroy().
    bool create(const ViewSettings& view, HINSTANCE instance, HDC reference);
    // After the title or detail font settings changed.
    bool recreateFonts(const ViewSettings& view);
    void destroy();

    HFONT font(PaintFont which) const;
};

// A programme font of "ViewSetup": character height -|size|, Shift_JIS.
HFONT createProgrammeFont(const FontSetting& setting);

// The platform's logical-font record and its portable copy, field by field.
LOGFONTA logFontOf(const FontRecord& record);
FontRecord fontRecordOf(const LOGFONTA& font);

}  // namespace corvane
