// Pixels of what a window shows: its whole window (frame included) copied into a bitmap, and
// colours turned into the bitmap's pixel form.
#pragma once

#include <windows.h>

#include <cstdint>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Color.h"
#include "gui/GdiObject.h"
#include "gui/WinControl.h"
#include "tests/skin/SkinPixels.h"

namespace windowpixels {

using skintest::PixelOf;

// Paints what is pending (frame, background, content) and copies the whole window.
inline gui::Bitmap Snapshot(gui::WinControl& control) {
  HWND window = control.Handle();
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW);
  RECT r{};
  GetWindowRect(window, &r);
  gui::Bitmap shot(r.right - r.left, r.bottom - r.top);
  gui::WindowDC dc(window, true);
  BitBlt(shot.Canvas().Handle(), 0, 0, shot.Width(), shot.Height(), dc.Get(), 0, 0, SRCCOPY);
  return shot;
}

}  // namespace windowpixels
