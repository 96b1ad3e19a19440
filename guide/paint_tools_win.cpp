#include "guide/paint_tools_win.h"

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
    return CreateFontA(setting.creationHeight(), 0, 0, 0, setting.weight, setting.italic != 0, setting.underline != 0,
                       setting.strikeOut != 0, FontSetting::charSet, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, setting.faceName.c_str());
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
