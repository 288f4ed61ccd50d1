// Levels the wave-out devices 0 to 8 to the lowest volume found among them,
// mutes them while the movie plays when sound is off, and sets the level
// back when playing ends. The level in whole percent is there for whoever
// reads it; the devices get the exact level found, so that a run of the
// saver leaves the volume where it was rather than a little lower each time.
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
    // The levelled channel level as found, 0 to 65535.
    std::uint32_t SavedLevel() const { return savedLevel_; }

    // Sets every device to the lowest left-channel level found and remembers it.
    void SaveVolume();
    // Silence when sound is off, the saved level otherwise.
    void ApplySoundSetting(bool soundOff);
    // Sets every device back to the level found.
    void Restore();

    // Both channels at the same level.
    static std::uint32_t BothChannels(std::uint32_t level) { return level * 0x10001u; }

  private:
    void setAll(std::uint32_t volume);

    WaveOut& devices_;
    std::int32_t savedVolumePercent_ = 0;
    std::uint32_t savedLevel_ = FullChannel;
};
