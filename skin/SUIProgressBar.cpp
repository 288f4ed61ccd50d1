// The skinned progress bar.
#include "skin/SUIProgressBar.h"

#include <algorithm>
#include <string>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Graphic.h"
#include "gui/OffscreenPaint.h"

namespace sui {

TsuiProgressBar::TsuiProgressBar(gui::Component* owner)
    : gui::Panel(owner), picture_(std::make_unique<gui::Picture>()) {
    SetHeight(kThickness);
    SetWidth(150);
    SetCaption("50%");
    SetColor(gui::clBtnFace);
    SetUIStyle(FindFormStyle(owner));
    UpdateCaption();
}

TsuiProgressBar::~TsuiProgressBar() = default;

// ---------------------------------------------------------------------------
// Setters.

void TsuiProgressBar::SetMin(int min) {
    min_ = min;
    UpdateCaption();
}

void TsuiProgressBar::SetMax(int max) {
    max_ = max;
    UpdateCaption();
}

void TsuiProgressBar::SetPosition(int position) {
    position_ = position;
    UpdateCaption();
}

void TsuiProgressBar::SetUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    LoadStyle();
}

void TsuiProgressBar::SetOrientation(TsuiProgressBarOrientation orientation) {
    orientation_ = orientation;
    LoadStyle();
    const int length = std::max(Width(), Height());
    if (orientation == suiVertical) {
        SetWidth(kThickness);
        SetHeight(length);
    } else {
        SetHeight(kThickness);
        SetWidth(length);
    }
}

void TsuiProgressBar::SetColor(gui::TColor color) {
    color_ = color;
    RepaintNow();
}

void TsuiProgressBar::SetBorderColor(gui::TColor color) {
    borderColor_ = color;
    RepaintNow();
}

void TsuiProgressBar::SetCaptionColor(gui::TColor color) {
    captionColor_ = color;
    RepaintNow();
}

void TsuiProgressBar::SetShowCaption(bool show) {
    showCaption_ = show;
    RepaintNow();
}

void TsuiProgressBar::SetPicture(const gui::Picture& picture) {
    picture_->Assign(picture);
    RepaintNow();
}

void TsuiProgressBar::RepaintNow() {
    if (HandleAllocated()) Repaint();
}

void TsuiProgressBar::LoadStyle() {
    if (uiStyle_ != TsuiUIStyle::Custom) {
        LoadThemeBitmap(picture_->Bitmap(), uiStyle_,
                        orientation_ == suiHorizontal ? thProgressBar : thProgressBarV);
        color_ = GetThemeColor(uiStyle_, thControlColor);
        borderColor_ = GetThemeColor(uiStyle_, thControlBorderColor);
    }
    RepaintNow();
}

// In 64 bits, so a wide range cannot overflow; with Max equal to Min the caption reads "0%",
// as empty as the bar.
void TsuiProgressBar::UpdateCaption() {
    const std::int64_t range = std::int64_t{max_} - min_;
    const std::int64_t percent = range == 0 ? 0 : (std::int64_t{position_} - min_) * 100 / range;
    SetCaption(std::to_string(percent) + "%");
    RepaintNow();
}

int TsuiProgressBar::FilledLength(int available) const {
    if (min_ >= max_ || position_ <= min_) return 0;
    if (position_ > max_) return available;
    return static_cast<int>((std::int64_t{position_} - min_) * available / (std::int64_t{max_} - min_));
}

// ---------------------------------------------------------------------------
// The thickness rule.

bool TsuiProgressBar::KeepsThickness(int width, int height) const {
    return orientation_ == suiHorizontal ? height == kThickness : width == kThickness;
}

bool TsuiProgressBar::CanResize(int& newWidth, int& newHeight) {
    return KeepsThickness(newWidth, newHeight);
}

void TsuiProgressBar::SetBounds(int left, int top, int width, int height) {
    if ((width != Width() || height != Height()) && !KeepsThickness(width, height)) return;
    gui::Panel::SetBounds(left, top, width, height);
}

// ---------------------------------------------------------------------------
// Painting.

// A horizontal bar fills from the left, a vertical one from the bottom, inside the border.
// With a picture the off-screen bitmap takes the picture's thickness plus the border, and is
// copied at that size (so a thicker picture is cut at the control's edge).
void TsuiProgressBar::Paint() {
    const int w = ClientWidth();
    const int h = ClientHeight();
    if (w <= 0 || h <= 0) return;
    gui::OffscreenPaint paint(w, h);
    gui::Bitmap& buffer = paint.Bitmap();
    gui::Canvas& canvas = paint.Canvas();
    const gui::Graphic* graphic = picture_->Empty() ? nullptr : picture_->Graphic();
    canvas.Brush().SetColor(color_);
    if (orientation_ == suiHorizontal) {
        const int f = std::max(FilledLength(w - 1), 1);
        if (graphic != nullptr) {
            buffer.SetHeight(graphic->Height() + 2);
            if (f > 1) canvas.StretchDraw(gui::MakeRect(1, 1, f, buffer.Height() - 1), *graphic);
        }
        canvas.FillRect(gui::MakeRect(f, 1, w - 1, buffer.Height() - 1));
    } else {
        int t = (h - 1) - FilledLength(h - 1);
        if (t == 0) t = 1;
        if (graphic != nullptr) {
            buffer.SetWidth(graphic->Width() + 2);
            if (t < h - 1) canvas.StretchDraw(gui::MakeRect(1, t, buffer.Width() - 1, h - 1), *graphic);
        }
        canvas.FillRect(gui::MakeRect(1, 1, buffer.Width() - 1, t));
        // A vertical bar has no room for a caption; painting one switches it off for good.
        showCaption_ = false;
    }

    if (showCaption_) {
        canvas.Font().SetColor(captionColor_);
        canvas.Brush().SetStyle(gui::bsClear);
        const SIZE text = canvas.TextExtent(Caption());
        canvas.TextOut((buffer.Width() - text.cx) / 2, (buffer.Height() - text.cy) / 2, Caption());
        canvas.Brush().SetStyle(gui::bsSolid);
    }

    canvas.Brush().SetColor(borderColor_);
    canvas.FrameRect(ClientRect());
    paint.Present(Canvas().Handle());
}

} // namespace sui
