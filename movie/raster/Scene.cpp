#include "movie/raster/Scene.h"

namespace movie::raster {

void Scene::Clear() {
    commands_.clear();
    fillCount_ = 0;
    lineCount_ = 0;
    layerStarts_.clear();
    clips_.clear();
    maskDepth_ = 0;
    ignoredMasks_ = 0;
}

EdgeList& Scene::BeginFill() {
    if (fills_.size() <= fillCount_) {
        fills_.emplace_back();
        paints_.emplace_back();
    }
    FillItem& f = fills_[fillCount_];
    f.edges.Clear();
    return f.edges;
}

void Scene::EndFill(const Paint& paint, FillRule rule) {
    FillItem& f = fills_[fillCount_];
    IRect bounds = CoveringRect(f.edges.Bounds());
    if (!clips_.empty()) bounds = bounds.Intersect(clips_.back());
    if (f.edges.Empty() || bounds.Empty() || ignoredMasks_ > 0) return;
    f.edges.Sort();
    f.rule = rule;
    f.paint = static_cast<uint32_t>(fillCount_);
    paints_[fillCount_] = paint;
    commands_.push_back({Op::Fill, static_cast<uint32_t>(fillCount_), bounds});
    ++fillCount_;
    lineCount_ += f.edges.Size();
}

void Scene::Translate(int dx, int dy) {
    for (size_t i = 0; i < fillCount_; ++i) {
        fills_[i].edges.Translate(static_cast<float>(dx), static_cast<float>(dy));
        Affine& inv = paints_[i].inverse; // device -> paint space, so it takes the move back
        inv.tx -= inv.a * dx + inv.c * dy;
        inv.ty -= inv.b * dx + inv.d * dy;
    }
    for (Command& c : commands_)
        if (!c.bounds.Empty()) c.bounds = {c.bounds.x0 + dx, c.bounds.y0 + dy, c.bounds.x1 + dx, c.bounds.y1 + dy};
}

IRect Scene::FillBounds() const {
    IRect bounds;
    for (const Command& c : commands_)
        if (c.op == Op::Fill) bounds = bounds.Union(c.bounds);
    return bounds;
}

void Scene::PushClip(IRect r) {
    clips_.push_back(clips_.empty() ? r : r.Intersect(clips_.back()));
}

void Scene::PopClip() {
    if (!clips_.empty()) clips_.pop_back();
}

void Scene::BeginLayer() {
    if (ignoredMasks_ > 0) return;
    layerStarts_.push_back(commands_.size());
    commands_.push_back({Op::BeginLayer, 0, {}});
}

void Scene::EndLayer() {
    if (ignoredMasks_ > 0 || layerStarts_.empty()) return;
    size_t start = layerStarts_.back();
    layerStarts_.pop_back();
    if (start + 1 == commands_.size()) { // nothing drawn: drop the pair
        commands_.pop_back();
        return;
    }
    if (start + 2 == commands_.size() && commands_.back().op == Op::Fill) { // one fill: no seams to avoid
        commands_.erase(commands_.begin() + static_cast<std::ptrdiff_t>(start));
        return;
    }
    IRect bounds;
    for (size_t i = start + 1; i < commands_.size(); ++i) bounds = bounds.Union(commands_[i].bounds);
    commands_[start].bounds = bounds;
    commands_.push_back({Op::EndLayer, 0, bounds});
}

void Scene::BeginMask() {
    if (ignoredMasks_ > 0 || maskDepth_ >= kMaxMaskDepth) {
        ++ignoredMasks_;
        return;
    }
    ++maskDepth_;
    commands_.push_back({Op::BeginMask, 0, {}});
}

void Scene::EndMask() {
    if (ignoredMasks_ > 0) return;
    commands_.push_back({Op::EndMask, 0, {}});
}

void Scene::PopMask() {
    if (ignoredMasks_ > 0) {
        --ignoredMasks_;
        return;
    }
    if (maskDepth_ == 0) return;
    --maskDepth_;
    commands_.push_back({Op::PopMask, 0, {}});
}

} // namespace movie::raster
