#include "guide/paint_tools_win.h"

#include <cstring>

#include "resources/resource.h"

namespace corvane {

namespace {

COLORREF colorRef(uint32_t color) { return static_cast<COLORREF>(color & 0x00FFFFFFu); }

template <typename Handle>
void deleteObject(Handle& handle) {
    if (handle) DeleteObject(handle);
    handle = nullptr;
}

}  // namespace

HFONT createProgrammeFont(const FontSetting& setting) {
    const LOGFONTA font = logFontOf(fontRecordOf(setting));
    return CreateFontIndirectA(&font);
}

LOGFONTA logFontOf(const FontRecord& record) {
    LOGFONTA font{};
    font.lfHeight = record.height;
    font.lfWidth = record.width;
    font.lfEscapement = record.escapement;
    font.lfOrientation = record.orientation;
    font.lfWeight = record.weight;
    font.lfItalic = record.italic;
    font.lfUnderline = record.underline;
    font.lfStrikeOut = record.strikeOut;
    font.lfCharSet = record.charSet;
    font.lfOutPrecision = record.outPrecision;
    font.lfClipPrecision = record.clipPrecision;
    font.lfQuality = record.quality;
    font.lfPitchAndFamily = record.pitchAndFamily;
    static_assert(sizeof font.lfFaceName == sizeof record.faceName);
    std::memcpy(font.lfFaceName, record.faceName, sizeof font.lfFaceName);
    return font;
}

FontRecord fontRecordOf(const LOGFONTA& font) {
    FontRecord record;
    record.height = font.lfHeight;
    record.width = font.lfWidth;
    record.escapement = font.lfEscapement;
    record.orientation = font.lfOrientation;
    record.weight = font.lfWeight;
    record.italic = font.lfItalic;
    record.underline = font.lfUnderline;
    record.strikeOut = font.lfStrikeOut;
    record.charSet = font.lfCharSet;
    record.outPrecision = font.lfOutPrecision;
    record.clipPrecision = font.lfClipPrecision;
    record.quality = font.lfQuality;
    record.pitchAndFamily = font.lfPitchAndFamily;
    std::memcpy(record.faceName, font.lfFaceName, sizeof record.faceName);
    record.faceName[sizeof record.faceName - 1] = '\0';
    return record;
}

bool PaintTools::create(const ViewSettings& view, HINSTANCE instance, HDC reference) {
    bool complete = true;
    const GenreSettings noGenres;
    for (int i = 0; i < kPaintPenCount; ++i) {
        const PenStyle style = penStyle(static_cast<PaintPen>(i));
        pens[i] = CreatePen(style.dotted ? PS_DOT : PS_SOLID, style.width, colorRef(style.color));
        complete = complete && pens[i];
    }
    for (int i = 0; i < kFixedBrushCount; ++i) {
        brushes[i] = CreateSolidBrush(colorRef(brushColor(static_cast<PaintBrush>(i), noGenres)));
        complete = complete && brushes[i];
    }
    headerFont = CreateFontA(kHeaderFontHeight, 0, 0, 0, kHeaderFontWeight, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             kHeaderFontFace);
    complete = recreateFonts(view) && headerFont && complete;

    sdBitmap = LoadBitmapA(instance, IDR_SDBMP_NAME);
    sdSurface = CreateCompatibleDC(reference);
    if (sdBitmap && sdSurface) sdSurfaceBitmap = SelectObject(sdSurface, sdBitmap);
    return complete && sdBitmap && sdSurface;
}

bool PaintTools::recreateFonts(const ViewSettings& view) {
    HFONT title = createProgrammeFont(view.nameFont);
    HFONT detail = createProgrammeFont(view.contFont);
    if (title) {
        deleteObject(titleFont);
        titleFont = title;
    }
    if (detail) {
        deleteObject(detailFont);
        detailFont = detail;
    }
    return title && detail;
}

void PaintTools::destroy() {
    if (sdSurface) {
        if (sdSurfaceBitmap) SelectObject(sdSurface, sdSurfaceBitmap);
        DeleteDC(sdSurface);
    }
    sdSurface = nullptr;
    sdSurfaceBitmap = nullptr;
    deleteObject(sdBitmap);
    for (HPEN& pen : pens) deleteObject(pen);
    for (HBRUSH& brush : brushes) deleteObject(brush);
    deleteObject(titleFont);
    deleteObject(detailFont);
    deleteObject(headerFont);
}

HFONT PaintTools::font(PaintFont which) const {
    switch (which) {
        case PaintFont::title: return titleFont;
        case PaintFont::detail: return detailFont;
        case PaintFont::header: return headerFont;
    }
    return titleFont;
}

}  // namespace corvane
