#include "movie/raster/Stroker.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace movie::raster {

namespace {

int ArcSteps(float r, float angle) {
    // Chord error below a twentieth of a pixel, at least a few steps, bounded.
    float tol = 0.05f;
    float step = r > tol ? 2 * std::acos(std::max(-1.0f, 1 - tol / r)) : std::numbers::pi_v<float>;
    step = std::max(step, 0.05f);
    int n = static_cast<int>(std::ceil(std::fabs(angle) / step));
    return std::clamp(n, 2, 128);
}

// Radius for the corners of a polygon whose sectors of `step` radians have
// the area of the circle's sectors: the polygon's sides then straddle the
// circle instead of cutting inside it everywhere.
float ArcRadius(float r, float step) {
    float s = std::sin(std::fabs(step));
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
    for (size_t i = 0; i < n; ++i) out.AddLine(poly_[i], poly_[(i + 1) % n]);
}

void Stroker::AddCircle(PointF c, float r, EdgeList& out) {
    int n = std::max(8, ArcSteps(r, 2 * std::numbers::pi_v<float>));
    float ra = ArcRadius(r, 2 * std::numbers::pi_v<float> / n);
    poly_.clear();
    for (int i = 0; i < n; ++i) {
        float a = 2 * std::numbers::pi_v<float> * i / n;
        poly_.push_back({c.x + ra * std::cos(a), c.y + ra * std::sin(a)});
    }
    AddPolygon(out);
}

void Stroker::AddJoin(PointF v, PointF d0, PointF d1, float hw, const StrokeStyle& style, EdgeList& out) {
    float cross = d0.x * d1.y - d0.y * d1.x;
    float dot = d0.x * d1.x + d0.y * d1.y;
    if (std::fabs(cross) < 1e-6f && dot > 0) return; // straight on
    // The outer side is opposite to the turn.
    float side = cross > 0 ? -1.0f : 1.0f;
    PointF n0{-d0.y * hw * side, d0.x * hw * side};
    PointF n1{-d1.y * hw * side, d1.x * hw * side};
    poly_.clear();
    if (style.join == Join::Round) {
        float a0 = std::atan2(n0.y, n0.x);
        float a1 = std::atan2(n1.y, n1.x);
        float da = a1 - a0;
        while (da > std::numbers::pi_v<float>) da -= 2 * std::numbers::pi_v<float>;
        while (da < -std::numbers::pi_v<float>) da += 2 * std::numbers::pi_v<float>;
        int steps = ArcSteps(hw, da);
        poly_.push_back(v);
        // The ends stay on the segments' edges; the corners between them straddle the arc.
        float ra = ArcRadius(hw, da / steps);
        for (int i = 0; i <= steps; ++i) {
            float a = a0 + da * i / steps;
            float r = i == 0 || i == steps ? hw : ra;
            poly_.push_back({v.x + r * std::cos(a), v.y + r * std::sin(a)});
        }
    } else {
        poly_.push_back(v);
        poly_.push_back({v.x + n0.x, v.y + n0.y});
        if (style.join == Join::Miter) {
            // The miter's length over the half width is 1 / cos(theta / 2).
            PointF m{n0.x + n1.x, n0.y + n1.y};
            float mlen2 = m.x * m.x + m.y * m.y;
            float cosHalf = std::sqrt(std::max(0.0f, (1 + dot) * 0.5f));
            if (cosHalf > 1e-4f && 1 / cosHalf <= style.miterLimit && mlen2 > 0) {
                float mlen = hw / cosHalf;
                float s = mlen / std::sqrt(mlen2);
                poly_.push_back({v.x + m.x * s, v.y + m.y * s});
            }
        }
        poly_.push_back({v.x + n1.x, v.y + n1.y});
    }
    AddPolygon(out);
}

void Stroker::AddCap(PointF p, PointF dir, float hw, Cap cap, EdgeList& out) {
    if (cap == Cap::None) return;
    if (cap == Cap::Round) {
        AddCircle(p, hw, out);
        return;
    }
    // Square: extends half the width beyond the end along `dir` (pointing outwards).
    PointF n{-dir.y * hw, dir.x * hw};
    PointF e{p.x + dir.x * hw, p.y + dir.y * hw};
    poly_.assign({{p.x + n.x, p.y + n.y}, {e.x + n.x, e.y + n.y}, {e.x - n.x, e.y - n.y}, {p.x - n.x, p.y - n.y}});
    AddPolygon(out);
}

void Stroker::Stroke(const std::vector<PointF>& points, bool closed, const StrokeStyle& style, EdgeList& out) {
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
    const size_t n = pts_.size();
    if (n == 0) return;
    if (n == 1) {
        // A zero-length line shows as a dot in its cap's shape.
        if (style.startCap == Cap::Round) AddCircle(pts_[0], hw, out);
        else if (style.startCap == Cap::Square) AddCap({pts_[0].x - hw, pts_[0].y}, {1, 0}, hw, Cap::Square, out);
        return;
    }
    if (n == 2) closed = false;
    const size_t segs = closed ? n : n - 1;
    for (size_t i = 0; i < segs; ++i) {
        PointF a = pts_[i], b = pts_[(i + 1) % n];
        PointF d = Normalized({b.x - a.x, b.y - a.y});
        PointF nn{-d.y * hw, d.x * hw};
        if (style.minorAxis) nn = std::fabs(d.x) >= std::fabs(d.y) ? PointF{0, hw} : PointF{hw, 0};
        poly_.assign({{a.x + nn.x, a.y + nn.y}, {b.x + nn.x, b.y + nn.y}, {b.x - nn.x, b.y - nn.y}, {a.x - nn.x, a.y - nn.y}});
        AddPolygon(out);
    }
    auto dirAt = [&](size_t i) { // direction of segment i
        PointF a = pts_[i % n], b = pts_[(i + 1) % n];
        return Normalized({b.x - a.x, b.y - a.y});
    };
    for (size_t i = 1; i < segs; ++i) AddJoin(pts_[i], dirAt(i - 1), dirAt(i), hw, style, out);
    if (closed) {
        AddJoin(pts_[0], dirAt(n - 1), dirAt(0), hw, style, out);
    } else {
        PointF d0 = dirAt(0);
        PointF d1 = dirAt(n - 2);
        AddCap(pts_[0], {-d0.x, -d0.y}, hw, style.startCap, out);
        AddCap(pts_[n - 1], d1, hw, style.endCap, out);
    }
}

} // namespace movie::raster
