// A window region, owned until it is handed to a window.
#pragma once

#include <windows.h>

#include "gui/GdiObject.h"

namespace gui {

class Region {
  public:
    // The rectangle [left, right) x [top, bottom).
    static Region Rect(int left, int top, int right, int bottom);
    // CreateRoundRectRgn: corner ellipse of cornerWidth x cornerHeight.
    static Region RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);

    Region(Region&&) = default;
    Region& operator=(Region&&) = default;

    HRGN Handle() const { return handle_.Get(); }
    // Adds other's area to this region.
    void Union(const Region& other);
    bool Contains(int x, int y) const;
    // SetWindowRgn: the window owns the region from then on and this object is empty.
    void ApplyTo(HWND window, bool redraw);

  private:
    explicit Region(HRGN handle) : handle_(handle) {}
    RegionHandle handle_;
};

} // namespace gui
