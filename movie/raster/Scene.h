// A frame as a list of drawing commands in device pixels: fills (an outline,
// a fill rule and a paint), layers that add the fills of one shape together
// before they are laid over the frame, and masks. The painter builds it; the
// scene renderer draws it band by band. The storage is reused from frame to
// frame, so a steady animation allocates nothing.
#pragma once

#include "movie/raster/EdgeList.h"
#include "movie/raster/Paint.h"
#include "movie/raster/ScanConverter.h"

#include <cstdint>
#include <vector>

namespace movie::raster {

enum class Op : uint8_t {
    Fill,       // draw fill `index`
    BeginLayer, // the following fills add into a transparent layer...
    EndLayer,   // ...which is then laid over the frame
    BeginMask,  // the following fills build a mask (their coverage united)...
    EndMask,    // ...which then limits everything drawn until PopMask
    PopMask,
};

struct Command {
    Op op;
    uint32_t index = 0; // Fill: the fill
    IRect bounds;       // pixels the command may touch
};

struct FillItem {
    EdgeList edges;
    FillRule rule = FillRule::NonZero;
    uint32_t paint = 0;
};

class Scene {
  public:
    static constexpr int kMaxMaskDepth = 16;

    void Clear();
    Pixel Background() const { return background_; }
    // Anti-aliased edges (the default), or hard pixel edges.
    bool Antialias() const { return antialias_; }
    void SetAntialias(bool on) { antialias_ = on; }
    void SetBackground(Pixel p) { background_ = p; }

    // Starts a new fill; add its outline to the returned list, then call EndFill.
    EdgeList& BeginFill();
    // Finishes the fill begun last, painted with `paint`. Empty outlines are dropped.
    void EndFill(const Paint& paint, FillRule rule);
    void BeginLayer();
    void EndLayer();
    // Fills ended while a clip is pushed touch no pixel outside it (nor
    // outside the clips around it): a hard edge on whole pixels, in masks too.
    void PushClip(IRect r);
    void PopClip();
    // Masks nest up to kMaxMaskDepth; deeper ones are ignored with their content.
    void BeginMask();
    void EndMask();
    void PopMask();

    // Moves everything drawn so far by whole pixels.
    void Translate(int dx, int dy);
    // The pixels the fills drawn so far may touch.
    IRect FillBounds() const;

    const std::vector<Command>& Commands() const { return commands_; }
    const FillItem& Fill(uint32_t i) const { return fills_[i]; }
    const Paint& PaintAt(uint32_t i) const { return paints_[i]; }
    size_t FillCount() const { return fillCount_; }
    // Lines of all fills ended so far.
    size_t LineCount() const { return lineCount_; }

  private:
    Pixel background_ = 0xFFFFFFFFu;
    bool antialias_ = true;
    std::vector<Command> commands_;
    std::vector<FillItem> fills_;
    std::vector<Paint> paints_;
    size_t fillCount_ = 0;
    size_t lineCount_ = 0;
    std::vector<size_t> layerStarts_;
    std::vector<IRect> clips_; // each the intersection of those pushed before
    int maskDepth_ = 0;
    int ignoredMasks_ = 0;
};

} // namespace movie::raster
