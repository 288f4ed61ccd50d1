// Keeps a movie moving that halts on a frame: on each tick it compares the
// current frame with the last one seen and, when there is no progress, pushes
// the movie one frame on and plays from there. Once the count has passed the
// movie's frame count, the movie is rewound and counting starts again.
#pragma once

#include "app/MovieControl.h"

#include <cstdint>
#include <functional>

class FrameWatchdog {
public:
    // enableTimer switches the timer that drives Tick on and off.
    FrameWatchdog(MovieControl& movie, std::function<void(bool)> enableTimer);

    // The last frame seen or pushed to; -1 = none yet.
    std::int32_t LastFrame() const { return lastFrame_; }
    void SetLastFrame(std::int32_t frame) { lastFrame_ = frame; }

    // One timer tick. An error from the control leaves the rest of the tick
    // undone; when it comes after the timer was switched off, the timer stays off.
    void Tick();

private:
    MovieControl& movie_;
    std::function<void(bool)> enableTimer_;
    std::int32_t lastFrame_ = -1;
};
