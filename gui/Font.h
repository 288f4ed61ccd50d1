// A font description (face, height, colour, style, character set) with a lazily created
// HFONT and a change notification.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "gui/Color.h"
#include "gui/GdiObject.h"

namespace gui {

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = std::uint8_t;
using TFontCharset = std::uint8_t;

class Font {
  public:
    // "MS Sans Serif", height -11 (8 points), clWindowText, no style, DEFAULT_CHARSET.
    Font();
    // Copies the attributes; the copy has no OnChange of its own.
    Font(const Font& other);
    Font& operator=(const Font&) = delete;

    const std::string& Name() const { return name_; }
    // Negative: character height in pixels; positive: cell height.
    int Height() const { return height_; }
    // In points, from the height at the screen's pixels per inch.
    int Size() const;
    TColor Color() const { return color_; }
    TFontStyles Style() const { return style_; }
    TFontCharset Charset() const { return charset_; }

    void SetName(const std::string& name);
    void SetHeight(int height);
    void SetSize(int points);
    void SetColor(TColor color);
    void SetStyle(TFontStyles style);
    void SetCharset(TFontCharset charset);
    // Takes every attribute of other; raises OnChange once when anything differs.
    void Assign(const Font& other);
    // Takes the attributes of a LOGFONT (the system menu font, for example) and a colour.
    void AssignLogFont(const LOGFONTW& logFont, TColor color);
    bool SameAs(const Font& other) const;

    // The GDI font; created on first use, re-created after a change. Colour is not part of it.
    HFONT Handle() const;

    // Raised after any attribute changed.
    std::function<void()> OnChange;

  private:
    void Changed();

    std::string name_;
    int height_;
    TColor color_;
    TFontStyles style_;
    TFontCharset charset_;
    mutable FontHandle handle_;
};

// The screen's pixels per inch (vertical), as fonts convert points with it.
int ScreenPixelsPerInch();

} // namespace gui
