// Keeps a movie moving that halts on a frame: on each tick it compares the
// current frame with the one it saw on the tick before and, when the number
// has not changed, pushes the movie one frame on and plays from there. Once
// the count has passed the movie's frame count, the movie is rewound and
// counting starts again. A looping movie that wrapped from its last frame to
// its first has changed its frame and is left alone.
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
    void SetLastFrame(std::int32_t frame) { lastFrame_ = seen_ = frame; }

    // One timer tick. An error from the control leaves the rest of the tick
    // undone; when it comes after the timer was switched off, the timer stays off.
    void Tick();

  private:
    MovieControl& movie_;
    std::function<void(bool)> enableTimer_;
    std::int32_t lastFrame_ = -1;
    // The frame the movie stood on when the last tick ended: a push can count
    // past the last frame, the movie cannot.
    std::int32_t seen_ = -1;
};
