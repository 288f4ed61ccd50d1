// The wave-out volume of the multimedia library, one 32-bit word per device:
// the left channel in the low 16 bits, the right channel in the high 16 bits.
#pragma once

#include <cstdint>
#include <functional>

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

    // Raised after each SetVolume, whatever the system answered: systems
    // that keep a volume per stream rather than per device (or refuse a
    // device number for a handle) leave it to the program to carry the
    // volume over to the streams it plays.
    std::function<void(unsigned device, std::uint32_t volume)> OnSetVolume;
};
