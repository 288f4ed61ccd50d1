// Fonts (DefineFont 1-3), static text (DefineText 1-2) and text fields
// (DefineEditText).
#pragma once

#include "movie/Geometry.h"
#include "movie/Shape.h"

#include <cstdint>
#include <string>
#include <vector>

namespace movie {

// A glyph outline in font units: one StyleGroup with one solid fill (black);
// the renderer paints it with the text's colour. The em square is
// Font::emSquare units wide; a glyph drawn at text height h twips is scaled
// by h / emSquare.
struct Glyph {
    Shape shape;
    uint16_t code = 0;   // character code (DefineFont2/3 with a code table; else 0)
    int32_t advance = 0; // font units (layout fonts only)
};

// A pair of characters set closer (or further apart) than their advances
// say: `adjust` font units are added to the left one's advance.
struct KerningPair {
    uint16_t left = 0, right = 0;
    int16_t adjust = 0;
};

struct Font {
    std::string name;         // DefineFont2/3 only
    uint32_t emSquare = 1024; // 1024 for DefineFont 1/2, 20480 for DefineFont3
    bool hasLayout = false;
    bool bold = false;
    bool italic = false;
    int32_t ascent = 0, descent = 0, leading = 0; // font units, layout fonts only
    std::vector<Glyph> glyphs;
    // Glyph indices ordered by character code (IndexCodes builds it).
    std::vector<uint32_t> byCode;
    // Layout fonts: kerning pairs (IndexCodes sorts them).
    std::vector<KerningPair> kerning;

    void IndexCodes();
    // The glyph for a character code; nullptr when the font has none.
    const Glyph* GlyphFor(char32_t code) const;
    // Font units added between two characters (0 for a pair not listed).
    int32_t Kerning(char32_t left, char32_t right) const;
};

// One glyph of a text record: its index in the font and the advance (twips)
// to the next glyph's origin. A broken file can name a font that does not
// exist or an index beyond its glyphs: check before use.
struct GlyphEntry {
    uint32_t index = 0;
    int32_t advance = 0;
};

// A run of glyphs in one font, size and colour, with its state resolved from
// the records before it: the first glyph's origin sits at (x, y) in text space.
struct TextRecord {
    uint16_t fontId = 0;
    RGBA color;          // DefineText has no alpha: 255
    int32_t x = 0;       // twips
    int32_t y = 0;       // twips, the baseline
    uint16_t height = 0; // twips, the em size
    std::vector<GlyphEntry> glyphs;
};

// Static text: drawn as `matrix` * (each record's glyphs placed in turn).
struct Text {
    Rect bounds;
    Matrix matrix;
    std::vector<TextRecord> records;
};

enum class TextAlign : uint8_t { Left = 0, Right = 1, Center = 2, Justify = 3 };

// A text field as DefineEditText defines it. Sizes and margins in twips.
struct EditText {
    Rect bounds;
    bool wordWrap = false;
    bool multiline = false;
    bool password = false;
    bool readOnly = false;
    bool autoSize = false;
    bool noSelect = false;
    bool border = false;      // a border and a white background
    bool html = false;        // the initial text is HTML
    bool useOutlines = false; // embedded glyphs; otherwise the device font of the font's name
    bool hasFont = false;
    uint16_t fontId = 0;
    std::string fontClass;
    uint16_t fontHeight = 240;
    RGBA color{0, 0, 0, 255};
    uint16_t maxLength = 0; // 0: no limit
    TextAlign align = TextAlign::Left;
    uint16_t leftMargin = 0, rightMargin = 0;
    int16_t indent = 0;
    int16_t leading = 0;
    std::string variableName;
    std::string initialText;
};

} // namespace movie
