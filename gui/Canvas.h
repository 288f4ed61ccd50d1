// Drawing on a device context with a font, pen and brush, in the framework's colours.
// The canvas selects its objects only for the duration of each operation and puts the DC's
// own objects back, so a font or brush can change at any time without leaking.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "gui/Brush.h"
#include "gui/Color.h"
#include "gui/Font.h"
#include "gui/Handle.h"
#include "gui/Pen.h"

namespace gui {

class Graphic;

inline RECT MakeRect(int left, int top, int right, int bottom) {
    return RECT{left, top, right, bottom};
}
inline RECT MakeBounds(int left, int top, int width, int height) {
    return RECT{left, top, left + width, top + height};
}

class Canvas {
  public:
    // Without a DC until SetHandle; a bitmap's canvas gets its DC from the bitmap.
    Canvas() = default;
    explicit Canvas(HDC dc) : dc_(dc) {}
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // The DC drawn on; borrowed, never released by the canvas.
    HDC Handle() const { return dc_.Get(); }
    void SetHandle(HDC dc) { dc_ = dc; }

    gui::Font& Font() { return font_; }
    gui::Pen& Pen() { return pen_; }
    gui::Brush& Brush() { return brush_; }
    void SetFont(const gui::Font& font) { font_.Assign(font); }
    void SetPen(const gui::Pen& pen) { pen_.Assign(pen); }
    void SetBrush(const gui::Brush& brush) { brush_.Assign(brush); }
    // Raster operation of CopyRect and of Draw/StretchDraw of bitmaps; SRCCOPY by default.
    DWORD CopyMode() const { return copyMode_; }
    void SetCopyMode(DWORD rop) { copyMode_ = rop; }

    // Rectangles exclude their right and bottom edges, as everywhere in GDI.
    void FillRect(const RECT& rect);
    void FrameRect(const RECT& rect);                         // one pixel in the brush colour
    void Rectangle(int left, int top, int right, int bottom); // pen outline, brush inside
    void Rectangle(const RECT& rect) { Rectangle(rect.left, rect.top, rect.right, rect.bottom); }
    void Polyline(std::initializer_list<POINT> points);
    void Polyline(const POINT* points, int count);
    void MoveTo(int x, int y);
    void LineTo(int x, int y); // the end point itself is not drawn
    POINT PenPos() const { return penPos_; }
    void DrawFocusRect(const RECT& rect);

    // Text in Font (its colour); with a clear brush without background, otherwise on the brush
    // colour. Text is UTF-8.
    void TextOut(int x, int y, const std::string& text);
    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);
    SIZE TextExtent(const std::string& text);
    // DrawText with DT_* flags; rect is updated with DT_CALCRECT. Returns the text height.
    int DrawText(const std::string& text, RECT& rect, UINT format);

    void Draw(int x, int y, const Graphic& graphic);
    void StretchDraw(const RECT& dest, const Graphic& graphic);
    // Copies source's sourceRect into dest, stretching (pixel replication) when sizes differ.
    void CopyRect(const RECT& dest, const Canvas& source, const RECT& sourceRect);

    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // SaveDC/RestoreDC of the canvas's DC (clip region, viewport origin, modes).
    int SaveState();
    void RestoreState(int saved);

  private:
    void RequireHandle() const;

    Borrowed<HDC> dc_;
    gui::Font font_;
    gui::Pen pen_;
    gui::Brush brush_;
    POINT penPos_{0, 0};
    DWORD copyMode_ = SRCCOPY;
};

} // namespace gui
