#include "movie/raster/EdgeList.h"

#include <algorithm>
#include <cmath>

namespace movie::raster {

namespace {

float Sanitize(float v) {
    if (!(v == v)) return 0; // NaN
    return std::clamp(v, -EdgeList::kCoordinateLimit, EdgeList::kCoordinateLimit);
}

} // namespace

PointF EdgeList::Clamped(PointF p) {
    return {Sanitize(p.x), Sanitize(p.y)};
}

void EdgeList::Clear() {
    lines_.clear();
    tallest_ = kUnsorted;
}

void EdgeList::AddLine(PointF a, PointF b) {
    a = {Sanitize(a.x), Sanitize(a.y)};
    b = {Sanitize(b.x), Sanitize(b.y)};
    if ((a.x == b.x && a.y == b.y) || lines_.size() >= kMaxLines) return;
    if (lines_.empty()) {
        xMin_ = xMax_ = a.x;
        yMin_ = yMax_ = a.y;
    }
    xMin_ = std::min({xMin_, a.x, b.x});
    xMax_ = std::max({xMax_, a.x, b.x});
    yMin_ = std::min({yMin_, a.y, b.y});
    yMax_ = std::max({yMax_, a.y, b.y});
    lines_.push_back({a.x, a.y, b.x, b.y});
    tallest_ = kUnsorted;
}

void EdgeList::AddQuad(PointF a, PointF c, PointF b) {
    a = {Sanitize(a.x), Sanitize(a.y)};
    b = {Sanitize(b.x), Sanitize(b.y)};
    c = {Sanitize(c.x), Sanitize(c.y)};
    // The distance of the control point from the chord's middle bounds the
    // deviation of the curve (half of it); segments needed grow with its root.
    float dx = (a.x - 2 * c.x + b.x) * 0.25f;
    float dy = (a.y - 2 * c.y + b.y) * 0.25f;
    float dev = std::sqrt(dx * dx + dy * dy);
    int n = static_cast<int>(std::ceil(std::sqrt(dev / kTolerance)));
    n = std::clamp(n, 1, kMaxCurveSegments);
    PointF prev = a;
    for (int i = 1; i < n; ++i) {
        float t = static_cast<float>(i) / n;
        float u = 1 - t;
        PointF p{u * u * a.x + 2 * u * t * c.x + t * t * b.x, u * u * a.y + 2 * u * t * c.y + t * t * b.y};
        AddLine(prev, p);
        prev = p;
    }
    AddLine(prev, b);
}

void EdgeList::Append(const EdgeList& other) {
    if (other.lines_.empty()) return;
    if (lines_.empty()) {
        xMin_ = other.xMin_;
        xMax_ = other.xMax_;
        yMin_ = other.yMin_;
        yMax_ = other.yMax_;
    } else {
        xMin_ = std::min(xMin_, other.xMin_);
        xMax_ = std::max(xMax_, other.xMax_);
        yMin_ = std::min(yMin_, other.yMin_);
        yMax_ = std::max(yMax_, other.yMax_);
    }
    size_t room = kMaxLines - std::min(kMaxLines, lines_.size());
    tallest_ = kUnsorted;
    lines_.insert(lines_.end(), other.lines_.begin(),
                  other.lines_.begin() + static_cast<std::ptrdiff_t>(std::min(room, other.lines_.size())));
}

void EdgeList::Sort() {
    std::sort(lines_.begin(), lines_.end(), [](const Line& l, const Line& r) { return l.Top() < r.Top(); });
    tallest_ = 0;
    for (const Line& l : lines_)
        tallest_ = std::max(tallest_, l.Bottom() - l.Top());
}

BoundsF EdgeList::Bounds() const {
    if (lines_.empty()) return {};
    return {xMin_, yMin_, xMax_, yMax_};
}

void EdgeList::Translate(float dx, float dy) {
    for (Line& l : lines_) {
        l.x0 += dx;
        l.x1 += dx;
        l.y0 += dy;
        l.y1 += dy;
    }
    xMin_ += dx;
    xMax_ += dx;
    yMin_ += dy;
    yMax_ += dy;
}

} // namespace movie::raster
