// The common face of the pictures a canvas can draw: Bitmap, JpegImage, Icon.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

namespace gui {

class Canvas;

class Graphic {
  public:
    virtual ~Graphic() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    bool Empty() const { return Width() == 0 || Height() == 0; }

    // Draw with the key colour left out (what the key is depends on the kind of graphic).
    bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool transparent);

    // Draws the graphic into dest on the canvas, stretched when dest differs from its size.
    virtual void Draw(Canvas& canvas, const RECT& dest) const = 0;
    // A deep copy of the same kind.
    virtual std::unique_ptr<Graphic> Clone() const = 0;

    // Raised after the graphic's contents or flags changed.
    std::function<void()> OnChange;

  protected:
    Graphic() = default;
    Graphic(const Graphic& other) : transparent_(other.transparent_) {}
    Graphic& operator=(const Graphic&) = delete;
    void Changed();

    bool transparent_ = false;
};

} // namespace gui
