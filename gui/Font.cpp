#include "gui/Font.h"

#include "gui/GdiObject.h"
#include "gui/Text.h"

namespace gui {

int ScreenPixelsPerInch() {
    WindowDC screen(nullptr);
    const int ppi = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    return ppi > 0 ? ppi : 96;
}

Font::Font()
    : name_("MS Sans Serif"), height_(-11), color_(clWindowText), style_(0), charset_(DEFAULT_CHARSET) {}

Font::Font(const Font& other)
    : name_(other.name_), height_(other.height_), color_(other.color_), style_(other.style_),
      charset_(other.charset_) {}

int Font::Size() const {
    return -MulDiv(height_, 72, ScreenPixelsPerInch());
}

void Font::SetName(const std::string& name) {
    if (name == name_) return;
    name_ = name;
    Changed();
}

void Font::SetHeight(int height) {
    if (height == height_) return;
    height_ = height;
    Changed();
}

void Font::SetSize(int points) {
    SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72));
}

void Font::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void Font::SetStyle(TFontStyles style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void Font::SetCharset(TFontCharset charset) {
    if (charset == charset_) return;
    charset_ = charset;
    Changed();
}

bool Font::SameAs(const Font& other) const {
    return name_ == other.name_ && height_ == other.height_ && color_ == other.color_ &&
           style_ == other.style_ && charset_ == other.charset_;
}

void Font::Assign(const Font& other) {
    if (SameAs(other)) return;
    name_ = other.name_;
    height_ = other.height_;
    color_ = other.color_;
    style_ = other.style_;
    charset_ = other.charset_;
    Changed();
}

void Font::AssignLogFont(const LOGFONTW& logFont, TColor color) {
    Font taken;
    taken.name_ = WideToUtf8(logFont.lfFaceName);
    taken.height_ = logFont.lfHeight;
    taken.color_ = color;
    taken.style_ = static_cast<TFontStyles>(
        (logFont.lfWeight >= FW_BOLD ? fsBold : 0) | (logFont.lfItalic ? fsItalic : 0) |
        (logFont.lfUnderline ? fsUnderline : 0) | (logFont.lfStrikeOut ? fsStrikeOut : 0));
    taken.charset_ = logFont.lfCharSet;
    Assign(taken);
}

void Font::Changed() {
    handle_.Reset();
    if (OnChange) OnChange();
}

HFONT Font::Handle() const {
    if (!handle_) {
        LOGFONTW logFont{};
        logFont.lfHeight = height_;
        logFont.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
        logFont.lfItalic = (style_ & fsItalic) ? TRUE : FALSE;
        logFont.lfUnderline = (style_ & fsUnderline) ? TRUE : FALSE;
        logFont.lfStrikeOut = (style_ & fsStrikeOut) ? TRUE : FALSE;
        logFont.lfCharSet = charset_;
        logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
        logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        logFont.lfQuality = DEFAULT_QUALITY;
        logFont.lfPitchAndFamily = DEFAULT_PITCH;
        const std::wstring face = Utf8ToWide(name_);
        lstrcpynW(logFont.lfFaceName, face.c_str(), LF_FACESIZE);
        handle_ = FontHandle(CreateFontIndirectW(&logFont));
    }
    return handle_.Get();
}

} // namespace gui
