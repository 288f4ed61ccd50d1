// Draws a Scene into a Canvas. The frame is cut into horizontal bands of
// fixed height that worker threads take in turn; a band's pixels depend on
// nothing but the scene, so the output is the same byte for byte whatever
// the number of threads.
#pragma once

#include "movie/raster/Canvas.h"
#include "movie/raster/Scene.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace movie::raster {

struct BandBuffers;

class SceneRenderer {
  public:
    static constexpr int kBandHeight = 32;
    static constexpr int kMaxThreads = 8;

    SceneRenderer();
    ~SceneRenderer();
    SceneRenderer(const SceneRenderer&) = delete;
    SceneRenderer& operator=(const SceneRenderer&) = delete;

    int Threads() const { return threads_; }
    void SetThreads(int n);

    // Draws the scene over the background within `clip`, widened to whole
    // bands across the canvas, so that the pixels match a full redraw.
    void Render(const Scene& scene, Canvas& canvas, IRect clip);

  private:
    void RenderBand(BandBuffers& buffers, const Scene& scene, Canvas& canvas, IRect band);
    void WorkerLoop(int index);
    void RunJob(int workers);

    int threads_ = 1;
    std::vector<std::unique_ptr<BandBuffers>> buffers_; // one per thread

    // The job the workers share while Render runs.
    const Scene* jobScene_ = nullptr;
    Canvas* jobCanvas_ = nullptr;
    IRect jobClip_;
    int jobBands_ = 0;
    std::atomic<int> nextBand_{0};

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    uint64_t generation_ = 0;
    int activeWorkers_ = 0; // workers taking part in the current job
    int pending_ = 0;
    bool quit_ = false;
};

} // namespace movie::raster
