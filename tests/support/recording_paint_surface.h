// A paint surface that draws nothing and records every call, with a simple
// text model: fixed-width bytes, word wrap by width, one line per empty text.
#pragma once

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "guide/guide_paint.h"

namespace corvane {

struct PaintCall {
    enum Kind { clipCall, fillCall, boxCall, frameCall, lineCall, textCall, sdMarkCall, tooltipCall };
    Kind kind = fillCall;
    Rect rect;  // line: (x1, y1) .. (x2, y2)
    PaintBrush brush = PaintBrush::noData;
    PaintPen pen = PaintPen::grid;
    PaintFont font = PaintFont::title;
    uint32_t color = 0;
    std::string text;
};

class RecordingPaintSurface : public PaintSurface {
public:
    static constexpr int kCharWidth = 6;
    static constexpr int kLineHeight[3] = {13, 11, 12};  // title, detail, header
    std::vector<PaintCall> calls;

    void clipTo(const Rect& r) override { add(PaintCall::clipCall, r); }
    void clipNone() override { add(PaintCall::clipCall, Rect{}); }
    void fill(const Rect& r, PaintBrush brush) override { add(PaintCall::fillCall, r).brush = brush; }
    void box(const Rect& r, PaintBrush brush, PaintPen pen) override { add(PaintCall::boxCall, r, pen).brush = brush; }
    void frame(const Rect& r, PaintPen pen) override { add(PaintCall::frameCall, r, pen); }
    void line(int x1, int y1, int x2, int y2, PaintPen pen) override { add(PaintCall::lineCall, {x1, y1, x2, y2}, pen); }
    int text(const std::string& text, const Rect& r, PaintFont font, uint32_t color, unsigned format) override {
        PaintCall& c = add(PaintCall::textCall, r);
        c.font = font;
        c.color = color;
        c.text = text;
        const int perLine = std::max(1, (r.right - r.left) / kCharWidth);
        const int lines = text.empty() || (format & kTextSingleLine) ? 1 : (int(text.size()) + perLine - 1) / perLine;
        return lines * kLineHeight[static_cast<int>(font)];
    }
    void sdMark(int x, int y) override { add(PaintCall::sdMarkCall, {x, y, x + kSdMarkSize, y + kSdMarkSize}); }
    void addTooltip(int, const Rect& r, const std::string& text) override { add(PaintCall::tooltipCall, r).text = text; }

    std::vector<PaintCall> of(PaintCall::Kind kind) const {
        std::vector<PaintCall> out;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(out), [&](const PaintCall& c) { return c.kind == kind; });
        return out;
    }
    // Text calls whose text is exactly `text`.
    std::vector<PaintCall> texts(const std::string& text) const {
        std::vector<PaintCall> out;
        for (const PaintCall& c : of(PaintCall::textCall))
            if (c.text == text) out.push_back(c);
        return out;
    }
    // The first call of `kind` whose rectangle's top-left corner is (left, top), or null.
    const PaintCall* at(PaintCall::Kind kind, int left, int top) const {
        for (const PaintCall& c : calls)
            if (c.kind == kind && c.rect.left == left && c.rect.top == top) return &c;
        return nullptr;
    }
    std::vector<Rect> linesWith(PaintPen pen) const {
        std::vector<Rect> out;
        for (const PaintCall& c : of(PaintCall::lineCall))
            if (c.pen == pen) out.push_back(c.rect);
        return out;
    }

private:
    PaintCall& add(PaintCall::Kind kind, const Rect& rect, PaintPen pen = PaintPen::grid) {
        PaintCall& c = calls.emplace_back();
        c.kind = kind;
        c.rect = rect;
        c.pen = pen;
        return c;
    }
};

}  // namespace corvane
