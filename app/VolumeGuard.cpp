#include "app/VolumeGuard.h"

VolumeGuard::VolumeGuard(WaveOut& devices) : devices_(devices) {}

void VolumeGuard::SaveVolume() {
    std::uint32_t lowest = FullChannel;
    for (unsigned device = 0; device < DeviceCount; ++device) {
        std::uint32_t volume = 0;
        if (!devices_.GetVolume(device, volume)) continue;
        std::uint32_t left = volume & 0xFFFFu;
        if (left < lowest) lowest = left;
    }
    setAll(BothChannels(lowest));
    savedLevel_ = lowest;
    savedVolumePercent_ = static_cast<std::int32_t>(lowest * 100 / FullChannel);
}

void VolumeGuard::ApplySoundSetting(bool soundOff) {
    setAll(soundOff ? 0 : BothChannels(savedLevel_));
}

void VolumeGuard::Restore() {
    setAll(BothChannels(savedLevel_));
}

void VolumeGuard::setAll(std::uint32_t volume) {
    for (unsigned device = 0; device < DeviceCount; ++device)
        devices_.SetVolume(device, volume);
}
