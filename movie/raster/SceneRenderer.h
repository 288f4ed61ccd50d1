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
    // What Render asks of the threads: the bands of `clip`, from `firstBand` on.
    struct Job {
        const Scene* scene = nullptr;
        Canvas* canvas = nullptr;
        IRect clip;
        int firstBand = 0;
        int bands = 0;
    };

    void RenderBand(BandBuffers& buffers, const Scene& scene, Canvas& canvas, IRect band);
    void WorkerLoop(int index);
    // Draws bands of the job numbered `number` until none is left to take.
    void RunJob(BandBuffers& buffers, const Job& job, uint32_t number);

    int threads_ = 1;
    std::vector<std::unique_ptr<BandBuffers>> buffers_; // one per thread; grown under the mutex

    // A band is taken by raising `ticket_`: the job's number in the high 32
    // bits, the next band in the low ones, so that a worker that wakes late
    // takes nothing of a job already done or of the next. Render waits for
    // the bands taken to be finished, not for every worker to have woken:
    // on a busy machine a worker may get a core only long after the others
    // have drawn the whole frame.
    Job job_;
    uint32_t jobNumber_ = 0;
    std::atomic<uint64_t> ticket_{0};
    std::atomic<int> bandsLeft_{0};

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    int activeWorkers_ = 0; // workers called to the current job
    bool quit_ = false;
};

} // namespace movie::raster
