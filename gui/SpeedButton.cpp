#include "gui/SpeedButton.h"

#include "gui/Canvas.h"
#include "gui/OffscreenPaint.h"

namespace gui {

SpeedButton::SpeedButton(Component* owner) : CustomControl(owner), glyph_(std::make_unique<Bitmap>()) {
    StoreBounds(0, 0, 23, 22);
}

SpeedButton::~SpeedButton() = default;

void SpeedButton::SetFlat(bool v) {
    flat_ = v;
    Invalidate();
}

void SpeedButton::SetGroupIndex(int v) {
    groupIndex_ = v;
    if (groupIndex_ == 0 && down_) {
        down_ = false;
        Invalidate();
    }
}

void SpeedButton::SetAllowAllUp(bool v) {
    allowAllUp_ = v;
}

void SpeedButton::SetDown(bool v) {
    if (groupIndex_ == 0) v = false;
    if (v == down_) return;
    if (down_ && !allowAllUp_) return;
    down_ = v;
    if (down_) ReleaseGroup();
    Invalidate();
}

void SpeedButton::SetGlyph(const Bitmap& glyph) {
    glyph_->Assign(glyph);
    glyph_->SetTransparentMode(tmAuto);
    glyph_->SetTransparent(true);
    Invalidate();
}

void SpeedButton::ReleaseGroup() {
    WinControl* parent = Parent();
    if (parent == nullptr) return;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* other = dynamic_cast<SpeedButton*>(parent->Controls(i));
        if (other != nullptr && other != this && other->groupIndex_ == groupIndex_ && other->down_) {
            other->down_ = false;
            other->Invalidate();
        }
    }
}

void SpeedButton::Click() {
    if (groupIndex_ != 0) SetDown(!down_ || !allowAllUp_);
    CustomControl::Click();
}

// --- drawing ----------------------------------------------------------------------

void SpeedButton::Paint() {
    const int w = Width();
    const int h = Height();
    if (w <= 0 || h <= 0) return;
    OffscreenPaint paint(w, h);
    gui::Canvas& canvas = paint.Canvas();
    canvas.Brush().SetColor(Color());
    canvas.FillRect(ClientRect());
    const bool sunken = down_ || pressed_;
    if (sunken || !flat_ || MouseInside()) {
        const TColor topLeft = sunken ? clBtnShadow : clBtnHighlight;
        const TColor bottomRight = sunken ? clBtnHighlight : clBtnShadow;
        canvas.Brush().SetColor(topLeft);
        canvas.FillRect(MakeRect(0, 0, w - 1, 1));
        canvas.FillRect(MakeRect(0, 0, 1, h - 1));
        canvas.Brush().SetColor(bottomRight);
        canvas.FillRect(MakeRect(w - 1, 0, w, h));
        canvas.FillRect(MakeRect(0, h - 1, w, h));
    }
    const int shift = sunken ? 1 : 0;
    if (!glyph_->Empty()) {
        const int x = (w - glyph_->Width()) / 2 + shift;
        const int y = (h - glyph_->Height()) / 2 + shift;
        canvas.Draw(x, y, *glyph_);
    } else if (!Caption().empty()) {
        canvas.Brush().SetStyle(bsClear);
        canvas.SetFont(Font());
        RECT r = MakeRect(shift, shift, w + shift, h + shift);
        canvas.DrawText(Caption(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    paint.Present(Canvas().Handle());
}

// --- input ------------------------------------------------------------------------

void SpeedButton::WndProc(Message& msg) {
    switch (msg.Msg) {
    case WM_ERASEBKGND:
        msg.Result = 1; // the paint covers the whole button
        return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        CustomControl::WndProc(msg);
        if (flat_) Invalidate(); // the edge shows only under the mouse
        return;
    default:
        CustomControl::WndProc(msg);
        return;
    }
}

void SpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && Enabled()) {
        pressed_ = true;
        Invalidate();
    }
    CustomControl::MouseDown(button, shift, x, y);
}

void SpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft && pressed_) {
        pressed_ = false;
        Invalidate();
    }
    CustomControl::MouseUp(button, shift, x, y);
}

} // namespace gui
