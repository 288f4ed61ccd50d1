#include "movie/raster/SceneRenderer.h"

#include "movie/raster/BandState.h"

#include <algorithm>

namespace movie::raster {

SceneRenderer::SceneRenderer() {
    buffers_.push_back(std::make_unique<BandBuffers>());
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
    while (static_cast<int>(buffers_.size()) < helpers + 1)
        buffers_.push_back(std::make_unique<BandBuffers>());
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
    BandBuffers& buffers = *buffers_[worker];
    int firstBand = jobClip_.y0 / kBandHeight;
    for (int b; (b = nextBand_.fetch_add(1)) < jobBands_;) {
        int y0 = (firstBand + b) * kBandHeight;
        IRect band{jobClip_.x0, std::max(y0, jobClip_.y0), jobClip_.x1,
                   std::min(y0 + kBandHeight, jobClip_.y1)};
        RenderBand(buffers, *jobScene_, *jobCanvas_, band);
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

void SceneRenderer::RenderBand(BandBuffers& buffers, const Scene& scene, Canvas& canvas, IRect band) {
    BandState state(buffers, scene, canvas, band, kBandHeight);
    for (const Command& cmd : scene.Commands())
        state.Draw(cmd);
    state.Finish();
}

} // namespace movie::raster
