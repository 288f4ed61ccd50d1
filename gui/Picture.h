// A holder of any graphic (Bitmap, JpegImage, Icon) with a change notification.
#pragma once

#include <functional>
#include <memory>

#include "gui/Graphic.h"

namespace gui {

class Bitmap;

class Picture {
  public:
    Picture() = default;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // The graphic held, or null when empty.
    gui::Graphic* Graphic() const { return graphic_.get(); }
    // Takes the graphic over (null empties the picture); raises OnChange.
    void SetGraphic(std::unique_ptr<gui::Graphic> graphic);
    // Holds a copy of other's graphic (empty when other is empty); raises OnChange.
    void Assign(const Picture& other);
    // Holds a copy of graphic; raises OnChange.
    void Assign(const gui::Graphic& graphic);
    // The graphic as a bitmap; an empty or non-bitmap picture is replaced by a new empty
    // bitmap first (which raises OnChange).
    gui::Bitmap& Bitmap();

    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }
    bool Empty() const { return !graphic_ || graphic_->Empty(); }

    // Raised after the picture holds another graphic and when the graphic held changes.
    std::function<void()> OnChange;

  private:
    void Changed();

    std::unique_ptr<gui::Graphic> graphic_;
};

} // namespace gui
