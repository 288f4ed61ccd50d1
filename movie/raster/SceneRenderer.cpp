#include "movie/raster/SceneRenderer.h"

#include "movie/raster/RowBlend.h"

#include <algorithm>
#include <cstring>

namespace movie::raster {

namespace {

// The longest opaque run of shaded pixels a row of the current fill laid
// straight into the canvas: a paint that does not change down the frame gives
// the row below the same pixels there, copied instead of shaded again.
struct ShadedRun {
    int y = -1, x0 = 0, x1 = 0;
};

// A row of coverage as the scan converter hands it over.
struct CoverageRow {
    int x, y, n;
    const uint8_t* cov;
    const CoverageSpan* spans;
    int count;
};

// Calls run(s, e, value) for the stretches of the row's varying spans that
// share one value of 0 or 255, and for its constant spans, and part(s, e)
// for the stretches between, whose values lie strictly between 0 and 255.
// Stretches of none are left out.
template <class Run, class Part> void ForEachStretch(const CoverageRow& row, Run&& run, Part&& part) {
    const uint8_t* cov = row.cov;
    for (int k = 0; k < row.count; ++k) {
        const CoverageSpan& sp = row.spans[k];
        if (sp.value != CoverageSpan::kVaries) {
            if (sp.value != 0) run(sp.s, sp.e, sp.value);
            continue;
        }
        int i = sp.s;
        const int to = sp.e;
        while (i < to) {
            i = RunOf(cov, i, to, 0);
            if (i >= to) break;
            const int s = i;
            if (cov[i] == 255) {
                i = RunOf(cov, i, to, 255);
                run(s, i, 255);
                continue;
            }
            while (i < to && cov[i] != 0 && cov[i] != 255)
                ++i;
            part(s, i);
        }
    }
}

// Lays the row's pixels of `paint` over dst (dst[0] is pixel row.x): runs of
// full coverage take the paint straight (opaque paints) or blended without
// scaling; partly covered runs are scaled by their coverage.
void BlendSpan(const Paint& paint, Pixel* dst, const CoverageRow& row, Pixel* scratch, uint8_t* constCov,
               ShadedRun* above, const Pixel* rowAbove) {
    const bool solid = paint.kind == PaintKind::Solid;
    const Pixel color = paint.color;
    const int x = row.x, y = row.y;
    ShadedRun longest; // this row's longest run laid straight, for the row below
    auto full = [&](int s, int e) {
        const int len = e - s;
        Pixel* d = dst + s;
        if (paint.opaque) {
            if (solid) {
                FillRow(d, color, len);
                return;
            }
            if (rowAbove && above->y == y - 1 && above->x0 <= x + s && x + e <= above->x1)
                std::memcpy(d, rowAbove + x + s, sizeof(Pixel) * len);
            else
                paint.ShadeRow(x + s, y, len, d);
            if (above && len > longest.x1 - longest.x0) longest = {y, x + s, x + e};
        } else if (solid) {
            std::fill(scratch, scratch + len, color);
            OverRow(d, scratch, len);
        } else {
            paint.ShadeRow(x + s, y, len, scratch);
            OverRow(d, scratch, len);
        }
    };
    auto part = [&](int s, int e, const uint8_t* cov) {
        const int len = e - s;
        if (solid) {
            OverSolidCoverage(dst + s, color, cov, len);
        } else {
            paint.ShadeRow(x + s, y, len, scratch);
            OverRowCoverage(dst + s, scratch, cov, len);
        }
    };
    ForEachStretch(
        row,
        [&](int s, int e, int value) {
            if (value == 255) {
                full(s, e);
                return;
            }
            std::memset(constCov, value, static_cast<size_t>(e - s));
            part(s, e, constCov);
        },
        [&](int s, int e) { part(s, e, row.cov + s); });
    if (above) *above = longest;
}

// The stretches of a band's rows that a layer holds something in.
struct LayerRun {
    int row, x0, x1;
};

// Adds the row's pixels of `paint` into a layer row (dst[0] is pixel row.x):
// nothing where the coverage is none, the paint as it is where it is full.
// With `frame` (the frame's row, frame[0] at row.x too), fully covered
// pixels are laid straight over the frame instead: the fills of a layer meet
// without overlapping, so the layer would hold the paint alone there and be
// laid over the frame as it is.
// What was added into the layer goes on record in `runs` (row `bandRow`).
void AddSpan(const Paint& paint, Pixel* dst, const CoverageRow& row, Pixel* scratch, uint8_t* constCov,
             Pixel* frame, std::vector<LayerRun>& runs, int bandRow) {
    const bool solid = paint.kind == PaintKind::Solid;
    auto add = [&](int s, int e, const uint8_t* cov) {
        if (!cov && frame) {
            if (paint.opaque && solid) {
                FillRow(frame + s, paint.color, e - s);
            } else if (paint.opaque) {
                paint.ShadeRow(row.x + s, row.y, e - s, frame + s);
            } else {
                paint.ShadeRow(row.x + s, row.y, e - s, scratch);
                OverRow(frame + s, scratch, e - s);
            }
            return;
        }
        if (!runs.empty() && runs.back().row == bandRow && runs.back().x1 >= row.x + s &&
            runs.back().x0 <= row.x + e) {
            runs.back().x0 = std::min(runs.back().x0, row.x + s);
            runs.back().x1 = std::max(runs.back().x1, row.x + e);
        } else {
            runs.push_back({bandRow, row.x + s, row.x + e});
        }
        const int len = e - s;
        const Pixel* src = &paint.color;
        size_t step = 0;
        if (!solid) {
            paint.ShadeRow(row.x + s, row.y, len, scratch);
            src = scratch;
            step = 1;
        }
        if (!cov)
            AddRow(dst + s, src, step, len);
        else
            AddRowCoverage(dst + s, src, step, cov, len);
    };
    ForEachStretch(
        row,
        [&](int s, int e, int value) {
            if (value == 255) {
                add(s, e, nullptr);
                return;
            }
            std::memset(constCov, value, static_cast<size_t>(e - s));
            add(s, e, constCov);
        },
        [&](int s, int e) { add(s, e, row.cov + s); });
}

} // namespace

struct SceneRenderer::BandContext {
    ScanConverter scan;
    std::vector<Pixel> scratch;
    std::vector<uint8_t> cov;
    std::vector<uint8_t> constCov; // one value over a stretch, for the coverage row loops
    std::vector<Pixel> layer;
    std::vector<LayerRun> layerRuns;
    std::vector<std::vector<uint8_t>> masks;
    std::vector<IRect> maskBounds;
    std::vector<uint8_t> pending; // rows of the band still without their background
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
    for (auto& t : workers_)
        t.join();
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
    while (static_cast<int>(contexts_.size()) < helpers + 1)
        contexts_.push_back(std::make_unique<BandContext>());
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
        IRect band{jobClip_.x0, std::max(y0, jobClip_.y0), jobClip_.x1,
                   std::min(y0 + kBandHeight, jobClip_.y1)};
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
        ctx.constCov.resize(w);
    }
    // The background goes into a row only when something is first drawn
    // there, and not under the part that an opaque paint then covers fully.
    const Pixel background = scene.Background();
    ctx.pending.assign(kBandHeight, 1);
    auto paintBackground = [&](int row) {
        if (!ctx.pending[row]) return;
        ctx.pending[row] = 0;
        FillRow(canvas.Row(bandTop + row) + band.x0, background, band.x1 - band.x0);
    };
    // The same for a row whose first paint is opaque: not under its spans
    // of full coverage.
    auto paintBackgroundAround = [&](int row, const CoverageRow& cr) {
        ctx.pending[row] = 0;
        Pixel* r = canvas.Row(bandTop + row);
        int from = band.x0;
        for (int k = 0; k < cr.count; ++k) {
            const CoverageSpan& sp = cr.spans[k];
            if (sp.value != 255) continue;
            FillRow(r + from, background, cr.x + sp.s - from);
            from = cr.x + sp.e;
        }
        FillRow(r + from, background, band.x1 - from);
    };
    ShadedRun above;

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
                ctx.scan.Rasterize(
                    fill.edges, fill.rule, r,
                    [&](int y, int x, int n, const uint8_t* cov, const CoverageSpan* spans, int count) {
                        uint8_t* row = m + static_cast<size_t>(y - bandTop) * w + x;
                        ScanConverter::Expand(cov, spans, count, ctx.cov.data());
                        UniteCoverage(row, ctx.cov.data(), n);
                    },
                    scene.Antialias());
                break;
            }
            const uint8_t* maskData = mask >= 0 ? ctx.masks[mask].data() : nullptr;
            const bool sameDownRows = paint.kind == PaintKind::Linear && paint.inverse.c == 0;
            above = {};
            ctx.scan.Rasterize(
                fill.edges, fill.rule, r,
                [&](int y, int x, int n, const uint8_t* cov, const CoverageSpan* spans, int count) {
                    CoverageRow cr{x, y, n, cov, spans, count};
                    CoverageSpan masked;
                    if (maskData) { // the mask may thin any stretch: every value is looked at
                        const uint8_t* m = maskData + static_cast<size_t>(y - bandTop) * w + x;
                        uint8_t* out = ctx.cov.data();
                        ScanConverter::Expand(cov, spans, count, out);
                        for (int k = 0; k < n; ++k)
                            out[k] = static_cast<uint8_t>((out[k] * m[k] + 127) / 255);
                        masked = {0, n, CoverageSpan::kVaries};
                        cr.cov = out;
                        cr.spans = &masked;
                        cr.count = 1;
                    }
                    const int row = y - bandTop;
                    if (inLayer) {
                        Pixel* frame = nullptr;
                        if (!maskData) {
                            if (ctx.pending[row]) {
                                if (paint.opaque)
                                    paintBackgroundAround(row, cr);
                                else
                                    paintBackground(row);
                            }
                            frame = canvas.Row(y) + x;
                        }
                        AddSpan(paint, ctx.layer.data() + static_cast<size_t>(row) * w + x, cr,
                                ctx.scratch.data(), ctx.constCov.data(), frame, ctx.layerRuns, row);
                    } else {
                        if (ctx.pending[row]) {
                            if (paint.opaque)
                                paintBackgroundAround(row, cr);
                            else
                                paintBackground(row);
                        }
                        // Rows of a paint that is the same down the frame note their
                        // straight runs; the next row of the band may copy them.
                        const Pixel* rowAbove = sameDownRows && row > 0 ? canvas.Row(y - 1) : nullptr;
                        BlendSpan(paint, canvas.Row(y) + x, cr, ctx.scratch.data(), ctx.constCov.data(),
                                  sameDownRows ? &above : nullptr, rowAbove);
                    }
                },
                scene.Antialias());
            break;
        }
        case Op::BeginLayer:
            if (building) break;
            if (ctx.layer.size() < area) ctx.layer.assign(area, 0);
            ctx.layerRuns.clear();
            inLayer = true;
            break;
        case Op::EndLayer: {
            if (building || !inLayer) break;
            inLayer = false;
            // Each stretch of the layer that holds something, once.
            auto& runs = ctx.layerRuns;
            std::sort(runs.begin(), runs.end(), [](const LayerRun& a, const LayerRun& b) {
                return a.row != b.row ? a.row < b.row : a.x0 < b.x0;
            });
            for (size_t k = 0; k < runs.size();) {
                const int row = runs[k].row, x0 = runs[k].x0;
                int x1 = runs[k].x1;
                for (++k; k < runs.size() && runs[k].row == row && runs[k].x0 <= x1; ++k)
                    x1 = std::max(x1, runs[k].x1);
                paintBackground(row);
                Pixel* src = ctx.layer.data() + static_cast<size_t>(row) * w;
                Pixel* dst = canvas.Row(bandTop + row);
                if (mask >= 0) {
                    OverRowCoverage(dst + x0, src + x0,
                                    ctx.masks[mask].data() + static_cast<size_t>(row) * w + x0, x1 - x0);
                    std::fill(src + x0, src + x1, 0u);
                } else {
                    OverRowAndClear(dst + x0, src + x0, x1 - x0);
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
                for (size_t i = 0; i < area; ++i)
                    m[i] = static_cast<uint8_t>((m[i] * parent[i] + 127) / 255);
                ctx.maskBounds[mask] = ctx.maskBounds[mask].Intersect(ctx.maskBounds[mask - 1]);
            }
            break;
        case Op::PopMask:
            if (building || mask < 0) break;
            --mask;
            break;
        }
    }
    for (int row = 0; row < rows; ++row)
        paintBackground(row);
}

} // namespace movie::raster
