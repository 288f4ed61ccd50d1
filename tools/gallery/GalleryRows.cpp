#include "tools/gallery/GalleryRows.h"

#include <algorithm>

#include "gui/Canvas.h"
#include "gui/GdiObject.h"
#include "gui/Label.h"

namespace gallery {

namespace {

constexpr int kMargin = 12;
constexpr int kKindWidth = 120; // the column of kind names
constexpr int kGap = 14;        // between samples, and between rows
constexpr int kCaptionGap = 3;  // between a sample and its state caption
constexpr int kCaptionHeight = 14;

int TextWidth(const gui::Font& font, const std::string& text) {
    gui::WindowDC screen(nullptr);
    gui::Canvas canvas(screen.Get());
    canvas.SetFont(font);
    return canvas.TextWidth(text);
}

} // namespace

GalleryRows::GalleryRows(gui::Form* owner, gui::WinControl* parent, int columnFoot)
    : owner_(owner), parent_(parent), columnFoot_(columnFoot), columnLeft_(kMargin), columnRight_(kMargin) {
    bottom_ = rowTop_ = kMargin;
    right_ = kMargin;
}

void GalleryRows::Row(const std::string& kind, int sampleHeight) {
    if (rowHeight_ > 0) rowTop_ += rowHeight_ + kGap;
    rowHeight_ = sampleHeight + kCaptionGap + kCaptionHeight;
    if (rowTop_ + rowHeight_ > columnFoot_ && rowTop_ > kMargin) {
        columnLeft_ = columnRight_ + 2 * kGap;
        rowTop_ = kMargin;
    }
    x_ = columnLeft_ + kKindWidth;
    AddCaption(kind, columnLeft_, rowTop_, true);
    bottom_ = std::max(bottom_, rowTop_ + rowHeight_ + kMargin);
}

void GalleryRows::Place(gui::Control* control, const std::string& state) {
    control->SetParent(parent_);
    control->SetLeft(x_);
    control->SetTop(rowTop_);
    const int captionWidth = TextWidth(control->Font(), state);
    AddCaption(state, x_, rowTop_ + rowHeight_ - kCaptionHeight, false);
    x_ += std::max(control->Width(), captionWidth) + kGap;
    columnRight_ = std::max(columnRight_, x_ - kGap);
    right_ = std::max(right_, columnRight_ + kMargin);
    bottom_ = std::max(bottom_, rowTop_ + std::max(rowHeight_, control->Height()) + kMargin);
}

void GalleryRows::AddCaption(const std::string& text, int x, int y, bool bold) {
    auto* label = new gui::Label(owner_);
    label->SetParent(parent_);
    label->SetAutoSize(false);
    label->SetTransparent(true);
    if (bold) {
        gui::Font font = label->Font();
        font.SetStyle(gui::fsBold);
        label->SetFont(font);
    }
    label->SetCaption(text);
    label->SetBounds(x, y, TextWidth(label->Font(), text) + 2, kCaptionHeight);
}

} // namespace gallery
