// The wave-out volume of the multimedia library, one 32-bit word per device:
// the left channel in the low 16 bits, the right channel in the high 16 bits.
#pragma once

#include <cstdint>

class WaveOut {
public:
    virtual ~WaveOut() = default;
    // False when the device does not exist or does not answer.
    virtual bool GetVolume(unsigned device, std::uint32_t& volume) = 0;
    // The result is of no interest to the caller.
    virtual void SetVolume(unsigned device, std::uint32_t volume) = 0;
};

// The real devices through waveOutGetVolume / waveOutSetVolume.
class SystemWaveOut final : public WaveOut {
public:
    bool GetVolume(unsigned device, std::uint32_t& volume) override;
    void SetVolume(unsigned device, std::uint32_t volume) override;
};
