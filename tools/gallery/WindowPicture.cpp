#include "tools/gallery/WindowPicture.h"

#include <algorithm>

#include "gui/GdiObject.h"

namespace gallery {

namespace {

// The window's children from the bottom of the z-order up: the order they are painted in.
std::vector<HWND> ChildrenBottomUp(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    std::reverse(children.begin(), children.end());
    return children;
}

// clip: the part of the bitmap the window may paint (its parent's client area), in bitmap
// coordinates; origin: the bitmap point of the root window's top-left corner on the screen.
void PrintTree(HWND window, HDC dc, POINT origin, RECT clip) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    OffsetRect(&bounds, -origin.x, -origin.y);
    POINT client{0, 0};
    ClientToScreen(window, &client);
    RECT inner{};
    GetClientRect(window, &inner);
    OffsetRect(&inner, client.x - origin.x, client.y - origin.y);

    RECT visible{};
    if (!IntersectRect(&visible, &bounds, &clip)) return;
    {
        gui::SaveDCGuard saved(dc);
        IntersectClipRect(dc, visible.left, visible.top, visible.right, visible.bottom);
        SetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
        SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT);
    }
    RECT visibleClient{};
    if (!IntersectRect(&visibleClient, &inner, &clip)) return;
    {
        gui::SaveDCGuard saved(dc);
        IntersectClipRect(dc, visibleClient.left, visibleClient.top, visibleClient.right,
                          visibleClient.bottom);
        SetViewportOrgEx(dc, inner.left, inner.top, nullptr);
        SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_ERASEBKGND | PRF_CLIENT);
    }
    for (HWND child : ChildrenBottomUp(window))
        if (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) PrintTree(child, dc, origin, visibleClient);
}

} // namespace

void PrintWindowTree(HWND window, gui::Bitmap& bitmap) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    bitmap.SetSize(0, 0);
    bitmap.SetSize(bounds.right - bounds.left, bounds.bottom - bounds.top);
    const RECT whole{0, 0, bitmap.Width(), bitmap.Height()};
    PrintTree(window, bitmap.Canvas().Handle(), POINT{bounds.left, bounds.top}, whole);
    GdiFlush();
}

std::vector<std::uint8_t> PictureRgba(gui::Bitmap& bitmap, HWND window) {
    gui::RegionHandle region(CreateRectRgn(0, 0, 0, 0));
    const bool shaped = GetWindowRgn(window, region.Get()) != ERROR;
    std::vector<std::uint8_t> rgba;
    rgba.reserve(static_cast<size_t>(bitmap.Width()) * bitmap.Height() * 4);
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint32_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            const std::uint32_t p = row[x];
            rgba.push_back(static_cast<std::uint8_t>(p >> 16));
            rgba.push_back(static_cast<std::uint8_t>(p >> 8));
            rgba.push_back(static_cast<std::uint8_t>(p));
            rgba.push_back(!shaped || PtInRegion(region.Get(), x, y) ? 0xFF : 0);
        }
    }
    return rgba;
}

} // namespace gallery
