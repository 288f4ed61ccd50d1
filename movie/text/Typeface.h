// Where a text field's glyphs come from: a font the movie embeds, or a
// device font the host's platform provides (DeviceFonts). Both give glyph
// outlines and advances in font units, `EmSquare()` of them to the em.
#pragma once

#include "movie/Font.h"

#include <memory>
#include <string>

namespace movie::text {

class Typeface {
  public:
    virtual ~Typeface() = default;
    virtual double EmSquare() const = 0;
    // Above and below the baseline, and the font's own line gap; font units.
    virtual double Ascent() const = 0;
    virtual double Descent() const = 0;
    // A face of the platform's, not of the movie.
    virtual bool Device() const { return false; }
    // The glyph of a character (its advance in font units); nullptr when the
    // face has none.
    virtual const Glyph* GlyphFor(char32_t code) = 0;
    // Font units added between two characters where the format asks for
    // kerning.
    virtual double Kerning(char32_t, char32_t) const { return 0; }
};

// A font of the movie (DefineFont2/3, or DefineFont with DefineFontInfo).
class EmbeddedTypeface final : public Typeface {
  public:
    explicit EmbeddedTypeface(const Font& font) : font_(font) {}
    double EmSquare() const override { return font_.emSquare; }
    // Fonts without layout lend the usual proportions of a Latin face.
    double Ascent() const override { return font_.hasLayout ? font_.ascent : font_.emSquare * 0.8; }
    double Descent() const override { return font_.hasLayout ? font_.descent : font_.emSquare * 0.2; }
    const Glyph* GlyphFor(char32_t code) override { return font_.GlyphFor(code); }
    double Kerning(char32_t left, char32_t right) const override { return font_.Kerning(left, right); }

  private:
    const Font& font_;
};

// The platform's fonts, by family name. The player's generic names "_sans",
// "_serif" and "_typewriter" stand for the platform's usual faces of those
// kinds; a family the platform lacks falls back to one it has.
class DeviceFonts {
  public:
    virtual ~DeviceFonts() = default;
    // nullptr when the platform has no font at all.
    virtual std::shared_ptr<Typeface> Face(const std::string& family, bool bold, bool italic) = 0;
};

} // namespace movie::text
