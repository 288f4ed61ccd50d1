// A brush description (solid colour, clear, or a bitmap pattern) with a lazily created HBRUSH.
#pragma once

#include <cstdint>
#include <functional>

#include "gui/Color.h"
#include "gui/GdiObject.h"

namespace gui {

class Bitmap;

enum TBrushStyle : std::uint8_t { bsSolid, bsClear };

class Brush {
  public:
    // White, solid.
    Brush() = default;
    Brush(const Brush& other);
    Brush& operator=(const Brush&) = delete;

    TColor Color() const { return color_; }
    TBrushStyle Style() const { return style_; }
    // The pattern bitmap, or null; the brush does not own it and copies its pixels when the
    // handle is made.
    const gui::Bitmap* Bitmap() const { return bitmap_; }

    // Setting a colour makes a clear brush solid again.
    void SetColor(TColor color);
    void SetStyle(TBrushStyle style);
    // A pattern brush that repeats the bitmap from the DC's brush origin; null goes back to the
    // colour.
    void SetBitmap(const gui::Bitmap* bitmap);
    void Assign(const Brush& other);

    // Null for a clear brush.
    HBRUSH Handle() const;

    std::function<void()> OnChange;

  private:
    void Changed();

    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    const gui::Bitmap* bitmap_ = nullptr;
    mutable BrushHandle handle_;
};

} // namespace gui
