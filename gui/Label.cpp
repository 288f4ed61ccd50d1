#include "gui/Label.h"

#include "gui/Canvas.h"
#include "gui/GdiObject.h"

namespace gui {

namespace {

UINT AlignmentFlag(TAlignment a) {
    return a == taLeftJustify ? DT_LEFT : a == taRightJustify ? DT_RIGHT : DT_CENTER;
}

} // namespace

Label::Label(Component* owner) : CustomControl(owner) {
    StoreBounds(0, 0, 65, 17);
}

void Label::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    Invalidate();
}

void Label::SetAutoSize(bool v) {
    autoSize_ = v;
    AdjustBounds();
}

void Label::SetAlignment(TAlignment v) {
    alignment_ = v;
    Invalidate();
}

void Label::AdjustBounds() {
    if (!autoSize_ || IsLoading()) return;
    WindowDC screen(nullptr);
    gui::Canvas canvas(screen.Get());
    canvas.SetFont(Font());
    RECT r{0, 0, 0, 0};
    const std::string text = Caption().empty() ? std::string(" ") : Caption();
    canvas.DrawText(text, r, DT_EXPANDTABS | DT_CALCRECT | DT_SINGLELINE);
    int x = Left();
    if (alignment_ == taRightJustify) x += Width() - r.right;
    SetBounds(x, Top(), r.right, r.bottom);
}

void Label::Loaded() {
    CustomControl::Loaded();
    AdjustBounds();
}

void Label::Paint() {
    gui::Canvas& canvas = Canvas();
    HDC dc = canvas.Handle();
    if (transparent_) {
        // The parent paints its background and itself into this control's place.
        if (WinControl* parent = Parent()) {
            SaveDCGuard saved(dc);
            POINT origin;
            GetViewportOrgEx(dc, &origin);
            SetViewportOrgEx(dc, origin.x - Left(), origin.y - Top(), nullptr);
            IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
            parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
            parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        }
    } else {
        canvas.Brush().SetColor(Color());
        canvas.FillRect(ClientRect());
    }
    canvas.Brush().SetStyle(bsClear);
    canvas.SetFont(Font());
    if (!Enabled()) canvas.Font().SetColor(clGrayText);
    RECT r = ClientRect();
    canvas.DrawText(Caption(), r, DT_EXPANDTABS | DT_SINGLELINE | AlignmentFlag(alignment_));
}

void Label::WndProc(Message& msg) {
    switch (msg.Msg) {
    case WM_ERASEBKGND:
        msg.Result = 1; // Paint covers the whole label
        return;
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        CustomControl::WndProc(msg);
        AdjustBounds();
        return;
    default:
        CustomControl::WndProc(msg);
        return;
    }
}

} // namespace gui
