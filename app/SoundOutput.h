// Plays a mix through the wave mapper from a thread of its own: a few short
// buffers (about 23 ms each) kept queued, each refilled from the source as
// the device hands it back. The stream takes on the volume of the wave-out
// device it plays on whenever that changes, so levelling and muting the
// devices (VolumeGuard) act on it wherever the system keeps stream volumes
// apart from device ones. No device, or one that will not open, leaves the
// output closed and the movie silent.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

class SoundOutput {
public:
    static constexpr int Rate = 44100;
    static constexpr size_t BufferFrames = 1024;
    static constexpr size_t BufferCount = 4;

    // Fills `frames` stereo sample frames (2 * frames samples); runs on the
    // output thread.
    using Source = std::function<void(int16_t* out, size_t frames)>;

    explicit SoundOutput(Source source);
    ~SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    // True while the device is open and the thread plays.
    bool IsOpen() const { return wave_ != nullptr; }
    // The wave-out handle (for its volume), null when closed.
    HWAVEOUT Handle() const { return wave_; }

private:
    static DWORD WINAPI threadMain(void* self);
    void run();
    void fill(size_t index);
    void followDeviceVolume();

    Source source_;
    HWAVEOUT wave_ = nullptr;
    HANDLE done_ = nullptr; // signalled by the device as buffers come back
    HANDLE thread_ = nullptr;
    UINT device_ = 0;              // the device the mapper chose
    DWORD volume_ = 0xFFFFFFFF;    // the stream's volume as last set
    std::atomic<bool> stopping_{false};
    std::array<WAVEHDR, BufferCount> headers_{};
    std::array<std::vector<int16_t>, BufferCount> buffers_;
};
