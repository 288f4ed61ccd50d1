// Blitters lay a source over a row of destination pixels, one span at a
// time. Each has the same two operations: FillSpan for pixels the shape
// covers fully, BlendSpan for pixels with a coverage value each. BlitRow
// walks a row of coverage as the scan converter hands it over and calls
// them, so a new way of laying pixels down (a blend mode, a layer drawn
// from an image) is a new blitter, not another walk over the coverage.
#pragma once

#include "movie/raster/Paint.h"
#include "movie/raster/RowBlend.h"
#include "movie/raster/ScanConverter.h"

#include <cstring>
#include <vector>

namespace movie::raster {

// A row of coverage: pixels x .. x+n-1 of row y as spans (see
// ScanConverter::Rasterize), with the values of the spans that vary in cov.
struct CoverageRow {
    int x, y, n;
    const uint8_t* cov;
    const CoverageSpan* spans;
    int count;
};

// Hands a stretch of varying coverage, pixels s .. e-1 of a row, to the
// blitter: FillSpan(s, e) where it is full, BlendSpan(s, e, cov) where it is
// partial (cov[0] is pixel s's value), nothing where it is none. `cov[i]`
// is pixel i's value.
template <class Blitter> void BlitVarying(const uint8_t* cov, int s, int e, Blitter& blitter) {
    int i = s;
    while (i < e) {
        i = RunOf(cov, i, e, 0);
        if (i >= e) break;
        const int from = i;
        if (cov[i] == 255) {
            i = RunOf(cov, i, e, 255);
            blitter.FillSpan(from, i);
            continue;
        }
        while (i < e && cov[i] != 0 && cov[i] != 255)
            ++i;
        blitter.BlendSpan(from, i, cov + from);
    }
}

// Hands the row's stretches to the blitter: FillSpan(s, e) for stretches
// of full coverage, BlendSpan(s, e, cov) for the others (cov[0] is pixel s's
// value; `constCov`, at least n bytes, holds a constant stretch's value
// spread out). Stretches of no coverage are left out.
template <class Blitter> void BlitRow(const CoverageRow& row, Blitter& blitter, uint8_t* constCov) {
    for (int k = 0; k < row.count; ++k) {
        const CoverageSpan& sp = row.spans[k];
        if (sp.value == CoverageSpan::kVaries) {
            BlitVarying(row.cov, sp.s, sp.e, blitter);
        } else if (sp.value == 255) {
            blitter.FillSpan(sp.s, sp.e);
        } else if (sp.value != 0) {
            std::memset(constCov, sp.value, static_cast<size_t>(sp.e - sp.s));
            blitter.BlendSpan(sp.s, sp.e, constCov);
        }
    }
}

// Lays a paint over the frame: fully covered spans take an opaque paint
// straight, partly covered ones are scaled by their coverage.
//
// A paint that does not change down the frame (a linear gradient running
// across) gives the row below the same pixels: the longest opaque run a row
// laid straight is copied into the next row instead of shaded again.
class PaintBlitter {
  public:
    // `scratch` holds a row of the frame's width.
    PaintBlitter(const Paint& paint, Pixel* scratch, bool copyDown = false)
        : paint_(paint), scratch_(scratch), solid_(paint.kind == PaintKind::Solid), copyDown_(copyDown) {}

    // The row the following spans lie in: dst[0] is device pixel (x, y).
    // `rowAbove` is the frame's row y - 1 (its pixel 0 at column 0), or null.
    void BeginRow(Pixel* dst, int x, int y, const Pixel* rowAbove = nullptr) {
        dst_ = dst;
        x_ = x;
        y_ = y;
        rowAbove_ = copyDown_ ? rowAbove : nullptr;
        longest_ = {};
    }
    // Ends the row begun last, which the next row may copy from.
    void EndRow() {
        if (copyDown_) above_ = longest_;
    }

    [[gnu::always_inline]] void FillSpan(int s, int e) {
        const int len = e - s;
        Pixel* d = dst_ + s;
        if (paint_.opaque) {
            if (solid_) {
                FillRow(d, paint_.color, len);
                return;
            }
            if (rowAbove_ && above_.y == y_ - 1 && above_.x0 <= x_ + s && x_ + e <= above_.x1)
                std::memcpy(d, rowAbove_ + x_ + s, sizeof(Pixel) * len);
            else
                paint_.ShadeRow(x_ + s, y_, len, d);
            if (copyDown_ && len > longest_.x1 - longest_.x0) longest_ = {y_, x_ + s, x_ + e};
        } else {
            paint_.LayRow(x_ + s, y_, len, d, nullptr, LayMode::Over, scratch_);
        }
    }

    void BlendSpan(int s, int e, const uint8_t* cov) {
        if (solid_)
            OverSolidCoverage(dst_ + s, paint_.color, cov, e - s);
        else
            paint_.LayRow(x_ + s, y_, e - s, dst_ + s, cov, LayMode::Over, scratch_);
    }

    // A stretch of varying coverage (cov[i] is pixel i's value). The short
    // ones a thin shape's edges leave, in one colour, are blended whole,
    // without looking for full and empty stretches first.
    [[gnu::always_inline]] void VaryingSpan(int s, int e, const uint8_t* cov) {
        if (!solid_ || e - s > kShortStretch) {
            BlitVarying(cov, s, e, *this);
            return;
        }
        OverSolidCoverageShort(dst_ + s, paint_.color, cov + s, e - s);
    }

  private:
    static constexpr int kShortStretch = 8;
    // A run of pixels of row y, x0 .. x1-1 in device columns.
    struct Run {
        int y = -1, x0 = 0, x1 = 0;
    };

    const Paint& paint_;
    Pixel* scratch_;
    const bool solid_;
    const bool copyDown_;
    Pixel* dst_ = nullptr;
    const Pixel* rowAbove_ = nullptr;
    int x_ = 0, y_ = 0;
    Run above_, longest_;
};

// Lays a paint onto the frame in its blend mode (a layer drawn off screen
// and laid on as an image), scaled by the coverage where it is partial.
class BlendModeBlitter {
  public:
    BlendModeBlitter(const Paint& paint, Pixel* scratch) : paint_(paint), scratch_(scratch) {}

    void BeginRow(Pixel* dst, int x, int y) {
        dst_ = dst;
        x_ = x;
        y_ = y;
    }
    void FillSpan(int s, int e) {
        paint_.ShadeRow(x_ + s, y_, e - s, scratch_);
        BlendRow(paint_.blend, dst_ + s, scratch_, e - s);
    }
    void BlendSpan(int s, int e, const uint8_t* cov) {
        paint_.ShadeRow(x_ + s, y_, e - s, scratch_);
        BlendRowCoverage(paint_.blend, dst_ + s, scratch_, cov, e - s);
    }

  private:
    const Paint& paint_;
    Pixel* scratch_;
    Pixel* dst_ = nullptr;
    int x_ = 0, y_ = 0;
};

// A stretch of a band's row that a layer holds something in.
struct LayerRun {
    int row, x0, x1;
};

// Adds a paint into a layer (channels saturating): nothing where the
// coverage is none, the paint as it is where it is full. The fills of one
// layer meet without overlapping, so where a fill covers a pixel fully the
// layer would hold that fill alone there; with a frame row given, such
// spans are laid straight over the frame instead of into the layer.
// What goes into the layer is put on record as runs, so that laying the
// layer over the frame visits only those.
class LayerAddBlitter {
  public:
    LayerAddBlitter(const Paint& paint, Pixel* scratch, std::vector<LayerRun>& runs)
        : paint_(paint), scratch_(scratch), solid_(paint.kind == PaintKind::Solid), runs_(runs),
          frameBlitter_(paint, scratch) {}

    // layer[0] and frame[0] (frame may be null) are device pixel (x, y),
    // which is row `bandRow` of the band.
    void BeginRow(Pixel* layer, Pixel* frame, int x, int y, int bandRow) {
        layer_ = layer;
        frame_ = frame;
        x_ = x;
        y_ = y;
        bandRow_ = bandRow;
        if (frame) frameBlitter_.BeginRow(frame, x, y);
    }
    void EndRow() {}

    void FillSpan(int s, int e) {
        if (frame_) {
            frameBlitter_.FillSpan(s, e);
            return;
        }
        Add(s, e, nullptr);
    }
    void BlendSpan(int s, int e, const uint8_t* cov) { Add(s, e, cov); }
    void VaryingSpan(int s, int e, const uint8_t* cov) { BlitVarying(cov, s, e, *this); }

  private:
    void Add(int s, int e, const uint8_t* cov);

    const Paint& paint_;
    Pixel* scratch_;
    const bool solid_;
    std::vector<LayerRun>& runs_;
    PaintBlitter frameBlitter_;
    Pixel* layer_ = nullptr;
    Pixel* frame_ = nullptr;
    int x_ = 0, y_ = 0, bandRow_ = 0;
};

} // namespace movie::raster
