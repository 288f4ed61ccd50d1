// What the player window asks of its movie control: frames numbered from 0.
// Every call raises an error when the control fails it.
#pragma once

#include <cstdint>

class MovieControl {
public:
    virtual ~MovieControl() = default;
    virtual std::int32_t CurrentFrame() = 0;
    virtual void GotoFrame(std::int32_t frame) = 0;
    virtual void Play() = 0;
    virtual std::int32_t TotalFrames() = 0;
    virtual void Rewind() = 0;
};
