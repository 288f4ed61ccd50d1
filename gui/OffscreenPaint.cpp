#include "gui/OffscreenPaint.h"

namespace gui {

void OffscreenPaint::Present(HDC target, int x, int y) {
    if (Width() <= 0 || Height() <= 0) return;
    GdiFlush();
    BitBlt(target, x, y, Width(), Height(), Canvas().Handle(), 0, 0, SRCCOPY);
}

void OffscreenPaint::Present(HDC target, const RECT& part) {
    if (part.right <= part.left || part.bottom <= part.top || Width() <= 0 || Height() <= 0) return;
    GdiFlush();
    BitBlt(target, part.left, part.top, part.right - part.left, part.bottom - part.top, Canvas().Handle(),
           part.left, part.top, SRCCOPY);
}

} // namespace gui
