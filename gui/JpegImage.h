// A JPEG picture, decoded with libjpeg into a 32-bit bitmap.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/Bitmap.h"
#include "gui/Graphic.h"

namespace gui {

class JpegImage : public Graphic {
  public:
    JpegImage() = default;
    JpegImage(const JpegImage& other);

    int Width() const override { return bitmap_.Width(); }
    int Height() const override { return bitmap_.Height(); }

    // Each load replaces the picture; bad data throws EInvalidGraphic and keeps the old one.
    void LoadFromMemory(const std::uint8_t* data, std::size_t size);
    void LoadFromFile(const std::string& path);
    // The raw JPEG file stored as a resource. The program's resources keep JPEG pictures as
    // RCDATA (the default); another type name can be given. Missing: EResNotFound.
    void LoadFromResourceName(HINSTANCE module, const std::string& name, const wchar_t* type = RT_RCDATA);

    // The decoded pixels.
    const gui::Bitmap& Bitmap() const { return bitmap_; }

    void Draw(Canvas& canvas, const RECT& dest) const override;
    std::unique_ptr<Graphic> Clone() const override;

  private:
    gui::Bitmap bitmap_;
};

} // namespace gui
