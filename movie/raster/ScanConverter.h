// Scan conversion with exact-area coverage: every edge adds the signed area
// it covers in each pixel, and the cover it carries to the pixels on its
// right, into an accumulation buffer; a running sum along each row then
// gives the exact winding-weighted coverage of every pixel.
#pragma once

#include "movie/raster/EdgeList.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace movie::raster {

enum class FillRule : uint8_t { NonZero, EvenOdd };

// A pixel rectangle, x1 and y1 exclusive.
struct IRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool Empty() const { return x1 <= x0 || y1 <= y0; }
    IRect Intersect(const IRect& o) const;
    IRect Union(const IRect& o) const;
    friend bool operator==(const IRect&, const IRect&) = default;
};

// Pixel rectangle covering `b` (with a pixel of margin for rounding).
IRect CoveringRect(const BoundsF& b);

class ScanConverter {
  public:
    // Rasterizes the (sorted) edges within `clip`. For every row that has
    // coverage, calls sink(y, x, n, coverage) with n coverage values 0..255
    // for the pixels x .. x+n-1 of row y, rows top to bottom. Without
    // anti-aliasing a pixel is in (255) when at least half of it is covered,
    // else out (0).
    template <class Sink>
    void Rasterize(const EdgeList& edges, FillRule rule, IRect clip, Sink&& sink, bool antialias = true) {
        if (!Accumulate(edges, clip)) return;
        for (int row = 0; row < height_; ++row) {
            int x0, n;
            if (ResolveRow(row, rule, x0, n)) {
                if (!antialias)
                    for (int i = x0; i < x0 + n; ++i) cov_[i] = cov_[i] >= 128 ? 255 : 0;
                fullS_ = std::clamp(fullX0_ - x0, 0, n);
                fullE_ = std::clamp(fullX1_ - x0, fullS_, n);
                sink(originY_ + row, originX_ + x0, n, cov_.data() + x0);
            }
        }
    }

    // While the sink runs: the longest stretch of its coverage values that
    // the row's edges leave fully covered, found without looking at them,
    // as indices s .. e-1 into the sink's values (s == e when there is none).
    // It may be part of a longer stretch of 255s.
    void FullRun(int& s, int& e) const {
        s = fullS_;
        e = fullE_;
    }

  private:
    bool Accumulate(const EdgeList& edges, IRect clip);
    void AddClipped(float x0, float y0, float x1, float y1);
    void AddLine(float x0, float y0, float x1, float y1);
    bool ResolveRow(int row, FillRule rule, int& x0, int& n);
    template <FillRule rule> void ResolveRanges(int row);

    std::vector<float> acc_;
    std::vector<uint8_t> cov_;
    // Per row, the column ranges edges wrote into (first, last inclusive);
    // between them the coverage is constant and needs no running sum.
    struct Range {
        int x0, x1;
    };
    std::vector<std::vector<Range>> ranges_;
    std::vector<int> rowMin_, rowMax_;
    int originX_ = 0, originY_ = 0, width_ = 0, height_ = 0, stride_ = 0;
    int fullX0_ = 0, fullX1_ = 0; // the row's longest full stretch, accumulator columns
    int fullS_ = 0, fullE_ = 0;   // the same for the sink
};

} // namespace movie::raster
