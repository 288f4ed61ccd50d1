// Pictures of windows made in the program itself: every window of a tree is asked to print
// into one off-screen bitmap (WM_PRINT), so nothing is read back from the display.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "gui/Bitmap.h"

namespace gallery {

// Paints window and its descendants that are shown (even while window itself is hidden), each clipped to its
// parent's client area, into bitmap (sized to the window; the window's top-left corner at (0, 0)).
void PrintWindowTree(HWND window, gui::Bitmap& bitmap);

// The bitmap as RGBA rows; pixels outside the window's region (when it has one) are fully
// transparent, all others opaque.
std::vector<std::uint8_t> PictureRgba(gui::Bitmap& bitmap, HWND window);

} // namespace gallery
