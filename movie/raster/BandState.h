// One band of the frame being drawn: the scene's commands run over it one
// by one, each through its own method, with the state they leave behind
// (the mask stack, the open layer, the rows still without background).
#pragma once

#include "movie/raster/Blitter.h"
#include "movie/raster/Canvas.h"
#include "movie/raster/Scene.h"

#include <vector>

namespace movie::raster {

// What a thread keeps from band to band, so that drawing allocates only
// while the frame grows.
struct BandBuffers {
    ScanConverter scan;
    std::vector<Pixel> scratch;    // a shaded row
    std::vector<uint8_t> cov;      // a row's coverage spread out
    std::vector<uint8_t> constCov; // one value over a stretch, for the coverage row loops
    std::vector<Pixel> layer;      // the open layer, rows of the canvas's width
    std::vector<LayerRun> layerRuns;
    std::vector<std::vector<uint8_t>> masks; // the mask stack, one coverage value per pixel
    std::vector<IRect> maskBounds;
    // Per mask, where its fills wrote since it was last cleared (band rows,
    // at the canvas width of then): everything else in it is zero.
    struct Written {
        IRect rect;
        int width = 0;
    };
    std::vector<Written> maskWritten;
    std::vector<uint8_t> pending; // rows of the band still without their background
};

class BandState {
  public:
    // The band's rows may be fewer than `bandHeight` at the frame's foot;
    // its buffers are sized for whole bands.
    BandState(BandBuffers& buffers, const Scene& scene, Canvas& canvas, IRect band, int bandHeight);

    void Draw(const Command& cmd);
    // Gives the background to the rows nothing was drawn in.
    void Finish();

    void Fill(const Command& cmd);
    void BeginLayer();
    void EndLayer();
    void BeginMask();
    void EndMask();
    void PopMask();

  private:
    template <class Blitter> struct FrameRows;
    void FillMask(const FillItem& fill, IRect r);
    void FillFrame(const FillItem& fill, const Paint& paint, IRect r);
    // The row's coverage thinned by the current mask, as one varying span.
    void ApplyMask(CoverageRow& row, CoverageSpan& whole);
    // The background goes into a row only when something is first drawn
    // there, and not under the part that an opaque paint then covers fully.
    void BackgroundBefore(int row, const Paint& paint, const CoverageRow& cr);
    void PaintBackground(int row);
    void PaintBackgroundAround(int row, const CoverageRow& cr);
    // Lays the layer's pixels x0 .. x1-1 of band row `row` over the frame
    // (through the current mask) and empties them.
    void LayLayerRow(int row, int x0, int x1);
    Pixel* FrameRow(int row) { return canvas_.Row(top_ + row); }
    uint8_t* MaskRow(int index, int row) {
        return b_.masks[index].data() + static_cast<size_t>(row) * width_;
    }

    BandBuffers& b_;
    const Scene& scene_;
    Canvas& canvas_;
    const IRect band_;
    const int top_, rows_, width_;
    const size_t area_; // pixels of a whole band
    const Pixel background_;
    int mask_ = -1;         // top of the mask stack, -1 = none
    bool building_ = false; // fills go into masks[mask_]
    bool inLayer_ = false;
};

} // namespace movie::raster
