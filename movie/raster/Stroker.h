// Turns a polyline into the outline of its stroke: one closed contour that
// runs out along one side of the line and back along the other, with the
// joins on the outer side of each turn and the caps at the ends. Inner
// corners of gentle turns cut across where the two inner sides meet; sharper
// ones pass through the vertex, so every part of the stroke is wound the
// same way and the non-zero rule fills it, however the line crosses itself.
#pragma once

#include "movie/raster/EdgeList.h"
#include "movie/raster/Paint.h"

#include <cstdint>
#include <vector>

namespace movie::raster {

enum class Cap : uint8_t { Round, None, Square };
enum class Join : uint8_t { Round, Bevel, Miter };

struct StrokeStyle {
    float width = 1; // device pixels
    Cap startCap = Cap::Round;
    Cap endCap = Cap::Round;
    Join join = Join::Round;
    float miterLimit = 3;
    // A one-pixel line: its segments are `width` thick across their minor
    // axis (one pixel per column of a flat line, per row of a steep one)
    // rather than square to their direction.
    bool minorAxis = false;
};

class Stroker {
  public:
    // Adds the outline of the stroke along `points` to `out`. A closed
    // polyline (last point joined back to the first) gets joins all round.
    // With `to`, the points are in a space of their own (where the pen is
    // round) and the outline's corners are taken by `to` into out's space.
    void Stroke(const std::vector<PointF>& points, bool closed, const StrokeStyle& style, EdgeList& out,
                const Affine* to = nullptr);

  private:
    void AddPolygon(EdgeList& out);
    void AddCircle(PointF c, float r, EdgeList& out);
    // Appends the arc of radius `r` around `c` from the end of offset `n0`,
    // turning by `angle`, without its two end points; in `steps` steps, or
    // as many as its radius asks (0).
    void AddArc(PointF c, PointF n0, float angle, float r, int steps = 0);
    // Steps for an arc of radius r turning by `angle`.
    int ArcSteps(float r, float angle);
    // Turns from offset `n0` to `n1` at vertex `v` on one side of the line,
    // arriving in direction `d0` along a segment `lenIn` long and leaving in
    // direction `d1` along one `lenOut` long.
    void AddJoin(PointF v, PointF n0, PointF n1, PointF d0, PointF d1, float lenIn, float lenOut, bool outer,
                 const StrokeStyle& style);
    void AddCap(PointF p, PointF n, PointF dir, float hw, Cap cap);

    std::vector<PointF> pts_;
    std::vector<PointF> dirs_;    // per segment: its direction
    std::vector<PointF> offsets_; // per segment: its offset to the left side
    std::vector<float> lengths_;  // per segment: its length
    std::vector<PointF> poly_;
    const Affine* to_ = nullptr;
    float stepRadius_ = -1, widestStep_ = 0; // the widest step for arcs of that radius
};

} // namespace movie::raster
