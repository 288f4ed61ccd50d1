// Levels the wave-out devices 0 to 8 to the lowest volume found among them,
// mutes them while the movie plays when sound is off, and sets the level
// back when playing ends. The level is kept in whole percent, so the level
// set back is never above the lowest one found and can be below it.
#pragma once

#include "app/WaveOut.h"

#include <cstdint>

class VolumeGuard {
public:
    static constexpr unsigned DeviceCount = 9;
    static constexpr std::uint32_t FullChannel = 0xFFFF;

    explicit VolumeGuard(WaveOut& devices);

    // The levelled volume in whole percent, 0 to 100.
    std::int32_t SavedVolumePercent() const { return savedVolumePercent_; }

    // Sets every device to the lowest left-channel level found and remembers it.
    void SaveVolume();
    // Silence when sound is off, the saved level otherwise.
    void ApplySoundSetting(bool soundOff);
    // Sets every device back to the saved level.
    void Restore();

    // The channel level of a percentage: floor(percent * 65535 / 100).
    static std::uint32_t LevelOfPercent(std::int32_t percent);
    // Both channels at the same level.
    static std::uint32_t BothChannels(std::uint32_t level) { return level * 0x10001u; }

private:
    void setAll(std::uint32_t volume);

    WaveOut& devices_;
    std::int32_t savedVolumePercent_ = 0;
};
