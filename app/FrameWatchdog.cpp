#include "app/FrameWatchdog.h"

#include <utility>

FrameWatchdog::FrameWatchdog(MovieControl& movie, std::function<void(bool)> enableTimer)
    : movie_(movie), enableTimer_(std::move(enableTimer)) {}

void FrameWatchdog::Tick() {
    std::int32_t current = movie_.CurrentFrame();
    if (current > lastFrame_ || current != seen_) {
        // The movie moved on (a wrap to the first frame included); the second
        // answer is the one kept.
        lastFrame_ = seen_ = movie_.CurrentFrame();
        return;
    }
    enableTimer_(false);
    movie_.GotoFrame(lastFrame_ + 1);
    movie_.Play();
    lastFrame_ = lastFrame_ + 1;
    if (movie_.TotalFrames() < lastFrame_) {
        lastFrame_ = -1;
        movie_.Rewind();
    }
    seen_ = movie_.CurrentFrame();
    enableTimer_(true);
}
