// Lays out a text field's runs inside its box as the player does: a gutter
// of 2 pixels on each side, margins, block indent and first-line indent,
// alignment, leading, letter spacing, word wrap, bullets, scrolling and auto
// size. The result is in the field's own twips, ready to draw.
#pragma once

#include "movie/Font.h"
#include "movie/Geometry.h"
#include "movie/Shape.h"
#include "movie/text/TextFormat.h"
#include "movie/text/Typeface.h"

#include <functional>
#include <memory>
#include <vector>

namespace movie::text {

enum class AutoSize : uint8_t { None, Left, Center, Right };

// The box and its rules.
struct FieldBox {
    Rect bounds; // twips
    bool wordWrap = false;
    bool multiline = true;
    bool password = false;
    bool html = false;
    AutoSize autoSize = AutoSize::None;
    int scroll = 1;     // first line shown, from 1
    double hscroll = 0; // pixels
};

// A glyph drawn at (x, y) (twips, the baseline) scaled by `scale` from font units.
struct PlacedGlyph {
    const Shape* shape = nullptr;
    double x = 0, y = 0, scale = 0;
    RGBA color;
};

struct Underline {
    double x0 = 0, x1 = 0, y = 0, thickness = 20;
    RGBA color;
};

struct Layout {
    Rect bounds; // the box after auto size
    std::vector<PlacedGlyph> glyphs;
    std::vector<Underline> underlines;
    double textWidth = 0, textHeight = 0; // twips, without the gutter
    int lineCount = 0;
    int maxScroll = 1;
    int bottomScroll = 1; // the last line wholly in the box at the scroll position
    // Some glyph reaches past the box: the text must be clipped to it.
    bool overflows = false;
    // The faces whose glyphs `glyphs` points into.
    std::vector<std::shared_ptr<Typeface>> faces;
};

// Finds the face of a format; nullptr draws nothing for that text (but it
// still takes up the space of an empty line).
using FaceFinder = std::function<std::shared_ptr<Typeface>(const TextFormat&)>;

// Gutter around the text inside the box: 2 pixels.
inline constexpr double kGutter = 40;

Layout LayOut(const TextRuns& runs, const FieldBox& box, const FaceFinder& faces);

} // namespace movie::text
