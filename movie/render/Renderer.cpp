#include "movie/render/Renderer.h"

#include "movie/Limits.h"

#include <algorithm>
#include <stdexcept>

namespace movie::render {

namespace {

enum KeyKind : uint32_t { kShape = 1, kText = 2, kMaskBegin = 3, kMaskEnd = 4, kMaskPop = 5, kForMask = 0x100 };

raster::Pixel ToPixel(RGBA c) {
    return raster::Premultiply(c.r, c.g, c.b, c.a);
}

} // namespace

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
        scene_.BeginMask();
        break;
    case kMaskEnd:
        scene_.EndMask();
        break;
    case kMaskPop:
        scene_.PopMask();
        break;
    }
}

void Renderer::EndKey(size_t firstCommand) {
    raster::IRect bounds;
    const auto& cmds = scene_.Commands();
    for (size_t i = firstCommand; i < cmds.size(); ++i)
        if (cmds[i].op == raster::Op::Fill) bounds = bounds.Union(cmds[i].bounds);
    keys_.back().bounds = bounds;
}

void Renderer::DrawShape(const Shape& shape, uint32_t ratio, const Matrix& m, const ColorTransform& cx,
                         bool forMask) {
    keys_.push_back({&shape, kShape | (forMask ? kForMask : 0u), ratio, m, cx, {}});
    if (!painting_) return;
    size_t first = scene_.Commands().size();
    ShapePainter::Placement place;
    place.matrix = m;
    place.colorTransform = cx;
    place.stageScale = stageScale_;
    place.forMask = forMask;
    painter_.Paint(shape, place, scene_);
    EndKey(first);
}

void Renderer::DrawText(const Text& text, const Matrix& m, const ColorTransform& cx, bool forMask) {
    keys_.push_back({&text, kText | (forMask ? kForMask : 0u), 0, m, cx, {}});
    if (!painting_ || !dictionary_) return;
    size_t first = scene_.Commands().size();
    const Matrix textMatrix = m * text.matrix;
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
                painter_.Paint(font->glyphs[g.index].shape, place, scene_);
            }
            x += g.advance;
        }
    }
    EndKey(first);
}

void Renderer::DrawObject(const DisplayObject& obj, const Matrix& parent, const ColorTransform& parentCx,
                          bool forMask, int depth) {
    const Matrix m = parent * obj.matrix;
    const ColorTransform cx = parentCx * obj.colorTransform;
    const Character& ch = *obj.character;
    if (const Shape* shape = std::get_if<Shape>(&ch.data)) {
        DrawShape(*shape, 0, m, cx, forMask);
    } else if (const MorphShape* morph = std::get_if<MorphShape>(&ch.data)) {
        if (obj.morphed) {
            DrawShape(*obj.morphed, obj.ratio, m, cx, forMask);
        } else {
            Shape at = morph->At(obj.ratio);
            keys_.push_back({morph, kShape, obj.ratio, m, cx, {}});
            if (painting_) {
                size_t first = scene_.Commands().size();
                ShapePainter::Placement place{m, cx, stageScale_, forMask, false, {}};
                painter_.Paint(at, place, scene_);
                EndKey(first);
            }
        }
    } else if (const Text* text = std::get_if<Text>(&ch.data)) {
        DrawText(*text, m, cx, forMask);
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

bool Renderer::Render(const Player& player, int width, int height) {
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide)
        throw std::invalid_argument("frame size out of range: " + std::to_string(width) + "x" +
                                    std::to_string(height));
    const bool sizeChanged = width != canvas_.Width() || height != canvas_.Height();
    canvas_.Resize(width, height);
    const Movie& movie = player.GetMovie();
    dictionary_ = &movie.dictionary;
    painter_.SetDictionary(dictionary_);

    // "ShowAll": the stage scaled uniformly to fit, centred.
    Rect stage = player.Stage();
    double sw = double(stage.Width()) / kTwipsPerPixel, sh = double(stage.Height()) / kTwipsPerPixel;
    double scale = 1;
    if (sw > 0 && sh > 0) scale = std::min(width / sw, height / sh);
    stageScale_ = scale / kTwipsPerPixel;
    double ox = (width - sw * scale) / 2, oy = (height - sh * scale) / 2;
    Matrix base{stageScale_, 0, 0, stageScale_, ox - stage.xMin * stageScale_, oy - stage.yMin * stageScale_};
    const uint32_t bg = ToPixel(background_.value_or(player.BackgroundColor())) | 0xFF000000u;

    const bool sameSetting = valid_ && !sizeChanged && bg == lastBackground_ && &player == lastPlayer_ &&
                             &movie == lastMovie_;
    keys_.clear();
    clips_.clear();
    painting_ = false;
    DrawList(player.DisplayList(), base, {}, false, 0);
    if (sameSetting && keys_ == previous_) {
        dirty_ = {};
        return false;
    }

    keys_.clear();
    clips_.clear();
    scene_.Clear();
    scene_.SetBackground(bg);
    scene_.SetAntialias(quality_ == Quality::High);
    painting_ = true;
    DrawList(player.DisplayList(), base, {}, false, 0);
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

std::vector<uint8_t> Renderer::FrameRGBA() const {
    std::vector<uint8_t> out(static_cast<size_t>(canvas_.Width()) * canvas_.Height() * 4);
    size_t i = 0;
    for (raster::Pixel p : canvas_.Pixels()) {
        uint32_t a = raster::PixelA(p);
        auto un = [a](uint32_t c) { return a == 0 ? 0u : std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
        out[i++] = static_cast<uint8_t>(a == 255 ? raster::PixelR(p) : un(raster::PixelR(p)));
        out[i++] = static_cast<uint8_t>(a == 255 ? raster::PixelG(p) : un(raster::PixelG(p)));
        out[i++] = static_cast<uint8_t>(a == 255 ? raster::PixelB(p) : un(raster::PixelB(p)));
        out[i++] = static_cast<uint8_t>(a);
    }
    return out;
}

} // namespace movie::render
