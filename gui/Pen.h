// A pen description (colour, width, style) with a lazily created HPEN.
#pragma once

#include <cstdint>
#include <functional>

#include "gui/Color.h"
#include "gui/GdiObject.h"

namespace gui {

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psClear };

class Pen {
  public:
    // Black, width 1, solid.
    Pen() = default;
    Pen(const Pen& other);
    Pen& operator=(const Pen&) = delete;

    TColor Color() const { return color_; }
    int Width() const { return width_; }
    TPenStyle Style() const { return style_; }
    void SetColor(TColor color);
    void SetWidth(int width);
    void SetStyle(TPenStyle style);
    void Assign(const Pen& other);

    HPEN Handle() const;

    std::function<void()> OnChange;

  private:
    void Changed();

    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    mutable PenHandle handle_;
};

} // namespace gui
