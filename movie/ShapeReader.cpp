#include "movie/ShapeReader.h"

#include "movie/Limits.h"

#include <algorithm>
#include <optional>
#include <string>

namespace movie {

namespace {

// One record of a shape as the file has it; edges hold deltas.
struct ShapeRecord {
    bool edge = false;
    // Style change.
    bool moveTo = false;
    int32_t moveX = 0, moveY = 0;
    std::optional<uint32_t> fill0, fill1, line;
    bool newStyles = false;
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    // Edge.
    bool curve = false;
    int32_t controlDx = 0, controlDy = 0; // curves
    int32_t anchorDx = 0, anchorDy = 0;
};

// Points stay within this range whatever the deltas add up to.
constexpr int64_t kCoordLimit = int64_t(1) << 30;

int32_t ClampCoord(int64_t v) {
    return static_cast<int32_t>(std::clamp(v, -kCoordLimit, kCoordLimit));
}

RGBA ReadColor(SwfStream& in, int version) {
    return version >= 3 ? in.ReadRGBA() : in.ReadRGB();
}

Gradient ReadGradient(SwfStream& in, int version, bool focal) {
    Gradient g;
    uint32_t spread = in.Bits(2);
    uint32_t interpolation = in.Bits(2);
    uint32_t count = in.Bits(4);
    g.spread = spread <= 2 ? static_cast<SpreadMode>(spread) : SpreadMode::Pad;
    g.interpolation = interpolation == 1 ? InterpolationMode::Linear : InterpolationMode::Normal;
    for (uint32_t i = 0; i < count; ++i) {
        GradientStop s;
        s.ratio = in.U8();
        s.color = ReadColor(in, version);
        g.stops.push_back(s);
    }
    if (focal) g.focalPoint = std::clamp(in.Fixed8(), -1.0f, 1.0f);
    return g;
}

FillStyle ReadFillStyle(SwfStream& in, int version) {
    FillStyle f;
    size_t at = in.FileOffset();
    uint8_t type = in.U8();
    switch (type) {
    case 0x00:
        f.kind = FillKind::Solid;
        f.color = ReadColor(in, version);
        break;
    case 0x10:
    case 0x12:
    case 0x13:
        f.kind = type == 0x10   ? FillKind::LinearGradient
                 : type == 0x12 ? FillKind::RadialGradient
                                : FillKind::FocalRadialGradient;
        f.matrix = in.ReadMatrix();
        f.gradient = ReadGradient(in, version, type == 0x13);
        break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        f.kind = FillKind::Bitmap;
        f.bitmapId = in.U16();
        f.matrix = in.ReadMatrix();
        f.repeat = type == 0x40 || type == 0x42;
        f.smoothed = type == 0x40 || type == 0x41;
        break;
    default:
        throw StreamError("unknown fill style type " + std::to_string(type), at);
    }
    return f;
}

size_t ReadCount(SwfStream& in, bool extended) {
    size_t n = in.U8();
    if (n == 0xff && extended) n = in.U16();
    return n;
}

LineStyle ReadLineStyleFlags(SwfStream& in, LineStyle& l, bool& hasFill) {
    uint32_t startCap = in.Bits(2);
    uint32_t join = in.Bits(2);
    hasFill = in.Flag();
    l.noHScale = in.Flag();
    l.noVScale = in.Flag();
    l.pixelHinting = in.Flag();
    in.Bits(5);
    l.noClose = in.Flag();
    uint32_t endCap = in.Bits(2);
    l.startCap = startCap <= 2 ? static_cast<CapStyle>(startCap) : CapStyle::Round;
    l.endCap = endCap <= 2 ? static_cast<CapStyle>(endCap) : CapStyle::Round;
    l.join = join <= 2 ? static_cast<JoinStyle>(join) : JoinStyle::Round;
    return l;
}

LineStyle ReadLineStyle(SwfStream& in, int version) {
    LineStyle l;
    l.width = in.U16();
    if (version < 4) {
        l.color = ReadColor(in, version);
        return l;
    }
    bool hasFill = false;
    ReadLineStyleFlags(in, l, hasFill);
    if (l.join == JoinStyle::Miter) l.miterLimit = in.Fixed8();
    if (hasFill) {
        l.hasFill = true;
        l.fill = ReadFillStyle(in, version);
        if (l.fill.kind == FillKind::Solid) {
            l.color = l.fill.color;
            l.hasFill = false;
        }
    } else {
        l.color = in.ReadRGBA();
    }
    return l;
}

void ReadStyles(SwfStream& in, int version, std::vector<FillStyle>& fills, std::vector<LineStyle>& lines) {
    size_t nFills = ReadCount(in, version >= 2);
    for (size_t i = 0; i < nFills; ++i)
        fills.push_back(ReadFillStyle(in, version));
    size_t nLines = ReadCount(in, true);
    for (size_t i = 0; i < nLines; ++i)
        lines.push_back(ReadLineStyle(in, version));
}

// Reads records up to the end record (or the end of the data, which some
// writers leave off). `version` 0 = glyph (no new styles).
std::vector<ShapeRecord> ReadRecords(SwfStream& in, int version) {
    std::vector<ShapeRecord> records;
    int fillBits = static_cast<int>(in.Bits(4));
    int lineBits = static_cast<int>(in.Bits(4));
    for (;;) {
        if (in.AtEnd()) break; // the end record is missing: take what is there
        ShapeRecord r;
        r.edge = in.Flag();
        if (!r.edge) {
            uint32_t flags = in.Bits(5);
            if (flags == 0) break;
            bool newStyles = flags & 0x10;
            bool hasLine = flags & 0x08;
            bool hasFill1 = flags & 0x04;
            bool hasFill0 = flags & 0x02;
            r.moveTo = flags & 0x01;
            if (r.moveTo) {
                int n = static_cast<int>(in.Bits(5));
                r.moveX = in.SignedBits(n);
                r.moveY = in.SignedBits(n);
            }
            if (hasFill0) r.fill0 = in.Bits(fillBits);
            if (hasFill1) r.fill1 = in.Bits(fillBits);
            if (hasLine) r.line = in.Bits(lineBits);
            if (newStyles && version >= 2) {
                r.newStyles = true;
                ReadStyles(in, version, r.fills, r.lines);
                fillBits = static_cast<int>(in.Bits(4));
                lineBits = static_cast<int>(in.Bits(4));
            }
        } else {
            r.curve = !in.Flag();
            int n = static_cast<int>(in.Bits(4)) + 2;
            if (r.curve) {
                r.controlDx = in.SignedBits(n);
                r.controlDy = in.SignedBits(n);
                r.anchorDx = in.SignedBits(n);
                r.anchorDy = in.SignedBits(n);
            } else if (in.Flag()) { // general line
                r.anchorDx = in.SignedBits(n);
                r.anchorDy = in.SignedBits(n);
            } else if (in.Flag()) { // vertical
                r.anchorDy = in.SignedBits(n);
            } else {
                r.anchorDx = in.SignedBits(n);
            }
        }
        if (records.size() >= Limits::kMaxShapeRecords)
            in.Fail("more than " + std::to_string(Limits::kMaxShapeRecords) + " shape records");
        records.push_back(std::move(r));
    }
    in.Align();
    return records;
}

// Turns records into paths; `groups` holds the first group's styles.
void BuildPaths(const std::vector<ShapeRecord>& records, std::vector<StyleGroup>& groups) {
    int64_t x = 0, y = 0;
    uint32_t fill0 = 0, fill1 = 0, line = 0;
    Path current;
    bool open = false; // `current` collects edges
    auto flush = [&] {
        if (open && !current.segments.empty()) groups.back().paths.push_back(std::move(current));
        current = Path{};
        open = false;
    };
    auto checked = [&](uint32_t index, size_t count) { return index <= count ? index : 0u; };
    for (const ShapeRecord& r : records) {
        if (!r.edge) {
            flush();
            if (r.newStyles) {
                StyleGroup g;
                g.fills = r.fills;
                g.lines = r.lines;
                groups.push_back(std::move(g));
                fill0 = fill1 = line = 0;
            }
            if (r.moveTo) {
                x = r.moveX;
                y = r.moveY;
            }
            const StyleGroup& g = groups.back();
            if (r.fill0) fill0 = checked(*r.fill0, g.fills.size());
            if (r.fill1) fill1 = checked(*r.fill1, g.fills.size());
            if (r.line) line = checked(*r.line, g.lines.size());
            continue;
        }
        if (!open) {
            open = true;
            current.fill0 = fill0;
            current.fill1 = fill1;
            current.line = line;
            current.start = {ClampCoord(x), ClampCoord(y)};
        }
        Segment s;
        s.curve = r.curve;
        if (r.curve) {
            x += r.controlDx;
            y += r.controlDy;
            s.control = {ClampCoord(x), ClampCoord(y)};
        }
        x = std::clamp<int64_t>(x + r.anchorDx, -kCoordLimit, kCoordLimit);
        y = std::clamp<int64_t>(y + r.anchorDy, -kCoordLimit, kCoordLimit);
        s.to = {ClampCoord(x), ClampCoord(y)};
        current.segments.push_back(s);
    }
    flush();
}

// ---- Morph shapes -------------------------------------------------------

Gradient ReadMorphGradient(SwfStream& in, int version, Gradient& end) {
    Gradient start;
    uint8_t head = in.U8();
    size_t count = head;
    if (version >= 2) { // DefineMorphShape2 keeps spread and interpolation in the top bits
        uint32_t spread = head >> 6, interpolation = (head >> 4) & 3;
        start.spread = spread <= 2 ? static_cast<SpreadMode>(spread) : SpreadMode::Pad;
        start.interpolation = interpolation == 1 ? InterpolationMode::Linear : InterpolationMode::Normal;
        count = head & 0x0f;
    }
    end.spread = start.spread;
    end.interpolation = start.interpolation;
    for (size_t i = 0; i < count; ++i) {
        GradientStop s, e;
        s.ratio = in.U8();
        s.color = in.ReadRGBA();
        e.ratio = in.U8();
        e.color = in.ReadRGBA();
        if (start.stops.size() == Limits::kMaxGradientStops) continue; // read past, not drawn
        start.stops.push_back(s);
        end.stops.push_back(e);
    }
    return start;
}

void ReadMorphFillStyle(SwfStream& in, int version, FillStyle& s, FillStyle& e) {
    size_t at = in.FileOffset();
    uint8_t type = in.U8();
    switch (type) {
    case 0x00:
        s.kind = e.kind = FillKind::Solid;
        s.color = in.ReadRGBA();
        e.color = in.ReadRGBA();
        break;
    case 0x10:
    case 0x12:
    case 0x13:
        s.kind = e.kind = type == 0x10   ? FillKind::LinearGradient
                          : type == 0x12 ? FillKind::RadialGradient
                                         : FillKind::FocalRadialGradient;
        s.matrix = in.ReadMatrix();
        e.matrix = in.ReadMatrix();
        s.gradient = ReadMorphGradient(in, version, e.gradient);
        if (type == 0x13) {
            s.gradient.focalPoint = std::clamp(in.Fixed8(), -1.0f, 1.0f);
            e.gradient.focalPoint = std::clamp(in.Fixed8(), -1.0f, 1.0f);
        }
        break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        s.kind = e.kind = FillKind::Bitmap;
        s.bitmapId = e.bitmapId = in.U16();
        s.matrix = in.ReadMatrix();
        e.matrix = in.ReadMatrix();
        s.repeat = e.repeat = type == 0x40 || type == 0x42;
        s.smoothed = e.smoothed = type == 0x40 || type == 0x41;
        break;
    default:
        throw StreamError("unknown morph fill style type " + std::to_string(type), at);
    }
}

void ReadMorphLineStyle(SwfStream& in, int version, LineStyle& s, LineStyle& e) {
    s.width = in.U16();
    e.width = in.U16();
    if (version < 2) {
        s.color = in.ReadRGBA();
        e.color = in.ReadRGBA();
        return;
    }
    bool hasFill = false;
    ReadLineStyleFlags(in, s, hasFill);
    if (s.join == JoinStyle::Miter) s.miterLimit = in.Fixed8();
    if (hasFill) {
        ReadMorphFillStyle(in, version, s.fill, e.fill);
        s.hasFill = s.fill.kind != FillKind::Solid;
        if (!s.hasFill) {
            s.color = s.fill.color;
            e.color = e.fill.color;
        }
    } else {
        s.color = in.ReadRGBA();
        e.color = in.ReadRGBA();
    }
    RGBA endColor = e.color;
    uint16_t endWidth = e.width;
    FillStyle endFill = e.fill;
    e = s; // the flags are shared
    e.color = endColor;
    e.width = endWidth;
    e.fill = endFill;
}

Segment AsCurve(Point from, const Segment& s) {
    if (s.curve) return s;
    Segment c;
    c.curve = true;
    c.control = {static_cast<int32_t>((int64_t(from.x) + s.to.x) / 2),
                 static_cast<int32_t>((int64_t(from.y) + s.to.y) / 2)};
    c.to = s.to;
    return c;
}

} // namespace

Shape ShapeReader::ReadShape(SwfStream& in, int version) {
    Shape shape;
    shape.bounds = in.ReadRect();
    shape.edgeBounds = shape.bounds;
    if (version >= 4) {
        shape.edgeBounds = in.ReadRect();
        uint8_t flags = in.U8();
        shape.usesFillWindingRule = flags & 0x04;
        shape.usesNonScalingStrokes = flags & 0x02;
        shape.usesScalingStrokes = flags & 0x01;
    }
    shape.groups.emplace_back();
    ReadStyles(in, version, shape.groups[0].fills, shape.groups[0].lines);
    BuildPaths(ReadRecords(in, version), shape.groups);
    return shape;
}

Shape ShapeReader::ReadGlyph(SwfStream& in) {
    Shape shape;
    shape.groups.emplace_back();
    FillStyle black;
    black.color = {0, 0, 0, 255};
    shape.groups[0].fills.push_back(black);
    BuildPaths(ReadRecords(in, 0), shape.groups);
    // Glyphs name their one fill 1; anything else is none.
    int64_t x0 = INT32_MAX, y0 = INT32_MAX, x1 = INT32_MIN, y1 = INT32_MIN;
    for (const Path& p : shape.groups[0].paths) {
        auto grow = [&](Point q) {
            x0 = std::min<int64_t>(x0, q.x), y0 = std::min<int64_t>(y0, q.y);
            x1 = std::max<int64_t>(x1, q.x), y1 = std::max<int64_t>(y1, q.y);
        };
        grow(p.start);
        for (const Segment& s : p.segments) {
            if (s.curve) grow(s.control);
            grow(s.to);
        }
    }
    if (x0 <= x1) shape.bounds = shape.edgeBounds = {int32_t(x0), int32_t(x1), int32_t(y0), int32_t(y1)};
    return shape;
}

MorphShape ShapeReader::ReadMorphShape(SwfStream& in, int version) {
    MorphShape m;
    m.start.bounds = in.ReadRect();
    m.end.bounds = in.ReadRect();
    m.start.edgeBounds = m.start.bounds;
    m.end.edgeBounds = m.end.bounds;
    if (version >= 2) {
        m.start.edgeBounds = in.ReadRect();
        m.end.edgeBounds = in.ReadRect();
        uint8_t flags = in.U8();
        m.start.usesNonScalingStrokes = m.end.usesNonScalingStrokes = flags & 0x02;
        m.start.usesScalingStrokes = m.end.usesScalingStrokes = flags & 0x01;
    }
    uint32_t endOffset = in.U32();
    size_t endEdgesAt = in.Position();
    if (endOffset > in.Remaining()) in.Fail("end edges offset points past the end of the tag");
    endEdgesAt += endOffset;

    StyleGroup startGroup, endGroup;
    size_t nFills = ReadCount(in, true);
    for (size_t i = 0; i < nFills; ++i) {
        FillStyle s, e;
        ReadMorphFillStyle(in, version, s, e);
        startGroup.fills.push_back(s);
        endGroup.fills.push_back(e);
    }
    size_t nLines = ReadCount(in, true);
    for (size_t i = 0; i < nLines; ++i) {
        LineStyle s, e;
        ReadMorphLineStyle(in, version, s, e);
        startGroup.lines.push_back(s);
        endGroup.lines.push_back(e);
    }
    std::vector<ShapeRecord> startRecords = ReadRecords(in, 0);
    std::vector<ShapeRecord> endRecords;
    if (endOffset != 0 && endEdgesAt < in.Data().size()) {
        SwfStream endIn(in.Data().subspan(endEdgesAt), in.FileOffset() - in.Position() + endEdgesAt);
        endRecords = ReadRecords(endIn, 0);
    }

    // Walk the start records; each edge takes the next end edge, each move
    // the end's next move. Missing end edges repeat the start ones.
    std::vector<ShapeRecord> matchedEnd;
    matchedEnd.reserve(startRecords.size());
    size_t j = 0;
    for (const ShapeRecord& s : startRecords) {
        if (!s.edge) {
            ShapeRecord e = s;
            e.moveTo = false;
            while (j < endRecords.size() && !endRecords[j].edge) {
                if (endRecords[j].moveTo) {
                    e.moveTo = true;
                    e.moveX = endRecords[j].moveX;
                    e.moveY = endRecords[j].moveY;
                }
                ++j;
                if (e.moveTo) break;
            }
            if (!e.moveTo && s.moveTo) e.moveTo = true, e.moveX = s.moveX, e.moveY = s.moveY;
            matchedEnd.push_back(e);
            continue;
        }
        while (j < endRecords.size() && !endRecords[j].edge)
            ++j; // stray end moves
        matchedEnd.push_back(j < endRecords.size() ? endRecords[j++] : s);
    }

    m.start.groups.push_back(startGroup);
    m.end.groups.push_back(endGroup);
    BuildPaths(startRecords, m.start.groups);
    BuildPaths(matchedEnd, m.end.groups);
    // Same number of paths and segments by construction; make the segment
    // kinds agree.
    auto& sp = m.start.groups[0].paths;
    auto& ep = m.end.groups[0].paths;
    for (size_t p = 0; p < sp.size() && p < ep.size(); ++p) {
        Point sFrom = sp[p].start, eFrom = ep[p].start;
        for (size_t k = 0; k < sp[p].segments.size() && k < ep[p].segments.size(); ++k) {
            Segment& a = sp[p].segments[k];
            Segment& b = ep[p].segments[k];
            if (a.curve != b.curve) {
                a = AsCurve(sFrom, a);
                b = AsCurve(eFrom, b);
            }
            sFrom = a.to;
            eFrom = b.to;
        }
    }
    return m;
}

} // namespace movie
