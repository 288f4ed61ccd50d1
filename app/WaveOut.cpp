#include "app/WaveOut.h"

#include <windows.h>
#include <mmsystem.h>

namespace {
// The device number stands where the functions take a device handle.
HWAVEOUT deviceHandle(unsigned device) {
    return reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(device));
}
} // namespace

bool SystemWaveOut::GetVolume(unsigned device, std::uint32_t& volume) {
    DWORD value = 0;
    if (waveOutGetVolume(deviceHandle(device), &value) != MMSYSERR_NOERROR) return false;
    volume = value;
    return true;
}

void SystemWaveOut::SetVolume(unsigned device, std::uint32_t volume) {
    waveOutSetVolume(deviceHandle(device), volume);
    if (OnSetVolume) OnSetVolume(device, volume);
}
