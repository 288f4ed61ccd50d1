// Draws what a Player shows into a frame of any size, scaled as "ShowAll":
// the whole stage visible, its aspect kept, centred, the movie's background
// colour (or an explicit override) behind everything.
//
// The frame is premultiplied 32-bit pixels 0xAARRGGBB, i.e. bytes B, G, R, A
// in memory: a top-down 32-bit DIB section takes it as it is. Every pixel is
// opaque, since the background is.
//
// Render() redraws only the bands where something changed since the last
// call and says whether anything did; a frame in which nothing changed costs
// a walk of the display list and nothing else.
#pragma once

#include "movie/Player.h"
#include "movie/raster/Canvas.h"
#include "movie/raster/Filters.h"
#include "movie/raster/Scene.h"
#include "movie/raster/SceneRenderer.h"
#include "movie/render/ShapePainter.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace movie::text {
class DeviceFonts;
class TextField;
} // namespace movie::text

namespace movie::render {

class Renderer {
  public:
    // Frames larger than this on either side are refused.
    static constexpr int kMaxSide = 16384;

    Renderer();

    int Threads() const { return scenes_.Threads(); }
    void SetThreads(int n) { scenes_.SetThreads(n); }
    // "High" quality draws anti-aliased edges; "Low" hard pixel edges.
    enum class Quality : uint8_t { Low, High };
    Quality GetQuality() const { return quality_; }
    void SetQuality(Quality q);
    const std::optional<RGBA>& BackgroundOverride() const { return background_; }
    void SetBackgroundOverride(std::optional<RGBA> color);

    // Renders the player's current frame at width x height. Returns false
    // when the frame is the same as the one rendered last (nothing drawn).
    // Throws std::invalid_argument for a size beyond kMaxSide.
    bool Render(const Player& player, int width, int height);
    // Draws the frames from now on straight into memory the caller keeps (a
    // window's bitmap): width x height pixels, rows `stride` pixels apart.
    // Only what changes is drawn, so the memory must keep what the last frame
    // left there. Other memory than last time redraws everything; Render at
    // another size goes back to a frame of its own.
    void LendFrame(raster::Pixel* pixels, int width, int height, std::ptrdiff_t stride);
    // The pixels changed by the last Render (empty when it returned false).
    raster::IRect DirtyRect() const { return dirty_; }
    const raster::Canvas& Frame() const { return canvas_; }
    // The frame as straight RGBA bytes, rows top to bottom (for PNG files).
    std::vector<uint8_t> FrameRGBA() const;
    // The scene built for the last changed frame (for benchmarks and tests).
    const raster::Scene& LastScene() const { return scene_; }
    // The work of the filters applied for the last changed frame, in pixel
    // passes (see Limits::kFilterPassesPerFrame).
    uint64_t FilterPasses() const { return filterPasses_; }
    // Forgets the last frame, so that the next Render draws everything
    // (call it after loading another movie).
    void Invalidate() { valid_ = false; }

  private:
    // One drawn item of the flattened display list, with what decides its
    // pixels; two frames with equal keys look the same.
    struct Key {
        const void* what = nullptr; // shape, morph result, text, text field; or nullptr for mask markers
        uint32_t kind = 0;
        uint32_t ratio = 0; // morph ratio; a text field's version
        Matrix matrix;
        ColorTransform colorTransform;
        raster::IRect bounds; // device pixels it touched
        uint64_t look = 0;    // layers: their filters and blend mode
        friend bool operator==(const Key& a, const Key& b) {
            return a.what == b.what && a.kind == b.kind && a.ratio == b.ratio && a.matrix == b.matrix &&
                   a.colorTransform == b.colorTransform && a.look == b.look;
        }
    };

    // An object drawn off screen and filtered, kept while the keys of what
    // it holds stay the same. `full` is what the filters may touch and
    // `rect` the part of it drawn (what the frame can show), both in pixels
    // around the object's origin.
    struct CachedLayer {
        std::vector<Key> keys;
        uint64_t look = 0;
        uint64_t digest = 0; // of the keys and the look
        raster::IRect full, rect;
        raster::Image image;
        bool used = false;
    };

    // Where what is drawn may lie by its declared bounds, in the pixels of
    // the scene it is drawn into.
    struct Extent {
        double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
        bool Empty() const { return !(x1 > x0 && y1 > y0); }
        void Add(const Rect& r, const Matrix& m);
        void Add(const raster::IRect& r);
        raster::IRect Pixels() const;
    };

    // Drawing into a layer one level further in, whose origin lies at
    // (ox, oy) in the pixels of the one around it and whose filters may pull
    // in `margin` pixels around what it shows; undone when it ends.
    class LayerScope {
      public:
        LayerScope(Renderer& r, int ox, int oy, const raster::FilterMargin& margin);
        ~LayerScope() { Leave(); }
        LayerScope(const LayerScope&) = delete;
        LayerScope& operator=(const LayerScope&) = delete;
        void Leave();

      private:
        Renderer& r_;
        int x_, y_;
        raster::FilterMargin margin_;
        bool left_ = false;
    };

    void DrawRoot(const Player& player, const Matrix& base);
    void DrawList(const DisplayObjects& list, const Matrix& m, const ColorTransform& cx, bool forMask,
                  int depth);
    void DrawObject(const DisplayObject& obj, const Matrix& m, const ColorTransform& cx, bool forMask,
                    int depth);
    // An object's own drawing at `m`: its character cut to its scroll rectangle.
    void DrawContent(const DisplayObject& obj, const Matrix& m, const ColorTransform& cx, bool forMask,
                     int depth);
    void DrawCharacter(const DisplayObject& obj, const Matrix& m, const ColorTransform& cx, bool forMask,
                       int depth);
    // Draws an object with filters through a layer; false when it has none
    // that can be drawn (it is then drawn as it is).
    bool DrawLayered(const DisplayObject& obj, const Matrix& m, const ColorTransform& cx, int depth);
    CachedLayer* FindLayer(size_t firstKey, uint64_t look, uint64_t digest, raster::IRect window);
    // What tells layers apart: the keys from `firstKey` on and the look.
    uint64_t LayerDigest(size_t firstKey, uint64_t look) const;
    // Sprites that mask others by scripts, where they stand on the stage.
    struct ScriptMask {
        const DisplayObject* object;
        Matrix matrix;
        ColorTransform colorTransform;
    };
    void FindScriptMasks(const DisplayObjects& list, const Matrix& m, const ColorTransform& cx, int depth);
    void DrawShape(const Shape& shape, uint32_t ratio, const Matrix& m, const ColorTransform& cx,
                   bool forMask);
    void DrawText(const Text& text, const Matrix& m, const ColorTransform& cx, bool forMask);
    void DrawEditText(text::TextField& field, const Matrix& m, const ColorTransform& cx, bool forMask);
    void Mark(uint32_t kind);
    void EndKey(size_t firstCommand);

    std::optional<RGBA> background_;
    Quality quality_ = Quality::High;
    raster::Canvas canvas_;
    raster::Scene scene_;
    raster::Scene* target_ = &scene_; // the scene being drawn into: the frame's or a layer's
    std::vector<std::unique_ptr<raster::Scene>> layerScenes_; // one per level of nested layers
    int layerLevel_ = 0;
    int originX_ = 0, originY_ = 0;    // where the layer being drawn has its origin in the frame
    raster::FilterMargin outerMargin_; // what the filters of the layers being drawn may pull in
    Extent drawn_;                     // of what was drawn into the current layer so far
    std::vector<std::unique_ptr<CachedLayer>> layers_;
    std::unordered_multimap<uint64_t, CachedLayer*> layersByDigest_;
    uint64_t layerPixels_ = 0;  // pixels of the layers drawn this frame
    uint64_t filterPasses_ = 0; // the work of the filters applied this frame, in pixel passes
    uint64_t filterBudget_ = 0; // and what it may come to
    raster::SceneRenderer scenes_;
    ShapePainter painter_;
    const Dictionary* dictionary_ = nullptr;
    text::DeviceFonts* fonts_ = nullptr;
    double stageScale_ = 1.0 / kTwipsPerPixel;

    bool painting_ = false; // false: only collect the keys
    std::vector<Key> keys_, previous_;
    std::vector<uint16_t> clips_;
    std::map<uint32_t, ScriptMask> scriptMasks_; // by the mask's instance
    raster::IRect dirty_;
    bool valid_ = false;
    const Player* lastPlayer_ = nullptr;
    const Movie* lastMovie_ = nullptr;
    uint32_t lastBackground_ = 0;
};

} // namespace movie::render
