// The outline of one fill in device pixels: a bag of directed line segments.
// Curves are flattened as they are added. The segments need not be ordered
// or chained; only the sum of their windings matters to the scan converter.
#pragma once

#include <cstddef>
#include <vector>

namespace movie::raster {

struct PointF {
    float x = 0;
    float y = 0;
};

// One directed edge. Horizontal edges are kept (so that the outline stays
// a chain of connected edges) though they add nothing to the coverage.
struct Line {
    float x0, y0, x1, y1;
    float Top() const { return y0 < y1 ? y0 : y1; }
    float Bottom() const { return y0 < y1 ? y1 : y0; }
};

struct BoundsF {
    float xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    bool Empty() const { return xMax <= xMin || yMax <= yMin; }
};

class EdgeList {
  public:
    // Coordinates are clamped to +-kCoordinateLimit so that extreme transforms
    // cannot overflow the scan converter's arithmetic; NaN becomes 0.
    static constexpr float kCoordinateLimit = 1 << 22;
    // Curves are flattened to within this distance (pixels).
    static constexpr float kTolerance = 0.1f;
    static constexpr int kMaxCurveSegments = 64;
    // Lines one outline may hold (16 MiB); more are dropped.
    static constexpr size_t kMaxLines = 1u << 20;

    // A point as the list keeps it: within the limit, NaN made 0.
    static PointF Clamped(PointF p);

    void Clear();
    void AddLine(PointF a, PointF b);
    void AddQuad(PointF a, PointF control, PointF b);
    void Append(const EdgeList& other);
    // Moves every line by (dx, dy); the order stays.
    void Translate(float dx, float dy);

    // Orders the lines by their top; called once before rasterizing.
    void Sort();
    // The tallest line's height, once sorted (before, larger than any).
    float TallestLine() const { return tallest_; }

    const std::vector<Line>& Lines() const { return lines_; }
    bool Empty() const { return lines_.empty(); }
    size_t Size() const { return lines_.size(); }
    // Bounds of the lines added (empty when there are none).
    BoundsF Bounds() const;

  private:
    std::vector<Line> lines_;
    float xMin_ = 0, yMin_ = 0, xMax_ = 0, yMax_ = 0;
    float tallest_ = kUnsorted;
    static constexpr float kUnsorted = 1e30f;
};

} // namespace movie::raster
