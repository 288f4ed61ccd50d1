// The saver's two settings in the current user's registry, beside the
// system's own screen-saver values under "\Control Panel\Desktop": the idle
// delay (the system's "ScreenSaveTimeOut", in seconds) and the "soundoff"
// flag. Every operation opens the key, does its work and closes it again;
// nothing is kept between calls.
#pragma once

#include <cstdint>
#include <string>

// Stores minutes × 60 as "ScreenSaveTimeOut", "1" as "ScreenSaveActive" and
// the flag as "soundoff", in that order. Nothing happens when the key cannot
// be opened; a value that cannot be written raises an error and the later
// ones are not written.
void WriteSettings(std::int32_t minutes, bool soundOff);

// "ScreenSaveTimeOut" converted to an integer; a missing, empty or
// non-numeric text or a value of another type raises an error.
// 900 when the key cannot be opened.
std::int32_t ReadTimeoutSeconds();

// "soundoff" as a flag. A value that is missing or not a 4-byte DWORD is
// replaced by DWORD 0 (and reads false). False when the key cannot be opened.
bool ReadSoundOff();

// The same operations on another key of HKEY_CURRENT_USER.
namespace settings_store {
extern const char* const DesktopKey;
constexpr std::int32_t TimeoutWhenUnreadable = 900;
void WriteSettingsAt(const std::string& key, std::int32_t minutes, bool soundOff);
std::int32_t ReadTimeoutSecondsAt(const std::string& key);
bool ReadSoundOffAt(const std::string& key);
} // namespace settings_store
