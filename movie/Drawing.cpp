#include "movie/Drawing.h"

#include <algorithm>

namespace movie {

Drawing::Group& Drawing::Current() {
    if (groups_.empty()) groups_.emplace_back();
    return groups_.back();
}

uint32_t Drawing::Version() const {
    uint32_t v = version_;
    for (const Group& g : groups_)
        for (const FillStyle& f : g.fills)
            if (f.bitmap) v += f.bitmap->version;
    return v;
}

void Drawing::SetLineStyle(std::optional<LineStyle> style) {
    lineStyle_ = std::move(style);
    line_ = -1;
    lineOpen_ = false;
}

void Drawing::BeginFill(std::optional<FillStyle> fill) {
    EndFill();
    if (!fill) return;
    // A fill begun after lines were drawn covers them: it goes into a group of its own.
    if (!groups_.empty() && !groups_.back().lines.empty()) {
        groups_.emplace_back();
        line_ = -1;
        lineOpen_ = false;
    }
    Group& g = Current();
    g.fills.push_back(std::move(*fill));
    g.fillOutlines.emplace_back();
    fill_ = static_cast<int>(g.fills.size()) - 1;
    fillOpen_ = false;
    Changed();
}

void Drawing::EndFill() {
    if (fill_ < 0) return;
    CloseFill();
    fill_ = -1;
    fillOpen_ = false;
}

void Drawing::CloseFill() {
    if (fill_ < 0 || !fillOpen_) return;
    const Point start = groups_.back().fillOutlines[fill_].outlines.back().start;
    if (!(start == pen_)) AddEdge({false, {}, start});
}

void Drawing::MoveTo(Point p) {
    pen_ = p;
    lineOpen_ = fillOpen_ = false;
}

void Drawing::LineTo(Point p) {
    AddEdge({false, {}, p});
}

void Drawing::CurveTo(Point control, Point to) {
    AddEdge({true, control, to});
}

void Drawing::AddEdge(const Segment& s) {
    const bool drawn = fill_ >= 0 || lineStyle_;
    if (drawn && edges_ < kMaxEdges) {
        ++edges_;
        Group& g = Current();
        if (fill_ >= 0) {
            auto& outlines = g.fillOutlines[fill_].outlines;
            if (!fillOpen_) outlines.push_back({pen_, {}});
            fillOpen_ = true;
            outlines.back().segments.push_back(s);
        }
        if (lineStyle_) {
            if (line_ < 0) {
                g.lines.push_back(*lineStyle_);
                g.lineOutlines.emplace_back();
                line_ = static_cast<int>(g.lines.size()) - 1;
                lineOpen_ = false;
            }
            auto& outlines = g.lineOutlines[line_].outlines;
            if (!lineOpen_) outlines.push_back({pen_, {}});
            lineOpen_ = true;
            outlines.back().segments.push_back(s);
        }
        Changed();
    }
    pen_ = s.to;
}

void Drawing::Clear() {
    groups_.clear();
    lineStyle_.reset();
    fill_ = line_ = -1;
    lineOpen_ = fillOpen_ = false;
    pen_ = {};
    edges_ = 0;
    Changed();
}

namespace {

struct BoundsBuilder {
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    void Add(Point p, double grow) {
        x0 = std::min(x0, p.x - grow), y0 = std::min(y0, p.y - grow);
        x1 = std::max(x1, p.x + grow), y1 = std::max(y1, p.y + grow);
    }
    void Add(const Path& path, double grow) {
        Add(path.start, grow);
        for (const Segment& s : path.segments) {
            if (s.curve) Add(s.control, grow);
            Add(s.to, grow);
        }
    }
    Rect Get() const {
        if (x0 > x1) return {};
        return {static_cast<int32_t>(x0), static_cast<int32_t>(x1), static_cast<int32_t>(y0),
                static_cast<int32_t>(y1)};
    }
};

} // namespace

const Shape& Drawing::GetShape() const {
    if (built_) return shape_;
    built_ = true;
    shape_ = Shape{};
    BoundsBuilder edges, all;
    for (size_t gi = 0; gi < groups_.size(); ++gi) {
        const Group& group = groups_[gi];
        StyleGroup& g = shape_.groups.emplace_back();
        g.fills = group.fills;
        g.lines = group.lines;
        for (size_t f = 0; f < group.fills.size(); ++f)
            for (const Outline& o : group.fillOutlines[f].outlines) {
                Path p{0, static_cast<uint32_t>(f + 1), 0, o.start, o.segments};
                if (!(p.segments.back().to == o.start)) p.segments.push_back({false, {}, o.start});
                edges.Add(p, 0);
                all.Add(p, 0);
                g.paths.push_back(std::move(p));
            }
        for (size_t l = 0; l < group.lines.size(); ++l) {
            const double half = group.lines[l].width / 2.0;
            for (const Outline& o : group.lineOutlines[l].outlines) {
                Path p{0, 0, static_cast<uint32_t>(l + 1), o.start, o.segments};
                edges.Add(p, 0);
                all.Add(p, half);
                g.paths.push_back(std::move(p));
            }
        }
        // A fill still open is closed where the clip is drawn, the closing edge stroked.
        if (gi + 1 == groups_.size() && fill_ >= 0 && fillOpen_ && lineStyle_) {
            const Point start = group.fillOutlines[fill_].outlines.back().start;
            if (!(start == pen_)) {
                uint32_t line = static_cast<uint32_t>(line_ + 1);
                if (line_ < 0) {
                    g.lines.push_back(*lineStyle_);
                    line = static_cast<uint32_t>(g.lines.size());
                }
                Path p{0, 0, line, pen_, {{false, {}, start}}};
                all.Add(p, lineStyle_->width / 2.0);
                g.paths.push_back(std::move(p));
            }
        }
    }
    shape_.bounds = all.Get();
    shape_.edgeBounds = edges.Get();
    return shape_;
}

} // namespace movie
