#include "app/ut_writereg.h"

#include "gui/Exception.h"
#include "gui/Registry.h"
#include "gui/Text.h"

namespace settings_store {

const char* const DesktopKey = "\\Control Panel\\Desktop";

namespace {
// Opens the key for reading and writing, never creating it.
bool openDesktop(gui::Registry& registry, const std::string& key) {
    registry.SetRootKey(HKEY_CURRENT_USER);
    return registry.OpenKey(key, false);
}
} // namespace

void WriteSettingsAt(const std::string& key, std::int32_t minutes, bool soundOff) {
    gui::Registry registry;
    if (!openDesktop(registry, key)) return;
    // Minutes × 60 in 32-bit arithmetic that wraps rather than overflows.
    auto seconds = static_cast<std::int32_t>(static_cast<std::uint32_t>(minutes) * 60u);
    registry.WriteString("ScreenSaveTimeOut", gui::IntToStr(seconds));
    registry.WriteString("ScreenSaveActive", "1");
    registry.WriteInteger("soundoff", soundOff ? 1 : 0);
}

std::int32_t ReadTimeoutSecondsAt(const std::string& key) {
    gui::Registry registry;
    if (!openDesktop(registry, key)) return TimeoutWhenUnreadable;
    return gui::StrToInt(registry.ReadString("ScreenSaveTimeOut"));
}

bool ReadSoundOffAt(const std::string& key) {
    gui::Registry registry;
    if (!openDesktop(registry, key)) return false;
    try {
        registry.ReadInteger("soundoff");
    } catch (const gui::ERegistryException&) {
        // Missing, of another type or too long: put a DWORD 0 in its place.
        registry.WriteInteger("soundoff", 0);
    }
    return registry.ReadInteger("soundoff") != 0;
}

} // namespace settings_store

void WriteSettings(std::int32_t minutes, bool soundOff) {
    settings_store::WriteSettingsAt(settings_store::DesktopKey, minutes, soundOff);
}

std::int32_t ReadTimeoutSeconds() { return settings_store::ReadTimeoutSecondsAt(settings_store::DesktopKey); }

bool ReadSoundOff() { return settings_store::ReadSoundOffAt(settings_store::DesktopKey); }
