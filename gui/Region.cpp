#include "gui/Region.h"

namespace gui {

Region Region::Rect(int left, int top, int right, int bottom) {
    return Region(CreateRectRgn(left, top, right, bottom));
}

Region Region::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) {
    return Region(CreateRoundRectRgn(left, top, right, bottom, cornerWidth, cornerHeight));
}

void Region::Union(const Region& other) {
    if (handle_ && other.handle_) CombineRgn(handle_.Get(), handle_.Get(), other.handle_.Get(), RGN_OR);
}

bool Region::Contains(int x, int y) const {
    return handle_ && PtInRegion(handle_.Get(), x, y);
}

void Region::ApplyTo(HWND window, bool redraw) {
    if (!handle_) return;
    if (SetWindowRgn(window, handle_.Get(), redraw ? TRUE : FALSE)) handle_.Release();
}

} // namespace gui
