#include "skin/SUITitleBar.h"

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/Form.h"
#include "gui/Icon.h"
#include "gui/OffscreenPaint.h"
#include "gui/Region.h"
#include "skin/SUIPublic.h"

namespace sui {

namespace {

bool IsUtf8Continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

} // namespace

std::string AbbreviatedCaption(const std::string& text) {
    size_t end = 0;
    for (int characters = 0; characters < 2 && end < text.size(); ++characters) {
        ++end;
        while (end < text.size() && IsUtf8Continuation(static_cast<unsigned char>(text[end])))
            ++end;
    }
    return text.substr(0, end) + "...";
}

// --- construction -------------------------------------------------------------

TsuiTitleBar::TsuiTitleBar(gui::Component* owner) : gui::Panel(owner) {
    SetBevelOuter(gui::bvNone);
    SetBevelInner(gui::bvNone);
    buttons_.Add().SetButtonType(TsuiTitleBarBtnType::suiControlBox);
    buttons_.Add().SetButtonType(TsuiTitleBarBtnType::suiClose);
    buttons_.Add().SetButtonType(TsuiTitleBarBtnType::suiMax);
    buttons_.Add().SetButtonType(TsuiTitleBarBtnType::suiMin);
    SetParentFont(false);
    Font().SetColor(gui::clWhite);
    SetAlign(gui::alTop);
    SetCaption("");
    SetUIStyle(FindFormStyle(owner));
}

TsuiTitleBar::~TsuiTitleBar() = default;

// --- setters ------------------------------------------------------------------

void TsuiTitleBar::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    if (sections_.Count() == 0) {
        autoSize_ = false;
        return;
    }
    SetHeight(sections_.Items(0).Picture().Height());
    Repaint();
}

// Sections, offsets, minimum width, region and button pictures of the style.
void TsuiTitleBar::SetUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    sections_.Clear();
    if (style == TsuiUIStyle::Custom) {
        Repaint();
        return;
    }
    TsuiTitleBarSection& left = sections_.Add();
    LoadThemeBitmap(left.Picture().Bitmap(), style, thTitleLeft);
    left.SetAutoSize(true);
    TsuiTitleBarSection& right = sections_.Add();
    LoadThemeBitmap(right.Picture().Bitmap(), style, thTitleRight);
    right.SetAutoSize(true);
    right.SetAlign(TsuiTitleBarAlign::suiRight);
    TsuiTitleBarSection& client = sections_.Add();
    LoadThemeBitmap(client.Picture().Bitmap(), style, thTitleClient);
    client.SetAlign(TsuiTitleBarAlign::suiClient);

    leftBtnXOffset_ = GetThemeInteger(style, thTitleLeftBtnXOffset);
    rightBtnXOffset_ = GetThemeInteger(style, thTitleRightBtnXOffset);
    if (gui::Form* form = ParentForm()) form->SetMinWidth(GetThemeInteger(style, thFormMinWidth));
    cornerSize_ = GetThemeInteger(style, thFormRoundCorner);
    UpdateFormRegion(cornerSize_);
    for (int i = 0; i < buttons_.Count(); ++i)
        buttons_.Items(i).SetUIStyle(style);
    SetAutoSize(true);
}

void TsuiTitleBar::SetButtonInterval(int interval) {
    buttonInterval_ = interval;
    Repaint();
}

void TsuiTitleBar::SetFormActive(bool active) {
    formActive_ = active;
    Repaint();
}

void TsuiTitleBar::SetLeftBtnXOffset(int offset) {
    leftBtnXOffset_ = offset;
    Repaint();
}

void TsuiTitleBar::SetRightBtnXOffset(int offset) {
    rightBtnXOffset_ = offset;
    Repaint();
}

void TsuiTitleBar::SetDrawAppIcon(bool draw) {
    drawAppIcon_ = draw;
    Repaint();
}

bool TsuiTitleBar::ParentIsFrame() const {
    return dynamic_cast<TsuiFormLike*>(Parent()) != nullptr;
}

// Only the two top corners are rounded; the bottom corners stay square.
void TsuiTitleBar::UpdateFormRegion(int cornerSize) {
    if (!ParentIsFrame() || IsDesigning()) return;
    gui::Form* form = ParentForm();
    if (!form) return;
    const int cw = form->ClientWidth();
    const int ch = form->ClientHeight();
    const int c2 = 2 * cornerSize;
    gui::Region region = gui::Region::RoundRect(0, 0, cw + 1, ch + 1, cornerSize, cornerSize);
    region.Union(gui::Region::Rect(0, ch - c2, c2, ch));
    region.Union(gui::Region::Rect(cw - c2, ch - c2, cw, ch));
    region.ApplyTo(form->Handle(), true);
}

// --- drawing ------------------------------------------------------------------

void TsuiTitleBar::Paint() {
    if (Width() <= 0 || Height() <= 0) return;
    gui::OffscreenPaint paint(Width(), Height());
    gui::Bitmap& bitmap = paint.Bitmap();
    bitmap.Canvas().Brush().SetStyle(gui::bsClear);
    bitmap.Canvas().SetFont(Font());
    DrawSections(bitmap);
    DrawButtonsAndCaption(bitmap);
    paint.Present(Canvas().Handle());
}

// Left sections from the left edge, right sections from the right edge while they fit beside
// the left ones, and the client section stretched over what is left between.
void TsuiTitleBar::DrawSections(gui::Bitmap& bitmap) {
    gui::Canvas& canvas = bitmap.Canvas();
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    int leftEdge = 0;
    int rightEdge = w;
    const TsuiTitleBarSection* client = nullptr;

    auto drawSection = [&](const TsuiTitleBarSection& section, int x) {
        const gui::Graphic* graphic = section.Picture().Graphic();
        if (!graphic || graphic->Empty()) return;
        if (section.Stretch()) {
            canvas.StretchDraw(gui::MakeBounds(x, 0, section.Width(), h), *graphic);
            return;
        }
        const int saved = canvas.SaveState();
        IntersectClipRect(canvas.Handle(), x, 0, x + section.Width(), h);
        canvas.Draw(x, 0, *graphic);
        canvas.RestoreState(saved);
    };

    for (int i = 0; i < sections_.Count(); ++i) {
        const TsuiTitleBarSection& section = sections_.Items(i);
        switch (section.Align()) {
        case TsuiTitleBarAlign::suiLeft:
            drawSection(section, leftEdge);
            leftEdge += section.Width();
            break;
        case TsuiTitleBarAlign::suiRight:
            if (w - (leftEdge - 1) >= section.Width()) {
                drawSection(section, rightEdge - section.Width());
                rightEdge -= section.Width();
            }
            break;
        case TsuiTitleBarAlign::suiClient:
            client = &section;
            break;
        }
    }
    if (client && leftEdge < rightEdge) {
        const gui::Graphic* graphic = client->Picture().Graphic();
        if (graphic && !graphic->Empty())
            canvas.StretchDraw(gui::MakeRect(leftEdge, 0, rightEdge, h), *graphic);
    }
}

void TsuiTitleBar::DrawButton(gui::Bitmap& bitmap, const TsuiTitleBarButton& button, int x, bool hot) {
    const int w = button.PicNormal().Width();
    const int h = button.PicNormal().Height();
    if (w <= 0 || h <= 0) return;
    const gui::Picture& picture =
        !hot ? button.PicNormal() : (pressed_ ? button.PicMouseDown() : button.PicMouseOn());
    gui::Bitmap face(w, h);
    if (const gui::Graphic* graphic = picture.Graphic(); graphic && !graphic->Empty())
        face.Canvas().Draw(0, 0, *graphic);
    face.SetTransparent(button.Transparent());
    bitmap.Canvas().Draw(x, button.Top(), face);
}

// The right-hand row from the right edge leftwards, the control box (or the program's icon)
// at the left, then the caption after it.
void TsuiTitleBar::DrawButtonsAndCaption(gui::Bitmap& bitmap) {
    gui::Canvas& canvas = bitmap.Canvas();
    POINT cursor{};
    GetCursorPos(&cursor);
    cursor = ScreenToClient(cursor);
    hotButton_ = -1;

    int x = bitmap.Width() + rightBtnXOffset_ + 1;
    const TsuiTitleBarButton* controlBox = nullptr;
    for (int i = 0; i < buttons_.Count(); ++i) {
        const TsuiTitleBarButton& button = buttons_.Items(i);
        if (button.ButtonType() == TsuiTitleBarBtnType::suiControlBox) {
            controlBox = &button;
            continue;
        }
        const int w = button.PicNormal().Width();
        const int h = button.PicNormal().Height();
        x -= w + buttonInterval_ + 1;
        const bool hot =
            PointInRectInclusive(cursor, gui::MakeRect(x, button.Top(), x + w, button.Top() + h));
        if (hot) hotButton_ = i;
        DrawButton(bitmap, button, x, hot);
    }
    const int rightLimit = x;

    int captionX = leftBtnXOffset_;
    if (controlBox) {
        const int w = controlBox->PicNormal().Width();
        const int h = controlBox->PicNormal().Height();
        const bool hot = PointInRectInclusive(
            cursor, gui::MakeRect(captionX, controlBox->Top(), captionX + w, controlBox->Top() + h));
        if (hot) hotButton_ = controlBox->Index();
        if (!drawAppIcon_) {
            DrawButton(bitmap, *controlBox, captionX, hot);
            captionX += w + 5;
        } else {
            gui::Icon icon;
            icon.LoadFromResourceName(gui::App().ModuleHandle(), "MAINICON");
            canvas.Draw(captionX + 3, controlBox->Top(), icon);
            captionX += 21;
        }
    }
    if (captionX == 0) captionX = 6;

    if (!formActive_)
        canvas.Font().SetColor(gui::clInactiveCaption);
    else if (uiStyle_ == TsuiUIStyle::MacOS)
        canvas.Font().SetColor(gui::clBlack);
    else
        canvas.Font().SetColor(Font().Color());

    const std::string& caption = Caption();
    const std::string text =
        canvas.TextWidth(caption) > rightLimit - captionX ? AbbreviatedCaption(caption) : caption;
    const int y = uiStyle_ == TsuiUIStyle::DeepBlue ? 4 : (bitmap.Height() - canvas.TextHeight(text)) / 2;
    canvas.Brush().SetStyle(gui::bsClear);
    canvas.TextOut(captionX, y, text);
}

// --- input --------------------------------------------------------------------

void TsuiTitleBar::WndProc(gui::Message& msg) {
    switch (msg.Msg) {
    case WM_ERASEBKGND:
        msg.Result = 1;
        return;
    case gui::CM_MOUSELEAVE:
    case gui::CM_TEXTCHANGED:
    case gui::CM_FONTCHANGED:
        gui::Panel::WndProc(msg);
        Repaint();
        return;
    default:
        gui::Panel::WndProc(msg);
    }
}

void TsuiTitleBar::MouseMove(gui::TShiftState shift, int x, int y) {
    gui::Panel::MouseMove(shift, x, y);
    Repaint();
}

// A press on the free part of the bar drags the window with the system's move loop.
void TsuiTitleBar::MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    gui::Panel::MouseDown(button, shift, x, y);
    if (button != gui::mbLeft) return;
    pressed_ = true;
    Repaint();
    gui::Form* form = ParentForm();
    if (hotButton_ == -1 && form && form->WindowState() != gui::wsMaximized) {
        ReleaseCapture();
        SendMessageW(form->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
        pressed_ = false;
    }
}

// The button under the mouse at release acts, whichever button the press began on.
void TsuiTitleBar::MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    gui::Panel::MouseUp(button, shift, x, y);
    if (button != gui::mbLeft) return;
    const int hot = hotButton_;
    if (hot >= 0 && hot < buttons_.Count()) {
        TsuiTitleBarButton& target = buttons_.Items(hot);
        const TsuiTitleBarBtnType type = target.ButtonType();
        target.DoClick();
        if (OnCustomBtnsClick && type == TsuiTitleBarBtnType::suiCustom)
            OnCustomBtnsClick(this, hot);
        else if (OnHelpBtnClick && type == TsuiTitleBarBtnType::suiHelp)
            OnHelpBtnClick(this, hot);
    }
    pressed_ = false;
    Repaint();
}

// A double click on the free part of the bar maximises or restores the form.
void TsuiTitleBar::DblClick() {
    gui::Panel::DblClick();
    if (hotButton_ != -1) return;
    for (int i = 0; i < buttons_.Count(); ++i) {
        if (buttons_.Items(i).ButtonType() == TsuiTitleBarBtnType::suiMax) {
            buttons_.Items(i).DoClick();
            return;
        }
    }
}

} // namespace sui
