// The guide painted with GDI: the drawing surface over a device context, the
// tooltip control rebuilt on every paint, and the main window's WM_PAINT
// entry with the one-shot repaint timer.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/app_settings.h"
#include "dialogs/genre_brushes_win.h"
#include "guide/guide_paint.h"
#include "guide/paint_tools_win.h"

namespace corvane {

// Draws onto `dc` with the painting tools. The device context's state
// (objects, colours, modes, clip) is restored when the surface goes away.
// Tools go to `tooltip` (may be null), over windows of `toolOwner`.
class GdiPaintSurface : public PaintSurface {
public:
    GdiPaintSurface(HDC dc, const PaintTools& tools, const GenreBrushes* genreBrushes, HWND tooltip, HWND toolOwner);
    ~GdiPaintSurface() override;
    GdiPaintSurface(const GdiPaintSurface&) = delete;
    GdiPaintSurface& operator=(const GdiPaintSurface&) = delete;

    void clipTo(const Rect& rect) override;
    void clipNone() override;
    void fill(const Rect& rect, PaintBrush brush) override;
    void box(const Rect& rect, PaintBrush brush, PaintPen pen) override;
    void frame(const Rect& rect, PaintPen pen) override;
    void line(int x1, int y1, int x2, int y2, PaintPen pen) override;
    int text(const std::string& text, const Rect& rect, PaintFont font, uint32_t color, unsigned format) override;
    void sdMark(int x, int y) override;
    void addTooltip(int id, const Rect& rect, const std::string& text) override;

private:
    HBRUSH brushOf(PaintBrush brush) const;
    void selectPen(PaintPen pen);
    void selectBrush(HBRUSH brush);
    void selectFont(PaintFont font);
    void setTextColor(uint32_t color);

    HDC dc_;
    int savedState_;
    const PaintTools& tools_;
    const GenreBrushes* genreBrushes_;
    HWND tooltip_;
    HWND toolOwner_;
    HGDIOBJ pen_ = nullptr;
    HGDIOBJ brush_ = nullptr;
    int font_ = -1;
    COLORREF textColor_ = 0;
    int lineHeights_[3] = {-1, -1, -1};
};

// What the main window hands to every paint. Pointers stay owned by the
// main window; `tooltip` is this painting's own state.
struct PaintContext {
    GuideLayout* layout = nullptr;
    const EpgStore* store = nullptr;        // null: nothing is painted
    const PaintTools* tools = nullptr;
    const GenreBrushes* genreBrushes = nullptr;
    const GenreSettings* genres = nullptr;
    const ViewSwitches* switches = nullptr; // null: the defaults
    const ReservationList* reservations = nullptr;
    HighlightedProgramme* highlight = nullptr;
    HWND genreListWindow = nullptr;         // the windows that may own the highlight
    HWND updateInfoWindow = nullptr;
    int64_t (*clock)() = nullptr;           // null: the system clock
    HWND tooltip = nullptr;                 // the tooltip control of the last paint
};

// Replaces the tooltip control (owner `owner`) and paints the guide on `dc`
// for a client area of the given size. Without data only the old tooltip
// control goes away. No timer is touched.
PaintResult paintGuideOn(HWND owner, HDC dc, int clientWidth, int clientHeight, int64_t now, PaintContext& context);

// The main window's WM_PAINT, between BeginPaint and EndPaint: paints with
// the window's client size and, when an on-air programme was drawn, restarts
// timer 1000 to fire 100 ms after the earliest of their ends. When the timer
// fires, the window kills it and invalidates its client area.
PaintResult paintGuideWindow(HWND window, HDC dc, PaintContext& context);

// At exit, or when the guide goes away for good.
void destroyGuideTooltip(PaintContext& context);

// Hands a mouse message of the guide's window to the tooltip control, which
// shows and hides the tips from it.
void relayGuideTooltipEvent(const PaintContext& context, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace corvane
