// Turns a polyline into filled pieces (one quad per segment, a wedge per
// join, a cap at each open end), all wound the same way, so that the
// non-zero rule fills their union.
#pragma once

#include "movie/raster/EdgeList.h"

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
    void Stroke(const std::vector<PointF>& points, bool closed, const StrokeStyle& style, EdgeList& out);

  private:
    void AddPolygon(EdgeList& out);
    void AddCircle(PointF c, float r, EdgeList& out);
    void AddJoin(PointF v, PointF d0, PointF d1, float hw, const StrokeStyle& style, EdgeList& out);
    void AddCap(PointF p, PointF dir, float hw, Cap cap, EdgeList& out);

    std::vector<PointF> pts_;
    std::vector<PointF> poly_;
};

} // namespace movie::raster
