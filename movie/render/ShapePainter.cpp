#include "movie/render/ShapePainter.h"

#include <algorithm>
#include <cmath>

namespace movie::render {

namespace {

raster::PointF Map(const Matrix& m, Point p) {
    return {static_cast<float>(m.MapX(p.x, p.y)), static_cast<float>(m.MapY(p.x, p.y))};
}

raster::Affine ToAffine(const Matrix& m) {
    return {m.a, m.b, m.c, m.d, m.tx, m.ty};
}

raster::ColorMatrix ToColorMatrix(const ColorTransform& cx) {
    raster::ColorMatrix c;
    c.mult[0] = cx.multR;
    c.mult[1] = cx.multG;
    c.mult[2] = cx.multB;
    c.mult[3] = cx.multA;
    c.add[0] = cx.addR;
    c.add[1] = cx.addG;
    c.add[2] = cx.addB;
    c.add[3] = cx.addA;
    return c;
}

raster::Cap ToCap(CapStyle c) {
    switch (c) {
    case CapStyle::None:
        return raster::Cap::None;
    case CapStyle::Square:
        return raster::Cap::Square;
    case CapStyle::Round:
        break;
    }
    return raster::Cap::Round;
}

raster::Join ToJoin(JoinStyle j) {
    switch (j) {
    case JoinStyle::Bevel:
        return raster::Join::Bevel;
    case JoinStyle::Miter:
        return raster::Join::Miter;
    case JoinStyle::Round:
        break;
    }
    return raster::Join::Round;
}

// Flattens a quadratic curve into points after `from` (appended, `to` last).
void FlattenQuad(raster::PointF from, raster::PointF c, raster::PointF to, std::vector<raster::PointF>& out) {
    float dx = (from.x - 2 * c.x + to.x) * 0.25f, dy = (from.y - 2 * c.y + to.y) * 0.25f;
    float dev = std::sqrt(dx * dx + dy * dy);
    int n = static_cast<int>(std::ceil(std::sqrt(dev / raster::EdgeList::kTolerance)));
    if (!(n >= 1)) n = 1;
    n = std::min(n, raster::EdgeList::kMaxCurveSegments);
    for (int i = 1; i < n; ++i) {
        float t = static_cast<float>(i) / n, u = 1 - t;
        out.push_back({u * u * from.x + 2 * u * t * c.x + t * t * to.x,
                       u * u * from.y + 2 * u * t * c.y + t * t * to.y});
    }
    out.push_back(to);
}

} // namespace

void ShapePainter::SetDictionary(const Dictionary* dictionary) {
    if (dictionary != dictionary_) images_.clear();
    dictionary_ = dictionary;
    scriptImages_.clear();
}

const raster::Image* ShapePainter::ScriptImage(const Bitmap& bmp) {
    if (bmp.width == 0 || bmp.height == 0 ||
        bmp.pixels.size() < static_cast<size_t>(bmp.width) * bmp.height * 4)
        return nullptr;
    raster::Image& img = scriptImages_[&bmp];
    img.width = static_cast<int>(bmp.width);
    img.height = static_cast<int>(bmp.height);
    img.rgba = bmp.pixels.data();
    img.opaque = !bmp.transparent;
    return &img;
}

const raster::Image* ShapePainter::FindImage(uint16_t id) {
    if (!dictionary_) return nullptr;
    auto it = images_.find(id);
    std::shared_ptr<const Character> ch = dictionary_->Get(id);
    if (it != images_.end() && it->second.first == ch) return &it->second.second;
    const Bitmap* bmp = ch ? std::get_if<Bitmap>(&ch->data) : nullptr;
    if (!bmp || bmp->width == 0 || bmp->height == 0 ||
        bmp->pixels.size() < static_cast<size_t>(bmp->width) * bmp->height * 4)
        return nullptr;
    raster::Image img;
    img.width = static_cast<int>(bmp->width);
    img.height = static_cast<int>(bmp->height);
    img.rgba = bmp->pixels.data();
    img.opaque = true;
    for (size_t i = 3; i < bmp->pixels.size(); i += 4)
        if (bmp->pixels[i] != 255) {
            img.opaque = false;
            break;
        }
    auto& slot = images_[id];
    slot = {ch, std::move(img)};
    return &slot.second;
}

bool ShapePainter::MakePaint(const FillStyle& fill, const Placement& place, raster::Paint& out) {
    const ColorTransform& cx = place.colorTransform;
    if (place.overrideColor || fill.kind == FillKind::Solid) {
        RGBA c = cx.Apply(place.overrideColor ? place.color : fill.color);
        out = raster::Paint::Solid(raster::Premultiply(c.r, c.g, c.b, c.a));
        return c.a != 0;
    }
    Matrix toFill = (place.matrix * fill.matrix).Inverted(); // device -> fill space
    out = raster::Paint{};
    switch (fill.kind) {
    case FillKind::LinearGradient:
    case FillKind::RadialGradient:
    case FillKind::FocalRadialGradient: {
        Matrix norm;
        if (fill.kind == FillKind::LinearGradient) {
            out.kind = raster::PaintKind::Linear;
            norm = {1.0 / 32768, 0, 0, 1.0 / 32768, 0.5, 0.5}; // -16384..16384 -> 0..1
        } else {
            out.kind =
                fill.kind == FillKind::RadialGradient ? raster::PaintKind::Radial : raster::PaintKind::Focal;
            norm = {1.0 / 16384, 0, 0, 1.0 / 16384, 0, 0};
        }
        out.inverse = ToAffine(norm * toFill);
        out.focal = std::clamp(fill.gradient.focalPoint, -1.0f, 1.0f);
        out.spread = fill.gradient.spread == SpreadMode::Reflect  ? raster::Spread::Reflect
                     : fill.gradient.spread == SpreadMode::Repeat ? raster::Spread::Repeat
                                                                  : raster::Spread::Pad;
        std::vector<raster::GradientStopF> stops;
        for (const GradientStop& s : fill.gradient.stops)
            stops.push_back({s.ratio, s.color.r, s.color.g, s.color.b, s.color.a});
        if (stops.empty()) return false;
        out.SetGradient(stops, fill.gradient.interpolation == InterpolationMode::Linear, ToColorMatrix(cx));
        return true;
    }
    case FillKind::Bitmap: {
        const raster::Image* img = fill.bitmap ? ScriptImage(*fill.bitmap) : FindImage(fill.bitmapId);
        if (!img) return false;
        out.inverse = ToAffine(toFill);
        out.SetImage(img, fill.repeat, fill.smoothed, ToColorMatrix(cx));
        return true;
    }
    case FillKind::Solid:
        break;
    }
    return false;
}

void ShapePainter::AddPathEdges(const Path& path, bool reversed, const Matrix& m, raster::EdgeList& out) {
    raster::PointF cur = Map(m, path.start);
    for (const Segment& s : path.segments) {
        raster::PointF to = Map(m, s.to);
        if (s.curve) {
            raster::PointF c = Map(m, s.control);
            if (reversed)
                out.AddQuad(to, c, cur);
            else
                out.AddQuad(cur, c, to);
        } else {
            if (reversed)
                out.AddLine(to, cur);
            else
                out.AddLine(cur, to);
        }
        cur = to;
    }
}

// Sorts the group's paths by style in one pass: for each style index in use
// (1-based, `count` styles), the paths that carry it. `styleOf` gives a
// path's one or two style indices.
template <class StyleOf> void ShapePainter::Bucket(const StyleGroup& group, size_t count, StyleOf styleOf) {
    slot_.assign(count + 1, -1);
    size_t used = 0;
    for (uint32_t i = 0; i < group.paths.size(); ++i) {
        uint32_t a = 0, b = 0;
        styleOf(group.paths[i], a, b);
        for (uint32_t st : {a, b}) {
            if (st == 0 || st > count) continue;
            if (slot_[st] < 0) {
                slot_[st] = static_cast<int32_t>(used++);
                if (buckets_.size() < used) buckets_.emplace_back();
                buckets_[used - 1].clear();
            }
            buckets_[slot_[st]].push_back(i);
        }
    }
}

void ShapePainter::Paint(const Shape& shape, const Placement& place, raster::Scene& scene) {
    if (scene.LineCount() >= kMaxSceneLines) return; // the frame's budget is spent
    const raster::FillRule rule =
        shape.usesFillWindingRule ? raster::FillRule::NonZero : raster::FillRule::EvenOdd;
    auto fillsOf = [](const Path& p, uint32_t& a, uint32_t& b) {
        if (p.fill0 != p.fill1) a = p.fill0, b = p.fill1;
    };
    // Shapes with more than one fill in use add them in a layer, so that
    // where two fills meet the background does not shine through.
    size_t fills = 0;
    for (const StyleGroup& g : shape.groups) {
        Bucket(g, g.fills.size(), fillsOf);
        for (size_t i = 1; i < slot_.size(); ++i)
            fills += slot_[i] >= 0;
    }
    const bool layered = fills > 1 && !place.forMask;
    for (const StyleGroup& group : shape.groups) {
        Bucket(group, group.fills.size(), fillsOf);
        if (layered) scene.BeginLayer();
        for (size_t f = 1; f < slot_.size(); ++f) {
            if (slot_[f] < 0) continue;
            const uint32_t index = static_cast<uint32_t>(f);
            raster::EdgeList& edges = scene.BeginFill();
            for (uint32_t pi : buckets_[slot_[f]]) {
                const Path& path = group.paths[pi];
                AddPathEdges(path, path.fill0 == index, place.matrix, edges);
            }
            raster::Paint paint;
            if (!MakePaint(group.fills[f - 1], place, paint)) {
                edges.Clear();
                paint = raster::Paint::Solid(0);
            }
            scene.EndFill(paint, rule);
        }
        if (layered) scene.EndLayer();
        if (!place.forMask) StrokeGroup(group, place, scene);
    }
}

void ShapePainter::PaintImage(const raster::Image& image, raster::IRect at, const ColorTransform& cx,
                              BlendMode blend, raster::Scene& scene) {
    if (at.Empty()) return;
    raster::EdgeList& edges = scene.BeginFill();
    const auto x0 = static_cast<float>(at.x0), y0 = static_cast<float>(at.y0);
    const auto x1 = static_cast<float>(at.x1), y1 = static_cast<float>(at.y1);
    edges.AddLine({x0, y0}, {x0, y1});
    edges.AddLine({x0, y1}, {x1, y1});
    edges.AddLine({x1, y1}, {x1, y0});
    edges.AddLine({x1, y0}, {x0, y0});
    raster::Paint paint;
    paint.kind = raster::PaintKind::Image;
    paint.inverse = {1, 0, 0, 1, -static_cast<double>(at.x0), -static_cast<double>(at.y0)};
    paint.SetImage(&image, false, false, ToColorMatrix(cx));
    paint.blend = blend;
    if (blend != BlendMode::Normal) paint.opaque = false;
    scene.EndFill(paint, raster::FillRule::NonZero);
}

void ShapePainter::StrokeGroup(const StyleGroup& group, const Placement& place, raster::Scene& scene) {
    const Matrix& m = place.matrix;
    const double sx = std::hypot(m.a, m.b), sy = std::hypot(m.c, m.d);
    // A matrix that scales one axis more than the other, square to the
    // frame, stretches the pen with the shape: a side along x takes the y
    // scale and one along y the x scale. Such strokes are drawn where the pen
    // is round (the shape's own space, scaled by the larger stretch so that
    // it keeps the detail of device pixels) and their outlines then mapped
    // to the device: `toPen` takes device points there, `back` brings the
    // outline back. Turned or skewed shapes keep a round pen as thick as
    // their thinner axis asks, as the original player draws them.
    const double most = std::max(std::abs(m.a), std::abs(m.d)),
                 least = std::min(std::abs(m.a), std::abs(m.d));
    const bool uneven =
        m.b == 0 && m.c == 0 && least > 0 && most - least > 1e-6 * most && std::isfinite(most);
    Matrix toPen;
    raster::Affine back; // from the pen's space to the device
    if (uneven) {
        back = {m.a / most, 0, 0, m.d / most, m.tx, m.ty};
        toPen = {most / m.a, 0, 0, most / m.d, -m.tx * most / m.a, -m.ty * most / m.d};
    }
    Bucket(group, group.lines.size(), [](const Path& p, uint32_t& a, uint32_t&) { a = p.line; });
    for (size_t l = 1; l < slot_.size(); ++l) {
        if (slot_[l] < 0) continue;
        const LineStyle& style = group.lines[l - 1];
        double scale;
        if (style.noHScale && style.noVScale)
            scale = place.stageScale;
        else if (style.noHScale)
            scale = sy;
        else if (style.noVScale)
            scale = sx;
        else
            scale = std::min(sx, sy); // a squeezed stroke is as thin as its thinner axis
        double width = style.width == 0 ? 1.0 : style.width * scale;
        // The elliptical pen, for strokes that scale both ways and stay wider
        // than a pixel across their thinnest side (it is never thinner).
        const bool penSpace =
            uneven && !style.noHScale && !style.noVScale && style.width > 0 && style.width * most > 1.0;
        if (penSpace) width = std::max(style.width * most, most / least);
        if (!(width >= 1.0)) width = 1.0; // never thinner than a pixel
        width = std::min(width, 1e6);
        raster::StrokeStyle st;
        st.width = static_cast<float>(width);
        st.minorAxis = width <= 1.0; // hairlines and strokes held at the one-pixel minimum
        st.startCap = ToCap(style.startCap);
        st.endCap = ToCap(style.endCap);
        st.join = ToJoin(style.join);
        st.miterLimit = std::max(1.0f, style.miterLimit);

        raster::EdgeList& edges = scene.BeginFill();
        // Runs of paths with this line style that continue one another are
        // stroked as one polyline, so they get joins, not caps, between them.
        points_.clear();
        Point runEnd;
        auto flush = [&] {
            if (points_.empty()) return;
            bool closed = points_.size() > 2 && points_.front().x == points_.back().x &&
                          points_.front().y == points_.back().y && !style.noClose;
            if (penSpace) {
                for (raster::PointF& p : points_)
                    p = {static_cast<float>(toPen.MapX(p.x, p.y)), static_cast<float>(toPen.MapY(p.x, p.y))};
                stroker_.Stroke(points_, closed, st, edges, &back);
            } else {
                stroker_.Stroke(points_, closed, st, edges);
            }
            points_.clear();
        };
        for (uint32_t pi : buckets_[slot_[l]]) {
            const Path& path = group.paths[pi];
            if (path.segments.empty()) continue;
            if (points_.empty() || !(path.start == runEnd)) {
                flush();
                points_.push_back(Map(m, path.start));
            }
            for (const Segment& seg : path.segments) {
                raster::PointF to = Map(m, seg.to);
                if (seg.curve)
                    FlattenQuad(points_.back(), Map(m, seg.control), to, points_);
                else
                    points_.push_back(to);
            }
            runEnd = path.segments.back().to;
        }
        flush();
        raster::Paint paint;
        bool ok;
        if (style.hasFill) {
            ok = MakePaint(style.fill, place, paint);
        } else {
            RGBA c = place.colorTransform.Apply(style.color);
            paint = raster::Paint::Solid(raster::Premultiply(c.r, c.g, c.b, c.a));
            ok = c.a != 0;
        }
        if (!ok) edges.Clear();
        scene.EndFill(paint, raster::FillRule::NonZero);
    }
}

} // namespace movie::render
