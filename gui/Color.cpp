#include "gui/Color.h"

#include <windows.h>

namespace gui {

std::uint32_t ColorToRGB(TColor color) {
    if (IsSystemColor(color)) return GetSysColor(static_cast<int>(color & 0xFF));
    if (color == clNone || color == clDefault) return 0;
    return color & 0x00FFFFFF;
}

} // namespace gui
