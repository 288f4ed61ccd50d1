#include "gui/Pen.h"

namespace gui {

Pen::Pen(const Pen& other) : color_(other.color_), width_(other.width_), style_(other.style_) {}

void Pen::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void Pen::SetWidth(int width) {
    if (width == width_) return;
    width_ = width;
    Changed();
}

void Pen::SetStyle(TPenStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void Pen::Assign(const Pen& other) {
    if (color_ == other.color_ && width_ == other.width_ && style_ == other.style_) return;
    color_ = other.color_;
    width_ = other.width_;
    style_ = other.style_;
    Changed();
}

void Pen::Changed() {
    handle_.Reset();
    if (OnChange) OnChange();
}

HPEN Pen::Handle() const {
    if (!handle_) {
        int style = PS_SOLID;
        switch (style_) {
        case psSolid:
            style = PS_SOLID;
            break;
        case psDash:
            style = PS_DASH;
            break;
        case psDot:
            style = PS_DOT;
            break;
        case psDashDot:
            style = PS_DASHDOT;
            break;
        case psClear:
            style = PS_NULL;
            break;
        }
        handle_ = PenHandle(CreatePen(style, width_, ColorToRGB(color_)));
    }
    return handle_.Get();
}

} // namespace gui
