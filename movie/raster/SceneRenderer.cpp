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
    Job job{&scene, &canvas, clip, clip.y0 / kBandHeight, 0};
    job.bands = (clip.y1 - 1) / kBandHeight - job.firstBand + 1;
    const int helpers = std::min(threads_, job.bands) - 1;
    uint32_t number;
    {
        std::lock_guard lock(mutex_);
        while (static_cast<int>(buffers_.size()) < helpers + 1)
            buffers_.push_back(std::make_unique<BandBuffers>());
        while (static_cast<int>(workers_.size()) < helpers) {
            int index = static_cast<int>(workers_.size()) + 1;
            workers_.emplace_back([this, index] { WorkerLoop(index); });
        }
        job_ = job;
        number = ++jobNumber_;
        bandsLeft_.store(job.bands);
        ticket_.store(uint64_t(number) << 32);
        activeWorkers_ = helpers;
    }
    if (helpers > 0) wake_.notify_all();
    RunJob(*buffers_[0], job, number);
    if (bandsLeft_.load() > 0) {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return bandsLeft_.load() == 0; });
    }
}

void SceneRenderer::RunJob(BandBuffers& buffers, const Job& job, uint32_t number) {
    for (;;) {
        uint64_t ticket = ticket_.load();
        do {
            if (uint32_t(ticket >> 32) != number || int(uint32_t(ticket)) >= job.bands) return;
        } while (!ticket_.compare_exchange_weak(ticket, ticket + 1));
        const int y0 = (job.firstBand + int(uint32_t(ticket))) * kBandHeight;
        IRect band{job.clip.x0, std::max(y0, job.clip.y0), job.clip.x1,
                   std::min(y0 + kBandHeight, job.clip.y1)};
        RenderBand(buffers, *job.scene, *job.canvas, band);
        if (bandsLeft_.fetch_sub(1) == 1) {
            std::lock_guard lock(mutex_);
            done_.notify_all();
        }
    }
}

void SceneRenderer::WorkerLoop(int index) {
    uint32_t seen = 0;
    for (;;) {
        Job job;
        BandBuffers* buffers;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return quit_ || (jobNumber_ != seen && index <= activeWorkers_); });
            if (quit_) return;
            seen = jobNumber_;
            job = job_;
            buffers = buffers_[index].get();
        }
        RunJob(*buffers, job, seen);
    }
}

void SceneRenderer::RenderBand(BandBuffers& buffers, const Scene& scene, Canvas& canvas, IRect band) {
    BandState state(buffers, scene, canvas, band, kBandHeight);
    for (const Command& cmd : scene.Commands())
        state.Draw(cmd);
    state.Finish();
}

} // namespace movie::raster
