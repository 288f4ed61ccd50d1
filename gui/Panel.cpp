#include "gui/Panel.h"

#include "gui/Canvas.h"

namespace gui {

namespace {

// One bevel ring: top and left edges in topColor, bottom and right in bottomColor.
void Frame3D(Canvas& canvas, RECT& r, TColor topColor, TColor bottomColor, int width) {
    for (int i = 0; i < width && r.right - r.left > 0 && r.bottom - r.top > 0; ++i) {
        canvas.Brush().SetColor(topColor);
        canvas.FillRect(RECT{r.left, r.top, r.right - 1, r.top + 1});
        canvas.FillRect(RECT{r.left, r.top, r.left + 1, r.bottom - 1});
        canvas.Brush().SetColor(bottomColor);
        canvas.FillRect(RECT{r.right - 1, r.top, r.right, r.bottom});
        canvas.FillRect(RECT{r.left, r.bottom - 1, r.right, r.bottom});
        InflateRect(&r, -1, -1);
    }
}

void BevelColors(TBevelCut cut, TColor& top, TColor& bottom) {
    top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
    bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
}

} // namespace

Panel::Panel(Component* owner) : CustomControl(owner) {
    SetColor(clBtnFace);
    StoreBounds(0, 0, 185, 41);
}

void Panel::SetBevelInner(TBevelCut v) {
    bevelInner_ = v;
    Realign();
    Invalidate();
}

void Panel::SetBevelOuter(TBevelCut v) {
    bevelOuter_ = v;
    Realign();
    Invalidate();
}

void Panel::SetBevelWidth(int v) {
    bevelWidth_ = v < 1 ? 1 : v;
    Realign();
    Invalidate();
}

void Panel::SetBorderWidth(int v) {
    borderWidth_ = v < 0 ? 0 : v;
    Realign();
    Invalidate();
}

void Panel::SetAlignment(TAlignment v) {
    alignment_ = v;
    Invalidate();
}

void Panel::AdjustClientRect(RECT& rect) {
    CustomControl::AdjustClientRect(rect);
    int inset = borderWidth_;
    if (bevelOuter_ != bvNone) inset += bevelWidth_;
    if (bevelInner_ != bvNone) inset += bevelWidth_;
    InflateRect(&rect, -inset, -inset);
}

void Panel::Paint() {
    gui::Canvas& canvas = Canvas();
    RECT r = ClientRect();
    TColor top, bottom;
    if (bevelOuter_ != bvNone) {
        BevelColors(bevelOuter_, top, bottom);
        Frame3D(canvas, r, top, bottom, bevelWidth_);
    }
    Frame3D(canvas, r, Color(), Color(), borderWidth_);
    if (bevelInner_ != bvNone) {
        BevelColors(bevelInner_, top, bottom);
        Frame3D(canvas, r, top, bottom, bevelWidth_);
    }
    canvas.Brush().SetColor(Color());
    canvas.FillRect(r);
    if (Caption().empty()) return;
    canvas.Brush().SetStyle(bsClear);
    canvas.SetFont(Font());
    const UINT align = alignment_ == taLeftJustify    ? DT_LEFT
                       : alignment_ == taRightJustify ? DT_RIGHT
                                                      : DT_CENTER;
    canvas.DrawText(Caption(), r, DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | align);
}

void Panel::WndProc(Message& msg) {
    CustomControl::WndProc(msg);
    if (msg.Msg == WM_SIZE) Invalidate(); // bevels and the centred caption move with the size
}

} // namespace gui
