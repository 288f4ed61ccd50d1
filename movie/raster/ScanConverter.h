// Scan conversion with exact-area coverage: every edge adds the signed area
// it covers in each pixel, and the cover it carries to the pixels on its
// right, into an accumulation buffer; a running sum along each row then
// gives the exact winding-weighted coverage of every pixel.
#pragma once

#include "movie/raster/EdgeList.h"

#include <algorithm>
#include <cassert>
#include <cmath>
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

// What RasterizeRows hands over, row by row, in order: Begin(y, x, n, widest)
// (`widest`: the longest stretch of the row that may come as one Constant), then
// the stretches of pixels x+s .. x+e-1 that cover 0..n exactly, each either
// Constant(s, e, value) or Varying(s, e, cov) with cov[s] the coverage of
// pixel x+s, then End().
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
        SpanRecorder<Sink> rows{*this, sink, antialias};
        RasterizeRows(edges, rule, clip, rows);
    }

    // The same, anti-aliased, handing each row's stretches to `rows` as they
    // come (see above) instead of gathering them first.
    template <class Rows> void RasterizeRows(const EdgeList& edges, FillRule rule, IRect clip, Rows& rows) {
        if (!Accumulate(edges, clip)) return;
        if (rule == FillRule::NonZero)
            Resolve<FillRule::NonZero>(rows);
        else
            Resolve<FillRule::EvenOdd>(rows);
    }

    // Expands a row's spans into `out` (n values), for sinks that want every value.
    static void Expand(const uint8_t* cov, const CoverageSpan* spans, int count, uint8_t* out);

  private:
    // Gathers a row's stretches as spans for a Rasterize sink.
    template <class Sink> struct SpanRecorder {
        ScanConverter& scan;
        Sink& sink;
        bool antialias;
        int y = 0, x = 0, n = 0, count = 0;
        const uint8_t* cov = nullptr;
        void Begin(int rowY, int rowX, int rowN, int) {
            y = rowY;
            x = rowX;
            n = rowN;
            count = 0;
        }
        void Constant(int s, int e, int value) { scan.spans_[count++] = {s, e, value}; }
        void Varying(int s, int e, const uint8_t* values) {
            cov = values;
            scan.spans_[count++] = {s, e, CoverageSpan::kVaries};
        }
        void End() {
#ifndef NDEBUG
            // The spans are sorted, disjoint and cover the row's n pixels exactly.
            assert(count > 0 && scan.spans_[0].s == 0 && scan.spans_[count - 1].e == n);
            for (int k = 0; k < count; ++k)
                assert(scan.spans_[k].s < scan.spans_[k].e &&
                       (k == 0 || scan.spans_[k - 1].e == scan.spans_[k].s));
#endif
            if (!antialias) scan.Harden(x - scan.originX_, count);
            sink(y, x, n, scan.cov_.data() + (x - scan.originX_), scan.spans_.data(), count);
        }
    };

    bool Accumulate(const EdgeList& edges, IRect clip);
    void AddClipped(float x0, float y0, float x1, float y1);
    void AddLine(float x0, float y0, float x1, float y1);
    void AddPiece(int y, float x, float xNext, float d);
    // Hands every row that has coverage to `rows`.
    template <FillRule rule, class Rows> void Resolve(Rows& rows) {
        for (int row = 0; row < height_; ++row)
            ResolveRow<rule>(row, rows);
    }
    // Sums the row's coverage from its first written column and hands its
    // stretches to `rows`.
    template <FillRule rule, class Rows> void ResolveRow(int row, Rows& rows);
    // Gathers the row's columns where runs of written columns start and end;
    // returns how many.
    int RunBounds(int row);
    void Harden(int lo, int count);

    // Marks columns first .. last of `row` as written to.
    void Touch(int row, int first, int last);
    uint64_t* TouchedRow(int row) {
        return touched_.data() + static_cast<size_t>(row) * words_;
    }

    std::vector<float> acc_;
    std::vector<uint8_t> cov_;
    // Per row, one bit per column that edges wrote into; between the runs
    // of set bits the coverage is constant and needs no running sum, and
    // walking the bits gives the runs in order without sorting anything.
    std::vector<uint64_t> touched_;
    int words_ = 0; // per row, with room for the column after the last
    std::vector<int> rowMin_, rowMax_;
    std::vector<CoverageSpan> spans_; // the current row's, room for a row of single columns
    std::vector<int> bounds_;         // the current row's columns where runs start and end
    int originX_ = 0, originY_ = 0, width_ = 0, height_ = 0, stride_ = 0;
};

// A running sum's coverage, 0..255.
template <FillRule rule> inline uint8_t ToCoverage(float sum) {
    float c = std::fabs(sum);
    if constexpr (rule == FillRule::NonZero) {
        c = std::min(c, 1.0f);
    } else if (c > 1) { // (up to one it stands as it is)
        c -= 2.0f * static_cast<float>(static_cast<int>(std::min(c, 1e9f) * 0.5f)); // c >= 0
        if (c > 1) c = 2 - c;
    }
    return static_cast<uint8_t>(c * 255.0f + 0.5f);
}

// Walks the row's runs of written columns in order: the running sum goes
// through each, and the stretch between two runs takes the sum's coverage.
template <FillRule rule, class Rows> void ScanConverter::ResolveRow(int row, Rows& rows) {
    const int lo = rowMin_[row], hi = rowMax_[row];
    if (hi < lo) return;
    const int found = RunBounds(row);
    const int* bounds = bounds_.data();
    float* acc = acc_.data() + static_cast<size_t>(row) * stride_;
    // The row is cut at its last column; written only in the column after
    // it, it shows nothing.
    const int end = std::min(hi, width_ - 1);
    if (end < lo) {
        for (int k = 0; k < found; k += 2)
            std::fill(acc + bounds[k], acc + bounds[k + 1], 0.0f);
        return;
    }
    const int n = end - lo + 1;
    uint8_t* cov = cov_.data();
    int widest = 0;
    for (int k = 2; k < found; k += 2)
        widest = std::max(widest, bounds[k] - bounds[k - 1]);
    rows.Begin(originY_ + row, originX_ + lo, n, widest);
    float sum = 0;
    for (int k = 0; k < found; k += 2) {
        const int s = bounds[k], e = bounds[k + 1];
        if (k > 0 && bounds[k - 1] - lo < n)
            rows.Constant(bounds[k - 1] - lo, std::min(s - lo, n), ToCoverage<rule>(sum));
        for (int i = s; i < e; ++i) {
            sum += acc[i];
            acc[i] = 0;
            cov[i] = ToCoverage<rule>(sum);
        }
        if (s - lo < n) rows.Varying(s - lo, std::min(e - lo, n), cov + lo);
    }
    rows.End();
}

} // namespace movie::raster
