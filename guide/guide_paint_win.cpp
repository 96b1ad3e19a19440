#include "guide/guide_paint_win.h"

#include <commctrl.h>

#include <climits>

#include "resources/resource.h"

namespace corvane {

namespace {

constexpr COLORREF kMaskBackground = RGB(255, 255, 255);

COLORREF colorRef(uint32_t color) { return static_cast<COLORREF>(color & 0x00FFFFFFu); }

RECT toRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

UINT drawTextFlags(unsigned format) {
    // Titles are broadcast text, never menu labels: '&' is shown as it is.
    UINT flags = DT_NOPREFIX;
    if (format & kTextCenter) flags |= DT_CENTER;
    if (format & kTextRight) flags |= DT_RIGHT;
    if (format & kTextVCenter) flags |= DT_VCENTER;
    if (format & kTextSingleLine) flags |= DT_SINGLELINE;
    if (format & kTextWordBreak) flags |= DT_WORDBREAK;
    if (format & kTextNoClip) flags |= DT_NOCLIP;
    return flags;
}

bool ownerVisible(const PaintContext& context, const HighlightedProgramme* highlight) {
    if (!highlight) return false;
    HWND owner = nullptr;
    switch (highlight->owner) {
        case HighlightOwner::genreList: owner = context.genreListWindow; break;
        case HighlightOwner::updateInfo: owner = context.updateInfoWindow; break;
        case HighlightOwner::none: break;
    }
    return owner && IsWindowVisible(owner);
}

}  // namespace

GdiPaintSurface::GdiPaintSurface(HDC dc, const PaintTools& tools, const GenreBrushes* genreBrushes, HWND tooltip,
                                 HWND toolOwner)
    : dc_(dc), savedState_(SaveDC(dc)), tools_(tools), genreBrushes_(genreBrushes), tooltip_(tooltip),
      toolOwner_(toolOwner) {
    selectFont(PaintFont::title);
    selectPen(PaintPen::grid);
    selectBrush(brushOf(PaintBrush::cellOdd));
    SetBkMode(dc_, TRANSPARENT);
    // Black and white turn the monochrome SD mark into itself when it is blitted.
    SetBkColor(dc_, kMaskBackground);
    ::SetTextColor(dc_, textColor_);
}

GdiPaintSurface::~GdiPaintSurface() {
    if (savedState_) RestoreDC(dc_, savedState_);
}

HBRUSH GdiPaintSurface::brushOf(PaintBrush brush) const {
    const int index = static_cast<int>(brush);
    if (index < kFixedBrushCount) return tools_.brushes[index];
    return genreBrushes_ ? genreBrushes_->brush(index - kFixedBrushCount) : nullptr;
}

void GdiPaintSurface::selectPen(PaintPen pen) {
    HGDIOBJ handle = tools_.pens[static_cast<int>(pen)];
    if (handle && handle != pen_) {
        SelectObject(dc_, handle);
        pen_ = handle;
    }
}

void GdiPaintSurface::selectBrush(HBRUSH brush) {
    if (brush && brush != brush_) {
        SelectObject(dc_, brush);
        brush_ = brush;
    }
}

void GdiPaintSurface::selectFont(PaintFont font) {
    const int index = static_cast<int>(font);
    if (index == font_) return;
    if (HFONT handle = tools_.font(font)) SelectObject(dc_, handle);
    font_ = index;
}

void GdiPaintSurface::setTextColor(uint32_t color) {
    const COLORREF value = colorRef(color);
    if (value == textColor_) return;
    ::SetTextColor(dc_, value);
    textColor_ = value;
}

void GdiPaintSurface::clipTo(const Rect& rect) {
    SelectClipRgn(dc_, nullptr);
    IntersectClipRect(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void GdiPaintSurface::clipNone() { SelectClipRgn(dc_, nullptr); }

void GdiPaintSurface::fill(const Rect& rect, PaintBrush brush) {
    HBRUSH handle = brushOf(brush);
    if (!handle) return;
    const RECT r = toRect(rect);
    FillRect(dc_, &r, handle);
}

void GdiPaintSurface::box(const Rect& rect, PaintBrush brush, PaintPen pen) {
    selectPen(pen);
    selectBrush(brushOf(brush));
    Rectangle(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void GdiPaintSurface::frame(const Rect& rect, PaintPen pen) {
    selectPen(pen);
    selectBrush(static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    Rectangle(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void GdiPaintSurface::line(int x1, int y1, int x2, int y2, PaintPen pen) {
    selectPen(pen);
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
}

int GdiPaintSurface::text(const std::string& text, const Rect& rect, PaintFont font, uint32_t color,
                          unsigned format) {
    selectFont(font);
    if (text.empty()) {
        // An empty text takes one line, as DrawText formats it.
        int& height = lineHeights_[static_cast<int>(font)];
        if (height < 0) {
            TEXTMETRICA metrics{};
            height = GetTextMetricsA(dc_, &metrics) ? metrics.tmHeight : 0;
        }
        return height;
    }
    setTextColor(color);
    const UINT flags = drawTextFlags(format);
    RECT r = toRect(rect);
    const int length = static_cast<int>(text.size());
    int height = DrawTextA(dc_, text.data(), length, &r, flags);
    if ((format & kTextWordBreak) && height >= rect.bottom - rect.top) {
        // The text may run past the rectangle, and some systems stop counting
        // at its bottom: measure all of it.
        RECT measure{rect.left, rect.top, rect.right, rect.top};
        height = DrawTextA(dc_, text.data(), length, &measure, flags | DT_CALCRECT);
    }
    return height;
}

void GdiPaintSurface::sdMark(int x, int y) {
    if (!tools_.sdSurface) return;
    setTextColor(0);
    BitBlt(dc_, x, y, kSdMarkSize, kSdMarkSize, tools_.sdSurface, 0, 0, SRCAND);
}

void GdiPaintSurface::addTooltip(int id, const Rect& rect, const std::string& text) {
    if (!tooltip_) return;
    TTTOOLINFOA tool{};
    // The size every version of the control accepts (there is no lpReserved
    // without the version 6 controls).
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    // The main window relays its mouse messages (relayGuideTooltipEvent):
    // subclassing it once per tool on every paint costs far more than the paint.
    tool.uFlags = 0;
    tool.hwnd = toolOwner_;
    tool.uId = static_cast<UINT_PTR>(id);
    tool.rect = toRect(rect);
    tool.lpszText = const_cast<char*>(text.c_str());  // copied by the control
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void relayGuideTooltipEvent(const PaintContext& context, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!context.tooltip) return;
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = static_cast<DWORD>(GetMessageTime());
    const DWORD position = GetMessagePos();
    msg.pt = POINT{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    SendMessageA(context.tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

void destroyGuideTooltip(PaintContext& context) {
    if (context.tooltip) DestroyWindow(context.tooltip);
    context.tooltip = nullptr;
}

PaintResult paintGuideOn(HWND owner, HDC dc, int clientWidth, int clientHeight, int64_t now, GuideLayout& layout,
                         const EpgStore* store, const PaintInputs& inputs, PaintContext& context) {
    // Tips of the last paint never outlive it, not even when nothing is drawn now.
    destroyGuideTooltip(context);
    if (!context.tools) return {};

    if (store && layout.view.guideBegin != 0) {
        HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(owner, GWLP_HINSTANCE));
        context.tooltip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                          CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, instance, nullptr);
        if (context.tooltip) SendMessageA(context.tooltip, TTM_SETMAXTIPWIDTH, 0, kTooltipMaxWidth);
    }

    const PaintMoment moment{now, clientWidth, clientHeight, ownerVisible(context, inputs.highlight)};
    GdiPaintSurface surface(dc, *context.tools, context.genreBrushes, context.tooltip, owner);
    return paintGuideView(layout, store, inputs, moment, surface);
}

PaintResult paintGuideWindow(HWND window, HDC dc, Clock& clock, GuideLayout& layout, const EpgStore* store,
                             const PaintInputs& inputs, PaintContext& context) {
    RECT client{};
    GetClientRect(window, &client);
    const int64_t now = clock.now();
    const PaintResult result =
        paintGuideOn(window, dc, client.right, client.bottom, now, layout, store, inputs, context);
    if (result.earliestOnAirEnd != 0) {
        KillTimer(window, TIMER_GUIDE_REPAINT);
        int64_t delay = repaintDelay(result.earliestOnAirEnd, now);
        if (delay < USER_TIMER_MINIMUM) delay = USER_TIMER_MINIMUM;
        if (delay > USER_TIMER_MAXIMUM) delay = USER_TIMER_MAXIMUM;
        SetTimer(window, TIMER_GUIDE_REPAINT, static_cast<UINT>(delay), nullptr);
    }
    return result;
}

}  // namespace corvane
