#include "movie/raster/Stroker.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace movie::raster {

namespace {

// The widest turn one step of an arc of radius r may take: its chord then
// stays within a twentieth of a pixel of the arc.
float WidestArcStep(float r) {
    const float tol = 0.05f;
    const float step = r > tol ? 2 * std::acos(std::max(-1.0f, 1 - tol / r)) : std::numbers::pi_v<float>;
    return std::max(step, 0.05f);
}

// Radius for the corners of a polygon whose sectors of `step` radians have
// the area of the circle's sectors: the polygon's sides then straddle the
// circle instead of cutting inside it everywhere. `sine` is sin(step).
float ArcRadius(float r, float step, float sine) {
    const float s = std::fabs(sine);
    return s > 1e-6f ? r * std::sqrt(std::fabs(step) / s) : r;
}

PointF Normalized(PointF d) {
    float len = std::sqrt(d.x * d.x + d.y * d.y);
    return len > 0 ? PointF{d.x / len, d.y / len} : PointF{1, 0};
}

} // namespace

void Stroker::AddPolygon(EdgeList& out) {
    size_t n = poly_.size();
    if (n < 3) return;
    float area = 0;
    for (size_t i = 0; i < n; ++i) {
        const PointF& p = poly_[i];
        const PointF& q = poly_[(i + 1) % n];
        area += p.x * q.y - q.x * p.y;
    }
    if (area == 0) return;
    if (area > 0) std::reverse(poly_.begin(), poly_.end());
    if (to_) {
        const Affine& m = *to_;
        for (PointF& p : poly_) {
            p = EdgeList::Clamped(p);
            p = {static_cast<float>(m.a * p.x + m.c * p.y + m.tx),
                 static_cast<float>(m.b * p.x + m.d * p.y + m.ty)};
        }
    }
    for (size_t i = 0; i < n; ++i)
        out.AddLine(poly_[i], poly_[(i + 1) % n]);
}

int Stroker::ArcSteps(float r, float angle) {
    if (r != stepRadius_) { // (one radius for a whole stroke's joins and caps)
        stepRadius_ = r;
        widestStep_ = WidestArcStep(r);
    }
    const int n = static_cast<int>(std::ceil(std::fabs(angle) / widestStep_));
    return std::clamp(n, 2, 128);
}

void Stroker::AddCircle(PointF c, float r, EdgeList& out) {
    const float turn = 2 * std::numbers::pi_v<float>;
    const int n = std::max(8, ArcSteps(r, turn));
    const float step = turn / static_cast<float>(n);
    poly_.clear();
    poly_.push_back({c.x + ArcRadius(r, step, std::sin(step)), c.y});
    AddArc(c, {r, 0}, turn, r, n);
    AddPolygon(out);
}

void Stroker::AddArc(PointF c, PointF n0, float angle, float r, int steps) {
    if (steps == 0) steps = ArcSteps(r, angle);
    const float step = angle / static_cast<float>(steps);
    const double sine = std::sin(step), cosine = std::cos(step);
    const float ra = ArcRadius(r, step, static_cast<float>(sine)); // the corners straddle the arc
    // Each corner is the one before turned by the step, from n0's direction.
    const float len = std::sqrt(n0.x * n0.x + n0.y * n0.y);
    double x = ra, y = 0;
    if (len > 0) {
        x = static_cast<double>(n0.x) * ra / len;
        y = static_cast<double>(n0.y) * ra / len;
    }
    for (int i = 1; i < steps; ++i) {
        const double turned = x * cosine - y * sine;
        y = x * sine + y * cosine;
        x = turned;
        poly_.push_back({c.x + static_cast<float>(x), c.y + static_cast<float>(y)});
    }
}

void Stroker::AddJoin(PointF v, PointF n0, PointF n1, PointF d0, PointF d1, float lenIn, float lenOut,
                      bool outer, const StrokeStyle& style) {
    const float hw2 = n0.x * n0.x + n0.y * n0.y;
    const float cross = n0.x * n1.y - n0.y * n1.x;
    const float dot = n0.x * n1.x + n0.y * n1.y;
    if (!outer && std::fabs(cross) > 1e-6f * hw2) {
        // The inner sides of a gentle turn cross near the vertex: the outline
        // cuts across there, as long as neither side gives up more than half
        // of its segment (the join at the segment's other end may take the
        // rest). A line that runs in to the vertex and out again would cover
        // the same pixels, but with edges across every row of the stroke.
        const float turn = d0.x * d1.y - d0.y * d1.x;
        if (std::fabs(turn) > 1e-6f) {
            // v + n0 + s * d0 = v + n1 + u * d1
            const PointF q{n1.x - n0.x, n1.y - n0.y};
            const float s = (q.x * d1.y - q.y * d1.x) / turn;
            const float u = (q.x * d0.y - q.y * d0.x) / turn;
            if (s <= 0 && -s <= 0.5f * lenIn && u >= 0 && u <= 0.5f * lenOut) {
                poly_.push_back({v.x + n0.x + s * d0.x, v.y + n0.y + s * d0.y});
                return;
            }
        }
    }
    poly_.push_back({v.x + n0.x, v.y + n0.y});
    if (std::fabs(cross) <= 1e-6f * hw2 && dot > 0) return; // straight on: the sides run on
    if (std::fabs(cross) <= 1e-6f * hw2 && outer) {
        // Turning right back: a round join is the cap of the way out.
        if (style.join == Join::Round) {
            const float c = n0.x * d0.y - n0.y * d0.x;
            AddArc(v, n0, c < 0 ? -std::numbers::pi_v<float> : std::numbers::pi_v<float>, std::sqrt(hw2));
        }
    } else if (!outer) {
        // The two sides cross inside the stroke; passing through the vertex
        // keeps the winding of the overlap positive.
        poly_.push_back(v);
    } else if (style.join == Join::Round) {
        // The turn from n0 to n1, within half a turn either way.
        AddArc(v, n0, std::atan2(cross, dot), std::sqrt(hw2));
    } else if (style.join == Join::Miter) {
        // The miter's length over the half width is 1 / cos(theta / 2).
        const PointF m{n0.x + n1.x, n0.y + n1.y};
        const float mlen2 = m.x * m.x + m.y * m.y;
        const float cosHalf = std::sqrt(std::max(0.0f, (1 + dot / std::max(hw2, 1e-12f)) * 0.5f));
        if (cosHalf > 1e-4f && 1 / cosHalf <= style.miterLimit && mlen2 > 0) {
            const float s = std::sqrt(hw2) / cosHalf / std::sqrt(mlen2);
            poly_.push_back({v.x + m.x * s, v.y + m.y * s});
        }
    }
    poly_.push_back({v.x + n1.x, v.y + n1.y});
}

void Stroker::AddCap(PointF p, PointF n, PointF dir, float hw, Cap cap) {
    // From the left side's end p + n round to the right side's p - n.
    poly_.push_back({p.x + n.x, p.y + n.y});
    if (cap == Cap::Round) {
        const float cross = n.x * dir.y - n.y * dir.x; // which way round passes the far side
        AddArc(p, n, cross < 0 ? -std::numbers::pi_v<float> : std::numbers::pi_v<float>, hw);
    } else if (cap == Cap::Square) {
        // Extends half the width beyond the end along `dir` (pointing outwards).
        poly_.push_back({p.x + n.x + dir.x * hw, p.y + n.y + dir.y * hw});
        poly_.push_back({p.x - n.x + dir.x * hw, p.y - n.y + dir.y * hw});
    }
    poly_.push_back({p.x - n.x, p.y - n.y});
}

void Stroker::Stroke(const std::vector<PointF>& points, bool closed, const StrokeStyle& style, EdgeList& out,
                     const Affine* to) {
    to_ = to;
    float hw = style.width * 0.5f;
    if (!(hw > 0) || points.empty()) return;
    hw = std::min(hw, EdgeList::kCoordinateLimit);
    pts_.clear();
    for (const PointF& p : points) {
        if (!(p.x == p.x) || !(p.y == p.y)) continue;
        if (pts_.empty() || pts_.back().x != p.x || pts_.back().y != p.y) pts_.push_back(p);
    }
    if (closed && pts_.size() > 1 && pts_.front().x == pts_.back().x && pts_.front().y == pts_.back().y)
        pts_.pop_back();
    if (pts_.empty()) return;
    if (pts_.size() == 1) {
        // A zero-length line shows as a dot in its cap's shape.
        if (style.startCap == Cap::Round) {
            AddCircle(pts_[0], hw, out);
        } else if (style.startCap == Cap::Square) {
            const PointF p = pts_[0];
            poly_.assign(
                {{p.x - hw, p.y - hw}, {p.x + hw, p.y - hw}, {p.x + hw, p.y + hw}, {p.x - hw, p.y + hw}});
            AddPolygon(out);
        }
        return;
    }
    if (pts_.size() == 2) closed = false;
    if (closed) {
        // The outline of a closed line starts and ends halfway along its
        // first side, where it runs straight on: every corner then gets a
        // join of its own.
        const PointF first = pts_[0], half{(first.x + pts_[1].x) * 0.5f, (first.y + pts_[1].y) * 0.5f};
        if ((half.x != first.x || half.y != first.y) && (half.x != pts_[1].x || half.y != pts_[1].y)) {
            pts_[0] = half;
            pts_.push_back(first);
        }
    }
    const size_t n = pts_.size();
    const size_t segs = closed ? n : n - 1;
    // Each segment's offset to the left side: square to it, or along the
    // minor axis for one-pixel lines.
    dirs_.resize(segs);
    offsets_.resize(segs);
    lengths_.resize(segs);
    for (size_t i = 0; i < segs; ++i) {
        const PointF a = pts_[i], b = pts_[(i + 1) % n];
        dirs_[i] = Normalized({b.x - a.x, b.y - a.y});
        lengths_[i] = std::hypot(b.x - a.x, b.y - a.y);
    }
    for (size_t i = 0; i < segs; ++i) {
        const PointF d = dirs_[i];
        offsets_[i] = style.minorAxis ? (std::fabs(d.x) >= std::fabs(d.y) ? PointF{0, hw} : PointF{-hw, 0})
                                      : PointF{-d.y * hw, d.x * hw};
        if (style.minorAxis && (offsets_[i].x * -d.y + offsets_[i].y * d.x) < 0)
            offsets_[i] = {-offsets_[i].x, -offsets_[i].y}; // keep it on the left
    }
    // Whether the left side (sign +1) or the right (-1) is the outer one of
    // the turn at the vertex between segments i and i + 1 (the left, when
    // the line turns right back).
    auto outerAt = [&](size_t i, float side) {
        const PointF d0 = dirs_[i], d1 = dirs_[(i + 1) % segs];
        const float cross = d0.x * d1.y - d0.y * d1.x;
        if (std::fabs(cross) <= 1e-6f) return side > 0;
        return side * cross < 0;
    };
    auto neg = [](PointF p) { return PointF{-p.x, -p.y}; };
    poly_.clear();
    // Out along the left side...
    const PointF start{pts_[0].x + offsets_[0].x, pts_[0].y + offsets_[0].y};
    poly_.push_back(start);
    for (size_t i = 0; i + 1 < segs; ++i)
        AddJoin(pts_[i + 1], offsets_[i], offsets_[i + 1], dirs_[i], dirs_[i + 1], lengths_[i], lengths_[i + 1],
                outerAt(i, 1), style);
    if (closed) {
        // (Where the outline starts and ends it runs straight on: these
        // joins only carry the sides on.)
        AddJoin(pts_[0], offsets_[segs - 1], offsets_[0], dirs_[segs - 1], dirs_[0], 0, 0, outerAt(segs - 1, 1),
                style);
        // ...across to the right side, where the way back starts and ends
        // (the join's first point): the two crossings cancel.
        AddJoin(pts_[0], neg(offsets_[0]), neg(offsets_[segs - 1]), neg(dirs_[0]), neg(dirs_[segs - 1]), 0, 0,
                outerAt(segs - 1, -1), style);
    } else {
        AddCap(pts_[n - 1], offsets_[segs - 1], dirs_[segs - 1], hw, style.endCap);
    }
    // ...and back along the right side.
    for (size_t i = segs - 1; i > 0; --i)
        AddJoin(pts_[i], neg(offsets_[i]), neg(offsets_[i - 1]), neg(dirs_[i]), neg(dirs_[i - 1]), lengths_[i],
                lengths_[i - 1], outerAt(i - 1, -1), style);
    if (closed) {
        poly_.push_back({pts_[0].x - offsets_[0].x, pts_[0].y - offsets_[0].y});
    } else {
        const PointF d0 = dirs_[0];
        AddCap(pts_[0], neg(offsets_[0]), {-d0.x, -d0.y}, hw, style.startCap);
    }
    AddPolygon(out);
}

} // namespace movie::raster
