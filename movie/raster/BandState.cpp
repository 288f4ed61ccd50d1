#include "movie/raster/BandState.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace movie::raster {

BandState::BandState(BandBuffers& buffers, const Scene& scene, Canvas& canvas, IRect band, int bandHeight)
    : b_(buffers), scene_(scene), canvas_(canvas), band_(band), top_(band.y0), rows_(band.y1 - band.y0),
      width_(canvas.Width()), area_(static_cast<size_t>(width_) * bandHeight),
      background_(scene.Background()) {
    if (b_.scratch.size() < static_cast<size_t>(width_)) {
        b_.scratch.resize(width_);
        b_.cov.resize(width_);
        b_.constCov.resize(width_);
    }
    b_.pending.assign(bandHeight, 1);
}

void BandState::Draw(const Command& cmd) {
    switch (cmd.op) {
    case Op::Fill:
        Fill(cmd);
        break;
    case Op::BeginLayer:
        BeginLayer();
        break;
    case Op::EndLayer:
        EndLayer();
        break;
    case Op::BeginMask:
        BeginMask();
        break;
    case Op::EndMask:
        EndMask();
        break;
    case Op::PopMask:
        PopMask();
        break;
    }
}

void BandState::Finish() {
    for (int row = 0; row < rows_; ++row)
        PaintBackground(row);
}

void BandState::Fill(const Command& cmd) {
    IRect r = cmd.bounds.Intersect(band_);
    if (!building_ && mask_ >= 0) r = r.Intersect(b_.maskBounds[mask_]);
    if (r.Empty()) return;
    const FillItem& fill = scene_.Fill(cmd.index);
    if (building_)
        FillMask(fill, r);
    else
        FillFrame(fill, scene_.PaintAt(fill.paint), r);
}

void BandState::FillMask(const FillItem& fill, IRect r) {
    b_.maskBounds[mask_] = b_.maskBounds[mask_].Union(r);
    IRect& written = b_.maskWritten[mask_].rect;
    written = written.Union({r.x0, r.y0 - top_, r.x1, r.y1 - top_});
    b_.scan.Rasterize(
        fill.edges, fill.rule, r,
        [&](int y, int x, int, const uint8_t* cov, const CoverageSpan* spans, int count) {
            uint8_t* m = MaskRow(mask_, y - top_) + x;
            for (int k = 0; k < count; ++k) {
                const CoverageSpan& sp = spans[k];
                if (sp.value == CoverageSpan::kVaries)
                    UniteCoverage(m + sp.s, cov + sp.s, sp.e - sp.s);
                else if (sp.value == 255)
                    std::memset(m + sp.s, 255, static_cast<size_t>(sp.e - sp.s));
                else if (sp.value != 0)
                    UniteCoverage(m + sp.s, nullptr, sp.e - sp.s, static_cast<uint8_t>(sp.value));
            }
        },
        scene_.Antialias());
}

// Lays a fill's rows over the frame (or, in a layer, partly into the
// layer) as the scan converter walks them. The background goes in first
// where the row has none yet: stretch by stretch around what an opaque
// paint covers fully.
template <class Blitter> struct BandState::FrameRows {
    BandState& band;
    const Paint& paint;
    Blitter& blitter;
    static constexpr int kLongStretch = 256;
    int row = 0, x = 0, from = 0;
    bool around = false;

    [[gnu::always_inline]] void Begin(int y, int rowX, int, int widest) {
        row = y - band.top_;
        x = rowX;
        // Laying the background in pieces pays only around long stretches
        // the paint may cover fully; a row of short ones (a thin shape's)
        // takes it whole, in one store.
        around = band.b_.pending[row] && paint.opaque && widest >= kLongStretch;
        if (around) {
            band.b_.pending[row] = 0;
            from = band.band_.x0;
        } else {
            band.PaintBackground(row);
        }
        if constexpr (std::is_same_v<Blitter, LayerAddBlitter>)
            blitter.BeginRow(band.b_.layer.data() + static_cast<size_t>(row) * band.width_ + x,
                             band.canvas_.Row(y) + x, x, y, row);
        else
            blitter.BeginRow(band.canvas_.Row(y) + x, x, y, row > 0 ? band.canvas_.Row(y - 1) : nullptr);
    }
    // The background from where it stopped to device column `to`.
    void Background(int to) { FillRow(band.FrameRow(row) + from, band.background_, to - from); }
    [[gnu::always_inline]] void Constant(int s, int e, int value) {
        if (value == 0) return;
        if (around) {
            Background(x + (value == 255 ? s : e));
            from = x + e;
        }
        if (value == 255) {
            blitter.FillSpan(s, e);
        } else {
            std::memset(band.b_.constCov.data(), value, static_cast<size_t>(e - s));
            blitter.BlendSpan(s, e, band.b_.constCov.data());
        }
    }
    [[gnu::always_inline]] void Varying(int s, int e, const uint8_t* cov) {
        if (around) {
            Background(x + e);
            from = x + e;
        }
        blitter.VaryingSpan(s, e, cov);
    }
    [[gnu::always_inline]] void End() {
        if (around) Background(band.band_.x1);
        blitter.EndRow();
    }
};

void BandState::FillFrame(const FillItem& fill, const Paint& paint, IRect r) {
    const bool masked = mask_ >= 0;
    if (inLayer_) {
        LayerAddBlitter blitter(paint, b_.scratch.data(), b_.layerRuns);
        if (!masked && scene_.Antialias()) {
            FrameRows<LayerAddBlitter> rows{*this, paint, blitter};
            b_.scan.RasterizeRows(fill.edges, fill.rule, r, rows);
            return;
        }
        b_.scan.Rasterize(
            fill.edges, fill.rule, r,
            [&](int y, int x, int n, const uint8_t* cov, const CoverageSpan* spans, int count) {
                CoverageRow cr{x, y, n, cov, spans, count};
                CoverageSpan whole;
                if (masked) ApplyMask(cr, whole);
                const int row = y - top_;
                // Unmasked, full coverage goes straight to the frame, which
                // then needs its background first.
                Pixel* frame = nullptr;
                if (!masked) {
                    BackgroundBefore(row, paint, cr);
                    frame = canvas_.Row(y) + x;
                }
                blitter.BeginRow(b_.layer.data() + static_cast<size_t>(row) * width_ + x, frame, x, y, row);
                BlitRow(cr, blitter, b_.constCov.data());
                blitter.EndRow();
            },
            scene_.Antialias());
        return;
    }
    if (paint.blend != BlendMode::Normal) {
        BlendModeBlitter blitter(paint, b_.scratch.data());
        b_.scan.Rasterize(
            fill.edges, fill.rule, r,
            [&](int y, int x, int n, const uint8_t* cov, const CoverageSpan* spans, int count) {
                CoverageRow cr{x, y, n, cov, spans, count};
                CoverageSpan whole;
                if (masked) ApplyMask(cr, whole);
                BackgroundBefore(y - top_, paint, cr);
                blitter.BeginRow(canvas_.Row(y) + x, x, y);
                BlitRow(cr, blitter, b_.constCov.data());
            },
            scene_.Antialias());
        return;
    }
    // Rows of a paint that is the same down the frame note their straight
    // runs; the next row of the band may copy them.
    const bool sameDownRows = paint.kind == PaintKind::Linear && paint.inverse.c == 0;
    PaintBlitter blitter(paint, b_.scratch.data(), sameDownRows);
    if (!masked && scene_.Antialias()) {
        FrameRows<PaintBlitter> rows{*this, paint, blitter};
        b_.scan.RasterizeRows(fill.edges, fill.rule, r, rows);
        return;
    }
    b_.scan.Rasterize(
        fill.edges, fill.rule, r,
        [&](int y, int x, int n, const uint8_t* cov, const CoverageSpan* spans, int count) {
            CoverageRow cr{x, y, n, cov, spans, count};
            CoverageSpan whole;
            if (masked) ApplyMask(cr, whole);
            const int row = y - top_;
            BackgroundBefore(row, paint, cr);
            blitter.BeginRow(canvas_.Row(y) + x, x, y, row > 0 ? canvas_.Row(y - 1) : nullptr);
            BlitRow(cr, blitter, b_.constCov.data());
            blitter.EndRow();
        },
        scene_.Antialias());
}

// The mask may thin any stretch: every value is looked at, and the
// stretches the fill covers fully take the mask's values as they are.
void BandState::ApplyMask(CoverageRow& row, CoverageSpan& whole) {
    const uint8_t* m = MaskRow(mask_, row.y - top_) + row.x;
    uint8_t* out = b_.cov.data();
    for (int k = 0; k < row.count; ++k) {
        const CoverageSpan& sp = row.spans[k];
        const size_t len = static_cast<size_t>(sp.e - sp.s);
        if (sp.value == 0) {
            std::memset(out + sp.s, 0, len);
        } else if (sp.value == 255) {
            std::memcpy(out + sp.s, m + sp.s, len);
        } else {
            if (sp.value == CoverageSpan::kVaries)
                std::memcpy(out + sp.s, row.cov + sp.s, len);
            else
                std::memset(out + sp.s, sp.value, len);
            ScaleCoverage(out + sp.s, m + sp.s, sp.e - sp.s);
        }
    }
    whole = {0, row.n, CoverageSpan::kVaries};
    row.cov = out;
    row.spans = &whole;
    row.count = 1;
}

void BandState::BackgroundBefore(int row, const Paint& paint, const CoverageRow& cr) {
    if (!b_.pending[row]) return;
    if (paint.opaque)
        PaintBackgroundAround(row, cr);
    else
        PaintBackground(row);
}

void BandState::PaintBackground(int row) {
    if (!b_.pending[row]) return;
    b_.pending[row] = 0;
    FillRow(FrameRow(row) + band_.x0, background_, band_.x1 - band_.x0);
}

void BandState::PaintBackgroundAround(int row, const CoverageRow& cr) {
    b_.pending[row] = 0;
    Pixel* r = FrameRow(row);
    int from = band_.x0;
    for (int k = 0; k < cr.count; ++k) {
        const CoverageSpan& sp = cr.spans[k];
        if (sp.value != 255) continue;
        FillRow(r + from, background_, cr.x + sp.s - from);
        from = cr.x + sp.e;
    }
    FillRow(r + from, background_, band_.x1 - from);
}

void BandState::BeginLayer() {
    if (building_) return;
    if (b_.layer.size() < area_) b_.layer.assign(area_, 0);
    b_.layerRuns.clear();
    inLayer_ = true;
}

void BandState::EndLayer() {
    if (building_ || !inLayer_) return;
    inLayer_ = false;
    // Each stretch of the layer that holds something, once.
    auto& runs = b_.layerRuns;
    std::sort(runs.begin(), runs.end(), [](const LayerRun& a, const LayerRun& b) {
        return a.row != b.row ? a.row < b.row : a.x0 < b.x0;
    });
    for (size_t k = 0; k < runs.size();) {
        const int row = runs[k].row, x0 = runs[k].x0;
        int x1 = runs[k].x1;
        for (++k; k < runs.size() && runs[k].row == row && runs[k].x0 <= x1; ++k)
            x1 = std::max(x1, runs[k].x1);
        PaintBackground(row);
        LayLayerRow(row, x0, x1);
    }
}

void BandState::LayLayerRow(int row, int x0, int x1) {
    Pixel* src = b_.layer.data() + static_cast<size_t>(row) * width_;
    Pixel* dst = FrameRow(row);
    if (mask_ >= 0) {
        OverRowCoverage(dst + x0, src + x0, MaskRow(mask_, row) + x0, x1 - x0);
        std::fill(src + x0, src + x1, 0u);
    } else {
        OverRowAndClear(dst + x0, src + x0, x1 - x0);
    }
}

void BandState::BeginMask() {
    if (building_) return;
    ++mask_;
    if (static_cast<int>(b_.masks.size()) <= mask_) {
        b_.masks.emplace_back();
        b_.maskBounds.emplace_back();
        b_.maskWritten.emplace_back();
    }
    std::vector<uint8_t>& values = b_.masks[mask_];
    if (values.size() < area_) values.resize(area_); // (what it grows by is zero)
    // Only what the last use wrote needs clearing.
    BandBuffers::Written& written = b_.maskWritten[mask_];
    if (written.width != width_) {
        std::memset(values.data(), 0, values.size());
    } else {
        const IRect& w = written.rect;
        for (int row = w.y0; row < w.y1; ++row)
            std::memset(MaskRow(mask_, row) + w.x0, 0, static_cast<size_t>(w.x1 - w.x0));
    }
    written = {{}, width_};
    b_.maskBounds[mask_] = {};
    building_ = true;
}

void BandState::EndMask() {
    if (!building_) return;
    building_ = false;
    if (mask_ > 0) { // intersect with the mask around it; outside its bounds it holds nothing
        const IRect r = b_.maskBounds[mask_];
        for (int y = r.y0; y < r.y1; ++y)
            ScaleCoverage(MaskRow(mask_, y - top_) + r.x0, MaskRow(mask_ - 1, y - top_) + r.x0, r.x1 - r.x0);
        b_.maskBounds[mask_] = b_.maskBounds[mask_].Intersect(b_.maskBounds[mask_ - 1]);
    }
}

void BandState::PopMask() {
    if (building_ || mask_ < 0) return;
    --mask_;
}

} // namespace movie::raster
