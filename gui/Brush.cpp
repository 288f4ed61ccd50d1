#include "gui/Brush.h"

#include "gui/Bitmap.h"

namespace gui {

Brush::Brush(const Brush& other) : color_(other.color_), style_(other.style_), bitmap_(other.bitmap_) {}

void Brush::SetColor(TColor color) {
    if (color == color_ && style_ == bsSolid) return;
    color_ = color;
    style_ = bsSolid;
    Changed();
}

void Brush::SetStyle(TBrushStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void Brush::SetBitmap(const gui::Bitmap* bitmap) {
    bitmap_ = bitmap;
    Changed();
}

void Brush::Assign(const Brush& other) {
    if (color_ == other.color_ && style_ == other.style_ && bitmap_ == other.bitmap_) return;
    color_ = other.color_;
    style_ = other.style_;
    bitmap_ = other.bitmap_;
    Changed();
}

void Brush::Changed() {
    handle_.Reset();
    if (OnChange) OnChange();
}

HBRUSH Brush::Handle() const {
    if (bitmap_ && !bitmap_->Empty()) {
        if (!handle_) handle_ = BrushHandle(CreatePatternBrush(bitmap_->Handle()));
        return handle_.Get();
    }
    if (style_ == bsClear) return nullptr;
    if (!handle_) handle_ = BrushHandle(CreateSolidBrush(ColorToRGB(color_)));
    return handle_.Get();
}

} // namespace gui
