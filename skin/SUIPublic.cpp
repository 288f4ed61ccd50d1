// Shared drawing and geometry routines of the skin.
#include "skin/SUIPublic.h"

#include "gui/Bitmap.h"
#include "gui/Canvas.h"
#include "gui/Control.h"
#include "gui/GdiObject.h"
#include "gui/ImageList.h"
#include "gui/Picture.h"
#include "gui/WinControl.h"

namespace sui {

namespace {

bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// Adds a skin bitmap to an image list, keyed on its top-left pixel when asked.
void AddSkin(gui::ImageList& list, gui::Bitmap& bitmap, bool transparent) {
    if (transparent) {
        list.AddMasked(bitmap, bitmap.Canvas().Pixel(0, 0));
    } else {
        list.Add(bitmap, nullptr);
    }
}

} // namespace

void DrawParentBackground(gui::Canvas& canvas, gui::Control* control) {
    if (control == nullptr) return;
    gui::WinControl* parent = control->Parent();
    if (parent == nullptr) return;
    HDC dc = canvas.Handle();
    gui::SaveDCGuard saved(dc);
    // Shift the origin so that the parent's client coordinates land where the control lies.
    POINT origin{};
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x - control->Left(), origin.y - control->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
    const auto wParam = reinterpret_cast<WPARAM>(dc);
    parent->Perform(WM_ERASEBKGND, wParam, 0);
    parent->Perform(WM_PAINT, wParam, 0);
}

void TileDraw(gui::Canvas& canvas, const gui::Picture& picture, const RECT& rect) {
    const gui::Graphic* graphic = picture.Graphic();
    const int w = picture.Width();
    const int h = picture.Height();
    if (graphic == nullptr || w <= 0 || h <= 0) return;
    // Tiles start at the canvas origin and run one tile past the covered size.
    for (int x = 0; x < w + (rect.right - rect.left); x += w) {
        for (int y = 0; y < h + (rect.bottom - rect.top); y += h) {
            canvas.Draw(x, y, *graphic);
        }
    }
}

void DrawSkinStretched(gui::Bitmap& bitmap, gui::Canvas& canvas, const RECT& rect, bool transparent) {
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    const int dw = rect.right - rect.left;
    const int dh = rect.bottom - rect.top;
    if (w <= 0 || h <= 0 || IsEmpty(rect)) return;
    const RECT whole = gui::MakeRect(0, 0, w, h);

    // Horizontal pass: left half unscaled, the middle column repeated, right half flush right.
    gui::Bitmap row(dw, h);
    row.Canvas().CopyRect(gui::MakeBounds(dw - w, 0, w, h), bitmap.Canvas(), whole);
    row.Canvas().CopyRect(gui::MakeRect(0, 0, dw - w / 2, h), bitmap.Canvas(),
                          gui::MakeRect(w / 2, 0, w / 2 + 1, h));
    row.Canvas().CopyRect(gui::MakeRect(0, 0, w / 2, h), bitmap.Canvas(), gui::MakeRect(0, 0, w / 2, h));

    // Vertical pass: top half, bottom half flush with the bottom, the middle row repeated.
    const int half = h / 2;
    gui::Bitmap result(dw, dh);
    gui::Canvas& out = result.Canvas();
    out.CopyRect(gui::MakeRect(0, 0, dw, half), row.Canvas(), gui::MakeRect(0, 0, dw, half));
    out.CopyRect(gui::MakeRect(0, dh - half - 1, dw, dh), row.Canvas(), gui::MakeRect(0, half, dw, h));
    if (dh - half - 1 > half) {
        out.CopyRect(gui::MakeRect(0, half, dw, dh - half - 1), row.Canvas(),
                     gui::MakeRect(0, half, dw, half + 1));
    }

    gui::ImageList list(dw, dh);
    AddSkin(list, result, transparent);
    list.Draw(canvas, rect.left, rect.top, 0);
}

void DrawThreePart(gui::Bitmap& bitmap, gui::Canvas& canvas, const RECT& rect, bool transparent) {
    const int slice = bitmap.Width() / 3;
    const int h = bitmap.Height();
    if (slice <= 0 || h <= 0 || IsEmpty(rect)) return;
    gui::ImageList list(slice, h);
    AddSkin(list, bitmap, transparent);
    list.Draw(canvas, rect.left, rect.top, 0);
    list.Draw(canvas, rect.right - slice, rect.top, 2);
    gui::Bitmap middle;
    list.GetBitmap(1, middle);
    canvas.StretchDraw(gui::MakeRect(rect.left + slice, rect.top, rect.right - slice, rect.bottom), middle);
}

void DrawControlBorder(gui::WinControl* control, gui::TColor outer, gui::TColor inner) {
    if (control == nullptr) return;
    HWND window = control->Handle();
    gui::WindowDC dc(window, true);
    RECT r{};
    GetWindowRect(window, &r);
    OffsetRect(&r, -r.left, -r.top);
    DrawControlBorder(dc.Get(), r, outer, inner);
}

void DrawControlBorder(HDC dc, const RECT& rect, gui::TColor outer, gui::TColor inner) {
    RECT r = rect;
    {
        gui::BrushHandle brush(CreateSolidBrush(gui::ColorToRGB(outer)));
        FrameRect(dc, &r, brush.Get());
    }
    InflateRect(&r, -1, -1);
    gui::BrushHandle brush(CreateSolidBrush(gui::ColorToRGB(inner)));
    FrameRect(dc, &r, brush.Get());
}

void RotateBitmap90(gui::Bitmap& bitmap) {
    const int w = bitmap.Width();
    const int h = bitmap.Height();
    if (w <= 0 || h <= 0) return;
    gui::Bitmap turned(h, w);
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* src = bitmap.ScanLine(y);
        for (int x = 0; x < w; ++x)
            turned.ScanLine(w - 1 - x)[y] = src[x];
    }
    bitmap.SetSize(h, w);
    for (int y = 0; y < w; ++y) {
        const std::uint32_t* src = turned.ScanLine(y);
        std::uint32_t* dst = bitmap.ScanLine(y);
        for (int x = 0; x < h; ++x)
            dst[x] = src[x];
    }
}

bool PointInRectInclusive(POINT point, const RECT& rect) {
    return point.x >= rect.left && point.x <= rect.right && point.y >= rect.top && point.y <= rect.bottom;
}

bool GetWorkAreaRect(RECT& rect) {
    return SystemParametersInfoA(SPI_GETWORKAREA, 0, &rect, 0) != FALSE;
}

void SetControlPosition(gui::Control* control, POINT point) {
    control->SetLeft(point.x);
    control->SetTop(point.y);
}

void SetFormBounds(gui::Control* form, const RECT& rect) {
    form->SetLeft(rect.left);
    form->SetTop(rect.top);
    form->SetWidth(rect.right - rect.left);
    form->SetHeight(rect.bottom - rect.top);
}

} // namespace sui
