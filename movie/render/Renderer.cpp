#include "movie/render/Renderer.h"

#include "movie/Limits.h"
#include "movie/text/TextField.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <span>
#include <stdexcept>

namespace movie::render {

namespace {

enum KeyKind : uint32_t {
    kShape = 1,
    kText = 2,
    kMaskBegin = 3,
    kMaskEnd = 4,
    kMaskPop = 5,
    kLayer = 6,
    kScrollClip = 7,
    kForMask = 0x100
};

// What decides how a layer's content turns into pixels besides the content.
uint64_t LookOf(const DisplayObject& obj) {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](uint8_t b) { h = (h ^ b) * 1099511628211ull; };
    mix(static_cast<uint8_t>(obj.blendMode));
    mix(obj.cacheAsBitmap);
    if (const auto& c = obj.opaqueBackground) {
        for (uint8_t b : {uint8_t{1}, c->r, c->g, c->b})
            mix(b);
    }
    const uint64_t filters = obj.filters.Digest();
    for (int i = 0; i < 64; i += 8)
        mix(static_cast<uint8_t>(filters >> i));
    return h;
}

raster::IRect Grow(raster::IRect r, const raster::FilterMargin& m) {
    return {r.x0 - m.left, r.y0 - m.top, r.x1 + m.right, r.y1 + m.bottom};
}

raster::FilterMargin Sum(const raster::FilterMargin& a, const raster::FilterMargin& b) {
    return {a.left + b.left, a.top + b.top, a.right + b.right, a.bottom + b.bottom};
}

raster::IRect Moved(raster::IRect r, int dx, int dy) {
    return {r.x0 + dx, r.y0 + dy, r.x1 + dx, r.y1 + dy};
}

raster::Pixel ToPixel(RGBA c) {
    return raster::Premultiply(c.r, c.g, c.b, c.a);
}

int32_t ToTwips(double v) {
    return static_cast<int32_t>(std::lround(std::clamp(v, -1e9, 1e9)));
}

// A rectangle path in twips, its inside on the right of the walk (fill1).
Path RectPath(double x0, double y0, double x1, double y1, uint32_t fill, uint32_t line) {
    Path p;
    p.fill1 = fill;
    p.line = line;
    p.start = {ToTwips(x0), ToTwips(y0)};
    for (auto [x, y] : {std::pair{x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}})
        p.segments.push_back({false, {}, {ToTwips(x), ToTwips(y)}});
    return p;
}

// A text field's background, border and underlines as a shape in the
// field's twips. The border is a one-pixel line just inside the box.
// Where a field draws: its box, and a pixel more at the right and bottom
// for its border.
Rect FieldExtent(const text::TextField& field, const text::Layout& layout, double pixelTwips) {
    Rect r = layout.bounds;
    if (field.Border()) {
        const int32_t pixel = static_cast<int32_t>(std::ceil(std::min(pixelTwips, 1e6)));
        r.xMax += pixel;
        r.yMax += pixel;
    }
    return r;
}

Shape Decoration(const text::TextField& field, const text::Layout& layout, double pixelTwips) {
    Shape shape;
    StyleGroup& g = shape.groups.emplace_back();
    const Rect& b = layout.bounds;
    if (field.Background()) {
        FillStyle fill;
        fill.color = field.BackgroundColor();
        g.fills.push_back(fill);
        g.paths.push_back(RectPath(b.xMin, b.yMin, b.xMax, b.yMax, 1, 0));
    }
    if (field.Border()) {
        LineStyle line;
        line.width = 0;
        line.color = field.BorderColor();
        g.lines.push_back(line);
        // A hairline on the pixels the box's edges start: the right and
        // bottom ones lie just outside the box.
        const double in = pixelTwips / 2;
        g.paths.push_back(RectPath(b.xMin + in, b.yMin + in, b.xMax + in, b.yMax + in, 0, 1));
    }
    for (const text::Underline& u : layout.underlines) {
        FillStyle fill;
        fill.color = u.color;
        g.fills.push_back(fill);
        g.paths.push_back(
            RectPath(u.x0, u.y, u.x1, u.y + u.thickness, static_cast<uint32_t>(g.fills.size()), 0));
    }
    shape.bounds = shape.edgeBounds = FieldExtent(field, layout, pixelTwips);
    return shape;
}

// Lays `p` (opaque) under the pixels of `r`.
void Underlay(raster::Canvas& canvas, raster::IRect r, raster::Pixel p) {
    r = r.Intersect({0, 0, canvas.Width(), canvas.Height()});
    for (int y = r.y0; y < r.y1; ++y) {
        raster::Pixel* row = canvas.Row(y);
        for (int x = r.x0; x < r.x1; ++x)
            row[x] = raster::BlendOver(p, row[x]);
    }
}

} // namespace

void Renderer::Extent::Add(const Rect& r, const Matrix& m) {
    if (r.Empty()) return;
    for (auto [x, y] : {std::pair{r.xMin, r.yMin}, {r.xMax, r.yMin}, {r.xMin, r.yMax}, {r.xMax, r.yMax}}) {
        const double px = m.MapX(x, y), py = m.MapY(x, y);
        x0 = std::min(x0, px), y0 = std::min(y0, py), x1 = std::max(x1, px), y1 = std::max(y1, py);
    }
}

void Renderer::Extent::Add(const raster::IRect& r) {
    if (r.Empty()) return;
    x0 = std::min(x0, double(r.x0)), y0 = std::min(y0, double(r.y0));
    x1 = std::max(x1, double(r.x1)), y1 = std::max(y1, double(r.y1));
}

raster::IRect Renderer::Extent::Pixels() const {
    auto in = [](double v) { return static_cast<int>(std::clamp(v, -1e9, 1e9)); };
    return {in(std::floor(x0 + 0.5)), in(std::floor(y0 + 0.5)), in(std::ceil(x1)), in(std::ceil(y1))};
}

Renderer::Renderer() = default;

void Renderer::SetBackgroundOverride(std::optional<RGBA> color) {
    background_ = color;
}

void Renderer::SetQuality(Quality q) {
    if (q != quality_) valid_ = false;
    quality_ = q;
}

void Renderer::Mark(uint32_t kind) {
    Key k;
    k.kind = kind;
    keys_.push_back(k);
    if (!painting_) return;
    switch (kind) {
    case kMaskBegin:
        target_->BeginMask();
        break;
    case kMaskEnd:
        target_->EndMask();
        break;
    case kMaskPop:
        target_->PopMask();
        break;
    }
}

void Renderer::EndKey(size_t firstCommand) {
    raster::IRect bounds;
    const auto& cmds = target_->Commands();
    for (size_t i = firstCommand; i < cmds.size(); ++i)
        if (cmds[i].op == raster::Op::Fill) bounds = bounds.Union(cmds[i].bounds);
    keys_.back().bounds = bounds;
}

void Renderer::DrawShape(const Shape& shape, uint32_t ratio, const Matrix& m, const ColorTransform& cx,
                         bool forMask) {
    keys_.push_back({&shape, kShape | (forMask ? kForMask : 0u), ratio, m, cx, {}});
    if (!painting_) return;
    drawn_.Add(shape.bounds, m);
    size_t first = target_->Commands().size();
    ShapePainter::Placement place;
    place.matrix = m;
    place.colorTransform = cx;
    place.stageScale = stageScale_;
    place.forMask = forMask;
    painter_.Paint(shape, place, *target_);
    EndKey(first);
}

void Renderer::DrawText(const Text& text, const Matrix& m, const ColorTransform& cx, bool forMask) {
    keys_.push_back({&text, kText | (forMask ? kForMask : 0u), 0, m, cx, {}});
    if (!painting_ || !dictionary_) return;
    size_t first = target_->Commands().size();
    const Matrix textMatrix = m * text.matrix;
    drawn_.Add(text.bounds, textMatrix);
    ShapePainter::Placement place;
    place.colorTransform = cx;
    place.stageScale = stageScale_;
    place.forMask = forMask;
    place.overrideColor = true;
    for (const TextRecord& rec : text.records) {
        const Font* font = dictionary_->FindAs<Font>(rec.fontId);
        if (!font || font->emSquare == 0) continue;
        const double scale = static_cast<double>(rec.height) / font->emSquare;
        place.color = rec.color;
        double x = rec.x;
        for (const GlyphEntry& g : rec.glyphs) {
            if (g.index < font->glyphs.size()) {
                place.matrix = textMatrix * Matrix{scale, 0, 0, scale, x, static_cast<double>(rec.y)};
                painter_.Paint(font->glyphs[g.index].shape, place, *target_);
            }
            x += g.advance;
        }
    }
    EndKey(first);
}

void Renderer::DrawEditText(text::TextField& field, const Matrix& m, const ColorTransform& cx, bool forMask) {
    const text::Layout& layout = field.LaidOut(fonts_);
    keys_.push_back({&field, kText | (forMask ? kForMask : 0u), field.Version(), m, cx, {}});
    if (!painting_) return;
    const double det = std::abs(m.Determinant());
    const double pixelTwips = det > 0 ? 1 / std::sqrt(det) : kTwipsPerPixel;
    drawn_.Add(FieldExtent(field, layout, pixelTwips), m);
    size_t first = target_->Commands().size();
    ShapePainter::Placement place;
    place.matrix = m;
    place.colorTransform = cx;
    place.stageScale = stageScale_;
    place.forMask = forMask;
    // A field as a mask lets through its box where it has a background, else its glyphs.
    if (!forMask || field.Background()) {
        Shape decoration = Decoration(field, layout, pixelTwips);
        if (!decoration.groups[0].paths.empty()) painter_.Paint(decoration, place, *target_);
    }
    const bool clip = layout.overflows && !forMask;
    if (clip) {
        Shape box;
        box.groups.emplace_back().fills.emplace_back();
        const Rect& b = layout.bounds;
        box.groups[0].paths.push_back(RectPath(b.xMin, b.yMin, b.xMax, b.yMax, 1, 0));
        target_->BeginMask();
        ShapePainter::Placement maskPlace = place;
        maskPlace.forMask = true;
        painter_.Paint(box, maskPlace, *target_);
        target_->EndMask();
    }
    place.overrideColor = true;
    for (const text::PlacedGlyph& g : layout.glyphs) {
        place.matrix = m * Matrix{g.scale, 0, 0, g.scale, g.x, g.y};
        place.color = g.color;
        painter_.Paint(*g.shape, place, *target_);
        if (target_->LineCount() > ShapePainter::kMaxSceneLines) break;
    }
    if (clip) target_->PopMask();
    EndKey(first);
}

void Renderer::DrawObject(const DisplayObject& obj, const Matrix& parent, const ColorTransform& parentCx,
                          bool forMask, int depth) {
    if (obj.masking && !forMask) return;
    const Matrix m = parent * obj.matrix;
    const ColorTransform cx = parentCx * obj.colorTransform;
    const ScriptMask* mask = nullptr;
    if (obj.maskedBy && !forMask) {
        auto it = scriptMasks_.find(obj.maskedBy);
        if (it != scriptMasks_.end()) mask = &it->second;
    }
    if (mask) {
        // The mask stands where it is on the stage, whatever layer this is drawn into.
        const Matrix toLayer{1, 0, 0, 1, -static_cast<double>(originX_), -static_cast<double>(originY_)};
        Mark(kMaskBegin);
        DrawContent(*mask->object, toLayer * mask->matrix, mask->colorTransform, true, depth);
        Mark(kMaskEnd);
    }
    const bool layered = !obj.filters.Empty() || obj.blendMode != BlendMode::Normal || obj.cacheAsBitmap ||
                         obj.opaqueBackground.has_value();
    if (forMask || !layered || !DrawLayered(obj, m, cx, depth)) DrawContent(obj, m, cx, forMask, depth);
    if (mask) Mark(kMaskPop);
}

void Renderer::FindScriptMasks(const DisplayObjects& list, const Matrix& m, const ColorTransform& cx,
                               int depth) {
    if (depth > Limits::kMaxPlacementDepth) return;
    for (const DisplayObject& obj : list) {
        const Matrix om = m * obj.matrix;
        const ColorTransform ocx = cx * obj.colorTransform;
        if (obj.masking) scriptMasks_[obj.instance] = {&obj, om, ocx};
        FindScriptMasks(obj.children, om, ocx, depth + 1);
    }
}

uint64_t Renderer::LayerDigest(size_t firstKey, uint64_t look) const {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](uint64_t v) { h = (h ^ v) * 1099511628211ull; };
    // Zeros of either sign are equal, and so hash the same.
    auto real = [&mix](double v) { mix(v == 0 ? 0 : std::bit_cast<uint64_t>(v)); };
    mix(look);
    for (size_t i = firstKey; i < keys_.size(); ++i) {
        const Key& k = keys_[i];
        mix(reinterpret_cast<uintptr_t>(k.what));
        mix(uint64_t(k.kind) << 32 | k.ratio);
        mix(k.look);
        for (double v : {k.matrix.a, k.matrix.b, k.matrix.c, k.matrix.d, k.matrix.tx, k.matrix.ty})
            real(v);
        const ColorTransform& c = k.colorTransform;
        for (float v : {c.multR, c.multG, c.multB, c.multA})
            real(v);
        mix(uint64_t(uint16_t(c.addR)) | uint64_t(uint16_t(c.addG)) << 16 | uint64_t(uint16_t(c.addB)) << 32 |
            uint64_t(uint16_t(c.addA)) << 48);
    }
    return h;
}

Renderer::CachedLayer* Renderer::FindLayer(size_t firstKey, uint64_t look, uint64_t digest,
                                           raster::IRect window) {
    const size_t count = keys_.size() - firstKey;
    for (auto [at, end] = layersByDigest_.equal_range(digest); at != end; ++at) {
        CachedLayer* c = at->second;
        if (c->used || c->look != look || c->keys.size() != count || !(c->full.Intersect(window) == c->rect))
            continue;
        if (std::equal(c->keys.begin(), c->keys.end(), keys_.begin() + static_cast<std::ptrdiff_t>(firstKey)))
            return c;
    }
    return nullptr;
}

Renderer::LayerScope::LayerScope(Renderer& r, int ox, int oy, const raster::FilterMargin& margin)
    : r_(r), x_(r.originX_), y_(r.originY_), margin_(r.outerMargin_) {
    ++r_.layerLevel_;
    r_.originX_ += ox;
    r_.originY_ += oy;
    r_.outerMargin_ = Sum(r_.outerMargin_, margin);
}

void Renderer::LayerScope::Leave() {
    if (left_) return;
    left_ = true;
    --r_.layerLevel_;
    r_.originX_ = x_;
    r_.originY_ = y_;
    r_.outerMargin_ = margin_;
}

bool Renderer::DrawLayered(const DisplayObject& obj, const Matrix& m, const ColorTransform& cx, int depth) {
    // The filters, in device pixels: they grow with the stage, not with the object.
    std::vector<raster::FilterSpec> specs;
    specs.reserve(obj.filters.Size());
    for (const raster::FilterSpec& f : obj.filters)
        specs.push_back(f.Scaled(stageScale_ * kTwipsPerPixel));
    const BlendMode blend = obj.blendMode;
    // Filters, cacheAsBitmap and an opaque background keep the object as a
    // bitmap; a blend mode alone only draws it through a layer.
    const bool bitmap = !specs.empty() || obj.cacheAsBitmap || obj.opaqueBackground;
    if ((!bitmap && blend == BlendMode::Normal) || layerLevel_ >= Limits::kMaxLayerNesting) return false;
    if (!(std::abs(m.tx) < 1e7 && std::abs(m.ty) < 1e7)) return false;
    // A bitmap lies on whole pixels: its origin goes to the nearest pixel
    // corner. A layer keeps its object where it is, drawn with the origin
    // within the pixel at (0, 0). Either way, moving by whole pixels keeps
    // what the layer holds.
    Matrix local = m;
    int ox, oy;
    if (bitmap) {
        ox = static_cast<int>(std::lround(m.tx));
        oy = static_cast<int>(std::lround(m.ty));
        local.tx = local.ty = 0;
    } else {
        ox = static_cast<int>(std::floor(m.tx));
        oy = static_cast<int>(std::floor(m.ty));
        local.tx -= ox;
        local.ty -= oy;
    }
    const uint64_t look = LookOf(obj);
    keys_.push_back({obj.character.get(), kLayer, 0, m, cx, {}, look});
    // Alpha and erase work on the layer they are drawn into; the frame
    // itself has none to change.
    if ((blend == BlendMode::Alpha || blend == BlendMode::Erase) && layerLevel_ == 0) return true;
    const size_t self = keys_.size() - 1, first = keys_.size();
    raster::FilterMargin margin;
    for (const auto& spec : specs)
        margin = Sum(margin, raster::Margin(spec));
    // The content's keys, at the level it is drawn at, whether painting or not.
    LayerScope scope(*this, ox, oy, margin);
    const bool painting = painting_;
    painting_ = false;
    DrawContent(obj, local, {}, false, depth);
    painting_ = painting;
    if (!painting_) return true;

    // What the frame can show, in pixels around the object's origin: the
    // canvas, and around it what the filters of this and the layers it is
    // drawn into may pull in.
    const int dx = originX_, dy = originY_;
    const raster::IRect window = Grow({-dx, -dy, canvas_.Width() - dx, canvas_.Height() - dy}, outerMargin_);
    const uint64_t digest = LayerDigest(first, look);
    CachedLayer* layer = FindLayer(first, look, digest, window);
    if (!layer) {
        keys_.resize(first);
        while (static_cast<int>(layerScenes_.size()) < layerLevel_)
            layerScenes_.push_back(std::make_unique<raster::Scene>());
        raster::Scene& scene = *layerScenes_[layerLevel_ - 1];
        scene.Clear();
        scene.SetBackground(0);
        scene.SetAntialias(scene_.Antialias());
        raster::Scene* outer = target_;
        target_ = &scene;
        const Extent around = drawn_;
        drawn_ = {};
        DrawContent(obj, local, {}, false, depth);
        const Extent extent = drawn_;
        drawn_ = around;
        target_ = outer;
        raster::IRect content = scene.FillBounds();
        // A bitmap holds the pixels of its object's bounds, the edges at the
        // top and left to the nearest pixel, those at the bottom and right
        // rounded out; what its content draws beyond them is cut.
        if (bitmap && !extent.Empty()) content = content.Intersect(extent.Pixels());
        const raster::IRect full = content.Empty() ? content : Grow(content, margin);
        const raster::IRect rect = full.Intersect(window);
        const uint64_t pixels = rect.Empty() ? 0 : uint64_t(rect.x1 - rect.x0) * uint64_t(rect.y1 - rect.y0);
        // A layer may be a few times the frame, so that a small frame stays cheap.
        const uint64_t framePixels = uint64_t(canvas_.Width()) * uint64_t(canvas_.Height());
        const uint64_t most = std::min<uint64_t>(Limits::kMaxLayerPixels, 4 * framePixels + (1u << 18));
        if (pixels > most || layerPixels_ + pixels > Limits::kMaxFrameLayerPixels) {
            // Too large to draw off screen: drawn without its filters.
            keys_.resize(first);
            scope.Leave();
            DrawContent(obj, m, cx, false, depth);
            return true;
        }
        layerPixels_ += pixels;
        auto entry = std::make_unique<CachedLayer>();
        entry->keys.assign(keys_.begin() + static_cast<std::ptrdiff_t>(first), keys_.end());
        entry->look = look;
        entry->digest = digest;
        entry->full = full;
        entry->rect = rect;
        if (!rect.Empty()) {
            const int w = rect.x1 - rect.x0, h = rect.y1 - rect.y0;
            scene.Translate(-rect.x0, -rect.y0);
            raster::Canvas canvas(w, h, 0);
            scenes_.Render(scene, canvas, {0, 0, w, h});
            if (const auto& c = obj.opaqueBackground)
                Underlay(canvas, Moved(content, -rect.x0, -rect.y0), ToPixel({c->r, c->g, c->b, 255}));
            entry->image.width = w;
            entry->image.height = h;
            entry->image.opaque = false;
            entry->image.pixels = canvas.Pixels();
            // The frame's filter work has a bound: a filter that would go
            // past it is left out, and so are those after it.
            for (const auto& spec : specs) {
                const uint64_t passes = uint64_t(w) * uint64_t(h) * raster::PassesOf(spec);
                if (passes > filterBudget_ - filterPasses_) break;
                filterPasses_ += passes;
                raster::ApplyFilter(spec, entry->image);
            }
        }
        layer = layers_.emplace_back(std::move(entry)).get();
        layersByDigest_.emplace(digest, layer);
    }
    layer->used = true;
    const raster::IRect at = Moved(layer->rect, ox, oy);
    drawn_.Add(at);
    if (!layer->rect.Empty()) ShapePainter::PaintImage(layer->image, at, cx, blend, *target_);
    for (size_t i = self; i < keys_.size(); ++i)
        keys_[i].bounds = at;
    return true;
}

void Renderer::DrawContent(const DisplayObject& obj, const Matrix& m, const ColorTransform& cx, bool forMask,
                           int depth) {
    if (!obj.scrollRect) {
        DrawCharacter(obj, m, cx, forMask, depth);
        return;
    }
    // The content moves by the rectangle's corner and is cut to its size,
    // on whole pixels where it lies square to the frame, else by a mask.
    // Within a mask it only moves, as in the original player.
    const Rect& r = *obj.scrollRect;
    const Matrix scrolled = m * Matrix{1, 0, 0, 1, double(-r.xMin), double(-r.yMin)};
    if (forMask) {
        DrawCharacter(obj, scrolled, cx, forMask, depth);
        return;
    }
    // The unit square onto the rectangle, and the pixels around it.
    const Matrix box = m * Matrix{double(r.Width()), 0, 0, double(r.Height()), 0, 0};
    const double xs[4] = {box.tx, box.tx + box.a, box.tx + box.c, box.tx + box.a + box.c};
    const double ys[4] = {box.ty, box.ty + box.b, box.ty + box.d, box.ty + box.b + box.d};
    auto edge = [](double v) { return static_cast<int>(std::lround(std::clamp(v, -1e9, 1e9))); };
    const raster::IRect around{edge(*std::min_element(xs, xs + 4)), edge(*std::min_element(ys, ys + 4)),
                               edge(*std::max_element(xs, xs + 4)), edge(*std::max_element(ys, ys + 4))};
    const bool square = m.b == 0 && m.c == 0;
    keys_.push_back({nullptr, kScrollClip, 0, box, {}, around});
    if (painting_) {
        if (square) {
            target_->PushClip(around);
        } else {
            target_->BeginMask();
            Shape unit;
            unit.groups.emplace_back().fills.emplace_back();
            unit.groups[0].paths.push_back(RectPath(0, 0, 1, 1, 1, 0));
            ShapePainter::Placement place;
            place.matrix = box;
            place.stageScale = stageScale_;
            place.forMask = true;
            painter_.Paint(unit, place, *target_);
            target_->EndMask();
        }
    }
    DrawCharacter(obj, scrolled, cx, forMask, depth);
    if (painting_) {
        if (square)
            target_->PopClip();
        else
            target_->PopMask();
    }
}

void Renderer::DrawCharacter(const DisplayObject& obj, const Matrix& m, const ColorTransform& cx,
                             bool forMask, int depth) {
    const Character& ch = *obj.character;
    if (obj.drawing && !obj.drawing->Empty())
        DrawShape(obj.drawing->GetShape(), obj.drawing->Version(), m, cx, forMask);
    if (const Shape* shape = std::get_if<Shape>(&ch.data)) {
        DrawShape(*shape, 0, m, cx, forMask);
    } else if (const MorphShape* morph = std::get_if<MorphShape>(&ch.data)) {
        if (obj.morphed) {
            DrawShape(*obj.morphed, obj.ratio, m, cx, forMask);
        } else {
            Shape at = morph->At(obj.ratio);
            keys_.push_back({morph, kShape, obj.ratio, m, cx, {}});
            if (painting_) {
                drawn_.Add(at.bounds, m);
                size_t first = target_->Commands().size();
                ShapePainter::Placement place{m, cx, stageScale_, forMask, false, {}};
                painter_.Paint(at, place, *target_);
                EndKey(first);
            }
        }
    } else if (const Text* text = std::get_if<Text>(&ch.data)) {
        DrawText(*text, m, cx, forMask);
    } else if (obj.textField) {
        DrawEditText(*obj.textField, m, cx, forMask);
    } else if (std::holds_alternative<Sprite>(ch.data) || std::holds_alternative<Button>(ch.data)) {
        DrawList(obj.children, m, cx, forMask, depth + 1);
    }
}

void Renderer::DrawList(const DisplayObjects& list, const Matrix& m, const ColorTransform& cx, bool forMask,
                        int depth) {
    if (depth > Limits::kMaxPlacementDepth) return;
    const size_t base = clips_.size();
    for (const DisplayObject& obj : list) {
        while (clips_.size() > base && obj.depth > clips_.back()) {
            clips_.pop_back();
            Mark(kMaskPop);
        }
        if (!obj.character) continue;
        if (obj.clipDepth > 0) {
            if (forMask) continue; // a mask inside a mask's own content is not drawn
            Mark(kMaskBegin);
            DrawObject(obj, m, cx, true, depth);
            Mark(kMaskEnd);
            clips_.push_back(obj.clipDepth);
            continue;
        }
        if (!obj.visible) continue;
        DrawObject(obj, m, cx, forMask, depth);
    }
    while (clips_.size() > base) {
        clips_.pop_back();
        Mark(kMaskPop);
    }
}

void Renderer::DrawRoot(const Player& player, const Matrix& base) {
    // The main timeline moved or hidden by scripts. Its colour transform
    // is kept for scripts to read but not drawn (a tint given to the main
    // timeline leaves the original player's frame as it is).
    const DisplayObject& root = player.RootPlacement();
    if (!root.visible) return;
    const Matrix m = base * root.matrix;
    if (const Drawing* d = player.RootDrawing(); d && !d->Empty())
        DrawShape(d->GetShape(), d->Version(), m, {}, false);
    DrawList(player.DisplayList(), m, {}, false, 0);
}

bool Renderer::Render(const Player& player, int width, int height) {
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide)
        throw std::invalid_argument("frame size out of range: " + std::to_string(width) + "x" +
                                    std::to_string(height));
    const bool sizeChanged = width != canvas_.Width() || height != canvas_.Height();
    canvas_.Resize(width, height);
    const Movie& movie = player.GetMovie();
    dictionary_ = &movie.dictionary;
    painter_.SetDictionary(dictionary_);
    fonts_ = player.DeviceFontSource();

    // "ShowAll": the stage scaled uniformly to fit, centred.
    Rect stage = player.Stage();
    double sw = double(stage.Width()) / kTwipsPerPixel, sh = double(stage.Height()) / kTwipsPerPixel;
    double scale = 1;
    if (sw > 0 && sh > 0) scale = std::min(width / sw, height / sh);
    stageScale_ = scale / kTwipsPerPixel;
    double ox = (width - sw * scale) / 2, oy = (height - sh * scale) / 2;
    Matrix base{stageScale_, 0, 0, stageScale_, ox - stage.xMin * stageScale_, oy - stage.yMin * stageScale_};
    const uint32_t bg = ToPixel(background_.value_or(player.BackgroundColor())) | 0xFF000000u;

    const bool sameSetting =
        valid_ && !sizeChanged && bg == lastBackground_ && &player == lastPlayer_ && &movie == lastMovie_;
    scriptMasks_.clear();
    if (player.HasScriptMasks())
        FindScriptMasks(player.DisplayList(), base * player.RootPlacement().matrix, {}, 0);
    keys_.clear();
    clips_.clear();
    painting_ = false;
    DrawRoot(player, base);
    if (sameSetting && keys_ == previous_) {
        dirty_ = {};
        return false;
    }

    keys_.clear();
    clips_.clear();
    // Layers not drawn last frame go; those drawn may be drawn again.
    std::erase_if(layers_, [](const auto& c) { return !c->used; });
    layersByDigest_.clear();
    for (auto& c : layers_) {
        c->used = false;
        layersByDigest_.emplace(c->digest, c.get());
    }
    layerPixels_ = 0;
    filterPasses_ = 0;
    filterBudget_ =
        Limits::kFilterPassesPerFrame + Limits::kFilterPassesPerFramePixel * uint64_t(width) * height;
    scene_.Clear();
    scene_.SetBackground(bg);
    scene_.SetAntialias(quality_ == Quality::High);
    painting_ = true;
    DrawRoot(player, base);
    painting_ = false;

    const raster::IRect full{0, 0, width, height};
    if (!sameSetting || keys_.size() != previous_.size()) {
        dirty_ = full;
    } else {
        dirty_ = {};
        for (size_t i = 0; i < keys_.size(); ++i)
            if (!(keys_[i] == previous_[i])) {
                // A changed mask changes everything under it: redraw all.
                if (keys_[i].kind >= kMaskBegin && keys_[i].kind <= kMaskPop) {
                    dirty_ = full;
                    break;
                }
                dirty_ = dirty_.Union(keys_[i].bounds).Union(previous_[i].bounds);
            }
        dirty_ = dirty_.Intersect(full);
    }
    if (!dirty_.Empty()) scenes_.Render(scene_, canvas_, dirty_);
    previous_.swap(keys_);
    valid_ = true;
    lastBackground_ = bg;
    lastPlayer_ = &player;
    lastMovie_ = &movie;
    return !dirty_.Empty();
}

void Renderer::LendFrame(raster::Pixel* pixels, int width, int height, std::ptrdiff_t stride) {
    if (canvas_.Lent() && canvas_.Width() > 0 && canvas_.Row(0) == pixels && canvas_.Width() == width &&
        canvas_.Height() == height && canvas_.Stride() == stride)
        return;
    if (width > kMaxSide || height > kMaxSide)
        throw std::invalid_argument("frame size out of range: " + std::to_string(width) + "x" +
                                    std::to_string(height));
    canvas_.Lend(pixels, width, height, stride);
    valid_ = false;
}

std::vector<uint8_t> Renderer::FrameRGBA() const {
    std::vector<uint8_t> out(static_cast<size_t>(canvas_.Width()) * canvas_.Height() * 4);
    size_t i = 0;
    for (int y = 0; y < canvas_.Height(); ++y)
        for (const raster::Pixel p : std::span(canvas_.Row(y), static_cast<size_t>(canvas_.Width()))) {
            uint32_t a = raster::PixelA(p);
            auto un = [a](uint32_t c) {
                return a == 0 ? 0u : std::min<uint32_t>(255, (c * 255 + a / 2) / a);
            };
            out[i++] = static_cast<uint8_t>(a == 255 ? raster::PixelR(p) : un(raster::PixelR(p)));
            out[i++] = static_cast<uint8_t>(a == 255 ? raster::PixelG(p) : un(raster::PixelG(p)));
            out[i++] = static_cast<uint8_t>(a == 255 ? raster::PixelB(p) : un(raster::PixelB(p)));
            out[i++] = static_cast<uint8_t>(a);
        }
    return out;
}

} // namespace movie::render
