#include "movie/raster/SceneRenderer.h"

#include <algorithm>
#include <cstring>

namespace movie::raster {

namespace {

// Lays `n` pixels of `paint` with coverage `cov` over dst (x, y: where dst[0] is).
// Runs of full coverage take the paint straight (opaque paints) or blended
// without scaling; partly covered runs are scaled by their coverage.
void BlendSpan(const Paint& paint, Pixel* dst, int x, int y, int n, const uint8_t* cov, Pixel* scratch) {
    const bool solid = paint.kind == PaintKind::Solid;
    const Pixel color = paint.color;
    int i = 0;
    while (i < n) {
        while (i < n && cov[i] == 0) ++i;
        if (i >= n) break;
        int s = i;
        Pixel* d = dst + s;
        if (cov[i] == 255) {
            while (i < n && cov[i] == 255) ++i;
            int len = i - s;
            if (paint.opaque) {
                if (solid) std::fill(d, d + len, color);
                else paint.ShadeRow(x + s, y, len, d);
            } else if (solid) {
                for (int k = 0; k < len; ++k) d[k] = BlendOver(d[k], color);
            } else {
                paint.ShadeRow(x + s, y, len, scratch);
                for (int k = 0; k < len; ++k) d[k] = BlendOver(d[k], scratch[k]);
            }
        } else {
            while (i < n && cov[i] != 0 && cov[i] != 255) ++i;
            int len = i - s;
            const uint8_t* c = cov + s;
            if (solid) {
                for (int k = 0; k < len; ++k) d[k] = BlendOver(d[k], MulDiv255(color, c[k]));
            } else {
                paint.ShadeRow(x + s, y, len, scratch);
                for (int k = 0; k < len; ++k) d[k] = BlendOver(d[k], MulDiv255(scratch[k], c[k]));
            }
        }
    }
}

// Adds `n` pixels of `paint` with coverage `cov` into a layer row.
void AddSpan(const Paint& paint, Pixel* dst, int x, int y, int n, const uint8_t* cov, Pixel* scratch) {
    if (paint.kind == PaintKind::Solid) {
        for (int k = 0; k < n; ++k)
            if (cov[k]) dst[k] = AddSaturate(dst[k], MulDiv255(paint.color, cov[k]));
        return;
    }
    paint.ShadeRow(x, y, n, scratch);
    for (int k = 0; k < n; ++k)
        if (cov[k]) dst[k] = AddSaturate(dst[k], MulDiv255(scratch[k], cov[k]));
}

} // namespace

struct SceneRenderer::BandContext {
    ScanConverter scan;
    std::vector<Pixel> scratch;
    std::vector<uint8_t> cov;
    std::vector<Pixel> layer;
    std::vector<int> layerMin, layerMax;
    std::vector<std::vector<uint8_t>> masks;
    std::vector<IRect> maskBounds;
};

SceneRenderer::SceneRenderer() {
    contexts_.push_back(std::make_unique<BandContext>());
}

SceneRenderer::~SceneRenderer() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    for (auto& t : workers_) t.join();
}

void SceneRenderer::SetThreads(int n) {
    threads_ = std::clamp(n, 1, kMaxThreads);
}

void SceneRenderer::Render(const Scene& scene, Canvas& canvas, IRect clip) {
    // Whole bands across the full width: a band's pixels then come out the
    // same whether it is drawn alone or with the whole frame.
    clip = clip.Intersect({0, 0, canvas.Width(), canvas.Height()});
    if (clip.Empty()) return;
    clip = IRect{0, clip.y0 / kBandHeight * kBandHeight, canvas.Width(),
                 (clip.y1 + kBandHeight - 1) / kBandHeight * kBandHeight}
               .Intersect({0, 0, canvas.Width(), canvas.Height()});
    jobScene_ = &scene;
    jobCanvas_ = &canvas;
    jobClip_ = clip;
    int firstBand = clip.y0 / kBandHeight;
    int lastBand = (clip.y1 - 1) / kBandHeight;
    jobBands_ = lastBand - firstBand + 1;
    nextBand_.store(0);
    int helpers = std::min(threads_, jobBands_) - 1;
    while (static_cast<int>(contexts_.size()) < helpers + 1) contexts_.push_back(std::make_unique<BandContext>());
    while (static_cast<int>(workers_.size()) < helpers) {
        int index = static_cast<int>(workers_.size()) + 1;
        workers_.emplace_back([this, index] { WorkerLoop(index); });
    }
    if (helpers > 0) {
        std::unique_lock lock(mutex_);
        activeWorkers_ = helpers;
        pending_ = helpers;
        ++generation_;
        wake_.notify_all();
    }
    RunJob(0);
    if (helpers > 0) {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return pending_ == 0; });
    }
    jobScene_ = nullptr;
    jobCanvas_ = nullptr;
}

void SceneRenderer::RunJob(int worker) {
    BandContext& ctx = *contexts_[worker];
    int firstBand = jobClip_.y0 / kBandHeight;
    for (int b; (b = nextBand_.fetch_add(1)) < jobBands_;) {
        int y0 = (firstBand + b) * kBandHeight;
        IRect band{jobClip_.x0, std::max(y0, jobClip_.y0), jobClip_.x1, std::min(y0 + kBandHeight, jobClip_.y1)};
        RenderBand(ctx, *jobScene_, *jobCanvas_, band);
    }
}

void SceneRenderer::WorkerLoop(int index) {
    uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return quit_ || (generation_ != seen && index <= activeWorkers_); });
            if (quit_) return;
            seen = generation_;
        }
        RunJob(index);
        {
            std::lock_guard lock(mutex_);
            if (--pending_ == 0) done_.notify_one();
        }
    }
}

void SceneRenderer::RenderBand(BandContext& ctx, const Scene& scene, Canvas& canvas, IRect band) {
    const int w = canvas.Width();
    const int bandTop = band.y0;
    const int rows = band.y1 - band.y0;
    const size_t area = static_cast<size_t>(w) * kBandHeight;
    if (ctx.scratch.size() < static_cast<size_t>(w)) {
        ctx.scratch.resize(w);
        ctx.cov.resize(w);
    }
    for (int y = band.y0; y < band.y1; ++y) std::fill(canvas.Row(y) + band.x0, canvas.Row(y) + band.x1, scene.Background());

    int mask = -1;         // top of the mask stack, -1 = none
    bool building = false; // fills go into masks[mask]
    bool inLayer = false;
    const auto& commands = scene.Commands();
    for (size_t ci = 0; ci < commands.size(); ++ci) {
        const Command& cmd = commands[ci];
        switch (cmd.op) {
        case Op::Fill: {
            IRect r = cmd.bounds.Intersect(band);
            if (!building && mask >= 0) r = r.Intersect(ctx.maskBounds[mask]);
            if (r.Empty()) break;
            const FillItem& fill = scene.Fill(cmd.index);
            const Paint& paint = scene.PaintAt(fill.paint);
            if (building) {
                uint8_t* m = ctx.masks[mask].data();
                ctx.maskBounds[mask] = ctx.maskBounds[mask].Union(r);
                ctx.scan.Rasterize(fill.edges, fill.rule, r, [&](int y, int x, int n, const uint8_t* cov) {
                    uint8_t* row = m + static_cast<size_t>(y - bandTop) * w + x;
                    for (int k = 0; k < n; ++k) {
                        uint32_t c = cov[k];
                        if (c) row[k] = static_cast<uint8_t>(row[k] + ((255 - row[k]) * c + 127) / 255);
                    }
                }, scene.Antialias());
                break;
            }
            const uint8_t* maskData = mask >= 0 ? ctx.masks[mask].data() : nullptr;
            ctx.scan.Rasterize(fill.edges, fill.rule, r, [&](int y, int x, int n, const uint8_t* cov) {
                if (maskData) {
                    const uint8_t* m = maskData + static_cast<size_t>(y - bandTop) * w + x;
                    uint8_t* out = ctx.cov.data();
                    for (int k = 0; k < n; ++k) out[k] = static_cast<uint8_t>((cov[k] * m[k] + 127) / 255);
                    cov = out;
                }
                if (inLayer) {
                    int row = y - bandTop;
                    ctx.layerMin[row] = std::min(ctx.layerMin[row], x);
                    ctx.layerMax[row] = std::max(ctx.layerMax[row], x + n);
                    AddSpan(paint, ctx.layer.data() + static_cast<size_t>(row) * w + x, x, y, n, cov,
                            ctx.scratch.data());
                } else {
                    BlendSpan(paint, canvas.Row(y) + x, x, y, n, cov, ctx.scratch.data());
                }
            }, scene.Antialias());
            break;
        }
        case Op::BeginLayer:
            if (building) break;
            if (ctx.layer.size() < area) ctx.layer.assign(area, 0);
            ctx.layerMin.assign(kBandHeight, w);
            ctx.layerMax.assign(kBandHeight, 0);
            inLayer = true;
            break;
        case Op::EndLayer: {
            if (building || !inLayer) break;
            inLayer = false;
            for (int row = 0; row < rows; ++row) {
                int x0 = ctx.layerMin[row], x1 = ctx.layerMax[row];
                if (x1 <= x0) continue;
                Pixel* src = ctx.layer.data() + static_cast<size_t>(row) * w;
                Pixel* dst = canvas.Row(bandTop + row);
                const uint8_t* m = mask >= 0 ? ctx.masks[mask].data() + static_cast<size_t>(row) * w : nullptr;
                for (int x = x0; x < x1; ++x) {
                    Pixel s = src[x];
                    if (!s) continue;
                    src[x] = 0;
                    if (m) s = MulDiv255(s, m[x]);
                    dst[x] = BlendOver(dst[x], s);
                }
            }
            break;
        }
        case Op::BeginMask:
            if (building) break;
            ++mask;
            if (static_cast<int>(ctx.masks.size()) <= mask) {
                ctx.masks.emplace_back();
                ctx.maskBounds.emplace_back();
            }
            if (ctx.masks[mask].size() < area) ctx.masks[mask].resize(area);
            std::memset(ctx.masks[mask].data(), 0, area);
            ctx.maskBounds[mask] = {};
            building = true;
            break;
        case Op::EndMask:
            if (!building) break;
            building = false;
            if (mask > 0) { // intersect with the mask around it
                const uint8_t* parent = ctx.masks[mask - 1].data();
                uint8_t* m = ctx.masks[mask].data();
                for (size_t i = 0; i < area; ++i) m[i] = static_cast<uint8_t>((m[i] * parent[i] + 127) / 255);
                ctx.maskBounds[mask] = ctx.maskBounds[mask].Intersect(ctx.maskBounds[mask - 1]);
            }
            break;
        case Op::PopMask:
            if (building || mask < 0) break;
            --mask;
            break;
        }
    }
}

} // namespace movie::raster
