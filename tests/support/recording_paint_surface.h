// A paint surface that draws nothing and records every call, with a simple
// text model: fixed-width bytes, word wrap by width, one line per empty text.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "guide/guide_paint.h"

namespace corvane {

struct PaintCall {
    enum Kind { clipCall, fillCall, boxCall, frameCall, lineCall, textCall, sdMarkCall, tooltipCall };
    Kind kind = fillCall;
    Rect rect;       // line: (x1, y1) .. (x2, y2)
    Rect clip;       // the clip in force; empty: none
    PaintBrush brush = PaintBrush::noData;
    PaintPen pen = PaintPen::grid;
    PaintFont font = PaintFont::title;
    uint32_t color = 0;
    unsigned format = 0;
    std::string text;
    int id = 0;
};

class RecordingPaintSurface : public PaintSurface {
public:
    int charWidth = 6;
    int lineHeight[3] = {13, 11, 12};  // title, detail, header
    std::vector<PaintCall> calls;

    void clipTo(const Rect& rect) override {
        clip_ = rect;
        push(PaintCall::clipCall).rect = rect;
    }
    void clipNone() override {
        clip_ = Rect{};
        push(PaintCall::clipCall);
    }
    void fill(const Rect& rect, PaintBrush brush) override {
        PaintCall& c = push(PaintCall::fillCall);
        c.rect = rect;
        c.brush = brush;
    }
    void box(const Rect& rect, PaintBrush brush, PaintPen pen) override {
        PaintCall& c = push(PaintCall::boxCall);
        c.rect = rect;
        c.brush = brush;
        c.pen = pen;
    }
    void frame(const Rect& rect, PaintPen pen) override {
        PaintCall& c = push(PaintCall::frameCall);
        c.rect = rect;
        c.pen = pen;
    }
    void line(int x1, int y1, int x2, int y2, PaintPen pen) override {
        PaintCall& c = push(PaintCall::lineCall);
        c.rect = Rect{x1, y1, x2, y2};
        c.pen = pen;
    }
    int text(const std::string& text, const Rect& rect, PaintFont font, uint32_t color, unsigned format) override {
        PaintCall& c = push(PaintCall::textCall);
        c.rect = rect;
        c.font = font;
        c.color = color;
        c.format = format;
        c.text = text;
        return lines(text, rect, format) * lineHeight[static_cast<int>(font)];
    }
    void sdMark(int x, int y) override { push(PaintCall::sdMarkCall).rect = Rect{x, y, x + kSdMarkSize, y + kSdMarkSize}; }
    void addTooltip(int id, const Rect& rect, const std::string& text) override {
        PaintCall& c = push(PaintCall::tooltipCall);
        c.id = id;
        c.rect = rect;
        c.text = text;
    }

    std::vector<PaintCall> of(PaintCall::Kind kind) const {
        std::vector<PaintCall> out;
        for (const PaintCall& c : calls)
            if (c.kind == kind) out.push_back(c);
        return out;
    }
    // Text calls whose text is exactly `text`.
    std::vector<PaintCall> texts(const std::string& text) const {
        std::vector<PaintCall> out;
        for (const PaintCall& c : calls)
            if (c.kind == PaintCall::textCall && c.text == text) out.push_back(c);
        return out;
    }
    // The fill of the cell whose top-left corner is (left, top), or null.
    const PaintCall* fillAt(int left, int top) const {
        for (const PaintCall& c : calls)
            if (c.kind == PaintCall::fillCall && c.rect.left == left && c.rect.top == top) return &c;
        return nullptr;
    }
    const PaintCall* tooltipAt(int left, int top) const {
        for (const PaintCall& c : calls)
            if (c.kind == PaintCall::tooltipCall && c.rect.left == left && c.rect.top == top) return &c;
        return nullptr;
    }
    // Lines drawn with `pen`.
    std::vector<Rect> linesWith(PaintPen pen) const {
        std::vector<Rect> out;
        for (const PaintCall& c : calls)
            if (c.kind == PaintCall::lineCall && c.pen == pen) out.push_back(c.rect);
        return out;
    }

private:
    PaintCall& push(PaintCall::Kind kind) {
        calls.emplace_back();
        calls.back().kind = kind;
        calls.back().clip = clip_;
        return calls.back();
    }

    int lines(const std::string& text, const Rect& rect, unsigned format) const {
        if (text.empty() || (format & kTextSingleLine)) return 1;
        const int perLine = std::max(1, (rect.right - rect.left) / charWidth);
        return (static_cast<int>(text.size()) + perLine - 1) / perLine;
    }

    Rect clip_;
};

}  // namespace corvane
