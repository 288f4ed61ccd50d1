#include "movie/MorphShape.h"

#include <cmath>

namespace movie {

namespace {

struct Blend {
    double t;

    double operator()(double a, double b) const { return a + (b - a) * t; }
    int32_t I(int32_t a, int32_t b) const { return static_cast<int32_t>(std::lround((*this)(a, b))); }
    uint8_t U8(uint8_t a, uint8_t b) const { return static_cast<uint8_t>(std::lround((*this)(a, b))); }
    RGBA Color(RGBA a, RGBA b) const { return {U8(a.r, b.r), U8(a.g, b.g), U8(a.b, b.b), U8(a.a, b.a)}; }
    Point P(Point a, Point b) const { return {I(a.x, b.x), I(a.y, b.y)}; }
    Rect R(const Rect& a, const Rect& b) const {
        return {I(a.xMin, b.xMin), I(a.xMax, b.xMax), I(a.yMin, b.yMin), I(a.yMax, b.yMax)};
    }
    Matrix M(const Matrix& a, const Matrix& b) const {
        return {(*this)(a.a, b.a), (*this)(a.b, b.b), (*this)(a.c, b.c),
                (*this)(a.d, b.d), (*this)(a.tx, b.tx), (*this)(a.ty, b.ty)};
    }
    FillStyle Fill(const FillStyle& a, const FillStyle& b) const {
        FillStyle f = a;
        f.color = Color(a.color, b.color);
        f.matrix = M(a.matrix, b.matrix);
        f.gradient.focalPoint = static_cast<float>((*this)(a.gradient.focalPoint, b.gradient.focalPoint));
        for (size_t i = 0; i < f.gradient.stops.size() && i < b.gradient.stops.size(); ++i) {
            f.gradient.stops[i].ratio = U8(a.gradient.stops[i].ratio, b.gradient.stops[i].ratio);
            f.gradient.stops[i].color = Color(a.gradient.stops[i].color, b.gradient.stops[i].color);
        }
        return f;
    }
    LineStyle Line(const LineStyle& a, const LineStyle& b) const {
        LineStyle l = a;
        l.width = static_cast<uint16_t>(std::lround((*this)(a.width, b.width)));
        l.color = Color(a.color, b.color);
        l.fill = Fill(a.fill, b.fill);
        return l;
    }
};

} // namespace

Shape MorphShape::At(uint16_t ratio) const {
    if (ratio == 0 || start.groups.size() != end.groups.size()) return start;
    Blend blend{ratio / 65535.0};
    Shape s = start;
    s.bounds = blend.R(start.bounds, end.bounds);
    s.edgeBounds = blend.R(start.edgeBounds, end.edgeBounds);
    for (size_t g = 0; g < s.groups.size(); ++g) {
        StyleGroup& out = s.groups[g];
        const StyleGroup& e = end.groups[g];
        for (size_t i = 0; i < out.fills.size() && i < e.fills.size(); ++i) out.fills[i] = blend.Fill(out.fills[i], e.fills[i]);
        for (size_t i = 0; i < out.lines.size() && i < e.lines.size(); ++i) out.lines[i] = blend.Line(out.lines[i], e.lines[i]);
        for (size_t p = 0; p < out.paths.size() && p < e.paths.size(); ++p) {
            Path& path = out.paths[p];
            const Path& ep = e.paths[p];
            path.start = blend.P(path.start, ep.start);
            for (size_t k = 0; k < path.segments.size() && k < ep.segments.size(); ++k) {
                Segment& seg = path.segments[k];
                const Segment& es = ep.segments[k];
                if (seg.curve && es.curve) seg.control = blend.P(seg.control, es.control);
                seg.to = blend.P(seg.to, es.to);
            }
        }
    }
    return s;
}

} // namespace movie
