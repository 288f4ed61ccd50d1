// A paint composed off screen and copied in one block, so that nothing flickers: draw on
// Canvas() (a white bitmap of the given size to begin with), then Present copies the picture,
// or a part of it, to the target device context in one block transfer.
#pragma once

#include <windows.h>

#include "gui/Bitmap.h"
#include "gui/Canvas.h"

namespace gui {

class OffscreenPaint {
  public:
    OffscreenPaint(int width, int height) : buffer_(width, height) {}
    OffscreenPaint(const OffscreenPaint&) = delete;
    OffscreenPaint& operator=(const OffscreenPaint&) = delete;

    int Width() const { return buffer_.Width(); }
    int Height() const { return buffer_.Height(); }
    gui::Bitmap& Bitmap() { return buffer_; }
    gui::Canvas& Canvas() { return buffer_.Canvas(); }

    // Copies the whole picture to target with its top-left corner at (x, y).
    void Present(HDC target, int x = 0, int y = 0);
    // Copies one part of the picture to the same place on target.
    void Present(HDC target, const RECT& part);

  private:
    gui::Bitmap buffer_;
};

} // namespace gui
