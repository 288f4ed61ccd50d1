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

// A stretch of a row's coverage: either one value for all its pixels, or
// values that vary (then read them from the row's coverage array).
struct CoverageSpan {
    static constexpr int kVaries = -1;
    int s = 0, e = 0;    // indices s .. e-1 into the row's coverage values
    int value = kVaries; // 0..255, or kVaries
};

class ScanConverter {
  public:
    // Rasterizes the (sorted) edges within `clip`. For every row that has
    // coverage, calls sink(y, x, n, coverage, spans, spanCount): the row's
    // pixels x .. x+n-1 as spans in order, covering 0..n exactly; the
    // coverage array holds the values 0..255 of the spans that vary (the
    // others leave it untouched). Without anti-aliasing a pixel is in (255)
    // when at least half of it is covered, else out (0).
    template <class Sink>
    void Rasterize(const EdgeList& edges, FillRule rule, IRect clip, Sink&& sink, bool antialias = true) {
        if (!Accumulate(edges, clip)) return;
        if (rule == FillRule::NonZero)
            Resolve<FillRule::NonZero>(sink, antialias);
        else
            Resolve<FillRule::EvenOdd>(sink, antialias);
    }

    // Expands a row's spans into `out` (n values), for sinks that want every value.
    static void Expand(const uint8_t* cov, const CoverageSpan* spans, int count, uint8_t* out);

  private:
    bool Accumulate(const EdgeList& edges, IRect clip);
    void AddClipped(float x0, float y0, float x1, float y1);
    void AddLine(float x0, float y0, float x1, float y1);
    void AddPiece(int y, float x, float xNext, float d);
    // Hands every row that has coverage to the sink.
    template <FillRule rule, class Sink> void Resolve(Sink& sink, bool antialias) {
        for (int row = 0; row < height_; ++row) {
            int x0, n;
            if (ResolveRow<rule>(row, x0, n)) {
                if (!antialias) Harden(x0);
                sink(originY_ + row, originX_ + x0, n, cov_.data() + x0, spans_.data(), spanCount_);
            }
        }
    }
    // Sums the row's coverage into spans from its first written column x0, n pixels.
    template <FillRule rule> bool ResolveRow(int row, int& x0, int& n);
    void Harden(int x0);

    // Marks columns first .. last of `row` as written to.
    void Touch(int row, int first, int last);
    uint64_t* TouchedRow(int row) { return touched_.data() + static_cast<size_t>(row) * words_; }

    std::vector<float> acc_;
    std::vector<uint8_t> cov_;
    // Per row, one bit per column that edges wrote into; between the runs
    // of set bits the coverage is constant and needs no running sum, and
    // walking the bits gives the runs in order without sorting anything.
    std::vector<uint64_t> touched_;
    int words_ = 0; // per row, with room for the column after the last
    std::vector<int> rowMin_, rowMax_;
    std::vector<CoverageSpan> spans_; // the current row's, room for a row of single columns
    int spanCount_ = 0;
    std::vector<int> bounds_; // the current row's columns where runs start and end
    int originX_ = 0, originY_ = 0, width_ = 0, height_ = 0, stride_ = 0;
};

} // namespace movie::raster
