// Turns the engine's shapes into scene fills in device pixels: each fill
// style becomes one outline (edges that carry it on their right as they are,
// on their left reversed), each line style a stroke; fills of one shape are
// added together in a layer so that they meet without seams.
#pragma once

#include "movie/Character.h"
#include "movie/Geometry.h"
#include "movie/Shape.h"
#include "movie/raster/Scene.h"
#include "movie/raster/Stroker.h"

#include <map>
#include <memory>
#include <vector>

namespace movie::render {

class ShapePainter {
  public:
    // Lines one frame may hold (32 MiB of them); shapes beyond are not drawn.
    static constexpr size_t kMaxSceneLines = 2u << 20;

    // How the shape is to be drawn: the matrix from shape twips to device
    // pixels, the colour transform, and the stage's own pixels-per-twip
    // scale (for strokes that do not scale with their object).
    struct Placement {
        Matrix matrix;
        ColorTransform colorTransform;
        double stageScale = 1.0 / kTwipsPerPixel;
        // Masks take the fills' coverage only: no strokes, no layers.
        bool forMask = false;
        // Glyphs: every fill painted in this colour (before the transform).
        bool overrideColor = false;
        RGBA color;
    };

    // Where bitmap fills find their bitmaps; may be null (bitmap fills then
    // draw nothing). Called before each frame: it also lets go of the
    // bitmaps of scripts the last frame showed.
    void SetDictionary(const Dictionary* dictionary);
    void Paint(const Shape& shape, const Placement& place, raster::Scene& scene);
    // Lays `image` onto the pixels of `at` (same size) in the blend mode, one
    // image pixel to a device pixel, through the colour transform.
    static void PaintImage(const raster::Image& image, raster::IRect at, const ColorTransform& cx,
                           BlendMode blend, raster::Scene& scene);

  private:
    const raster::Image* FindImage(uint16_t id);
    const raster::Image* ScriptImage(const Bitmap& bitmap);
    bool MakePaint(const FillStyle& fill, const Placement& place, raster::Paint& out);
    void AddPathEdges(const Path& path, bool reversed, const Matrix& m, raster::EdgeList& out);
    void StrokeGroup(const StyleGroup& group, const Placement& place, raster::Scene& scene);
    template <class StyleOf> void Bucket(const StyleGroup& group, size_t count, StyleOf styleOf);

    const Dictionary* dictionary_ = nullptr;
    std::map<uint16_t, std::pair<std::shared_ptr<const Character>, raster::Image>> images_;
    std::map<const Bitmap*, raster::Image> scriptImages_;
    raster::Stroker stroker_;
    std::vector<raster::PointF> points_;
    std::vector<int32_t> slot_;                  // style index -> bucket, -1 unused
    std::vector<std::vector<uint32_t>> buckets_; // path indices per style in use
};

} // namespace movie::render
