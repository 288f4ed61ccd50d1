// Plays a mix through the wave mapper from a thread of its own: a few short
// buffers (about 23 ms each) kept queued, each refilled from the source as
// the device hands it back, at the volume last asked for. No device, or one
// that will not open, leaves the output closed and the movie silent.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "gui/Handle.h"

class SoundOutput {
  public:
    static constexpr int Rate = 44100;
    static constexpr size_t BufferFrames = 1024;
    static constexpr size_t BufferCount = 4;

    // Fills `frames` stereo sample frames (2 * frames samples); runs on the
    // output thread.
    using Source = std::function<void(int16_t* out, size_t frames)>;

    // `volume`: a wave-out volume word (left channel low, right high).
    SoundOutput(Source source, std::uint32_t volume);
    ~SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    // True while the device is open and the thread plays.
    bool IsOpen() const { return wave_ != nullptr; }
    // Applied to the stream before the next buffer goes out.
    void SetVolume(std::uint32_t volume) { volume_ = volume; }

  private:
    static DWORD WINAPI threadMain(void* self);
    void run();
    void fill(size_t index);
    void applyVolume();

    Source source_;
    HWAVEOUT wave_ = nullptr;
    gui::KernelHandle done_; // signalled by the device as buffers come back
    gui::KernelHandle thread_;
    std::atomic<std::uint32_t> volume_;
    std::uint32_t applied_ = 0xFFFFFFFF; // what the stream has (full at opening)
    std::atomic<bool> stopping_{false};
    std::array<WAVEHDR, BufferCount> headers_{};
    std::array<std::vector<int16_t>, BufferCount> buffers_;
};
