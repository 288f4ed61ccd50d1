// An icon loaded from a module's resources at 16 x 16 pixels.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "gui/Graphic.h"
#include "gui/Handle.h"

namespace gui {

class Icon : public Graphic {
  public:
    Icon() = default;
    Icon(const Icon& other);
    ~Icon() override;

    int Width() const override { return handle_ ? size_ : 0; }
    int Height() const override { return handle_ ? size_ : 0; }
    HICON Handle() const { return handle_.Get(); }

    // Loads the icon resource (RT_GROUP_ICON, such as "MAINICON") in its 16 x 16 image.
    // Missing: EResNotFound "Resource <name> not found".
    void LoadFromResourceName(HINSTANCE module, const std::string& name);

    // Drawn with its own mask, stretched to dest.
    void Draw(Canvas& canvas, const RECT& dest) const override;
    std::unique_ptr<Graphic> Clone() const override;

  private:
    void Reset();

    IconHandle handle_;
    int size_ = 16;
};

} // namespace gui
