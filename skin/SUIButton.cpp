#include "skin/SUIButton.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "gui/Application.h"
#include "gui/Canvas.h"
#include "gui/Exception.h"
#include "gui/FlagScope.h"
#include "gui/Form.h"
#include "gui/ImageList.h"
#include "gui/OffscreenPaint.h"
#include "gui/Text.h"
#include "skin/SUIPublic.h"

namespace sui {

namespace {

constexpr gui::TColor kDisabledTextColor = 0x808080;
constexpr gui::TColor kDisabledShadowColor = 0xFFFFFF;
constexpr gui::TColor kFocusLineColor = 0xFF0000;
constexpr int kMacOSButtonHeight = 23;

HINSTANCE OwnModule() {
    return gui::App().ModuleHandle();
}

bool IsPressKey(std::uint16_t key) {
    return key == VK_SPACE || key == VK_RETURN;
}

// Loads a named bitmap resource; an empty name is as missing as a wrong one.
void LoadNamedBitmap(gui::Bitmap& bitmap, HINSTANCE module, const std::string& name) {
    if (name.empty()) throw gui::EResNotFound(gui::FormatMessageText("Resource %s not found", name));
    bitmap.LoadFromResourceName(module, name);
}

// The colour of a bitmap's pixel as a COLORREF (the bitmap stores 0x00RRGGBB).
COLORREF PixelColor(const gui::Bitmap& bitmap, int x, int y) {
    return gui::PixelToColor(bitmap.ScanLine(y)[x]);
}

// Copies the part of picture that starts at column sx, w x h pixels, to (x, y) on the canvas,
// unscaled; keyed: every pixel of the colour of the picture's top-left pixel is left out.
void BlitPicture(gui::Canvas& canvas, gui::Bitmap& picture, int x, int y, int sx, int w, int h, bool keyed) {
    const HDC source = picture.Canvas().Handle();
    if (keyed)
        TransparentBlt(canvas.Handle(), x, y, w, h, source, sx, 0, w, h, PixelColor(picture, 0, 0));
    else
        BitBlt(canvas.Handle(), x, y, w, h, source, sx, 0, SRCCOPY);
}

// The framework's greyed rendering of the part of picture from column sx, keyed on its
// top-left pixel when asked.
void DrawGreyed(gui::Canvas& canvas, gui::Bitmap& picture, int x, int y, int sx, int w, int h, bool keyed) {
    gui::Bitmap part(w, h);
    BitBlt(part.Canvas().Handle(), 0, 0, w, h, picture.Canvas().Handle(), sx, 0, SRCCOPY);
    gui::ImageList list(w, h);
    if (keyed)
        list.AddMasked(part, PixelColor(picture, 0, 0));
    else
        list.Add(part, nullptr);
    list.Draw(canvas, x, y, 0, false);
}

// Draws the whole picture at (x, y), keyed on its top-left pixel when asked, greyed when not
// enabled.
void DrawPictureAt(gui::Canvas& canvas, gui::Bitmap& picture, int x, int y, bool keyed, bool enabled) {
    if (picture.Empty()) return;
    if (enabled)
        BlitPicture(canvas, picture, x, y, 0, picture.Width(), picture.Height(), keyed);
    else
        DrawGreyed(canvas, picture, x, y, 0, picture.Width(), picture.Height(), keyed);
}

// The size of a bitmap resource, read from its header; {0, 0} when the module lacks it.
SIZE ResourceBitmapSize(HINSTANCE module, const std::string& name) {
    const std::wstring wide = gui::Utf8ToWide(name);
    HRSRC info = FindResourceW(module, wide.c_str(), MAKEINTRESOURCEW(2)); // RT_BITMAP
    if (info == nullptr) return SIZE{0, 0};
    HGLOBAL data = LoadResource(module, info);
    const auto* bytes = data ? static_cast<const std::uint8_t*>(LockResource(data)) : nullptr;
    const DWORD size = SizeofResource(module, info);
    if (bytes == nullptr || size < sizeof(BITMAPCOREHEADER)) return SIZE{0, 0};
    BITMAPCOREHEADER core;
    std::memcpy(&core, bytes, sizeof core);
    if (core.bcSize == sizeof(BITMAPCOREHEADER)) return SIZE{core.bcWidth, core.bcHeight};
    if (core.bcSize < sizeof(BITMAPINFOHEADER) || size < sizeof(BITMAPINFOHEADER)) return SIZE{0, 0};
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof header);
    constexpr LONG kLargest = 16384; // what the framework's bitmap loading accepts
    if (header.biWidth < 0 || header.biWidth > kLargest || header.biHeight < -kLargest ||
        header.biHeight > kLargest)
        return SIZE{0, 0};
    return SIZE{header.biWidth, header.biHeight < 0 ? -header.biHeight : header.biHeight};
}

} // namespace

// ===========================================================================
// TsuiCustomButton

TsuiCustomButton::TsuiCustomButton(gui::Component* owner) : gui::CustomControl(owner) {
    SetResHandle(nullptr);
    OnClick = nullptr;
    SetCaption("");
}

TsuiCustomButton::~TsuiCustomButton() = default;

// --- setters ------------------------------------------------------------------

void TsuiCustomButton::SetUIStyle(TsuiUIStyle style) {
    uiStyle_ = style;
    AssignStylePictures(style);
    UIStyleChanged();
    Repaint();
}

void TsuiCustomButton::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    UpdateAutoSize();
    Repaint();
}

void TsuiCustomButton::SetTransparent(bool transparent) {
    transparent_ = transparent;
    TransparentChanged();
    Repaint();
}

void TsuiCustomButton::SetPicMouseDownResName(const std::string& name) {
    picMouseDownResName_ = name;
    Repaint();
}

void TsuiCustomButton::SetPicMouseOnResName(const std::string& name) {
    picMouseOnResName_ = name;
    Repaint();
}

void TsuiCustomButton::SetPicNormalResName(const std::string& name) {
    picNormalResName_ = name;
    UpdateAutoSize();
    Repaint();
}

HINSTANCE TsuiCustomButton::ResHandle() const {
    return resHandle_ == OwnModule() ? nullptr : resHandle_;
}

void TsuiCustomButton::SetResHandle(HINSTANCE module) {
    resHandle_ = module != nullptr ? module : OwnModule();
}

void TsuiCustomButton::UpdateAutoSize() {
    if (!autoSize_ || picNormalResName_.empty()) return;
    gui::Bitmap picture;
    LoadPicture(picture, picNormalResName_);
    SetHeight(picture.Height());
    SetWidth(picture.Width());
}

void TsuiCustomButton::FontChanged() {
    Canvas().SetFont(Font());
    Repaint();
}

void TsuiCustomButton::TransparentChanged() {
    picTransparent_ = transparent_;
}

// --- drawing ------------------------------------------------------------------

void TsuiCustomButton::LoadPicture(gui::Bitmap& bitmap, const std::string& name) const {
    try {
        LoadNamedBitmap(bitmap, resHandle_, name);
    } catch (...) {
        bitmap.SetSize(0, 0);
        bitmap.SetSize(kBlankPictureWidth, kBlankPictureHeight);
    }
}

bool TsuiCustomButton::CaptionBlank() const {
    return Caption().find_first_not_of(' ') == std::string::npos;
}

void TsuiCustomButton::LoadNormalPicture(gui::Bitmap& bitmap) {
    LoadNamedBitmap(bitmap, resHandle_, picNormalResName_);
}

void TsuiCustomButton::LoadMouseOnPicture(gui::Bitmap& bitmap) {
    LoadNamedBitmap(bitmap, resHandle_, picMouseOnResName_);
}

void TsuiCustomButton::LoadMouseDownPicture(gui::Bitmap& bitmap) {
    LoadNamedBitmap(bitmap, resHandle_, picMouseDownResName_);
}

void TsuiCustomButton::LoadDisabledPicture(gui::Bitmap& bitmap) {
    LoadNamedBitmap(bitmap, resHandle_, picNormalResName_);
}

void TsuiCustomButton::EraseBackground(HDC) {}

void TsuiCustomButton::Paint() {
    if (Width() <= 0 || Height() <= 0) return;
    gui::Bitmap picture;
    try {
        if (!Enabled())
            LoadDisabledPicture(picture);
        else if (isMouseDown_)
            LoadMouseDownPicture(picture);
        else if (isMouseOn_)
            LoadMouseOnPicture(picture);
        else
            LoadNormalPicture(picture);
    } catch (...) {
        picture.SetSize(0, 0);
        picture.SetSize(kBlankPictureWidth, kBlankPictureHeight);
    }

    gui::OffscreenPaint paint(Width(), Height());
    gui::Canvas& canvas = paint.Canvas();
    const RECT client = ClientRect();
    if (transparent_) {
        DrawParentBackground(canvas, this);
    } else {
        canvas.Brush().SetColor(Color());
        canvas.FillRect(client);
    }
    DrawPicture(canvas, picture);
    if (Focused() && TabStop()) DrawFocus(canvas);
    canvas.SetFont(Font());
    Canvas().SetFont(Font());
    if (!CaptionBlank()) DrawCaption(canvas, Caption());
    paint.Present(Canvas().Handle(), client);
}

void TsuiCustomButton::DrawPicture(gui::Canvas& canvas, gui::Bitmap& picture) {
    DrawPictureAt(canvas, picture, 0, 0, picTransparent_, Enabled());
}

void TsuiCustomButton::DrawCaption(gui::Canvas& canvas, const std::string& caption) {
    canvas.Brush().SetStyle(gui::bsClear);
    constexpr UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    const RECT client = ClientRect();
    RECT moved = client;
    OffsetRect(&moved, 1, 1);
    if (!Enabled()) {
        canvas.Font().SetColor(kDisabledShadowColor);
        canvas.DrawText(caption, moved, format);
        canvas.Font().SetColor(kDisabledTextColor);
        RECT r = client;
        canvas.DrawText(caption, r, format);
    } else if (isMouseDown_) {
        canvas.DrawText(caption, moved, format);
    } else {
        RECT r = client;
        canvas.DrawText(caption, r, format);
    }
}

void TsuiCustomButton::DrawFocus(gui::Canvas& canvas) {
    canvas.Brush().SetStyle(gui::bsSolid);
    canvas.DrawFocusRect(gui::MakeRect(2, 2, ClientWidth() - 2, ClientHeight() - 2));
}

// --- input --------------------------------------------------------------------

void TsuiCustomButton::WndProc(gui::Message& msg) {
    switch (msg.Msg) {
    case WM_ERASEBKGND:
        msg.Result = 1;
        return;
    case gui::CM_MOUSEENTER:
        mouseInControl_ = true;
        if (IsDesigning()) return;
        isMouseOn_ = true;
        Repaint();
        if (OnMouseEnter) OnMouseEnter(this);
        return;
    case gui::CM_MOUSELEAVE:
        gui::CustomControl::WndProc(msg);
        isMouseOn_ = false;
        Repaint();
        if (OnMouseExit) OnMouseExit(this);
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case gui::CM_FOCUSCHANGED:
        gui::CustomControl::WndProc(msg);
        Repaint();
        return;
    case gui::CM_FONTCHANGED:
        gui::CustomControl::WndProc(msg);
        FontChanged();
        return;
    case gui::CM_TEXTCHANGED:
        gui::CustomControl::WndProc(msg);
        CaptionChanged();
        Repaint();
        return;
    case gui::CM_ENABLEDCHANGED:
        gui::CustomControl::WndProc(msg);
        EnabledChanged();
        Repaint();
        return;
    case gui::CM_DIALOGCHAR:
        gui::CustomControl::WndProc(msg);
        msg.Result = DialogChar(static_cast<unsigned>(msg.WParam)) ? 1 : 0;
        return;
    default:
        gui::CustomControl::WndProc(msg);
        return;
    }
}

bool TsuiCustomButton::DialogChar(unsigned ch) {
    if (!gui::IsAccel(ch, Caption()) || !Enabled()) return false;
    if (CanFocus()) SetFocus();
    UserClick();
    return true;
}

void TsuiCustomButton::UserClick() {
    gui::FlagScope scope(inUserClick_);
    Click();
}

void TsuiCustomButton::Click() {
    if (!inUserClick_ || !Enabled()) return;
    if (Parent() != nullptr) {
        if (gui::Form* form = ParentForm()) form->SetModalResult(modalResult_);
    }
    if (OnClick) OnClick(this);
}

void TsuiCustomButton::MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    if (button == gui::mbLeft) {
        isMouseDown_ = true;
        Repaint();
    }
    gui::CustomControl::MouseDown(button, shift, x, y);
}

void TsuiCustomButton::MouseMove(gui::TShiftState shift, int x, int y) {
    gui::CustomControl::MouseMove(shift, x, y);
    if (x < 0 || y < 0 || x > Width() || y > Height()) {
        const bool changed = isMouseOn_ || isMouseDown_;
        isMouseOn_ = false;
        isMouseDown_ = false;
        if (changed) Repaint();
    }
}

void TsuiCustomButton::MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    if (button == gui::mbLeft && isMouseDown_) {
        isMouseDown_ = false;
        Repaint();
        UserClick();
    }
    gui::CustomControl::MouseUp(button, shift, x, y);
}

void TsuiCustomButton::KeyDown(std::uint16_t& key, gui::TShiftState shift) {
    gui::CustomControl::KeyDown(key, shift);
    if (IsPressKey(key) && Focused() && Enabled()) {
        isMouseDown_ = true;
        Repaint();
    }
}

void TsuiCustomButton::KeyUp(std::uint16_t& key, gui::TShiftState shift) {
    gui::CustomControl::KeyUp(key, shift);
    if (IsPressKey(key) && Focused() && isMouseDown_ && Enabled()) {
        isMouseDown_ = false;
        Repaint();
        UserClick();
    }
}

// ===========================================================================
// TsuiButton

TsuiButton::TsuiButton(gui::Component* owner)
    : TsuiCustomButton(owner), glyph_(std::make_unique<gui::Bitmap>()) {
    SetHeight(27);
    SetWidth(80);
    spacing_ = 4;
    SetUIStyle(FindFormStyle(owner));
}

TsuiButton::~TsuiButton() = default;

// --- setters ------------------------------------------------------------------

void TsuiButton::SetPicMouseDownResName(const std::string& name) {
    SetUIStyle(TsuiUIStyle::Custom);
    TsuiCustomButton::SetPicMouseDownResName(name);
}

void TsuiButton::SetPicMouseOnResName(const std::string& name) {
    SetUIStyle(TsuiUIStyle::Custom);
    TsuiCustomButton::SetPicMouseOnResName(name);
}

void TsuiButton::SetPicNormalResName(const std::string& name) {
    SetUIStyle(TsuiUIStyle::Custom);
    TsuiCustomButton::SetPicNormalResName(name);
}

std::string TsuiButton::PicMouseDownResName() const {
    return uiStyle_ == TsuiUIStyle::Custom ? picMouseDownResName_ : std::string();
}

std::string TsuiButton::PicMouseOnResName() const {
    return uiStyle_ == TsuiUIStyle::Custom ? picMouseOnResName_ : std::string();
}

std::string TsuiButton::PicNormalResName() const {
    return uiStyle_ == TsuiUIStyle::Custom ? picNormalResName_ : std::string();
}

void TsuiButton::SetGlyph(const gui::Bitmap& glyph) {
    glyph_->Assign(glyph);
    Repaint();
}

void TsuiButton::SetLayout(TButtonLayout layout) {
    layout_ = layout;
    Repaint();
}

void TsuiButton::SetSpacing(int spacing) {
    spacing_ = spacing;
    Repaint();
}

bool TsuiButton::CanResize(int& newWidth, int& newHeight) {
    if (uiStyle_ == TsuiUIStyle::MacOS && newHeight != kMacOSButtonHeight) return false;
    return TsuiCustomButton::CanResize(newWidth, newHeight);
}

void TsuiButton::UIStyleChanged() {
    if (uiStyle_ == TsuiUIStyle::MacOS) SetHeight(kMacOSButtonHeight);
    SetTransparent(uiStyle_ == TsuiUIStyle::BlueGlass);
}

void TsuiButton::AssignStylePictures(TsuiUIStyle style) {
    if (style == TsuiUIStyle::Custom) return;
    SetResHandle(nullptr);
    picNormalResName_ = GetThemeBitmapName(style, thButtonNormal);
    picMouseOnResName_ = GetThemeBitmapName(style, thButtonMouseOn);
    picMouseDownResName_ = GetThemeBitmapName(style, thButtonMouseDown);
}

// --- drawing ------------------------------------------------------------------

void TsuiButton::DrawPicture(gui::Canvas& canvas, gui::Bitmap& picture) {
    canvas.SetFont(Font());
    if (uiStyle_ == TsuiUIStyle::Custom)
        TsuiCustomButton::DrawPicture(canvas, picture);
    else
        DrawSkinStretched(picture, canvas, ClientRect(), picTransparent_);
    if (!glyph_->Empty()) DrawGlyph(canvas);
}

void TsuiButton::DrawGlyph(gui::Canvas& canvas) {
    int gw = glyph_->Width();
    const int gh = glyph_->Height();
    const bool twoImages = gw == 2 * gh;
    if (twoImages) gw = gh;
    const int tw = canvas.TextWidth(Caption());
    const int th = canvas.TextHeight(Caption());
    const int w = Width();
    const int h = Height();
    int gx = 0;
    int gy = 0;
    switch (layout_) {
    case blGlyphLeft:
        gx = (w - tw - gw - spacing_) / 2;
        gy = (h - gh) / 2;
        captionX_ = gx + gw + spacing_;
        captionY_ = (h - th) / 2;
        break;
    case blGlyphRight:
        gx = (w + tw + spacing_ - gw) / 2;
        gy = (h - gh) / 2;
        captionX_ = gx - tw - spacing_;
        captionY_ = (h - th) / 2;
        break;
    case blGlyphTop:
        gx = (w - gw) / 2;
        gy = (h - th - gh - spacing_) / 2;
        captionX_ = (w - tw) / 2;
        captionY_ = gy + gh + spacing_;
        break;
    case blGlyphBottom:
        gx = (w - gw) / 2;
        gy = (h + th + spacing_ - gh) / 2;
        captionX_ = (w - tw) / 2;
        captionY_ = gy - th - spacing_;
        break;
    }
    if (isMouseDown_) {
        ++gx;
        ++gy;
    }
    // A two-image glyph is always drawn in normal rendering; both images share the glyph's key.
    const int sx = twoImages && !Enabled() ? gw : 0;
    if (Enabled() || twoImages)
        BlitPicture(canvas, *glyph_, gx, gy, sx, gw, gh, true);
    else
        DrawGreyed(canvas, *glyph_, gx, gy, 0, gw, gh, true);
}

void TsuiButton::DrawCaption(gui::Canvas& canvas, const std::string& caption) {
    if (glyph_->Empty()) {
        TsuiCustomButton::DrawCaption(canvas, caption);
        return;
    }
    canvas.Brush().SetStyle(gui::bsClear);
    constexpr UINT format = DT_SINGLELINE;
    if (!Enabled()) {
        canvas.Font().SetColor(kDisabledShadowColor);
        RECT shadow = gui::MakeRect(captionX_ + 1, captionY_ + 1, Width(), Height());
        canvas.DrawText(caption, shadow, format);
        canvas.Font().SetColor(kDisabledTextColor);
    } else if (isMouseDown_) {
        ++captionX_;
        ++captionY_;
    }
    RECT r = gui::MakeRect(captionX_, captionY_, Width(), Height());
    canvas.DrawText(caption, r, format);
}

void TsuiButton::DrawFocus(gui::Canvas& canvas) {
    if (uiStyle_ != TsuiUIStyle::MacOS && uiStyle_ != TsuiUIStyle::BlueGlass) {
        TsuiCustomButton::DrawFocus(canvas);
        return;
    }
    canvas.Pen().SetStyle(gui::psSolid);
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetColor(kFocusLineColor);
    canvas.MoveTo(10, Height() - 5);
    canvas.LineTo(Width() - 10, Height() - 5);
}

// ===========================================================================
// TsuiCustomButtonEx

TsuiCustomButtonEx::TsuiCustomButtonEx(gui::Component* owner) : TsuiCustomButton(owner) {
    SetParentColor(true);
    checked_ = false;
    SetTabStop(true);
    uiStyle_ = owner != nullptr ? FindFormStyle(owner) : TsuiUIStyle::DeepBlue;
    SetWidth(93);
}

void TsuiCustomButtonEx::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    CheckedChanged();
    Repaint();
}

SIZE TsuiCustomButtonEx::CheckSize() const {
    const std::string name = GetThemeBitmapName(uiStyle_, thCheckBoxUncheck);
    if (name.empty()) return SIZE{0, 0};
    return ResourceBitmapSize(OwnModule(), name);
}

POINT TsuiCustomButtonEx::CaptionOrigin() const {
    return POINT{CheckWidth() + 4, (ClientHeight() - (std::abs(Font().Height()) + 2)) / 2};
}

void TsuiCustomButtonEx::FitToContent() {
    if (!autoSize_) return;
    SetClientHeight(std::max(std::abs(Font().Height()) + 2, CheckHeight()) + 4);
    // Measured in a memory context with the control's font: the same widths as the control's
    // own canvas, without making its window.
    gui::Bitmap measure(1, 1);
    measure.Canvas().SetFont(Font());
    SetClientWidth(CheckWidth() + 8 + measure.Canvas().TextWidth(Caption()));
}

void TsuiCustomButtonEx::Resize() {
    TsuiCustomButton::Resize();
    FitToContent();
    Repaint();
}

void TsuiCustomButtonEx::UpdateAutoSize() {
    FitToContent();
}

void TsuiCustomButtonEx::CaptionChanged() {
    FitToContent();
}

void TsuiCustomButtonEx::FontChanged() {
    Canvas().SetFont(Font());
    FitToContent();
    Repaint();
}

// --- drawing ------------------------------------------------------------------

void TsuiCustomButtonEx::DrawPicture(gui::Canvas& canvas, gui::Bitmap& picture) {
    DrawPictureAt(canvas, picture, 1, (ClientHeight() - CheckHeight()) / 2, picTransparent_, true);
}

void TsuiCustomButtonEx::DrawCaption(gui::Canvas& canvas, const std::string& caption) {
    const POINT origin = CaptionOrigin();
    captionRect_ = gui::MakeRect(origin.x, origin.y, Width(), Height());
    canvas.Brush().SetStyle(gui::bsClear);
    if (!Enabled()) canvas.Font().SetColor(kDisabledTextColor);
    RECT r = captionRect_;
    canvas.DrawText(caption, r, DT_SINGLELINE | DT_LEFT | DT_TOP);
}

void TsuiCustomButtonEx::DrawFocus(gui::Canvas& canvas) {
    if (CaptionBlank()) return;
    const POINT origin = CaptionOrigin();
    canvas.Brush().SetStyle(gui::bsSolid);
    canvas.DrawFocusRect(gui::MakeRect(origin.x - 1, origin.y, Width(), Height()));
}

// --- input --------------------------------------------------------------------

void TsuiCustomButtonEx::MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
    if (CanFocus()) SetFocus();
    Toggle();
    TsuiCustomButton::MouseUp(button, shift, x, y);
}

void TsuiCustomButtonEx::KeyUp(std::uint16_t& key, gui::TShiftState shift) {
    if (IsPressKey(key) && Focused() && Enabled()) Toggle();
    TsuiCustomButton::KeyUp(key, shift);
}

bool TsuiCustomButtonEx::DialogChar(unsigned ch) {
    TsuiCustomButton::DialogChar(ch);
    if (!gui::IsAccel(ch, Caption()) || !Enabled()) return false;
    Toggle();
    return true;
}

// ===========================================================================
// TsuiCheckBox

TsuiCheckBox::TsuiCheckBox(gui::Component* owner) : TsuiCheckBox(owner, NoStyleYet{}) {
    SetUIStyle(uiStyle_);
    SetPicTransparent(false);
}

TsuiCheckBox::TsuiCheckBox(gui::Component* owner, NoStyleYet) : TsuiCustomButtonEx(owner) {
    SetPicTransparent(false);
    SetCaption("suiCheckBox");
    SetHeight(17);
}

int TsuiCheckBox::CheckWidth() const {
    return CheckSize().cx;
}

int TsuiCheckBox::CheckHeight() const {
    return CheckSize().cy;
}

void TsuiCheckBox::AssignStateSlots(TsuiUIStyle style, const StateSlots& checkedSlots,
                                    const StateSlots& uncheckedSlots) {
    SetResHandle(nullptr);
    const StateSlots& slots = checked_ ? checkedSlots : uncheckedSlots;
    SetPicNormalResName(GetThemeBitmapName(style, Enabled() ? slots.Normal : slots.Disabled));
    SetPicMouseOnResName(GetThemeBitmapName(style, slots.MouseOn));
    SetPicMouseDownResName(GetThemeBitmapName(style, slots.MouseDown));
}

void TsuiCheckBox::AssignStylePictures(TsuiUIStyle style) {
    AssignStateSlots(
        style, {thCheckBoxCheck, thCheckBoxDisableCheck, thCheckBoxMouseOnCheck, thCheckBoxMouseDownCheck},
        {thCheckBoxUncheck, thCheckBoxDisableUncheck, thCheckBoxMouseOnUncheck, thCheckBoxMouseDownUncheck});
}

void TsuiCheckBox::Toggle() {
    SetChecked(!checked_);
}

void TsuiCheckBox::CheckedChanged() {
    AssignStylePictures(uiStyle_);
}

void TsuiCheckBox::TransparentChanged() {
    picTransparent_ = false;
}

void TsuiCheckBox::EnabledChanged() {
    AssignStylePictures(uiStyle_);
}

void TsuiCheckBox::UIStyleChanged() {
    AssignStylePictures(uiStyle_);
    switch (uiStyle_) {
    case TsuiUIStyle::MacOS:
    case TsuiUIStyle::Protein:
        SetTransparent(true);
        break;
    case TsuiUIStyle::WinXP:
    case TsuiUIStyle::DeepBlue:
    case TsuiUIStyle::BlueGlass:
        SetTransparent(false);
        break;
    case TsuiUIStyle::Custom:
        break;
    }
}

// ===========================================================================
// TsuiRadioButton

TsuiRadioButton::TsuiRadioButton(gui::Component* owner) : TsuiCheckBox(owner, NoStyleYet{}) {
    SetUIStyle(uiStyle_);
    SetPicTransparent(true);
    SetCaption("suiRadioButton");
    SetHeight(17);
}

void TsuiRadioButton::AssignStylePictures(TsuiUIStyle style) {
    AssignStateSlots(style,
                     {thRadioButtonCheck, thRadioButtonDisableCheck, thRadioButtonMouseOnCheck,
                      thRadioButtonMouseDownCheck},
                     {thRadioButtonUncheck, thRadioButtonDisableUncheck, thRadioButtonMouseOnUncheck,
                      thRadioButtonMouseDownUncheck});
    Repaint();
}

void TsuiRadioButton::Toggle() {
    if (!checked_) SetChecked(true);
}

void TsuiRadioButton::CheckedChanged() {
    if (checked_) UncheckSiblings();
    AssignStylePictures(uiStyle_);
}

void TsuiRadioButton::TransparentChanged() {
    picTransparent_ = true;
}

void TsuiRadioButton::UncheckSiblings() {
    gui::WinControl* parent = Parent();
    if (parent == nullptr) return;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* sibling = dynamic_cast<TsuiRadioButton*>(parent->Controls(i));
        if (sibling != nullptr && sibling != this && sibling->groupIndex_ == groupIndex_)
            sibling->SetChecked(false);
    }
}

} // namespace sui
