// Shapes as the reader hands them to the renderer: fill and line styles and
// the outline as paths in twips.
#pragma once

#include "movie/Bitmap.h"
#include "movie/Geometry.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace movie {

enum class SpreadMode : uint8_t { Pad = 0, Reflect = 1, Repeat = 2 };
enum class InterpolationMode : uint8_t { Normal = 0, Linear = 1 }; // Normal = sRGB, Linear = linear RGB

struct GradientStop {
    uint8_t ratio = 0; // position 0..255 along the gradient
    RGBA color;
    friend bool operator==(const GradientStop&, const GradientStop&) = default;
};

// A gradient's colour ramp. The gradient square spans -16384..16384 twips in
// both axes of the fill matrix: linear gradients run left to right across it,
// radial ones from the centre to the radius 16384. `focalPoint` (-1..1) moves
// the focus of a focal radial gradient along the x axis; 0 for other kinds.
struct Gradient {
    SpreadMode spread = SpreadMode::Pad;
    InterpolationMode interpolation = InterpolationMode::Normal;
    std::vector<GradientStop> stops; // at most Limits::kMaxGradientStops
    float focalPoint = 0;
    friend bool operator==(const Gradient&, const Gradient&) = default;
};

enum class FillKind : uint8_t {
    Solid,
    LinearGradient,
    RadialGradient,
    FocalRadialGradient,
    Bitmap,
};

struct FillStyle {
    FillKind kind = FillKind::Solid;
    RGBA color;        // Solid
    Matrix matrix;     // gradients and bitmaps: fill space -> shape space
    Gradient gradient; // gradients
    uint16_t bitmapId = 0;  // Bitmap: dictionary id of the bitmap (may be missing, e.g. 65535)
    bool repeat = true;     // Bitmap: tiled (true) or clipped, edge pixels extended (false)
    bool smoothed = true;   // Bitmap: bilinear filtering (true) or nearest pixel (false)
    // Bitmap: one a script made, used instead of bitmapId.
    std::shared_ptr<const Bitmap> bitmap;
    friend bool operator==(const FillStyle&, const FillStyle&) = default;
};

enum class CapStyle : uint8_t { Round = 0, None = 1, Square = 2 };
enum class JoinStyle : uint8_t { Round = 0, Bevel = 1, Miter = 2 };

struct LineStyle {
    uint16_t width = 0; // twips; 0 = hairline (one pixel wide whatever the scale)
    RGBA color;         // used unless hasFill
    CapStyle startCap = CapStyle::Round;
    CapStyle endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    float miterLimit = 3; // Miter joins only (the file's 8.8 factor)
    bool hasFill = false; // stroke painted with `fill` instead of `color`
    FillStyle fill;
    bool noHScale = false; // width not scaled horizontally
    bool noVScale = false; // width not scaled vertically
    bool pixelHinting = false;
    bool noClose = false; // a closed path gets caps, not a join, where it meets itself
    friend bool operator==(const LineStyle&, const LineStyle&) = default;
};

// One piece of outline: a straight edge to `to`, or a quadratic Bezier curve
// through the off-curve point `control` to `to`. Twips, in shape space.
struct Segment {
    bool curve = false;
    Point control; // curves only
    Point to;
    friend bool operator==(const Segment&, const Segment&) = default;
};

// A run of connected edges that share their styles. Style indices are
// 1-based into the owning StyleGroup's `fills` / `lines`; 0 means none.
//
// Sides, as the file defines them: walking along the path in its direction
// in a y-down coordinate system (screen space), `fill0` lies to the LEFT of
// the edge and `fill1` to the RIGHT. Equivalently: the region bounded by the
// edges that carry fill index i (as fill0 or fill1) is filled with fill i;
// where an edge has it as fill0, reverse the edge to orient it like the fill1
// ones, then fill the closed outlines with the shape's rule (non-zero when
// Shape::usesFillWindingRule, else even-odd).
//
// Paths are not necessarily closed; a fill is closed by joining the edges of
// all paths of the group that carry it.
struct Path {
    uint32_t fill0 = 0;
    uint32_t fill1 = 0;
    uint32_t line = 0;
    Point start;
    std::vector<Segment> segments;
    friend bool operator==(const Path&, const Path&) = default;
};

// Styles and the paths that use them. A shape starts with one group; each
// "new styles" record in the file starts another. Groups are drawn in order,
// each one's fills then its strokes.
struct StyleGroup {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    std::vector<Path> paths;
    friend bool operator==(const StyleGroup&, const StyleGroup&) = default;
};

// DefineShape 1-4, and the outlines of font glyphs.
struct Shape {
    Rect bounds;     // including strokes
    Rect edgeBounds; // DefineShape4: without strokes; otherwise equal to bounds
    bool usesFillWindingRule = false; // DefineShape4: fill with non-zero rule (else even-odd)
    bool usesNonScalingStrokes = false;
    bool usesScalingStrokes = false;
    std::vector<StyleGroup> groups;
    friend bool operator==(const Shape&, const Shape&) = default;
};

} // namespace movie
