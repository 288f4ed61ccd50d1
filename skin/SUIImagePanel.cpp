// Picture panels.
#include "skin/SUIImagePanel.h"

#include <string>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Graphic.h"
#include "gui/OffscreenPaint.h"
#include "skin/SUIPublic.h"

namespace sui {

namespace {

// The caption without leading and trailing blanks and control characters.
bool BlankText(const std::string& text) {
    for (unsigned char c : text) {
        if (c > ' ') return false;
    }
    return true;
}

} // namespace

TsuiCustomPanel::TsuiCustomPanel(gui::Component* owner)
    : gui::Panel(owner), picture_(std::make_unique<gui::Picture>()) {
    picture_->OnChange = [this] { PictureChanged(); };
    RepaintNow();
}

TsuiCustomPanel::~TsuiCustomPanel() {
    picture_->OnChange = nullptr;
}

void TsuiCustomPanel::SetPicture(const gui::Picture& picture) {
    picture_->Assign(picture);
    FillBackground();
    RepaintNow();
}

void TsuiCustomPanel::SetTransparent(bool transparent) {
    transparent_ = transparent;
    if (HoldsGraphic()) MatchGraphicTransparency();
    RepaintNow();
}

void TsuiCustomPanel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    if (HoldsGraphic()) AdjustSizeToPicture();
}

void TsuiCustomPanel::SetDrawStyle(TsuiDrawStyle style) {
    drawStyle_ = style;
    FillBackground();
    RepaintNow();
}

void TsuiCustomPanel::UpdateChildrenStyle(TsuiUIStyle style) {
    ApplyStyleToChildren(this, style);
}

void TsuiCustomPanel::FillBackground() {
    Canvas().Brush().SetColor(Color());
    // Only a panel placed straight into a foreign window is filled here; elsewhere the next
    // paint covers the whole panel.
    if (ParentWindow() != nullptr) Canvas().FillRect(ClientRect());
}

void TsuiCustomPanel::CaptionAreaChanged(const RECT&) {}

void TsuiCustomPanel::PictureChanged() {
    if (HoldsGraphic()) {
        if (autoSize_) AdjustSizeToPicture();
        MatchGraphicTransparency();
    }
    FillBackground();
    RepaintNow();
}

void TsuiCustomPanel::RepaintNow() {
    if (HandleAllocated()) Repaint();
}

bool TsuiCustomPanel::HoldsGraphic() const {
    return !picture_->Empty();
}

void TsuiCustomPanel::AdjustSizeToPicture() {
    if (!autoSize_) return;
    const gui::TAlign align = Align();
    if (align != gui::alTop && align != gui::alBottom && align != gui::alClient) SetWidth(picture_->Width());
    if (align != gui::alLeft && align != gui::alRight && align != gui::alClient)
        SetHeight(picture_->Height());
}

void TsuiCustomPanel::MatchGraphicTransparency() {
    gui::Graphic* graphic = picture_->Graphic();
    if (graphic != nullptr && graphic->Transparent() != transparent_) graphic->SetTransparent(transparent_);
}

// ---------------------------------------------------------------------------
// Painting.

void TsuiCustomPanel::Paint() {
    const int w = Width();
    const int h = Height();
    if (w <= 0 || h <= 0) return;
    gui::OffscreenPaint paint(w, h);
    ComposePaint(paint.Canvas());
    paint.Present(Canvas().Handle());
}

void TsuiCustomPanel::ComposePaint(gui::Canvas& canvas) {
    const RECT client = ClientRect();

    if (transparent_) DrawParentBackground(canvas, this);
    if (const gui::Graphic* graphic = picture_->Graphic(); graphic != nullptr && !graphic->Empty()) {
        switch (drawStyle_) {
        case suiStretch:
            canvas.StretchDraw(client, *graphic);
            break;
        case suiTile:
            TileDraw(canvas, *picture_, client);
            break;
        case suiNormal:
            canvas.Draw(0, 0, *graphic);
            break;
        }
    } else if (!transparent_) {
        canvas.Brush().SetColor(Color());
        canvas.FillRect(client);
    }

    canvas.Brush().SetStyle(gui::bsClear);
    if (!BlankText(Caption())) {
        canvas.SetFont(Font());
        UINT format = DT_SINGLELINE | DT_VCENTER;
        switch (Alignment()) {
        case gui::taLeftJustify:
            format |= DT_LEFT;
            break;
        case gui::taRightJustify:
            format |= DT_RIGHT;
            break;
        case gui::taCenter:
            format |= DT_CENTER;
            break;
        }
        RECT r = client;
        canvas.DrawText(Caption(), r, format);
        captionRect_ = client;
    }
}

// ---------------------------------------------------------------------------
// Messages.

void TsuiCustomPanel::WndProc(gui::Message& msg) {
    switch (msg.Msg) {
    case WM_ERASEBKGND:
        // The paint covers the whole panel; erasing first would only flicker.
        msg.Result = 1;
        return;
    case gui::CM_TEXTCHANGED:
        CaptionAreaChanged(captionRect_);
        RepaintNow();
        return;
    default:
        gui::Panel::WndProc(msg);
    }
}

void TsuiCustomPanel::Resize() {
    gui::Panel::Resize();
    RepaintNow();
}

} // namespace sui
