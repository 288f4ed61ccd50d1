#include "gui/Canvas.h"

#include <vector>

#include "gui/Exception.h"
#include "gui/GdiObject.h"
#include "gui/Graphic.h"
#include "gui/Text.h"

namespace gui {

namespace {

// Text colour and background of one text operation, put back afterwards.
class TextColors {
  public:
    TextColors(HDC dc, const Font& font, const Brush& brush)
        : dc_(dc), oldColor_(SetTextColor(dc, ColorToRGB(font.Color()))), oldMode_(GetBkMode(dc)),
          oldBack_(GetBkColor(dc)) {
        if (brush.Style() == bsClear) {
            SetBkMode(dc, TRANSPARENT);
        } else {
            SetBkMode(dc, OPAQUE);
            SetBkColor(dc, ColorToRGB(brush.Color()));
        }
    }
    TextColors(const TextColors&) = delete;
    TextColors& operator=(const TextColors&) = delete;
    ~TextColors() {
        SetTextColor(dc_, oldColor_);
        SetBkMode(dc_, oldMode_);
        SetBkColor(dc_, oldBack_);
    }

  private:
    HDC dc_;
    COLORREF oldColor_;
    int oldMode_;
    COLORREF oldBack_;
};

HGDIOBJ BrushOrNull(const Brush& brush) {
    HBRUSH handle = brush.Handle();
    return handle ? static_cast<HGDIOBJ>(handle) : GetStockObject(NULL_BRUSH);
}

} // namespace

void Canvas::RequireHandle() const {
    if (!dc_.Get()) throw Exception("Canvas does not allow drawing");
}

void Canvas::FillRect(const RECT& rect) {
    RequireHandle();
    if (HBRUSH brush = brush_.Handle()) ::FillRect(dc_.Get(), &rect, brush);
}

void Canvas::FrameRect(const RECT& rect) {
    RequireHandle();
    if (HBRUSH brush = brush_.Handle()) ::FrameRect(dc_.Get(), &rect, brush);
}

void Canvas::Rectangle(int left, int top, int right, int bottom) {
    RequireHandle();
    SelectObjectGuard pen(dc_.Get(), pen_.Handle());
    SelectObjectGuard brush(dc_.Get(), BrushOrNull(brush_));
    ::Rectangle(dc_.Get(), left, top, right, bottom);
}

void Canvas::Polyline(std::initializer_list<POINT> points) {
    Polyline(points.begin(), static_cast<int>(points.size()));
}

void Canvas::Polyline(const POINT* points, int count) {
    RequireHandle();
    if (count < 2) return;
    SelectObjectGuard pen(dc_.Get(), pen_.Handle());
    ::Polyline(dc_.Get(), points, count);
    penPos_ = points[count - 1];
}

void Canvas::MoveTo(int x, int y) {
    penPos_ = POINT{x, y};
}

void Canvas::LineTo(int x, int y) {
    RequireHandle();
    SelectObjectGuard pen(dc_.Get(), pen_.Handle());
    MoveToEx(dc_.Get(), penPos_.x, penPos_.y, nullptr);
    ::LineTo(dc_.Get(), x, y);
    penPos_ = POINT{x, y};
}

void Canvas::DrawFocusRect(const RECT& rect) {
    RequireHandle();
    const COLORREF oldText = SetTextColor(dc_.Get(), RGB(0, 0, 0));
    const COLORREF oldBack = SetBkColor(dc_.Get(), RGB(255, 255, 255));
    ::DrawFocusRect(dc_.Get(), &rect);
    SetTextColor(dc_.Get(), oldText);
    SetBkColor(dc_.Get(), oldBack);
}

void Canvas::TextOut(int x, int y, const std::string& text) {
    RequireHandle();
    const std::wstring wide = Utf8ToWide(text);
    SelectObjectGuard font(dc_.Get(), font_.Handle());
    TextColors colors(dc_.Get(), font_, brush_);
    ::TextOutW(dc_.Get(), x, y, wide.c_str(), static_cast<int>(wide.size()));
}

SIZE Canvas::TextExtent(const std::string& text) {
    RequireHandle();
    const std::wstring wide = Utf8ToWide(text);
    SelectObjectGuard font(dc_.Get(), font_.Handle());
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc_.Get(), wide.c_str(), static_cast<int>(wide.size()), &size);
    return size;
}

int Canvas::TextWidth(const std::string& text) {
    return TextExtent(text).cx;
}

int Canvas::TextHeight(const std::string& text) {
    return TextExtent(text).cy;
}

int Canvas::DrawText(const std::string& text, RECT& rect, UINT format) {
    RequireHandle();
    std::wstring wide = Utf8ToWide(text);
    SelectObjectGuard font(dc_.Get(), font_.Handle());
    TextColors colors(dc_.Get(), font_, brush_);
    return ::DrawTextW(dc_.Get(), wide.c_str(), static_cast<int>(wide.size()), &rect, format);
}

void Canvas::Draw(int x, int y, const Graphic& graphic) {
    if (graphic.Empty()) return;
    StretchDraw(MakeBounds(x, y, graphic.Width(), graphic.Height()), graphic);
}

void Canvas::StretchDraw(const RECT& dest, const Graphic& graphic) {
    RequireHandle();
    if (graphic.Empty()) return;
    graphic.Draw(*this, dest);
}

void Canvas::CopyRect(const RECT& dest, const Canvas& source, const RECT& sourceRect) {
    RequireHandle();
    source.RequireHandle();
    const int oldMode = SetStretchBltMode(dc_.Get(), COLORONCOLOR);
    StretchBlt(dc_.Get(), dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
               source.dc_.Get(), sourceRect.left, sourceRect.top, sourceRect.right - sourceRect.left,
               sourceRect.bottom - sourceRect.top, copyMode_);
    SetStretchBltMode(dc_.Get(), oldMode);
}

TColor Canvas::Pixel(int x, int y) const {
    RequireHandle();
    const COLORREF color = GetPixel(dc_.Get(), x, y);
    return color == CLR_INVALID ? clNone : static_cast<TColor>(color);
}

void Canvas::SetPixel(int x, int y, TColor color) {
    RequireHandle();
    ::SetPixelV(dc_.Get(), x, y, ColorToRGB(color));
}

int Canvas::SaveState() {
    RequireHandle();
    return SaveDC(dc_.Get());
}

void Canvas::RestoreState(int saved) {
    RequireHandle();
    RestoreDC(dc_.Get(), saved);
}

} // namespace gui
