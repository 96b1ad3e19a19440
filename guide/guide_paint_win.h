// The guide painted with GDI: the drawing surface over a device context, the
// tooltip control rebuilt on every paint, and the main window's WM_PAINT
// entry with the one-shot repaint timer.
#pragma once

#include <windows.h>

#include <cstdint>

#include "guide/genre_brushes_win.h"
#include "guide/guide_paint.h"
#include "guide/paint_tools_win.h"
#include "store/clock.h"

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

// The Win32 side of painting, kept by the main window: the drawing tools,
// the windows that may own the highlight, and this painting's own tooltip
// control. Pointers stay owned by the main window.
struct PaintContext {
    const PaintTools* tools = nullptr;
    const GenreBrushes* genreBrushes = nullptr;
    HWND genreListWindow = nullptr;   // the windows that may own the highlight
    HWND updateInfoWindow = nullptr;
    HWND tooltip = nullptr;           // the tooltip control of the last paint
};

// Replaces the tooltip control (owner `owner`) and paints the guide on `dc`
// for a client area of the given size; the layout keeps what was measured
// and publishes its scroll bars. Without data only the old tooltip control
// goes away. No timer is touched.
PaintResult paintGuideOn(HWND owner, HDC dc, int clientWidth, int clientHeight, int64_t now, GuideLayout& layout,
                         const EpgStore* store, const PaintInputs& inputs, PaintContext& context);

// The main window's WM_PAINT, between BeginPaint and EndPaint: paints with
// the window's client size at the clock's time and, when an on-air programme
// was drawn, restarts timer 1000 to fire 100 ms after the earliest of their
// ends. When the timer fires, the window kills it and invalidates its client
// area.
PaintResult paintGuideWindow(HWND window, HDC dc, Clock& clock, GuideLayout& layout, const EpgStore* store,
                             const PaintInputs& inputs, PaintContext& context);

// At exit, or when the guide goes away for good.
void destroyGuideTooltip(PaintContext& context);

// Hands a mouse message of the guide's window to the tooltip control, which
// shows and hides the tips from it.
void relayGuideTooltipEvent(const PaintContext& context, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace corvane
