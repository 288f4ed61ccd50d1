#include "skin/SUIMenu.h"

#include <cstring>

#include "gui/Application.h"
#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Font.h"
#include "gui/GdiObject.h"

namespace sui {

void HookMenuItems(gui::MenuItem& item, const gui::TMenuMeasureItemEvent& measure,
                   const gui::TMenuDrawItemEvent& draw) {
    item.OnDrawItem = draw;
    item.OnMeasureItem = measure;
    for (int i = 0; i < item.Count(); ++i)
        HookMenuItems(item.Items(i), measure, draw);
}

void DrawFlatMenuBorderOn(gui::Canvas& canvas, const RECT& w, gui::TColor outer, gui::TColor lineColor) {
    canvas.Brush().SetStyle(gui::bsSolid);
    canvas.Brush().SetColor(outer);
    canvas.FrameRect(RECT{w.left, w.top + 1, w.right - 1, w.bottom - 1});
    canvas.Brush().SetColor(gui::clWhite);
    canvas.FrameRect(RECT{w.left + 1, w.top + 2, w.right - 2, w.bottom - 2});
    canvas.Pen().SetColor(lineColor);
    canvas.Polyline({POINT{w.left, w.bottom - 1}, POINT{w.right - 1, w.bottom - 1}, POINT{w.right - 1, w.top},
                     POINT{w.right, w.top}, POINT{w.left, w.top}});
}

void DrawFlatMenuBorder(HWND window, gui::TColor outer, gui::TColor lineColor) {
    RECT w{};
    if (!GetWindowRect(window, &w)) return;
    gui::WindowDC screen(GetDesktopWindow(), true);
    gui::Canvas canvas(screen.Get());
    DrawFlatMenuBorderOn(canvas, w, outer, lineColor);
}

bool SetSystemMenuFont(gui::Font& font) {
    // The metrics as the system's first version of them had it: 340 bytes.
    constexpr UINT kMetricsSize = 340;
    static_assert(sizeof(NONCLIENTMETRICSA) >= kMetricsSize);
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = kMetricsSize;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kMetricsSize, &metrics, 0)) return false;
    const LOGFONTA& a = metrics.lfMenuFont;
    LOGFONTW w{};
    std::memcpy(&w, &a, offsetof(LOGFONTA, lfFaceName));
    MultiByteToWideChar(CP_ACP, 0, a.lfFaceName, -1, w.lfFaceName, LF_FACESIZE);
    font.AssignLogFont(w, gui::clMenuText);
    return true;
}

void MenuFillRect(gui::Canvas& canvas, const RECT& rect, gui::TColor color) {
    canvas.Brush().SetStyle(gui::bsSolid);
    canvas.Brush().SetColor(color);
    canvas.FillRect(rect);
}

void MenuFrameRect(gui::Canvas& canvas, const RECT& rect, gui::TColor color) {
    canvas.Brush().SetStyle(gui::bsSolid);
    canvas.Brush().SetColor(color);
    canvas.FrameRect(rect);
}

void DrawMenuSeparatorLine(gui::Canvas& canvas, int x1, int x2, int y, gui::TColor color) {
    canvas.Pen().SetColor(color);
    canvas.MoveTo(x1, y);
    canvas.LineTo(x2, y);
}

void DrawMacOSStripe(gui::Canvas& canvas, const RECT& rect, const char* name, int rows) {
    gui::Bitmap stripe;
    stripe.LoadFromResourceName(gui::App().ModuleHandle(), name);
    canvas.CopyRect(rect, stripe.Canvas(), RECT{0, 0, stripe.Width(), rows});
}

} // namespace sui
